// Where the chart finds the grids, options and dashboard texts of the other windows. Resolved at each
// call, so the chart follows whatever the AppContext holds at that moment.
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

#include "app/AppContext.h"
#include "core/Encoding.h"
#include "link/Link.h"
#include "windows/chart/ChartWindow.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
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
    // F10 as in the main window, except that the map grids keep their state: the chart edits them.
    links.toggleOnline = [this, ctx]() {
        TForm1 *main = ctx->form1;
        if (!main)
            return;
        if (main->IsOnline()) {
            if (ctx->link)
                ctx->link->StopLink();
            main->SetOnline(false);
            return;
        }
        hide();
        main->SetOnline(true);
        if (ctx->link)
            ctx->link->StopLink();
        main->EnableMainControls(false);
        const bool fuelEnabled = main->AdvStringGrid_fuel->isEnabled();
        const bool boostEnabled = main->AdvStringGrid_injection_boost_correction->isEnabled();
        main->ShowTransferMenu(TForm1::MenuMode::Connect);
        main->AdvStringGrid_fuel->setEnabled(fuelEnabled);
        main->AdvStringGrid_injection_boost_correction->setEnabled(boostEnabled);
    };
    // The change goes out as "c" on the next Timer4 tick; offline the link sends nothing.
    links.sendCellChange = [ctx](int address, int raw) {
        Link *link = ctx->link;
        if (!link)
            return true;
        return link->Request(LineActivity::SingleWrite, [link, address, raw] {
            link->StopLink();
            link->SetSingleWritePayload(EncodeWord(address) + EncodeWord(raw));
            link->ArmDelayedAction(DelayedAction::SingleWrite);
        });
    };
    links.openManual = [ctx]() {
        if (ctx->form1 && ctx->form1->onOpenManual)
            ctx->form1->onOpenManual();
    };
}
