// Keys, buttons and bar editing of the chart window.
#include "app/AppContext.h"
#include "core/FirmwareVersion.h"
#include "windows/chart/ChartWindow.h"
#include "windows/widgets/DataGrid.h"

// ---- keys ------------------------------------------------------------------------------------------

void TForm4::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const bool alt = modifiers & Qt::AltModifier;
    switch (key) {
    case Qt::Key_Space:
        ctx_.LiveTracking = true;
        if (isVisible() && isMapView())
            JumpToLiveCell(false);
        break;
    case Qt::Key_R:
    case Qt::Key_C:
        if (!alt)
            break;
        show();
        if (key == Qt::Key_R)
            ShowMapLine(ChartMap::Injection, 1, 0);
        else
            ShowMapLine(ChartMap::Injection, 0, 1);
        if (ctx_.LiveTracking && isMapView())
            JumpToLiveCell(false);
        else
            ctx_.LiveTracking = true;
        break;
    case Qt::Key_W:
        if (!alt)
            break;
        show();
        ShowTable(0);
        break;
    case Qt::Key_F1:
        if (links.openManual)
            links.openManual();
        break;
    case Qt::Key_F10:
        if (links.toggleOnline)
            links.toggleOnline();
        break;
    case Qt::Key_Right:
        SelectRight();
        break;
    case Qt::Key_Left:
        SelectLeft();
        break;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        // Page Down goes to the next row but to the previous column, as the grids show them.
        if (ChartMode == ChartView::SpeedRow || ChartMode == ChartView::LoadColumn) {
            if ((key == Qt::Key_PageDown) == (ChartMode == ChartView::SpeedRow))
                NextLine();
            else
                PreviousLine();
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        stepBar(key == Qt::Key_Up, modifiers);
        break;
    default:
        break;
    }
}

void TForm4::FormKeyUp(int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Up || key == Qt::Key_Down)
        WriteBackBar();
}

// ---- buttons ---------------------------------------------------------------------------------------

// "Up" goes to the previous row but to the next column (and "down" the other way), as the grids show them.
void TForm4::SpeedButton_omhoogClick() {
    moveLine(ChartMode != ChartView::SpeedRow);
}

void TForm4::SpeedButton_omlaagClick() {
    moveLine(ChartMode == ChartView::SpeedRow);
}

void TForm4::moveLine(bool next) {
    if (next)
        NextLine();
    else
        PreviousLine();
    if (isMapView())
        colorBar(ChartBar, ChartColors::blue());
}

void TForm4::SpeedButton_selectiebar_naar_linksClick() {
    SelectLeft();
}
void TForm4::SpeedButton_selectiebar_naar_rechtsClick() {
    SelectRight();
}

void TForm4::SpeedButton_bar_verhogenMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    stepBarOnLeftButton(button, true, modifiers);
}

void TForm4::SpeedButton_bar_verlagenMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    stepBarOnLeftButton(button, false, modifiers);
}

void TForm4::SpeedButton_bar_verhogenMouseUp() {
    WriteBackBar();
}
void TForm4::SpeedButton_bar_verlagenMouseUp() {
    WriteBackBar();
}

void TForm4::stepBarOnLeftButton(Qt::MouseButton button, bool raise, Qt::KeyboardModifiers modifiers) {
    if (button == Qt::LeftButton)
        stepBar(raise, modifiers);
}

void TForm4::stepBar(bool raise, Qt::KeyboardModifiers modifiers) {
    const QVector<double> steps =
        BarSteps(ChartMode, table_, modifiers & Qt::AltModifier, modifiers & Qt::ControlModifier);
    for (double step : steps) {
        if (raise)
            RaiseBar(step);
        else
            LowerBar(step);
    }
}

// ---- bar editing -----------------------------------------------------------------------------------

namespace {
BarLimits limitsOf(ChartView mode, ChartMap map, ChartTable table) {
    return mode == ChartView::CorrectionTable ? TableBarLimits(table) : MapBarLimits(map);
}
} // namespace

// The limits are those of the map the bars were read from. (Alt+R and Alt+C chart the injection map
// without changing ActiveMapGrid; taking the limits and the target cell from ActiveMapGrid would write
// an injection bar into the boost map.)
void TForm4::RaiseBar(double step) {
    changeBar([&](double value, const BarLimits &limits) { return RaiseValue(value, step, limits); });
}

void TForm4::LowerBar(double step) {
    changeBar([&](double value, const BarLimits &limits) { return LowerValue(value, step, limits); });
}

void TForm4::changeBar(const std::function<double(double value, const BarLimits &limits)> &change) {
    if (ChartMode == ChartView::None || ChartBar < 0 || ChartBar >= barCount())
        return;
    bars_[ChartBar].value = change(bars_[ChartBar].value, limitsOf(ChartMode, map_, table_));
    renderBar(ChartBar);
}

void TForm4::SelectLeft() {
    moveSelection(-1);
}

void TForm4::SelectRight() {
    moveSelection(+1);
}

// Moves the selection one bar (it stops at the ends) and ends live tracking.
void TForm4::moveSelection(int by) {
    ctx_.LiveTracking = false;
    if (barCount() == 0)
        return;
    if (ChartMode == ChartView::CorrectionTable) {
        colorBar(ChartBar, ChartColors::blue());
    } else {
        colorBar(ChartBar, normalColor(ChartBar));
    }
    if (by < 0 && ChartBar > 0)
        --ChartBar;
    if (by > 0 && ChartBar < LastBarIndex(ChartMode) && ChartBar < barCount() - 1)
        ++ChartBar;
    colorBar(ChartBar, selectedColor(ChartBar));
}

void TForm4::WriteBackBar() {
    if (ChartBar < 0 || ChartBar >= barCount())
        return;
    DataGrid *grid = chartedGrid();
    if (!grid)
        return;
    const double value = bars_[ChartBar].value;
    int address = 0;
    int raw = 0;
    int column = 0;
    int row = 0;
    switch (ChartMode) {
    case ChartView::SpeedRow:
        column = ChartBar + 1;
        row = ChartLine;
        address = MapBarWord(map_, column, row);
        raw = MapBarRaw(map_, value);
        break;
    case ChartView::LoadColumn:
        column = ChartLine;
        row = ChartBar + 1;
        address = MapBarWord(map_, column, row);
        raw = MapBarRaw(map_, value);
        break;
    case ChartView::CorrectionTable:
        column = ChartBar;
        row = 1;
        address = TableBarWord(table_, ChartBar);
        raw = TableBarRaw(table_, value);
        break;
    case ChartView::None:
        return;
    }
    // While another conversation has the line the change is refused: the bar shows the cell again.
    if (links.sendCellChange && !links.sendCellChange(address, raw)) {
        bars_[ChartBar].value = grid->cellValue(column, row);
        renderBar(ChartBar);
        return;
    }
    grid->setCellValue(column, row, value);
}

// ---- live cell -------------------------------------------------------------------------------------

int TForm4::liveLoadColumn() const {
    auto text = [this](const char *name) {
        return links.dashboardText ? links.dashboardText(QLatin1String(name)) : QString();
    };
    const QString version = links.firmwareVersion ? links.firmwareVersion() : QString();
    const LiveLoadTexts texts = PickLiveLoadTexts(
        VersionAtLeast(version, QStringLiteral("3FA")), links.loadSourceIndex ? links.loadSourceIndex() : 0,
        text("Label_engineload_waarde"), text("Label_engineload_waarde2"), text("Label_engineload2_waarde2"));
    const bool boost = links.boostTabShown && links.boostTabShown();
    return LoadColumnFromText(boost ? texts.load2 : texts.load1);
}

void TForm4::JumpToLiveCell(bool fromMainWindow) {
    if (ChartMode == ChartView::SpeedRow) {
        int row = ClampRow(ctx_.LiveRow);
        if (fromMainWindow) {
            // The engine speed of the dashboard in use: only the long frames of "3FA" on fill the second.
            const QString version = links.firmwareVersion ? links.firmwareVersion() : QString();
            const QString label = VersionAtLeast(version, QStringLiteral("3FA"))
                                      ? QStringLiteral("Label_Enginespeed_waarde3")
                                      : QStringLiteral("Label_Enginespeed_waarde");
            row = SpeedRowFromText(links.dashboardText ? links.dashboardText(label) : QString());
        }
        ChartLine = row - 1;
        NextLine();
    } else if (ChartMode == ChartView::LoadColumn) {
        ChartLine = liveLoadColumn() - 1;
        NextLine();
    }
}

ChartTable TForm4::currentTableSelector() const {
    return links.tableSelector ? links.tableSelector() : ChartTable::Water;
}
