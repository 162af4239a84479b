#pragma once
// Live cell tracking: after each live frame the selection of the map grids (and of the correction
// tables while they are in view) moves to where the engine runs, the chart is told, and when the ECU
// asks for it the current fuel cell is trimmed by the potentiometer percentage and written back.
// Everything is read from the dashboard labels and option controls as they are shown.
#include "rules/LiveFrame.h"

struct AppContext;
class DataGrid;

class LiveTracker {
public:
    explicit LiveTracker(AppContext &ctx) : ctx_(ctx) {}

    // LiveRow from the shown engine speed; the RPM rows come from the options window.
    int ComputeLiveRow(int rpm) const;
    // Selection of both map grids, the live trim and the chart (only while LiveTracking is on).
    void TrackMapCell(const LiveValues &frame);
    // Selection in the four correction-table grids and the chart's table bar (only while LiveTracking
    // is on).
    void TrackCorrectionTables();

    // The correction-table window is shown or the chart shows the correction tables.
    bool CorrectionTablesInView() const;

private:
    bool Firmware3FA() const;
    bool ChartShowsMap() const;
    bool ChartShowsTables() const;
    void Trim(int column, int row, double percent);

    AppContext &ctx_;
};

// Selects the single cell when it is not already the selection.
void SelectLiveCell(DataGrid *grid, int column, int row);
