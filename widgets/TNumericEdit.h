#pragma once
// One-line numeric entry: limits, a rounding step, keyboard filtering, and
// explicit next/previous controls that Enter and the arrow keys follow. It
// carries the identifier of the record parameter it edits (DataCode).

#include <QLineEdit>
#include <QPointer>

namespace vapora {

class TNumericEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNumericEdit(QWidget* parent = nullptr);

    double Precision() const { return precision_; }
    void SetPrecision(double step) { precision_ = step; }
    double MaxValue() const { return maxValue_; }
    void SetMaxValue(double v) { maxValue_ = v; }
    double MinValue() const { return minValue_; }
    void SetMinValue(double v) { minValue_ = v; }
    bool DisableLimit() const { return disableLimit_; }
    void SetDisableLimit(bool on) { disableLimit_ = on; }
    bool Validation() const { return validation_; }
    void SetValidation(bool on) { validation_ = on; }
    int DataCode() const { return dataCode_; }
    void SetDataCode(int code) { dataCode_ = code; }
    int DataIndex() const { return dataIndex_; }
    void SetDataIndex(int index) { dataIndex_ = index; }
    int VisibilityLevel() const { return visibilityLevel_; }
    void SetVisibilityLevel(int level) { visibilityLevel_ = level; }

    // Cleared automatically when the linked control is destroyed.
    QWidget* NextControl() const { return next_; }
    void SetNextControl(QWidget* control) { next_ = control; }
    QWidget* PrevControl() const { return prev_; }
    void SetPrevControl(QWidget* control) { prev_ = control; }

    // Limits count only when switched on and at least one of them is not 0.
    bool LimitsSet() const;

    double GetDouble() const;
    void SetDouble(double x);
    int GetInt();
    void SetInt(int n);
    // kind 1 the maximum, 2 the minimum; refused when it would cross the other.
    void SetLimit(int kind, double x);
    double GetLimit(int kind) const;

    // The linked control, or the first one after it that can take the focus.
    QWidget* GetNextControl() const;
    QWidget* GetPrevControl() const;

    double LastConfirmed() const { return last_; }

    // General text of a number with the locale's decimal separator.
    static QString FormatGeneral(double value);
    static bool ParseNumber(const QString& text, double& value);

signals:
    // Enter confirmed the value (the text already shows it).
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    double Rounded(double value) const;
    bool AcceptChar(QChar c) const;
    void Confirm();

    double precision_ = 0;
    double maxValue_ = 0;
    double minValue_ = 0;
    bool disableLimit_ = false;
    bool validation_ = true;
    int dataCode_ = -1;
    int dataIndex_ = -1;
    int visibilityLevel_ = 90;
    QPointer<QWidget> next_;
    QPointer<QWidget> prev_;
    double last_ = 0;
};

} // namespace vapora
