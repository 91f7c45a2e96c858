#pragma once
// The small non-modal window shown while a long operation keeps the user
// interface thread busy: caption, message, activity animation and the
// percentage reported by the operation's progress messages.

#include <QWidget>

#include <memory>

class QLabel;
class QMovie;
class QProgressBar;

namespace vapora {

class ProgressTarget;

class TFormAttesa : public QWidget {
    Q_OBJECT
public:
    explicit TFormAttesa(QWidget* owner = nullptr);
    ~TFormAttesa() override;

    void SetMessage(const QString& text);
    QString Message() const;
    // Appended to the percentage ("40% " + suffix).
    void SetProgressSuffix(const QString& suffix) { suffix_ = suffix; }
    const QString& ProgressSuffix() const { return suffix_; }
    int Position() const;

    // Plays the file instead of the built-in animation when it exists and Qt
    // can decode it; false (built-in animation kept) otherwise.
    bool SetAnimationFile(const QString& path);
    bool PlaysFile() const { return movie_ != nullptr; }

    // Shows the window and paints it at once: the caller is about to block the thread.
    void ShowAndPaint();
    // Paints now (after a change of caption or message).
    void PaintNow();

protected:
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    static constexpr int kMessagePixels = 15;
    static constexpr int kSmallestMessagePixels = 8;

    void OnProgress(int amount, bool add);
    void FitMessage();
    void FitCaption();
    void RemoveActivationHook();

    QWidget* panel_ = nullptr;
    QLabel* label1_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QLabel* label2_ = nullptr;
    QWidget* animate1_ = nullptr;
    QMovie* movie_ = nullptr;
    QString suffix_;
    double scale_ = 1.0;
    bool hooked_ = false;
    std::unique_ptr<ProgressTarget> target_;
};

} // namespace vapora
