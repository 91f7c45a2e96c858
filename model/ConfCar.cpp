#include "model/ConfCar.h"

#include "model/CodeTables.h"
#include "model/Conversions.h"
#include "model/Ntc.h"
#include "model/ParamIds.h"

#include <climits>
#include <cmath>

namespace vapora {

ConfCar::ConfCar(const std::string& fileName, SerialLink* link, Clock& clock)
    : IoBaseData(fileName), link_(link), clock_(clock)
{
    WriteThrough = false;
    SetDefaults(false);
    WriteThrough = true;
    ClearLearnedPoints();
}

ConfCar::~ConfCar() { ClearLearnedPoints(); }

// ---- link helpers ----

bool ConfCar::Connected() const { return link_ != nullptr && link_->IsConnected() != 0; }

bool ConfCar::LinkRead(int32_t id, int32_t* dest) { return link_ != nullptr && link_->ReadParam(id, dest); }

bool ConfCar::LinkReadRow(int32_t id, int32_t* dest, int32_t row)
{
    return link_ != nullptr && link_->ReadParamRow(id, dest, row);
}

bool ConfCar::LinkWriteValue(int32_t id, int32_t value) { return link_ == nullptr || link_->WriteValue(id, value); }

bool ConfCar::LinkWriteElement(int32_t id, int32_t index, int32_t value)
{
    return link_ == nullptr || link_->WriteElement(id, index, value);
}

bool ConfCar::LinkWriteCell(int32_t id, int32_t row, int32_t col, int32_t value)
{
    return link_ == nullptr || link_->WriteCell(id, row, col, value);
}

bool ConfCar::LinkWriteBlock(int32_t id, const int32_t* source)
{
    return link_ == nullptr || link_->WriteParam(id, source);
}

bool ConfCar::LinkWriteRow(int32_t id, const int32_t* source, int32_t row)
{
    return link_ == nullptr || link_->WriteParamRow(id, source, row);
}

void ConfCar::Progress(int32_t amount, bool add)
{
    if (progress_)
        progress_(amount, add);
}

void ConfCar::Pause() { clock_.Sleep(400); }

// ---- defaults ----

void ConfCar::DefaultMaps()
{
    for (int r = 0; r < kMapRows; ++r)
        for (int c = 0; c < kMapCols; ++c) {
            MappaCarburazione[r][c] = 0;
            Adattativita[r][c] = 0;
        }
    static constexpr int32_t kRpm[kMapCols] = {450,  550,  650,  800,  950,  1150, 1350, 1600, 1850, 2150,
                                               2450, 2750, 3100, 3500, 3900, 4350, 4850, 5350, 5900, 6500};
    for (int i = 0; i < kMapCols; ++i)
        SetRpmRef(i, kRpm[i]);
    for (int i = 0; i < kMapRows; ++i)
        SetMapRef(i, (i + 1) * 2.5 / 9);
    MappaBenzinaAmmessa = true;
    MappaBenzinaPresente = false;
    static constexpr double kPetrolMap[kPetrolSize] = {0.51, 0.82, 1.18, 1.51, 1.80, 2.16,
                                                       2.47, 2.80, 3.16, 3.45, 3.78, 4.12};
    for (int i = 0; i < kPetrolSize; ++i) {
        SetPetrolMapRef(i, kPetrolMap[i]);
        for (int c = 0; c < kPetrolSize; ++c)
            MappaBenzina[i][c] = 0;
        SetPetrolRpmRef(i, 500 + 500 * i);
    }
}

void ConfCar::DefaultColumns()
{
    for (int c = 0; c < kMapCols; ++c) {
        SetOpenLoop(c, 1, 0);
        SetOpenLoop(c, 2, 0);
        SetStepParam(c, 2, 2);
        SetStepParam(c, 1, 2);
        const int stepTime = c <= 4 ? 300 : 80;
        SetStepParam(c, 3, stepTime);
        SetStepParam(c, 4, stepTime);
    }
}

void ConfCar::DefaultScalars()
{
    Flag1 = 0;
    TipoDiLambda = 2;
    RifLambda = 28;
    RitardoLetturaSonda = 0;
    TempoSondaFredda = 5;
    RifSupSondaFredda = 30;
    RifInfSondaFredda = 15;
    RifSupSondaCalda = 30;
    RifInfSondaCalda = 15;
    TemperaturaCambio = CelsiusToNtcRaw(25);
    GiriPerCambio = 1800;
    TempoSovrapposizione = 20;
    RitardoMinimoCambio = 0;
    FuoriGiri = 6500;
    NumeroCilindri = 4;
    FasciaGiriMinimo = 5;
    GiriCutoff = 1800;
    RitardoCutoff = 0;
    MotoreCutoff = 30;
    MotoreFineCutoff = 0;
    TempoPassiCutoff = 3;
    TipoDiTps = 0;
    Isteresi = 7;
    TpsMoltoFuori = 10;
}

void ConfCar::DefaultEnrichment()
{
    static constexpr int32_t kArricc2[kBands] = {50, 50, 40, 30, 30, 30};
    static constexpr int32_t kArrPerTps[kBands] = {0, 0, 30, 20, 20, 20};
    static constexpr int32_t kVarCumulo[kBands] = {10, 6, 10, 20, 20, 20};
    for (int b = 0; b < kBands; ++b) {
        SetEnrichParam(b, 2, 30);
        SetEnrichParam(b, 3, kArricc2[b]);
        SetEnrichParam(b, 4, 10);
        SetEnrichParam(b, 1, kArrPerTps[b]);
        SetEnrichParam(b, 5, kVarCumulo[b]);
    }
}

void ConfCar::SetDefaults(bool keepMaps)
{
    if (!keepMaps)
        DefaultMaps();
    DefaultColumns();
    DefaultScalars();

    SetSensorType(0);
    SensoreResistivo = false;
    SetEmulationType(2);
    SetChangeoverMode(1);

    LivelloAlto = 46;
    LivelloBasso = 0;
    MinErroreIntegrale = -40;
    MaxErroreIntegrale = 40;
    MaxErroreIntegraleAlMinimo = 30;
    MinErroreIntegraleAlMinimo = -30;
    TpsSbana = 204;
    GiriSbana = 4000;
    PassiSbana = 6;
    TempoApSbana = 3;
    TempoChSbana = 6;

    DefaultEnrichment();

    MinCumulo = 6;
    for (int b = 0; b < kBands; ++b)
        SetPetrolEnrichTime(b, 0.05);
    TpsArrBenzina = 2;
    TempoMinArrBenzina = 6;
    Stato[0] = Stato[1] = 0;
    Abilitazione[0] = 65;
    Abilitazione[1] = 0;
    Adattativo = 0;

    if (!keepMaps) {
        IdUnita[0] = 8;
        IdUnita[1] = 1;
        IdUnita[2] = 1;
        IdUnita[3] = 15;
        SetConfigName("ResetLpg");
        SetStatusFlag(kOfficial, false);
        RegistroDiagnosi = 0;
        NumeroReset = 0;
        TempoGas = 0;
        TempoBenzina = 0;
        Cilindrata = 0;
    }

    TempoRitBenzina = 255;
    CorrRientroMin = 100;
    GiriArrBenzina = 1250;
    LimitazioneCorrettore = 5;
    TempRif[0] = 0;
    for (int i = 1; i <= 8; ++i)
        SetTempParam(i, 2, 90 - 10 * i);
    TempRif[9] = 255;
    for (int32_t& c : TempCoeff)
        c = 100;

    if (keepMaps)
        SetClimateEffect(0);
    else
        EffettoClima = 0;

    Modified = false;
}

// ---- learned points ----

void ConfCar::ClearLearnedPoints()
{
    PuntiAppresi.clear();
    ProssimoPunto = 0;
    for (auto& row : CelleApprese)
        for (uint8_t& cell : row)
            cell = 0;
}

int ConfCar::AddLearnedPoint(int giri, double map, double iniezione, int nGiri, int nMap, int n)
{
    // Nearest thousandth, halves away from zero: a value saved and loaded again comes back
    // the same, negative ones included.
    auto thousandths = [](double v) {
        const double scaled = std::round(v * 1000);
        if (std::isnan(scaled))
            return int32_t{0};
        if (scaled <= INT32_MIN)
            return INT32_MIN;
        return scaled >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(scaled);
    };
    const int32_t mapThousandths = thousandths(map);
    const int32_t injThousandths = thousandths(iniezione);
    auto number = [&] { return n > 0 ? n : ++ProssimoPunto; };

    for (size_t i = 0; i < PuntiAppresi.size(); ++i) {
        PuntoAppreso& p = *PuntiAppresi[i];
        if (p.Giri == giri && p.Map == mapThousandths) {
            p.Iniezione = injThousandths;
            p.n = number();
            return static_cast<int>(i);
        }
    }
    auto point = std::make_unique<PuntoAppreso>();
    point->Giri = giri;
    point->Map = mapThousandths;
    point->nGiri = nGiri;
    point->nMap = nMap;
    point->Iniezione = injThousandths;
    point->n = number();
    PuntiAppresi.push_back(std::move(point));
    // Out-of-range cell numbers are kept in the point but mark no cell.
    if (nMap >= 0 && nMap < kPetrolSize && nGiri >= 0 && nGiri < kPetrolSize)
        CelleApprese[nMap][nGiri] = 1;
    return static_cast<int>(PuntiAppresi.size()) - 1;
}

bool ConfCar::IsCellLearned(int nMap, int nGiri) const
{
    if (nMap < 0 || nMap >= kPetrolSize || nGiri < 0 || nGiri >= kPetrolSize)
        return false;
    return CelleApprese[nMap][nGiri] != 0;
}

double ConfCar::NtcRawToCelsius(int32_t raw) { return vapora::NtcRawToCelsius(raw); }

int32_t ConfCar::CelsiusToNtcRaw(double celsius) { return vapora::CelsiusToNtcRaw(celsius); }

} // namespace vapora
