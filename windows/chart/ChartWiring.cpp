// Where the chart finds the grids, options and dashboard texts of the other windows. Resolved at each
// call, so the chart follows whatever the AppContext holds at that moment.
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "windows/chart/ChartWindow.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/options/OptionsWindow.h"

void TForm4::ConnectToWindows() {
    AppContext *ctx = &ctx_;
    links.mapGrid = [ctx](ChartMap map) -> DataGrid * {
        if (!ctx->form1)
            return nullptr;
        return ctx->form1->MapGrid(map == ChartMap::Boost ? BoostMapGrid : FuelMapGrid);
    };
    links.tableGrid = [ctx](ChartTable table) -> DataGrid * {
        return ctx->form2 ? ctx->form2->tableGrid(CorrectionTable(int(table))) : nullptr;
    };
    links.tableSelector = [ctx]() {
        return ctx->form2 ? ChartTable(int(ctx->form2->TableSelector)) : ChartTable::Water;
    };
    links.strokeMode = [ctx]() {
        return ctx->form3 && ctx->form3->ComboBox_inj_stroke_mode
                   ? ctx->form3->ComboBox_inj_stroke_mode->currentText()
                   : QStringLiteral("2");
    };
    links.firmwareVersion = [ctx]() { return ctx->form3 ? ctx->form3->currentVersion() : QString(); };
    links.loadSourceIndex = [ctx]() {
        return ctx->form3 && ctx->form3->ComboBox_Engineloadsensor_Throttle_or_Map
                   ? ctx->form3->ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex()
                   : 0;
    };
    links.dashboardText = [ctx](const QString &name) {
        const QLabel *label = ctx->form1 ? ctx->form1->findChild<QLabel *>(name) : nullptr;
        return label ? label->text() : QString();
    };
    links.boostTabShown = [ctx]() {
        const TForm1 *main = ctx->form1;
        return main && main->VisibleMapGrid() == main->AdvStringGrid_injection_boost_correction;
    };
    links.hideEditMenu = [ctx]() {
        if (ctx->form1 && ctx->form1->GroupBox_Edit_menu)
            ctx->form1->GroupBox_Edit_menu->hide();
    };
    links.openManual = [ctx]() {
        if (ctx->form1 && ctx->form1->onOpenManual)
            ctx->form1->onOpenManual();
    };
}
