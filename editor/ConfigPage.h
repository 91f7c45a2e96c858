#pragma once
// One page of the configuration window. Each page reads its values from the
// record when it becomes the active page (PageShow) and writes each value as
// soon as the user confirms it. The helpers build the rows of title, entry
// and unit that most pages are made of.

#include <QString>
#include <QWidget>

#include <initializer_list>

class QCheckBox;
class QGridLayout;
class QLabel;

namespace vapora {

class ConfCar;
class TFormConfig;
class TKeyComboBox;
class TNumericEdit;

struct EditSpec {
    const char* name;
    double min;
    double max;
    double step;
    int maxLength; // 0: no limit
    int dataCode;  // -1: the page writes it itself
};

class ConfigPage : public QWidget {
    Q_OBJECT
public:
    ConfigPage(TFormConfig& form, const QString& name, const QString& caption);

    // The page's shown handler: load every control, focus the first one.
    virtual void PageShow() = 0;
    // Geometry that follows the window's size.
    virtual void Resized() {}

    // The built-in caption, without the F-key prefix.
    const QString& BaseCaption() const { return baseCaption_; }
    void SetBaseCaption(const QString& caption) { baseCaption_ = caption; }

protected:
    ConfCar& Car() const;
    // A row of the page's field grid: title, entry, unit, comment.
    QLabel* AddTitle(QGridLayout* grid, int row, const char* name, const QString& text);
    TNumericEdit* AddEdit(QGridLayout* grid, int row, const EditSpec& spec, const char* titleName,
                          const QString& title, const char* unitName = nullptr, const QString& unit = {});
    TKeyComboBox* AddCombo(QGridLayout* grid, int row, const char* name, const char* titleName,
                           const QString& title, const QStringList& items, int dataCode = -1);
    QLabel* AddNote(QGridLayout* grid, int row, int column, const char* name, const QString& text);
    QCheckBox* MakeCheck(const char* name, const QString& text);
    // The page's field grid, centred at the top of the page.
    QGridLayout* CentredGrid();
    // Next/previous links in this order, the last back to the first; also the
    // Tab order.
    static void Chain(std::initializer_list<QWidget*> controls);
    static void Link(QWidget* from, QWidget* to);

    // Loads an entry from the record: whole numbers truncated, others as they are.
    void Load(TNumericEdit* edit, double value) const;
    void LoadParam(TNumericEdit* edit) const;

    TFormConfig& form_;

private:
    QString baseCaption_;
};

QLabel* FindLabel(const QWidget* parent, const char* name);

} // namespace vapora
