#include "editor/TFormCentriCelleBenz.h"

#include "services/AppContext.h"
#include "model/ConfCar.h"

namespace vapora {

TFormCentriCelleBenz::TFormCentriCelleBenz(AppContext& ctx, QWidget* parent)
    : BreakpointEditor(ctx, ConfCar::kPetrolSize, ConfCar::kPetrolSize, false,
                       {"GroupRifMap", "Righe del MAP (volt)", "MessBadRifMap",
                        "Attenzione: i riferimenti MAP non sono corretti!"},
                       parent)
{
    setObjectName(QStringLiteral("FormCentriCelleBenz"));
    LoadValues();
}

int TFormCentriCelleBenz::SpeedRef(int index) const { return ctx_.car->GetPetrolRpmRef(index); }
void TFormCentriCelleBenz::SetSpeedRef(int index, int rpm) { ctx_.car->SetPetrolRpmRef(index, rpm); }
double TFormCentriCelleBenz::LoadRef(int index) const { return ctx_.car->GetPetrolMapRef(index); }
void TFormCentriCelleBenz::SetLoadRef(int index, double volts) { ctx_.car->SetPetrolMapRef(index, volts); }

} // namespace vapora
