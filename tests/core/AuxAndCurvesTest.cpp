#include "core/AuxConversion.h"
#include "core/ResponseCurves.h"

#include <QTest>

class AuxAndCurvesTest : public QObject {
    Q_OBJECT
private slots:
    void auxIntegerConversionFollowsTheChannelType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("decoded");
        QTest::newRow("0 none") << 0 << 1234 << 1234 << 1234;
        QTest::newRow("1 rpm tie to even down") << 1 << 6050 << 60 << 6000;
        QTest::newRow("1 rpm tie to even up") << 1 << 6150 << 62 << 6200;
        QTest::newRow("1 rpm rounds") << 1 << 6049 << 60 << 6000;
        QTest::newRow("2 tps") << 2 << 75 << 75 << 75;
        QTest::newRow("3 boost") << 3 << 150 << 150 << 150;
        QTest::newRow("4") << 4 << 40 << 40 << 40;
        QTest::newRow("4 water below zero") << 4 << -20 << 0x8014 << -20;
        QTest::newRow("5") << 5 << 55 << 55 << 55;
        QTest::newRow("5 air below zero") << 5 << -1 << 0x8001 << -1;
        QTest::newRow("6") << 6 << 66 << 66 << 66;
        QTest::newRow("7 temperature offset") << 7 << -20 << 0 << -20;
        QTest::newRow("8 temperature offset") << 8 << 100 << 120 << 100;
        QTest::newRow("9") << 9 << 9 << 9 << 9;
        QTest::newRow("10") << 10 << 1000 << 1000 << 1000;
        QTest::newRow("11 unknown") << 11 << 1000 << 0 << 0;
        QTest::newRow("-1 no selection") << -1 << 1000 << 0 << 0;
    }
    void auxIntegerConversionFollowsTheChannelType() {
        QFETCH(int, type);
        QFETCH(int, value);
        QFETCH(int, word);
        QFETCH(int, decoded);
        QCOMPARE(int(AuxEncodeInteger(type, value)), word);
        QCOMPARE(AuxDecodeInteger(type, std::uint16_t(type > 10 || type < 0 ? 77 : word)), decoded);
    }

    void auxDecimalConversionFollowsTheChannelType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("word");
        QTest::addColumn<double>("decoded");
        QTest::newRow("0") << 0 << 12.5 << 12 << 12.0;
        QTest::newRow("1 rpm in tens") << 1 << 6055.0 << 606 << 6060.0;
        QTest::newRow("1 rpm tie down") << 1 << 6045.0 << 604 << 6040.0;
        QTest::newRow("2 tps tenths") << 2 << 12.34 << 123 << 12.3;
        QTest::newRow("3") << 3 << 1.6 << 2 << 2.0;
        QTest::newRow("4") << 4 << 3.5 << 4 << 4.0;
        QTest::newRow("4 water below zero") << 4 << -19.6 << 0x8014 << -20.0;
        QTest::newRow("5") << 5 << 5.4 << 5 << 5.0;
        QTest::newRow("5 air below zero") << 5 << -0.5 << 0 << 0.0;
        QTest::newRow("5 air tie below zero") << 5 << -1.5 << 0x8002 << -2.0;
        QTest::newRow("6") << 6 << 6.0 << 6 << 6.0;
        QTest::newRow("7 temperature") << 7 << 85.5 << 106 << 86.0;
        QTest::newRow("8 temperature") << 8 << -20.0 << 0 << -20.0;
        QTest::newRow("9") << 9 << 9.7 << 10 << 10.0;
        QTest::newRow("10") << 10 << 10.2 << 10 << 10.0;
        QTest::newRow("11 unknown") << 11 << 10.2 << 0 << 0.0;
    }
    void auxDecimalConversionFollowsTheChannelType() {
        QFETCH(int, type);
        QFETCH(double, value);
        QFETCH(int, word);
        QFETCH(double, decoded);
        QCOMPARE(int(AuxEncodeDecimal(type, value)), word);
        QCOMPARE(AuxDecodeDecimal(type, std::uint16_t(type > 10 ? 55 : word)), decoded);
    }

    void auxThresholdsOutsideAWordAreHeldAtItsLimits() {
        QCOMPARE(AuxEncodeInteger(0, 70000), std::uint16_t(65535));
        QCOMPARE(AuxEncodeInteger(3, -5), std::uint16_t(0x8005));
        QCOMPARE(AuxEncodeInteger(4, -40000), std::uint16_t(0xFFFF));
        QCOMPARE(AuxEncodeDecimal(2, 7000.0), std::uint16_t(65535));
        QCOMPARE(AuxDecodeInteger(1, 65535), 6553500);
    }

    void linearCurvesStepByATenth() {
        ResponseCurves curves;
        for (int curve : {0, 3}) {
            QCOMPARE(curves.entry(curve, 1), 0.0);
            QCOMPARE(curves.entry(curve, 2), 0.1);
            QCOMPARE(curves.entry(curve, 81), 8.0);
            QCOMPARE(curves.entry(curve, 160), 15.9);
        }
        QCOMPARE(curves.entry(0, 0), 0.0);
        QCOMPARE(curves.entry(0, 161), 0.0);
        QCOMPARE(curves.entry(4, 10), 0.0);
    }

    void logarithmicCurveMatchesItsTable() {
        ResponseCurves c;
        const QList<QPair<int, double>> expected = {
            {1, 0.0},    {5, 0.1},    {12, 0.5},   {20, 0.8},   {21, 0.9},   {24, 1.1},  {35, 1.8},
            {40, 2.1},   {41, 2.2},   {47, 2.5},   {54, 3.0},   {60, 3.4},   {61, 3.5},  {68, 4.0},
            {72, 4.3},   {80, 4.8},   {81, 4.9},   {83, 5.0},   {90, 5.5},   {100, 6.1}, {101, 6.2},
            {107, 6.7},  {110, 7.0},  {120, 7.9},  {121, 8.0},  {124, 8.4},  {131, 9.1}, {137, 10.0},
            {140, 10.9}, {141, 11.1}, {142, 11.5}, {150, 13.9}, {158, 15.8}, {160, 15.8}};
        for (const auto &[k, v] : expected)
            QVERIFY2(qFuzzyCompare(c.entry(1, k) + 1.0, v + 1.0), qPrintable(QString::number(k)));
    }

    void eLogCurveMatchesItsTable() {
        ResponseCurves c;
        const QList<QPair<int, double>> expected = {
            {1, 0.0},    {2, 0.2},    {6, 1.4},    {20, 5.1},   {21, 5.3},   {26, 6.1},   {33, 7.0},
            {40, 7.7},   {41, 7.8},   {48, 8.4},   {55, 9.0},   {60, 9.3},   {61, 9.4},   {68, 10.0},
            {76, 10.5},  {80, 10.8},  {81, 10.9},  {84, 11.1},  {95, 11.7},  {100, 12.0}, {101, 12.1},
            {106, 12.5}, {113, 13.0}, {120, 13.4}, {121, 13.5}, {126, 13.8}, {132, 14.2}, {140, 14.6},
            {141, 14.7}, {145, 15.0}, {153, 15.6}, {157, 15.8}, {160, 15.8}};
        for (const auto &[k, v] : expected)
            QVERIFY2(qFuzzyCompare(c.entry(2, k) + 1.0, v + 1.0), qPrintable(QString::number(k)));
    }

    void tabledCurvesNeverStepBackwards() {
        ResponseCurves c;
        for (int curve : {1, 2})
            for (int k = 2; k <= 160; ++k)
                QVERIFY2(c.entry(curve, k) >= c.entry(curve, k - 1),
                         qPrintable(QStringLiteral("curve %1 entry %2").arg(curve).arg(k)));
    }

    void loadReadingMapsOntoAColumnOfTheChosenCurve() {
        ResponseCurves c;
        // min 100, max 260: each raw step is one entry.
        QCOMPARE(LoadToMapColumn(c, 100, 100, 260, 0), 0.0);
        QCOMPARE(LoadToMapColumn(c, 150, 100, 260, 0), 5.0);
        QCOMPARE(LoadToMapColumn(c, 150, 100, 260, 1), 2.8); // entry 51
        QCOMPARE(LoadToMapColumn(c, 150, 100, 260, 2), 8.7);
        QCOMPARE(LoadToMapColumn(c, 150, 100, 260, 3), 5.0);
        QCOMPARE(LoadToMapColumn(c, 150, 100, 260, 4), 0.0);
        QCOMPARE(LoadToMapColumn(c, 150, 100, 260, -1), 0.0);
        // Below the minimum gives entry 1, above the maximum entry 160.
        QCOMPARE(LoadToMapColumn(c, 20, 100, 260, 2), 0.0);
        QCOMPARE(LoadToMapColumn(c, 1000, 100, 260, 0), 15.9);
        QCOMPARE(LoadToMapColumn(c, 260, 100, 260, 1), 15.8);
        // trunc, not round: 100 + 0.99 of a step stays on the first entry
        QCOMPARE(LoadToMapColumn(c, 101, 100, 420, 0), 0.0);
        QCOMPARE(LoadToMapColumn(c, 102, 100, 420, 0), 0.1);
        // Negative raw is a large unsigned 16-bit reading, so it lands at the top.
        QCOMPARE(LoadToMapColumn(c, -1, 0, 1023, 0), 15.9);
        // Inverted sensor limits still work as a span.
        QCOMPARE(LoadToMapColumn(c, 180, 260, 100, 0), 8.0);
        // Uncalibrated sensor: no division by zero.
        QCOMPARE(LoadToMapColumn(c, 500, 300, 300, 0), 0.0);
    }
};

QTEST_APPLESS_MAIN(AuxAndCurvesTest)
#include "AuxAndCurvesTest.moc"
