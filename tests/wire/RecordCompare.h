#pragma once
// Field-by-field comparison of two configuration records.

#include "model/ConfCar.h"

#include <gtest/gtest.h>

namespace vapora::test {

template <class T, size_t N>
void ExpectSameArray(const T (&a)[N], const T (&b)[N], const char* what)
{
    for (size_t i = 0; i < N; ++i)
        EXPECT_EQ(a[i], b[i]) << what << "[" << i << "]";
}

template <class T, size_t R, size_t C>
void ExpectSameArray(const T (&a)[R][C], const T (&b)[R][C], const char* what)
{
    for (size_t r = 0; r < R; ++r)
        for (size_t c = 0; c < C; ++c)
            EXPECT_EQ(a[r][c], b[r][c]) << what << "[" << r << "][" << c << "]";
}

#define VAPORA_SAME(field) ExpectSameArray(a.field, b.field, #field)

inline void ExpectSameConfiguration(const ConfCar& a, const ConfCar& b)
{
    VAPORA_SAME(MappaCarburazione);
    VAPORA_SAME(Adattativita);
    VAPORA_SAME(MappaBenzina);
    VAPORA_SAME(RifGiri);
    VAPORA_SAME(RifMAP);
    VAPORA_SAME(RifGiriB);
    VAPORA_SAME(RifMAPB);
    VAPORA_SAME(RifOpenLoop);
    VAPORA_SAME(PassiInv);
    VAPORA_SAME(PassiIngr);
    VAPORA_SAME(PassiSmag);
    VAPORA_SAME(RifSensore);
    VAPORA_SAME(DecrCumulo);
    VAPORA_SAME(ArriccUscitaMin);
    VAPORA_SAME(Arricc2UscitaMin);
    VAPORA_SAME(ArrPerTps);
    VAPORA_SAME(VarCumulo);
    VAPORA_SAME(TempoArrBenzina);
    VAPORA_SAME(StatoConfigurazione);
    VAPORA_SAME(Stato);
    VAPORA_SAME(Abilitazione);
    VAPORA_SAME(TempRif);
    VAPORA_SAME(TempCoeff);
    const int32_t ConfCar::*scalars[] = {
        &ConfCar::Flag1, &ConfCar::TipoDiLambda, &ConfCar::RifLambda, &ConfCar::RitardoLetturaSonda,
        &ConfCar::TempoSondaFredda, &ConfCar::RifSupSondaFredda, &ConfCar::RifInfSondaFredda,
        &ConfCar::RifSupSondaCalda, &ConfCar::RifInfSondaCalda, &ConfCar::TemperaturaCambio,
        &ConfCar::GiriPerCambio, &ConfCar::TempoSovrapposizione, &ConfCar::RitardoMinimoCambio,
        &ConfCar::FuoriGiri, &ConfCar::NumeroCilindri, &ConfCar::FasciaGiriMinimo, &ConfCar::GiriCutoff,
        &ConfCar::RitardoCutoff, &ConfCar::TipoDiTps, &ConfCar::Isteresi, &ConfCar::TempoAlto,
        &ConfCar::TempoBasso, &ConfCar::TempoSondaSconnessa, &ConfCar::NumeroOnde, &ConfCar::MaxErroreIntegrale,
        &ConfCar::MinErroreIntegrale, &ConfCar::MaxErroreIntegraleAlMinimo, &ConfCar::MinErroreIntegraleAlMinimo,
        &ConfCar::TpsSbana, &ConfCar::GiriSbana, &ConfCar::PassiSbana, &ConfCar::MinCumulo,
        &ConfCar::TpsArrBenzina, &ConfCar::TempoMinArrBenzina, &ConfCar::LimitazioneCorrettore,
        &ConfCar::TempoGas, &ConfCar::TempoBenzina, &ConfCar::Adattativo, &ConfCar::MotoreCutoff,
        &ConfCar::MotoreFineCutoff, &ConfCar::TempoPassiCutoff, &ConfCar::TempoRitBenzina,
        &ConfCar::TpsMoltoFuori, &ConfCar::RegistroDiagnosi, &ConfCar::NumeroReset, &ConfCar::TempoApSbana,
        &ConfCar::TempoChSbana, &ConfCar::LivelloAlto, &ConfCar::LivelloBasso, &ConfCar::CorrRientroMin,
        &ConfCar::GiriArrBenzina, &ConfCar::Cilindrata, &ConfCar::EffettoClima, &ConfCar::TipoSensore};
    for (size_t i = 0; i < std::size(scalars); ++i)
        EXPECT_EQ(a.*scalars[i], b.*scalars[i]) << "scalar #" << i;
    EXPECT_EQ(a.DescrizAuto, b.DescrizAuto);
    EXPECT_EQ(a.MappaBenzinaPresente, b.MappaBenzinaPresente);
}

#undef VAPORA_SAME

} // namespace vapora::test
