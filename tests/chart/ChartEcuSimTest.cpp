// A bar pushed in the chart reaches the simulated ECU as one change request, and polling goes on after it.
#include "tests/support/EcuFixture.h"

#include "core/Encoding.h"
#include "ecusim/DemoCalibration.h"
#include "windows/chart/ChartWindow.h"

class ChartEcuSimTest : public QObject {
    Q_OBJECT
    EcuFixture f;

    QList<EcuRequest> changeRequests() const {
        QList<EcuRequest> found;
        for (const EcuRequest &r : f.ecu->requestLog())
            if (r.valid && r.letter == 'C')
                found << r;
        return found;
    }

private slots:
    void cleanup() { f.stop(); }

    void releasingUpSendsOneChangeOfTheSelectedBarAndPollingResumes() {
        EcuSimConfig config;
        config.image = DemoCalibrationImage();
        QVERIFY(f.start(config));
        // A quiet engine: no trim requests that would send changes of their own.
        EngineSample still;
        still.rpm = 1500;
        f.ecu->freezeEngine(still);
        QTRY_VERIFY_WITH_TIMEOUT(f.readDone(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(f.ecu->requestLetters().endsWith('d'), 3000);

        TForm4 *chart = f.ctx().form4;
        chart->ShowMapLine(ChartMap::Injection, 3, 0);
        f.ctx().LiveTracking = false; // the user takes over the selection
        chart->SelectRight();
        chart->SelectRight();
        QCOMPARE(chart->ChartBar, 2);
        const double before = f.main()->AdvStringGrid_fuel->cellValue(3, 3);
        f.ecu->clearRequestLog();

        QTest::keyPress(chart, Qt::Key_Up);
        QTest::keyRelease(chart, Qt::Key_Up);
        QTRY_COMPARE_WITH_TIMEOUT(changeRequests().size(), 1, 3000);

        const double after = f.main()->AdvStringGrid_fuel->cellValue(3, 3);
        QVERIFY(after > before);
        const int raw = RoundHalfEven(after * 100);
        // Row 3, column 3 of the injection map is word (3 - 1) x 16 + (3 - 1) = 34.
        QByteArray expected("C");
        expected += char(0x00);
        expected += char(34);
        expected += char(raw >> 8);
        expected += char(raw & 0xFF);
        expected += char(FrameChecksum(expected));
        QCOMPARE(changeRequests().first().bytes, expected);

        // The "Y" resumes live polling, and the ECU holds the new value.
        QTRY_VERIFY_WITH_TIMEOUT(
            f.ecu->requestLetters().endsWith("Cd") || f.ecu->requestLetters().contains("Cd"), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(int(f.ecu->image().at(34)), raw, 3000);
        QTest::qWait(300);
        QCOMPARE(changeRequests().size(), 1);
    }
};

QTEST_MAIN(ChartEcuSimTest)
#include "ChartEcuSimTest.moc"
