// Test-only tool: draws each chart view with a plausible calibration and saves it as PNG.
// Usage: chart_screens <folder>   (run under xvfb-run to see real fonts)
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cmath>

#include "app/AppContext.h"
#include "windows/chart/ChartWindow.h"
#include "windows/widgets/DataGrid.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    AppContext ctx;
    DataGrid fuel(17, 26), boost(17, 26), water(32, 2), air(32, 2), battery(32, 2), pressure(32, 2);
    fuel.setValueFormat("%.2f");
    boost.setValueFormat("%.1f");
    battery.setValueFormat("%.2f");
    for (DataGrid *g : {&water, &air, &pressure})
        g->setValueFormat("%.1f");
    for (DataGrid *g : {&fuel, &boost}) {
        for (int r = 1; r <= 25; ++r)
            g->setCellText(0, r, QString::number(500 * r));
        for (int c = 1; c <= 16; ++c)
            g->setCellText(c, 0, QString::number(c - 1).rightJustified(5, ' '));
    }
    for (int r = 1; r <= 25; ++r)
        for (int c = 1; c <= 16; ++c) {
            fuel.setCellValue(c, r, 1.2 + 0.55 * (c - 1) + 2.5 * std::sin(r / 25.0 * 3.1));
            boost.setCellValue(c, r, -40 + 9.5 * (c - 1) - 3 * r);
        }
    fuel.setCellColor(6, 12, QColor(255, 0, 0)); // a trimmed cell
    for (int i = 0; i < 32; ++i) {
        water.setCellValue(i, 1, 60 - 2.2 * i);
        air.setCellValue(i, 1, 15 - 1.0 * i);
        battery.setCellValue(i, 1, 2.4 - 0.07 * i);
        pressure.setCellValue(i, 1, -20 + 1.3 * i);
    }

    TForm4 chart(ctx);
    ChartTable selector = ChartTable::Water;
    chart.links.mapGrid = [&](ChartMap m) { return m == ChartMap::Injection ? &fuel : &boost; };
    chart.links.tableGrid = [&](ChartTable t) -> DataGrid * {
        switch (t) {
        case ChartTable::Water:
            return &water;
        case ChartTable::Air:
            return &air;
        case ChartTable::Battery:
            return &battery;
        default:
            return &pressure;
        }
    };
    chart.links.tableSelector = [&] { return selector; };
    chart.links.strokeMode = [] { return QStringLiteral("4"); };

    auto save = [&](const QString &name) {
        QApplication::processEvents();
        chart.grab().save(folder + QLatin1Char('/') + name);
    };
    chart.SetFooterVisible(true);
    chart.ShowMapLine(ChartMap::Injection, 12, 0);
    chart.LiveCellUpdate(6, 12, 0, false, 0);
    save(QStringLiteral("chart-speed-row.png"));
    chart.ShowMapLine(ChartMap::Injection, 0, 6);
    save(QStringLiteral("chart-load-column.png"));
    chart.SetFooterVisible(false);
    chart.ShowMapLine(ChartMap::Boost, 8, 0);
    save(QStringLiteral("chart-boost-row.png"));
    chart.ShowMapLine(ChartMap::Boost, 0, 10);
    save(QStringLiteral("chart-boost-column.png"));
    const QList<QPair<ChartTable, QString>> tables = {{ChartTable::Water, "chart-water.png"},
                                                      {ChartTable::Air, "chart-air.png"},
                                                      {ChartTable::Battery, "chart-battery.png"},
                                                      {ChartTable::AirPressure, "chart-air-pressure.png"}};
    for (const auto &[table, name] : tables) {
        selector = table;
        chart.ShowTable(0);
        chart.LiveCellUpdate(0, 0, 9, false, 0);
        save(name);
    }
    return 0;
}
