// Taking the snapshot when the window is shown, and putting each group back from it (a sub-panel's
// Cancel restores its own group, the window's Cancel all of them).
#include "core/FirmwareVersion.h"
#include "rules/OptionOperations.h"
#include "windows/options/OptionsWindow.h"

namespace {
std::array<QSpinBox *, 3> pumpAmounts(const TForm3 *w) {
    return {w->SpinEdit_Throttle_pump_effect_amount_0_2000, w->SpinEdit_Throttle_pump_effect_amount_2000_4000,
            w->SpinEdit_Throttle_pump_effect_amount_4000plus};
}
std::array<QSpinBox *, 3> pumpSustains(const TForm3 *w) {
    return {w->SpinEdit_Throttle_pump_effect_sustain_0_2000,
            w->SpinEdit_Throttle_pump_effect_sustain_2000_4000,
            w->SpinEdit_Throttle_pump_effect_sustain_4000plus};
}
std::array<QSpinBox *, 5> accPercents(const TForm3 *w) {
    return {w->SpinEdit_acc_20, w->SpinEdit_acc_30, w->SpinEdit_acc_40, w->SpinEdit_acc_50,
            w->SpinEdit_acc_60};
}
std::array<QSpinBox *, 4> mode0Fields(const TForm3 *w) {
    return {w->SpinEdit_second_stage_rpm, w->SpinEdit_AUX1_Channel1_off, w->SpinEdit_second_stage_engineload,
            w->SpinEdit_AUX1_Channel2_off};
}
std::array<QDoubleSpinBox *, 6> mode1Fields(const TForm3 *w) {
    return {w->AdvSpinEdit_mode1_AUX1_Channel1_on,   w->AdvSpinEdit_mode1_AUX1_Channel1_off,
            w->AdvSpinEdit_mode1_AUX1_hyst_channel1, w->AdvSpinEdit_mode1_AUX1_Channel2_on,
            w->AdvSpinEdit_mode1_AUX1_Channel2_off,  w->AdvSpinEdit_mode1_AUX1_hyst_channel2};
}
std::array<QLineEdit *, 3> remarkLines(const TForm3 *w) {
    return {w->Edit_remarks_line1, w->Edit_remarks_line2, w->Edit_remarks_line3};
}
bool versionAbove1(const QString &version) {
    return !version.isEmpty() && version.at(0) > QLatin1Char('1');
}
} // namespace

void TForm3::TakeOptionsSnapshot() {
    OptionsSnapshot &s = snapshot_;
    const QString version = currentVersion();

    s.pulsesIndex = ComboBox_number_of_cylinders->currentIndex();
    s.strokeMode = ComboBox_inj_stroke_mode->currentIndex() + 1;
    s.pickupFlag = PickupFlagFor(RadioButton_RPM_pickup_from_coil->isChecked(), version);
    s.coilVoltageIndex = ComboBox_coil_input_voltage->currentIndex();
    const auto rows = rpmRangeRows();
    for (int k = 0; k < 25; ++k)
        s.rpmRows[k] = rows[k]->value();

    s.max1 = SpinEdit_max_engineload->value();
    s.min1 = SpinEdit_min_engineload->value();
    s.max2 = SpinEdit_max_engineload2->value();
    s.min2 = SpinEdit_min_engineload2->value();
    s.airPressure = RadioButton_Engine_load_Air_pressure->isChecked() ? 1 : 0;
    s.airAdjustment = AirAdjustmentWord(AdvSpinEdit_Air_pressure_sensor_adjustment->value());
    s.loadModeFlags = PackLoadModeFlags();
    s.responseType = ImagePicker_Respons_type->currentIndex();
    s.pressure125 = SpinEdit_Pressure_at_MAP_output_125V->value();
    s.pressure375 = SpinEdit_Pressure_at_MAP_output_375V->value();
    s.boostFactor = TimesHundred(AdvSpinEdit_Boost_correction_factor->value());

    for (int i = 0; i < 3; ++i) {
        s.pumpAmount[i] = pumpAmounts(this)[i]->value();
        s.pumpSustain[i] = pumpSustains(this)[i]->value();
    }
    s.burstSensitivity = SpinEdit_initial_burst_sensitivity->value();
    s.burstAmplifier = SpinEdit_initial_burst_amplifier->value();
    s.accSensitivity = SpinEdit_acc_sensitivity->value();
    s.accAmplifier = SpinEdit_acc_amplifier->value();
    s.accCrankRotations = SpinEdit_acc_crank_rotations->value();
    for (int i = 0; i < 5; ++i)
        s.accPercent[i] = accPercents(this)[i]->value();
    s.throttlePumpType = ThrottlePumpTypeCode();

    s.tableName = Edit_correction_table_name->text().left(10);
    s.tableUnit = Edit_Correction_table_eenheid->text().left(6);
    s.tableMax = AdvSpinEdit_Max_Correction_table->value();
    s.tableMin = AdvSpinEdit_Min_Correction_table->value();
    s.ntc = CheckBox_NTC_sensor_aktief->isChecked() ? 1 : 0;

    s.startupPulse = AdvSpinEdit_startup_injection_puls->value();
    s.startupTempWords[0] =
        StartupTempWordFor(startupTemperature(1)->value(), startupTemperature(2)->value());
    s.startupTempWords[1] =
        StartupTempWordFor(startupTemperature(3)->value(), startupTemperature(4)->value());
    for (int row = 1; row <= 4; ++row) {
        s.startupPercentWords[2 * (row - 1)] =
            StartupPercentWordFor(crankTurnsPercent(row, 1)->value(), crankTurnsPercent(row, 2)->value());
        s.startupPercentWords[2 * (row - 1) + 1] =
            StartupPercentWordFor(crankTurnsPercent(row, 3)->value(), crankTurnsPercent(row, 4)->value());
        for (int column = 1; column <= 4; ++column)
            s.crankTurnCounts[4 * (row - 1) + column - 1] = int(crankTurnsCount(row, column)->value());
    }
    for (int column = 1; column <= 4; ++column)
        s.startupPulses[column - 1] = TimesHundred(startupPulse(column)->value());

    s.secondStageRpm = RpmSteps50(SpinEdit_second_stage_rpm_oud->value());
    s.secondStageLoad = SpinEdit_second_stage_engineload_oud->value();
    s.mode0Kinds = {ComboBox_AUX1_Channel1_type->currentIndex(), ComboBox_AUX1_Channel2_type->currentIndex()};
    for (int i = 0; i < 4; ++i)
        s.mode0Values[i] = mode0Fields(this)[i]->value();
    s.mode1Kinds = {ComboBox_mode1_AUX1_Channel1_type->currentIndex(),
                    ComboBox_mode1_AUX1_Channel2_type->currentIndex()};
    for (int i = 0; i < 6; ++i)
        s.mode1Values[i] = mode1Fields(this)[i]->value();
    s.aux1ModeCode = Aux1ModeCode();
    s.softLimit = RpmSteps50(SpinEdit_soft_limit->value());

    s.interpolationFlags = PackInterpolationFlags();
    s.overrunRpm = RpmSteps50(SpinEdit_Overrun_fuel_cut_rpm->value());
    s.overrunTps = TimesTen(AdvSpinEdit_Overrun_fuel_cut_tps->value());

    for (int i = 0; i < 3; ++i)
        s.remarks[i] = remarkLines(this)[i]->text().left(32);
}

void TForm3::RestoreOptionsSnapshot() {
    restoreRpmGroup();
    restoreEngineLoadGroup(true);
    restoreThrottlePumpGroup();
    restoreCorrectionTableGroup();
    restoreStartupGroup();
    restoreAux1Group();
    restoreSecondStageOldGroup();
    restoreRpmLimiterGroup();
    restoreInterpolationGroup();
    restoreRemarksGroup();
    RebuildCorrectionHeaders();
    ShowCorrectionTableName();
    ShowCorrectionEnables();
}

void TForm3::restoreRpmGroup() {
    const OptionsSnapshot &s = snapshot_;
    ComboBox_number_of_cylinders->setCurrentIndex(s.pulsesIndex);
    ComboBox_inj_stroke_mode->setCurrentIndex(s.strokeMode - 1);
    if (s.pickupFlag == 1 && versionAbove1(currentVersion()))
        RadioButton_RPM_pickup_from_coil->setChecked(true);
    else
        RadioButton_RPM_pickup_from_Hallsensor->setChecked(true);
    ComboBox_coil_input_voltage->setCurrentIndex(s.coilVoltageIndex);
    const auto rows = rpmRangeRows();
    for (int k = 0; k < 25; ++k)
        rows[k]->setValue(s.rpmRows[k]);
}

void TForm3::restoreEngineLoadGroup(bool fromWindowCancel) {
    const OptionsSnapshot &s = snapshot_;
    SpinEdit_max_engineload->setValue(s.max1);
    SpinEdit_min_engineload->setValue(s.min1);
    // Firmware without the air-pressure use of input 2 keeps input 2 on MAP whatever was held.
    if (fromWindowCancel && !VersionAtLeast(currentVersion(), QStringLiteral("3FA1AB"))) {
        SetAirPressureMode(false);
    } else {
        SetAirPressureMode(s.airPressure == 1);
        AdvSpinEdit_Air_pressure_sensor_adjustment->setValue(AirAdjustmentPercent(s.airAdjustment));
    }
    SpinEdit_max_engineload2->setValue(s.max2);
    SpinEdit_min_engineload2->setValue(s.min2);
    UnpackLoadModeFlags(s.loadModeFlags);
    ImagePicker_Respons_type->setCurrentIndex(s.responseType);
    SpinEdit_Pressure_at_MAP_output_125V->setValue(s.pressure125);
    SpinEdit_Pressure_at_MAP_output_375V->setValue(s.pressure375);
    AdvSpinEdit_Boost_correction_factor->setValue(s.boostFactor / 100.0);
}

void TForm3::restoreThrottlePumpGroup() {
    const OptionsSnapshot &s = snapshot_;
    for (int i = 0; i < 3; ++i) {
        pumpAmounts(this)[i]->setValue(s.pumpAmount[i]);
        pumpSustains(this)[i]->setValue(s.pumpSustain[i]);
    }
    SpinEdit_initial_burst_sensitivity->setValue(s.burstSensitivity);
    SpinEdit_initial_burst_amplifier->setValue(s.burstAmplifier);
    SpinEdit_acc_sensitivity->setValue(s.accSensitivity);
    SpinEdit_acc_amplifier->setValue(s.accAmplifier);
    SpinEdit_acc_crank_rotations->setValue(s.accCrankRotations);
    for (int i = 0; i < 5; ++i)
        accPercents(this)[i]->setValue(s.accPercent[i]);
    SetThrottlePumpTypeCode(s.throttlePumpType);
    // An unknown code leaves the boxes; their enabling still follows them.
    EnableThrottlePumpType1(CheckBox_enable_type1->isChecked());
    EnableThrottlePumpType2(CheckBox_enable_type2->isChecked());
}

void TForm3::restoreCorrectionTableGroup() {
    const OptionsSnapshot &s = snapshot_;
    Edit_correction_table_name->setText(s.tableName);
    Edit_Correction_table_eenheid->setText(s.tableUnit);
    {
        // Restoring is no user choice: the NTC box must not force its range here.
        const QSignalBlocker quiet(CheckBox_NTC_sensor_aktief);
        CheckBox_NTC_sensor_aktief->setChecked(s.ntc == 1);
    }
    AdvSpinEdit_Max_Correction_table->setValue(s.tableMax);
    AdvSpinEdit_Min_Correction_table->setValue(s.tableMin);
    UnpackLoadModeFlags(s.loadModeFlags);
}

void TForm3::restoreStartupGroup() {
    const OptionsSnapshot &s = snapshot_;
    AdvSpinEdit_startup_injection_puls->setValue(s.startupPulse);
    for (int pair = 0; pair < 2; ++pair) {
        const auto [a, b] = StartupTempsFromWord(s.startupTempWords[pair]);
        QDoubleSpinBox *first = startupTemperature(2 * pair + 1);
        QDoubleSpinBox *second = startupTemperature(2 * pair + 2);
        for (QDoubleSpinBox *field : {first, second}) {
            field->setRange(-20, 135);
            field->setSingleStep(1);
        }
        first->setValue(a);
        second->setValue(b);
    }
    for (int row = 1; row <= 4; ++row) {
        const auto [p1, p2] = StartupPercentsFromWord(s.startupPercentWords[2 * (row - 1)]);
        const auto [p3, p4] = StartupPercentsFromWord(s.startupPercentWords[2 * (row - 1) + 1]);
        crankTurnsPercent(row, 1)->setValue(p1);
        crankTurnsPercent(row, 2)->setValue(p2);
        crankTurnsPercent(row, 3)->setValue(p3);
        crankTurnsPercent(row, 4)->setValue(p4);
        for (int column = 1; column <= 4; ++column)
            crankTurnsCount(row, column)->setValue(s.crankTurnCounts[4 * (row - 1) + column - 1]);
    }
    for (int column = 1; column <= 4; ++column)
        startupPulse(column)->setValue(s.startupPulses[column - 1] / 100.0);
}

void TForm3::restoreAux1Group() {
    const OptionsSnapshot &s = snapshot_;
    const auto fields0 = mode0Fields(this);
    for (int channel = 1; channel <= 2; ++channel) {
        SetAux1Mode0ChannelKind(channel, s.mode0Kinds[channel - 1]);
        fields0[2 * (channel - 1)]->setValue(s.mode0Values[2 * (channel - 1)]);
        fields0[2 * (channel - 1) + 1]->setValue(s.mode0Values[2 * (channel - 1) + 1]);
    }
    SetAux1ModeCode(s.aux1ModeCode);
    SetAux1Mode1ChannelKind(1, s.mode1Kinds[0]);
    SetAux1Mode1ChannelKind(2, s.mode1Kinds[1]);
    const auto fields1 = mode1Fields(this);
    for (int i = 0; i < 6; ++i)
        fields1[i]->setValue(s.mode1Values[i]);
}

void TForm3::restoreSecondStageOldGroup() {
    SpinEdit_second_stage_rpm_oud->setValue(snapshot_.secondStageRpm * 50);
    SpinEdit_second_stage_engineload_oud->setValue(snapshot_.secondStageLoad);
}

void TForm3::restoreRpmLimiterGroup() {
    SpinEdit_soft_limit->setValue(snapshot_.softLimit * 50);
}

void TForm3::restoreInterpolationGroup() {
    UnpackInterpolationFlags(snapshot_.interpolationFlags);
    SpinEdit_Overrun_fuel_cut_rpm->setValue(snapshot_.overrunRpm * 50);
    AdvSpinEdit_Overrun_fuel_cut_tps->setValue(snapshot_.overrunTps / 10.0);
}

void TForm3::restoreRemarksGroup() {
    for (int i = 0; i < 3; ++i)
        remarkLines(this)[i]->setText(snapshot_.remarks[i]);
}
