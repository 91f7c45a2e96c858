#pragma once
// The file management window: save the configuration into a file, load a
// file into the unit (both through the file browser), or update the
// program's files from an update floppy.

#include <QDialog>

class QLabel;
class QPushButton;

namespace vapora {

struct AppContext;

class TFormGestioneFile final : public QDialog {
    Q_OBJECT
public:
    TFormGestioneFile(AppContext& context, QWidget* owner, const QString& mainFolder);

    void ButtonSalvaClick();
    void ButtonCaricaClick();
    // shiftHeld: the user asked to choose the source folder.
    void ButtonAggiornaClick(bool shiftHeld);

private:
    void LoadTexts();
    // The folder holding the update, or empty when the user gave up.
    QString SourceFolder(bool shiftHeld);

    AppContext& ctx_;
    QString mainFolder_;

    QLabel* labelGestConf_ = nullptr;
    QLabel* labelSalvareConf_ = nullptr;
    QLabel* labelCaricareConf_ = nullptr;
    QLabel* labelAggiorna_ = nullptr;
    QPushButton* buttonSalva_ = nullptr;
    QPushButton* buttonCarica_ = nullptr;
    QPushButton* buttonAggiorna_ = nullptr;
    QPushButton* buttonEsci_ = nullptr;

    QString messNoFile_, finestraAggiornaFile_, messCompletato_, messNoNuovoFile_, messMancaFloppy_, messCopiaFile_,
        messCopiaOK_, messErroreCopia_;
};

} // namespace vapora
