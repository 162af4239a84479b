#include "windows/widgets/DataGrid.h"

#include <QSignalSpy>
#include <QTest>

class DataGridTest : public QObject {
    Q_OBJECT
private slots:
    void valuesAreFormattedAndReadBack() {
        DataGrid grid(17, 26);
        grid.setValueFormat(QStringLiteral("%.2f"));
        grid.setCellValue(3, 4, 12.3456);
        QCOMPARE(grid.cellText(3, 4), QStringLiteral("12.35"));
        QCOMPARE(grid.cellValue(3, 4), 12.35);
        // (column, row) order: the cell at row 3 column 4 is another cell.
        QCOMPARE(grid.cellText(4, 3), QString());

        grid.setValueFormat(QStringLiteral("%.1f"));
        grid.setCellValue(16, 25, -499.96);
        QCOMPARE(grid.cellText(16, 25), QStringLiteral("-500.0"));
        grid.setCellValue(1, 1, -0.04);
        QCOMPARE(grid.cellText(1, 1), QStringLiteral("0.0"));
    }

    void decimalSeparatorIgnoresTheDesktopLocale() {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        DataGrid grid(17, 26);
        grid.setCellValue(2, 2, 1.5);
        QCOMPARE(grid.cellText(2, 2), QStringLiteral("1.50"));
        QCOMPARE(grid.cellValue(2, 2), 1.5);
        QLocale::setDefault(before);
    }

    void emptyCellReadsZeroAndTextCellIsNotANumber() {
        DataGrid grid(17, 26);
        bool ok = false;
        QCOMPARE(grid.cellValue(5, 5, &ok), 0.0);
        QVERIFY(ok);
        grid.setCellText(5, 5, QStringLiteral("abc"));
        ok = true;
        grid.cellValue(5, 5, &ok);
        QVERIFY(!ok);
        grid.setCellText(5, 5, QStringLiteral("3,5"));
        grid.cellValue(5, 5, &ok);
        QVERIFY(!ok);
    }

    void headerCellsTakeTheFixedColourAndDataCellsKeepTheirOwn() {
        DataGrid grid(17, 26);
        QCOMPARE(grid.fixedColor(), QColor(192, 192, 192));
        grid.setFixedColor(QColor(255, 255, 0));
        QCOMPARE(grid.item(0, 5)->background().color(), QColor(255, 255, 0));
        QCOMPARE(grid.item(7, 0)->background().color(), QColor(255, 255, 0));
        QCOMPARE(grid.item(0, 0)->background().color(), QColor(255, 255, 0));
        QCOMPARE(grid.cellColor(1, 1), QColor(255, 255, 255));
        grid.setCellColor(2, 3, QColor(255, 0, 0));
        QCOMPARE(grid.cellColor(2, 3), QColor(255, 0, 0));
        grid.setFixedColor(QColor(192, 192, 192));
        QCOMPARE(grid.cellColor(2, 3), QColor(255, 0, 0));
        QVERIFY(grid.item(0, 3)->font().bold());
        QVERIFY(!grid.item(3, 3)->font().bold());
    }

    void selectionStaysInsideTheDataCells() {
        DataGrid grid(17, 26);
        grid.selectRange({5, 7, 2, 3});
        DataGrid::Range r = grid.selectionRange();
        QCOMPARE(r.left, 2);
        QCOMPARE(r.top, 3);
        QCOMPARE(r.right, 5);
        QCOMPARE(r.bottom, 7);
        grid.selectRange({0, 0, 40, 40});
        r = grid.selectionRange();
        QCOMPARE(r.left, 1);
        QCOMPARE(r.top, 1);
        QCOMPARE(r.right, 16);
        QCOMPARE(r.bottom, 25);
        QVERIFY(!grid.item(0, 3)->isSelected());
    }

    void noCellCanBeTypedInto() {
        DataGrid grid(17, 26);
        grid.resize(grid.fullSize());
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setCellValue(2, 2, 1.0);
        grid.selectCell(2, 2);
        grid.setFocus();
        QTest::keyClicks(&grid, QStringLiteral("9"));
        QTest::keyClick(&grid, Qt::Key_F2);
        QTest::keyClick(&grid, Qt::Key_Return);
        QCOMPARE(grid.cellText(2, 2), QStringLiteral("1.00"));
    }

    void keysNeverMoveTheFocusOntoAHeader() {
        DataGrid grid(17, 26);
        grid.resize(grid.fullSize());
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
        grid.selectCell(1, 1);
        QTest::keyClick(&grid, Qt::Key_Left);
        QTest::keyClick(&grid, Qt::Key_Up);
        QTest::keyClick(&grid, Qt::Key_Home);
        QCOMPARE(grid.currentRow(), 1);
        QCOMPARE(grid.currentColumn(), 1);
        QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
        const DataGrid::Range r = grid.selectionRange();
        QCOMPARE(r.left, 1);
        QCOMPARE(r.top, 1);
        QCOMPARE(r.right, 2);
        QCOMPARE(r.bottom, 2);
    }

    void clicksReportRowThenColumnAndHeaderClicksKeepTheSelection() {
        DataGrid grid(17, 26);
        grid.setColumnWidths(40);
        grid.setRowHeights(18);
        grid.resize(grid.fullSize());
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy clicks(&grid, &DataGrid::ClickCell);
        QSignalSpy ups(&grid, &DataGrid::MouseUp);

        const QPoint dataCell = grid.visualItemRect(grid.item(4, 2)).center();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, dataCell);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.last().at(0).toInt(), 4);
        QCOMPARE(clicks.last().at(1).toInt(), 2);
        QCOMPARE(ups.count(), 1);
        QCOMPARE(grid.selectionRange().left, 2);
        QCOMPARE(grid.selectionRange().top, 4);

        const QPoint rowHeader = grid.visualItemRect(grid.item(9, 0)).center();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, rowHeader);
        QCOMPARE(clicks.last().at(0).toInt(), 9);
        QCOMPARE(clicks.last().at(1).toInt(), 0);
        QCOMPARE(ups.count(), 2);
        QCOMPARE(grid.selectionRange().left, 2);
        QCOMPARE(grid.selectionRange().top, 4);
    }

    void keyReleaseCarriesItsModifiers() {
        DataGrid grid(17, 26);
        QSignalSpy ups(&grid, &DataGrid::KeyUp);
        QTest::keyRelease(&grid, Qt::Key_Down, Qt::ShiftModifier | Qt::ControlModifier);
        // The modifier keys report their own releases after the arrow.
        QVERIFY(!ups.isEmpty());
        QCOMPARE(ups.first().at(0).toInt(), int(Qt::Key_Down));
        QCOMPARE(ups.first().at(1).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier | Qt::ControlModifier);
    }
};

QTEST_MAIN(DataGridTest)
#include "DataGridTest.moc"
