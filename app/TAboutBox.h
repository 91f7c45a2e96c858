#pragma once
// The about window: the program's picture, name and version.

#include <QDialog>

class QLabel;

namespace vapora {

class TAboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Caption and product name are the main window's caption.
    void SetProductName(const QString& name);
    void SetVersion(const QString& version);

    QLabel* ProductName() const { return productName_; }
    QLabel* Version() const { return version_; }

private:
    QLabel* productName_;
    QLabel* version_;
};

} // namespace vapora
