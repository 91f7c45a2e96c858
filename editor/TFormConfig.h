#pragma once
// The configuration window: ten pages that edit the one configuration record,
// a strip of live values along the bottom, and the menus for recording, the
// adaptive correction, test functions, the pressure coefficient and the petrol
// map learning. Created at start, kept for the whole run, shown modally by the
// main window's configuration command. Every control writes the record as
// soon as the user confirms it; the record passes the value on to the unit.

#include "calib/AcquisitionFile.h"
#include "editor/LiveStripMath.h"

#include <QDialog>
#include <QFont>
#include <QHash>
#include <QPointer>
#include <QRect>

#include <array>
#include <filesystem>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QPushButton;
class QTabWidget;
class QTimer;

namespace vapora {

struct AppContext;
class ConfCar;
class ConfigPage;
class LiveStrip;
class PageArricchimento;
class PageCambio;
class PageCutoff;
class PageEmissioni;
class PageLambda;
class MapTabPage;
class PageSensore;
class PageTps;
class PageVarie;
class TFormModMappa;
class TKeyComboBox;
class TNumericEdit;

class TFormConfig : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 150;
    static constexpr int kPageCount = 10;
    enum PageIndex {
        kTabCambio, kTabLambda, kTabTps, kTabSensore, kTabCutoff,
        kTabMappa, kTabArricchimento, kTabEmissioni, kTabVarie, kTabMappaBenzina
    };

    explicit TFormConfig(AppContext& context, QWidget* parent = nullptr);
    ~TFormConfig() override;

    // Reloads every caption, list and message text (start and language change).
    void LoadTexts();

    // Start folders of the recording dialogs and of the calibration files.
    void SetRecordingFolder(const QString& folder) { recordingFolder_ = folder; }
    void SetCalibrationFolder(const QString& folder) { calibrationFolder_ = folder; }
    const QString& RecordingFolder() const { return recordingFolder_; }
    const QString& CalibrationFolder() const { return calibrationFolder_; }
    // Where each recording keeps its temporary file (the platform's temporary folder).
    void SetTemporaryFolder(const QString& folder) { temporaryFolder_ = folder; }

    AppContext& Context() const { return ctx_; }
    ConfCar& Car() const;
    // The window's one scale from its 800-pixel design and the screen.
    double Scale() const { return scale_; }
    // The width a page may take without needing a horizontal scroll bar.
    int PageRoom() const;
    bool Connected() const;

    // A text produced by the text loading, by its dictionary key ("UnitaVolt").
    QString Text(const QString& key) const { return texts_.value(key); }

    // Pages.
    QTabWidget* PageControl() const { return pageControl_; }
    ConfigPage* Page(int index) const { return pages_[static_cast<size_t>(index)]; }
    PageCambio* TabCambio() const { return tabCambio_; }
    PageLambda* TabLambda() const { return tabLambda_; }
    PageTps* TabTps() const { return tabTps_; }
    PageSensore* TabSensore() const { return tabSensore_; }
    PageCutoff* TabCutoff() const { return tabCutoff_; }
    MapTabPage* TabMappa() const { return tabMappa_; }
    PageArricchimento* TabArricchimento() const { return tabArricchimento_; }
    PageEmissioni* TabEmissioni() const { return tabEmissioni_; }
    PageVarie* TabVarie() const { return tabVarie_; }
    MapTabPage* TabMappaBenzina() const { return tabMappaBenzina_; }
    bool PageVisible(int index) const;
    void SetPageVisible(int index, bool visible);
    int ActivePage() const;
    void SelectPage(int index);
    // The page caption as the tab shows it (with its F-key prefix).
    QString PageCaption(int index) const;

    // Page keys: F1 to F12 without Alt. True when the key was taken.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

    // Live values, markers and recording.
    LiveStrip* Strip() const { return strip_; }
    QTimer* Timer1() const { return timer1_; }
    void Timer1Timer();
    void StopTimer();
    void StartTimer();
    double PressureCoefficient() const { return pressureCoefficient_; }
    void ProbeLayout();
    // Greys the seven probe and emulation voltage edits until the unit has
    // taken a new probe type over.
    void StartProbeTypeRefresh();
    bool ProbeTypeRefreshPending() const { return probeRefresh_; }
    std::vector<TNumericEdit*> ProbeVoltageEdits() const;

    // The map grids register how to find a data cell (map column and row) in
    // pixels and how to repaint around a point; the window then keeps their
    // marker where the engine runs.
    using CellRectFn = std::function<QRect(int column, int row)>;
    using InvalidateFn = std::function<void(const QPoint& point)>;
    void SetGasMarkerGrid(CellRectFn cellRect, InvalidateFn invalidate);
    void SetPetrolMarkerGrid(CellRectFn cellRect, InvalidateFn invalidate);
    const live::MapMarker& GasMarkerState() const { return gasMarker_; }
    const live::MapMarker& PetrolMarkerState() const { return petrolMarker_; }
    int EnrichBand() const { return enrichBand_; }
    int StepColumn() const { return stepColumn_; }
    // Fixed-cell colour of the gas map by the unit's load axis (set at each showing).
    static inline const QColor kPressureRows{255, 0, 255}; // 16711935, magenta
    static inline const QColor kThrottleRows{0, 98, 98};   // 6447616, dark teal
    const QColor& MapFixedColour() const { return mapFixedColour_; }
    // Hooks of the map pages, run by each showing of the window: the load axis
    // (LabelUsaMap, fixed colour) and the petrol page's availability.
    std::function<void()> onLoadAxis;
    std::function<void(bool available)> onPetrolPageAvailable;
    // Run at the end of every text loading, for the map pages' own texts.
    std::function<void()> onLoadTexts;
    // The map pages' menus, placed in the window's menu bar in their order.
    void InstallMapMenus(QMenu* adatta, QMenu* benzina);

    // What the map pages read from the live strip and the timer they stop
    // (the same operations, with the same signatures, as LiveMapSource).
    QPoint GasMarker() const { return {gasMarker_.x, gasMarker_.y}; }
    QPoint PetrolMarker() const { return {petrolMarker_.x, petrolMarker_.y}; }
    QColor MarkerColour() const;
    int PetrolColumn() const { return petrolMarker_.column; }
    int PetrolRow() const { return petrolMarker_.row; }
    int EngineSpeed() const;
    double SecondManifoldVolts() const;
    double PetrolInjectionMs() const;
    bool RunningOnGas() const;
    void StopLiveTimer() { StopTimer(); }
    void StartLiveTimer() { StartTimer(); }
    void ForceMarkerRefresh();
    void RecomputeMidpoints();
    QString AcquisitionsFolder() const { return recordingFolder_; }

    const live::SpeedAxis& GasSpeedAxis() const { return gasSpeed_; }
    const live::LoadAxis& GasLoadAxis() const { return gasLoad_; }
    const live::SpeedAxis& PetrolSpeedAxis() const { return petrolSpeed_; }
    const live::LoadAxis& PetrolLoadAxis() const { return petrolLoad_; }
    // The petrol correction shown on the strip (the petrol map page provides it).
    void SetPetrolCorrectionSource(std::function<QString()> source) { petrolCorrection_ = std::move(source); }
    QString PetrolCorrectionText() const;

    bool Recording() const { return recording_; }
    const std::filesystem::path& TemporaryRecording() const { return temporaryRecording_; }

    // Remembered values of the cut-off and idle-return switches, and the flag
    // that keeps their click handlers from writing while a page loads.
    int rememberedCutoff = -1;
    int rememberedIdleReturn = -1;
    bool loading = false;

    // The modification dialog shared by every grid of the window.
    TFormModMappa* ModMappa() const { return modMappa_; }

    // Generic bindings of the page controls to record parameters.
    void EditRifLambdaKeyPress(TNumericEdit* edit);
    void ComboTipoLambdaKeyPress(TKeyComboBox* combo);
    void BindEdit(TNumericEdit* edit);
    void BindCombo(TKeyComboBox* combo);

    // Menus.
    QMenuBar* MainMenu1() const { return menuBar_; }
    QAction* Action(const QString& name) const;
    void MenuCominciaDrtClick();
    void MenuTerminaDrtClick();
    void MenuGraficoClick();
    void MenuDiagnosiProgClick();
    void MenuSbloccaLimitiClick();
    void Mostratemperatura1Click();
    void MenuModificaCoeffClick();

    void FormShow();
    void FormResize();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void FitTabCaptions();
    // Tab captions shrink no further than capitals this high before the bar scrolls.
    static constexpr int kSmallestTabCapitals = 7;
    bool event(QEvent* event) override;

private:
    void BuildMenus();
    void BuildPages();
    void LoadControlTexts();
    void LoadListTexts(bool dictionary);
    void ApplyPagePrefixes();
    void UpdateMarkers();
    struct MarkerGrid {
        CellRectFn cellRect;
        InvalidateFn invalidate;
    };
    void UpdateMapMarker(live::MapMarker& marker, const MarkerGrid& grid, const live::SpeedAxis& speedAxis,
                         const live::LoadAxis& loadAxis, double load);
    void WriteRecordLine();
    bool MoveRecording(const std::filesystem::path& target);
    void SetRecordingMenus(bool recording);

    AppContext& ctx_;
    QString recordingFolder_;
    QString calibrationFolder_;
    QString temporaryFolder_;
    QHash<QString, QString> texts_;

    QMenuBar* menuBar_ = nullptr;
    QMenu* menuAcquisizioni_ = nullptr;
    QHash<QString, QAction*> actions_;
    QTabWidget* pageControl_ = nullptr;
    QFont tabFont_; // the tab captions' design font, before fitting
    std::array<ConfigPage*, kPageCount> pages_{};
    double scale_ = 1.0;
    PageCambio* tabCambio_ = nullptr;
    PageLambda* tabLambda_ = nullptr;
    PageTps* tabTps_ = nullptr;
    PageSensore* tabSensore_ = nullptr;
    PageCutoff* tabCutoff_ = nullptr;
    MapTabPage* tabMappa_ = nullptr;
    PageArricchimento* tabArricchimento_ = nullptr;
    PageEmissioni* tabEmissioni_ = nullptr;
    PageVarie* tabVarie_ = nullptr;
    MapTabPage* tabMappaBenzina_ = nullptr;
    LiveStrip* strip_ = nullptr;
    QPushButton* buttonEsci_ = nullptr;
    QTimer* timer1_ = nullptr;
    TFormModMappa* modMappa_ = nullptr;

    double pressureCoefficient_ = 1.8;
    bool probeRefresh_ = false;
    bool showing_ = false;

    MarkerGrid gasGrid_;
    MarkerGrid petrolGrid_;
    QColor mapFixedColour_ = kThrottleRows;
    live::MapMarker gasMarker_;
    live::MapMarker petrolMarker_;
    int enrichBand_ = 0;
    int enrichSpeed_ = -1;
    int stepColumn_ = 0;
    int stepSpeed_ = -1;
    live::SpeedAxis gasSpeed_;
    live::LoadAxis gasLoad_;
    live::SpeedAxis petrolSpeed_;
    live::LoadAxis petrolLoad_;
    std::function<QString()> petrolCorrection_;

    bool recording_ = false;
    uint32_t recordingStart_ = 0;
    std::filesystem::path temporaryRecording_;
    AcquisitionWriter writer_;
    QString lastSavedRecording_;
    QString openDrtFile_;
};

} // namespace vapora
