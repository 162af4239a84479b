#include "live/LiveTracking.h"

#include "app/AppContext.h"
#include "core/FirmwareVersion.h"
#include "link/Link.h"
#include "rules/LiveRules.h"
#include "windows/chart/ChartWindow.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

namespace {
const QColor TrimmedCellColor(255, 0, 0);
}

void SelectLiveCell(DataGrid *grid, int column, int row) {
    if (!grid)
        return;
    const DataGrid::Range now = grid->selectionRange();
    if (!grid->selectedRanges().isEmpty() && now.left == column && now.right == column && now.top == row &&
        now.bottom == row)
        return;
    grid->selectCell(column, row);
}

bool LiveTracker::Firmware3FA() const {
    const QString version = ctx_.form3 ? ctx_.form3->currentVersion() : QStringLiteral("3FA1AD1AA");
    return VersionAtLeast(version, QStringLiteral("3FA"));
}

bool LiveTracker::ChartShowsMap() const {
    return ctx_.form4 && ctx_.form4->isVisible() && ctx_.form4->ChartMode != ChartView::CorrectionTable;
}

bool LiveTracker::ChartShowsTables() const {
    return ctx_.form4 && ctx_.form4->isVisible() && ctx_.form4->ChartMode == ChartView::CorrectionTable;
}

bool LiveTracker::CorrectionTablesInView() const {
    return (ctx_.form2 && ctx_.form2->isVisible()) || ChartShowsTables();
}

int LiveTracker::ComputeLiveRow(int rpm) const {
    std::array<int, 25> rows{};
    if (ctx_.form3) {
        const auto spins = ctx_.form3->rpmRangeRows();
        for (int k = 0; k < 25; ++k)
            rows[k] = spins[k]->value();
    }
    return LimitRow(::ComputeLiveRow(rpm, rows, Firmware3FA()));
}

void LiveTracker::TrackMapCell(const LiveValues &frame) {
    TForm1 *main = ctx_.form1;
    if (!ctx_.LiveTracking || !main)
        return;
    const int loadSource =
        ctx_.form3 ? ctx_.form3->ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex() : 0;
    const LiveColumns columns =
        PickLiveColumns(Firmware3FA(), loadSource, main->Label_engineload_waarde->text(),
                        main->Label_engineload_waarde2->text(), main->Label_engineload2_waarde2->text());
    const int fuel = LimitColumn(columns.fuel);
    const int boost = LimitColumn(columns.boost);
    const int row = LimitRow(ctx_.LiveRow);

    SelectLiveCell(main->AdvStringGrid_fuel, fuel, row);
    if (loadSource == 2)
        SelectLiveCell(main->AdvStringGrid_injection_boost_correction, boost, row);

    double percent = 0;
    if (frame.trimRequested() && TrimPercentage(main->Label_potmeter_waarde->text(), &percent)) {
        Trim(fuel, row, percent);
        return;
    }
    if (ChartShowsMap())
        ctx_.form4->LiveCellUpdate(main->ActiveMapGrid == BoostMapGrid ? boost : fuel, row, 0, false, 0);
}

void LiveTracker::Trim(int column, int row, double percent) {
    TForm1 *main = ctx_.form1;
    // Live frames come only from the idle line's poll; a conversation already on the line keeps it.
    if (ctx_.link && ctx_.link->busy())
        return;
    if (ctx_.link) {
        ctx_.link->Begin(LineActivity::Trim);
        ctx_.link->StopLink();
    }
    DataGrid *grid = main->AdvStringGrid_fuel;
    const double value = TrimmedCellValue(grid->cellValue(column, row), percent);
    grid->setCellValue(column, row, value);
    grid->setCellColor(column, row, TrimmedCellColor);

    if (ChartShowsMap()) {
        // A chart of the boost map must not show the fuel cell's new value on its bar.
        if (ctx_.form4->chartedMap() == ChartMap::Injection)
            ctx_.form4->LiveCellUpdate(column, row, 0, true, value);
        else
            ctx_.form4->LiveCellUpdate(column, row, 0, false, 0);
    }
    if (ctx_.link) {
        ctx_.link->SetSingleWritePayload(TrimPayload(column, row, value));
        ctx_.link->ArmDelayedAction(DelayedAction::SingleWrite);
    }
}

void LiveTracker::TrackCorrectionTables() {
    TForm1 *main = ctx_.form1;
    TForm2 *tables = ctx_.form2;
    if (!ctx_.LiveTracking || !main || !tables)
        return;
    int water = 0, air = 0, battery = 0, pressure = 0;
    if (Firmware3FA()) {
        water = WaterEntry(main->Label_correctionstep_waarde2->text());
        air = AirTempEntry(main->Label_inlettemp_waarde2->text());
        battery = BatteryEntry(main->Label_Battery_Voltage_waarde2->text());
        const bool airPressure = ctx_.form3 && ctx_.form3->airPressureChosen();
        pressure = AirPressureEntry(main->Label_boostpressure_waarde2->text(), airPressure);
    } else if (ctx_.form3) {
        water = OldCorrectionEntry(main->Label_correctionstep_waarde->text(),
                                   ctx_.form3->AdvSpinEdit_Min_Correction_table->value(),
                                   ctx_.form3->AdvSpinEdit_Max_Correction_table->value());
    }
    SelectLiveCell(tables->AdvStringGrid_Watertemp, water, 1);
    SelectLiveCell(tables->AdvStringGrid_luchttemp, air, 1);
    SelectLiveCell(tables->AdvStringGrid_battery, battery, 1);
    SelectLiveCell(tables->AdvStringGrid_Air_pressure, pressure, 1);

    if (!ChartShowsTables())
        return;
    // The chart follows the water, air-temperature and battery tables.
    switch (tables->TableSelector) {
    case CorrectionTable::Water:
        ctx_.form4->LiveCellUpdate(0, 0, water, false, 0);
        break;
    case CorrectionTable::Air:
        ctx_.form4->LiveCellUpdate(0, 0, air, false, 0);
        break;
    case CorrectionTable::Battery:
        ctx_.form4->LiveCellUpdate(0, 0, battery, false, 0);
        break;
    case CorrectionTable::AirPressure:
        break;
    }
}
