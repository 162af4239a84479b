// Connecting to the simulated ECU: identification, access modes, version warnings, the lock and the
// password and access-level boxes, all through the program's real windows and link.
#include "app/LockState.h"
#include "tests/support/EcuFixture.h"
#include "tests/support/RepresentableImage.h"
#include "windows/chart/ChartWindow.h"

#include <QSignalSpy>

namespace {
const QColor Yellow(255, 255, 0);
const QColor Silver(192, 192, 192);
const QColor Red(255, 0, 0);

QColor panelColor(QWidget *w) {
    return w->palette().color(QPalette::Window);
}
} // namespace

class ConnectSequenceTest : public QObject {
    Q_OBJECT
    EcuFixture f;

    void startWith(const QString &version, int accessBits = 0) {
        EcuSimConfig config;
        config.version = version;
        config.serial = "246810";
        config.accessBits = accessBits;
        config.password = "SECRET0000";
        config.image = representableImage(version);
        QVERIFY(f.start(config));
    }

    void openPasswordBox() {
        QTest::mouseClick(f.main()->SpeedButton_options, Qt::LeftButton);
        QTRY_VERIFY(f.main()->Panel_output_test->isVisible());
        QTest::mouseClick(f.main()->Button_Change_User_Access_level, Qt::LeftButton);
        QVERIFY(f.main()->GroupBox_Change_password->isVisible());
        QCOMPARE(f.main()->Label_Password->text(), QStringLiteral("Enter Password :"));
    }

    void typePassword(const QString &text) {
        f.main()->MaskEdit_Password->clear();
        QTest::keyClicks(f.main()->MaskEdit_Password, text);
        QTest::mouseClick(f.main()->Button_Change_password_OK, Qt::LeftButton);
    }

    // Connected to a "3FA1AD1AA" ECU with these access bits, the right password typed: the settings box open.
    void openSettings(int accessBits = 0) {
        startWith(QStringLiteral("3FA1AD1AA"), accessBits);
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
        openPasswordBox();
        typePassword(QStringLiteral("SECRET"));
        QTRY_VERIFY_WITH_TIMEOUT(f.main()->GroupBox_Settings->isVisible(), 3000);
    }

private slots:
    void cleanup() { f.stop(); }

    void connectSendsTheFramesOfEachFirmwareAndAccessMode_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QByteArray>("frames");
        QTest::addColumn<bool>("reads");
        QTest::addColumn<bool>("polls");
        QTest::newRow("3FA1AD full access") << "3FA1AD1AA" << 0 << QByteArray("VSaZ") << true << true;
        QTest::newRow("3FA1AC read-only") << "3FA1AC1AA" << 4 << QByteArray("VSaZ") << true << true;
        QTest::newRow("dashboard only") << "3FA1AD1AA" << 8 << QByteArray("VSa") << false << true;
        QTest::newRow("no access") << "3FA1AD1AA" << 16 << QByteArray("VSa") << false << false;
        QTest::newRow("3FA1AB has no access step") << "3FA1AB1AA" << 0 << QByteArray("VSZ") << true << true;
        QTest::newRow("3FA1AA has no access step") << "3FA1AA1AA" << 0 << QByteArray("VSZ") << true << true;
        QTest::newRow("2FA reads the short image") << "2FA1AD1AA" << 0 << QByteArray("VSZ") << true << true;
    }
    void connectSendsTheFramesOfEachFirmwareAndAccessMode() {
        QFETCH(QString, version);
        QFETCH(int, bits);
        QFETCH(QByteArray, frames);
        QFETCH(bool, reads);
        QFETCH(bool, polls);
        startWith(version, bits);

        QTRY_VERIFY_WITH_TIMEOUT(f.ecu->requestLetters().startsWith(frames), 5000);
        if (reads) {
            QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
            // The whole image of this firmware was asked for: start 0, 1089 or 511 words.
            const QByteArray z = f.ecu->requestLog().at(frames.size() - 1).bytes;
            QCOMPARE(z.mid(1, 4), version.startsWith("3") ? QByteArray("\x00\x00\x04\x41", 4)
                                                          : QByteArray("\x00\x00\x01\xFF", 4));
            QCOMPARE(f.main()->AdvStringGrid_fuel->cellText(2, 1), QStringLiteral("9.77"));
            QCOMPARE(f.main()->Gauge_up_down_loading->maximum(), version.startsWith("3") ? 2180 : 1024);
        }
        // Nothing but live polls follow the connect frames.
        QTest::qWait(600);
        const QByteArray after = f.ecu->requestLetters().mid(frames.size());
        const char poll = version.startsWith("3") ? 'd' : 'D';
        QCOMPARE(after.count(poll), after.size());
        QCOMPARE(after.size() >= 2, polls);
        QCOMPARE(f.count('Z'), reads ? 1 : 0);
        QCOMPARE(f.main()->IsOnline(), true);
        QCOMPARE(f.ctx().form3->StaticText_version_info->text(), version);
        QCOMPARE(f.ctx().form3->StaticText_Serial_number->text(), QStringLiteral("246810"));
        QCOMPARE(f.main()->StaticText_Serial_number_copy->text(), QStringLiteral("246810"));
        QCOMPARE(f.main()->AdvStringGrid_fuel->isHidden(), bits >= 8);
        QCOMPARE(f.main()->CheckBox_ECU_readonly->isChecked(), bits == 4);
        QCOMPARE(f.main()->CheckBox_Display_dashboard_only->isChecked(), bits == 8);
        QCOMPARE(f.main()->CheckBox_No_access_to_ECU->isChecked(), bits == 16);
        if (bits == 16) {
            QVERIFY(f.main()->Panel_dashbord->isHidden());
            QVERIFY(f.main()->Panel_dashbord2->isHidden());
            QVERIFY(f.main()->SpeedButton_options->isEnabled());
            QVERIFY(!f.main()->SpeedButton_openfile->isEnabled());
        }
        QVERIFY(f.dialogs().shown().isEmpty());
    }

    void accessBitsTickTheBoxesByThreshold() {
        startWith(QStringLiteral("3FA1AD1AA"), 28);
        QTRY_VERIFY_WITH_TIMEOUT(f.main()->CheckBox_No_access_to_ECU->isChecked(), 5000);
        QVERIFY(f.main()->CheckBox_Display_dashboard_only->isChecked());
        QVERIFY(f.main()->CheckBox_ECU_readonly->isChecked());
        QTest::qWait(300);
        QCOMPARE(f.ecu->requestLetters(), QByteArray("VSa"));
    }

    void unsupportedAndForeignSystemsAreWarnedAndLeftAlone_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("warning");
        QTest::newRow("unknown fuel family")
            << "3FC1AA1AA"
            << "This Version nr : 3FC1AA1AAWith Serialnumber : 246810\r\r\nis not supported by this software "
               "\r\r\nCall your Software supplier for information !!!";
        QTest::newRow("ignition system") << "3IA1AA1AA"
                                         << "Ignition";
        QTest::newRow("engine management") << "2MA1AD1AA"
                                           << "Motormanagement";
    }
    void unsupportedAndForeignSystemsAreWarnedAndLeftAlone() {
        QFETCH(QString, version);
        QFETCH(QString, warning);
        startWith(version);
        QTRY_COMPARE_WITH_TIMEOUT(f.dialogs().shown().size(), 1, 5000);
        const DialogRequest box = f.dialogs().shown().first();
        QCOMPARE(box.kind, DialogKind::Warning);
        QVERIFY2(box.text.contains(warning), qPrintable(box.text));
        QCOMPARE(box.buttons, QList<DialogButton>{DialogButton::Ok});
        QTest::qWait(700);
        QCOMPARE(f.ecu->requestLetters(), QByteArray("VS"));
        QVERIFY(!f.main()->IsOnline());
        QVERIFY(f.main()->GroupBox_gauge_up_down_loading->isHidden());
        QCOMPARE(f.dialogs().shown().size(), 1);
    }

    void anEcuNewerThanTheProgramStopsTheConnectWithAnOkBox_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QByteArray>("frames");
        QTest::newRow("with access step") << "3FA1AD1AB" << QByteArray("VSa");
        QTest::newRow("without access step") << "3FA1AB1AB" << QByteArray("VS");
    }
    void anEcuNewerThanTheProgramStopsTheConnectWithAnOkBox() {
        QFETCH(QString, version);
        QFETCH(QByteArray, frames);
        startWith(version);
        QTRY_COMPARE_WITH_TIMEOUT(f.dialogs().shown().size(), 1, 5000);
        const DialogRequest box = f.dialogs().shown().first();
        QCOMPARE(box.kind, DialogKind::Information);
        QCOMPARE(box.text, QStringLiteral(
                               "ECU is newer then the PC software\n\rPlease download newer QVR PC software"));
        QCOMPARE(box.buttons, QList<DialogButton>{DialogButton::Ok});
        QTest::qWait(500);
        QCOMPARE(f.ecu->requestLetters(), frames);
    }

    void theLockButtonLocksAndAWriteShowsTheDataNotLockedAgain() {
        startWith(QStringLiteral("3FA1AD1AA"));
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
        TForm1 *w = f.main();
        // Nothing is known about the lock at start: not locked, everywhere.
        QCOMPARE(w->AdvStringGrid_fuel->fixedColor(), Yellow);
        QCOMPARE(w->AdvStringGrid_injection_boost_correction->fixedColor(), Yellow);
        QVERIFY(f.ctx().form4->FooterVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("QVR V3.05 Injection-Map") + QString(33, ' ') +
                                       QStringLiteral("DATA IS NOT LOCKED !!!"));
        QCOMPARE(f.ctx().form2->windowTitle(), QStringLiteral("Correction-table") + QString(46, ' ') +
                                                   QStringLiteral("DATA is NOT LOCKED !!!"));
        QCOMPARE(f.ctx().form3->windowTitle(),
                 QStringLiteral("Options") + QString(29, ' ') + QStringLiteral("DATA is NOT LOCKED !!!"));

        f.ecu->setLocked(false);
        w->SpeedButton_up_down_loadClick();
        QTest::mouseClick(w->SpeedButton_lock_unlock, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(f.ecu->isLocked(), 3000);
        QTRY_COMPARE(w->AdvStringGrid_fuel->fixedColor(), Silver);
        QCOMPARE(w->AdvStringGrid_injection_boost_correction->fixedColor(), Silver);
        QVERIFY(!f.ctx().form4->FooterVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("QVR V3.05 Injection-Map"));
        QCOMPARE(f.ctx().form2->windowTitle(), QStringLiteral("Correction-table"));
        QCOMPARE(f.ctx().form3->windowTitle(), QStringLiteral("Options"));
        QVERIFY(w->GroupBox_up_download_menu->isHidden());
        QVERIFY(w->SpeedButton_openfile->isEnabled());
        QVERIFY(w->AdvStringGrid_fuel->isEnabled());
        // Live polling follows the accepted "L".
        const int polls = f.count('d');
        QTRY_VERIFY_WITH_TIMEOUT(f.count('d') > polls, 2000);
        // Locked and online: closing asks nothing.
        QVERIFY(w->FormCloseQuery());
        QVERIFY(f.dialogs().shown().isEmpty());

        // A write shows "not locked" again; the close question sees it.
        w->SpeedButton_up_down_loadClick();
        QTest::mouseClick(w->SpeedButton_Download, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(f.writeDone(), 8000);
        QCOMPARE(w->AdvStringGrid_fuel->fixedColor(), Yellow);
        QVERIFY(f.ctx().form4->FooterVisible());
        QVERIFY(!f.ecu->isLocked());
        f.answer = [](const DialogRequest &) { return DialogButton::No; };
        QVERIFY(!w->FormCloseQuery());
        QCOMPARE(f.shownTexts().last(),
                 QStringLiteral("Data is not locked in the ECU do you still want to close the programm ?"));
    }

    void altLLocksWithTheButtonReleased() {
        startWith(QStringLiteral("3FA1AD1AA"));
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
        f.main()->SpeedButton_lock_unlock->setChecked(true);
        f.program->lockState()->LockKey();
        QVERIFY(!f.main()->SpeedButton_lock_unlock->isChecked());
        QTRY_COMPARE_WITH_TIMEOUT(f.main()->AdvStringGrid_fuel->fixedColor(), Silver, 3000);
        QVERIFY(f.lettersWithoutPolls().endsWith("L"));
    }

    void aLockThatFailsSixTimesGoesOfflineAndStaysNotLocked() {
        startWith(QStringLiteral("3FA1AD1AA"));
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
        EcuFaultPlan plan;
        plan.silentRequests = 100;
        f.ecu->setFaultPlan(plan);
        QTest::mouseClick(f.main()->SpeedButton_lock_unlock, Qt::LeftButton);
        QVERIFY(f.main()->SpeedButton_lock_unlock->isChecked());
        QTRY_VERIFY_WITH_TIMEOUT(!f.main()->IsOnline(), 5000);
        QVERIFY(!f.main()->SpeedButton_lock_unlock->isChecked());
        QCOMPARE(f.main()->AdvStringGrid_fuel->fixedColor(), Yellow);
        QCOMPARE(panelColor(f.main()->Panel_dashbord), Red);
        QVERIFY(f.dialogs().shown().isEmpty());
    }

    void aWrongPasswordIsRefusedAndTheFieldEmptied() {
        startWith(QStringLiteral("3FA1AD1AA"));
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
        openPasswordBox();
        typePassword(QStringLiteral("wrong"));
        QTRY_COMPARE_WITH_TIMEOUT(f.dialogs().shown().size(), 1, 3000);
        QCOMPARE(f.shownTexts().first(), QStringLiteral("Password is not correct !!!\r\r\nPlease try again"));
        QCOMPARE(f.dialogs().shown().first().kind, DialogKind::Warning);
        // Typed in lower case, sent in upper case, padded with "0".
        const EcuRequest p = f.ecu->requestLog().last();
        QCOMPARE(p.bytes.left(11), QByteArray("pWRONG00000"));
        QCOMPARE(p.bytes.size(), 12);
        QVERIFY(f.main()->MaskEdit_Password->text().isEmpty());
        QVERIFY(f.main()->GroupBox_Change_password->isVisible());
        QVERIFY(f.main()->GroupBox_Settings->isHidden());
    }

    void anEmptyPasswordIsNotSent() {
        startWith(QStringLiteral("3FA1AD1AA"));
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
        openPasswordBox();
        QTest::mouseClick(f.main()->Button_Change_password_OK, Qt::LeftButton);
        QCOMPARE(f.shownTexts(),
                 QStringList{QStringLiteral("Password can't be empty\r\r\nPlease try again")});
        QTest::qWait(200);
        QCOMPARE(f.count('p'), 0);
    }

    void aNewPasswordIsSentOnlyWhenTheReentryMatches() {
        openSettings();
        if (QTest::currentTestFailed())
            return;
        TForm1 *w = f.main();
        QVERIFY(w->GroupBox_Change_password->isHidden());

        QTest::mouseClick(w->Button_Change_password, Qt::LeftButton);
        QCOMPARE(w->GroupBox_Change_password->title(), QStringLiteral("Change Password"));
        QCOMPARE(w->Label_Password->text(), QStringLiteral("Enter Old Password :"));
        typePassword(QStringLiteral("SECRET"));
        QTRY_COMPARE_WITH_TIMEOUT(w->Label_Password->text(), QStringLiteral("Enter New Password :"), 3000);
        QCOMPARE(f.count('p'), 2);

        typePassword(QStringLiteral("NEWPW"));
        QCOMPARE(w->Label_Password->text(), QStringLiteral("Re-enter New Password :"));
        typePassword(QStringLiteral("NEWPX"));
        QCOMPARE(f.shownTexts(),
                 QStringList{QStringLiteral("New Password is not correct !!!\r\r\nPlease try again")});
        QCOMPARE(w->Label_Password->text(), QStringLiteral("Enter New Password :"));
        QTest::qWait(200);
        QCOMPARE(f.count('P'), 0);
        QCOMPARE(f.ecu->password(), QByteArray("SECRET0000"));

        typePassword(QStringLiteral("NEWPW"));
        typePassword(QStringLiteral("NEWPW"));
        QTRY_COMPARE_WITH_TIMEOUT(f.ecu->password(), QByteArray("NEWPW00000"), 3000);
        QTRY_VERIFY(w->GroupBox_Change_password->isHidden());
        QVERIFY(w->GroupBox_Settings->isHidden());
        QCOMPARE(f.count('P'), 1);
    }

    void dashboardOnlyIsStoredReadOnlyTooAndKeepsTheDashboardAlive() {
        openSettings();
        if (QTest::currentTestFailed())
            return;
        TForm1 *w = f.main();
        w->CheckBox_Display_dashboard_only->setChecked(true);
        QTest::mouseClick(w->Button_Send_to_ECU, Qt::LeftButton);
        QVERIFY(w->CheckBox_ECU_readonly->isChecked());
        QTRY_COMPARE_WITH_TIMEOUT(f.ecu->accessBits(), 12, 3000);
        const QByteArray a = f.ecu->requestLog().at(f.ecu->requestLetters().lastIndexOf('A')).bytes;
        QCOMPARE(a, QByteArray("A\x00\x0C\x4D", 4));
        QTRY_VERIFY(w->GroupBox_Settings->isHidden());
        QVERIFY(w->AdvStringGrid_fuel->isHidden());
        QVERIFY(w->Panel_dashbord2->isVisible());
        QVERIFY(!w->SpeedButton_openfile->isEnabled());
        QVERIFY(w->SpeedButton_options->isEnabled());
        // The dashboard keeps following the engine after the mode is stored.
        const int polls = f.count('d');
        QTRY_VERIFY_WITH_TIMEOUT(f.count('d') >= polls + 3, 3000);
    }

    void fullAccessStoredConnectsAndReadsAgain() {
        openSettings(4);
        if (QTest::currentTestFailed())
            return;
        TForm1 *w = f.main();
        w->CheckBox_ECU_readonly->setChecked(false);
        f.ecu->clearRequestLog();
        QTest::mouseClick(w->Button_Send_to_ECU, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(f.lettersWithoutPolls().startsWith("AVSaZ"), 5000);
        QCOMPARE(f.ecu->accessBits(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
    }

    void cancellingThePasswordBoxResumesTheDashboard() {
        startWith(QStringLiteral("3FA1AD1AA"));
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
        openPasswordBox();
        typePassword(QStringLiteral("WRONG"));
        QTRY_COMPARE_WITH_TIMEOUT(f.dialogs().shown().size(), 1, 3000);
        const int polls = f.count('d');
        QTest::qWait(300);
        QCOMPARE(f.count('d'), polls);
        QTest::mouseClick(f.main()->Button_Change_password_Cancel, Qt::LeftButton);
        QVERIFY(f.main()->GroupBox_Change_password->isHidden());
        QVERIFY(f.main()->SpeedButton_openfile->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(f.count('d') >= polls + 2, 2000);
    }

    void offlineTheAccessBoxOnlyShowsTheSettings() {
        startWith(QStringLiteral("3FA1AD1AA"));
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
        f.main()->Panel_dashbordClick(); // online -> offline
        QVERIFY(!f.main()->IsOnline());
        f.main()->SpeedButton_optionsClick();
        QTest::mouseClick(f.main()->Button_Change_User_Access_level, Qt::LeftButton);
        QVERIFY(f.main()->GroupBox_Settings->isVisible());
        QVERIFY(f.main()->GroupBox_Change_password->isHidden());
        QVERIFY(!f.main()->Button_Send_to_ECU->isEnabled());
        QTest::mouseClick(f.main()->Button4, Qt::LeftButton);
        QVERIFY(f.main()->GroupBox_Settings->isHidden());
        QVERIFY(f.main()->Panel_output_test->isHidden());
    }
};

QTEST_MAIN(ConnectSequenceTest)
#include "ConnectSequenceTest.moc"
