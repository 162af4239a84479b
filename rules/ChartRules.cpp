#include "rules/ChartRules.h"

#include <algorithm>
#include <cmath>

#include "core/Encoding.h"
#include "core/ImageLayout.h"

int LineCount(ChartView mode) {
    switch (mode) {
    case ChartView::SpeedRow:
        return MapRows;
    case ChartView::LoadColumn:
        return MapColumns;
    default:
        return 0;
    }
}

int LastBarIndex(ChartView mode) {
    switch (mode) {
    case ChartView::SpeedRow:
        return MapColumns - 1;
    case ChartView::LoadColumn:
        return MapRows - 1;
    case ChartView::CorrectionTable:
        return TableLastIndex;
    default:
        return 0;
    }
}

int WrapLine(ChartView mode, int line, int delta) {
    const int count = LineCount(mode);
    if (count == 0)
        return line;
    int next = line + delta;
    if (next > count)
        next = 1;
    if (next < 1)
        next = count;
    return next;
}

QVector<double> BarSteps(ChartView mode, ChartTable table, bool alt, bool ctrl) {
    const bool fineSteps = mode != ChartView::CorrectionTable || table == ChartTable::Battery;
    if (alt && ctrl)
        return fineSteps ? QVector<double>{0.01, 1.0} : QVector<double>{1.0};
    if (ctrl)
        return {1.0};
    if (alt)
        return fineSteps ? QVector<double>{0.01} : QVector<double>{};
    return {0.1};
}

BarLimits MapBarLimits(ChartMap map) {
    return map == ChartMap::Injection ? BarLimits{0.0, 40.95} : BarLimits{-500.0, 500.0};
}

BarLimits TableBarLimits(ChartTable table) {
    return table == ChartTable::Battery ? BarLimits{0.0, 10.0} : BarLimits{-100.0, 100.0};
}

double TidyValue(double value) {
    return std::round(value * 1e6) / 1e6;
}

double RaiseValue(double value, double step, const BarLimits &limits) {
    const double next = TidyValue(value + step);
    return next > limits.maximum ? limits.maximum : next;
}

double LowerValue(double value, double step, const BarLimits &limits) {
    const double next = TidyValue(value - step);
    return next < limits.minimum ? limits.minimum : next;
}

bool MaxInjectionTime(double rpm, const QString &strokeMode, double *milliseconds) {
    if (!(rpm > 0))
        return false;
    double t = 60000.0 / rpm;
    if (strokeMode == QLatin1String("4"))
        t = t * 2;
    else if (strokeMode == QLatin1String("1"))
        t = t / 2;
    *milliseconds = t;
    return true;
}

TableView TableViewOf(ChartTable table) {
    const QString correctionUp = QStringLiteral("Correction bar up = +0,1 ; with Ctrl = +1");
    const QString correctionDown = QStringLiteral("Correction bar up = -0,1 ; with Ctrl = -1");
    const QString percentTitle = QStringLiteral("correction on fuel in %");
    switch (table) {
    case ChartTable::Water:
        return {percentTitle,
                QStringLiteral("#,#00.0"),
                -100,
                100,
                QStringLiteral("%"),
                QStringLiteral("Watertemp in \u00B0C (%)"),
                -20,
                135,
                5,
                correctionUp,
                correctionDown,
                ChartColors::yellow()};
    case ChartTable::Air:
        return {percentTitle,
                QStringLiteral("#,#00.0"),
                -100,
                100,
                QStringLiteral("%"),
                QStringLiteral("Air-temp in \u00B0C"),
                -20,
                135,
                5,
                correctionUp,
                correctionDown,
                QColor(0, 255, 255)};
    case ChartTable::Battery:
        return {QStringLiteral("correction on fuel in ms"),
                QStringLiteral("#,#00.00"),
                0,
                3,
                QStringLiteral("ms"),
                QStringLiteral("Battery voltage in V"),
                8,
                15.8,
                0.25,
                QStringLiteral("Injection bar up = +0,1 ;  with Alt  = +0,01 ; with Ctrl = +1"),
                QStringLiteral("Injection bar up = -0,1 ;  with Alt  = -0,01 ; with Ctrl = -1"),
                QColor(255, 0, 255)};
    case ChartTable::AirPressure:
        break;
    }
    return {percentTitle,
            QStringLiteral("#,#00.0"),
            -100,
            100,
            QStringLiteral("%"),
            QStringLiteral("Air pressure in mBar"),
            750,
            1060,
            10,
            correctionUp,
            correctionDown,
            QColor(0, 0, 0)};
}

double TableBarX(ChartTable table, int index) {
    const TableView view = TableViewOf(table);
    return view.bottomMin + index * view.bottomStep;
}

int MapBarWord(ChartMap map, int column, int row) {
    return MapCellAddress(map == ChartMap::Injection ? FuelMapStart : BoostMapStart, column, row);
}

int MapBarRaw(ChartMap map, double value) {
    return RoundHalfEven(value * (map == ChartMap::Injection ? 100.0 : 10.0));
}

int TableBarWord(ChartTable table, int column) {
    switch (table) {
    case ChartTable::Water:
        return WaterTempTableStart + column;
    case ChartTable::Air:
        return AirTempTableStart + column;
    case ChartTable::Battery:
        return BatteryTableStart + column;
    case ChartTable::AirPressure:
        break;
    }
    return AirPressureTableStart + column;
}

int TableBarRaw(ChartTable table, double value) {
    // The battery table holds milliseconds in steps of 1/1000 (value / 2 / 1.25 x 2500).
    return RoundHalfEven(value * (table == ChartTable::Battery ? 1000.0 : 10.0));
}

QString LegendText(double value, const QString &valueFormat) {
    int decimals = 0;
    const int point = valueFormat.lastIndexOf(QLatin1Char('.'));
    if (point >= 0)
        decimals = valueFormat.size() - point - 1;
    return QString::number(value, 'f', decimals);
}

int ClampRow(int row) {
    return std::clamp(row, 1, MapRows);
}
int ClampColumn(int column) {
    return std::clamp(column, 1, MapColumns);
}

int LoadColumnFromText(const QString &text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    int column = 0;
    if (ok && std::isfinite(value) && std::abs(value) < 1e6)
        column = RoundHalfEven(value) + 1;
    return ClampColumn(column);
}

LiveLoadTexts PickLiveLoadTexts(bool firmware3FA, int loadSourceIndex, const QString &loadOld,
                                const QString &load1New, const QString &load2New) {
    if (!firmware3FA)
        return {loadOld, QString()};
    switch (loadSourceIndex) {
    case 0:
        return {load1New, QString()};
    case 1:
        return {load2New, QString()};
    default:
        return {load1New, load2New};
    }
}

int SpeedRowFromText(const QString &text) {
    bool ok = false;
    const double rpm = text.trimmed().toDouble(&ok);
    int row = 0;
    if (ok && std::isfinite(rpm) && std::abs(rpm) < 1e7)
        row = RoundHalfEven(rpm / 500.0);
    return ClampRow(row);
}

namespace ChartColors {
QColor white() {
    return QColor(255, 255, 255);
}
QColor lime() {
    return QColor(0, 255, 0);
}
QColor grey() {
    return QColor(128, 128, 128);
}
QColor blue() {
    return QColor(0, 0, 255);
}
QColor navy() {
    return QColor(0, 0, 128);
}
QColor red() {
    return QColor(255, 0, 0);
}
QColor yellow() {
    return QColor(255, 255, 0);
}
} // namespace ChartColors
