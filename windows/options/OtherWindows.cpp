#include "windows/options/OtherWindows.h"

#include "app/AppContext.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/widgets/DataGrid.h"

#include <QFont>
#include <QLabel>

namespace {

void setLabelColor(QLabel *label, const QColor &color) {
    if (!label)
        return;
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
}

void setHeaderRow(DataGrid *grid, const QStringList &texts) {
    if (!grid)
        return;
    for (int column = 0; column < texts.size() && column < grid->columnCount(); ++column) {
        grid->setCellText(column, 0, texts.at(column));
        if (QTableWidgetItem *cell = grid->item(0, column)) {
            QFont bold = cell->font();
            bold.setBold(true);
            bold.setPointSize(10);
            cell->setFont(bold);
            cell->setForeground(Qt::black);
            cell->setTextAlignment(Qt::AlignCenter);
        }
    }
}

} // namespace

void SetMapRowHeaders(AppContext &ctx, const QStringList &texts) {
    if (!ctx.form1)
        return;
    for (DataGrid *grid :
         {ctx.form1->AdvStringGrid_fuel, ctx.form1->AdvStringGrid_injection_boost_correction}) {
        if (!grid)
            continue;
        for (int row = 1; row <= texts.size() && row < grid->rowCount(); ++row)
            grid->setCellText(0, row, texts.at(row - 1));
    }
}

void SetCorrectionHeaders(AppContext &ctx, const CorrectionHeaders &headers) {
    if (!ctx.form2)
        return;
    if (ctx.form2->Label_watertemp_text)
        ctx.form2->Label_watertemp_text->setText(headers.waterTitle);
    setHeaderRow(ctx.form2->AdvStringGrid_Watertemp, headers.water);
    setHeaderRow(ctx.form2->AdvStringGrid_luchttemp, headers.airTemp);
    setHeaderRow(ctx.form2->AdvStringGrid_battery, headers.battery);
    setHeaderRow(ctx.form2->AdvStringGrid_Air_pressure, headers.airPressure);
}

void SetDashboardInput2(AppContext &ctx, bool airPressure) {
    if (!ctx.form1)
        return;
    if (ctx.form1->Label_boostpressure_txt2)
        ctx.form1->Label_boostpressure_txt2->setText(airPressure ? QStringLiteral("Air pressure")
                                                                 : QStringLiteral("Boost pressure"));
    if (ctx.form1->Label_boostpressure_eenheid2)
        ctx.form1->Label_boostpressure_eenheid2->setText(airPressure ? QStringLiteral("mbar")
                                                                     : QStringLiteral("kpa"));
}

void SetDashboardCorrectionName(AppContext &ctx, const QString &name, const QString &unit) {
    if (!ctx.form1)
        return;
    if (ctx.form1->Label_correctionstep_text)
        ctx.form1->Label_correctionstep_text->setText(name);
    if (ctx.form1->Label_correctionstep_eenheid)
        ctx.form1->Label_correctionstep_eenheid->setText(unit);
}

void SetDashboardCorrectionEnables(AppContext &ctx, bool inletTemperature, bool batteryVoltage) {
    if (!ctx.form1)
        return;
    const QColor black(0, 0, 0), grey(0x80, 0x80, 0x80);
    setLabelColor(ctx.form1->Label_inlettemp_text, inletTemperature ? black : grey);
    setLabelColor(ctx.form1->Label_inlettemp_eenheid, inletTemperature ? black : grey);
    setLabelColor(ctx.form1->Label_battery_text, batteryVoltage ? black : grey);
    setLabelColor(ctx.form1->Label_battery_eenheid, batteryVoltage ? black : grey);
}
