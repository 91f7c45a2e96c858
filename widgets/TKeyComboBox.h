#pragma once
// A drop-down list worked entirely from the keyboard: Enter opens the list and
// confirms a choice, the arrows wrap inside the open list and move the focus
// along the explicit next/previous links while it is closed. A confirmed
// choice reaches the window as enterPressed with the list closed.

#include <QComboBox>
#include <QPointer>

namespace vapora {

class TKeyComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TKeyComboBox(QWidget* parent = nullptr);

    int DataCode() const { return dataCode_; }
    void SetDataCode(int code) { dataCode_ = code; }
    int DataIndex() const { return dataIndex_; }
    void SetDataIndex(int index) { dataIndex_ = index; }
    bool MoveFocus() const { return moveFocus_; }
    void SetMoveFocus(bool on) { moveFocus_ = on; }
    int VisibilityLevel() const { return visibilityLevel_; }
    void SetVisibilityLevel(int level) { visibilityLevel_ = level; }

    QWidget* NextControl() const { return next_; }
    void SetNextControl(QWidget* control) { next_ = control; }
    QWidget* PrevControl() const { return prev_; }
    void SetPrevControl(QWidget* control) { prev_ = control; }
    QWidget* GetNextControl() const;
    QWidget* GetPrevControl() const;

    bool DroppedDown() const { return listOpen_; }
    bool ChoicePending() const { return pending_; }
    int CommittedIndex() const { return committed_; }

    void showPopup() override;
    void hidePopup() override;

signals:
    // Enter (or a choice) was handled; DroppedDown() tells whether it confirmed.
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HandleEnter();
    void Chosen();
    bool ListKey(QKeyEvent* event);

    int dataCode_ = -1;
    int dataIndex_ = -1;
    bool moveFocus_ = true;
    int visibilityLevel_ = 90;
    QPointer<QWidget> next_;
    QPointer<QWidget> prev_;
    int committed_ = -1;
    bool pending_ = false;
    bool listOpen_ = false;
};

} // namespace vapora
