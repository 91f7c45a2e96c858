#pragma once
// The firmware file window. Kept for the whole run so that it remembers the
// last file; the file choice and programming come with the firmware command.

#include <QDialog>

namespace vapora {

struct AppContext;

class TFormScarica final : public QDialog {
    Q_OBJECT
public:
    explicit TFormScarica(AppContext& context, QWidget* parent = nullptr);

    // Start folder of the firmware file dialog.
    void SetFileFolder(const QString& folder) { fileFolder_ = folder; }
    const QString& FileFolder() const { return fileFolder_; }

private:
    AppContext& ctx_;
    QString fileFolder_;
};

} // namespace vapora
