#pragma once
// The window shown while the program starts and makes its first connection.

#include <QWidget>

class QLabel;
class QProgressBar;

namespace vapora {

class TFormSplash final : public QWidget {
    Q_OBJECT
public:
    explicit TFormSplash(double scale = 1.0, QWidget* parent = nullptr);

    QLabel* Label2() const { return label2_; }
    // The connection is about to hold the program: say so before it starts.
    void ShowConnecting();
    // Steps aside for message boxes and dialogs opened during the start: an
    // always-on-top window would hide them.
    void Normalize();
    QProgressBar* ProgressBar1() const { return progressBar1_; }

protected:
    bool event(QEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    QLabel* label2_;
    QProgressBar* progressBar1_;
};

// The program's picture: the title over a gas tank, a reducer and injectors.
// Shared by the splash and the about window.
QPixmap ProgramPicture(const QSize& size, bool withTitle);

} // namespace vapora
