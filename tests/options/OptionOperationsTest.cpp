// The packed and coded option values: what the ECU and the calibration files receive for each choice.
#include "rules/OptionOperations.h"

#include <QTest>

class OptionOperationsTest : public QObject {
    Q_OBJECT
private slots:
    void load_mode_flags_carry_the_main_load_only_where_the_firmware_knows_it_data();
    void load_mode_flags_carry_the_main_load_only_where_the_firmware_knows_it();
    void older_firmware_sets_the_map_bit_only_for_a_B_variant();
    void unpacking_tests_16_then_8_then_4_and_falls_back_to_main_load_0();
    void unpacking_on_older_firmware_sets_the_sensor_type_and_the_correction_boxes();
    void every_main_load_survives_a_pack_and_unpack_on_firmware_that_allows_it();
    void interpolation_flags_map_each_switch_to_its_bit_and_round_trip();
    void throttle_pump_code_for_the_four_check_box_combinations();
    void aux1_kinds_give_range_step_value_and_unit_in_mode_0();
    void aux1_kinds_give_range_step_decimals_and_unit_in_mode_1();
    void aux1_mode_code_holds_inversion_and_mode();
    void pickup_flag_needs_the_coil_and_generation_2_or_later();
    void startup_words_pack_two_columns_and_halve_percentages_to_even();
    void correction_axis_texts_switch_to_fixed_point_above_999();
    void water_axis_follows_minimum_and_maximum();
    void fixed_axes_of_air_battery_and_air_pressure_tables();
};

void OptionOperationsTest::load_mode_flags_carry_the_main_load_only_where_the_firmware_knows_it_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("mainLoad");
    QTest::addColumn<int>("flags");
    // From "3FA" both corrections are always on (bits 0 and 1).
    QTest::newRow("3FA1AD TPS") << "3FA1AD1AA" << 0 << 3;
    QTest::newRow("3FA1AD MAP") << "3FA1AD1AA" << 1 << 7;
    QTest::newRow("3FA1AD table") << "3FA1AD1AA" << 2 << 11;
    QTest::newRow("3FA1AD factor") << "3FA1AD1AA" << 3 << 19;
    QTest::newRow("3FA1AC factor not known") << "3FA1AC1AA" << 3 << 3;
    QTest::newRow("3FA1AC table") << "3FA1AC1AA" << 2 << 11;
    QTest::newRow("3FA1AB table not known") << "3FA1AB9ZZ" << 2 << 3;
    QTest::newRow("3FA1AA MAP") << "3FA1AA1AA" << 1 << 7;
    QTest::newRow("2FB ignores main load") << "2FB1AD1AA" << 1 << 0;
}

void OptionOperationsTest::load_mode_flags_carry_the_main_load_only_where_the_firmware_knows_it() {
    QFETCH(QString, version);
    QFETCH(int, mainLoad);
    QFETCH(int, flags);
    QCOMPARE(LoadModeFlagsFor(version, false, false, mainLoad, 0), flags);
}

void OptionOperationsTest::older_firmware_sets_the_map_bit_only_for_a_B_variant() {
    // Sensor type 1 "Internal pressure sensor (Turbo)"
    QCOMPARE(LoadModeFlagsFor(QStringLiteral("2FB1AA1AA"), true, false, 0, 1), 5);
    QCOMPARE(LoadModeFlagsFor(QStringLiteral("1FB1AA1AA"), false, true, 0, 1), 6);
    QCOMPARE(LoadModeFlagsFor(QStringLiteral("2FA1AA1AA"), true, false, 0, 1), 1);
    QCOMPARE(LoadModeFlagsFor(QStringLiteral("2FA1AA1AA"), true, true, 0, 0), 3);
    QCOMPARE(LoadModeFlagsFor(QStringLiteral("2FB1AA1AA"), false, false, 0, 0), 0);
}

void OptionOperationsTest::unpacking_tests_16_then_8_then_4_and_falls_back_to_main_load_0() {
    const QString newest = QStringLiteral("3FA1AD1AA");
    QCOMPARE(DecodeLoadModeFlags(newest, 19).mainLoadIndex, std::optional<int>(3));
    QCOMPARE(DecodeLoadModeFlags(newest, 11).mainLoadIndex, std::optional<int>(2));
    QCOMPARE(DecodeLoadModeFlags(newest, 7).mainLoadIndex, std::optional<int>(1));
    QCOMPARE(DecodeLoadModeFlags(newest, 3).mainLoadIndex, std::optional<int>(0));
    QVERIFY(!DecodeLoadModeFlags(newest, 7).sensorTypeIndex);

    QCOMPARE(DecodeLoadModeFlags(QStringLiteral("3FA1AC1AA"), 16).mainLoadIndex, std::optional<int>(0));
    QCOMPARE(DecodeLoadModeFlags(QStringLiteral("3FA1AC1AA"), 8).mainLoadIndex, std::optional<int>(2));
    QCOMPARE(DecodeLoadModeFlags(QStringLiteral("3FA1AB1AA"), 8).mainLoadIndex, std::optional<int>(0));

    // From "3FA" both correction boxes end up on whatever bits 0 and 1 said.
    const LoadModeChoice bare = DecodeLoadModeFlags(newest, 16);
    QVERIFY(bare.inletCorrection);
    QVERIFY(bare.batteryCorrection);

    // 24 = 16 + 8: only the 16 is taken as main load; the 8 left over reads as correction bits.
    const LoadModeChoice both = DecodeLoadModeFlags(QStringLiteral("2FA1AA1AA"), 24);
    QCOMPARE(both.mainLoadIndex, std::optional<int>(0));
    QVERIFY(!both.sensorTypeIndex);
    QVERIFY(both.inletCorrection);
    QVERIFY(both.batteryCorrection);
}

void OptionOperationsTest::unpacking_on_older_firmware_sets_the_sensor_type_and_the_correction_boxes() {
    const QString older = QStringLiteral("2FB1AA1AA");
    LoadModeChoice c = DecodeLoadModeFlags(older, 4);
    QCOMPARE(c.sensorTypeIndex, std::optional<int>(1));
    QVERIFY(!c.mainLoadIndex);
    QVERIFY(!c.inletCorrection);
    QVERIFY(!c.batteryCorrection);

    c = DecodeLoadModeFlags(older, 6);
    QCOMPARE(c.sensorTypeIndex, std::optional<int>(1));
    QVERIFY(c.inletCorrection);
    QVERIFY(!c.batteryCorrection);

    c = DecodeLoadModeFlags(older, 1);
    QCOMPARE(c.sensorTypeIndex, std::optional<int>(0));
    QVERIFY(!c.inletCorrection);
    QVERIFY(c.batteryCorrection);

    // 12 = 8 + 4 on firmware without the table: main load 0, the rest (4) reads as correction bits.
    c = DecodeLoadModeFlags(older, 12);
    QCOMPARE(c.mainLoadIndex, std::optional<int>(0));
    QVERIFY(!c.sensorTypeIndex);
    QVERIFY(c.inletCorrection);
    QVERIFY(c.batteryCorrection);
}

void OptionOperationsTest::every_main_load_survives_a_pack_and_unpack_on_firmware_that_allows_it() {
    const struct {
        const char *version;
        int highestMainLoad;
    } cases[] = {{"3FA1AA1AA", 1}, {"3FA1AB1AA", 1}, {"3FA1AC1AA", 2}, {"3FA1AD1AA", 3}, {"4FA000000", 3}};
    for (const auto &c : cases) {
        const QString version = QString::fromLatin1(c.version);
        for (int mainLoad = 0; mainLoad <= c.highestMainLoad; ++mainLoad) {
            const int flags = LoadModeFlagsFor(version, false, false, mainLoad, 0);
            QCOMPARE(DecodeLoadModeFlags(version, flags).mainLoadIndex, std::optional<int>(mainLoad));
        }
    }
    for (bool inlet : {false, true}) {
        for (bool battery : {false, true}) {
            const int flags = LoadModeFlagsFor(QStringLiteral("2FB1AA1AA"), battery, inlet, 0, 1);
            const LoadModeChoice c = DecodeLoadModeFlags(QStringLiteral("2FB1AA1AA"), flags);
            QCOMPARE(c.sensorTypeIndex, std::optional<int>(1));
            QCOMPARE(c.inletCorrection, inlet);
            QCOMPARE(c.batteryCorrection, battery);
        }
    }
}

void OptionOperationsTest::interpolation_flags_map_each_switch_to_its_bit_and_round_trip() {
    QCOMPARE(InterpolationFlagsFor({true, false, false, false}), 1);
    QCOMPARE(InterpolationFlagsFor({false, true, false, false}), 2);
    QCOMPARE(InterpolationFlagsFor({false, false, true, false}), 4);
    QCOMPARE(InterpolationFlagsFor({false, false, false, true}), 8);

    const InterpolationSwitches five = DecodeInterpolationFlags(5);
    QVERIFY(five.lowerRpm);
    QVERIFY(five.higherRpm);
    QVERIFY(!five.higherLoad);
    QVERIFY(!five.lowerLoad);
    for (int v = 0; v <= 15; ++v)
        QCOMPARE(InterpolationFlagsFor(DecodeInterpolationFlags(v)), v);
}

void OptionOperationsTest::throttle_pump_code_for_the_four_check_box_combinations() {
    QCOMPARE(ThrottlePumpCodeFor(true, false), 0);
    QCOMPARE(ThrottlePumpCodeFor(false, false), 1);
    QCOMPARE(ThrottlePumpCodeFor(true, true), 2);
    QCOMPARE(ThrottlePumpCodeFor(false, true), 3);
    for (int code = 0; code <= 3; ++code) {
        bool t1 = false, t2 = false;
        QVERIFY(ThrottlePumpTypesFromCode(code, &t1, &t2));
        QCOMPARE(ThrottlePumpCodeFor(t1, t2), code);
    }
    for (int bad : {-1, 4, 256}) {
        bool t1 = true, t2 = false;
        QVERIFY(!ThrottlePumpTypesFromCode(bad, &t1, &t2));
        QVERIFY(t1);
        QVERIFY(!t2);
    }
}

namespace {
void checkKind(int kind, Aux1Field field, double min, double max, double step, int decimals, double value,
               const QString &unit) {
    const auto s = Aux1KindSettingFor(kind, field);
    QVERIFY2(s.has_value(), qPrintable(QStringLiteral("kind %1").arg(kind)));
    QCOMPARE(s->minimum, min);
    QCOMPARE(s->maximum, max);
    QCOMPARE(s->step, step);
    QCOMPARE(s->decimals, decimals);
    QCOMPARE(s->value, value);
    QCOMPARE(s->unit, unit);
}
} // namespace

void OptionOperationsTest::aux1_kinds_give_range_step_value_and_unit_in_mode_0() {
    const QString degrees = QString::fromUtf8("\xC2\xB0"
                                              "C");
    checkKind(0, Aux1Field::Mode0, 0, 0, 0, 0, 0, QString());
    checkKind(1, Aux1Field::Mode0, 500, 20000, 100, 0, 12500, QStringLiteral("RPM"));
    checkKind(2, Aux1Field::Mode0, 0, 15, 1, 0, 15, QStringLiteral("TPS"));
    checkKind(3, Aux1Field::Mode0, 0, 9999, 1, 0, 9999, QStringLiteral("kpa"));
    checkKind(4, Aux1Field::Mode0, -20, 135, 1, 0, 135, degrees);
    checkKind(5, Aux1Field::Mode0, -20, 135, 1, 0, 135, degrees);
    QVERIFY(!Aux1KindSettingFor(6, Aux1Field::Mode0));
    QVERIFY(!Aux1KindSettingFor(-1, Aux1Field::Mode0));
    QCOMPARE(Aux1KindNames(),
             QStringList({"None", "Enginespeed", "TPS", "Boost pressure", "Water-temp.", "Air-temp."}));
}

void OptionOperationsTest::aux1_kinds_give_range_step_decimals_and_unit_in_mode_1() {
    const QString degrees = QString::fromUtf8("\xC2\xB0"
                                              "C");
    for (Aux1Field f : {Aux1Field::Mode1, Aux1Field::Mode1Hysteresis}) {
        const bool hyst = f == Aux1Field::Mode1Hysteresis;
        checkKind(0, f, 0, 0, 0, 0, 0, QString());
        checkKind(1, f, hyst ? 0 : 500, 20000, 10, 0, 12500, QStringLiteral("RPM"));
        checkKind(2, f, 0, 16, 0.1, 1, 16, QStringLiteral("TPS"));
        checkKind(3, f, 0, 9999, 1, 0, 9999, QStringLiteral("kpa"));
        checkKind(4, f, hyst ? 0 : -20, 135, 1, 0, 135, degrees);
        checkKind(5, f, hyst ? 0 : -20, 135, 1, 0, 135, degrees);
        QVERIFY(!Aux1KindSettingFor(7, f));
    }
}

void OptionOperationsTest::aux1_mode_code_holds_inversion_and_mode() {
    QCOMPARE(Aux1ModeCodeFor(false, false), 0);
    QCOMPARE(Aux1ModeCodeFor(true, false), 1);
    QCOMPARE(Aux1ModeCodeFor(false, true), 2);
    QCOMPARE(Aux1ModeCodeFor(true, true), 3);
    QVERIFY(!Aux1InvertedFromCode(2));
    QVERIFY(Aux1Mode1FromCode(2));
    QVERIFY(Aux1InvertedFromCode(1));
    QVERIFY(!Aux1Mode1FromCode(1));
    QVERIFY(!Aux1Mode1FromCode(0));
    QVERIFY(Aux1Mode1FromCode(3) && Aux1InvertedFromCode(3));
}

void OptionOperationsTest::pickup_flag_needs_the_coil_and_generation_2_or_later() {
    QCOMPARE(PickupFlagFor(true, QStringLiteral("2FA1AA1AA")), 1);
    QCOMPARE(PickupFlagFor(true, QStringLiteral("3FA1AD1AA")), 1);
    QCOMPARE(PickupFlagFor(true, QStringLiteral("1FB1AA1AA")), 0);
    QCOMPARE(PickupFlagFor(false, QStringLiteral("3FA1AD1AA")), 0);
    QCOMPARE(PickupFlagFor(true, QString()), 0);
    QVERIFY(CoilPickupFromFlag(1, QStringLiteral("2FA1AA1AA")));
    QVERIFY(!CoilPickupFromFlag(1, QStringLiteral("1FA1AA1AA")));
    QVERIFY(!CoilPickupFromFlag(0, QStringLiteral("3FA1AA1AA")));
}

void OptionOperationsTest::startup_words_pack_two_columns_and_halve_percentages_to_even() {
    QCOMPARE(StartupTempWordFor(20, 30), 40 * 256 + 50);
    QCOMPARE(StartupTempWordFor(-20, 135), 155);
    QCOMPARE(StartupTempsFromWord(40 * 256 + 50), std::make_pair(20, 30));
    QCOMPARE(StartupTempsFromWord(155), std::make_pair(-20, 135));

    // 101 / 2 = 50.5 goes to the even 50, 103 / 2 = 51.5 to the even 52.
    QCOMPARE(StartupPercentWordFor(101, 103), 50 * 256 + 52);
    QCOMPARE(StartupPercentsFromWord(50 * 256 + 52), std::make_pair(100, 104));
    QCOMPARE(StartupPercentWordFor(500, 0), 250 * 256);
    QCOMPARE(StartupPercentsFromWord(250 * 256), std::make_pair(500, 0));
}

void OptionOperationsTest::correction_axis_texts_switch_to_fixed_point_above_999() {
    QCOMPARE(CorrectionAxisText(900), QStringLiteral("900"));
    QCOMPARE(CorrectionAxisText(999), QStringLiteral("999"));
    QCOMPARE(CorrectionAxisText(1000), QStringLiteral("1000"));
    QCOMPARE(CorrectionAxisText(1060), QStringLiteral("1060"));
    QCOMPARE(CorrectionAxisText(12.5806), QStringLiteral("12.6"));
    QCOMPARE(CorrectionAxisText(3.2258), QStringLiteral("3.23"));
    QCOMPARE(CorrectionAxisText(-20), QStringLiteral("-20"));
    QCOMPARE(CorrectionAxisText(0.5), QStringLiteral("0.5"));
    // Rounded to three digits these would need an exponent; they are written in full instead.
    QCOMPARE(CorrectionAxisText(999.6), QStringLiteral("1000"));
    QCOMPARE(CorrectionAxisText(-1500), QStringLiteral("-1500"));
    QCOMPARE(BatteryAxisText(8), QStringLiteral("8.000000"));
    QCOMPARE(BatteryAxisText(15.75), QStringLiteral("15.750000"));
}

void OptionOperationsTest::water_axis_follows_minimum_and_maximum() {
    const QStringList big = WaterTempAxisTexts(0, 3100);
    QCOMPARE(big.size(), 32);
    QCOMPARE(big[0], QStringLiteral("0"));
    QCOMPARE(big[1], QStringLiteral("100"));
    QCOMPARE(big[9], QStringLiteral("900"));
    QCOMPARE(big[10], QStringLiteral("1000"));
    QCOMPARE(big[31], QStringLiteral("3100"));

    // -20 .. 135 gives the same axis as the air-temperature table.
    QCOMPARE(WaterTempAxisTexts(-20, 135), AirTempAxisTexts());

    const QStringList percent = WaterTempAxisTexts(0, 100);
    QCOMPARE(percent[1], QStringLiteral("3.23"));
    QCOMPARE(percent[4], QStringLiteral("12.9"));
    QCOMPARE(percent[31], QStringLiteral("100"));

    // Column 0 is the minimum rounded to a whole number, halves to even.
    QCOMPARE(WaterTempAxisTexts(2.5, 100)[0], QStringLiteral("2"));
    QCOMPARE(WaterTempAxisTexts(-20.5, 100)[0], QStringLiteral("-20"));
    // A zero in the middle of a symmetric axis is written as 0, not as rounding noise.
    QCOMPARE(WaterTempAxisTexts(-3.1, 3.1)[15], QStringLiteral("-0.1"));
    QVERIFY(!WaterTempAxisTexts(-0.31 * 15, 0.31 * 16).join(QLatin1Char(' ')).contains(QLatin1Char('e')));
}

void OptionOperationsTest::fixed_axes_of_air_battery_and_air_pressure_tables() {
    const QStringList air = AirTempAxisTexts();
    QCOMPARE(air.size(), 32);
    QCOMPARE(air[0], QStringLiteral("-20"));
    QCOMPARE(air[1], QStringLiteral("-15"));
    QCOMPARE(air[4], QStringLiteral("0"));
    QCOMPARE(air[31], QStringLiteral("135"));

    const QStringList battery = BatteryAxisTexts();
    QCOMPARE(battery.size(), 32);
    QCOMPARE(battery[0], QStringLiteral("8.000000"));
    QCOMPARE(battery[1], QStringLiteral("8.250000"));
    QCOMPARE(battery[31], QStringLiteral("15.750000"));

    const QStringList pressure = AirPressureAxisTexts();
    QCOMPARE(pressure.size(), 32);
    QCOMPARE(pressure[0], QStringLiteral("750"));
    QCOMPARE(pressure[24], QStringLiteral("990"));
    QCOMPARE(pressure[25], QStringLiteral("1000"));
    QCOMPARE(pressure[31], QStringLiteral("1060"));
}

QTEST_GUILESS_MAIN(OptionOperationsTest)
#include "OptionOperationsTest.moc"
