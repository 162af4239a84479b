// Correction-table sub-panel (firmware below "3FA"): name, unit and axis range of the first correction
// table, the NTC switch and the inlet-temperature and battery corrections; and where these settings show up
// in the correction-table window and on the dashboard.
#include "app/AppContext.h"
#include "rules/OptionOperations.h"
#include "windows/options/OptionsWidgets.h"
#include "windows/options/OptionsWindow.h"
#include "windows/options/OtherWindows.h"

#include <QFormLayout>
#include <QVBoxLayout>

using namespace OptionsWidgets;

void TForm3::buildCorrectionTableGroup() {
    QVR_MAKE(GroupBox_Correction_table, group, QStringLiteral("Correction-table"), this);
    QGroupBox *box = GroupBox_Correction_table;

    QVR_NAMED(Edit_correction_table_name, new QLineEdit(QStringLiteral("Water-temp")));
    Edit_correction_table_name->setMaxLength(10);
    QVR_NAMED(Edit_Correction_table_eenheid, new QLineEdit(QStringLiteral("\u00B0C")));
    Edit_Correction_table_eenheid->setMaxLength(6);
    QVR_MAKE(AdvSpinEdit_Max_Correction_table, decimalSpin, -9999, 9999, 0.1, 2, 100);
    QVR_MAKE(AdvSpinEdit_Min_Correction_table, decimalSpin, -99999, 99999, 0.1, 2, 0);
    QVR_NAMED(CheckBox_NTC_sensor_aktief, new QCheckBox(QStringLiteral("NTC-temp. sensor")));

    QVR_MAKE(GroupBox_extra_corrections, group, QStringLiteral("Extra corrections on/off"));
    QVR_NAMED(CheckBox_inlet_temp_correction_on_off, new QCheckBox(QStringLiteral("Inlet temperature")));
    QVR_NAMED(CheckBox_Battery_correction_on_off, new QCheckBox(QStringLiteral("Battery voltage")));
    {
        auto *v = new QVBoxLayout(GroupBox_extra_corrections);
        v->setContentsMargins(10, 14, 10, 10);
        v->addWidget(CheckBox_inlet_temp_correction_on_off);
        v->addWidget(CheckBox_Battery_correction_on_off);
    }

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    form->setVerticalSpacing(8);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    const auto row = [&](const char *name, const QString &caption, QWidget *field) {
        field->setMinimumWidth(120);
        form->addRow(label(QString::fromLatin1(name), caption), field);
    };
    row("Label_correction_table_name", QStringLiteral("Name Correction-table:"), Edit_correction_table_name);
    row("Label_Correction_table_eenheid", QStringLiteral("Unit Correction-table:"),
        Edit_Correction_table_eenheid);
    row("Label_Max_Correction_table", QStringLiteral("Max. Correction-table:"),
        AdvSpinEdit_Max_Correction_table);
    row("Label_Min_Correction_table", QStringLiteral("Min. Correction-table:"),
        AdvSpinEdit_Min_Correction_table);
    form->addRow(QString(), CheckBox_NTC_sensor_aktief);

    QVR_OK_CANCEL(Button_Ok_Correction_table, Button_Cancel_Correction_table, box);
    auto *extra = new QHBoxLayout;
    extra->addWidget(GroupBox_extra_corrections);
    extra->addStretch(1);
    fillPanel(box, 10, {form, extra}, Button_Ok_Correction_table, Button_Cancel_Correction_table);
}

void TForm3::RebuildCorrectionHeaders() {
    CorrectionHeaders headers;
    headers.waterTitle =
        Edit_correction_table_name->text() + QStringLiteral(" in ") + Edit_Correction_table_eenheid->text();
    headers.water = WaterTempAxisTexts(AdvSpinEdit_Min_Correction_table->value(),
                                       AdvSpinEdit_Max_Correction_table->value());
    headers.airTemp = AirTempAxisTexts();
    headers.battery = BatteryAxisTexts();
    headers.airPressure = AirPressureAxisTexts();
    SetCorrectionHeaders(ctx_, headers);
}

void TForm3::ShowCorrectionTableName() {
    SetDashboardCorrectionName(ctx_, Edit_correction_table_name->text(),
                               Edit_Correction_table_eenheid->text());
}

void TForm3::ShowCorrectionEnables() {
    SetDashboardCorrectionEnables(ctx_, CheckBox_inlet_temp_correction_on_off->isChecked(),
                                  CheckBox_Battery_correction_on_off->isChecked());
}
