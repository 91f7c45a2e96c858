#pragma once
// Every message box, question and file/folder dialog of the program goes
// through this service, so that tests can script the answers and check what
// was shown. Custom modal windows run through Exec for the same reason.

#include <QString>

class QDialog;
class QFileDialog;
class QMessageBox;
class QWidget;

namespace vapora {

enum class MsgIcon { None, Error, Warning, Question, Information };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

class DialogService {
public:
    virtual ~DialogService() = default;

    virtual MsgResult Message(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                              MsgButtons buttons = MsgButtons::Ok, MsgResult defaultButton = MsgResult::Ok) = 0;
    // Empty when the user cancels.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString FolderName(QWidget* parent, const QString& title, const QString& folder) = 0;
    // Runs a modal window and answers its result (QDialog::Accepted / Rejected).
    virtual int Exec(QDialog* dialog) = 0;
};

// The real dialogs.
class QtDialogService final : public DialogService {
public:
    MsgResult Message(QWidget* parent, const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons,
                      MsgResult defaultButton) override;
    QString OpenFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter) override;
    QString FolderName(QWidget* parent, const QString& title, const QString& folder) override;
    int Exec(QDialog* dialog) override;

    // The box Message shows, wide enough for its whole title.
    static QMessageBox* NewMessageBox(QWidget* parent, const QString& title, const QString& text, MsgIcon icon,
                                      MsgButtons buttons, MsgResult defaultButton);

    enum class FileDialogKind { Open, Save, Folder };
    // The dialog the file and folder choices show: Qt's own, so that it speaks
    // the program's language, with sizes, dates and types in that language
    // and column headings whole.
    static QFileDialog* NewFileDialog(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter, FileDialogKind kind);
};

} // namespace vapora
