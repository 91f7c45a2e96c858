#include "editor/MapPagesHookup.h"

#include "editor/ConfigPages.h"
#include "editor/GasMapGrid.h"
#include "editor/LiveMapSource.h"
#include "editor/MapPages.h"
#include "editor/PetrolMapGrid.h"
#include "editor/TFormConfig.h"

namespace vapora {
namespace {

// The window's live strip seen through the map pages' interface; lives as
// long as the window.
class FormLiveSource final : public QObject, public LiveMapSource {
public:
    explicit FormLiveSource(TFormConfig& form) : QObject(&form), form_(form) {}

    QPoint GasMarker() const override { return form_.GasMarker(); }
    QPoint PetrolMarker() const override { return form_.PetrolMarker(); }
    QColor MarkerColour() const override { return form_.MarkerColour(); }
    int PetrolColumn() const override { return form_.PetrolColumn(); }
    int PetrolRow() const override { return form_.PetrolRow(); }
    int EngineSpeed() const override { return form_.EngineSpeed(); }
    double SecondManifoldVolts() const override { return form_.SecondManifoldVolts(); }
    double PetrolInjectionMs() const override { return form_.PetrolInjectionMs(); }
    bool RunningOnGas() const override { return form_.RunningOnGas(); }
    void StopLiveTimer() override { form_.StopLiveTimer(); }
    void StartLiveTimer() override { form_.StartLiveTimer(); }
    void ForceMarkerRefresh() override { form_.ForceMarkerRefresh(); }
    void RecomputeMidpoints() override { form_.RecomputeMidpoints(); }
    QString AcquisitionsFolder() const override { return form_.AcquisitionsFolder(); }

private:
    TFormConfig& form_;
};

} // namespace

MapPagesOfWindow AttachMapPages(TFormConfig& form)
{
    auto* live = new FormLiveSource(form);
    const MapPageDeps deps{form.Context(), *live, form.ModMappa()};
    MapPagesOfWindow pages;
    pages.gas = BuildGasMapPage(form.TabMappa(), deps);
    pages.petrol = BuildPetrolMapPage(form.TabMappaBenzina(), deps);
    GasMapPage* gas = pages.gas;
    PetrolMapPage* petrol = pages.petrol;

    form.TabMappa()->onShow = [gas] { gas->TabMappaShow(); };
    form.TabMappaBenzina()->onShow = [petrol] { petrol->TabMappaBenzinaShow(); };

    // The window asks for map cells; the grids count the fixed row and column too.
    MapGrid* gasGrid = gas->DrawGridMap();
    form.SetGasMarkerGrid([gasGrid](int column, int row) { return gasGrid->CellRect(column + 1, row + 1); },
                          [gasGrid](const QPoint& point) { gasGrid->InvalidateAround(point); });
    MapGrid* petrolGrid = petrol->DrawGridMapBenz();
    form.SetPetrolMarkerGrid([petrolGrid](int column, int row) { return petrolGrid->CellRect(column + 1, row + 1); },
                             [petrolGrid](const QPoint& point) { petrolGrid->InvalidateAround(point); });

    form.onLoadAxis = [gas] { gas->UpdateLoadAxis(); };
    form.onPetrolPageAvailable = [petrol](bool available) { petrol->SetPageAvailable(available); };
    form.onLoadTexts = [gas, petrol] {
        gas->LoadTexts();
        petrol->LoadTexts();
    };
    form.SetPetrolCorrectionSource([petrol] { return QString::number(petrol->PetrolCorrectionNow()); });
    form.InstallMapMenus(gas->MenuAdatta(), petrol->MenuAcquisizioneBenzina());
    return pages;
}

} // namespace vapora
