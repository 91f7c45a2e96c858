#pragma once
// A spin box drops a typed digit that would take its value past the maximum
// ("99999" as a year ends as 999) without a sign. The watch sees the digit
// being dropped and hands the box to the window, which says why.

#include <QObject>

#include <functional>

class QAbstractSpinBox;

namespace vapora {

class RefusedDigitWatch final : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(QAbstractSpinBox*)>;
    // The watch belongs to the box.
    static void Install(QAbstractSpinBox* box, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RefusedDigitWatch(QAbstractSpinBox* box, Handler handler);
    Handler handler_;
};

} // namespace vapora
