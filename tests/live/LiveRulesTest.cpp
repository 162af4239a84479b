// Live frames into dashboard texts, and the rules that place the engine in the maps and tables.
#include "rules/LiveRules.h"
#include "LiveFrames.h"
#include "core/ResponseCurves.h"
#include "rules/LiveFrame.h"

#include <QTest>

namespace {
LiveDecodeSettings calibrated() {
    return LiveDecodeSettings{.sensor1Min = 100,
                              .sensor1Max = 260,
                              .sensor2Min = 10,
                              .sensor2Max = 240,
                              .responseType = 0,
                              .correctionMin = -20,
                              .correctionMax = 135};
}

std::array<int, 25> rowsFrom1000() {
    std::array<int, 25> rows{};
    for (int k = 0; k < 25; ++k)
        rows[k] = 1000 + 500 * k;
    return rows;
}
} // namespace

class LiveRulesTest : public QObject {
    Q_OBJECT
    ResponseCurves curves;

    LiveValues shortOf(const TestFrame &f, const LiveDecodeSettings &s = calibrated()) {
        return DecodeShortLiveFrame(f.done(), s, curves);
    }
    LiveValues longOf(const TestFrame &f, const LiveDecodeSettings &s = calibrated()) {
        return DecodeLongLiveFrame(f.done(), s);
    }

private slots:
    void shortFrameShowsEveryValueWithItsScale() {
        const LiveValues v = shortOf(TestFrame::shortFrame()
                                         .word(1, 120)
                                         .word(3, 2500)
                                         .word(7, 150)
                                         .word(9, 45)
                                         .word(11, 45)
                                         .word(13, 18)
                                         .word(17, 0x800A)
                                         .word(21, 0x8032)
                                         .word(23, 0x8808));
        QCOMPARE(v.engineSpeedText, QStringLiteral("6000"));
        QCOMPARE(v.engineSpeed, 6000);
        QCOMPARE(v.injectionTimeText, QStringLiteral("2.71"));
        QCOMPARE(v.engineLoadText, QStringLiteral("5.0")); // linear curve, raw 150 of 100..260
        QCOMPARE(v.correctionStepText, QStringLiteral("25.0"));
        QCOMPARE(v.inletTempText, QStringLiteral("25.0"));
        QCOMPARE(v.batteryText, QStringLiteral("12.5"));
        QCOMPARE(v.potentiometerText, QStringLiteral("-10"));
        QCOMPARE(v.correctionText, QStringLiteral("-5.0"));
        QVERIFY(v.trimRequested());
        QVERIFY(v.powerInterrupted());
        QVERIFY(v.secondStage());
        QVERIFY(!v.fuelPump());
    }

    void longFrameShowsEveryValueWithItsScale() {
        const LiveValues v = longOf(TestFrame::longFrame()
                                        .word(1, 600)
                                        .word(3, 2500)
                                        .word(9, 105)
                                        .word(11, 0x8005)
                                        .word(13, 23)
                                        .word(21, 125)
                                        .word(23, 0x0004)
                                        .byte(35, 0)
                                        .byte(36, 156)
                                        .byte(37, 1)
                                        .byte(38, 0)
                                        .word(43, 1013)
                                        .word(46, 0x8100));
        QCOMPARE(v.engineSpeedText, QStringLiteral("6000"));
        QCOMPARE(v.injectionTimeText, QStringLiteral("2.50"));
        QCOMPARE(v.correctionStepText, QStringLiteral("85.0"));
        QCOMPARE(v.inletTempText, QStringLiteral("---")); // -5 - 20 is below -20
        QCOMPARE(v.batteryText, QStringLiteral("13.8"));  // 13.75 rounds up
        QCOMPARE(v.correctionText, QStringLiteral("12.5"));
        QCOMPARE(v.engineLoadText, QStringLiteral("15.6"));
        // The high byte counts 256 whole columns, not 25.6.
        QCOMPARE(v.engineLoad2Text, QStringLiteral("256.0"));
        QCOMPARE(v.boostPressureText, QStringLiteral("1013"));
        QCOMPARE(v.faults, std::uint16_t(0x8100));
        QVERIFY(v.fuelPump());
        QVERIFY(!v.secondStage());
        QVERIFY(!v.trimRequested());
        QVERIFY(v.potentiometerText.isEmpty());
    }

    void implausibleValuesShowDashes() {
        QCOMPARE(shortOf(TestFrame::shortFrame().word(9, 161)).correctionStepText, QStringLiteral("---"));
        QCOMPARE(shortOf(TestFrame::shortFrame().word(9, 160)).correctionStepText, QStringLiteral("140.0"));
        QCOMPARE(shortOf(TestFrame::shortFrame().word(11, 156)).inletTempText, QStringLiteral("---"));
        QCOMPARE(shortOf(TestFrame::shortFrame().word(11, 155)).inletTempText, QStringLiteral("135.0"));
        QCOMPARE(shortOf(TestFrame::shortFrame().word(11, 0)).inletTempText, QStringLiteral("-20.0"));
        QCOMPARE(shortOf(TestFrame::shortFrame().word(17, 101)).potentiometerText, QStringLiteral("---"));
        QCOMPARE(shortOf(TestFrame::shortFrame().word(17, 0x8065)).potentiometerText, QStringLiteral("---"));
        QCOMPARE(shortOf(TestFrame::shortFrame().word(17, 0x8064)).potentiometerText, QStringLiteral("-100"));
        QCOMPARE(longOf(TestFrame::longFrame().word(9, 156)).correctionStepText, QStringLiteral("---"));
        QCOMPARE(longOf(TestFrame::longFrame().word(9, 155)).correctionStepText, QStringLiteral("135.0"));
        QCOMPARE(longOf(TestFrame::longFrame().word(9, 3)).correctionStepText, QStringLiteral("-17.0"));
    }

    void correctionStepNeverShowsBelowTheRangeMinimum() {
        LiveDecodeSettings s = calibrated();
        s.correctionMin = 50;
        s.correctionMax = 10; // a falling range would go below its minimum
        QCOMPARE(shortOf(TestFrame::shortFrame().word(9, 77), s).correctionStepText, QStringLiteral("50.0"));
    }

    void anUncalibratedSensorShowsFail() {
        LiveDecodeSettings s = calibrated();
        s.sensor1Max = s.sensor1Min;
        QCOMPARE(shortOf(TestFrame::shortFrame().word(7, 150), s).engineLoadText, QStringLiteral("Fail"));
        const LiveValues v = longOf(TestFrame::longFrame().byte(36, 50).byte(38, 50), s);
        QCOMPARE(v.engineLoadText, QStringLiteral("Fail"));
        QCOMPARE(v.engineLoad2Text, QStringLiteral("5.0"));
        s = calibrated();
        s.sensor2Min = s.sensor2Max = 7;
        QCOMPARE(longOf(TestFrame::longFrame().byte(38, 50), s).engineLoad2Text, QStringLiteral("Fail"));
    }

    void fixedFormatRoundsHalvesAwayFromZero() {
        QCOMPARE(FormatFixed(2.505, 2), QStringLiteral("2.51"));
        QCOMPARE(FormatFixed(-2.505, 2), QStringLiteral("-2.51"));
        QCOMPARE(FormatFixed(12.25, 1, 3), QStringLiteral("12.3"));
        QCOMPARE(FormatFixed(99.995, 2), QStringLiteral("100.00"));
        QCOMPARE(FormatFixed(0.05, 1), QStringLiteral("0.1"));
        QCOMPARE(FormatFixed(-0.04, 1), QStringLiteral("0.0"));
        QCOMPARE(FormatFixed(0, 2), QStringLiteral("0.00"));
        QCOMPARE(FormatFixed(7, 0), QStringLiteral("7"));
        QCOMPARE(FormatFixed(0.004, 2), QStringLiteral("0.00"));
        QCOMPARE(FormatFixed(0.005, 2), QStringLiteral("0.01"));
        QCOMPARE(FormatFixed(16391.75, 1, 3), QStringLiteral("16392.0")); // whole digits are kept
    }

    void injectionLimitFollowsTheStrokeMode() {
        double limit = 0;
        QVERIFY(InjectionTimeLimit(6000, 0, &limit));
        QCOMPARE(limit, 10.0);
        QVERIFY(InjectionTimeLimit(6000, 1, &limit));
        QCOMPARE(limit, 20.0);
        QVERIFY(InjectionTimeLimit(6000, 2, &limit));
        QCOMPARE(limit, 5.0);
        QVERIFY(!InjectionTimeLimit(0, 0, &limit));
        QVERIFY(!InjectionTimeLimit(6000, -1, &limit));
    }

    void liveRowMovesOnAfterSixtyPercentOfTheWay() {
        const auto rows = rowsFrom1000();
        QCOMPARE(ComputeLiveRow(1299, rows, true), 1);
        QCOMPARE(ComputeLiveRow(1300, rows, true), 2);
        QCOMPARE(ComputeLiveRow(0, rows, true), 1);
        QCOMPARE(ComputeLiveRow(12799, rows, true), 24);
        QCOMPARE(ComputeLiveRow(12800, rows, true), 25);
        QCOMPARE(ComputeLiveRow(20000, rows, true), 25);
        // Uneven rows: 60 % of 700 is 420.
        auto uneven = rows;
        uneven[1] = 1700;
        QCOMPARE(ComputeLiveRow(1419, uneven, true), 1);
        QCOMPARE(ComputeLiveRow(1420, uneven, true), 2);
    }

    void olderFirmwareRoundsSpeedOverFiveHundred() {
        const auto rows = rowsFrom1000();
        QCOMPARE(ComputeLiveRow(6000, rows, false), 12);
        QCOMPARE(ComputeLiveRow(1250, rows, false), 2); // halves to even
        QCOMPARE(ComputeLiveRow(1750, rows, false), 4);
        QCOMPARE(ComputeLiveRow(1299, rows, false), 3);
    }

    void loadColumnsAreRoundedAndLimited() {
        QCOMPARE(LimitColumn(LoadColumnFromLabel(QStringLiteral("15.6"))), 16);
        QCOMPARE(LoadColumnFromLabel(QStringLiteral("15.6")), 17);
        QCOMPARE(LoadColumnFromLabel(QStringLiteral("Fail")), 0);
        QCOMPARE(LimitColumn(LoadColumnFromLabel(QStringLiteral("Fail"))), 1);
        QCOMPARE(LoadColumnFromLabel(QStringLiteral("2.5")), 3);
        QCOMPARE(LoadColumnFromLabel(QStringLiteral("3.5")), 5);
        QCOMPARE(LoadColumnFromLabel(QStringLiteral("0.4")), 1);
        QCOMPARE(LimitRow(0), 1);
        QCOMPARE(LimitRow(40), 25);
    }

    void loadSourceChoosesFuelAndBoostColumns() {
        const QString old = QStringLiteral("1.0"), load1 = QStringLiteral("4.0"),
                      load2 = QStringLiteral("9.0");
        QCOMPARE(PickLiveColumns(true, 0, old, load1, load2).fuel, 5);
        QCOMPARE(PickLiveColumns(true, 0, old, load1, load2).boost, 0);
        QCOMPARE(PickLiveColumns(true, 1, old, load1, load2).fuel, 10);
        QCOMPARE(PickLiveColumns(true, 1, old, load1, load2).boost, 0);
        QCOMPARE(PickLiveColumns(true, 2, old, load1, load2).fuel, 5);
        QCOMPARE(PickLiveColumns(true, 2, old, load1, load2).boost, 10);
        QCOMPARE(PickLiveColumns(true, 3, old, load1, load2).fuel, 5);
        QCOMPARE(PickLiveColumns(false, 2, old, load1, load2).fuel, 2);
        QCOMPARE(PickLiveColumns(false, 2, old, load1, load2).boost, 0);
    }

    void tableEntriesFollowTheShownValues() {
        QCOMPARE(BatteryEntry(QStringLiteral("15.8")), 31);
        QCOMPARE(BatteryEntry(QStringLiteral("12.0")), 16);
        QCOMPARE(BatteryEntry(QStringLiteral("15.7")), 30);
        QCOMPARE(BatteryEntry(QStringLiteral("8.0")), 0);
        QCOMPARE(BatteryEntry(QStringLiteral("7.9")), 0);
        QCOMPARE(BatteryEntry(QStringLiteral("12.4")), 17);

        QCOMPARE(WaterEntry(QStringLiteral("---")), 0);
        QCOMPARE(WaterEntry(QStringLiteral("-20.0")), 0);
        QCOMPARE(WaterEntry(QStringLiteral("24.9")), 8);
        QCOMPARE(WaterEntry(QStringLiteral("25.0")), 9);
        QCOMPARE(WaterEntry(QStringLiteral("135.0")), 31);

        QCOMPARE(AirTempEntry(QStringLiteral("---")), 0);
        QCOMPARE(AirTempEntry(QStringLiteral("25.0")), 9);
        QCOMPARE(AirTempEntry(QStringLiteral("136.0")), 31);

        QCOMPARE(AirPressureEntry(QStringLiteral("1013"), true), 26);
        QCOMPARE(AirPressureEntry(QStringLiteral("1013"), false), 0);
        QCOMPARE(AirPressureEntry(QStringLiteral("1061"), true), 31);
        QCOMPARE(AirPressureEntry(QStringLiteral("1060"), true), 31);
        QCOMPARE(AirPressureEntry(QStringLiteral("749"), true), 0);
        QCOMPARE(AirPressureEntry(QStringLiteral("---"), true), 0);
    }

    void olderCorrectionTableEntryStaysInsideTheTable() {
        QCOMPARE(OldCorrectionEntry(QStringLiteral("25.0"), -20, 135), 9);
        QCOMPARE(OldCorrectionEntry(QStringLiteral("-20.0"), -20, 135), 0);
        // Raw 160 of 155 steps lies past the range: the last entry, not a 33rd.
        QCOMPARE(OldCorrectionEntry(QStringLiteral("140.0"), -20, 135), 31);
        QCOMPARE(OldCorrectionEntry(QStringLiteral("30.0"), 30, 30), 0); // empty range
        QCOMPARE(OldCorrectionEntry(QStringLiteral("---"), -20, 135), 0);
        // Steps of 0.1 over 0..15.5: 3.1 is 31 steps, entry 6; 2.0 exactly 20 steps, entry 4.
        QCOMPARE(OldCorrectionEntry(QStringLiteral("3.1"), 0, 15.5), 6);
        QCOMPARE(OldCorrectionEntry(QStringLiteral("2.0"), 0, 15.5), 4);
        QCOMPARE(OldCorrectionEntry(QStringLiteral("0.5"), 0, 15.5), 1);
    }

    void trimAddsThePercentageAndOffsetsTheWord() {
        QCOMPARE(TrimmedCellValue(2.00, 10), 2.2);
        QCOMPARE(TrimPayload(3, 2, 2.2), QByteArray::fromHex("001280DB")); // 220 + 32767 = 32987
        QCOMPARE(TrimmedCellValue(40.0, 10), 40.95);
        QCOMPARE(TrimPayload(16, 25, 40.95), QByteArray::fromHex("018F8FFE"));
        QCOMPARE(TrimmedCellValue(1.5, -100), 0.0);
        QCOMPARE(TrimPayload(1, 1, 0.0), QByteArray::fromHex("00007FFF"));
        QCOMPARE(TrimmedCellValue(1.23, 10), 1.35); // quantised like the grid shows it

        double percent = 1;
        QVERIFY(!TrimPercentage(QStringLiteral("---"), &percent));
        QVERIFY(TrimPercentage(QStringLiteral("0"), &percent));
        QCOMPARE(percent, 0.0);
        QVERIFY(TrimPercentage(QStringLiteral("-25"), &percent));
        QCOMPARE(percent, -25.0);
    }
};

QTEST_APPLESS_MAIN(LiveRulesTest)
#include "LiveRulesTest.moc"
