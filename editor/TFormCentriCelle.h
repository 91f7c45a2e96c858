#pragma once
// "Centri celle mappa di carburazione": the breakpoints of a fuel map, speed
// columns first, then load rows. BreakpointEditor is the dialog both maps
// share; TFormCentriCelle edits the gas map's 20 speeds and 8 loads (shown as
// 5 V minus the breakpoint with an inverted throttle on throttle rows).

#include <QDialog>
#include <QString>

#include <vector>

class QGroupBox;
class QPushButton;

namespace vapora {

struct AppContext;
class TNumericEdit;

class BreakpointEditor : public QDialog {
    Q_OBJECT
public:
    TNumericEdit* SpeedEdit(int index) const { return speedEdits_.at(index); }
    TNumericEdit* LoadEdit(int index) const { return loadEdits_.at(index); }
    int SpeedCount() const { return static_cast<int>(speedEdits_.size()); }
    int LoadCount() const { return static_cast<int>(loadEdits_.size()); }
    QGroupBox* GroupRifGiri() const { return groupGiri_; }
    QGroupBox* GroupRifMap() const { return groupMap_; }
    QPushButton* ButtonOk() const { return buttonOk_; }
    QPushButton* ButtonAnnulla() const { return buttonAnnulla_; }
    bool InvertedDisplay() const { return inverted_; }

    // Checks the order, writes the speeds, checks and writes the loads, closes.
    void ButtonOkClick();

    // Caption and order message of the load group, by the kind of rows.
    struct LoadTexts {
        const char* groupKey;
        const char* groupText;
        const char* messageKey;
        const char* messageText;
    };

protected:
    BreakpointEditor(AppContext& ctx, int speeds, int loads, bool inverted, const LoadTexts& texts, QWidget* parent);

    // Fills the edits from the record; called by the subclass once it is built.
    void LoadValues();

    virtual int SpeedRef(int index) const = 0;
    virtual void SetSpeedRef(int index, int rpm) = 0;
    virtual double LoadRef(int index) const = 0;
    virtual void SetLoadRef(int index, double volts) = 0;

    void showEvent(QShowEvent* event) override;

    AppContext& ctx_;

private:
    void SetTexts(const LoadTexts& texts);
    void Fail(const QString& message, TNumericEdit* edit);

    bool inverted_;
    std::vector<TNumericEdit*> speedEdits_;
    std::vector<TNumericEdit*> loadEdits_;
    QGroupBox* groupGiri_;
    QGroupBox* groupMap_;
    QPushButton* buttonOk_;
    QPushButton* buttonAnnulla_;
    QString speedMessage_;
    QString loadMessage_;
};

class TFormCentriCelle final : public BreakpointEditor {
    Q_OBJECT
public:
    explicit TFormCentriCelle(AppContext& ctx, QWidget* parent = nullptr);

protected:
    int SpeedRef(int index) const override;
    void SetSpeedRef(int index, int rpm) override;
    double LoadRef(int index) const override;
    void SetLoadRef(int index, double volts) override;
};

} // namespace vapora
