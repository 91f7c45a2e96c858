#pragma once
// The parameter pages of the configuration window: changeover, lambda probe,
// throttle sensors, level sensor and emulation, cut-off, enrichment,
// emissions and miscellaneous. Controls carry their component names, so the
// text loading and the tests find them by name.

#include "editor/ConfigPage.h"

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace vapora {

class EnrichGrid;
class StepGrid;

class PageCambio final : public ConfigPage {
    Q_OBJECT
public:
    explicit PageCambio(TFormConfig& form);
    void PageShow() override;
    void ChangeoverRefresh();
    void ComboCambioKeyPress();
    void EditArrPartenzaKeyPress();

    TKeyComboBox *ComboAccensione, *ComboCambio;
    TNumericEdit *EditGiriCambio, *EditTempCambio, *EditRitMin, *EditTempoSovrap, *EditFuoriGiri, *EditFasciaMin,
        *EditArrPartenza;
};

class PageLambda final : public ConfigPage {
    Q_OBJECT
public:
    explicit PageLambda(TFormConfig& form);
    void PageShow() override;
    void ComboNumeroSondeKeyPress();

    TKeyComboBox *ComboTipoLambda, *ComboNumeroSonde;
    TNumericEdit *EditRitardoLbd, *EditRifLambda, *EditRifSupFredda, *EditRifInfFredda, *EditRifSupCalda,
        *EditRifInfCalda, *EditSondaFredda;
};

class PageTps final : public ConfigPage {
    Q_OBJECT
public:
    explicit PageTps(TFormConfig& form);
    void PageShow() override;
    void TpsRefresh();
    void ComboTpsWireKeyPress(TKeyComboBox* combo);
    void CheckTpsBlocClick();
    void UpdateIstTpsCaption();

    TKeyComboBox *ComboTps, *ComboTpsSwitch, *ComboTpsWire;
    QCheckBox* CheckTpsBloc;
    TNumericEdit *EditIstTps, *EditTpsMoltoFMin;
};

class PageSensore final : public ConfigPage {
    Q_OBJECT
public:
    explicit PageSensore(TFormConfig& form);
    void PageShow() override;
    void SensorRefresh();
    void EmulationRefresh();
    void ComboSensoreKeyPress();
    void ComboEmulazioneKeyPress();
    void ButtonAccettaClick();

    TKeyComboBox *ComboSensore, *ComboEmulazione;
    TNumericEdit* EditLivello[4];
    QPushButton* ButtonAccetta;
    TNumericEdit *EditRitornoBenzina, *EditTempoAlto, *EditTempoBasso, *EditTempoTri, *EditOnde, *EditLivEmulAlto,
        *EditLivEmulBasso;
};

class PageCutoff final : public ConfigPage {
    Q_OBJECT
public:
    explicit PageCutoff(TFormConfig& form);
    void PageShow() override;
    void CheckAttivaCutoffClick();
    void EditMotoreCutoffKeyPress();

    QCheckBox* CheckAttivaCutoff;
    TNumericEdit *EditCfTot, *EditRitCutoff, *EditMotoreCutoff, *EditMotoreCutoff2, *EditPassiCutoff;
};

class PageArricchimento final : public ConfigPage {
    Q_OBJECT
public:
    explicit PageArricchimento(TFormConfig& form);
    void PageShow() override;
    void Resized() override;
    // Enter or a double click on the grid: the block modification.
    void DrawGridArrModify();
    // Value shown in a data cell (grid row 1..6, column 1..6).
    int CellValue(int row, int column) const;
    QString RowTitle(int row) const;

    EnrichGrid* DrawGridArr;
    TNumericEdit *EditCumuloArricc, *EditTpsArrBenzina, *EditGiriArrBenzina, *EditTMinArrBenzina,
        *EditLimCorrettore;
};

class PageEmissioni final : public ConfigPage {
    Q_OBJECT
public:
    explicit PageEmissioni(TFormConfig& form);
    void PageShow() override;
    void Resized() override;
    void WriteRowTitles();
    // Each grid's font, after its texts or column widths change.
    void FitFonts();
    // The step column marker moved.
    void MarkStepColumn(int oldColumn, int newColumn);

    StepGrid *GridPassi, *GridTempi, *GridOpenLoop;
};

class PageVarie final : public ConfigPage {
    Q_OBJECT
public:
    explicit PageVarie(TFormConfig& form);
    void PageShow() override;
    void CheckRientroMinClick();

    QCheckBox* CheckRientroMin;
    TNumericEdit *EditRientroMinimo, *EditMaxErrIntegMin, *EditMinErrIntegMin, *EditMaxErrInteg, *EditMinErrInteg,
        *EditTpsSbana, *EditGiriSbana, *EditPassiSbana, *EditTApSbana, *EditTChSbana;
};

// "Mappa" and "Mappa benzina": the map editor puts its contents on them
// (each page is left without a layout for that) and hooks their shown handler.
class MapTabPage final : public ConfigPage {
    Q_OBJECT
public:
    MapTabPage(TFormConfig& form, const QString& name, const QString& caption);
    void PageShow() override;

    std::function<void()> onShow;
};

} // namespace vapora
