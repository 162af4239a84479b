// The option groups' sub-panels that have rules of their own: open (with the version rules of their inner
// controls), Ok (with its checks; a failed check keeps the sub-panel open as the user left it) and Cancel
// (restores only that group). The plain rest is wired from a table in OptionsFrame.cpp.
#include "app/AppContext.h"
#include "core/Dialogs.h"
#include "core/FirmwareVersion.h"
#include "windows/options/OptionsWindow.h"

namespace {
void warn(AppContext &ctx, const QString &text) {
    if (ctx.dialogs)
        ctx.dialogs->warning(text);
}
bool atLeast(const TForm3 *w, const char *version) {
    return VersionAtLeast(w->currentVersion(), QString::fromLatin1(version));
}
} // namespace

// ---- RPM pickup and range --------------------------------------------------------------------------------

void TForm3::Button_RPM_pickupClick() {
    ShowMenuButtons(false);
    const bool full = atLeast(this, "3FA");
    Button_RPM_Range->setVisible(full);
    Label_coil_input_voltage->setVisible(full);
    ComboBox_coil_input_voltage->setVisible(full);
    const QString version = currentVersion();
    const bool pickupChoice = !version.isEmpty() && version.at(0) >= QLatin1Char('2');
    for (QWidget *w : std::initializer_list<QWidget *>{
             Label_RPM_pickup_from_coil, RadioButton_RPM_pickup_from_coil, Label_RPM_pickup_from_Hallsensor,
             RadioButton_RPM_pickup_from_Hallsensor})
        w->setVisible(pickupChoice);
    openSubPanel(GroupBox_RPM_pickup, Button_Cancel_RPM_pickup);
}

void TForm3::Button_Cancel_RPM_pickupClick() {
    restoreRpmGroup();
    GroupBox_RPM_Range->hide();
    closeSubPanel(GroupBox_RPM_pickup);
}

void TForm3::Button_RPM_RangeClick() {
    GroupBox_RPM_Range->move(5, 25);
    GroupBox_RPM_Range->show();
    GroupBox_RPM_Range->raise();
}

void TForm3::Button_RPM_Range_OkClick() {
    const auto rows = rpmRangeRows();
    for (int k = 0; k + 1 < 25; ++k) {
        if (rows[k]->value() >= rows[k + 1]->value()) {
            warn(ctx_, QStringLiteral("Check RPM values this has to run from low to high !!!"));
            return;
        }
    }
    GroupBox_RPM_Range->hide();
}

// ---- Engine-load sensor ----------------------------------------------------------------------------------

void TForm3::Button_Engine_load_sensorClick() {
    ShowMenuButtons(false);
    if (atLeast(this, "3FA")) {
        ComboBox_Engine_load_sensor_type->hide();
        Label_main_load_is->show();
        ComboBox_Engineloadsensor_Throttle_or_Map->show();
        GroupBox_Engineload2->show();
        const bool airPressureOffered = atLeast(this, "3FA1AB");
        RadioButton_Engine_load_MAP->setVisible(airPressureOffered);
        RadioButton_Engine_load_Air_pressure->setVisible(airPressureOffered);
        if (!airPressureOffered)
            RadioButton_Engine_load_MAP->setChecked(true);
    } else {
        ComboBox_Engine_load_sensor_type->show();
        Label_main_load_is->hide();
        ComboBox_Engineloadsensor_Throttle_or_Map->hide();
        GroupBox_Engineload2->hide();
        RadioButton_Engine_load_MAP->setChecked(true);
    }
    SetAirPressureMode(RadioButton_Engine_load_Air_pressure->isChecked());
    if (atLeast(this, "3FA1AD")) {
        GroupBox_Boost_correction_factor->show();
        const bool factor = ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex() == 3;
        AdvSpinEdit_Boost_correction_factor->setEnabled(factor);
        Label_Boost_correction_factor_note->setEnabled(factor);
    } else {
        GroupBox_Boost_correction_factor->hide();
    }
    GroupBox_set_engineloadsensor_to_minmax->hide();
    openSubPanel(GroupBox_engine_load_sensor, Button_Cancel_Engine_load_sensor);
}

void TForm3::Button_Ok_Engine_load_sensorClick() {
    const int mainLoad = ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex();
    if (atLeast(this, "3FA1AB") && mainLoad == 1 && RadioButton_Engine_load_Air_pressure->isChecked()) {
        warn(ctx_, QStringLiteral("Set main load to \"Engine-load 1 (Throttle Position Sensor)\" when air "
                                  "pressure sensor is used on Engine-load 2 !!!"));
        return;
    }
    if (mainLoad == 2 && !atLeast(this, "3FA1AC")) {
        warn(ctx_,
             QStringLiteral("Engine load 1 (TPS) + Engine Load 2 as Boost correction table\r\r\n is only "
                            "possible from version 3FA1AC1AA!!!"));
        return;
    }
    if (mainLoad == 3 && !atLeast(this, "3FA1AD")) {
        warn(ctx_,
             QStringLiteral("Engine load 1 (TPS) + Engine Load 2 as Boost correction factor\r\r\n is only "
                            "possible from version 3FA1AD1AA!!!"));
        return;
    }
    GroupBox_set_engineloadsensor_to_minmax->hide();
    closeSubPanel(GroupBox_engine_load_sensor);
}

void TForm3::Button_Cancel_Engine_load_sensorClick() {
    restoreEngineLoadGroup(false);
    GroupBox_set_engineloadsensor_to_minmax->hide();
    closeSubPanel(GroupBox_engine_load_sensor);
}

// ---- Startup ----------------------------------------------------------------------------------------------

void TForm3::Button_StartupClick() {
    GroupBox_startup_enrichment->setVisible(atLeast(this, "3FA"));
    openSubPanel(GroupBox_Startup, Button_Cancel_Startup);
}

void TForm3::Button_Ok_StartupClick() {
    if (atLeast(this, "3FA")) {
        for (int column = 1; column <= 3; ++column) {
            if (startupTemperature(column)->value() >= startupTemperature(column + 1)->value()) {
                warn(ctx_, QStringLiteral("Check Watertemp values this has to run from low to high !!!"));
                return;
            }
        }
    }
    closeSubPanel(GroupBox_Startup);
}

// ---- AUX1 / Second stage ------------------------------------------------------------------------------

void TForm3::Button_Second_stageClick() {
    if (!atLeast(this, "3FA")) {
        openSubPanel(GroupBox_Second_stage_oud, Button_Cancel_Second_stage_oud);
        return;
    }
    const bool mode1 = RadioButton_mode1_AUX1->isChecked();
    EnableAux1Mode0(!mode1);
    EnableAux1Mode1(mode1);
    openSubPanel(GroupBox_Second_stage, Button_Cancel_Second_stage);
}

void TForm3::Button_Ok_Second_stageClick() {
    const QList<QComboBox *> lists{ComboBox_AUX1_Channel1_type, ComboBox_AUX1_Channel2_type,
                                   ComboBox_mode1_AUX1_Channel1_type, ComboBox_mode1_AUX1_Channel2_type};
    for (QComboBox *list : lists) {
        if (!HasSelectedEntry(list)) {
            warn(ctx_, QStringLiteral("Do not edit\r\nuse pulldown menu!!!"));
            return;
        }
    }
    if (airPressureChosen()) {
        for (QComboBox *list : lists) {
            if (list->currentIndex() == 3) {
                warn(ctx_,
                     QStringLiteral("Boost pressure is not possible \r\nwhen Air pressure is used !!!"));
                return;
            }
        }
    }
    closeSubPanel(GroupBox_Second_stage);
}

void TForm3::Button_Cancel_Second_stageClick() {
    restoreAux1Group();
    closeSubPanel(GroupBox_Second_stage);
}

void TForm3::Button_Cancel_Second_stage_oudClick() {
    restoreSecondStageOldGroup();
    closeSubPanel(GroupBox_Second_stage_oud);
}

// ---- Interpolation --------------------------------------------------------------------------------------

void TForm3::Button_interpolation_to_limitsClick() {
    GroupBox_Overrun_fuel_cut->setVisible(atLeast(this, "3FA"));
    openSubPanel(GroupBox_interpolation_to_limits, Button_Cancel_interpolation_to_limits);
}

void TForm3::Button_Cancel_interpolation_to_limitsClick() {
    restoreInterpolationGroup();
    closeSubPanel(GroupBox_interpolation_to_limits);
}
