#pragma once
// What the options window writes into the main window and the correction-table window.
// Each function does nothing for a window that is not in the context (tests of this window alone).
#include <QString>
#include <QStringList>

struct AppContext;

// Row headers 1..25 of both map grids (column 0); the corner cell is left alone.
void SetMapRowHeaders(AppContext &ctx, const QStringList &texts);

// Header row 0 of the four correction-table grids (32 texts each) and the first table's title.
struct CorrectionHeaders {
    QString waterTitle;
    QStringList water, airTemp, battery, airPressure;
};
void SetCorrectionHeaders(AppContext &ctx, const CorrectionHeaders &headers);

// Dashboard caption and unit of input 2: "Air pressure" / "mbar" or "Boost pressure" / "kpa".
void SetDashboardInput2(AppContext &ctx, bool airPressure);
// Dashboard caption and unit of the correction step value.
void SetDashboardCorrectionName(AppContext &ctx, const QString &name, const QString &unit);
// Dashboard inlet-temperature and battery captions: black when the correction is on, grey when off.
void SetDashboardCorrectionEnables(AppContext &ctx, bool inletTemperature, bool batteryVoltage);
