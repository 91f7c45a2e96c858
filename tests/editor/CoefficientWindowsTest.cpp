// The temperature window writes every reference and coefficient back.

#include "EditorFixture.h"
#include "calib/forms/TFormTemperatura.h"

#include <QPushButton>

namespace vapora::test {
namespace {

using Coefficients = EditorTest;

TEST_F(Coefficients, TemperatureWindowWritesAllNineteenValuesOnOk)
{
    Build();
    car->SetTempParam(3, 2, 25);
    car->SetTempParam(0, 2, 200);
    car->SetTempParam(4, 1, 17);
    TFormTemperatura window(*car);
    EXPECT_EQ(window.EditRif(3)->text(), "25");
    EXPECT_EQ(window.EditRif(0)->text(), "200");
    EXPECT_EQ(window.EditCoeff(4)->text(), "17");
    window.EditRif(3)->setText(QStringLiteral("40"));
    window.EditCoeff(8)->setText(QStringLiteral("9"));
    unit->ResetCounts();
    window.ButtonOk()->click();
    EXPECT_EQ(unit->WriteCount(), 19);
    EXPECT_EQ(car->GetTempParam(3, 2), 40);
    EXPECT_EQ(car->GetTempParam(8, 1), 9);
    EXPECT_EQ(window.result(), QDialog::Accepted);

    TFormTemperatura cancelled(*car);
    cancelled.EditRif(3)->setText(QStringLiteral("60"));
    unit->ResetCounts();
    cancelled.ButtonEsci()->click();
    EXPECT_EQ(unit->WriteCount(), 0);
    EXPECT_EQ(car->GetTempParam(3, 2), 40);
}

} // namespace
} // namespace vapora::test
