#include "rules/LiveRules.h"

#include "core/Encoding.h"
#include "core/ImageLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// A shown value as a number; "---", "Fail" and empty texts are not numbers.
bool ShownNumber(const QString &text, double *value) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

int LimitEntry(int entry) {
    return std::clamp(entry, 0, TableLastIndex);
}

// Trunc of a quotient that should land on a whole number when the shown value sits on a step edge.
int TruncStep(double quotient) {
    return int(std::trunc(quotient + 1e-9));
}

} // namespace

int ComputeLiveRow(int rpm, const std::array<int, 25> &rpmRows, bool firmware3FA) {
    if (!firmware3FA)
        return RoundHalfEven(rpm / 500.0);
    for (int k = 0; k < 24; ++k) {
        const double threshold = rpmRows[k] + 0.6 * (rpmRows[k + 1] - rpmRows[k]);
        if (rpm < threshold)
            return k + 1;
    }
    return 25;
}

int LoadColumnFromLabel(const QString &text) {
    double value = 0;
    if (!ShownNumber(text, &value) || std::abs(value) > 1e6)
        return 0;
    return RoundHalfEven(value) + 1;
}

int LimitColumn(int column) {
    return std::clamp(column, 1, MapColumns);
}

int LimitRow(int row) {
    return std::clamp(row, 1, MapRows);
}

LiveColumns PickLiveColumns(bool firmware3FA, int loadSource, const QString &loadOld, const QString &load1,
                            const QString &load2) {
    if (!firmware3FA)
        return {LoadColumnFromLabel(loadOld), 0};
    switch (loadSource) {
    case 1:
        return {LoadColumnFromLabel(load2), 0};
    case 2:
        return {LoadColumnFromLabel(load1), LoadColumnFromLabel(load2)};
    default:
        // Load 2 as a boost correction factor still runs the fuel map on load 1.
        return {LoadColumnFromLabel(load1), 0};
    }
}

int WaterEntry(const QString &water) {
    double v = 0;
    if (!ShownNumber(water, &v) || v < -20)
        return 0;
    return LimitEntry(TruncStep((v + 20) / 5));
}

int AirTempEntry(const QString &airTemp) {
    double v = 0;
    if (!ShownNumber(airTemp, &v) || v < -20)
        return 0;
    if (v > 135)
        return TableLastIndex;
    return LimitEntry(TruncStep((v + 20) / 5));
}

int BatteryEntry(const QString &battery) {
    double v = 0;
    if (!ShownNumber(battery, &v) || v < 8)
        return 0;
    if (v > 15.75)
        return TableLastIndex;
    // Steps of 0.25 V, counted in hundredths so that 12.0 V lands exactly on entry 16.
    const int hundredths = int(std::lround(v * 100)) - 800;
    return LimitEntry(hundredths / 25);
}

int AirPressureEntry(const QString &pressure, bool airPressureSensor) {
    double v = 0;
    if (!ShownNumber(pressure, &v) || v < 750 || !airPressureSensor)
        return 0;
    if (v > 1060)
        return TableLastIndex;
    return LimitEntry(TruncStep((v - 750) / 2 / 5));
}

int OldCorrectionEntry(const QString &value, double minimum, double maximum) {
    double v = 0;
    // An empty range has no steps to count; the sensor reading can also lie a little past the range
    // (raw 160 of 155 steps), which would point beyond the last entry.
    if (!ShownNumber(value, &v) || maximum == minimum)
        return 0;
    const double quotient = (v - minimum) / ((maximum - minimum) / 155.0) / 5.0;
    if (!std::isfinite(quotient) || quotient < 0)
        return 0;
    return LimitEntry(TruncStep(std::min(quotient, 1e6)));
}

bool TrimPercentage(const QString &potentiometerText, double *percent) {
    double v = 0;
    if (!ShownNumber(potentiometerText, &v))
        return false;
    *percent = v;
    return true;
}

double TrimmedCellValue(double cell, double percent) {
    double value = cell + percent / 100.0 * cell;
    if (value > 40.95)
        value = 40.95;
    if (value < 0)
        value = 0;
    return RoundHalfEven(value * 100) / 100.0;
}

QByteArray TrimPayload(int column, int row, double value) {
    // The ECU takes a trimmed value with 7FFF added, not 8000.
    return EncodeWord(MapCellAddress(FuelMapStart, column, row)) +
           EncodeWord(RoundHalfEven(value * 100) + 32767);
}
