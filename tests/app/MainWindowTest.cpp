#include "tests/support/AppFixture.h"
#include "tests/support/LinkTestAccess.h"

#include "windows/chart/ChartWindow.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/widgets/ControlFactory.h"

#include "link/Link.h"
#include "link/SerialPort.h"

#include <QCloseEvent>
#include <QSignalSpy>
#include <QTimer>

namespace {
const QColor Silver(192, 192, 192);
const QColor Red(255, 0, 0);
const QColor Yellow(255, 255, 0);
const QColor Grey(128, 128, 128);
const QColor Black(0, 0, 0);

QColor background(const QWidget *w) {
    return w->palette().color(QPalette::Window);
}

// A line that only counts how often it is closed.
class CountingPort : public SerialPort {
public:
    bool opened = false;
    int closes = 0;
    bool open(const QString &) override { return opened = true; }
    void close() override {
        ++closes;
        opened = false;
    }
    bool isOpen() const override { return opened; }
    bool write(const QByteArray &) override { return true; }
    bool read(QByteArray &) override { return true; }
    void purge() override {}
    QStringList availablePorts() const override { return {}; }
};
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
    AppFixture app;

    template <typename T> T *control(const char *name) {
        T *found = app.main()->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("control %s not found", name);
        return found;
    }
    QList<QToolButton *> toolbar() {
        return {control<QToolButton>("SpeedButton_openfile"), control<QToolButton>("SpeedButton_savefile"),
                control<QToolButton>("SpeedButton_options"),
                control<QToolButton>("SpeedButton_correctiontable"),
                control<QToolButton>("SpeedButton_up_down_load")};
    }
    void clickDashboard() {
        QLabel *hint = control<QLabel>("Label_press_F10_2");
        QLabel *target = hint->isVisible() ? hint : control<QLabel>("Panel_dashbord2");
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    }

private slots:
    void init() { app.start(); }
    void cleanup() { app.stop(); }

    void startsOfflineWithZeroedMapsAndADisabledToolbar() {
        TForm1 *w = app.main();
        QCOMPARE(w->windowTitle(), QStringLiteral("QVR Injection-Map"));
        QCOMPARE(w->maximumSize(), QSize(795, 666));
        QCOMPARE(w->pos(), QPoint(0, 0));

        auto *fuel = control<DataGrid>("AdvStringGrid_fuel");
        auto *boost = control<DataGrid>("AdvStringGrid_injection_boost_correction");
        for (int row = 1; row <= 25; ++row)
            for (int column = 1; column <= 16; ++column) {
                QCOMPARE(fuel->cellText(column, row), QStringLiteral("0.00"));
                QCOMPARE(boost->cellText(column, row), QStringLiteral("0.0"));
            }
        QVERIFY(!fuel->isEnabled());
        QVERIFY(!boost->isEnabled());
        for (int column = 0; column < 32; ++column)
            QCOMPARE(app.ctx().form2->AdvStringGrid_Watertemp->cellValue(column, 1), 0.0);

        // The design-time version is "3FA...": the large dashboard is the visible one.
        auto *small = control<QLabel>("Panel_dashbord");
        auto *large = control<QLabel>("Panel_dashbord2");
        QVERIFY(small->isHidden());
        QVERIFY(large->isVisible());
        QCOMPARE(large->text(), QStringLiteral("communication is offline"));
        QCOMPARE(small->text(), QStringLiteral("communication is offline"));
        QCOMPARE(background(small), Red);
        QVERIFY(!w->IsOnline());
        QVERIFY(control<QLabel>("Label_press_F10_2")->isVisible());
        QCOMPARE(control<QLabel>("Label_press_F10_2")->text(), QStringLiteral("Press F10 for online"));
        QVERIFY(control<QLabel>("Panel_Enginespeed3")->isHidden());

        for (QToolButton *button : toolbar())
            QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
        QVERIFY(!control<QLabel>("Label_Enginespeed_waarde3")->isEnabled());
        QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("Comm errors:"));
        QCOMPARE(control<QToolButton>("SpeedButton_up_down_load")->toolTip(),
                 QStringLiteral("Up / down load"));
        QCOMPARE(control<QPushButton>("Button2")->text(), QStringLiteral("Help  F1"));

        auto *progress = control<QGroupBox>("GroupBox_gauge_up_down_loading");
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->title(), QStringLiteral("Up_loading"));
        QVERIFY(control<QGroupBox>("GroupBox_Edit_menu")->isHidden());
        QVERIFY(control<QGroupBox>("GroupBox_up_download_menu")->isHidden());

        // Main load item 0: no boost tab.
        auto *pages = control<QTabWidget>("xpPageControl_injection");
        QVERIFY(!pages->isTabVisible(1));
        QCOMPARE(pages->tabText(0), QStringLiteral("Injection (ms)"));
        QCOMPARE(pages->tabText(1), QStringLiteral("Boost correction (%)"));
    }

    void onlineAndOfflineSwitchTheDashboard() {
        TForm1 *w = app.main();
        w->SetOnline(true);
        QVERIFY(w->IsOnline());
        QCOMPARE(background(control<QLabel>("Panel_dashbord")), Silver);
        QCOMPARE(control<QLabel>("Panel_dashbord2")->text(), QString());
        QVERIFY(control<QLabel>("Panel_Enginespeed3")->isVisible());
        QVERIFY(control<QLabel>("Panel_Fuel_pump_led2")->isVisible());
        QVERIFY(control<QLabel>("Label_press_F10_2")->isHidden());
        QVERIFY(control<QToolButton>("SpeedButton_up_down_load")->isVisible());
        QVERIFY(control<QLabel>("Panel_spare1")->isHidden());

        w->EnableValueLabels(true);
        control<QLabel>("Label_Enginespeed_waarde3")->setText(QStringLiteral("6000"));
        control<QLabel>("Label_injectiontime_waarde")->setText(QStringLiteral("2.71"));
        app.ctx().LiveRow = 12;
        w->EnableMapGrids(true);
        control<QGroupBox>("GroupBox_gauge_up_down_loading")->show();

        w->SetOnline(false);
        QVERIFY(!w->IsOnline());
        QCOMPARE(background(control<QLabel>("Panel_dashbord")), Red);
        QCOMPARE(control<QLabel>("Panel_dashbord2")->text(), QStringLiteral("communication is offline"));
        QCOMPARE(control<QLabel>("Label_Enginespeed_waarde3")->text(), QStringLiteral("0"));
        QCOMPARE(control<QLabel>("Label_injectiontime_waarde")->text(), QStringLiteral("0,0"));
        QVERIFY(!control<QLabel>("Label_Enginespeed_waarde3")->isEnabled());
        QCOMPARE(app.ctx().LiveRow, 0);
        QVERIFY(control<QGroupBox>("GroupBox_gauge_up_down_loading")->isHidden());
        QVERIFY(!w->AdvStringGrid_fuel->isEnabled());
        QVERIFY(control<QToolButton>("SpeedButton_up_down_load")->isHidden());
    }

    void olderFirmwareShowsTheSmallDashboard() {
        app.ctx().form3->StaticText_version_info->setText(QStringLiteral("2FA1AA1AA"));
        app.main()->SetOnline(true);
        QVERIFY(control<QLabel>("Panel_dashbord")->isVisible());
        QVERIFY(control<QLabel>("Panel_dashbord2")->isHidden());
        QVERIFY(control<QLabel>("Panel_Enginespeed")->isVisible());
        app.ctx().form3->StaticText_version_info->setText(QStringLiteral("3FA1AA1AA"));
        app.main()->SetOnline(false);
        QVERIFY(control<QLabel>("Panel_dashbord")->isHidden());
        QVERIFY(control<QLabel>("Panel_dashbord2")->isVisible());
    }

    void idleTextsAndLampColours() {
        TForm1 *w = app.main();
        const QStringList whole = {"Label_Enginespeed_waarde", "Label_correction_waarde",
                                   "Label_potmeter_waarde", "Label_Enginespeed_waarde3",
                                   "Label_boostpressure_waarde2"};
        const QStringList decimal = {
            "Label_injectiontime_waarde",   "Label_engineload_waarde",   "Label_correctionstep_waarde",
            "Label_inlettemp_waarde",       "Label_battery_waarde",      "Label_injectiontime_waarde2",
            "Label_engineload_waarde2",     "Label_engineload2_waarde2", "Label_correction_waarde_fuel2",
            "Label_correctionstep_waarde2", "Label_inlettemp_waarde2",   "Label_Battery_Voltage_waarde2"};
        for (const QString &name : whole + decimal)
            w->findChild<QLabel *>(name)->setText(QStringLiteral("x"));
        w->ResetValueLabels();
        for (const QString &name : whole)
            QCOMPARE(w->findChild<QLabel *>(name)->text(), QStringLiteral("0"));
        for (const QString &name : decimal)
            QCOMPARE(w->findChild<QLabel *>(name)->text(), QStringLiteral("0,0"));

        w->EnableValueLabels(true);
        for (const QString &name : whole + decimal)
            QVERIFY2(w->findChild<QLabel *>(name)->isEnabled(), qPrintable(name));
        for (const char *lamp : {"Panel_Second_stage_led", "Panel_Second_stage_led2", "Panel_Fuel_pump_led2"})
            QCOMPARE(background(control<QLabel>(lamp)), Black);
        w->EnableValueLabels(false);
        for (const QString &name : whole + decimal)
            QVERIFY2(!w->findChild<QLabel *>(name)->isEnabled(), qPrintable(name));
        for (const char *lamp : {"Panel_Second_stage_led", "Panel_Second_stage_led2", "Panel_Fuel_pump_led2"})
            QCOMPARE(background(control<QLabel>(lamp)), Grey);
    }

    void mainControlsSwitchTheFiveToolbarButtonsTogether() {
        app.main()->EnableMainControls(true);
        for (QToolButton *button : toolbar())
            QVERIFY(button->isEnabled());
        QVERIFY(control<QPushButton>("Button2")->isEnabled());
        app.main()->EnableMainControls(false);
        for (QToolButton *button : toolbar())
            QVERIFY(!button->isEnabled());
        QVERIFY(control<QPushButton>("Button2")->isEnabled());
    }

    void dashboardClickWhileOfflineOffersTheTransferMenu() {
        TForm1 *w = app.main();
        app.ctx().form4->show();
        clickDashboard();
        QVERIFY(w->IsOnline());
        QVERIFY(app.ctx().form4->isHidden());
        auto *menu = control<QGroupBox>("GroupBox_up_download_menu");
        QVERIFY(menu->isVisible());
        QVERIFY(control<QPushButton>("Button_stay_offline")->isVisible());
        QVERIFY(control<QPushButton>("Button_cancel_Up_download_menu")->isHidden());
        QVERIFY(control<QLabel>("Label_program_is_text")->isHidden());
        QVERIFY(control<QToolButton>("SpeedButton_lock_unlock")->isHidden());
        QVERIFY(!control<QLabel>("Label_Enginespeed_waarde3")->isEnabled());
        for (QToolButton *button : toolbar())
            QVERIFY(!button->isEnabled());
        QVERIFY(!w->AdvStringGrid_fuel->isEnabled());

        // A second click while the menu is up changes nothing.
        clickDashboard();
        QVERIFY(w->IsOnline());
        QVERIFY(menu->isVisible());

        QTest::mouseClick(control<QPushButton>("Button_stay_offline"), Qt::LeftButton);
        QVERIFY(menu->isHidden());
        QVERIFY(!w->IsOnline());
        for (QToolButton *button : toolbar())
            QVERIFY(button->isEnabled());
        QVERIFY(w->AdvStringGrid_fuel->isEnabled());
        // "3FA1AD" is new enough for the boost map.
        QVERIFY(w->AdvStringGrid_injection_boost_correction->isEnabled());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w->AdvStringGrid_fuel));
    }

    void stayOfflineKeepsTheBoostGridDisabledOnOlderFirmware() {
        app.ctx().form3->StaticText_version_info->setText(QStringLiteral("3FA1AB1AA"));
        clickDashboard();
        QTest::mouseClick(control<QPushButton>("Button_stay_offline"), Qt::LeftButton);
        QVERIFY(app.main()->AdvStringGrid_fuel->isEnabled());
        QVERIFY(!app.main()->AdvStringGrid_injection_boost_correction->isEnabled());
    }

    void dashboardClickWhileOnlineGoesOffline() {
        app.main()->SetOnline(true);
        clickDashboard();
        QVERIFY(!app.main()->IsOnline());
        QVERIFY(control<QGroupBox>("GroupBox_up_download_menu")->isHidden());
    }

    void dashboardClickIsIgnoredWhileTheOptionsWindowShows() {
        app.ctx().form3->show();
        app.main()->Panel_dashbordClick();
        QVERIFY(!app.main()->IsOnline());
        QVERIFY(control<QGroupBox>("GroupBox_up_download_menu")->isHidden());
        app.ctx().form3->hide();
    }

    void upDownLoadButtonOpensTheMenuWithCancelAndLock() {
        TForm1 *w = app.main();
        w->EnableMainControls(true);
        w->SetOnline(true);
        w->EnableMapGrids(true);
        app.ctx().form2->show();
        QTest::mouseClick(control<QToolButton>("SpeedButton_up_down_load"), Qt::LeftButton);
        QVERIFY(app.ctx().form2->isHidden());
        QVERIFY(control<QGroupBox>("GroupBox_up_download_menu")->isVisible());
        QVERIFY(control<QPushButton>("Button_cancel_Up_download_menu")->isVisible());
        QVERIFY(control<QPushButton>("Button_stay_offline")->isHidden());
        QVERIFY(control<QLabel>("Label_program_is_text")->isVisible());
        QCOMPARE(control<QLabel>("Label_program_is_text")->text(), QStringLiteral("Lock Program in System:"));
        QVERIFY(control<QToolButton>("SpeedButton_lock_unlock")->isVisible());
        QVERIFY(!w->AdvStringGrid_fuel->isEnabled());
        QVERIFY(!control<QToolButton>("SpeedButton_options")->isEnabled());

        QTest::mouseClick(control<QPushButton>("Button_cancel_Up_download_menu"), Qt::LeftButton);
        QVERIFY(control<QGroupBox>("GroupBox_up_download_menu")->isHidden());
        QVERIFY(control<QToolButton>("SpeedButton_options")->isEnabled());
        QVERIFY(w->AdvStringGrid_fuel->isEnabled());
        QVERIFY(w->IsOnline());
    }

    void closingOnlineWithUnlockedDataAsksFirst() {
        TForm1 *w = app.main();
        w->SetOnline(true);
        w->AdvStringGrid_fuel->setFixedColor(Yellow);
        app.dialogs().clearShown();

        app.answer = DialogButton::No;
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(app.dialogs().shown().size(), 1);
        const DialogRequest asked = app.dialogs().shown().first();
        QCOMPARE(asked.text,
                 QStringLiteral("Data is not locked in the ECU do you still want to close the programm ?"));
        QCOMPARE(asked.kind, DialogKind::Warning);
        QCOMPARE(asked.buttons, (QList<DialogButton>{DialogButton::Yes, DialogButton::No}));

        app.answer = DialogButton::Yes;
        QVERIFY(w->close());
        QVERIFY(!w->isVisible());
        QCOMPARE(app.dialogs().shown().size(), 2);
    }

    void closingOfflineOrLockedNeverAsks() {
        TForm1 *w = app.main();
        w->AdvStringGrid_fuel->setFixedColor(Yellow);
        app.dialogs().clearShown();
        app.answer = DialogButton::No;
        QVERIFY(w->FormCloseQuery());

        w->SetOnline(true);
        w->AdvStringGrid_fuel->setFixedColor(Silver);
        QVERIFY(w->FormCloseQuery());
        QVERIFY(app.dialogs().shown().isEmpty());
    }

    void goingOfflineClosesAnOpenPortOnceAndClosingStopsTheTimers() {
        CountingPort port;
        Link link(&port, &app.dialogs());
        app.ctx().link = &link;
        port.opened = true;
        app.main()->SetOnline(true);
        app.main()->SetOnline(false);
        QCOMPARE(port.closes, 1);
        app.main()->SetOnline(false);
        QCOMPARE(port.closes, 1);

        LinkTimer(link, 3)->start();
        LinkTimer(link, 4)->start();
        QVERIFY(app.main()->FormCloseQuery());
        QVERIFY(!LinkTimer(link, 3)->isActive());
        QVERIFY(!LinkTimer(link, 4)->isActive());
        app.ctx().link = nullptr;
    }

    void clearMessageHidesEveryFaultLine() {
        TForm1 *w = app.main();
        w->Panel_Warning_message->show();
        for (int n = 1; n <= 16; ++n)
            w->WarningLabel(n)->show();
        QCOMPARE(control<QLabel>("Label_warning_massage8")->text(), QStringLiteral("Over voltage"));
        QCOMPARE(control<QLabel>("Label_warning_massage16")->text(), QStringLiteral("16..............."));
        QVERIFY(w->WarningLabel(0) == nullptr);
        QVERIFY(w->WarningLabel(17) == nullptr);
        QTest::mouseClick(control<QPushButton>("Button_clear_message"), Qt::LeftButton);
        for (int n = 1; n <= 16; ++n)
            QVERIFY(w->WarningLabel(n)->isHidden());
        QVERIFY(w->Panel_Warning_message->isHidden());
    }

    void informationPanelFollowsVersionAndAccessLevel() {
        TForm1 *w = app.main();
        app.ctx().form3->StaticText_Serial_number->setText(QStringLiteral("123456"));
        w->EnableMapGrids(true);
        w->SpeedButton_optionsClick();
        QVERIFY(w->Panel_output_test->isVisible());
        QCOMPARE(w->StaticText_version_info_copy->text(), QStringLiteral("3FA1AD1AA"));
        QCOMPARE(w->StaticText_Serial_number_copy->text(), QStringLiteral("123456"));
        QVERIFY(w->Button_Change_User_Access_level->isVisible());
        QVERIFY(w->Button_options->isVisible());
        QVERIFY(!w->AdvStringGrid_fuel->isEnabled());

        QTest::mouseClick(w->Button_close, Qt::LeftButton);
        QVERIFY(w->Panel_output_test->isHidden());
        QVERIFY(w->AdvStringGrid_fuel->isEnabled());

        w->CheckBox_Display_dashboard_only->setChecked(true);
        w->SpeedButton_optionsClick();
        QVERIFY(w->Button_options->isHidden());

        app.ctx().form3->StaticText_version_info->setText(QStringLiteral("3FA1AB1AA"));
        w->SpeedButton_optionsClick();
        QVERIFY(w->Button_Change_User_Access_level->isHidden());
        QVERIFY(w->Button_options->isVisible());

        QTest::mouseClick(w->Button_options, Qt::LeftButton);
        QVERIFY(w->Panel_output_test->isHidden());
        QVERIFY(app.ctx().form3->isVisible());
        QVERIFY(!control<QToolButton>("SpeedButton_options")->isEnabled());
        app.ctx().form3->hide();
    }

    void passwordFieldTakesTenUpperCaseCharacters() {
        TForm1 *w = app.main();
        w->GroupBox_Change_password->show();
        w->MaskEdit_Password->setFocus();
        QTest::keyClicks(w->MaskEdit_Password, QStringLiteral("secret12345xyz"));
        QCOMPARE(w->MaskEdit_Password->text(), QStringLiteral("SECRET1234"));
        QCOMPARE(w->MaskEdit_Password->echoMode(), QLineEdit::Password);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
