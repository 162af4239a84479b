#pragma once
// Rules of the chart window that need no widgets: line wrap-around, bar limits and steps,
// axes of the correction tables, the injection-time ceiling, cell addresses and raw values.
#include <QColor>
#include <QString>
#include <QVector>

// What the chart shows (`ChartMode`); None until the first view is built.
enum class ChartView { None, SpeedRow, LoadColumn, CorrectionTable };
enum class ChartMap { Injection, Boost };
enum class ChartTable { Water, Air, Battery, AirPressure };

// Grid lines a map view walks through: speed rows 1..25, load columns 1..16.
int LineCount(ChartView mode);
// Last selectable bar: 15 (speed row), 24 (load column), 31 (table).
int LastBarIndex(ChartView mode);
// line + delta with wrap-around (25 -> 1, 1 -> 25 for rows; 16 -> 1, 1 -> 16 for columns).
int WrapLine(ChartView mode, int line, int delta);

// Steps applied one after the other by Up/Down (and the bar buttons) for the held modifiers.
// Other correction tables (not battery) ignore Alt; Alt alone does nothing there.
QVector<double> BarSteps(ChartView mode, ChartTable table, bool alt, bool ctrl);

struct BarLimits {
    double minimum;
    double maximum;
};
BarLimits MapBarLimits(ChartMap map);
BarLimits TableBarLimits(ChartTable table);
double RaiseValue(double value, double step, const BarLimits &limits);
double LowerValue(double value, double step, const BarLimits &limits);

// Longest injection time that fits one engine turn cycle at `rpm` for the stroke-mode item text
// ("2", "4" or "1"). Returns false when there is no sensible ceiling (rpm not positive).
bool MaxInjectionTime(double rpm, const QString &strokeMode, double *milliseconds);

// Axis and texts of a correction-table view.
struct TableView {
    QString title;
    QString valueFormat;
    double leftMin, leftMax;
    QString leftTitle;
    QString bottomTitle;
    double bottomMin, bottomMax, bottomStep;
    QString raiseHint, lowerHint;
    QColor selectedColor;
};
TableView TableViewOf(ChartTable table);
// x of bar i (0..31) in a table view: the bottom-axis minimum plus i steps.
double TableBarX(ChartTable table, int index);

// ECU word of a cell and its raw value as sent in a single-value change.
int MapBarWord(ChartMap map, int column, int row);
int MapBarRaw(ChartMap map, double value);
int TableBarWord(ChartTable table, int column);
int TableBarRaw(ChartTable table, double value);

// Legend text of a bar for the bar series' value format ("#,#00.00", "#,#00.0", "#,#00").
QString LegendText(double value, const QString &valueFormat);

// Live engine-load column from a dashboard text: Round(value) + 1 limited to 1..16; "Fail", an
// empty or unreadable text counts as 0 (so column 1).
int LoadColumnFromText(const QString &text);
// Load-1 and load-2 texts by firmware and the engine-load source option (item index 0..3).
struct LiveLoadTexts {
    QString load1, load2;
};
LiveLoadTexts PickLiveLoadTexts(bool firmware3FA, int loadSourceIndex, const QString &loadOld,
                                const QString &load1New, const QString &load2New);
// Speed row from the main window's engine-speed text: Round(rpm / 500), at least 1, at most 25.
int SpeedRowFromText(const QString &text);
int ClampRow(int row);
int ClampColumn(int column);

// Keeps repeated 0.1 / 0.01 steps from drifting away from the decimal values they stand for.
double TidyValue(double value);

namespace ChartColors {
QColor white();
QColor lime();
QColor grey();
QColor blue();
QColor navy();
QColor red();
QColor yellow();
} // namespace ChartColors
