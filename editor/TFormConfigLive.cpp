// The live timer of the configuration window: strip, markers, probe-type
// refresh and the acquisition recording.
#include "editor/TFormConfig.h"

#include "services/AppContext.h"
#include "calib/forms/TFormGraficoDrt.h"
#include "editor/ConfigPages.h"
#include "editor/LiveStrip.h"
#include "services/i18n/Cp1252.h"
#include "model/Clock.h"
#include "model/ConfCar.h"
#include "model/ParamIds.h"
#include "services/ui/DialogService.h"
#include "widgets/TNumericEdit.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>

namespace vapora {
namespace {

uint32_t Now(AppContext& ctx) { return ctx.clock != nullptr ? ctx.clock->TickCount() : SystemClock().TickCount(); }

QIcon RecordingIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(220, 0, 0));
    painter.setPen(QColor(120, 0, 0));
    painter.drawEllipse(2, 2, 12, 12);
    return QIcon(pixmap);
}

} // namespace

void TFormConfig::Timer1Timer()
{
    strip_->Read();
    strip_->Update();
    if (strip_->JustReadSlow() && probeRefresh_ && Car().IsLambdaCodeFree()) {
        const std::vector<TNumericEdit*> edits = ProbeVoltageEdits();
        for (TNumericEdit* edit : edits) {
            QPalette p = edit->palette();
            p.setColor(QPalette::Base, palette().color(QPalette::Base)); // clWindow
            edit->setPalette(p);
            if (edit->DataCode() >= 0)
                edit->SetDouble(Car().GetParam(edit->DataCode()));
        }
        probeRefresh_ = false;
    }
    UpdateMarkers();
    if (recording_)
        WriteRecordLine();
}

void TFormConfig::RecomputeMidpoints()
{
    ConfCar& car = Car();
    std::vector<int> rpm;
    std::vector<double> load;
    for (int i = 0; i < ConfCar::kMapCols; ++i)
        rpm.push_back(car.GetRpmRef(i));
    for (int i = 0; i < ConfCar::kMapRows; ++i)
        load.push_back(car.GetMapRef(i));
    gasSpeed_ = live::MakeSpeedAxis(rpm);
    gasLoad_ = live::MakeLoadAxis(load);
    rpm.clear();
    load.clear();
    for (int i = 0; i < ConfCar::kPetrolSize; ++i) {
        rpm.push_back(car.GetPetrolRpmRef(i));
        load.push_back(car.GetPetrolMapRef(i));
    }
    petrolSpeed_ = live::MakeSpeedAxis(rpm);
    petrolLoad_ = live::MakeLoadAxis(load);
}

void TFormConfig::ForceMarkerRefresh()
{
    gasMarker_.ForceRefresh();
    petrolMarker_.ForceRefresh();
}

void TFormConfig::SetGasMarkerGrid(CellRectFn cellRect, InvalidateFn invalidate)
{
    gasGrid_ = {std::move(cellRect), std::move(invalidate)};
    if (gasGrid_.cellRect) {
        const QRect cell = gasGrid_.cellRect(0, 0);
        gasMarker_.x = cell.left();
        gasMarker_.y = cell.top();
    }
}

void TFormConfig::SetPetrolMarkerGrid(CellRectFn cellRect, InvalidateFn invalidate)
{
    petrolGrid_ = {std::move(cellRect), std::move(invalidate)};
    if (petrolGrid_.cellRect) {
        const QRect cell = petrolGrid_.cellRect(0, 0);
        petrolMarker_.x = cell.left();
        petrolMarker_.y = cell.top();
    }
}

int TFormConfig::EngineSpeed() const { return strip_->Engine().giri; }
double TFormConfig::SecondManifoldVolts() const { return strip_->Engine().analog2; }
double TFormConfig::PetrolInjectionMs() const { return strip_->Engine().injBenzinaMs; }
bool TFormConfig::RunningOnGas() const { return (strip_->Status().flags & kUnitOnGas) != 0; }

QColor TFormConfig::MarkerColour() const
{
    const EngineValues& engine = strip_->Engine();
    if (!(strip_->Status().flags & kUnitOnGas))
        return Qt::black;
    return (engine.flags & kEngineCursorGreen) ? QColor(0, 128, 0) : QColor(255, 0, 0);
}

QString TFormConfig::PetrolCorrectionText() const
{
    return petrolCorrection_ ? petrolCorrection_() : Text(QStringLiteral("MessND"));
}

void TFormConfig::UpdateMapMarker(live::MapMarker& marker, const MarkerGrid& grid, const live::SpeedAxis& speedAxis,
                                  const live::LoadAxis& loadAxis, double load)
{
    const int speed = strip_->Engine().giri;
    if (!marker.Due(speed, load))
        return;
    if (grid.invalidate)
        grid.invalidate(QPoint(marker.x, marker.y));
    marker.column = live::SpeedIndex(speedAxis, speed);
    marker.row = live::LoadIndex(loadAxis, load);
    if (grid.cellRect) {
        const QRect r = grid.cellRect(marker.column, marker.row);
        // Right and bottom edges as the cell's own rectangle gives them.
        const live::CellRect cell{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        marker.x = live::MarkerX(speedAxis, marker.column, speed, cell);
        marker.y = live::MarkerY(loadAxis, marker.row, load, cell);
        if (grid.invalidate)
            grid.invalidate(QPoint(marker.x, marker.y));
    }
}

void TFormConfig::UpdateMarkers()
{
    const EngineValues& engine = strip_->Engine();
    ConfCar& car = Car();
    switch (ActivePage()) {
    case kTabMappa: {
        double load = car.IsUnitKind2() ? engine.mapVolts : engine.tps;
        if (car.IsTpsInverted() && !car.IsUnitKind2())
            load = 5 - load;
        UpdateMapMarker(gasMarker_, gasGrid_, gasSpeed_, gasLoad_, load);
        break;
    }
    case kTabMappaBenzina:
        UpdateMapMarker(petrolMarker_, petrolGrid_, petrolSpeed_, petrolLoad_, engine.analog2);
        break;
    case kTabArricchimento:
        if (engine.giri != enrichSpeed_) {
            enrichSpeed_ = engine.giri;
            std::array<int, 6> limits{};
            for (int b = 1; b < 6; ++b)
                limits[static_cast<size_t>(b)] = car.GetEnrichBandRpm(b);
            const int band = live::EnrichBand(limits, engine.giri);
            if (band != enrichBand_) {
                enrichBand_ = band;
                tabArricchimento_->update();
                tabArricchimento_->findChild<QWidget*>(QStringLiteral("DrawGridArr"))->update();
            }
        }
        break;
    case kTabEmissioni:
        if (engine.giri != stepSpeed_) {
            stepSpeed_ = engine.giri;
            const int column = live::SpeedIndex(gasSpeed_, engine.giri);
            if (column != stepColumn_) {
                tabEmissioni_->MarkStepColumn(stepColumn_, column);
                stepColumn_ = column;
            }
        }
        break;
    default: break;
    }
}

void TFormConfig::SetRecordingMenus(bool recording)
{
    Action(QStringLiteral("MenuTerminaDrt"))->setEnabled(recording);
    Action(QStringLiteral("MenuCominciaDrt"))->setEnabled(!recording);
    menuAcquisizioni_->setIcon(recording ? RecordingIcon() : QIcon());
    menuBar_->update();
}

void TFormConfig::MenuCominciaDrtClick()
{
    if (recording_)
        return;
    temporaryRecording_ = NextTemporaryAcquisition(temporaryFolder_.toStdString());
    SetRecordingMenus(true);
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp =
        locale.toString(now.date(), QLocale::LongFormat) + QLatin1Char(' ') + locale.toString(now.time(), QLocale::LongFormat);
    // A file that cannot be created leaves the recording running without writing.
    writer_.Open(temporaryRecording_, ToCp1252(stamp));
    recordingStart_ = Now(ctx_);
    recording_ = true;
}

void TFormConfig::WriteRecordLine()
{
    writer_.Append(MakeRecordLine(Now(ctx_) - recordingStart_, strip_->Engine(), strip_->Status()));
}

// Renames, or copies and deletes across file systems. False leaves the
// temporary file where it is.
bool TFormConfig::MoveRecording(const std::filesystem::path& target)
{
    std::error_code ec;
    std::filesystem::rename(temporaryRecording_, target, ec);
    if (!ec)
        return true;
    ec.clear();
    if (!std::filesystem::copy_file(temporaryRecording_, target, std::filesystem::copy_options::overwrite_existing, ec))
        return false;
    std::filesystem::remove(temporaryRecording_, ec);
    return true;
}

void TFormConfig::MenuTerminaDrtClick()
{
    if (!recording_)
        return;
    writer_.Close();
    SetRecordingMenus(false);
    recording_ = false;
    const QString filter = Text(QStringLiteral("FiltroDrt")) + QStringLiteral(" (*.txt)");
    for (;;) {
        QString chosen = ctx_.dialogs != nullptr
                             ? ctx_.dialogs->SaveFileName(this, Text(QStringLiteral("FinestraSalvaDrt")), recordingFolder_, filter)
                             : QString();
        std::error_code ec;
        if (chosen.isEmpty()) {
            std::filesystem::remove(temporaryRecording_, ec);
            return;
        }
        if (QFileInfo(chosen).suffix().isEmpty())
            chosen += QStringLiteral(".txt");
        const std::filesystem::path target = chosen.toStdString();
        if (std::filesystem::exists(target, ec) && !std::filesystem::remove(target, ec)) {
            if (ctx_.dialogs != nullptr)
                ctx_.dialogs->Message(this, windowTitle(),
                                      Text(QStringLiteral("MessNoDelFile")) + QLatin1Char('\n') +
                                          Text(QStringLiteral("MessRenameFile")),
                                      MsgIcon::Error);
            continue;
        }
        lastSavedRecording_ = chosen;
        if (!MoveRecording(target)) {
            // The recording stays in its temporary file rather than being lost.
            if (ctx_.dialogs != nullptr)
                ctx_.dialogs->Message(this, windowTitle(),
                                      QStringLiteral("Impossibile salvare l'acquisizione in\n%1\n\n"
                                                     "I dati registrati restano nel file\n%2")
                                          .arg(chosen, QString::fromStdString(temporaryRecording_.string())),
                                      MsgIcon::Error);
        }
        return;
    }
}

void TFormConfig::MenuGraficoClick()
{
    if (openDrtFile_.isEmpty() && !lastSavedRecording_.isEmpty() && QFileInfo::exists(lastSavedRecording_))
        openDrtFile_ = lastSavedRecording_;
    if (ctx_.dialogs == nullptr)
        return;
    const QString start = openDrtFile_.isEmpty() ? recordingFolder_ : openDrtFile_;
    const QString chosen = ctx_.dialogs->OpenFileName(this, Text(QStringLiteral("FinestraApriDrt")), start,
                                                      Text(QStringLiteral("FiltroApriDrt")) + QStringLiteral(" (*.txt)"));
    if (chosen.isEmpty())
        return;
    openDrtFile_ = chosen;
    TFormGraficoDrt::ShowRecording(ctx_, this, chosen);
}

} // namespace vapora
