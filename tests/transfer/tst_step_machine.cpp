#include "link/TransferMachine.h"

#include <QTimer>
#include <QtTest>

class StepMachineTest : public QObject {
    Q_OBJECT
private slots:
    void aTickWithoutReadyDoesNothing() {
        QTimer timer3;
        TransferMachine machine(&timer3);
        QList<int> ran;
        machine.addStepRunner([&](int step) {
            ran.append(step);
            return true;
        });
        machine.TransferStep = 2;
        timer3.start();
        machine.Tick();
        QVERIFY(ran.isEmpty());
        QVERIFY(timer3.isActive());
    }

    void aReadyTickStopsTheTimerClearsReadyAndRunsTheOwnerOfTheStep() {
        QTimer timer3;
        TransferMachine machine(&timer3);
        QList<QString> ran;
        machine.addStepRunner([&](int step) {
            if (step != 1)
                return false;
            ran.append(QStringLiteral("edit"));
            return true;
        });
        machine.addStepRunner([&](int step) {
            if (step < 2 || step > 100)
                return false;
            ran.append(QStringLiteral("write %1").arg(step));
            return true;
        });
        machine.Begin(2);
        QVERIFY(timer3.isActive());
        QCOMPARE(machine.StepIndex, 1);
        machine.Tick();
        QCOMPARE(ran, QList<QString>{QStringLiteral("write 2")});
        QVERIFY(!machine.StepReady);
        QVERIFY(!timer3.isActive());

        // The "Y" sets ready; the next tick runs the same step again (next row or block).
        machine.setStepReady();
        timer3.start();
        machine.Tick();
        QCOMPARE(ran.size(), 2);

        machine.MoveTo(1);
        QCOMPARE(machine.StepIndex, 0);
        QVERIFY(machine.StepReady);
        machine.Tick();
        QCOMPARE(ran.last(), QStringLiteral("edit"));
    }

    void enablingTheRunningTimerKeepsItsInterval() {
        QTimer timer3;
        timer3.setInterval(1000);
        TransferMachine machine(&timer3);
        timer3.start();
        QTest::qWait(300);
        const int before = timer3.remainingTime();
        machine.MoveTo(5);
        QVERIFY(timer3.remainingTime() <= before);
    }

    void finishLeavesNoJob() {
        TransferMachine machine(nullptr);
        machine.Begin(200, false);
        QVERIFY(machine.Running());
        machine.Finish();
        QVERIFY(!machine.Running());
        QVERIFY(!machine.StepReady);
    }
};

QTEST_GUILESS_MAIN(StepMachineTest)
#include "tst_step_machine.moc"
