#include "editor/LiveStrip.h"

#include "services/AppContext.h"
#include "calib/AcquisitionFile.h"
#include "editor/TFormConfig.h"
#include "link/SerialLink.h"
#include "model/ConfCar.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLocale>

#include <cmath>

namespace vapora {
namespace {

struct Cell {
    const char* title;
    const char* titleText;
    const char* values[3];
};

// Four groups of four rows; each row a title and up to three values.
const Cell kCells[4][4] = {
    {{"LabelGiri", "Giri", {"LabGiri"}},
     {"LabelTps", "TPS", {"LabTps"}},
     {"LabelMap", "MAP", {"LabMap"}},
     {"LabelVarTps", "Variazione Tps", {"LabCumulo"}}},
    {{"LabelLambda", "Lambda", {"LabLambda", "LabLambda2"}},
     {"LabelApMot", "Apertura", {"LabApMot", "LabApMot2"}},
     {"LabelCorr", "Correttore", {"LabCorr", "LabCorr2"}},
     {"LabelArricchimento", "Arricchimento", {"LabArricchimento"}}},
    {{"LabelTemp", "Temperatura", {"LabTemp"}},
     {"LabelPressione", "Pressione", {"LabPressione", "LabPMax", "LabPMin"}},
     {"LabelLivello", "Livello", {"LabLivello"}},
     {"LabelInjBenzina", "Iniez. benzina", {"LabInjBenzina"}}},
    {{nullptr, nullptr, {"LabGas"}},
     {nullptr, nullptr, {"LabCutoff"}},
     {"LabelCorrBenzina", "Corr. benzina", {"LabCorrBenzina"}},
     {nullptr, nullptr, {}}},
};

void Colour(QLabel* label, const QColor& text)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Disabled, QPalette::WindowText, LiveStrip::kProbeOffText);
    label->setPalette(p);
}

void Fill(QLabel* label, const QColor& background)
{
    QPalette p = label->palette();
    p.setColor(QPalette::Window, background);
    label->setPalette(p);
    label->setAutoFillBackground(background.isValid());
}

} // namespace

LiveStrip::LiveStrip(TFormConfig& form) : QFrame(nullptr), form_(form)
{
    setObjectName(QStringLiteral("Panel1"));
    setFont(form.font()); // built before it joins the window: take the window's scaled font now
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    QPalette p = palette();
    p.setColor(QPalette::Window, kNavy);
    setPalette(p);
    setAutoFillBackground(true);
    for (const auto& group : kCells) {
        for (const Cell& cell : group) {
            if (cell.title != nullptr)
                Make(cell.title, QString::fromUtf8(cell.titleText), true);
            for (const char* value : cell.values)
                if (value != nullptr)
                    Make(value, QStringLiteral("0"), false);
        }
    }
    QFont big = Label("LabGas")->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    Label("LabGas")->setFont(big);
    Label("LabGas")->setText(QStringLiteral("BENZINA"));
    Colour(Label("LabGas"), kWarningText);
    Label("LabCutoff")->setText(QStringLiteral("CUTOFF"));
    Label("LabCutoff")->hide();
    Colour(Label("LabCutoff"), QColor(255, 128, 0));
    for (const char* name : {"LabPMax", "LabPMin"}) {
        QFont f = Label(name)->font();
        f.setPointSizeF(f.pointSizeF() * 0.75);
        Label(name)->setFont(f);
        Label(name)->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        Colour(Label(name), QColor(210, 210, 140));
    }
    for (const char* name : {"LabLambda", "LabLambda2"})
        Label(name)->setAlignment(Qt::AlignCenter);
    setMinimumHeight(static_cast<int>((4 * 24 + 12) * form_.Scale()));
}

QLabel* LiveStrip::Make(const char* name, const QString& text, bool title)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    QFont f = label->font();
    f.setBold(true);
    if (!title && form_.Scale() >= 1.0) // a small screen has no room for the larger values
        f.setPointSizeF(f.pointSizeF() * 1.1);
    label->setFont(f);
    Colour(label, title ? QColor(220, 220, 255) : kYellow);
    if (!title)
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLabel* LiveStrip::Label(const char* name) const { return findChild<QLabel*>(QString::fromLatin1(name)); }

void LiveStrip::SetTwoProbes(bool twoProbes)
{
    twoProbes_ = twoProbes;
    for (const char* name : {"LabLambda2", "LabApMot2", "LabCorr2"})
        Label(name)->setVisible(twoProbes);
    Layout();
}

void LiveStrip::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    Layout();
}

void LiveStrip::Layout()
{
    const int margin = 6;
    const int inner = width() - 2 * margin;
    std::vector<std::pair<QLabel*, int>> titles;
    const int rowHeight = (height() - 2 * margin) / 4;
    // Share of the width of each group: engine, probes, reducer, fuel.
    const double shares[4] = {0.25, 0.30, 0.29, 0.16};
    int x0 = margin;
    for (int g = 0; g < 4; ++g) {
        const int groupWidth = static_cast<int>(inner * shares[g]);
        const int titleWidth = g == 3 ? groupWidth * 58 / 100 : groupWidth * (g == 0 ? 47 : 38) / 100;
        const int valueWidth = g == 1 || g == 2 ? (groupWidth - titleWidth - 8) / 2 : groupWidth - titleWidth - 8;
        const int x1 = x0 + titleWidth;  // first value column
        const int x2 = x1 + valueWidth;  // second value column
        for (int r = 0; r < 4; ++r) {
            const Cell& cell = kCells[g][r];
            const int y = margin + r * rowHeight;
            if (cell.title != nullptr) {
                Label(cell.title)->setGeometry(x0, y, titleWidth, rowHeight);
                titles.emplace_back(Label(cell.title), titleWidth);
            }
            if (cell.values[0] == nullptr)
                continue;
            QLabel* first = Label(cell.values[0]);
            if (cell.title == nullptr) {
                first->setGeometry(x0, y, groupWidth, rowHeight);
                first->setAlignment(Qt::AlignCenter);
            } else if (g == 1 && r < 3) {
                // The two probes' values, or the one probe's centred between both columns.
                first->setGeometry(twoProbes_ ? x1 : (x1 + x2) / 2, y, valueWidth - 4, rowHeight);
                Label(cell.values[1])->setGeometry(x2, y, valueWidth - 4, rowHeight);
            } else if (cell.values[1] != nullptr) {
                // The pressure with its held maximum and minimum stacked beside it.
                first->setGeometry(x1, y, valueWidth, rowHeight);
                Label(cell.values[1])->setGeometry(x2 + 6, y, valueWidth, rowHeight / 2);
                Label(cell.values[2])->setGeometry(x2 + 6, y + rowHeight / 2, valueWidth, rowHeight - rowHeight / 2);
            } else {
                first->setGeometry(x1, y, valueWidth, rowHeight);
            }
        }
        x0 += groupWidth;
    }
    FitTitles(titles);
}

void LiveStrip::FitTitles(const std::vector<std::pair<QLabel*, int>>& titles)
{
    if (titles.empty())
        return;
    if (titlePointSize_ <= 0)
        titlePointSize_ = titles.front().first->font().pointSizeF();
    auto withSize = [](const QLabel* label, double size) {
        QFont f = label->font();
        f.setPointSizeF(size);
        return f;
    };
    auto fits = [&](double size) {
        for (const auto& [label, width] : titles)
            if (QFontMetrics(withSize(label, size)).horizontalAdvance(label->text()) > width - 2)
                return false;
        return true;
    };
    double size = titlePointSize_;
    while (!fits(size) && size > 6)
        size -= 0.5;
    for (const auto& [label, width] : titles)
        label->setFont(withSize(label, size));
}

void LiveStrip::Read()
{
    SerialLink* link = form_.Context().link;
    if (link == nullptr || !link->IsConnected())
        return;
    ConfCar& car = form_.Car();
    uint8_t buffer[kLiveBufferSize]{};
    int32_t length = kLiveBufferSize;
    if (!link->ReadLive(0, buffer, &length))
        return;
    if (!DecodeEngineBlock(buffer, length, form_.PressureCoefficient(), car.HasTwoProbes(), car.IsUnitKind3(), engine_))
        return;
    if (slowCounter_ != 0) {
        --slowCounter_;
        return;
    }
    uint8_t slow[kLiveBufferSize]{};
    length = kLiveBufferSize;
    if (!link->ReadLive(1, slow, &length) || !DecodeStatusBlock(slow, length, status_)) {
        // A failed status read is tried again one period later instead of
        // stopping the slow reads for the rest of the window's life.
        slowCounter_ = kSlowPeriod - 1;
        return;
    }
    slowCounter_ = kSlowPeriod;
}

// The dictionary table loses a unit's leading blank; the strip keeps the
// number and its unit apart.
QString LiveStrip::Unit(const char* key) const
{
    const QString unit = form_.Text(QString::fromLatin1(key));
    return unit.startsWith(QLatin1Char(' ')) || unit.isEmpty() ? unit : QLatin1Char(' ') + unit;
}

QString LiveStrip::Volts(double volts) const
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(volts, 'g', volts >= 1 ? 3 : 2) + Unit("UnitaVolt");
}

QString LiveStrip::Pressure(int hundredths) const
{
    if (hundredths == 0)
        return form_.Text(QStringLiteral("MessND"));
    const double bar = hundredths * 0.01;
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(bar, 'g', bar >= 1 ? 3 : 2) + Unit("UnitaBar");
}

void LiveStrip::Update()
{
    ConfCar& car = form_.Car();
    const live::PeakHold::Result held = peak_.Update(engine_.pressione);
    if (held.maxWritten)
        Label("LabPMax")->setText(Pressure(peak_.heldMax));
    if (held.minWritten)
        Label("LabPMin")->setText(Pressure(peak_.heldMin));

    opening_ = ShownOpening(engine_);

    Label("LabTps")->setText(Volts(engine_.tps));
    Label("LabLambda")->setText(Volts(engine_.lambda));
    {
        const double map = car.IsUnitKind3() ? engine_.analog2 : engine_.mapVolts;
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        Label("LabMap")->setText(locale.toString(map, 'g', engine_.mapVolts >= 1 ? 3 : 2) +
                                 Unit("UnitaVolt"));
    }
    Label("LabApMot")->setText(QString::number(opening_));
    Label("LabCorr")->setText(QString::number(engine_.correttore));
    Label("LabPressione")->setText(Pressure(engine_.pressione));
    Label("LabCumulo")->setText(QString::number(engine_.variazioneTps));
    Label("LabArricchimento")->setText(QString::number(engine_.arricchimento));
    Label("LabGiri")->setText(QString::number(engine_.giri) + Unit("UnitaGiri"));
    Label("LabInjBenzina")->setText(QLocale().toString(engine_.injBenzinaMs, 'f', 2));
    const bool twoProbes = car.HasTwoProbes();
    if (twoProbes) {
        Label("LabLambda2")->setText(Volts(engine_.lambda2));
        Label("LabApMot2")->setText(QString::number(engine_.apertura2));
        Label("LabCorr2")->setText(QString::number(engine_.correttore2));
    }
    Label("LabCorrBenzina")->setText(car.HasPetrolMap() ? form_.PetrolCorrectionText()
                                                        : form_.Text(QStringLiteral("MessND")));

    Colour(Label("LabTps"), (engine_.flags & kEngineIdle) ? kWarningText : kYellow);
    const double reference = car.GetParam(5);
    auto lambdaFill = [&](QLabel* label, double lambda, bool enabled) {
        const bool rich = car.IsLambdaBit0() ? lambda > reference : lambda < reference;
        Fill(label, rich ? kRichFill : kLeanFill);
        label->setEnabled(enabled);
    };
    lambdaFill(Label("LabLambda"), engine_.lambda, (status_.flags & kUnitProbe1Enabled) != 0);
    if (twoProbes)
        lambdaFill(Label("LabLambda2"), engine_.lambda2, (status_.flags & kUnitProbe2Enabled) != 0);
    Label("LabCutoff")->setVisible((engine_.flags & kEngineCutoff) != 0);

    if (JustReadSlow()) {
        Label("LabTemp")->setText(status_.temperaturaRaw == 0
                                      ? form_.Text(QStringLiteral("MessND"))
                                      : QString::number(static_cast<int>(ConfCar::NtcRawToCelsius(status_.temperaturaRaw))) +
                                            Unit("UnitaGradi"));
        Label("LabLivello")->setText(QString::number(status_.livello));
        const bool onGas = (status_.flags & kUnitOnGas) != 0;
        Label("LabGas")->setText(onGas ? form_.Text(QStringLiteral("LabelFunzGas"))
                                       : form_.Text(QStringLiteral("LabelFunzBenzina")));
        Colour(Label("LabGas"), onGas ? kYellow : kWarningText);
    }
}

} // namespace vapora
