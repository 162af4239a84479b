// The correction-table window: its grids, and what showing it does per firmware.
#include <QtTest>

#include "tests/support/WindowsFixture.h"

class CorrectionWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theFourTablesHoldThirtyTwoValuesFromColumnZero() {
        WindowsFixture windows;
        TForm2 &form = *windows.form2;
        QCOMPARE(form.windowTitle(), QString("Correction-table "));
        QCOMPARE(form.size(), QSize(790, 540));
        const struct {
            const char *grid, *title, *titleText, *unitText, *written;
            double value;
        } tables[] = {
            {"AdvStringGrid_Watertemp", "Label_watertemp_text", "Water-temp in °C", "%", "-12.3", -12.34},
            {"AdvStringGrid_luchttemp", "Label_luchttemp_text", "Air-temp in °C", "%", "100.0", 100},
            {"AdvStringGrid_battery", "Label_batteryvoltage_text", "Battery voltage in V", "ms", "9.88",
             9.876},
            {"AdvStringGrid_Air_pressure", "Label_Air_presssure_text", "Air-Pressure in mBar", "%", "0.5",
             0.45},
        };
        for (const auto &table : tables) {
            auto *grid = form.findChild<DataGrid *>(table.grid);
            QVERIFY2(grid, table.grid);
            QCOMPARE(grid->columnCount(), 32);
            QCOMPARE(grid->rowCount(), 2);
            QCOMPARE(form.findChild<QLabel *>(table.title)->text(), QString(table.titleText));
            // Column 0 is a value like the others, not a header.
            grid->setCellValue(0, 1, table.value);
            QCOMPARE(grid->cellText(0, 1), QString(table.written));
            QVERIFY(grid->item(1, 0)->flags() & Qt::ItemIsSelectable);
            QVERIFY(!(grid->item(0, 0)->flags() & Qt::ItemIsSelectable));
            QCOMPARE(grid->cellColor(0, 1), QColor(255, 255, 255));
        }
        QCOMPARE(form.Label_batteryvoltage_eenheid->text(), QString("ms"));
        QCOMPARE(form.Label_Air_presssure_eenheid->text(), QString("%"));
    }

    void showingTheWindowPicksTheTablesOfTheFirmware_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("airAndBattery");
        QTest::addColumn<bool>("airPressure");
        QTest::newRow("2FA1AD1AA") << "2FA1AD1AA" << false << false;
        QTest::newRow("3FA1AA1AA") << "3FA1AA1AA" << true << false;
        QTest::newRow("3FA1AB1AA") << "3FA1AB1AA" << true << true;
    }
    void showingTheWindowPicksTheTablesOfTheFirmware() {
        QFETCH(QString, version);
        QFETCH(bool, airAndBattery);
        QFETCH(bool, airPressure);
        WindowsFixture windows(version);
        TForm2 &form = *windows.form2;
        form.SelectedTableColumn = 17;
        form.show();
        QVERIFY(form.AdvStringGrid_Watertemp->isVisible());
        QCOMPARE(form.AdvStringGrid_luchttemp->isVisible(), airAndBattery);
        QCOMPARE(form.Label_luchttemp_text->isVisible(), airAndBattery);
        QCOMPARE(form.AdvStringGrid_battery->isVisible(), airAndBattery);
        QCOMPARE(form.Label_batteryvoltage_eenheid->isVisible(), airAndBattery);
        QCOMPARE(form.AdvStringGrid_Air_pressure->isVisible(), airPressure);
        QCOMPARE(form.Label_Air_presssure_text->isVisible(), airPressure);
        QCOMPARE(form.SelectedTableColumn, 0);

        // The firmware is read again at every showing.
        form.hide();
        windows.setVersion("3FA1AB1AA");
        form.show();
        QVERIFY(form.AdvStringGrid_Air_pressure->isVisible());
    }

    void showingTheWindowWritesTheAxisHeaders() {
        WindowsFixture windows("3FA1AD1AA");
        windows.form3->AdvSpinEdit_Min_Correction_table->setValue(-20);
        windows.form3->AdvSpinEdit_Max_Correction_table->setValue(135);
        windows.form2->show();
        for (int column = 0; column < 32; ++column)
            QCOMPARE(windows.form2->AdvStringGrid_Watertemp->cellText(column, 0),
                     windows.form2->AdvStringGrid_luchttemp->cellText(column, 0));
        QCOMPARE(windows.form2->AdvStringGrid_luchttemp->cellText(31, 0), QString("135"));
        QCOMPARE(windows.form2->AdvStringGrid_Air_pressure->cellText(31, 0), QString("1060"));
        QCOMPARE(windows.form2->Label_watertemp_text->text(), QString("Water-temp in °C"));

        // The six decimals of the battery axis fit their columns; the other tables keep 40 pixels.
        DataGrid *battery = windows.form2->AdvStringGrid_battery;
        QCOMPARE(battery->cellText(31, 0), QString("15.750000"));
        const int margins = 2 * (battery->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
        QVERIFY(QFontMetrics(battery->item(0, 31)->font()).horizontalAdvance("15.750000") + margins <=
                battery->columnWidth(31));
        QCOMPARE(windows.form2->AdvStringGrid_luchttemp->columnWidth(31), 40);
    }
};

QTEST_MAIN(CorrectionWindowTest)
#include "CorrectionWindowTest.moc"
