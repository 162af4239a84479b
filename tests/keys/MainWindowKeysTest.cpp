#include "tests/support/AppFixture.h"

#include "app/CalibrationFiles.h"
#include "windows/chart/ChartWindow.h"
#include "windows/correction/CorrectionWindow.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

class MainWindowKeysTest : public QObject {
    Q_OBJECT
    AppFixture app;

    QToolButton *button(const char *name) {
        return app.main()->findChild<QToolButton *>(QLatin1String(name));
    }
    void enableToolbar(bool on) { app.main()->EnableMainControls(on); }
    void press(QWidget *target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }

private slots:
    void init() { app.start(); }
    void cleanup() {
        app.ctx().form2->hide();
        app.ctx().form3->hide();
        app.ctx().form4->hide();
        app.stop();
    }

    void functionKeysFollowTheirToolbarButtons() {
        enableToolbar(false);
        press(app.main()->AdvStringGrid_fuel, Qt::Key_F5);
        QVERIFY(!app.ctx().form2->isVisible());
        press(app.main()->AdvStringGrid_fuel, Qt::Key_F4);
        QVERIFY(!app.ctx().form3->isVisible());
        press(app.main()->AdvStringGrid_fuel, Qt::Key_F7);
        QVERIFY(!app.main()->GroupBox_up_download_menu->isVisible());

        enableToolbar(true);
        press(app.main()->AdvStringGrid_fuel, Qt::Key_F5);
        QVERIFY(app.ctx().form2->isVisible());
        app.ctx().form2->hide();

        press(app.main()->AdvStringGrid_fuel, Qt::Key_F7);
        QVERIFY(app.main()->GroupBox_up_download_menu->isVisible());
        QVERIFY(app.main()->Button_cancel_Up_download_menu->isVisible());
        QVERIFY(!app.main()->Button_stay_offline->isVisible());
        QVERIFY(!button("SpeedButton_options")->isEnabled());
        // The table sees Alt+C before the visible "&Cancel" takes it as its mnemonic: both act.
        press(app.main()->focusWidget() ? app.main()->focusWidget() : app.main(), Qt::Key_C, Qt::AltModifier);
        QCOMPARE(app.ctx().form4->ChartMode, ChartView::LoadColumn);
        QTRY_VERIFY(!app.main()->GroupBox_up_download_menu->isVisible());
    }

    void f4OpensTheOptionsButAltF4IsLeftToTheWindowSystem() {
        enableToolbar(true);
        press(app.main()->AdvStringGrid_fuel, Qt::Key_F4, Qt::AltModifier);
        QVERIFY(!app.ctx().form3->isVisible());
        press(app.main()->AdvStringGrid_fuel, Qt::Key_F4);
        QVERIFY(app.ctx().form3->isVisible());
        QVERIFY(!app.main()->AdvStringGrid_fuel->isEnabled());
    }

    void spaceClearsTheWarningsAndSwitchesLiveTrackingOn() {
        app.main()->Panel_Warning_message->show();
        app.main()->findChild<QLabel *>(QStringLiteral("Label_warning_massage8"))->show();
        app.ctx().LiveTracking = false;
        press(app.main(), Qt::Key_Space);
        QVERIFY(!app.main()->Panel_Warning_message->isVisible());
        QVERIFY(!app.main()->findChild<QLabel *>(QStringLiteral("Label_warning_massage8"))->isVisible());
        QVERIFY(app.ctx().LiveTracking);
    }

    void altLettersChartAndPlainLettersDoNothing() {
        press(app.main(), Qt::Key_R);
        press(app.main(), Qt::Key_C);
        press(app.main(), Qt::Key_W);
        QVERIFY(!app.ctx().form4->isVisible());

        press(app.main(), Qt::Key_R, Qt::AltModifier);
        QVERIFY(app.ctx().form4->isVisible());
        QCOMPARE(app.ctx().form4->ChartMode, ChartView::SpeedRow);

        app.main()->ActiveMapGrid = BoostMapGrid;
        press(app.main(), Qt::Key_C, Qt::AltModifier);
        QCOMPARE(app.ctx().form4->ChartMode, ChartView::LoadColumn);
        QCOMPARE(app.main()->ActiveMapGrid, int(FuelMapGrid));

        press(app.main(), Qt::Key_W, Qt::AltModifier);
        QCOMPARE(app.ctx().form4->ChartMode, ChartView::CorrectionTable);
    }

    void aKeyIsActedOnOnceAndStillReachesTheFocusedControl() {
        enableToolbar(true);
        DataGrid *grid = app.main()->AdvStringGrid_fuel;
        grid->setEnabled(true);
        grid->selectCell(3, 3);
        // F7 from a grid runs once: the menu opens and the toolbar is off, so a second run would do nothing
        // visible; the arrow key that follows still moves the grid's own selection.
        press(grid, Qt::Key_F7);
        QVERIFY(app.main()->GroupBox_up_download_menu->isVisible());
        grid->setEnabled(true);
        press(grid, Qt::Key_Right);
        QCOMPARE(grid->currentColumn(), 4);
    }

    // A modal dialog runs its own event loop, in which the key is let go; afterwards the same press goes
    // on to the parents of the focused control and must not run the command a second time.
    void aKeyWhoseCommandRunsAModalDialogActsOnce() {
        enableToolbar(true);
        int asked = 0;
        auto modal = [&] {
            ++asked;
            QDialog dialog(app.main());
            QTimer::singleShot(0, &dialog, [&] {
                QTest::keyRelease(&dialog, Qt::Key_F3);
                dialog.accept();
            });
            dialog.exec();
        };
        app.program->calibrationFiles()->setFileDialog([&](const FileDialogRequest &request) {
            modal();
            return request.mode == FileDialogRequest::Mode::Save ? QDir::tempPath() + "/keys-once.f03"
                                                                 : QString();
        });
        app.main()->onOpenManual = modal; // as the "Can't find: ..." box would
        app.main()->AdvStringGrid_fuel->setEnabled(true);
        app.main()->ShowEditMenu(FuelMapGrid);
        for (QWidget *focus :
             QList<QWidget *>{app.main()->AdvStringGrid_fuel, app.main()->AdvSpinEdit_percentvalue})
            for (int key : {Qt::Key_F3, Qt::Key_F2, Qt::Key_F1}) {
                focus->setFocus();
                const int before = asked;
                press(app.main()->focusWidget(), key);
                QCOMPARE(asked, before + 1);
            }
    }
};

QTEST_MAIN(MainWindowKeysTest)
#include "MainWindowKeysTest.moc"
