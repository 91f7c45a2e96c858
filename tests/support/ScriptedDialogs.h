#pragma once
// Dialogs for tests: records every message and answers from a script.

#include "services/ui/DialogService.h"

#include <QDialog>
#include <QString>

#include <deque>
#include <functional>
#include <vector>

namespace vapora::test {

struct ShownMessage {
    QString title;
    QString text;
    MsgIcon icon;
    MsgButtons buttons;
    MsgResult defaultButton;
};

class ScriptedDialogs final : public DialogService {
public:
    std::vector<ShownMessage> messages;
    std::deque<MsgResult> answers;          // next answers to questions; default: the default button
    std::deque<QString> fileNames;          // next file or folder names; default: empty (cancelled)
    // Drives a modal window: gets the dialog, returns its result. Default: reject.
    std::deque<std::function<int(QDialog*)>> windows;
    std::vector<QString> execTitles;

    MsgResult Message(QWidget*, const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons,
                      MsgResult defaultButton) override
    {
        messages.push_back({title, text, icon, buttons, defaultButton});
        if (answers.empty())
            return defaultButton;
        const MsgResult r = answers.front();
        answers.pop_front();
        return r;
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return NextName(); }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return NextName(); }
    QString FolderName(QWidget*, const QString&, const QString&) override { return NextName(); }
    int Exec(QDialog* dialog) override
    {
        execTitles.push_back(dialog->windowTitle());
        if (windows.empty())
            return QDialog::Rejected;
        auto drive = windows.front();
        windows.pop_front();
        return drive(dialog);
    }

private:
    QString NextName()
    {
        if (fileNames.empty())
            return {};
        QString n = fileNames.front();
        fileNames.pop_front();
        return n;
    }
};

} // namespace vapora::test
