#include "app/DataSetCodec.h"

#include <algorithm>

#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "core/AuxConversion.h"
#include "core/Encoding.h"
#include "core/FirmwareVersion.h"
#include "core/ImageLayout.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/options/OptionsWindow.h"

namespace W = ImageWord;
using Image = QVector<std::uint16_t>;

namespace {

const QString FixedTableName = QStringLiteral("Water-temp");
const QString FixedTableUnit = QStringLiteral("\u00B0C");

struct Gates {
    explicit Gates(const QString &v)
        : version(v), full(VersionAtLeast(v, QStringLiteral("3FA"))),
          airPressure(VersionAtLeast(v, QStringLiteral("3FA1AB"))),
          boostMap(VersionAtLeast(v, QStringLiteral("3FA1AC"))),
          boostFactor(VersionAtLeast(v, QStringLiteral("3FA1AD"))) {}
    QString version;
    bool full;        // "3FA": 1089-word image, fixed correction-table settings
    bool airPressure; // "3FA1AB": words 655..688
    bool boostMap;    // "3FA1AC": words 689..1088
    bool boostFactor; // "3FA1AD": boost factor in the low byte of 656
};

QString versionOf(AppContext &ctx) {
    return ctx.form3 ? ctx.form3->currentVersion() : QString();
}

// ---- encoding helpers ------------------------------------------------------------------------------------

std::uint16_t unsignedWord(double scaled) {
    return std::uint16_t(std::clamp(RoundHalfEven(scaled), 0, 65535));
}

std::uint16_t signedWord(double scaled) {
    return EncodeSignMagnitude(std::clamp(RoundHalfEven(scaled), -32767, 32767));
}

int byteOf(double value) {
    return std::clamp(RoundHalfEven(value), 0, 255);
}

std::uint16_t bytePair(double high, double low) {
    return PackBytePair(byteOf(high), byteOf(low));
}

int listIndex(const QComboBox *list) {
    return std::max(0, list->currentIndex());
}

void putText(Image &image, int start, const QString &text, int chars) {
    const QVector<std::uint16_t> words = PackText(text, chars);
    for (int i = 0; i < words.size() && i < chars / 2; ++i)
        image[start + i] = words[i];
}

void putMap(Image &image, int start, const DataGrid *grid, double scale, bool isSigned) {
    for (int row = 1; row <= MapRows; ++row)
        for (int column = 1; column <= MapColumns; ++column) {
            const double scaled = grid->cellValue(column, row) * scale;
            image[MapCellAddress(start, column, row)] = isSigned ? signedWord(scaled) : unsignedWord(scaled);
        }
}

void putTable(Image &image, int start, const DataGrid *grid, double scale) {
    for (int column = 0; column < TableEntries; ++column)
        image[start + column] = signedWord(grid->cellValue(column, 1) * scale);
}

// ---- decoding helpers ------------------------------------------------------------------------------------

void setListIndex(QComboBox *list, int index) {
    // An index the list does not have would leave it without a selection; take the first entry instead.
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : 0);
}

void getMap(const Image &image, int start, DataGrid *grid, double scale, bool isSigned) {
    for (int row = 1; row <= MapRows; ++row)
        for (int column = 1; column <= MapColumns; ++column) {
            const std::uint16_t word = image[MapCellAddress(start, column, row)];
            grid->setCellValue(column, row, (isSigned ? DecodeSignMagnitude(word) : int(word)) / scale);
        }
}

void getTable(const Image &image, int start, DataGrid *grid, double scale) {
    for (int column = 0; column < TableEntries; ++column)
        grid->setCellValue(column, 1, DecodeSignMagnitude(image[start + column]) / scale);
}

QString getText(const Image &image, int start, int chars) {
    return UnpackText(image.constData() + start, chars / 2);
}

// Channel kinds of the AUX lists; anything the lists do not offer counts as "None".
int auxKind(std::uint16_t word) {
    return word <= 5 ? int(word) : 0;
}

// ---- the option words, both directions -------------------------------------------------------------------

void encodeOptions(const Gates &g, TForm3 &f, Image &image) {
    image[W::CylindersAndPickup] =
        EncodeCylindersAndPickup(g.version, listIndex(f.ComboBox_number_of_cylinders),
                                 !f.RadioButton_RPM_pickup_from_coil->isChecked());
    image[W::InjectionStrokeMode] = std::uint16_t(listIndex(f.ComboBox_inj_stroke_mode) + 1);
    image[W::EngineLoadMax] = std::uint16_t(f.SpinEdit_max_engineload->value());
    image[W::EngineLoadMin] = std::uint16_t(f.SpinEdit_min_engineload->value());
    putText(image, W::CorrectionTableName, g.full ? FixedTableName : f.Edit_correction_table_name->text(),
            10);
    putText(image, W::CorrectionTableUnit, g.full ? FixedTableUnit : f.Edit_Correction_table_eenheid->text(),
            6);
    image[W::NtcSensorActive] = (g.full || f.CheckBox_NTC_sensor_aktief->isChecked()) ? 1 : 0;
    // From "3FA" the axis limits are the fixed raw degrees, not scaled by 100.
    const WordPair max = EncodeSignMagnitude32(
        g.full ? 135 : std::int64_t(RoundHalfEven(f.AdvSpinEdit_Max_Correction_table->value() * 100)));
    const WordPair min = EncodeSignMagnitude32(
        g.full ? -20 : std::int64_t(RoundHalfEven(f.AdvSpinEdit_Min_Correction_table->value() * 100)));
    image[W::CorrectionTableMax] = max.high;
    image[W::CorrectionTableMax + 1] = max.low;
    image[W::CorrectionTableMin] = min.high;
    image[W::CorrectionTableMin + 1] = min.low;
    image[W::SecondStageRpmOld] = unsignedWord(f.SpinEdit_second_stage_rpm_oud->value() / 50.0);
    image[W::SecondStageEngineLoadOld] = unsignedWord(f.SpinEdit_second_stage_engineload_oud->value());
    image[W::StartupInjectionPulse] = unsignedWord(f.AdvSpinEdit_startup_injection_puls->value() * 100);
    image[W::InterpolationFlags] = std::uint16_t(f.PackInterpolationFlags());
    image[W::ThrottlePumpLow] = bytePair(f.SpinEdit_Throttle_pump_effect_amount_0_2000->value(),
                                         f.SpinEdit_Throttle_pump_effect_sustain_0_2000->value());
    image[W::ThrottlePumpMid] = bytePair(f.SpinEdit_Throttle_pump_effect_amount_2000_4000->value(),
                                         f.SpinEdit_Throttle_pump_effect_sustain_2000_4000->value());
    image[W::ThrottlePumpHigh] = bytePair(f.SpinEdit_Throttle_pump_effect_amount_4000plus->value(),
                                          f.SpinEdit_Throttle_pump_effect_sustain_4000plus->value());
    image[W::LoadModeFlags] = std::uint16_t(f.PackLoadModeFlags());
    image[W::ResponseType] = std::uint16_t(listIndex(f.ImagePicker_Respons_type));
    putText(image, W::RemarksLine1, f.Edit_remarks_line1->text(), 32);
    putText(image, W::RemarksLine2, f.Edit_remarks_line2->text(), 32);
    putText(image, W::RemarksLine3, f.Edit_remarks_line3->text(), 32);
    if (g.full) {
        image[W::EngineLoad2Max] = std::uint16_t(f.SpinEdit_max_engineload2->value());
        image[W::EngineLoad2Min] = std::uint16_t(f.SpinEdit_min_engineload2->value());
        image[W::MapPressureAt375V] = unsignedWord(f.SpinEdit_Pressure_at_MAP_output_375V->value());
        image[W::MapPressureAt125V] = unsignedWord(f.SpinEdit_Pressure_at_MAP_output_125V->value());
    }
}

void decodeOptions(const Gates &g, TForm3 &f, const Image &image) {
    const CylindersAndPickup pickup = DecodeCylindersAndPickup(g.version, image[W::CylindersAndPickup]);
    setListIndex(f.ComboBox_number_of_cylinders, pickup.cylinderIndex);
    if (pickup.hallSensor) {
        f.RadioButton_RPM_pickup_from_Hallsensor->setChecked(*pickup.hallSensor);
        f.RadioButton_RPM_pickup_from_coil->setChecked(!*pickup.hallSensor);
    }
    setListIndex(f.ComboBox_inj_stroke_mode, int(image[W::InjectionStrokeMode]) - 1);
    f.SpinEdit_max_engineload->setValue(image[W::EngineLoadMax]);
    f.SpinEdit_min_engineload->setValue(image[W::EngineLoadMin]);
    f.Edit_correction_table_name->setText(g.full ? FixedTableName
                                                 : getText(image, W::CorrectionTableName, 10));
    f.Edit_Correction_table_eenheid->setText(g.full ? FixedTableUnit
                                                    : getText(image, W::CorrectionTableUnit, 6));
    f.CheckBox_NTC_sensor_aktief->setChecked(g.full || image[W::NtcSensorActive] == 1);
    if (g.full) {
        f.AdvSpinEdit_Max_Correction_table->setValue(135);
        f.AdvSpinEdit_Min_Correction_table->setValue(-20);
    } else {
        f.AdvSpinEdit_Max_Correction_table->setValue(
            double(DecodeSignMagnitude32(image[W::CorrectionTableMax], image[W::CorrectionTableMax + 1])) /
            100.0);
        f.AdvSpinEdit_Min_Correction_table->setValue(
            double(DecodeSignMagnitude32(image[W::CorrectionTableMin], image[W::CorrectionTableMin + 1])) /
            100.0);
    }
    f.SpinEdit_second_stage_rpm_oud->setValue(image[W::SecondStageRpmOld] * 50);
    f.SpinEdit_second_stage_engineload_oud->setValue(image[W::SecondStageEngineLoadOld]);
    f.AdvSpinEdit_startup_injection_puls->setValue(image[W::StartupInjectionPulse] / 100.0);
    f.UnpackInterpolationFlags(image[W::InterpolationFlags]);
    f.SpinEdit_Throttle_pump_effect_amount_0_2000->setValue(HighByte(image[W::ThrottlePumpLow]));
    f.SpinEdit_Throttle_pump_effect_sustain_0_2000->setValue(LowByte(image[W::ThrottlePumpLow]));
    f.SpinEdit_Throttle_pump_effect_amount_2000_4000->setValue(HighByte(image[W::ThrottlePumpMid]));
    f.SpinEdit_Throttle_pump_effect_sustain_2000_4000->setValue(LowByte(image[W::ThrottlePumpMid]));
    f.SpinEdit_Throttle_pump_effect_amount_4000plus->setValue(HighByte(image[W::ThrottlePumpHigh]));
    f.SpinEdit_Throttle_pump_effect_sustain_4000plus->setValue(LowByte(image[W::ThrottlePumpHigh]));
    f.UnpackLoadModeFlags(image[W::LoadModeFlags]);
    setListIndex(f.ImagePicker_Respons_type, image[W::ResponseType]);
    f.Edit_remarks_line1->setText(getText(image, W::RemarksLine1, 32));
    f.Edit_remarks_line2->setText(getText(image, W::RemarksLine2, 32));
    f.Edit_remarks_line3->setText(getText(image, W::RemarksLine3, 32));
    if (g.full) {
        f.SpinEdit_max_engineload2->setValue(image[W::EngineLoad2Max]);
        f.SpinEdit_min_engineload2->setValue(image[W::EngineLoad2Min]);
        f.SpinEdit_Pressure_at_MAP_output_375V->setValue(image[W::MapPressureAt375V]);
        f.SpinEdit_Pressure_at_MAP_output_125V->setValue(image[W::MapPressureAt125V]);
    }
    f.ApplyThrottlePumpTypesForVersion();
    f.ShowCorrectionTableName();
    f.ShowCorrectionEnables();
}

// Words 569..654: enrichment, limits, start-up and AUX1 ("3FA" and later; the battery table is apart).
void encodeExtendedOptions(TForm3 &f, Image &image) {
    const auto rows = f.rpmRangeRows();
    for (int k = 0; k < MapRows; ++k)
        image[W::RpmRange + k] = unsignedWord(rows[k]->value() / 10.0);

    image[W::InitialBurst] =
        bytePair(f.SpinEdit_initial_burst_sensitivity->value(), f.SpinEdit_initial_burst_amplifier->value());
    image[W::AccelSensitivityAmplifier] =
        bytePair(f.SpinEdit_acc_sensitivity->value(), f.SpinEdit_acc_amplifier->value());
    image[W::AccelCrankRotations20] =
        bytePair(f.SpinEdit_acc_crank_rotations->value(), f.SpinEdit_acc_20->value());
    image[W::Accel30And40] = bytePair(f.SpinEdit_acc_30->value(), f.SpinEdit_acc_40->value());
    image[W::Accel50And60] = bytePair(f.SpinEdit_acc_50->value(), f.SpinEdit_acc_60->value());
    image[W::ThrottlePumpTypeCode] = PackBytePair(f.ThrottlePumpTypeCode(), 0);
    image[W::OverrunFuelCut] = bytePair(f.SpinEdit_Overrun_fuel_cut_rpm->value() / 50.0,
                                        f.AdvSpinEdit_Overrun_fuel_cut_tps->value() * 10);
    image[W::CoilInputVoltage] = std::uint16_t(listIndex(f.ComboBox_coil_input_voltage));
    image[W::SoftLimit] = unsignedWord(f.SpinEdit_soft_limit->value() / 50.0);

    for (int pair = 0; pair < 2; ++pair)
        image[W::StartupTempWord + pair] = bytePair(f.startupTemperature(2 * pair + 1)->value() + 20,
                                                    f.startupTemperature(2 * pair + 2)->value() + 20);
    for (int column = 1; column <= 4; ++column)
        image[W::StartupPulseByTemp + column - 1] = unsignedWord(f.startupPulse(column)->value() * 100);
    for (int turns = 1; turns <= 4; ++turns)
        for (int pair = 0; pair < 2; ++pair)
            image[W::StartupPercentWord + 2 * (turns - 1) + pair] =
                bytePair(f.crankTurnsPercent(turns, 2 * pair + 1)->value() / 2,
                         f.crankTurnsPercent(turns, 2 * pair + 2)->value() / 2);
    for (int column = 1; column <= 4; ++column)
        for (int turns = 1; turns <= 4; ++turns)
            image[W::CrankTurnsCol1 + 4 * (column - 1) + turns - 1] =
                unsignedWord(f.crankTurnsCount(turns, column)->value());

    const int kind1 = listIndex(f.ComboBox_AUX1_Channel1_type);
    const int kind2 = listIndex(f.ComboBox_AUX1_Channel2_type);
    image[W::Aux1Channel1Type] = std::uint16_t(kind1);
    image[W::Aux1Channel1On] = AuxEncodeInteger(kind1, f.SpinEdit_second_stage_rpm->value());
    image[W::Aux1Channel1Off] = AuxEncodeInteger(kind1, f.SpinEdit_AUX1_Channel1_off->value());
    image[W::Aux1Channel2Type] = std::uint16_t(kind2);
    image[W::Aux1Channel2On] = AuxEncodeInteger(kind2, f.SpinEdit_second_stage_engineload->value());
    image[W::Aux1Channel2Off] = AuxEncodeInteger(kind2, f.SpinEdit_AUX1_Channel2_off->value());
    image[W::Aux1ModeCode] = std::uint16_t(f.Aux1ModeCode());
    const int mode1Kind1 = listIndex(f.ComboBox_mode1_AUX1_Channel1_type);
    const int mode1Kind2 = listIndex(f.ComboBox_mode1_AUX1_Channel2_type);
    image[W::Aux1Mode1Channel1Type] = std::uint16_t(mode1Kind1);
    image[W::Aux1Mode1Channel1On] =
        AuxEncodeDecimal(mode1Kind1, f.AdvSpinEdit_mode1_AUX1_Channel1_on->value());
    image[W::Aux1Mode1Channel1Off] =
        AuxEncodeDecimal(mode1Kind1, f.AdvSpinEdit_mode1_AUX1_Channel1_off->value());
    image[W::Aux1Mode1Channel2Type] = std::uint16_t(mode1Kind2);
    image[W::Aux1Mode1Channel2On] =
        AuxEncodeDecimal(mode1Kind2, f.AdvSpinEdit_mode1_AUX1_Channel2_on->value());
    image[W::Aux1Mode1Channel2Off] =
        AuxEncodeDecimal(mode1Kind2, f.AdvSpinEdit_mode1_AUX1_Channel2_off->value());
    // Each hysteresis converts by the kind of the mode-1 channel it belongs to.
    image[W::Aux1Mode1HystChannel1] =
        AuxEncodeDecimal(mode1Kind1, f.AdvSpinEdit_mode1_AUX1_hyst_channel1->value());
    image[W::Aux1Mode1HystChannel2] =
        AuxEncodeDecimal(mode1Kind2, f.AdvSpinEdit_mode1_AUX1_hyst_channel2->value());
}

void decodeExtendedOptions(TForm3 &f, const Image &image) {
    const auto rows = f.rpmRangeRows();
    for (int k = 0; k < MapRows; ++k)
        rows[k]->setValue(image[W::RpmRange + k] * 10);

    f.SpinEdit_initial_burst_sensitivity->setValue(HighByte(image[W::InitialBurst]));
    f.SpinEdit_initial_burst_amplifier->setValue(LowByte(image[W::InitialBurst]));
    f.SpinEdit_acc_sensitivity->setValue(HighByte(image[W::AccelSensitivityAmplifier]));
    f.SpinEdit_acc_amplifier->setValue(LowByte(image[W::AccelSensitivityAmplifier]));
    f.SpinEdit_acc_crank_rotations->setValue(HighByte(image[W::AccelCrankRotations20]));
    f.SpinEdit_acc_20->setValue(LowByte(image[W::AccelCrankRotations20]));
    f.SpinEdit_acc_30->setValue(HighByte(image[W::Accel30And40]));
    f.SpinEdit_acc_40->setValue(LowByte(image[W::Accel30And40]));
    f.SpinEdit_acc_50->setValue(HighByte(image[W::Accel50And60]));
    f.SpinEdit_acc_60->setValue(LowByte(image[W::Accel50And60]));
    f.SetThrottlePumpTypeCode(HighByte(image[W::ThrottlePumpTypeCode]));
    f.SpinEdit_Overrun_fuel_cut_rpm->setValue(HighByte(image[W::OverrunFuelCut]) * 50);
    f.AdvSpinEdit_Overrun_fuel_cut_tps->setValue(LowByte(image[W::OverrunFuelCut]) / 10.0);
    setListIndex(f.ComboBox_coil_input_voltage, image[W::CoilInputVoltage]);
    f.SpinEdit_soft_limit->setValue(image[W::SoftLimit] * 50);

    for (int pair = 0; pair < 2; ++pair) {
        const std::uint16_t word = image[W::StartupTempWord + pair];
        const int temperatures[2] = {HighByte(word) - 20, LowByte(word) - 20};
        for (int i = 0; i < 2; ++i) {
            QDoubleSpinBox *field = f.startupTemperature(2 * pair + 1 + i);
            field->setRange(-20, 135);
            field->setSingleStep(1);
            field->setValue(temperatures[i]);
        }
    }
    for (int column = 1; column <= 4; ++column)
        f.startupPulse(column)->setValue(image[W::StartupPulseByTemp + column - 1] / 100.0);
    for (int turns = 1; turns <= 4; ++turns)
        for (int pair = 0; pair < 2; ++pair) {
            const std::uint16_t word = image[W::StartupPercentWord + 2 * (turns - 1) + pair];
            f.crankTurnsPercent(turns, 2 * pair + 1)->setValue(HighByte(word) * 2);
            f.crankTurnsPercent(turns, 2 * pair + 2)->setValue(LowByte(word) * 2);
        }
    for (int column = 1; column <= 4; ++column)
        for (int turns = 1; turns <= 4; ++turns)
            f.crankTurnsCount(turns, column)
                ->setValue(image[W::CrankTurnsCol1 + 4 * (column - 1) + turns - 1]);

    // A kind first sets range, unit and a default value; the stored thresholds follow.
    const int kind1 = auxKind(image[W::Aux1Channel1Type]);
    const int kind2 = auxKind(image[W::Aux1Channel2Type]);
    f.SetAux1Mode0ChannelKind(1, kind1);
    f.SpinEdit_second_stage_rpm->setValue(AuxDecodeInteger(kind1, image[W::Aux1Channel1On]));
    f.SpinEdit_AUX1_Channel1_off->setValue(AuxDecodeInteger(kind1, image[W::Aux1Channel1Off]));
    f.SetAux1Mode0ChannelKind(2, kind2);
    f.SpinEdit_second_stage_engineload->setValue(AuxDecodeInteger(kind2, image[W::Aux1Channel2On]));
    f.SpinEdit_AUX1_Channel2_off->setValue(AuxDecodeInteger(kind2, image[W::Aux1Channel2Off]));
    f.SetAux1ModeCode(image[W::Aux1ModeCode]);
    const int mode1Kind1 = auxKind(image[W::Aux1Mode1Channel1Type]);
    const int mode1Kind2 = auxKind(image[W::Aux1Mode1Channel2Type]);
    f.SetAux1Mode1ChannelKind(1, mode1Kind1);
    f.AdvSpinEdit_mode1_AUX1_Channel1_on->setValue(
        AuxDecodeDecimal(mode1Kind1, image[W::Aux1Mode1Channel1On]));
    f.AdvSpinEdit_mode1_AUX1_Channel1_off->setValue(
        AuxDecodeDecimal(mode1Kind1, image[W::Aux1Mode1Channel1Off]));
    f.AdvSpinEdit_mode1_AUX1_hyst_channel1->setValue(
        AuxDecodeDecimal(mode1Kind1, image[W::Aux1Mode1HystChannel1]));
    f.SetAux1Mode1ChannelKind(2, mode1Kind2);
    f.AdvSpinEdit_mode1_AUX1_Channel2_on->setValue(
        AuxDecodeDecimal(mode1Kind2, image[W::Aux1Mode1Channel2On]));
    f.AdvSpinEdit_mode1_AUX1_Channel2_off->setValue(
        AuxDecodeDecimal(mode1Kind2, image[W::Aux1Mode1Channel2Off]));
    f.AdvSpinEdit_mode1_AUX1_hyst_channel2->setValue(
        AuxDecodeDecimal(mode1Kind2, image[W::Aux1Mode1HystChannel2]));
}

Image encodeFull(AppContext &ctx) {
    Image image(FullImageEnd, 0);
    if (!ctx.form3)
        return image;
    TForm3 &f = *ctx.form3;
    const Gates g(f.currentVersion());

    if (ctx.form1)
        putMap(image, FuelMapStart, ctx.form1->AdvStringGrid_fuel, 100, false);
    if (ctx.form2)
        putTable(image, WaterTempTableStart, ctx.form2->AdvStringGrid_Watertemp, 10);
    encodeOptions(g, f, image);
    if (!g.full)
        return image;

    encodeExtendedOptions(f, image);
    if (ctx.form2) {
        putTable(image, AirTempTableStart, ctx.form2->AdvStringGrid_luchttemp, 10);
        putTable(image, BatteryTableStart, ctx.form2->AdvStringGrid_battery, 1000);
    }
    if (g.airPressure) {
        image[W::AirPressureSensorAdjustment] =
            unsignedWord((f.AdvSpinEdit_Air_pressure_sensor_adjustment->value() / 100 + 1) * 32768);
        const int factor =
            g.boostFactor ? byteOf((f.AdvSpinEdit_Boost_correction_factor->value() - 1) / 0.00390625) : 0;
        image[W::LoadSourceAndBoostFactor] = PackBytePair(f.airPressureChosen() ? 1 : 0, factor);
        if (ctx.form2)
            putTable(image, AirPressureTableStart, ctx.form2->AdvStringGrid_Air_pressure, 10);
    }
    if (g.boostMap && ctx.form1)
        putMap(image, BoostMapStart, ctx.form1->AdvStringGrid_injection_boost_correction, 10, true);
    return image;
}

} // namespace

int CurrentImageSize(AppContext &ctx) {
    return VersionAtLeast(versionOf(ctx), QStringLiteral("3FA")) ? FullImageEnd : ShortImageEnd;
}

QVector<std::uint16_t> EncodeImage(AppContext &ctx) {
    Image image = encodeFull(ctx);
    image.resize(CurrentImageSize(ctx));
    return image;
}

QVector<std::uint16_t> EncodeWords(AppContext &ctx, int first, int count) {
    const Image image = encodeFull(ctx);
    QVector<std::uint16_t> words(std::max(0, count), 0);
    for (int i = 0; i < words.size(); ++i) {
        const qint64 address = qint64(first) + i;
        if (address >= 0 && address < image.size())
            words[i] = image[address];
    }
    return words;
}

void DecodeImage(AppContext &ctx, const QVector<std::uint16_t> &image) {
    if (!ctx.form3)
        return;
    TForm3 &f = *ctx.form3;
    const Gates g(f.currentVersion());

    if (image.size() > W::MapPressureAt125V) {
        if (ctx.form1)
            getMap(image, FuelMapStart, ctx.form1->AdvStringGrid_fuel, 100, false);
        if (ctx.form2)
            getTable(image, WaterTempTableStart, ctx.form2->AdvStringGrid_Watertemp, 10);
        decodeOptions(g, f, image);
    }

    if (g.full && image.size() >= FullImageEnd) {
        decodeExtendedOptions(f, image);
        if (ctx.form2) {
            getTable(image, AirTempTableStart, ctx.form2->AdvStringGrid_luchttemp, 10);
            getTable(image, BatteryTableStart, ctx.form2->AdvStringGrid_battery, 1000);
        }
        if (g.airPressure) {
            const std::uint16_t sourceAndFactor = image[W::LoadSourceAndBoostFactor];
            f.AdvSpinEdit_Air_pressure_sensor_adjustment->setValue(
                (image[W::AirPressureSensorAdjustment] / 32768.0 - 1) * 100);
            f.SetAirPressureMode(HighByte(sourceAndFactor) == 1);
            f.AdvSpinEdit_Boost_correction_factor->setValue(
                g.boostFactor ? LowByte(sourceAndFactor) * 0.00390625 + 1 : 1.0);
            if (ctx.form2)
                getTable(image, AirPressureTableStart, ctx.form2->AdvStringGrid_Air_pressure, 10);
        }
        if (g.boostMap && ctx.form1)
            getMap(image, BoostMapStart, ctx.form1->AdvStringGrid_injection_boost_correction, 10, true);
    } else if (!g.full) {
        // Older firmware has a fixed RPM scale.
        const auto rows = f.rpmRangeRows();
        for (int k = 0; k < MapRows; ++k)
            rows[k]->setValue(500 * (k + 1));
    }
    f.ApplyRpmRangeToGrids();
    f.RebuildCorrectionHeaders();
    if (ctx.form1)
        ctx.form1->ApplyBoostTabVisibility();
}

std::uint16_t EncodeCylindersAndPickup(const QString &version, int cylinderIndex, bool hallSensor) {
    const int code = CylinderCodeFromIndex(cylinderIndex);
    const bool carriesPickup = !version.isEmpty() && version.at(0).unicode() >= '2';
    return PackBytePair(carriesPickup && hallSensor ? 1 : 0, code);
}

CylindersAndPickup DecodeCylindersAndPickup(const QString &version, std::uint16_t word) {
    CylindersAndPickup result;
    result.cylinderIndex = CylinderIndexFromCode(LowByte(word));
    if (!version.isEmpty() && version.at(0).unicode() >= '2')
        result.hallSensor = HighByte(word) != 0;
    return result;
}
