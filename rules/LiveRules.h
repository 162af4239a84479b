#pragma once
// Where the engine runs in the maps and tables, from the texts the dashboard shows, and the live trim
// of a fuel cell. No widgets here; live/LiveTracking applies the results to the grids.
#include <QByteArray>
#include <QString>
#include <array>

// Speed row 1..25. From "3FA" on a row is kept until the speed has covered 60 % of the way to the next
// row's RPM; older firmware has a fixed 500 RPM scale.
int ComputeLiveRow(int rpm, const std::array<int, 25> &rpmRows, bool firmware3FA);

// Round(shown load) + 1, not yet limited; "Fail" or any text that is not a number gives 0.
int LoadColumnFromLabel(const QString &text);
int LimitColumn(int column); // 1..16
int LimitRow(int row);       // 1..25

// Fuel column F and boost column B (0 when not tracked) from the shown loads.
struct LiveColumns {
    int fuel = 0;
    int boost = 0;
};
// `loadOld` is the small dashboard's load; `load1`/`load2` the large dashboard's. `loadSource` is the
// item index of the engine-load source option.
LiveColumns PickLiveColumns(bool firmware3FA, int loadSource, const QString &loadOld, const QString &load1,
                            const QString &load2);

// Table entries 0..31 from the shown values ("---" and other non-numbers count as out of range).
int WaterEntry(const QString &water);
int AirTempEntry(const QString &airTemp);
int BatteryEntry(const QString &battery);
int AirPressureEntry(const QString &pressure, bool airPressureSensor);
// Older firmware: the one correction table, over the options' correction-table range.
int OldCorrectionEntry(const QString &value, double minimum, double maximum);

// Potentiometer percentage of a trim: false when the label shows "---" (or no number at all).
bool TrimPercentage(const QString &potentiometerText, double *percent);
// cell + percent / 100 x cell, at most 40.95 ms, quantised to the grid's 0.01 ms.
double TrimmedCellValue(double cell, double percent);
// Change request of a trimmed fuel cell: word(address) + word(Round(value x 100) + 32767).
QByteArray TrimPayload(int column, int row, double value);
