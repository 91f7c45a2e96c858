#pragma once
// The firmware file window. Kept for the whole run so that it remembers the
// last file chosen: encoded (".pec") or plain Motorola S-record (".s19").

#include <QDialog>

class QLabel;
class QPushButton;

namespace vapora {

struct AppContext;

class TFormScarica final : public QDialog {
    Q_OBJECT
public:
    explicit TFormScarica(AppContext& context, QWidget* parent = nullptr);

    // Start folder of the firmware file dialog.
    void SetFileFolder(const QString& folder) { fileFolder_ = folder; }
    const QString& FileFolder() const { return fileFolder_; }

    // Texts, then the file dialog at once when no file was chosen yet (its
    // cancel is the window's cancel), then the window itself.
    int Run();

    const QString& ChosenFile() const { return chosenFile_; }
    // The file is in the codec's encoded form and must be decoded first.
    bool ChosenEncoded() const;
    // Day, month and year of the file's last change, or "sconosciuta".
    static QString FileDateText(const QString& path);

    void ButtonCambiaClick();

private:
    void LoadTexts();
    bool ChooseFile();
    void ShowFile();
    QString Filter() const;

    AppContext& ctx_;
    QString fileFolder_;
    QString chosenFile_;
    QString dialogTitle_ = QStringLiteral("Apri file di programmazione");
    QString filterName_ = QStringLiteral("File programmazione Vapora");

    QLabel* labelFileProg_ = nullptr;
    QLabel* labelN_ = nullptr;
    QLabel* labelDataProg_ = nullptr;
    QLabel* labelD_ = nullptr;
    QPushButton* buttonCambia_ = nullptr;
    QPushButton* buttonRiprogr_ = nullptr;
    QPushButton* buttonAnnulla_ = nullptr;
};

} // namespace vapora
