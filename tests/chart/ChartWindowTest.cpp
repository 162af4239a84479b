// The chart window on grids of its own: views, live following, keys and bar editing.
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QToolButton>
#include <QValueAxis>
#include <QtTest>
#include <array>

#include "app/AppContext.h"
#include "windows/chart/ChartWindow.h"
#include "windows/widgets/DataGrid.h"

namespace {
const QColor White(255, 255, 255), Lime(0, 255, 0), Grey(128, 128, 128), Blue(0, 0, 255), Navy(0, 0, 128),
    Red(255, 0, 0), Fuchsia(255, 0, 255), Yellow(255, 255, 0);

struct Sent {
    int address;
    int raw;
};

// A chart with two maps and four tables of its own, laid out like the program's grids.
struct Rig {
    AppContext ctx;
    DataGrid fuel{17, 26}, boost{17, 26};
    DataGrid water{32, 2}, air{32, 2}, battery{32, 2}, pressure{32, 2};
    ChartTable selector = ChartTable::Water;
    QString stroke = "2";
    QString version = "3FA1AD1AA";
    int loadSource = 0;
    bool boostTab = false;
    QMap<QString, QString> dashboard;
    QList<Sent> sent;
    int editMenuHidden = 0;
    std::unique_ptr<TForm4> chart;

    Rig() {
        fuel.setValueFormat("%.2f");
        boost.setValueFormat("%.1f");
        for (DataGrid *g : {&water, &air, &pressure})
            g->setValueFormat("%.1f");
        battery.setValueFormat("%.2f");
        for (DataGrid *g : {&fuel, &boost}) {
            for (int r = 1; r <= 25; ++r)
                g->setCellText(0, r, QString::number(500 * r));
            for (int c = 1; c <= 16; ++c)
                g->setCellText(c, 0, QString::number(c - 1).rightJustified(5, ' '));
            for (int r = 1; r <= 25; ++r)
                for (int c = 1; c <= 16; ++c)
                    g->setCellValue(c, r, 0);
        }
        chart = std::make_unique<TForm4>(ctx);
        TForm4::Links &l = chart->links;
        l.mapGrid = [this](ChartMap m) { return m == ChartMap::Injection ? &fuel : &boost; };
        // In the order of ChartTable: water, air, battery, air pressure.
        l.tableGrid = [this](ChartTable t) { return std::array{&water, &air, &battery, &pressure}[int(t)]; };
        l.tableSelector = [this] { return selector; };
        l.strokeMode = [this] { return stroke; };
        l.firmwareVersion = [this] { return version; };
        l.loadSourceIndex = [this] { return loadSource; };
        l.dashboardText = [this](const QString &name) { return dashboard.value(name); };
        l.boostTabShown = [this] { return boostTab; };
        l.hideEditMenu = [this] { ++editMenuHidden; };
        l.sendCellChange = [this](int address, int raw) {
            sent.append({address, raw});
            return true;
        };
    }
    void key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyPress(chart.get(), Qt::Key(key), mods);
        QTest::keyRelease(chart.get(), Qt::Key(key), mods);
    }
};
} // namespace

class ChartWindowTest : public QObject {
    Q_OBJECT
private slots:
    void speedRowViewShowsTheRowWithItsCeilingLine();
    void loadColumnViewShowsTheColumnOverEngineSpeed();
    void boostViewsHaveNoCeilingLine();
    void batteryTableRunsFromEightToFifteenSeventyFive();
    void cellClicksDecideWhatIsBuiltAndAboutLiveTracking();
    void windowAndButtonsArePlacedOnEveryCall();
    void pageKeysAndLineButtonsWrapAround();
    void rightAndLeftStopAtTheFirstAndLastBar();
    void upAndDownStepTheBarWithinItsLimits();
    void releasingUpWritesTheCellBackAndSendsIt();
    void barButtonsStepOnPressAndWriteOnRelease();
    void barEditsStayInTheChartedTable();
    void liveCellMovesTheSelectedBarAndTakesTrimmedValues();
    void selectingByHandStopsLiveFollowingUntilSpace();
    void jumpToLiveCellUsesTheLoadOfTheShownTab();
    void redCellsGiveGreyAndNavyBars();
    void closingSwitchesTrackingOnAndHidesTheEditMenu();
};

void ChartWindowTest::speedRowViewShowsTheRowWithItsCeilingLine() {
    Rig rig;
    rig.stroke = "4";
    rig.fuel.setCellText(0, 12, "6000");
    rig.fuel.setCellValue(1, 12, 5.3);
    rig.fuel.setCellValue(16, 12, 12.25);
    rig.chart->ShowMapLine(ChartMap::Injection, 12, 0);
    TForm4 &c = *rig.chart;
    QVERIFY(c.isVisible());
    QCOMPARE(c.windowTitle(), QString("Chart injection"));
    QCOMPARE(c.chartTitle(), QString("Row 6000 RPM"));
    QCOMPARE(c.ChartMode, ChartView::SpeedRow);
    QCOMPARE(c.ChartLine, 12);
    QCOMPARE(c.ChartBar, 0);
    QCOMPARE(c.barCount(), 16);
    QCOMPARE(c.barValue(0), 5.3);
    QCOMPARE(c.barValue(15), 12.25);
    QCOMPARE(c.barX(15), 15.0);
    QCOMPARE(c.barLabel(3), QString("3"));
    QCOMPARE(c.legendText(0), QString("5.30"));
    QCOMPARE(c.barColor(0), Blue);
    QCOMPARE(c.barColor(1), White);
    QCOMPARE(c.LeftAxis->titleText(), QString("Injection-time"));
    QCOMPARE(c.LeftAxis->min(), -0.5);
    QCOMPARE(c.LeftAxis->max(), 50.0);
    QCOMPARE(c.BottomAxis->titleText(), QString("Engine-load"));
    QCOMPARE(c.valueFormat(), QString("#,#00.00"));
    // 60000 / 6000 x 2 for four-stroke: the yellow line at 20 ms across the whole row.
    QCOMPARE(c.linePoints(), QVector<QPointF>({QPointF(-1, 20), QPointF(15, 20)}));
    QVERIFY(c.lineMarksVisible());
    QCOMPARE(c.Series2->count(), 2);
    QCOMPARE(c.Series2->at(0).y(), 20.0);
    QCOMPARE(c.Series2->name(), QString("Max injection-time"));
    // What is drawn: one bar set per bar, coloured and labelled in the legend.
    const QList<QBarSet *> sets = c.Series1->barSets();
    QCOMPARE(sets.size(), 16);
    QCOMPARE(sets[0]->color(), Blue);
    QCOMPARE(sets[0]->label(), QString("5.30"));
    QCOMPARE(sets[15]->at(15), 12.25);
    QCOMPARE(sets[15]->at(0), 0.0);
    QCOMPARE(c.SpeedButton_omhoog->toolTip(), QString("Move to previous RPM Row or press Page Up Key"));
    QCOMPARE(c.SpeedButton_bar_verhogen->toolTip(),
             QString("Injection bar up = +0,1 ;  with Alt  = +0,01 ; with Ctrl = +1"));
    QCOMPARE(c.SpeedButton_bar_verlagen->toolTip(),
             QString("Injection bar down = +0,1 ;  with Alt  = +0,01 ; with Ctrl = +1"));
}

void ChartWindowTest::loadColumnViewShowsTheColumnOverEngineSpeed() {
    Rig rig;
    rig.fuel.setCellValue(4, 25, 7.77);
    rig.chart->ShowMapLine(ChartMap::Injection, 0, 4);
    TForm4 &c = *rig.chart;
    QCOMPARE(c.chartTitle(), QString("Engine-load Colomn 3"));
    QCOMPARE(c.ChartMode, ChartView::LoadColumn);
    QCOMPARE(c.barCount(), 25);
    QCOMPARE(c.barX(0), 500.0);
    QCOMPARE(c.barX(24), 12500.0);
    QCOMPARE(c.barValue(24), 7.77);
    QCOMPARE(c.barLabel(24), QString("12500"));
    QCOMPARE(c.barColor(0), Blue);
    QCOMPARE(c.barColor(1), Lime);
    QCOMPARE(c.BottomAxis->titleText(), QString("Engine-RPM"));
    // One ceiling point per row (two-stroke: 60000 / n), marks hidden.
    QCOMPARE(c.linePoints().size(), 25);
    QCOMPARE(c.linePoints()[1], QPointF(1000, 60));
    QVERIFY(!c.lineMarksVisible());
    QCOMPARE(c.SpeedButton_omlaag->toolTip(), QString("Move to left Engine-load Col or press Page Down Key"));
}

void ChartWindowTest::boostViewsHaveNoCeilingLine() {
    Rig rig;
    rig.boost.setCellValue(2, 3, -123.4);
    rig.chart->ShowMapLine(ChartMap::Boost, 3, 0);
    TForm4 &c = *rig.chart;
    QCOMPARE(c.windowTitle(), QString("Chart Boost correction"));
    QCOMPARE(c.LeftAxis->titleText(), QString("Boost correction"));
    QCOMPARE(c.LeftAxis->min(), -500.0);
    QCOMPARE(c.BottomAxis->titleText(), QString("Engine-load (MAP)"));
    QCOMPARE(c.legendText(1), QString("-123.4"));
    QVERIFY(c.linePoints().isEmpty());
    QCOMPARE(c.Series2->count(), 0);
    c.ShowMapLine(ChartMap::Boost, 0, 2);
    QCOMPARE(c.barValue(2), -123.4);
    QVERIFY(c.linePoints().isEmpty());
    c.NextLine();
    QVERIFY(c.linePoints().isEmpty());
    QCOMPARE(c.chartTitle(), QString("Engine load Colomn 2"));
}

void ChartWindowTest::batteryTableRunsFromEightToFifteenSeventyFive() {
    Rig rig;
    rig.selector = ChartTable::Battery;
    rig.battery.setCellValue(31, 1, 1.25);
    rig.chart->ShowMapLine(ChartMap::Injection, 2, 0); // a map view first: the table view must replace it
    rig.chart->ShowTable(0);
    TForm4 &c = *rig.chart;
    QCOMPARE(c.windowTitle(), QString("Chart"));
    QCOMPARE(c.ChartMode, ChartView::CorrectionTable);
    QCOMPARE(c.chartTitle(), QString("correction on fuel in ms"));
    QCOMPARE(c.barCount(), 32);
    QCOMPARE(c.barX(0), 8.0);
    QCOMPARE(c.barX(31), 15.75);
    QCOMPARE(c.barLabel(31), QString("15.75"));
    QCOMPARE(c.barValue(31), 1.25);
    QCOMPARE(c.barColor(0), Fuchsia);
    QCOMPARE(c.barColor(1), Blue);
    QVERIFY(c.linePoints().isEmpty());
    QVERIFY(c.SpeedButton_omhoog->isHidden());
    QVERIFY(c.SpeedButton_omlaag->isHidden());
    QCOMPARE(c.LeftAxis->max(), 3.0);
    QCOMPARE(c.BottomAxis->titleText(), QString("Battery voltage in V"));

    rig.selector = ChartTable::Water;
    c.ShowTable(0);
    QCOMPARE(c.barX(31), 135.0);
    QCOMPARE(c.barColor(0), Yellow);
    QCOMPARE(c.BottomAxis->titleText(), QString::fromUtf8("Watertemp in \xC2\xB0"
                                                          "C (%)"));
}

void ChartWindowTest::cellClicksDecideWhatIsBuiltAndAboutLiveTracking() {
    Rig rig;
    TForm4 &c = *rig.chart;
    c.ShowMapLine(ChartMap::Injection, 0, 0); // the corner cell builds nothing
    QCOMPARE(c.ChartMode, ChartView::None);
    QVERIFY(!c.isVisible());
    QVERIFY(rig.ctx.LiveTracking);
    rig.ctx.LiveTracking = false;
    c.ShowMapLine(ChartMap::Injection, 0, 0);
    QVERIFY(!rig.ctx.LiveTracking);

    rig.ctx.LiveTracking = true;
    c.ShowMapLine(ChartMap::Injection, 5, 3); // a data cell: the user takes over
    QVERIFY(!rig.ctx.LiveTracking);
    QCOMPARE(c.ChartMode, ChartView::None);
    c.ShowMapLine(ChartMap::Injection, 5, 0); // a header leaves tracking as it was
    QVERIFY(!rig.ctx.LiveTracking);
    rig.ctx.LiveTracking = true;
    c.ShowMapLine(ChartMap::Injection, 0, 5);
    QVERIFY(rig.ctx.LiveTracking);

    c.ShowTable(1); // a table value
    QVERIFY(!rig.ctx.LiveTracking);
    QCOMPARE(c.ChartMode, ChartView::LoadColumn);
    c.ShowTable(0);
    QVERIFY(!rig.ctx.LiveTracking);
    rig.ctx.LiveTracking = true;
    c.ShowTable(0);
    QVERIFY(rig.ctx.LiveTracking);
    QCOMPARE(c.ChartMode, ChartView::CorrectionTable);
}

void ChartWindowTest::windowAndButtonsArePlacedOnEveryCall() {
    Rig rig;
    TForm4 &c = *rig.chart;
    c.resize(700, 300);
    c.ShowMapLine(ChartMap::Injection, 0, 0); // placed even though nothing is built
    const QRect screen = c.screen()->geometry();
    QCOMPARE(c.height(), 479);
    QCOMPARE(c.pos(), QPoint(screen.left() + 53, screen.top() + 52));
    c.ShowTable(3);
    QCOMPARE(c.pos(), QPoint(screen.left() + 53, screen.top() + 1));
    const int h = c.Chart1->height();
    QCOMPARE(h, 479);
    QCOMPARE(c.SpeedButton_selectiebar_naar_links->y(), h - 36);
    QCOMPARE(c.SpeedButton_selectiebar_naar_rechts->y(), h - 36);
    QCOMPARE(c.SpeedButton_bar_verhogen->y(), h - 48);
    QCOMPARE(c.SpeedButton_bar_verlagen->y(), h - 23);
    QCOMPARE(c.SpeedButton_omhoog->y(), h - 94);
    QCOMPARE(c.SpeedButton_omlaag->y(), h - 94);
    QCOMPARE(c.SpeedButton_selectiebar_naar_links->toolTip(), QString("Bar selection to the Left"));
    QCOMPARE(c.SpeedButton_selectiebar_naar_rechts->toolTip(), QString("Bar selection to the Right"));
}

void ChartWindowTest::pageKeysAndLineButtonsWrapAround() {
    Rig rig;
    TForm4 &c = *rig.chart;
    rig.fuel.setCellValue(7, 1, 3.5);
    c.ShowMapLine(ChartMap::Injection, 25, 0);
    rig.key(Qt::Key_PageDown);
    QCOMPARE(c.ChartLine, 1);
    QCOMPARE(c.chartTitle(), QString("Row 500 RPM"));
    QCOMPARE(c.barValue(6), 3.5);
    rig.key(Qt::Key_PageUp);
    QCOMPARE(c.ChartLine, 25);
    QTest::mouseClick(c.SpeedButton_omlaag, Qt::LeftButton);
    QCOMPARE(c.ChartLine, 1);
    QTest::mouseClick(c.SpeedButton_omhoog, Qt::LeftButton);
    QCOMPARE(c.ChartLine, 25);
    QCOMPARE(c.barColor(0), Blue); // the button colours the selected bar

    c.ShowMapLine(ChartMap::Injection, 0, 1);
    rig.key(Qt::Key_PageDown); // load columns: Page Down goes left
    QCOMPARE(c.ChartLine, 16);
    QCOMPARE(c.chartTitle(), QString("Engine load Colomn 15"));
    rig.key(Qt::Key_PageUp);
    QCOMPARE(c.ChartLine, 1);
    QTest::mouseClick(c.SpeedButton_omlaag, Qt::LeftButton);
    QCOMPARE(c.ChartLine, 16);

    rig.selector = ChartTable::Air;
    c.ShowTable(0);
    rig.key(Qt::Key_PageDown); // nothing to page in a table
    QCOMPARE(c.ChartMode, ChartView::CorrectionTable);
    QCOMPARE(c.barCount(), 32);
}

void ChartWindowTest::rightAndLeftStopAtTheFirstAndLastBar() {
    Rig rig;
    TForm4 &c = *rig.chart;
    struct Case {
        std::function<void()> show;
        int last;
    };
    const QList<Case> cases = {{[&] { c.ShowMapLine(ChartMap::Injection, 1, 0); }, 15},
                               {[&] { c.ShowMapLine(ChartMap::Injection, 0, 1); }, 24},
                               {[&] { c.ShowTable(0); }, 31}};
    for (const Case &cs : cases) {
        cs.show();
        for (int i = 0; i < 40; ++i)
            rig.key(Qt::Key_Right);
        QCOMPARE(c.ChartBar, cs.last);
        QCOMPARE(c.barColor(cs.last), c.ChartMode == ChartView::CorrectionTable ? Yellow : Blue);
        QCOMPARE(c.barColor(cs.last - 1), c.ChartMode == ChartView::LoadColumn ? Lime
                                          : c.ChartMode == ChartView::SpeedRow ? White
                                                                               : Blue);
        for (int i = 0; i < 40; ++i)
            rig.key(Qt::Key_Left);
        QCOMPARE(c.ChartBar, 0);
    }
}

void ChartWindowTest::upAndDownStepTheBarWithinItsLimits() {
    Rig rig;
    TForm4 &c = *rig.chart;
    rig.fuel.setCellValue(1, 1, 40.5);
    c.ShowMapLine(ChartMap::Injection, 1, 0);
    QTest::keyPress(&c, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(c.barValue(0), 40.95);
    QCOMPARE(c.legendText(0), QString("40.95"));
    QCOMPARE(c.Series1->barSets()[0]->at(0), 40.95);

    rig.boost.setCellValue(1, 1, -499.9);
    c.ShowMapLine(ChartMap::Boost, 1, 0);
    for (int i = 0; i < 5; ++i)
        QTest::keyPress(&c, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(c.barValue(0), -499.95);
    QTest::keyPress(&c, Qt::Key_Down);
    QCOMPARE(c.barValue(0), -500.0);

    rig.water.setCellValue(0, 1, 12.5);
    c.ShowTable(0);
    QTest::keyPress(&c, Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(c.barValue(0), 12.5);
    QTest::keyPress(&c, Qt::Key_Up, Qt::AltModifier | Qt::ControlModifier);
    QCOMPARE(c.barValue(0), 13.5);

    rig.selector = ChartTable::Battery;
    rig.battery.setCellValue(0, 1, 9.5);
    c.ShowTable(0);
    QTest::keyPress(&c, Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(c.barValue(0), 9.51);
    QTest::keyPress(&c, Qt::Key_Up, Qt::AltModifier | Qt::ControlModifier); // 0.01 then 1, capped
    QCOMPARE(c.barValue(0), 10.0);
    QTest::keyPress(&c, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(c.barValue(0), 10.0);
    QCOMPARE(rig.battery.cellValue(0, 1), 9.5); // only the bar changes until the key is let go
}

void ChartWindowTest::releasingUpWritesTheCellBackAndSendsIt() {
    Rig rig;
    TForm4 &c = *rig.chart;
    rig.fuel.setCellValue(5, 3, 2.0);
    c.ShowMapLine(ChartMap::Injection, 3, 0);
    for (int i = 0; i < 4; ++i)
        rig.key(Qt::Key_Right);
    rig.key(Qt::Key_Up);
    QCOMPARE(rig.fuel.cellText(5, 3), QString("2.10"));
    QCOMPARE(rig.sent.size(), 1);
    QCOMPARE(rig.sent[0].address, 36); // (3 - 1) x 16 + (5 - 1)
    QCOMPARE(rig.sent[0].raw, 210);

    // At the maximum the same value is sent again.
    rig.fuel.setCellValue(5, 3, 40.95);
    c.ShowMapLine(ChartMap::Injection, 3, 0);
    for (int i = 0; i < 4; ++i)
        rig.key(Qt::Key_Right);
    rig.key(Qt::Key_Up);
    QCOMPARE(rig.sent.size(), 2);
    QCOMPARE(rig.sent[1].raw, 4095);
    // Held down: auto-repeated releases do not write; the real release writes once.
    QTest::keyPress(&c, Qt::Key_Down);
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&c, &repeatRelease);
    QCOMPARE(rig.sent.size(), 2);
    QTest::keyRelease(&c, Qt::Key_Down);
    QCOMPARE(rig.sent.size(), 3);
    QCOMPARE(rig.sent[2].raw, 4085);

    // A boost load column: the cell is (column ChartLine, row ChartBar + 1).
    rig.boost.setCellValue(2, 10, -12.3);
    c.ShowMapLine(ChartMap::Boost, 0, 2);
    for (int i = 0; i < 9; ++i)
        rig.key(Qt::Key_Right);
    rig.key(Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(rig.boost.cellText(2, 10), QString("-13.3"));
    QCOMPARE(rig.sent.last().address, 689 + 9 * 16 + 1);
    QCOMPARE(rig.sent.last().raw, -133);

    // Tables: table base + bar, battery in thousandths.
    rig.selector = ChartTable::Battery;
    rig.battery.setCellValue(31, 1, 0.5);
    c.ShowTable(0);
    for (int i = 0; i < 31; ++i)
        rig.key(Qt::Key_Right);
    rig.key(Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(rig.battery.cellText(31, 1), QString("0.51"));
    QCOMPARE(rig.sent.last().address, 609);
    QCOMPARE(rig.sent.last().raw, 510);
    rig.selector = ChartTable::AirPressure;
    c.ShowTable(0);
    rig.key(Qt::Key_Down);
    QCOMPARE(rig.pressure.cellText(0, 1), QString("-0.1"));
    QCOMPARE(rig.sent.last().address, 657);
    QCOMPARE(rig.sent.last().raw, -1);
}

void ChartWindowTest::barButtonsStepOnPressAndWriteOnRelease() {
    Rig rig;
    TForm4 &c = *rig.chart;
    rig.fuel.setCellValue(1, 2, 1.0);
    c.ShowMapLine(ChartMap::Injection, 2, 0);
    c.show();
    QTest::mousePress(c.SpeedButton_bar_verhogen, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(c.barValue(0), 2.0);
    QVERIFY(rig.sent.isEmpty());
    QTest::mouseRelease(c.SpeedButton_bar_verhogen, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(rig.sent.size(), 1);
    QCOMPARE(rig.sent[0].raw, 200);
    QCOMPARE(rig.fuel.cellValue(1, 2), 2.0);
    QTest::mousePress(c.SpeedButton_bar_verlagen, Qt::LeftButton, Qt::AltModifier);
    QTest::mouseRelease(c.SpeedButton_bar_verlagen, Qt::LeftButton, Qt::AltModifier);
    QCOMPARE(rig.fuel.cellText(1, 2), QString("1.99"));
    QCOMPARE(rig.sent.last().raw, 199);
    QTest::mouseClick(c.SpeedButton_selectiebar_naar_rechts, Qt::LeftButton);
    QCOMPARE(c.ChartBar, 1);
    QTest::mouseClick(c.SpeedButton_selectiebar_naar_links, Qt::LeftButton);
    QCOMPARE(c.ChartBar, 0);
}

void ChartWindowTest::barEditsStayInTheChartedTable() {
    Rig rig;
    TForm4 &c = *rig.chart;
    rig.water.setCellValue(0, 1, 50.0);
    c.ShowTable(0);
    // A click on a battery value selects that table but charts nothing: the water bars stay in view,
    // and their edits must go to the water table with the water limits.
    rig.selector = ChartTable::Battery;
    c.ShowTable(1);
    rig.key(Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(c.barValue(0), 51.0);
    QCOMPARE(rig.water.cellText(0, 1), QString("51.0"));
    QCOMPARE(rig.battery.cellText(0, 1), QString(""));
    QCOMPARE(rig.sent.last().address, 400);
    QCOMPARE(rig.sent.last().raw, 510);
}

void ChartWindowTest::liveCellMovesTheSelectedBarAndTakesTrimmedValues() {
    Rig rig;
    TForm4 &c = *rig.chart;
    c.ShowMapLine(ChartMap::Injection, 4, 0);
    c.LiveCellUpdate(6, 4, 0, false, 0);
    QCOMPARE(c.ChartBar, 5);
    QCOMPARE(c.barColor(5), Blue);
    QCOMPARE(c.barColor(0), White);
    // The live trim: the cell turns red and the bar takes the new value, navy as it is selected.
    rig.fuel.setCellColor(6, 4, Red);
    c.LiveCellUpdate(6, 4, 0, true, 2.2);
    QCOMPARE(c.barValue(5), 2.2);
    QCOMPARE(c.legendText(5), QString("2.20"));
    QCOMPARE(c.barColor(5), Navy);
    // The live cell leaves the row: nothing selected in view.
    c.LiveCellUpdate(6, 5, 0, false, 0);
    QCOMPARE(c.barColor(5), Grey);
    QCOMPARE(c.ChartBar, 5);

    c.ShowMapLine(ChartMap::Injection, 0, 6); // load column 6: the bar is the row
    c.LiveCellUpdate(6, 9, 0, false, 0);
    QCOMPARE(c.ChartBar, 8);
    QCOMPARE(c.barColor(8), Blue);
    QCOMPARE(c.barColor(3), Grey);         // row 4 of column 6 is red
    c.LiveCellUpdate(99, 99, 0, false, 0); // out of range: ignored
    QCOMPARE(c.ChartBar, 8);

    rig.selector = ChartTable::Battery;
    c.ShowTable(0);
    c.LiveCellUpdate(0, 0, 16, false, 0);
    QCOMPARE(c.ChartBar, 16);
    QCOMPARE(c.barColor(16), Fuchsia);
    QCOMPARE(c.barColor(0), Blue);
}

void ChartWindowTest::selectingByHandStopsLiveFollowingUntilSpace() {
    Rig rig;
    TForm4 &c = *rig.chart;
    c.ShowMapLine(ChartMap::Injection, 3, 0);
    rig.key(Qt::Key_Right);
    rig.key(Qt::Key_Left);
    QVERIFY(!rig.ctx.LiveTracking);
    rig.ctx.LiveRow = 9;
    rig.key(Qt::Key_Space); // tracking back on and the live row charted
    QVERIFY(rig.ctx.LiveTracking);
    QCOMPARE(c.ChartLine, 9);
    QCOMPARE(c.barColor(0), Blue); // the live row: bar 0 selected
    rig.ctx.LiveRow = 40;          // above 25 counts as 25
    rig.key(Qt::Key_Space);
    QCOMPARE(c.ChartLine, 25);

    // Alt+R with tracking off only switches it on; the next Alt+R jumps to the live row.
    rig.key(Qt::Key_Right);
    QVERIFY(!rig.ctx.LiveTracking);
    rig.ctx.LiveRow = 7;
    rig.key(Qt::Key_R, Qt::AltModifier);
    QCOMPARE(c.ChartLine, 1);
    QVERIFY(rig.ctx.LiveTracking);
    rig.key(Qt::Key_R, Qt::AltModifier);
    QCOMPARE(c.ChartLine, 7);
    rig.key(Qt::Key_R); // without Alt: nothing
    QCOMPARE(c.ChartLine, 7);
    QCOMPARE(c.ChartMode, ChartView::SpeedRow);

    // Moving off the live row leaves bar 0 in its normal colour.
    rig.key(Qt::Key_PageDown);
    QCOMPARE(c.ChartLine, 8);
    QCOMPARE(c.barColor(0), White);
}

void ChartWindowTest::jumpToLiveCellUsesTheLoadOfTheShownTab() {
    Rig rig;
    TForm4 &c = *rig.chart;
    rig.dashboard["Label_engineload_waarde2"] = "4.4";
    rig.dashboard["Label_engineload2_waarde2"] = "9.6";
    rig.dashboard["Label_engineload_waarde"] = "1.0";
    rig.dashboard["Label_Enginespeed_waarde"] = "6100";
    rig.key(Qt::Key_C, Qt::AltModifier); // tracking on: charts column 1 and jumps to load 1
    QCOMPARE(c.ChartMode, ChartView::LoadColumn);
    QCOMPARE(c.ChartLine, 5);
    rig.loadSource = 1; // main load from sensor 2
    c.JumpToLiveCell(false);
    QCOMPARE(c.ChartLine, 11);
    rig.loadSource = 2;
    rig.boostTab = true; // the boost tab charts load 2
    c.JumpToLiveCell(false);
    QCOMPARE(c.ChartLine, 11);
    rig.boostTab = false;
    c.JumpToLiveCell(false);
    QCOMPARE(c.ChartLine, 5);
    rig.dashboard["Label_engineload_waarde2"] = "Fail";
    c.JumpToLiveCell(false);
    QCOMPARE(c.ChartLine, 1);
    rig.version = "2FA1AD1AA"; // older firmware: the small dashboard's load
    c.JumpToLiveCell(false);
    QCOMPARE(c.ChartLine, 2);

    c.ShowMapLine(ChartMap::Injection, 1, 0);
    c.JumpToLiveCell(true); // from the main window: 6100 / 500 rounded
    QCOMPARE(c.ChartLine, 12);
    rig.version = "3FA1AD1AA"; // the long frames fill the second dashboard's speed only
    rig.dashboard["Label_Enginespeed_waarde3"] = "3400";
    c.JumpToLiveCell(true);
    QCOMPARE(c.ChartLine, 7);
    rig.ctx.LiveRow = 3;
    c.JumpToLiveCell(false);
    QCOMPARE(c.ChartLine, 3);
}

void ChartWindowTest::redCellsGiveGreyAndNavyBars() {
    Rig rig;
    TForm4 &c = *rig.chart;
    rig.fuel.setCellColor(2, 6, Red);
    rig.boost.setCellColor(3, 6, Red);
    c.ShowMapLine(ChartMap::Injection, 6, 0);
    QCOMPARE(c.barColor(1), Grey);
    QCOMPARE(c.barColor(2), White); // the red cell of the other map does not count
    rig.key(Qt::Key_Right);
    QCOMPARE(c.barColor(1), Navy);
    QCOMPARE(c.barColor(0), White);
    rig.key(Qt::Key_Right);
    QCOMPARE(c.barColor(1), Grey);
    c.ShowMapLine(ChartMap::Boost, 6, 0);
    QCOMPARE(c.barColor(2), Grey);
    QCOMPARE(c.barColor(1), White);
}

void ChartWindowTest::closingSwitchesTrackingOnAndHidesTheEditMenu() {
    Rig rig;
    TForm4 &c = *rig.chart;
    c.ShowMapLine(ChartMap::Injection, 1, 0);
    rig.key(Qt::Key_Left);
    QVERIFY(!rig.ctx.LiveTracking);
    QVERIFY(!c.FooterVisible());
    c.SetFooterVisible(true);
    QVERIFY(c.FooterVisible());
    QCOMPARE(c.ChartFooter->text(), QString("             DATA IS NOT LOCKED !!!"));
    QVERIFY(c.ChartFooter->font().bold());
    c.close();
    QVERIFY(!c.isVisible());
    QVERIFY(rig.ctx.LiveTracking);
    QCOMPARE(rig.editMenuHidden, 1);
}

QTEST_MAIN(ChartWindowTest)
#include "ChartWindowTest.moc"
