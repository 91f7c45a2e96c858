#include "TNumericEdit.h"

#include "FocusChain.h"

#include <QKeyEvent>
#include <QLocale>

#include <cmath>

namespace vapora {
namespace {

QLocale NumberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

TNumericEdit::TNumericEdit(QWidget* parent) : QLineEdit(parent)
{
    setText(QStringLiteral("0"));
}

QString TNumericEdit::FormatGeneral(double value)
{
    return NumberLocale().toString(value, 'g', 15);
}

bool TNumericEdit::ParseNumber(const QString& text, double& value)
{
    bool ok = false;
    const double v = NumberLocale().toDouble(text.trimmed(), &ok);
    if (ok)
        value = v;
    return ok;
}

bool TNumericEdit::LimitsSet() const { return !disableLimit_ && (minValue_ != 0 || maxValue_ != 0); }

double TNumericEdit::Rounded(double value) const
{
    if (precision_ == 0)
        return value;
    const double down = std::floor(value / precision_) * precision_;
    const double up = std::ceil(value / precision_) * precision_;
    // Halves go up; the tolerance keeps a half that binary fractions put a
    // hair below the middle (0.03 on a 0.02 step) from going down.
    return value - down >= up - value - precision_ * 1e-9 ? up : down;
}

double TNumericEdit::GetDouble() const
{
    double value = last_;
    ParseNumber(text(), value);
    if (LimitsSet()) {
        if (value > maxValue_)
            value = maxValue_;
        else if (value < minValue_)
            value = minValue_;
    }
    return Rounded(value);
}

void TNumericEdit::SetDouble(double x)
{
    double shown;
    if (!LimitsSet() || (x >= minValue_ && x <= maxValue_))
        shown = Rounded(x);
    else
        shown = x < minValue_ ? minValue_ : maxValue_;
    setText(FormatGeneral(shown));
    last_ = shown;
}

int TNumericEdit::GetInt()
{
    bool ok = false;
    int value = NumberLocale().toInt(text().trimmed(), &ok);
    if (!ok)
        value = static_cast<int>(last_);
    int shown = value;
    if (!disableLimit_ && minValue_ != 0 && maxValue_ != 0) {
        if (value > maxValue_) {
            shown = static_cast<int>(maxValue_);
            SetInt(shown);
        } else if (value < minValue_) {
            shown = static_cast<int>(minValue_);
            SetInt(shown);
        }
    }
    if (precision_ != 0)
        setText(FormatGeneral(std::trunc(shown / precision_) * precision_));
    return value;
}

void TNumericEdit::SetInt(int n)
{
    double shown = n;
    if (LimitsSet() && (n < minValue_ || n > maxValue_))
        shown = n < minValue_ ? minValue_ : maxValue_;
    setText(FormatGeneral(shown));
    last_ = shown;
}

void TNumericEdit::SetLimit(int kind, double x)
{
    if (kind == 1) {
        if (x >= minValue_)
            maxValue_ = x;
    } else if (kind == 2) {
        if (x <= maxValue_)
            minValue_ = x;
    }
}

double TNumericEdit::GetLimit(int kind) const { return kind == 1 ? maxValue_ : minValue_; }

QWidget* TNumericEdit::GetNextControl() const { return WalkFocusLinks(this, true); }
QWidget* TNumericEdit::GetPrevControl() const { return WalkFocusLinks(this, false); }

bool TNumericEdit::AcceptChar(QChar c) const
{
    const QLocale locale = NumberLocale();
    const QString decimal = locale.decimalPoint();
    const QString selected = selectedText();
    if (c.isDigit())
        return true;
    if (QString(c) == decimal) {
        const bool decimals = precision_ == 0 || FormatGeneral(precision_).contains(decimal);
        return decimals && (!text().contains(decimal) || selected.contains(decimal));
    }
    if (c == QLatin1Char('-')) {
        const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
        const bool negativeAllowed = disableLimit_ || minValue_ < 0 || (minValue_ == 0 && maxValue_ == 0);
        return caret == 0 && negativeAllowed && (!text().contains(QLatin1Char('-')) || selected.contains(QLatin1Char('-')));
    }
    return false;
}

void TNumericEdit::Confirm()
{
    const double value = GetDouble();
    setText(FormatGeneral(value));
    last_ = value;
    emit enterPressed();
    if (QWidget* next = GetNextControl())
        next->setFocus(Qt::TabFocusReason);
    else
        selectAll();
}

void TNumericEdit::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Confirm();
        event->accept();
        return;
    case Qt::Key_Escape:
        SetDouble(last_);
        selectAll();
        event->ignore(); // a dialog's cancel button still acts
        return;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        QWidget* target = event->key() == Qt::Key_Up ? GetPrevControl() : GetNextControl();
        if (target != nullptr)
            target->setFocus(event->key() == Qt::Key_Up ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        event->accept();
        return;
    }
    case Qt::Key_Backspace:
        QLineEdit::keyPressEvent(event);
        return;
    default: break;
    }
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString typed = event->text();
    if (typed.isEmpty()) {
        QLineEdit::keyPressEvent(event); // caret movement, Delete, function keys
        return;
    }
    QChar c = typed.at(0);
    const QLocale locale = NumberLocale();
    if (QString(c) == locale.groupSeparator())
        c = locale.decimalPoint().at(0);
    if (typed.size() == 1 && AcceptChar(c)) {
        insert(QString(c));
        event->accept();
        return;
    }
    event->accept(); // refused
}

namespace {

// Focus that only follows the window being (de)activated or a popup is not
// the user moving between controls.
bool WindowSwitch(const QFocusEvent* event)
{
    return event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
}

} // namespace

void TNumericEdit::focusInEvent(QFocusEvent* event)
{
    if (!WindowSwitch(event)) {
        ParseNumber(text(), last_);
        SetDouble(last_);
    }
    QLineEdit::focusInEvent(event);
}

void TNumericEdit::focusOutEvent(QFocusEvent* event)
{
    if (WindowSwitch(event))
        ;
    else if (validation_)
        SetDouble(last_); // typing without Enter is undone
    else
        SetDouble(GetDouble());
    QLineEdit::focusOutEvent(event);
}

} // namespace vapora
