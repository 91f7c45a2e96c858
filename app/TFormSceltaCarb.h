#pragma once
// The fuel choice: LPG or methane, for the connected unit or, without one,
// for the configuration the program works on.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace vapora {

class TDataModuleMur;

class TFormSceltaCarb : public QDialog {
    Q_OBJECT
public:
    static constexpr int kLpg = 0;
    static constexpr int kMethane = 1;

    // dictionary may be null; its texts are used only when it is available.
    TFormSceltaCarb(TDataModuleMur* dictionary, bool connected, int fuel, QWidget* parent = nullptr);

    // The combo's index: 0 LPG, 1 methane.
    int Chosen() const;

private:
    void LoadTexts(TDataModuleMur& dictionary, bool connected);

    QLabel* labelSceltaCarb_ = nullptr;
    QLabel* labelWarningCarb_ = nullptr;
    QComboBox* comboCarburante_ = nullptr;
    QPushButton* buttonOk_ = nullptr;
    QPushButton* buttonAnnulla_ = nullptr;
};

} // namespace vapora
