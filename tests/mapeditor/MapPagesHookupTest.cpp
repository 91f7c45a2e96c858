// The map pages inside the configuration window: the marker lands in the grid
// cell where the simulated engine runs, and the pages' menus join the bar.

#include "mapeditor/MapSupport.h"

#include "editor/TFormConfig.h"

#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <gtest/gtest.h>

namespace vapora::test {
namespace {

TEST(MapPagesInWindow, MarkerStandsInTheRunningCellAndMenusJoinTheBar)
{
    MapWindow w(true);
    w.unit->engine().SetTarget(2650, 95, 120);
    TFormConfig form(w.ctx);
    auto* gas = form.findChild<GasMapPage*>();
    ASSERT_NE(gas, nullptr);
    ASSERT_EQ(gas->DrawGridMap()->window(), &form);
    form.resize(1024, 700);
    form.show();
    form.Timer1()->stop(); // the ticks below stand in for the timer
    form.SelectPage(TFormConfig::kTabMappa);
    for (int i = 0; i < 30; ++i)
        form.Timer1Timer();

    const live::MapMarker& marker = form.GasMarkerState();
    const QRect cell = gas->DrawGridMap()->CellRect(marker.column + 1, marker.row + 1);
    EXPECT_TRUE(cell.adjusted(0, 0, 1, 1).contains(form.GasMarker()));
    EXPECT_GT(marker.column, 0);

    QStringList menus;
    for (QAction* a : form.MainMenu1()->actions())
        if (a->menu() != nullptr)
            menus << a->menu()->objectName();
    EXPECT_TRUE(menus.contains(QStringLiteral("MenuAdatta")));
    EXPECT_TRUE(menus.contains(QStringLiteral("MenuAcquisizioneBenzina")));
    form.hide();
}

} // namespace
} // namespace vapora::test
