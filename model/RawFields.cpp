#include "model/RawFields.h"

#include "model/ConfCar.h"

namespace vapora {

std::string RawField::ElementName(int index) const
{
    std::string key(name);
    if (rows > 1)
        return key + std::to_string(index / columns) + "_" + std::to_string(index % columns);
    if (columns == 1 || (index == 0 && firstUnnumbered))
        return key;
    return key + std::to_string(index);
}

std::vector<RawField> RawFieldsOf(ConfCar& c)
{
    using C = ConfCar;
    auto table = [](int32_t param, std::string_view name, int32_t* data, int rows, int cols) {
        return RawField{param, name, data, rows, cols, false};
    };
    auto array = [](int32_t param, std::string_view name, int32_t* data, int count) {
        return RawField{param, name, data, 1, count, false};
    };
    auto scalar = [](int32_t param, std::string_view name, int32_t& field) {
        return RawField{param, name, &field, 1, 1, false};
    };
    std::vector<RawField> f{
        table(14, "Mappa", &c.MappaCarburazione[0][0], C::kMapRows, C::kMapCols),
        table(55, "Adattativita", &c.Adattativita[0][0], C::kMapRows, C::kMapCols),
        array(12, "RifGiri", c.RifGiri, C::kMapCols),
        array(13, "RifMAP", c.RifMAP, C::kMapRows),
        array(28, "RifOpenLoop", c.RifOpenLoop, C::kMapCols),
        array(29, "PassiInv", c.PassiInv, C::kMapCols),
        array(30, "PassiIngr", c.PassiIngr, C::kMapCols),
        array(31, "PassiSmag", c.PassiSmag, C::kMapCols),
        scalar(36, "TipoSensore", c.TipoSensore),
        array(37, "RifSensore", c.RifSensore, 4),
        array(50, "DecrCumulo", c.DecrCumulo, C::kBands),
        array(47, "ArriccUscitaMin", c.ArriccUscitaMin, C::kBands),
        array(78, "Arricc2UscitaMin", c.Arricc2UscitaMin, C::kBands),
        array(49, "ArrPerTps", c.ArrPerTps, C::kBands),
        array(48, "VarCumulo", c.VarCumulo, C::kBands),
        RawField{80, "TempoArrBenzina", c.TempoArrBenzina, 1, C::kBands, true},
        array(53, "StatoConfigurazione", c.StatoConfigurazione, 20),
        array(57, "Stato", c.Stato, 2),
        array(58, "Abilitazione", c.Abilitazione, 2),
        array(42, "Rif", c.TempRif, 10),
        array(43, "Coeff", c.TempCoeff, 9),
        scalar(79, "EffettoClima", c.EffettoClima),
        table(85, "MappaB", &c.MappaBenzina[0][0], C::kPetrolSize, C::kPetrolSize),
        array(84, "RifGiriB", c.RifGiriB, C::kPetrolSize),
        array(83, "RifMAPB", c.RifMAPB, C::kPetrolSize),
        scalar(3, "Flag1", c.Flag1),
        scalar(4, "TipoDiLambda", c.TipoDiLambda),
        scalar(5, "RifLambda", c.RifLambda),
        scalar(6, "RitardoLetturaSonda", c.RitardoLetturaSonda),
        scalar(7, "TempoSondaFredda", c.TempoSondaFredda),
        scalar(8, "RifSupSondaFredda", c.RifSupSondaFredda),
        scalar(9, "RifInfSondaFredda", c.RifInfSondaFredda),
        scalar(10, "RifSupSondaCalda", c.RifSupSondaCalda),
        scalar(11, "RifInfSondaCalda", c.RifInfSondaCalda),
        scalar(15, "TemperaturaCambio", c.TemperaturaCambio),
        scalar(16, "GiriPerCambio", c.GiriPerCambio),
        scalar(18, "TempoSovrapposizione", c.TempoSovrapposizione),
        scalar(17, "RitardoMinimoCambio", c.RitardoMinimoCambio),
        scalar(19, "FuoriGiri", c.FuoriGiri),
        scalar(20, "NumeroCilindri", c.NumeroCilindri),
        scalar(21, "FasciaGiriMinimo", c.FasciaGiriMinimo),
        scalar(22, "GiriCutoff", c.GiriCutoff),
        scalar(25, "RitardoCutoff", c.RitardoCutoff),
        scalar(26, "TipoDiTps", c.TipoDiTps),
        scalar(27, "Isteresi", c.Isteresi),
        scalar(32, "TempoAlto", c.TempoAlto),
        scalar(33, "TempoBasso", c.TempoBasso),
        scalar(34, "TempoSondaSconnessa", c.TempoSondaSconnessa),
        scalar(35, "NumeroOnde", c.NumeroOnde),
        scalar(38, "MaxErroreIntegrale", c.MaxErroreIntegrale),
        scalar(39, "MinErroreIntegrale", c.MinErroreIntegrale),
        scalar(40, "MaxErroreIntegraleAlMinimo", c.MaxErroreIntegraleAlMinimo),
        scalar(41, "MinErroreIntegraleAlMinimo", c.MinErroreIntegraleAlMinimo),
        scalar(44, "TpsSbana", c.TpsSbana),
        scalar(45, "GiriSbana", c.GiriSbana),
        scalar(46, "PassiSbana", c.PassiSbana),
        scalar(51, "MinCumulo", c.MinCumulo),
        scalar(56, "TpsArrBenzina", c.TpsArrBenzina),
        scalar(54, "TempoMinArrBenzina", c.TempoMinArrBenzina),
        scalar(81, "LimitazioneCorrettore", c.LimitazioneCorrettore),
        scalar(59, "TempoGas", c.TempoGas),
        scalar(60, "TempoBenzina", c.TempoBenzina),
        scalar(61, "Adattativo", c.Adattativo),
        scalar(23, "MotoreCutoff", c.MotoreCutoff),
        scalar(77, "MotoreFineCutoff", c.MotoreFineCutoff),
        scalar(24, "TempoPassiCutoff", c.TempoPassiCutoff),
        scalar(62, "TempoRitBenzina", c.TempoRitBenzina),
        scalar(63, "TpsMoltoFuori", c.TpsMoltoFuori),
        scalar(67, "RegistroDiagnosi", c.RegistroDiagnosi),
        scalar(68, "NumeroReset", c.NumeroReset),
        scalar(70, "TempoApSbana", c.TempoApSbana),
        scalar(69, "TempoChSbana", c.TempoChSbana),
        scalar(71, "LivelloAlto", c.LivelloAlto),
        scalar(72, "LivelloBasso", c.LivelloBasso),
        scalar(73, "CorrRientroMin", c.CorrRientroMin),
        scalar(74, "GiriArrBenzina", c.GiriArrBenzina),
        scalar(75, "Cilindrata", c.Cilindrata),
    };
    return f;
}

const RawField* FindRawField(const std::vector<RawField>& fields, const int32_t* p, int* index)
{
    for (const RawField& field : fields)
        if (field.Contains(p)) {
            if (index != nullptr)
                *index = static_cast<int>(p - field.data);
            return &field;
        }
    return nullptr;
}

} // namespace vapora
