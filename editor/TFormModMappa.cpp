#include "editor/TFormModMappa.h"

#include "services/ui/DialogService.h"
#include "widgets/TNumericEdit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vapora {

TFormModMappa::TFormModMappa(DialogService* dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("FormModMappa"));
    setWindowTitle(QStringLiteral("Variazione cella"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    edit1_ = new QLineEdit(QStringLiteral("0"), this);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setAlignment(Qt::AlignRight);
    QFont big = edit1_->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    edit1_->setFont(big);
    edit1_->installEventFilter(this);

    groupModalita_ = new QGroupBox(QStringLiteral("Modalità"), this);
    groupModalita_->setObjectName(QStringLiteral("GroupModalita"));
    auto* modeLayout = new QVBoxLayout(groupModalita_);
    const char* const names[3] = {"RadioAssoluto", "RadioLineare", "RadioPercentuale"};
    const char* const captions[3] = {"A&ssoluto", "&Lineare", "&Percentuale"};
    for (int i = 0; i < 3; ++i) {
        modes_[i] = new QRadioButton(QString::fromUtf8(captions[i]), groupModalita_);
        modes_[i]->setObjectName(QString::fromLatin1(names[i]));
        modeLayout->addWidget(modes_[i]);
    }
    modes_[0]->setChecked(true);

    buttonOk_ = new QPushButton(QStringLiteral("&OK"), this);
    buttonOk_->setObjectName(QStringLiteral("ButtonOK"));
    buttonOk_->setDefault(true);
    buttonAnnulla_ = new QPushButton(QStringLiteral("&Annulla"), this);
    buttonAnnulla_->setObjectName(QStringLiteral("ButtonAnnulla"));
    connect(buttonOk_, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttonAnnulla_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buttonOk_);
    buttons->addWidget(buttonAnnulla_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit1_);
    layout->addWidget(groupModalita_);
    layout->addLayout(buttons);
    setMinimumWidth(260);
}

int TFormModMappa::SelectedMode() const
{
    for (int i = 0; i < 3; ++i)
        if (modes_[i]->isChecked())
            return i;
    return 0;
}

void TFormModMappa::SetModesEnabled(bool on) { groupModalita_->setEnabled(on); }

bool TFormModMappa::Run(const QString& text, int mode, bool decimal, int maxLength)
{
    decimal_ = decimal;
    edit1_->setMaxLength(maxLength);
    edit1_->setText(text);
    edit1_->selectAll();
    if (mode >= 0 && mode < 3)
        modes_[mode]->setChecked(true);
    edit1_->setFocus();
    const int result = dialogs_ != nullptr ? dialogs_->Exec(this) : exec();
    return result == QDialog::Accepted;
}

bool TFormModMappa::RunInteger(int& value, int& mode)
{
    const bool ok = Run(QString::number(value), mode, false, 4);
    bool converted = false;
    value = edit1_->text().trimmed().toInt(&converted);
    if (!converted)
        value = 0;
    mode = SelectedMode();
    edit1_->setFocus();
    return ok;
}

bool TFormModMappa::RunDecimal(double& value, int& mode)
{
    const bool ok = Run(TNumericEdit::FormatGeneral(value), mode, true, 5);
    if (!TNumericEdit::ParseNumber(edit1_->text(), value))
        value = 0;
    mode = SelectedMode();
    edit1_->setFocus();
    return ok;
}

bool TFormModMappa::Edit1KeyPress(QKeyEvent* event)
{
    const QString typed = event->text();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Backspace:
        return false;
    default: break;
    }
    if (typed.isEmpty() || event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll))
        return false; // caret movement and Delete are not typing
    if (typed.size() != 1)
        return true;
    const QChar c = typed.at(0);
    const QString text = edit1_->text();
    const QString selected = edit1_->selectedText();
    const int caret = edit1_->hasSelectedText() ? edit1_->selectionStart() : edit1_->cursorPosition();
    const QString separator = QLocale().decimalPoint();
    if (c.isDigit()) {
        const int at = text.indexOf(separator);
        return decimal_ && at >= 0 && caret - (at + separator.size()) >= 2 && !edit1_->hasSelectedText();
    }
    if (c == QLatin1Char('-'))
        return caret != 0 || (text.contains(QLatin1Char('-')) && !selected.contains(QLatin1Char('-')));
    if (decimal_ && (c == QLatin1Char('.') || c == QLatin1Char(',') || QString(c) == separator)) {
        if (!text.contains(separator) || selected.contains(separator))
            edit1_->insert(separator);
        return true; // typed as the locale's separator, or refused
    }
    return true;
}

bool TFormModMappa::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit1_ && event->type() == QEvent::KeyPress)
        return Edit1KeyPress(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

} // namespace vapora
