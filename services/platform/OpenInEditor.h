#pragma once
// Shows a text file in the system's text editor. Behind an interface so that
// tests can check what would be opened without starting anything.

#include <QString>

namespace vapora {

class TextEditorLauncher {
public:
    virtual ~TextEditorLauncher() = default;
    // False when the editor could not be started.
    virtual bool Open(const QString& path) = 0;
};

// Notepad on Windows; elsewhere whatever the desktop opens text files with.
class SystemTextEditor final : public TextEditorLauncher {
public:
    bool Open(const QString& path) override;
};

} // namespace vapora
