#pragma once

#include <utility>
#include <vector>
// Panel1: the navy strip of live values along the bottom of the configuration
// window. Each tick reads the engine block (and every eleventh tick the
// status block) and rewrites the labels.

#include "calib/LiveFrame.h"
#include "editor/LiveStripMath.h"

#include <QColor>
#include <QFrame>

class QLabel;

namespace vapora {

class TFormConfig;

class LiveStrip final : public QFrame {
    Q_OBJECT
public:
    static constexpr int kSlowPeriod = 10;
    static inline const QColor kNavy{0, 0, 128};
    static inline const QColor kYellow{255, 255, 0};
    // On the navy strip the colours a shade lighter or darker than the
    // classic ones, so that what they say can be read: a warning in light red,
    // the probe's rich and lean fills under yellow figures, a probe switched
    // off in light grey.
    static inline const QColor kWarningText{255, 100, 100};
    static inline const QColor kRichFill{0, 110, 0};
    static inline const QColor kLeanFill{200, 0, 0};
    static inline const QColor kProbeOffText{230, 230, 230};

    explicit LiveStrip(TFormConfig& form);

    // Places the labels for the strip's size and fits the titles' font; run
    // again after the texts change.
    void Layout();

    // The live read of one tick. Nothing changes without a unit or when the
    // engine block cannot be read.
    void Read();
    // The label update of one tick (also without a unit).
    void Update();

    const EngineValues& Engine() const { return engine_; }
    const StatusValues& Status() const { return status_; }
    // Opening 1 as shown and recorded (the enrichment taken off above 360).
    int Opening() const { return opening_; }
    int SlowCounter() const { return slowCounter_; }
    bool JustReadSlow() const { return slowCounter_ == kSlowPeriod; }
    const live::PeakHold& Peak() const { return peak_; }

    // Second-probe column shown or the first-probe values centred.
    void SetTwoProbes(bool twoProbes);
    QLabel* Label(const char* name) const;

    // "2.35 V": 3 significant digits from 1 V, 2 below.
    QString Volts(double volts) const;
    QString Pressure(int hundredths) const;
    QString Unit(const char* key) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* Make(const char* name, const QString& text, bool title);
    // The titles share one font, made smaller when a translation or a large
    // screen font would not fit their column.
    void FitTitles(const std::vector<std::pair<QLabel*, int>>& titles);

    TFormConfig& form_;
    EngineValues engine_;
    StatusValues status_;
    int opening_ = 0;
    int slowCounter_ = kSlowPeriod;
    live::PeakHold peak_;
    bool twoProbes_ = false;
    double titlePointSize_ = 0; // the titles' design size, before fitting
};

} // namespace vapora
