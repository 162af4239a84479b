// The line has one owner: whatever the user does or the line suffers while a conversation runs, the
// conversation either finishes as if nothing happened or ends through the one way offline. Each row puts
// the whole program in the middle of one activity against the simulated ECU and fires one event.
#include "app/CalibrationFiles.h"
#include "app/DataSetCodec.h"
#include "core/Encoding.h"
#include "core/ImageLayout.h"
#include "link/TransferPlan.h"
#include "tests/support/EcuFixture.h"
#include "tests/support/LinkTestAccess.h"
#include "windows/chart/ChartWindow.h"

#include <QApplication>

namespace {
enum class Activity { Polling, Upload, Download, EditJob, Lock, Trim };
enum class Event { LineLost, AltL, ChartBar, EditOk, F2, F4, F10, CloseNo };

// What the event is allowed to do next to the running activity.
enum class Outcome {
    Refused, // nothing of the event happens; the activity finishes as if untouched
    Waits,   // the event's conversation runs after the activity (a trim) has finished
    Acts,    // the line was idle: the event does what it always does
    Offline, // the one way offline: the activity ends where it was, the port is closed
    Restarts // "&Ok" of the menu whose job runs: the job starts again from the first cell
};
} // namespace
Q_DECLARE_METATYPE(Activity)
Q_DECLARE_METATYPE(Event)
Q_DECLARE_METATYPE(Outcome)

class LineOwnershipTest : public QObject {
    Q_OBJECT
    EcuFixture f;
    int fileDialogs = 0;
    int lettersBefore = 0;
    int barWord = -1; // image word of the chart's selected bar when the event fired

    QWidget *focus() { return QApplication::focusWidget() ? QApplication::focusWidget() : f.main(); }
    QByteArray lettersSince(int count) const { return f.ecu->requestLetters().mid(count); }
    QByteArray lettersSinceWithoutPolls(int count) const {
        QByteArray letters = lettersSince(count);
        letters.replace("d", "");
        return letters;
    }

    void startProgram() {
        EcuSimConfig config;
        config.image.fill(0, 1089);
        for (int i = 0; i < 400; ++i)
            config.image[i] = std::uint16_t(100 + i); // 1.00 .. 4.99 ms
        for (int row = 0; row < 25; ++row)
            config.image[512 + row] = std::uint16_t(50 * (row + 1)); // 500 .. 12500 RPM
        QVERIFY(f.start(config));
        EngineSample engine; // still: no trim unless a row asks for one
        engine.rpm = 1000;
        engine.load1Column10 = 20;
        f.ecu->freezeEngine(engine);
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
        f.program->calibrationFiles()->setFileDialog([this](const FileDialogRequest &) {
            ++fileDialogs;
            return QString();
        });
        fileDialogs = 0;
        // The chart shows the live speed row of the injection map, ready for a bar push.
        QTest::keyClick(f.main()->AdvStringGrid_fuel, Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(f.ctx().form4->isVisible());
        // The edit menu is open over the first two columns of the map, "Set to value" 2.00.
        TForm1 *w = f.main();
        selectColumns();
        w->RadioButton_setvalue->setChecked(true);
        w->AdvSpinEdit_setvalue->setValue(2.00);
        w->ShowEditMenu(FuelMapGrid);
        f.main()->activateWindow();
        QTRY_VERIFY(f.link()->polling());
    }

    // What a click on a data cell does: the selection stays where the user put it.
    void selectColumns() {
        f.main()->AdvStringGrid_fuel->selectRange({1, 1, 2, 25});
        f.ctx().LiveTracking = false;
    }

    // Puts the program in the middle of `activity`.
    void enter(Activity activity) {
        TForm1 *w = f.main();
        const int mark = int(f.ecu->requestLetters().size());
        switch (activity) {
        case Activity::Polling:
            QTRY_VERIFY(lettersSince(mark).count('d') >= 2);
            break;
        case Activity::Upload:
            f.ecu->setPaced(true); // the image takes 2.3 s to arrive
            QTest::keyClick(w->AdvStringGrid_fuel, Qt::Key_S, Qt::AltModifier);
            QTRY_VERIFY_WITH_TIMEOUT(lettersSince(mark).contains('Z'), 3000);
            QTest::qWait(300);
            break;
        case Activity::Download:
            f.ecu->setPaced(true);
            QTest::keyClick(w->AdvStringGrid_fuel, Qt::Key_P, Qt::AltModifier);
            QTRY_VERIFY_WITH_TIMEOUT(lettersSince(mark).count('E') >= 10, 5000);
            break;
        case Activity::EditJob:
            QTest::mouseClick(w->Button_ok_editmenu, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(lettersSince(mark).count('C') >= 3, 3000);
            break;
        case Activity::Lock: {
            EcuFaultPlan slowLock;
            slowLock.onlyLetter = 'L';
            slowLock.delayReplies = 1;
            slowLock.delayMs = 250; // inside the reply time-out: no retries of its own
            f.ecu->setFaultPlan(slowLock);
            QTest::keyClick(w->AdvStringGrid_fuel, Qt::Key_L, Qt::AltModifier);
            QTRY_VERIFY_WITH_TIMEOUT(lettersSince(mark).contains('L'), 3000);
            break;
        }
        case Activity::Trim: {
            EcuFaultPlan slowTrim;
            slowTrim.onlyLetter = 'C';
            slowTrim.delayReplies = 1;
            slowTrim.delayMs = 250;
            f.ecu->setFaultPlan(slowTrim);
            EngineSample asking;
            asking.rpm = 1000;
            asking.load1Column10 = 20;
            asking.status = 0x8000;
            f.ecu->freezeEngine(asking);
            QTRY_VERIFY_WITH_TIMEOUT(lettersSince(mark).contains('C'), 3000);
            EngineSample quiet = asking;
            quiet.status = 0;
            f.ecu->freezeEngine(quiet);
            break;
        }
        }
        QVERIFY2(activity == Activity::Polling || f.link()->busy(), "the activity is on the line");
        lettersBefore = int(f.ecu->requestLetters().size());
    }

    void fire(Event event) {
        TForm1 *w = f.main();
        switch (event) {
        case Event::LineLost:
            f.ecu->closeLine();
            break;
        case Event::AltL:
            QTest::keyClick(w->AdvStringGrid_fuel, Qt::Key_L, Qt::AltModifier);
            break;
        case Event::ChartBar:
            barWord = MapCellAddress(0, f.ctx().form4->ChartBar + 1, f.ctx().form4->ChartLine);
            QTest::keyPress(f.ctx().form4, Qt::Key_Up, Qt::ControlModifier);
            QTest::keyRelease(f.ctx().form4, Qt::Key_Up, Qt::ControlModifier);
            break;
        case Event::EditOk:
            // A trim request closes the menu and moves the selection; the user makes them again.
            selectColumns();
            if (w->GroupBox_Edit_menu->isHidden())
                w->ShowEditMenu(FuelMapGrid);
            w->AdvSpinEdit_setvalue->setValue(3.00);
            QTest::mouseClick(w->Button_ok_editmenu, Qt::LeftButton);
            break;
        case Event::F2:
            QTest::keyClick(w->AdvStringGrid_fuel, Qt::Key_F2);
            break;
        case Event::F4:
            QTest::keyClick(w->AdvStringGrid_fuel, Qt::Key_F4);
            break;
        case Event::F10:
            QTest::keyClick(w->AdvStringGrid_fuel, Qt::Key_F10);
            break;
        case Event::CloseNo:
            f.answer = [](const DialogRequest &r) {
                return r.text.startsWith("Data is not locked") ? DialogButton::No : r.buttons.first();
            };
            QVERIFY(!w->close());
            f.answer = nullptr;
            break;
        }
    }

    // The activity's own work once it is left alone.
    void expectActivityFinished(Activity activity) {
        // Left alone, the rest of the activity runs at full speed: what is checked here is its outcome.
        f.ecu->setPaced(false);
        LinkTimer(f.link(), 3)->setInterval(QuickStepMs);
        switch (activity) {
        case Activity::Polling:
            break;
        case Activity::Upload:
            QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 5000);
            break;
        case Activity::Download:
            QTRY_VERIFY_WITH_TIMEOUT(f.writeDone(), 8000);
            expectEcuHoldsTheControls();
            break;
        case Activity::EditJob:
            QTRY_COMPARE_WITH_TIMEOUT(f.steps()->TransferStep, 0, 10000);
            QTRY_COMPARE_WITH_TIMEOUT(f.ecu->image().value(385), std::uint16_t(200), 3000);
            break;
        case Activity::Lock:
            QTRY_VERIFY_WITH_TIMEOUT(f.ecu->isLocked(), 3000);
            QTRY_VERIFY(!f.main()->DataNotLocked());
            break;
        case Activity::Trim:
            QTRY_VERIFY_WITH_TIMEOUT(!f.link()->busy() || f.link()->activity() != LineActivity::Trim, 3000);
            break;
        }
        QTRY_VERIFY_WITH_TIMEOUT(f.link()->polling(), 3000);
        QVERIFY(f.main()->IsOnline());
    }

    void expectEcuHoldsTheControls() {
        const QString version = f.version();
        const QVector<std::uint16_t> ecu = f.ecu->image();
        for (const WritePlanStep &step : CalibrationWritePlan(version))
            for (const WriteBlock &block : step.blocks)
                QCOMPARE(ecu.mid(block.address, block.words),
                         EncodeWords(f.ctx(), block.address, block.words));
    }

    // What the event did (or did not) put on the line, given the outcome.
    void expectEvent(Event event, Outcome outcome) {
        const bool happens = outcome == Outcome::Acts || outcome == Outcome::Waits;
        const QByteArray after = lettersSinceWithoutPolls(lettersBefore);
        switch (event) {
        case Event::AltL:
            if (happens)
                QTRY_VERIFY_WITH_TIMEOUT(lettersSinceWithoutPolls(lettersBefore).contains('L'), 3000);
            else
                QVERIFY2(!after.contains('L'), after.constData());
            break;
        case Event::ChartBar:
            if (happens) {
                // The bar's cell went out on its own, once.
                QTRY_VERIFY_WITH_TIMEOUT(!barChanges().isEmpty(), 3000);
                QCOMPARE(barChanges().size(), 1);
            } else {
                QVERIFY(barChanges().isEmpty());
                // The bar shows what its cell holds.
                TForm4 *chart = f.ctx().form4;
                QCOMPARE(chart->barValue(chart->ChartBar),
                         f.main()->AdvStringGrid_fuel->cellValue(chart->ChartBar + 1, chart->ChartLine));
            }
            break;
        case Event::EditOk:
            if (happens)
                QTRY_COMPARE_WITH_TIMEOUT(f.ecu->image().value(385), std::uint16_t(300), 10000);
            else
                QVERIFY(f.ecu->image().value(0) != 300);
            break;
        case Event::F2:
            QCOMPARE(fileDialogs, happens ? 1 : 0);
            break;
        case Event::F4:
            QCOMPARE(f.ctx().form3->isVisible(), happens);
            break;
        default:
            break;
        }
    }

    // The single-value changes of the chart bar's cell that reached the ECU after the event.
    QList<QByteArray> barChanges() const {
        QList<QByteArray> changes;
        const QList<EcuRequest> log = f.ecu->requestLog();
        for (int i = lettersBefore; i < log.size(); ++i)
            if (log[i].valid && log[i].letter == 'C' && log[i].bytes.mid(1, 2) == EncodeWord(barWord))
                changes << log[i].bytes;
        return changes;
    }

    void expectOffline(Activity activity) {
        TForm1 *w = f.main();
        QTRY_VERIFY_WITH_TIMEOUT(!w->IsOnline(), 1000);
        QVERIFY(!f.link()->IsConnected());
        QVERIFY(!f.link()->busy());
        QCOMPARE(f.steps()->TransferStep, 0);
        QVERIFY(w->GroupBox_gauge_up_down_loading->isHidden());
        QCOMPARE(w->Panel_dashbord2->text(), QStringLiteral("communication is offline"));
        // Nothing more goes out.
        const int count = int(f.ecu->requestLetters().size());
        QTest::qWait(400);
        QCOMPARE(int(f.ecu->requestLetters().size()), count);
        Q_UNUSED(activity);
    }

private slots:
    void cleanup() { f.stop(); }

    void aConversationIsNeverCutIntoOrLeftHanging_data() {
        QTest::addColumn<Activity>("activity");
        QTest::addColumn<Event>("event");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QStringList>("boxes"); // a piece of the text of each box shown, in order
        const QString partly = QStringLiteral("partly written calibration");
        const QString question = QStringLiteral("Data is not locked in the ECU");
        struct ActivityRow {
            const char *name;
            Activity activity;
            Outcome userRequest; // Alt+L, a bar push, edit Ok
            Outcome keys;        // F2, F4
        };
        const ActivityRow activities[] = {
            {"polling", Activity::Polling, Outcome::Acts, Outcome::Acts},
            {"up-load", Activity::Upload, Outcome::Refused, Outcome::Refused},
            {"down-load", Activity::Download, Outcome::Refused, Outcome::Refused},
            {"edit job", Activity::EditJob, Outcome::Refused, Outcome::Refused},
            {"lock", Activity::Lock, Outcome::Refused, Outcome::Refused},
            {"trim", Activity::Trim, Outcome::Waits, Outcome::Refused},
        };
        for (const ActivityRow &a : activities) {
            const bool download = a.activity == Activity::Download;
            auto row = [&](const char *event, Event e, Outcome o, QStringList boxes = {}) {
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(a.name, event)))
                    << a.activity << e << o << boxes;
            };
            row("line lost", Event::LineLost, Outcome::Offline,
                download ? QStringList{partly} : QStringList{});
            row("Alt+L", Event::AltL, a.userRequest);
            row("chart bar", Event::ChartBar, a.userRequest);
            row("edit Ok", Event::EditOk,
                a.activity == Activity::EditJob ? Outcome::Restarts : a.userRequest);
            row("F2", Event::F2, a.keys);
            row("F4", Event::F4, a.keys);
            row("F10", Event::F10, Outcome::Offline);
            row("close, No", Event::CloseNo,
                a.activity == Activity::Polling ? Outcome::Acts : Outcome::Refused, {question});
        }
    }
    void aConversationIsNeverCutIntoOrLeftHanging() {
        QFETCH(Activity, activity);
        QFETCH(Event, event);
        QFETCH(Outcome, outcome);
        QFETCH(QStringList, boxes);
        startProgram();
        enter(activity);
        f.dialogs().clearShown();
        fire(event);

        switch (outcome) {
        case Outcome::Offline:
            expectOffline(activity);
            break;
        case Outcome::Restarts:
            QTRY_COMPARE_WITH_TIMEOUT(f.steps()->TransferStep, 0, 15000);
            QTRY_COMPARE_WITH_TIMEOUT(f.ecu->image().value(385), std::uint16_t(300), 3000);
            QVERIFY(f.main()->IsOnline());
            break;
        case Outcome::Refused:
        case Outcome::Waits:
        case Outcome::Acts:
            // The options window stops the poll while it is open: look at it, then leave it.
            if (event == Event::F4) {
                expectEvent(event, outcome);
                if (f.ctx().form3->isVisible())
                    f.ctx().form3->Button_Cancel_Options_menuClick();
                expectActivityFinished(activity);
                break;
            }
            expectActivityFinished(activity);
            expectEvent(event, outcome);
            break;
        }
        if (event == Event::CloseNo)
            QVERIFY(f.main()->isVisible());
        const QStringList shown = f.shownTexts();
        QCOMPARE(shown.size(), boxes.size());
        for (int i = 0; i < boxes.size(); ++i)
            QVERIFY2(shown[i].contains(boxes[i]), qPrintable(shown[i]));
    }
};

QTEST_MAIN(LineOwnershipTest)
#include "LineOwnershipTest.moc"
