// Widget-free rules of the chart: steps, limits, wrap-around, ceilings, axes, addresses and raw words.
#include <QtTest>

#include "rules/ChartRules.h"

class ChartRulesTest : public QObject {
    Q_OBJECT
private slots:
    void stepTableByViewAndModifiers();
    void barsStopAtTheirViewLimits();
    void linesWrapAroundAtBothEnds();
    void ceilingOfInjectionTimeFollowsStrokeMode();
    void tableAxesStartAndEndWhereTheTablesDo();
    void cellWordsAndRawValuesAreThoseTheEcuExpects();
    void legendShowsTheDecimalsOfTheValueFormat();
    void liveColumnAndRowFromDashboardTexts();
};

void ChartRulesTest::stepTableByViewAndModifiers() {
    using V = QVector<double>;
    for (ChartView map : {ChartView::SpeedRow, ChartView::LoadColumn}) {
        QCOMPARE(BarSteps(map, ChartTable::Water, false, false), V({0.1}));
        QCOMPARE(BarSteps(map, ChartTable::Water, true, false), V({0.01}));
        QCOMPARE(BarSteps(map, ChartTable::Water, false, true), V({1.0}));
        QCOMPARE(BarSteps(map, ChartTable::Water, true, true), V({0.01, 1.0}));
    }
    const ChartView t = ChartView::CorrectionTable;
    QCOMPARE(BarSteps(t, ChartTable::Battery, true, false), V({0.01}));
    QCOMPARE(BarSteps(t, ChartTable::Battery, true, true), V({0.01, 1.0}));
    for (ChartTable table : {ChartTable::Water, ChartTable::Air, ChartTable::AirPressure}) {
        QCOMPARE(BarSteps(t, table, false, false), V({0.1}));
        QVERIFY(BarSteps(t, table, true, false).isEmpty()); // Alt alone does nothing here
        QCOMPARE(BarSteps(t, table, false, true), V({1.0}));
        QCOMPARE(BarSteps(t, table, true, true), V({1.0}));
    }
}

void ChartRulesTest::barsStopAtTheirViewLimits() {
    const BarLimits injection = MapBarLimits(ChartMap::Injection);
    const BarLimits boost = MapBarLimits(ChartMap::Boost);
    QCOMPARE(RaiseValue(40.5, 1, injection), 40.95);
    QCOMPARE(RaiseValue(40.9, 0.01, injection), 40.91);
    QCOMPARE(LowerValue(0.05, 0.1, injection), 0.0);
    QCOMPARE(LowerValue(-499.95, 0.1, boost), -500.0);
    QCOMPARE(RaiseValue(499.99, 1, boost), 500.0);
    QCOMPARE(RaiseValue(9.5, 1, TableBarLimits(ChartTable::Battery)), 10.0);
    QCOMPARE(LowerValue(0.3, 1, TableBarLimits(ChartTable::Battery)), 0.0);
    QCOMPARE(RaiseValue(99.5, 1, TableBarLimits(ChartTable::Water)), 100.0);
    QCOMPARE(LowerValue(-99.5, 1, TableBarLimits(ChartTable::AirPressure)), -100.0);
    // Many small steps land on the decimal value, not next to it.
    double v = 0;
    for (int i = 0; i < 30; ++i)
        v = RaiseValue(v, 0.1, injection);
    QCOMPARE(v, 3.0);

    QCOMPARE(LastBarIndex(ChartView::SpeedRow), 15);
    QCOMPARE(LastBarIndex(ChartView::LoadColumn), 24);
    QCOMPARE(LastBarIndex(ChartView::CorrectionTable), 31);
}

void ChartRulesTest::linesWrapAroundAtBothEnds() {
    QCOMPARE(WrapLine(ChartView::SpeedRow, 25, +1), 1);
    QCOMPARE(WrapLine(ChartView::SpeedRow, 1, -1), 25);
    QCOMPARE(WrapLine(ChartView::SpeedRow, 12, +1), 13);
    QCOMPARE(WrapLine(ChartView::LoadColumn, 16, +1), 1);
    QCOMPARE(WrapLine(ChartView::LoadColumn, 1, -1), 16);
    QCOMPARE(WrapLine(ChartView::LoadColumn, 0, +1), 1); // a jump to live column 1 starts from 0
}

void ChartRulesTest::ceilingOfInjectionTimeFollowsStrokeMode() {
    double t = 0;
    QVERIFY(MaxInjectionTime(6000, "4", &t));
    QCOMPARE(t, 20.0);
    QVERIFY(MaxInjectionTime(6000, "2", &t));
    QCOMPARE(t, 10.0);
    QVERIFY(MaxInjectionTime(6000, "1", &t));
    QCOMPARE(t, 5.0);
    QVERIFY(MaxInjectionTime(500, "4", &t));
    QCOMPARE(t, 240.0);
    QVERIFY(!MaxInjectionTime(0, "2", &t)); // no division by a zero speed header
}

void ChartRulesTest::tableAxesStartAndEndWhereTheTablesDo() {
    QCOMPARE(TableBarX(ChartTable::Battery, 0), 8.0);
    QCOMPARE(TableBarX(ChartTable::Battery, 31), 15.75);
    QCOMPARE(TableBarX(ChartTable::Water, 0), -20.0);
    QCOMPARE(TableBarX(ChartTable::Water, 31), 135.0);
    QCOMPARE(TableBarX(ChartTable::Air, 31), 135.0);
    QCOMPARE(TableBarX(ChartTable::AirPressure, 0), 750.0);
    QCOMPARE(TableBarX(ChartTable::AirPressure, 31), 1060.0);

    const TableView battery = TableViewOf(ChartTable::Battery);
    QCOMPARE(battery.title, QString("correction on fuel in ms"));
    QCOMPARE(battery.valueFormat, QString("#,#00.00"));
    QCOMPARE(battery.leftMax, 3.0);
    QCOMPARE(battery.bottomMax, 15.8);
    QCOMPARE(battery.selectedColor, QColor(255, 0, 255));
    QCOMPARE(battery.lowerHint, QString("Injection bar up = -0,1 ;  with Alt  = -0,01 ; with Ctrl = -1"));
    const TableView water = TableViewOf(ChartTable::Water);
    QCOMPARE(water.bottomTitle, QString::fromUtf8("Watertemp in \xC2\xB0"
                                                  "C (%)"));
    QCOMPARE(water.selectedColor, QColor(255, 255, 0));
    QCOMPARE(water.raiseHint, QString("Correction bar up = +0,1 ; with Ctrl = +1"));
    QCOMPARE(TableViewOf(ChartTable::Air).selectedColor, QColor(0, 255, 255));
    QCOMPARE(TableViewOf(ChartTable::AirPressure).selectedColor, QColor(0, 0, 0));
    QCOMPARE(TableViewOf(ChartTable::AirPressure).bottomTitle, QString("Air pressure in mBar"));
}

void ChartRulesTest::cellWordsAndRawValuesAreThoseTheEcuExpects() {
    QCOMPARE(MapBarWord(ChartMap::Injection, 1, 1), 0);
    QCOMPARE(MapBarWord(ChartMap::Injection, 16, 25), 399);
    QCOMPARE(MapBarWord(ChartMap::Boost, 1, 1), 689);
    QCOMPARE(MapBarWord(ChartMap::Boost, 16, 25), 1088);
    QCOMPARE(MapBarRaw(ChartMap::Injection, 40.95), 4095);
    QCOMPARE(MapBarRaw(ChartMap::Injection, 12.125), 1212); // halves go to the even one
    QCOMPARE(MapBarRaw(ChartMap::Boost, -500), -5000);
    QCOMPARE(TableBarWord(ChartTable::Water, 0), 400);
    QCOMPARE(TableBarWord(ChartTable::Air, 31), 568);
    QCOMPARE(TableBarWord(ChartTable::Battery, 5), 583);
    QCOMPARE(TableBarWord(ChartTable::AirPressure, 31), 688);
    QCOMPARE(TableBarRaw(ChartTable::Battery, 1.23), 1230);
    QCOMPARE(TableBarRaw(ChartTable::Battery, 10), 10000);
    QCOMPARE(TableBarRaw(ChartTable::Water, -12.5), -125);
}

void ChartRulesTest::legendShowsTheDecimalsOfTheValueFormat() {
    QCOMPARE(LegendText(5.3, "#,#00.00"), QString("5.30"));
    QCOMPARE(LegendText(-12.34, "#,#00.0"), QString("-12.3"));
    QCOMPARE(LegendText(7.6, "#,#00"), QString("8"));
}

void ChartRulesTest::liveColumnAndRowFromDashboardTexts() {
    QCOMPARE(LoadColumnFromText("3.4"), 4);
    QCOMPARE(LoadColumnFromText("15.6"), 16); // 16 + 1 limited to 16
    QCOMPARE(LoadColumnFromText("2.5"), 3);   // Round goes to even: 2, plus one
    QCOMPARE(LoadColumnFromText("Fail"), 1);
    QCOMPARE(LoadColumnFromText(""), 1);
    QCOMPARE(LoadColumnFromText("-3"), 1);
    QCOMPARE(SpeedRowFromText("6100"), 12);
    QCOMPARE(SpeedRowFromText("0"), 1);
    QCOMPARE(SpeedRowFromText("19000"), 25);
    QCOMPARE(SpeedRowFromText("---"), 1);

    const LiveLoadTexts old = PickLiveLoadTexts(false, 2, "old", "new1", "new2");
    QCOMPARE(old.load1, QString("old"));
    QVERIFY(old.load2.isEmpty());
    QCOMPARE(PickLiveLoadTexts(true, 0, "old", "new1", "new2").load1, QString("new1"));
    QCOMPARE(PickLiveLoadTexts(true, 1, "old", "new1", "new2").load1, QString("new2"));
    const LiveLoadTexts both = PickLiveLoadTexts(true, 3, "old", "new1", "new2");
    QCOMPARE(both.load1, QString("new1"));
    QCOMPARE(both.load2, QString("new2"));
}

QTEST_GUILESS_MAIN(ChartRulesTest)
#include "ChartRulesTest.moc"
