// Live frames through the real windows: dashboard labels, lamps, panels and fault messages, the map and
// table selections, the live trim and what the chart is told.
#include "live/LiveDisplay.h"
#include "LiveFrames.h"
#include "core/Dialogs.h"
#include "link/Link.h"
#include "tests/support/AppFixture.h"
#include "tests/support/LinkTestAccess.h"
#include "tests/support/WidgetColours.h"
#include "windows/chart/ChartWindow.h"
#include "windows/correction/CorrectionWindow.h"

#include <QTimer>
#include <memory>

using namespace TestColours;

class LiveDisplayTest : public QObject {
    Q_OBJECT
    AppFixture app;
    Dialogs linkDialogs;
    std::unique_ptr<Link> link; // no port: requests go nowhere, but the link's state can be read

    TForm1 *w() { return app.main(); }
    TForm3 *options() { return app.ctx().form3; }
    LiveDisplay *live() { return app.program->liveDisplay(); }

    void start(const QString &version) {
        app.start(version);
        link = std::make_unique<Link>(nullptr, &linkDialogs);
        app.ctx().link = link.get();
        // Speed rows 1000, 1500, ... 13000; sensors calibrated, linear response.
        const auto rows = options()->rpmRangeRows();
        for (int k = 0; k < 25; ++k)
            rows[k]->setValue(1000 + 500 * k);
        options()->SpinEdit_min_engineload->setValue(0);
        options()->SpinEdit_max_engineload->setValue(160);
        options()->SpinEdit_min_engineload2->setValue(10);
        options()->SpinEdit_max_engineload2->setValue(240);
        options()->ImagePicker_Respons_type->setCurrentIndex(0);
        options()->ComboBox_inj_stroke_mode->setCurrentIndex(0);
        options()->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(0);
        app.ctx().LiveTracking = true;
    }

    void feed(const TestFrame &frame) { live()->onLiveData(frame.done()); }

    // Each label of the main window, found by its name, shows its text.
    void verifyTexts(std::initializer_list<std::pair<const char *, const char *>> expected) {
        for (const auto &[name, text] : expected) {
            const auto *label = w()->findChild<QLabel *>(QString::fromLatin1(name));
            QVERIFY2(label, name);
            QCOMPARE(label->text(), QString::fromUtf8(text));
        }
    }

    DataGrid::Range selection(DataGrid *grid) { return grid->selectionRange(); }
    void verifySelected(DataGrid *grid, int column, int row) {
        const DataGrid::Range r = grid->selectionRange();
        QCOMPARE(r.left, column);
        QCOMPARE(r.right, column);
        QCOMPARE(r.top, row);
        QCOMPARE(r.bottom, row);
    }

private slots:
    void cleanup() {
        if (app.program)
            app.ctx().link = nullptr;
        link.reset();
        app.stop();
    }

    void firstLongFrameUngreysAndFillsTheLargeDashboard() {
        start(QStringLiteral("3FA1AD1AA"));
        QVERIFY(!w()->Label_Enginespeed_waarde3->isEnabled());
        feed(TestFrame::longFrame()
                 .word(1, 250)
                 .word(3, 2500)
                 .word(9, 105)
                 .word(11, 45)
                 .word(13, 18)
                 .word(21, 0x8032)
                 .word(23, 0x0004)
                 .byte(36, 35)
                 .byte(38, 72)
                 .word(43, 98));
        QVERIFY(w()->Label_Enginespeed_waarde3->isEnabled());
        QVERIFY(w()->Label_boostpressure_waarde2->isEnabled());
        verifyTexts({{"Label_Enginespeed_waarde3", "2500"},
                     {"Label_injectiontime_waarde2", "2.50"},
                     {"Label_correctionstep_waarde2", "85.0"},
                     {"Label_inlettemp_waarde2", "25.0"},
                     {"Label_Battery_Voltage_waarde2", "12.5"},
                     {"Label_correction_waarde_fuel2", "-5.0"},
                     {"Label_engineload_waarde2", "3.5"},
                     {"Label_engineload2_waarde2", "7.2"},
                     {"Label_boostpressure_waarde2", "98"}});
        QCOMPARE(background(w()->Panel_Fuel_pump_led2), Lime);
        QCOMPARE(background(w()->Panel_Second_stage_led2), Black);
        // The small dashboard is not touched by a long frame.
        QCOMPARE(w()->Label_Enginespeed_waarde->text(), QStringLiteral("0"));

        feed(TestFrame::longFrame().word(23, 0x0008));
        QCOMPARE(background(w()->Panel_Fuel_pump_led2), Black);
        QCOMPARE(background(w()->Panel_Second_stage_led2), Lime);
        QCOMPARE(background(w()->Panel_Second_stage_led), Lime);
    }

    void shortFrameFillsTheSmallDashboardOfOlderFirmware() {
        start(QStringLiteral("2FA1AD1AA"));
        options()->AdvSpinEdit_Min_Correction_table->setValue(-20);
        options()->AdvSpinEdit_Max_Correction_table->setValue(135);
        feed(TestFrame::shortFrame()
                 .word(1, 120)
                 .word(3, 2500)
                 .word(7, 50)
                 .word(9, 200)
                 .word(11, 0x8005)
                 .word(13, 18)
                 .word(17, 10)
                 .word(21, 0x8032)
                 .word(23, 0x0008));
        QVERIFY(w()->Label_Enginespeed_waarde->isEnabled());
        verifyTexts({{"Label_Enginespeed_waarde", "6000"},
                     {"Label_injectiontime_waarde", "2.71"},
                     {"Label_engineload_waarde", "5.0"},
                     {"Label_correctionstep_waarde", "---"},
                     {"Label_inlettemp_waarde", "---"},
                     {"Label_battery_waarde", "12.5"},
                     {"Label_potmeter_waarde", "10"},
                     {"Label_correction_waarde", "-5.0"}});
        QCOMPARE(background(w()->Panel_Second_stage_led), Lime);

        options()->SpinEdit_max_engineload->setValue(0);
        feed(TestFrame::shortFrame().word(7, 50));
        QCOMPARE(w()->Label_engineload_waarde->text(), QStringLiteral("Fail"));
        QCOMPARE(background(w()->Panel_Second_stage_led), Black);
    }

    void faultMessagesStayUntilCleared() {
        start(QStringLiteral("3FA1AD1AA"));
        QVERIFY(w()->Panel_Warning_message->isHidden());
        feed(TestFrame::longFrame().word(46, 0x8100));
        QVERIFY(w()->Panel_Warning_message->isVisible());
        QVERIFY(w()->Label_warning_massage1->isVisible());
        QCOMPARE(w()->Label_warning_massage1->text(), QStringLiteral("Injector out shortcut to ground"));
        QVERIFY(w()->Label_warning_massage8->isVisible());
        QCOMPARE(w()->Label_warning_massage8->text(), QStringLiteral("Over voltage"));
        for (int n : {2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16})
            QVERIFY2(w()->WarningLabel(n)->isHidden(), qPrintable(QString::number(n)));

        feed(TestFrame::longFrame().word(46, 0));
        QVERIFY(w()->Panel_Warning_message->isVisible());
        QVERIFY(w()->Label_warning_massage1->isVisible());
        QVERIFY(w()->Label_warning_massage8->isVisible());

        feed(TestFrame::longFrame().word(46, 0x0001));
        QVERIFY(w()->Label_warning_massage16->isVisible());
        QVERIFY(w()->Label_warning_massage1->isVisible());

        QTest::mouseClick(w()->Button_clear_message, Qt::LeftButton);
        QVERIFY(w()->Panel_Warning_message->isHidden());
        QVERIFY(w()->Label_warning_massage1->isHidden());
        QVERIFY(w()->Label_warning_massage16->isHidden());
    }

    void powerInterruptedPanelOnlyFromThe3FAFirmware() {
        start(QStringLiteral("2FA1AD1AA"));
        feed(TestFrame::shortFrame().word(23, 0x0800));
        QVERIFY(w()->Panel_power_to_system_was_interrupted->isHidden());
        app.stop();

        start(QStringLiteral("3FA1AD1AA"));
        feed(TestFrame::longFrame().word(23, 0x0800));
        QVERIFY(w()->Panel_power_to_system_was_interrupted->isVisible());
        feed(TestFrame::longFrame().word(23, 0x0000));
        QVERIFY(w()->Panel_power_to_system_was_interrupted->isHidden());
    }

    void injectionTimeBeyondOneTurnCycleTurnsRed() {
        start(QStringLiteral("3FA1AD1AA"));
        // 6000 RPM in "2"-stroke mode leaves 10 ms.
        feed(TestFrame::longFrame().word(1, 600).word(3, 10010));
        QCOMPARE(background(w()->Panel_injectiontime2), Red);
        QCOMPARE(textColor(w()->Label_injectiontime_waarde2), Red);
        feed(TestFrame::longFrame().word(1, 600).word(3, 10000));
        QCOMPARE(background(w()->Panel_injectiontime2), Silver);
        QCOMPARE(textColor(w()->Label_injectiontime_waarde2), Black);
        // "4"-stroke mode doubles the time.
        options()->ComboBox_inj_stroke_mode->setCurrentIndex(1);
        feed(TestFrame::longFrame().word(1, 600).word(3, 19000));
        QCOMPARE(background(w()->Panel_injectiontime2), Silver);
        // At standstill there is no limit: the colours stay as they were.
        options()->ComboBox_inj_stroke_mode->setCurrentIndex(2);
        feed(TestFrame::longFrame().word(1, 600).word(3, 6000));
        QCOMPARE(background(w()->Panel_injectiontime2), Red);
        feed(TestFrame::longFrame().word(1, 0).word(3, 6000));
        QCOMPARE(background(w()->Panel_injectiontime2), Red);
    }

    void fuelSelectionFollowsSpeedRowAndLoadColumn() {
        start(QStringLiteral("3FA1AD1AA"));
        feed(TestFrame::longFrame().word(1, 129).byte(36, 40)); // 1290 RPM, load 4.0
        QCOMPARE(app.ctx().LiveRow, 1);
        verifySelected(w()->AdvStringGrid_fuel, 5, 1);
        feed(TestFrame::longFrame().word(1, 130).byte(36, 156)); // 1300 RPM, load 15.6
        QCOMPARE(app.ctx().LiveRow, 2);
        verifySelected(w()->AdvStringGrid_fuel, 16, 2);

        // Load 2 as a boost correction table moves the boost grid as well.
        options()->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(2);
        feed(TestFrame::longFrame().word(1, 400).byte(36, 20).byte(38, 91)); // 4000 RPM: row 7
        verifySelected(w()->AdvStringGrid_fuel, 3, 7);
        verifySelected(w()->AdvStringGrid_injection_boost_correction, 10, 7);

        // Load 2 as the main load.
        options()->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(1);
        feed(TestFrame::longFrame().word(1, 400).byte(36, 20).byte(38, 91));
        verifySelected(w()->AdvStringGrid_fuel, 10, 7);

        // An uncalibrated sensor shows "Fail": the first column.
        options()->SpinEdit_max_engineload2->setValue(10);
        feed(TestFrame::longFrame().word(1, 400).byte(38, 91));
        verifySelected(w()->AdvStringGrid_fuel, 1, 7);

        // While tracking is off the selection stays where the user put it.
        app.ctx().LiveTracking = false;
        w()->AdvStringGrid_fuel->selectCell(8, 20);
        feed(TestFrame::longFrame().word(1, 130).byte(36, 30));
        verifySelected(w()->AdvStringGrid_fuel, 8, 20);
        QCOMPARE(app.ctx().LiveRow, 2);
    }

    void olderFirmwareTracksOnTheFixedSpeedScale() {
        start(QStringLiteral("2FA1AD1AA"));
        feed(TestFrame::shortFrame().word(1, 40).word(7, 50)); // 2000 RPM, load 5.0
        QCOMPARE(app.ctx().LiveRow, 4);
        verifySelected(w()->AdvStringGrid_fuel, 6, 4);
    }

    void trimRequestClosesTheEditMenuAndTrimsTheCell() {
        start(QStringLiteral("2FA1AD1AA"));
        app.ctx().LiveTracking = false;
        w()->GroupBox_Edit_menu->show();
        w()->AdvStringGrid_fuel->setCellValue(6, 4, 2.00);
        feed(TestFrame::shortFrame().word(1, 40).word(7, 50).word(17, 10).word(23, 0x8000));

        QVERIFY(w()->GroupBox_Edit_menu->isHidden());
        QVERIFY(app.ctx().LiveTracking);
        verifySelected(w()->AdvStringGrid_fuel, 6, 4);
        QCOMPARE(w()->AdvStringGrid_fuel->cellText(6, 4), QStringLiteral("2.20"));
        QCOMPARE(w()->AdvStringGrid_fuel->cellColor(6, 4), Red);
        // Cell 6 of row 4 is word 53; 220 + 32767 = 32987.
        QCOMPARE(StateOf(link).RequestPayload, QByteArray::fromHex("003580DB"));
        QCOMPARE(StateOf(link).DelayedAction, 1);
        QVERIFY(LinkTimer(link, 4)->isActive());
        QVERIFY(StateOf(link).RxIgnore); // the link was stopped for the write
        LinkTimer(link, 4)->stop();
    }

    void trimIsHeldAtTheMapLimitAndNeedsAPotentiometerValue() {
        start(QStringLiteral("2FA1AD1AA"));
        w()->AdvStringGrid_fuel->setCellValue(6, 4, 40.00);
        feed(TestFrame::shortFrame().word(1, 40).word(7, 50).word(17, 0x8065).word(23, 0x8000));
        QCOMPARE(w()->AdvStringGrid_fuel->cellText(6, 4), QStringLiteral("40.00"));
        QVERIFY(w()->AdvStringGrid_fuel->cellColor(6, 4) != Red);
        QVERIFY(!LinkTimer(link, 4)->isActive());

        feed(TestFrame::shortFrame().word(1, 40).word(7, 50).word(17, 10).word(23, 0x8000));
        QCOMPARE(w()->AdvStringGrid_fuel->cellText(6, 4), QStringLiteral("40.95"));
        QCOMPARE(StateOf(link).RequestPayload, QByteArray::fromHex("00358FFE"));
        LinkTimer(link, 4)->stop();
    }

    void newerFirmwareTrimsWithThePotentiometerTextItLastShowed() {
        start(QStringLiteral("3FA1AD1AA"));
        w()->AdvStringGrid_fuel->setCellValue(3, 2, 1.50);
        feed(TestFrame::longFrame().word(1, 130).byte(36, 20).word(23, 0x8000));
        // The long frame has no potentiometer: "0" rewrites the cell as it is, marked as trimmed.
        QCOMPARE(w()->AdvStringGrid_fuel->cellText(3, 2), QStringLiteral("1.50"));
        QCOMPARE(w()->AdvStringGrid_fuel->cellColor(3, 2), Red);
        QCOMPARE(StateOf(link).RequestPayload, QByteArray::fromHex("00128095")); // 150 + 32767
        LinkTimer(link, 4)->stop();
    }

    void chartFollowsTheLiveCellAndShowsTheTrim() {
        start(QStringLiteral("2FA1AD1AA"));
        w()->AdvStringGrid_fuel->setCellValue(6, 4, 2.00);
        app.ctx().form4->ShowMapLine(ChartMap::Injection, 4, 0); // speed row 4 (a header click)
        QVERIFY(app.ctx().form4->isVisible());
        QVERIFY(app.ctx().LiveTracking);
        feed(TestFrame::shortFrame().word(1, 40).word(7, 50));
        QCOMPARE(app.ctx().form4->ChartBar, 5);
        feed(TestFrame::shortFrame().word(1, 40).word(7, 50).word(17, 10).word(23, 0x8000));
        QCOMPARE(app.ctx().form4->ChartBar, 5);
        QCOMPARE(app.ctx().form4->barValue(5), 2.2);
        LinkTimer(link, 4)->stop();
    }

    void correctionTablesFollowWhileInView() {
        start(QStringLiteral("3FA1AD1AA"));
        TForm2 *tables = app.ctx().form2;
        const TestFrame frame =
            TestFrame::longFrame().word(9, 45).word(11, 45).word(13, 16).word(43, 1013); // 25, 25, 12.0 V
        tables->AdvStringGrid_battery->selectCell(3, 1);
        feed(frame);
        verifySelected(tables->AdvStringGrid_battery, 3, 1); // window hidden: nothing moves

        tables->show();
        QVERIFY(QTest::qWaitForWindowExposed(tables));
        feed(frame);
        verifySelected(tables->AdvStringGrid_Watertemp, 9, 1);
        verifySelected(tables->AdvStringGrid_luchttemp, 9, 1);
        verifySelected(tables->AdvStringGrid_battery, 16, 1);
        verifySelected(tables->AdvStringGrid_Air_pressure, 0, 1); // MAP sensor: not tracked

        options()->SetAirPressureMode(true);
        feed(frame);
        verifySelected(tables->AdvStringGrid_Air_pressure, 26, 1);

        // The chart of the battery table moves its bar to the live entry.
        tables->TableSelector = CorrectionTable::Battery;
        app.ctx().form4->ShowTable(0);
        QCOMPARE(app.ctx().form4->ChartMode, ChartView::CorrectionTable);
        feed(TestFrame(frame).word(13, 31)); // 15.75 V: entry 31
        QCOMPARE(app.ctx().form4->ChartBar, 31);
        verifySelected(tables->AdvStringGrid_battery, 31, 1);
    }

    void olderFirmwareTracksOnlyTheOneCorrectionTable() {
        start(QStringLiteral("2FA1AD1AA"));
        options()->AdvSpinEdit_Min_Correction_table->setValue(-20);
        options()->AdvSpinEdit_Max_Correction_table->setValue(135);
        TForm2 *tables = app.ctx().form2;
        tables->show();
        QVERIFY(QTest::qWaitForWindowExposed(tables));
        feed(TestFrame::shortFrame().word(9, 45)); // 25.0
        verifySelected(tables->AdvStringGrid_Watertemp, 9, 1);
        feed(TestFrame::shortFrame().word(9, 160)); // 140.0 lies past the range: the last entry
        verifySelected(tables->AdvStringGrid_Watertemp, 31, 1);
    }
};

QTEST_MAIN(LiveDisplayTest)
#include "LiveDisplayTest.moc"
