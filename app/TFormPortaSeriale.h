#pragma once
// The serial port choice: the ports of this computer (USB adapters first) and
// the simulated unit for a demonstration. The choice is the link setting the
// user's settings keep; a setting fixed by the environment or beside the link
// library still wins, and the window says so.

#include <QDialog>
#include <QString>

#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace sernox::wire {
struct SerialPortInfo;
}

namespace vapora {

class TDataModuleMur;

class TFormPortaSeriale : public QDialog {
    Q_OBJECT
public:
    using PortLister = std::vector<sernox::wire::SerialPortInfo> (*)();

    struct State {
        QString current;      // the user's choice so far (empty: none)
        QString fixedBy;      // what sets the link instead of the choice ("VAPORA_LINK"); empty: nothing
        QString fixedSetting; // ...and to what
    };

    // ports lists the ports present (tests give their own).
    TFormPortaSeriale(TDataModuleMur* dictionary, const State& state, PortLister ports, QWidget* parent = nullptr);

    // The chosen entry's link setting ("serial:/dev/ttyUSB0", "sim"); empty with nothing chosen.
    QString Chosen() const;
    QTreeWidget* List() const { return listPorte_; }

    static constexpr const char* kSimulated = "sim";

private:
    void Fill();
    void LoadTexts(TDataModuleMur& dictionary);
    void ShowNote();

    PortLister ports_;
    QString current_;
    QString fixedBy_;
    QString fixedSetting_;
    QString simulatedText_;
    QString builtInText_;
    QString absentText_;
    QString noPortsText_;
    QString overrideText_;
    QLabel* labelPorte_ = nullptr;
    QTreeWidget* listPorte_ = nullptr;
    QLabel* labelNotaPorta_ = nullptr;
    QPushButton* buttonAggiorna_ = nullptr;
    QPushButton* buttonOk_ = nullptr;
    QPushButton* buttonAnnulla_ = nullptr;
};

} // namespace vapora
