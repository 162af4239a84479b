// The options window as the user works it: the menu column per firmware, each group's open / Ok / Cancel
// with its checks and messages, the snapshot's resolution after Cancel, leaving the window with Ok or
// Cancel, "com.ini" and F1. The whole program runs without a serial link, so the window is offline.
#include "app/AppContext.h"
#include "app/Application.h"
#include "core/Dialogs.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"
#include "windows/widgets/DataGrid.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class OptionsFrameTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<Application> program;
    TForm3 *w = nullptr;

    AppContext &ctx() { return program->context(); }
    Dialogs &dialogs() { return program->dialogs(); }
    QStringList shown() {
        QStringList texts;
        for (const DialogRequest &r : dialogs().shown())
            texts << r.text;
        return texts;
    }
    void click(QAbstractButton *b) {
        QVERIFY2(b->isVisible(), qPrintable(b->objectName() + " is not visible"));
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void showWindow(const QString &version) {
        w->StaticText_version_info->setText(version);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
    }
    bool inMenu() const { return w->Button_ok_Options_menu->isVisible(); }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        Application::Options options;
        options.programDirectory = dir.path() + QLatin1Char('/');
        options.useMessageBoxes = false;
        options.createLink = false;
        program = std::make_unique<Application>(QStringList{QStringLiteral("-O")}, options);
        dialogs().setPresenter([](const DialogRequest &r) {
            return r.buttons.isEmpty() ? DialogButton::Ok : r.buttons.first();
        });
        w = ctx().form3;
        QVERIFY(w);
    }
    void init() {
        dialogs().clearShown();
        for (QGroupBox *p : w->subPanels())
            p->hide();
        w->hide();
    }
    void cleanupTestCase() {
        w = nullptr;
        program.reset();
    }

    void menu_column_swaps_rpm_limiter_and_correction_table_by_firmware() {
        showWindow(QStringLiteral("3FA1AD1AA"));
        QCOMPARE(w->pos(), QPoint(150, 30));
        QVERIFY(w->Button_RPM_limiters_and_powershift->isVisible());
        QVERIFY(!w->Button_Correction_table->isVisible());
        QCOMPARE(w->Button_interpolation_to_limits->text(),
                 QStringLiteral("Interpol. to limits and Fuel cut"));
        QVERIFY(w->Button_remarks->y() > w->Button_RPM_limiters_and_powershift->y());
        QVERIFY(w->Button_set_communicationport->y() > w->Button_remarks->y());
        QCOMPARE(w->focusWidget(), w->Button_RPM_pickup);
        w->hide();

        showWindow(QStringLiteral("2FA1AA1AA"));
        QApplication::processEvents();
        QVERIFY(!w->Button_RPM_limiters_and_powershift->isVisible());
        QVERIFY(w->Button_Correction_table->isVisible());
        QCOMPARE(w->Button_interpolation_to_limits->text(), QStringLiteral("Interpolation to limits"));
        QVERIFY(w->Button_remarks->y() > w->Button_Correction_table->y());

        // A sub-panel hides the whole column, the window's own Ok and Cancel included.
        click(w->Button_remarks);
        QVERIFY(w->GroupBox_Remarks->isVisible());
        QVERIFY(!inMenu());
        QVERIFY(!w->Button_Correction_table->isVisible());
        QCOMPARE(w->focusWidget(), w->Button_Cancel_remarks);
        click(w->Button_Ok_remarks);
        QVERIFY(inMenu());
        QVERIFY(w->Button_Correction_table->isVisible());
    }

    void window_cancel_restores_the_rpm_limit_in_50_rpm_steps() {
        const QList<QPair<int, int>> cases{{12525, 12500}, {12575, 12600}, {12500, 12500}};
        for (const auto &[typed, back] : cases) {
            showWindow(QStringLiteral("3FA1AD1AA"));
            click(w->Button_RPM_limiters_and_powershift);
            w->SpinEdit_soft_limit->setValue(typed);
            click(w->Button_Ok_RPM_limiter);
            click(w->Button_ok_Options_menu);
            QVERIFY(!w->isVisible());

            showWindow(QStringLiteral("3FA1AD1AA"));
            click(w->Button_RPM_limiters_and_powershift);
            w->SpinEdit_soft_limit->setValue(15000);
            click(w->Button_Ok_RPM_limiter); // a sub-panel's Ok does not renew the snapshot
            click(w->Button_Cancel_Options_menu);
            QVERIFY(!w->isVisible());
            QCOMPARE(w->SpinEdit_soft_limit->value(), back);
        }
    }

    void sub_panel_cancel_restores_only_its_own_group() {
        showWindow(QStringLiteral("3FA1AD1AA"));
        const int remarksBefore = w->SpinEdit_soft_limit->value();
        click(w->Button_RPM_limiters_and_powershift);
        w->SpinEdit_soft_limit->setValue(remarksBefore + 1000);
        click(w->Button_Ok_RPM_limiter);
        const QString line = w->Edit_remarks_line1->text();
        click(w->Button_remarks);
        w->Edit_remarks_line1->setText(QStringLiteral("changed"));
        click(w->Button_Cancel_remarks);
        QCOMPARE(w->Edit_remarks_line1->text(), line);
        QCOMPARE(w->SpinEdit_soft_limit->value(), remarksBefore + 1000);
        click(w->Button_Cancel_Options_menu);
        QCOMPARE(w->SpinEdit_soft_limit->value(), remarksBefore);
    }

    void startup_cancel_brings_percentages_back_in_steps_of_two_and_checks_rising_temperatures() {
        QDoubleSpinBox *p = w->AdvSpinEdit_Crank_turns_40_kolom_3;
        p->setValue(101);
        w->AdvSpinEdit_Crank_turns_40_kolom_4->setValue(103);
        w->AdvSpinEdit_startup_injection_puls_temp2->setValue(3.14);
        showWindow(QStringLiteral("3FA1AD1AA"));
        click(w->Button_Startup);
        QVERIFY(w->GroupBox_startup_enrichment->isVisible());
        p->setValue(300);
        w->AdvSpinEdit_startup_injection_puls_temp2->setValue(9);
        click(w->Button_Cancel_Startup);
        QCOMPARE(p->value(), 100.0);
        QCOMPARE(w->AdvSpinEdit_Crank_turns_40_kolom_4->value(), 104.0);
        QCOMPARE(w->AdvSpinEdit_startup_injection_puls_temp2->value(), 3.14);

        const QList<QList<int>> temps{{20, 20, 40, 60}, {20, 30, 30, 60}, {20, 30, 70, 60}, {20, 30, 40, 60}};
        for (const QList<int> &t : temps) {
            dialogs().clearShown();
            click(w->Button_Startup);
            for (int c = 1; c <= 4; ++c)
                w->startupTemperature(c)->setValue(t[c - 1]);
            click(w->Button_Ok_Startup);
            const bool rising = t[0] < t[1] && t[1] < t[2] && t[2] < t[3];
            QCOMPARE(w->GroupBox_Startup->isVisible(), !rising);
            QCOMPARE(shown(),
                     rising ? QStringList()
                            : QStringList{"Check Watertemp values this has to run from low to high !!!"});
            if (!rising)
                click(w->Button_Cancel_Startup);
        }
        // Temperatures are held two to a word and come back as they were.
        click(w->Button_ok_Options_menu);
        showWindow(QStringLiteral("3FA1AD1AA"));
        click(w->Button_Startup);
        for (int c = 1; c <= 4; ++c)
            w->startupTemperature(c)->setValue(0);
        click(w->Button_Cancel_Startup);
        QCOMPARE(w->startupTemperature(3)->value(), 40.0);
        QCOMPARE(w->startupTemperature(1)->value(), 20.0);
        w->hide();

        // Older firmware has no start-up table and no check.
        dialogs().clearShown();
        showWindow(QStringLiteral("2FA1AA1AA"));
        click(w->Button_Startup);
        QVERIFY(!w->GroupBox_startup_enrichment->isVisible());
        for (int c = 1; c <= 4; ++c)
            w->startupTemperature(c)->setValue(50);
        click(w->Button_Ok_Startup);
        QVERIFY(inMenu());
        QVERIFY(shown().isEmpty());
        click(w->Button_Cancel_Options_menu);
    }

    void interpolation_cancel_restores_switches_overrun_speed_and_tps() {
        w->UnpackInterpolationFlags(5);
        w->SpinEdit_Overrun_fuel_cut_rpm->setValue(525);
        w->AdvSpinEdit_Overrun_fuel_cut_tps->setValue(15.8);
        showWindow(QStringLiteral("3FA1AD1AA"));
        QCOMPARE(w->optionsSnapshot().overrunTps, 158);
        QCOMPARE(w->optionsSnapshot().overrunRpm, 10);
        click(w->Button_interpolation_to_limits);
        QVERIFY(w->GroupBox_Overrun_fuel_cut->isVisible());
        click(w->IBEAntialiasButton_interpolation_links_aan_uit);
        w->AdvSpinEdit_Overrun_fuel_cut_tps->setValue(2);
        click(w->Button_Cancel_interpolation_to_limits);
        QCOMPARE(w->PackInterpolationFlags(), 5);
        QCOMPARE(w->SpinEdit_Overrun_fuel_cut_rpm->value(), 500);
        QCOMPARE(w->AdvSpinEdit_Overrun_fuel_cut_tps->value(), 15.8);
        w->hide();

        showWindow(QStringLiteral("2FA1AA1AA"));
        click(w->Button_interpolation_to_limits);
        QVERIFY(!w->GroupBox_Overrun_fuel_cut->isVisible());
        click(w->Button_Ok_interpolation_to_limits);
    }

    void rpm_range_must_rise_and_pickup_controls_follow_the_version() {
        showWindow(QStringLiteral("3FA1AD1AA"));
        click(w->Button_RPM_pickup);
        QVERIFY(w->Button_RPM_Range->isVisible());
        QVERIFY(w->ComboBox_coil_input_voltage->isVisible());
        click(w->Button_RPM_Range);
        QVERIFY(w->GroupBox_RPM_Range->isVisible());
        QCOMPARE(w->GroupBox_RPM_Range->pos(), QPoint(5, 25));
        const auto rows = w->rpmRangeRows();
        rows[11]->setValue(6000);
        rows[12]->setValue(6000);
        click(w->Button_RPM_Range_Ok);
        QCOMPARE(shown(), QStringList{"Check RPM values this has to run from low to high !!!"});
        QVERIFY(w->GroupBox_RPM_Range->isVisible());
        QCOMPARE(rows[12]->value(), 6000);
        rows[12]->setValue(6550);
        click(w->Button_RPM_Range_Ok);
        QVERIFY(!w->GroupBox_RPM_Range->isVisible());
        click(w->Button_Cancel_RPM_pickup);
        QCOMPARE(rows[12]->value(), 6500);
        QCOMPARE(rows[11]->value(), 6000);
        w->hide();

        // A version starting with "1" has no pickup choice and restores the Hall sensor.
        w->RadioButton_RPM_pickup_from_coil->setChecked(true);
        showWindow(QStringLiteral("1FA1AA1AA"));
        click(w->Button_RPM_pickup);
        QVERIFY(!w->RadioButton_RPM_pickup_from_coil->isVisible());
        QVERIFY(!w->Label_RPM_pickup_from_Hallsensor->isVisible());
        QVERIFY(!w->Button_RPM_Range->isVisible());
        click(w->Button_Cancel_RPM_pickup);
        QVERIFY(w->RadioButton_RPM_pickup_from_Hallsensor->isChecked());
    }

    void engine_load_ok_refuses_choices_the_firmware_cannot_do() {
        struct Case {
            QString version;
            int mainLoad;
            bool air;
            QString message;
        };
        const QList<Case> cases{
            {"3FA1AB1AA", 1, true,
             "Set main load to \"Engine-load 1 (Throttle Position Sensor)\" when air pressure sensor is used "
             "on "
             "Engine-load 2 !!!"},
            {"3FA1AB1AA", 2, false,
             "Engine load 1 (TPS) + Engine Load 2 as Boost correction table\r\r\n is only possible from "
             "version "
             "3FA1AC1AA!!!"},
            {"3FA1AC1AA", 3, false,
             "Engine load 1 (TPS) + Engine Load 2 as Boost correction factor\r\r\n is only possible from "
             "version "
             "3FA1AD1AA!!!"},
            {"3FA1AD1AA", 3, false, {}},
            {"3FA1AC1AA", 2, false, {}},
        };
        for (const Case &c : cases) {
            dialogs().clearShown();
            showWindow(c.version);
            click(w->Button_Engine_load_sensor);
            w->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(c.mainLoad);
            if (c.air)
                click(w->RadioButton_Engine_load_Air_pressure);
            click(w->Button_Ok_Engine_load_sensor);
            QCOMPARE(shown(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
            QCOMPARE(w->GroupBox_engine_load_sensor->isVisible(), !c.message.isEmpty());
            if (!c.message.isEmpty())
                click(w->Button_Cancel_Engine_load_sensor);
            click(w->Button_Cancel_Options_menu);
        }
    }

    void engine_load_open_and_cancel_follow_version_and_snapshot() {
        w->SpinEdit_min_engineload->setValue(11);
        w->SpinEdit_max_engineload2->setValue(222);
        w->AdvSpinEdit_Air_pressure_sensor_adjustment->setValue(-12.3);
        w->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(0);
        showWindow(QStringLiteral("3FA1AA1AA"));
        click(w->Button_Engine_load_sensor);
        QVERIFY(w->GroupBox_Engineload2->isVisible());
        QVERIFY(!w->RadioButton_Engine_load_Air_pressure->isVisible()); // no air pressure before 3FA1AB
        QVERIFY(!w->GroupBox_Boost_correction_factor->isVisible());
        QVERIFY(!w->ComboBox_Engine_load_sensor_type->isVisible());
        w->SpinEdit_min_engineload->setValue(99);
        w->SpinEdit_max_engineload2->setValue(100);
        w->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(1);
        click(w->Button_Cancel_Engine_load_sensor);
        QCOMPARE(w->SpinEdit_min_engineload->value(), 11);
        QCOMPARE(w->SpinEdit_max_engineload2->value(), 222);
        QCOMPARE(w->ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex(), 0);
        // The adjustment travels as a 32768-based word and comes back to its tenth.
        QCOMPARE(w->AdvSpinEdit_Air_pressure_sensor_adjustment->value(), -12.3);
        w->hide();

        showWindow(QStringLiteral("3FA1AD1AA"));
        click(w->Button_Engine_load_sensor);
        QVERIFY(w->GroupBox_Boost_correction_factor->isVisible());
        QVERIFY(!w->AdvSpinEdit_Boost_correction_factor->isEnabled()); // main load is not index 3
        click(w->Button_Cancel_Engine_load_sensor);
        w->hide();

        showWindow(QStringLiteral("2FA1AA1AA"));
        click(w->Button_Engine_load_sensor);
        QVERIFY(w->ComboBox_Engine_load_sensor_type->isVisible());
        QVERIFY(!w->GroupBox_Engineload2->isVisible());
        QVERIFY(w->RadioButton_Engine_load_MAP->isChecked());
        click(w->Button_Cancel_Engine_load_sensor);
    }

    void calibration_prompt_starts_yellow_at_its_sensor_and_ok_does_nothing_offline() {
        showWindow(QStringLiteral("3FA1AD1AA"));
        click(w->Button_Engine_load_sensor);
        QGroupBox *prompt = w->GroupBox_set_engineloadsensor_to_minmax;
        click(w->Button_automatic_cal2);
        QVERIFY(prompt->isVisible());
        QCOMPARE(prompt->y(), 170);
        QVERIFY(prompt->x() > w->GroupBox_Engineload2->x()); // over its own sensor's group
        QCOMPARE(prompt->title(), QStringLiteral("Min Value Engine load 2"));
        QCOMPARE(w->Label_regel1_set_engineloadsensor_to_minmax->text(),
                 QStringLiteral("Set Engine load 2 sensor"));
        QCOMPARE(w->Label_regel2_set_engineloadsensor_to_minmax->text(), QStringLiteral("to minimal "));
        QCOMPARE(w->calibrationPromptColor(), QColor(255, 255, 0));
        QCOMPARE(ctx().CalSensor, 2);
        click(w->Button_Ok_set_engineloadsensor_to_minmax);
        QCOMPARE(prompt->title(), QStringLiteral("Min Value Engine load 2"));
        QCOMPARE(w->calibrationPromptColor(), QColor(255, 255, 0));
        click(w->Button_cancel_set_engineloadsensor_to_minmax);
        QVERIFY(!prompt->isVisible());

        click(w->Button_automatic_cal);
        QCOMPARE(prompt->pos(), QPoint(20, 66));
        QCOMPARE(prompt->title(), QStringLiteral("Min Value Engine load 1"));
        QCOMPARE(ctx().CalSensor, 1);
        click(w->Button_Cancel_Engine_load_sensor);
        QVERIFY(!prompt->isVisible());
    }

    void aux1_ok_checks_typed_lists_and_boost_with_air_pressure_and_cancel_restores_the_mode() {
        w->SetAirPressureMode(false);
        w->SetAux1ModeCode(2);
        w->SetAux1Mode0ChannelKind(1, 1);
        w->SpinEdit_second_stage_rpm->setValue(9000);
        showWindow(QStringLiteral("3FA1AD1AA"));
        click(w->Button_Second_stage);
        QVERIFY(w->GroupBox_Second_stage->isVisible());
        QVERIFY(!w->GroupBox_AUX1_mode0->isEnabled());
        QVERIFY(w->GroupBox_AUX1_mode1->isEnabled());

        w->ComboBox_AUX1_Channel2_type->setEditText(QStringLiteral("xyz"));
        click(w->Button_Ok_Second_stage);
        QCOMPARE(shown(), QStringList{"Do not edit\r\nuse pulldown menu!!!"});
        QVERIFY(w->GroupBox_Second_stage->isVisible());
        w->ComboBox_AUX1_Channel2_type->setCurrentIndex(0);

        dialogs().clearShown();
        w->SetAirPressureMode(true);
        w->ComboBox_mode1_AUX1_Channel2_type->setCurrentIndex(3);
        click(w->Button_Ok_Second_stage);
        QCOMPARE(shown(), QStringList{"Boost pressure is not possible \r\nwhen Air pressure is used !!!"});
        QVERIFY(w->GroupBox_Second_stage->isVisible());

        click(w->RadioButton_mode0_AUX1);
        w->CheckBox_AUX1_output_inverted->setChecked(true);
        w->SetAux1Mode0ChannelKind(1, 2);
        click(w->Button_Cancel_Second_stage);
        QVERIFY(w->RadioButton_mode1_AUX1->isChecked());
        QVERIFY(!w->CheckBox_AUX1_output_inverted->isChecked());
        QCOMPARE(w->ComboBox_AUX1_Channel1_type->currentIndex(), 1);
        QCOMPARE(w->SpinEdit_second_stage_rpm->value(), 9000);
        QCOMPARE(w->Label_second_stage_2->text(), QStringLiteral("RPM"));
        QCOMPARE(w->ComboBox_mode1_AUX1_Channel2_type->currentIndex(), 0);
        w->SetAirPressureMode(false);
        click(w->Button_Cancel_Options_menu);
    }

    void second_stage_of_older_firmware_restores_its_speed() {
        w->SpinEdit_second_stage_rpm_oud->setValue(13000);
        showWindow(QStringLiteral("2FA1AA1AA"));
        click(w->Button_Second_stage);
        QVERIFY(w->GroupBox_Second_stage_oud->isVisible());
        QVERIFY(!w->GroupBox_Second_stage->isVisible());
        w->SpinEdit_second_stage_rpm_oud->setValue(4000);
        click(w->Button_Cancel_Second_stage_oud);
        QCOMPARE(w->SpinEdit_second_stage_rpm_oud->value(), 13000);
        QVERIFY(inMenu());
    }

    void window_ok_offline_clears_an_inconsistent_ntc_box_and_labels_the_grids() {
        TForm1 *main = program->mainWindow();
        showWindow(QStringLiteral("3FA1AD1AA"));
        w->CheckBox_NTC_sensor_aktief->setChecked(true); // sets 135, -20 and the unit while shown
        QCOMPARE(w->AdvSpinEdit_Max_Correction_table->value(), 135.0);
        w->Edit_Correction_table_eenheid->setText(QStringLiteral("K"));
        const auto rows = w->rpmRangeRows();
        for (int k = 0; k < 25; ++k)
            rows[k]->setValue(600 + 400 * k);
        w->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(2);
        click(w->Button_ok_Options_menu);
        QVERIFY(!w->isVisible());
        QVERIFY(!w->CheckBox_NTC_sensor_aktief->isChecked());
        QVERIFY(shown().isEmpty());
        QVERIFY(main->AdvStringGrid_fuel->isEnabled());
        QVERIFY(main->AdvStringGrid_injection_boost_correction->isEnabled());
        QCOMPARE(main->AdvStringGrid_fuel->cellText(0, 1), QStringLiteral("600"));
        QCOMPARE(main->AdvStringGrid_fuel->cellText(0, 25), QStringLiteral("10200"));
        QCOMPARE(main->AdvStringGrid_injection_boost_correction->cellText(0, 25), QStringLiteral("10200"));
        const int tab = main->xpPageControl_injection->indexOf(main->xpTabSheet_injection_boost_correction);
        QVERIFY(main->xpPageControl_injection->isTabVisible(tab));

        // A consistent NTC box stays; main load 0 hides the boost tab.
        showWindow(QStringLiteral("3FA1AD1AA"));
        w->Edit_Correction_table_eenheid->setText(QString::fromUtf8("\xC2\xB0"
                                                                    "C"));
        w->CheckBox_NTC_sensor_aktief->setChecked(true);
        w->ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(0);
        click(w->Button_ok_Options_menu);
        QVERIFY(w->CheckBox_NTC_sensor_aktief->isChecked());
        QVERIFY(!main->xpPageControl_injection->isTabVisible(tab));
        // Below "3FA" the unit comes back from the ECU or a file padded to six characters.
        showWindow(QStringLiteral("2FA1AA1AA"));
        w->Edit_Correction_table_eenheid->setText(QString::fromUtf8("\xC2\xB0"
                                                                    "C    "));
        click(w->Button_ok_Options_menu);
        QVERIFY(w->CheckBox_NTC_sensor_aktief->isChecked());

        // Older firmware has a fixed RPM scale.
        showWindow(QStringLiteral("2FA1AA1AA"));
        rows[0]->setValue(700);
        click(w->Button_ok_Options_menu);
        QCOMPARE(rows[0]->value(), 500);
        QCOMPARE(main->AdvStringGrid_fuel->cellText(0, 1), QStringLiteral("500"));
        QCOMPARE(main->AdvStringGrid_fuel->cellText(0, 25), QStringLiteral("12500"));
    }

    void enter_presses_ok_from_the_menu_but_never_from_an_open_sub_panel() {
        showWindow(QStringLiteral("3FA1AD1AA"));
        click(w->Button_remarks);
        QTest::keyClick(w->Edit_remarks_line1, Qt::Key_Return);
        QVERIFY(w->GroupBox_Remarks->isVisible());
        click(w->Button_Ok_remarks);
        w->Button_RPM_pickup->setFocus();
        QTest::keyClick(w->Button_RPM_pickup, Qt::Key_Return);
        QVERIFY(!w->isVisible());
    }

    void window_cancel_gives_back_the_grids_and_toolbar() {
        TForm1 *main = program->mainWindow();
        main->Button_optionsClick();
        QVERIFY(w->isVisible());
        QVERIFY(!main->AdvStringGrid_fuel->isEnabled());
        w->StaticText_version_info->setText(QStringLiteral("3FA1AB1AA"));
        click(w->Button_Cancel_Options_menu);
        QVERIFY(!w->isVisible());
        QVERIFY(main->AdvStringGrid_fuel->isEnabled());
        QVERIFY(!main->AdvStringGrid_injection_boost_correction->isEnabled()); // no boost map before 3FA1AC
        QVERIFY(main->SpeedButton_options->isEnabled());
    }

    void port_save_writes_one_21_byte_record_and_cancel_writes_nothing() {
        const QString path = dir.path() + QStringLiteral("/com.ini");
        QFile::remove(path);
        showWindow(QStringLiteral("3FA1AD1AA"));
        click(w->Button_set_communicationport);
        QCOMPARE(w->ComComboBox_set_communicationport->currentText(), QStringLiteral("COM1"));
        w->ComComboBox_set_communicationport->addItem(QStringLiteral("COM12"));
        w->ComComboBox_set_communicationport->setCurrentIndex(w->ComComboBox_set_communicationport->count() -
                                                              1);
        click(w->Button_Cancel_set_communicationport);
        QVERIFY(!QFile::exists(path));
        QVERIFY(inMenu());

        click(w->Button_set_communicationport);
        w->ComComboBox_set_communicationport->addItem(QStringLiteral("COM12"));
        w->ComComboBox_set_communicationport->setCurrentIndex(w->ComComboBox_set_communicationport->count() -
                                                              1);
        click(w->Button_Save_set_communicationport);
        QVERIFY(inMenu());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\x05"
                                            "COM12\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0",
                                            21));
        file.close();

        // A name longer than 20 characters is cut.
        click(w->Button_set_communicationport);
        w->ComComboBox_set_communicationport->addItem(QStringLiteral("/dev/serial/by-id/usb-ABCDEF"));
        w->ComComboBox_set_communicationport->setCurrentIndex(w->ComComboBox_set_communicationport->count() -
                                                              1);
        click(w->Button_Save_set_communicationport);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\x14/dev/serial/by-id/us"));
        file.close();
        QVERIFY(shown().isEmpty());

        // An unwritable folder is reported and the sub-panel still closes.
        const QString saved = ctx().ProgramDirectory;
        ctx().ProgramDirectory = dir.path() + QStringLiteral("/missing/");
        click(w->Button_set_communicationport);
        click(w->Button_Save_set_communicationport);
        ctx().ProgramDirectory = saved;
        QCOMPARE(shown(), QStringList{"Write Error File: com.ini"});
        QVERIFY(inMenu());
    }

    void f1_opens_the_manual_from_the_program_folder() {
        QFile language(dir.path() + QStringLiteral("/Language.ini"));
        QVERIFY(language.open(QIODevice::WriteOnly));
        language.write(QByteArray("\x01\x00\x00\x00", 4));
        language.close();
        QStringList opened;
        w->manualOpener = [&](const QString &path) {
            opened << path;
            return false;
        };
        showWindow(QStringLiteral("3FA1AD1AA"));
        QTest::keyClick(w, Qt::Key_F1);
        w->manualOpener = nullptr;
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened[0].startsWith(dir.path() + QLatin1Char('/')));
        QCOMPARE(shown().size(), 1);
        QVERIFY(shown()[0].startsWith(QStringLiteral("Can't find:  ")));
        QVERIFY(opened[0].endsWith(shown()[0].mid(13)));
    }
};

QTEST_MAIN(OptionsFrameTest)
#include "OptionsFrameTest.moc"
