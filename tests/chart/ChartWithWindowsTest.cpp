// The chart inside the program's real windows: clicks in the map grids, the options it reads and the
// grids it writes back into.
#include "tests/support/LinkTestAccess.h"
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QtTest>
#include <memory>

#include "link/Link.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/WindowsFixture.h"
#include "windows/chart/ChartWindow.h"

namespace {
// The program's windows with the chart among them; the chart's cell changes are noted, not sent.
struct Program : WindowsFixture {
    std::unique_ptr<TForm4> form4;
    QList<QPair<int, int>> sent;

    Program() {
        form4 = std::make_unique<TForm4>(ctx);
        ctx.form4 = form4.get();
        form4->links.sendCellChange = [this](int address, int raw) {
            sent.append({address, raw});
            return true;
        };
    }
    ~Program() {
        ctx.form4 = nullptr;
        form4.reset();
    }
};
} // namespace

class ChartWithWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void rowHeaderClickChartsTheRowWithTheStrokeModeCeiling();
    void barEditLandsInTheClickedMapsCell();
    void tableViewReadsAndWritesTheSelectedCorrectionTable();
    void closingHidesTheMainWindowsEditMenu();
    void f10GoesOnlineWithoutDisablingTheMapGrids();
    void writeBackArmsTheSingleValueChangeOnTheLink();
    void aHeaderClickHandsTheKeysToTheChartAlsoWhenItIsOpen();
};

void ChartWithWindowsTest::rowHeaderClickChartsTheRowWithTheStrokeModeCeiling() {
    Program p;
    p.form3->ComboBox_inj_stroke_mode->setCurrentIndex(p.form3->ComboBox_inj_stroke_mode->findText("4"));
    p.form1->AdvStringGrid_fuel->setCellText(0, 12, "6000");
    p.form1->AdvStringGrid_fuel->setCellValue(3, 12, 4.56);
    p.form1->AdvStringGrid_fuelClickCell(12, 0);
    TForm4 &c = *p.form4;
    QVERIFY(c.isVisible());
    QCOMPARE(c.chartTitle(), QString("Row 6000 RPM"));
    QCOMPARE(c.barValue(2), 4.56);
    QCOMPARE(c.linePoints(), QVector<QPointF>({QPointF(-1, 20), QPointF(15, 20)}));

    p.form1->AdvStringGrid_injection_boost_correctionClickCell(12, 0);
    QCOMPARE(c.windowTitle(), QString("Chart Boost correction"));
    QVERIFY(c.linePoints().isEmpty());

    // A data cell click switches live tracking off, a header click leaves it alone.
    QVERIFY(p.ctx.LiveTracking);
    p.form1->AdvStringGrid_fuelClickCell(3, 3);
    QVERIFY(!p.ctx.LiveTracking);
    p.form1->AdvStringGrid_fuelClickCell(0, 0);
    QVERIFY(!p.ctx.LiveTracking);
}

void ChartWithWindowsTest::barEditLandsInTheClickedMapsCell() {
    Program p;
    p.form1->AdvStringGrid_injection_boost_correction->setCellValue(1, 2, 10.0);
    p.form1->AdvStringGrid_injection_boost_correctionClickCell(0, 1);
    TForm4 &c = *p.form4;
    QTest::keyClick(&c, Qt::Key_Right);
    QTest::keyClick(&c, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(p.form1->AdvStringGrid_injection_boost_correction->cellText(1, 2), QString("11.0"));
    QCOMPARE(p.sent.size(), 1);
    QCOMPARE(p.sent[0], qMakePair(689 + 16, 110));

    // Alt+C charts the injection map while ActiveMapGrid still names the boost map: the edit must
    // land in the injection map, within the injection limits.
    QCOMPARE(p.form1->ActiveMapGrid, 7);
    p.form1->AdvStringGrid_fuel->setCellValue(1, 1, 40.9);
    QTest::keyClick(&c, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(c.windowTitle(), QString("Chart injection"));
    QTest::keyClick(&c, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(p.form1->AdvStringGrid_fuel->cellText(1, 1), QString("40.95"));
    QCOMPARE(p.form1->AdvStringGrid_injection_boost_correction->cellText(1, 1), QString("0.0"));
    QCOMPARE(p.sent.last(), qMakePair(0, 4095));
}

void ChartWithWindowsTest::tableViewReadsAndWritesTheSelectedCorrectionTable() {
    Program p;
    p.form2->TableSelector = CorrectionTable::Battery;
    p.form2->AdvStringGrid_battery->setCellValue(0, 1, 0.8);
    TForm4 &c = *p.form4;
    QTest::keyClick(&c, Qt::Key_W, Qt::AltModifier);
    QCOMPARE(c.ChartMode, ChartView::CorrectionTable);
    QCOMPARE(c.barValue(0), 0.8);
    QCOMPARE(c.barX(31), 15.75);
    QTest::keyClick(&c, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(p.form2->AdvStringGrid_battery->cellText(0, 1), QString("0.79"));
    QCOMPARE(p.sent.last(), qMakePair(578, 790));
}

void ChartWithWindowsTest::closingHidesTheMainWindowsEditMenu() {
    Program p;
    p.form1->GroupBox_Edit_menu->show();
    p.form1->AdvStringGrid_fuelClickCell(1, 0);
    p.ctx.LiveTracking = false;
    p.form4->close();
    QVERIFY(p.form1->GroupBox_Edit_menu->isHidden());
    QVERIFY(p.ctx.LiveTracking);
}

void ChartWithWindowsTest::f10GoesOnlineWithoutDisablingTheMapGrids() {
    Program p;
    p.form1->SetOnline(false);
    p.form1->AdvStringGrid_fuel->setEnabled(true);
    p.form1->AdvStringGrid_fuelClickCell(2, 0);
    TForm4 &c = *p.form4;
    QVERIFY(c.isVisible());
    QTest::keyClick(&c, Qt::Key_F10);
    QVERIFY(p.form1->IsOnline());
    QVERIFY(!c.isVisible());
    QVERIFY(!p.form1->GroupBox_up_download_menu->isHidden());
    QVERIFY(!p.form1->Button_stay_offline->isHidden());
    QVERIFY(p.form1->AdvStringGrid_fuel->isEnabled());
    QTest::keyClick(&c, Qt::Key_F10);
    QVERIFY(!p.form1->IsOnline());
}

void ChartWithWindowsTest::writeBackArmsTheSingleValueChangeOnTheLink() {
    Program p;
    FakeSerialPort port;
    Link link(&port, &p.dialogs);
    p.ctx.link = &link;
    p.form4->ConnectToWindows(); // the link's own send path instead of the recorder
    p.form1->AdvStringGrid_fuel->setCellValue(5, 3, 2.0);
    p.form1->AdvStringGrid_fuelClickCell(3, 0);
    TForm4 &c = *p.form4;
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&c, Qt::Key_Right);
    QTest::keyClick(&c, Qt::Key_Up);
    // Word 36, value 210: 00 24 00 D2, sent as "c" when Timer4 fires.
    QCOMPARE(StateOf(link).RequestPayload, QByteArray::fromHex("002400D2"));
    QCOMPARE(StateOf(link).DelayedAction, 1);
    QVERIFY(LinkTimer(link, 4)->isActive());
    p.ctx.link = nullptr;
}

void ChartWithWindowsTest::aHeaderClickHandsTheKeysToTheChartAlsoWhenItIsOpen() {
    Program p;
    DataGrid *grid = p.form1->AdvStringGrid_fuel;
    grid->setEnabled(true);
    p.form1->show();
    for (int row : {3, 5}) { // the second click finds the chart open
        p.form1->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(p.form1.get()));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(row, 0)).center());
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(p.form4.get()));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(p.form1->AdvStringGrid_fuel->cellText(1, 5), QString("0.10"));
}

QTEST_MAIN(ChartWithWindowsTest)
#include "ChartWithWindowsTest.moc"
