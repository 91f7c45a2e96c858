#include "editor/ConfigPage.h"
#include "editor/ConfigPages.h"

#include "editor/TFormConfig.h"
#include "model/ConfCar.h"
#include "widgets/TKeyComboBox.h"
#include "widgets/TNumericEdit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <cmath>

namespace vapora {
namespace {

// Enter toggles a check box exactly as a mouse click does.
class EnterClicks final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                static_cast<QCheckBox*>(watched)->click();
                return true;
            }
        }
        return false;
    }
};

} // namespace

ConfigPage::ConfigPage(TFormConfig& form, const QString& name, const QString& caption)
    : QWidget(nullptr), form_(form), baseCaption_(caption)
{
    setObjectName(name);
}

ConfCar& ConfigPage::Car() const { return form_.Car(); }

QGridLayout* ConfigPage::CentredGrid()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(30, 24, 30, 24);
    auto* holder = new QHBoxLayout;
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    holder->addStretch(1);
    holder->addLayout(grid);
    holder->addStretch(2);
    outer->addLayout(holder);
    outer->addStretch(1);
    return grid;
}

QLabel* ConfigPage::AddTitle(QGridLayout* grid, int row, const char* name, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    grid->addWidget(label, row, 0);
    return label;
}

TNumericEdit* ConfigPage::AddEdit(QGridLayout* grid, int row, const EditSpec& spec, const char* titleName,
                                  const QString& title, const char* unitName, const QString& unit)
{
    QLabel* label = AddTitle(grid, row, titleName, title);
    auto* edit = new TNumericEdit(this);
    edit->setObjectName(QString::fromLatin1(spec.name));
    edit->SetMinValue(spec.min);
    edit->SetMaxValue(spec.max);
    edit->SetPrecision(spec.step);
    if (spec.maxLength > 0)
        edit->setMaxLength(spec.maxLength);
    edit->SetDataCode(spec.dataCode);
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(static_cast<int>(90 * form_.Scale()));
    label->setBuddy(edit);
    grid->addWidget(edit, row, 1);
    if (unitName != nullptr) {
        auto* unitLabel = new QLabel(unit, this);
        unitLabel->setObjectName(QString::fromLatin1(unitName));
        grid->addWidget(unitLabel, row, 2);
    }
    if (spec.dataCode >= 0)
        form_.BindEdit(edit);
    return edit;
}

TKeyComboBox* ConfigPage::AddCombo(QGridLayout* grid, int row, const char* name, const char* titleName,
                                   const QString& title, const QStringList& items, int dataCode)
{
    QLabel* label = AddTitle(grid, row, titleName, title);
    auto* combo = new TKeyComboBox(this);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems(items);
    combo->SetDataCode(dataCode);
    combo->setMinimumWidth(static_cast<int>(190 * form_.Scale()));
    label->setBuddy(combo);
    grid->addWidget(combo, row, 1, 1, 2);
    if (dataCode >= 0)
        form_.BindCombo(combo);
    return combo;
}

QLabel* ConfigPage::AddNote(QGridLayout* grid, int row, int column, const char* name, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    grid->addWidget(label, row, column);
    return label;
}

QCheckBox* ConfigPage::MakeCheck(const char* name, const QString& text)
{
    auto* check = new QCheckBox(text, this);
    check->setObjectName(QString::fromLatin1(name));
    check->installEventFilter(new EnterClicks(check));
    return check;
}

void ConfigPage::Link(QWidget* from, QWidget* to)
{
    if (auto* e = qobject_cast<TNumericEdit*>(from))
        e->SetNextControl(to);
    else if (auto* c = qobject_cast<TKeyComboBox*>(from))
        c->SetNextControl(to);
    if (auto* e = qobject_cast<TNumericEdit*>(to))
        e->SetPrevControl(from);
    else if (auto* c = qobject_cast<TKeyComboBox*>(to))
        c->SetPrevControl(from);
    if (from != nullptr && to != nullptr && from->window() == to->window())
        QWidget::setTabOrder(from, to);
}

void ConfigPage::Chain(std::initializer_list<QWidget*> controls)
{
    QWidget* previous = nullptr;
    for (QWidget* w : controls) {
        if (previous != nullptr)
            Link(previous, w);
        previous = w;
    }
    if (controls.size() > 1)
        Link(previous, *controls.begin());
}

void ConfigPage::Load(TNumericEdit* edit, double value) const
{
    if (edit->Precision() >= 1)
        edit->SetInt(static_cast<int>(std::trunc(value)));
    else
        edit->SetDouble(value);
}

void ConfigPage::LoadParam(TNumericEdit* edit) const { Load(edit, Car().GetParam(edit->DataCode())); }

MapTabPage::MapTabPage(TFormConfig& form, const QString& name, const QString& caption)
    : ConfigPage(form, name, caption)
{
}

void MapTabPage::PageShow()
{
    // The marker is recomputed at the next tick on the breakpoints as they are now.
    form_.ForceMarkerRefresh();
    form_.RecomputeMidpoints();
    if (onShow)
        onShow();
}

QLabel* FindLabel(const QWidget* parent, const char* name)
{
    return parent->findChild<QLabel*>(QString::fromLatin1(name));
}

} // namespace vapora
