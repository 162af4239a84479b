// The link with the real serial adapter against the simulated ECU on a pseudo-terminal.
#include "RecordingHooks.h"
#include "core/Dialogs.h"
#include "ecusim/EcuSimRunner.h"
#include "link/Link.h"
#include "link/QtSerialPortAdapter.h"
#include "tests/support/LinkTestAccess.h"

#include <QTest>
#include <QTimer>

// Chains identification the way the connect sequence does: "V", "S", then "a".
class ConnectingHooks : public RecordingHooks {
public:
    Link *link = nullptr;
    QString serialNumber;
    int accessBitsSeen = -1;
    int liveFrames = 0;
    int stepsReady = 0;

    void onVersionReply(const QString &v) override {
        version = v;
        RecordingHooks::onVersionReply(v);
    }
    void onSerialReply(const QString &s) override {
        serialNumber = s;
        online = true;
        RecordingHooks::onSerialReply(s);
        link->RequestAccessBits();
    }
    void onAccessBitsReply(int bits) override {
        accessBitsSeen = bits;
        RecordingHooks::onAccessBitsReply(bits);
    }
    void onLiveData(const QByteArray &frame) override {
        ++liveFrames;
        RecordingHooks::onLiveData(frame);
    }
    void setStepReady() override {
        ++stepsReady;
        RecordingHooks::setStepReady();
    }
};

class LinkEcuSimTest : public QObject {
    Q_OBJECT

    EcuSimRunner *ecu = nullptr;
    QtSerialPortAdapter *port = nullptr;
    Dialogs *dialogs = nullptr;
    ConnectingHooks *hooks = nullptr;
    Link *link = nullptr;

    void connectNow() {
        link->RequestVersion();
        QTRY_COMPARE_WITH_TIMEOUT(hooks->accessBitsSeen, ecu->accessBits(), 3000);
    }

private slots:
    void init() {
        ecu = new EcuSimRunner;
        EcuSimConfig config;
        config.serial = "654321";
        const QString path = ecu->start(config);
        QVERIFY2(!path.isEmpty(), qPrintable(ecu->lastError()));
        port = new QtSerialPortAdapter;
        dialogs = new Dialogs;
        hooks = new ConnectingHooks;
        hooks->online = false;
        link = new Link(port, dialogs, hooks);
        hooks->listenTo(link);
        hooks->link = link;
        StateOf(link).PortName = path;
    }
    void cleanup() {
        delete link;
        delete hooks;
        delete dialogs;
        delete port;
        ecu->stop();
        delete ecu;
    }

    void identifiesTheEcu() {
        connectNow();
        QCOMPARE(hooks->version, QStringLiteral("3FA1AD1AA"));
        QCOMPARE(hooks->serialNumber, QStringLiteral("654321"));
        QCOMPARE(ecu->requestLetters(), QByteArray("VSa"));
        QCOMPARE(StateOf(link).CommErrors, 0);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void readsTheWholeImageAtLineSpeed() {
        QVector<std::uint16_t> image(1089);
        for (int w = 0; w < image.size(); ++w)
            image[w] = std::uint16_t(w * 37 + 5);
        ecu->setImage(image);
        ecu->setPaced(true); // about 2.3 s of reply, far beyond one 300 ms time-out
        connectNow();
        link->ReadImage(0, 1089);
        QTRY_VERIFY_WITH_TIMEOUT(hooks->calls.contains("image"), 6000);
        QCOMPARE(hooks->imageWords, image);
        QCOMPARE(hooks->progress.last(), 2180);
        QCOMPARE(StateOf(link).CommErrors, 0);
        QCOMPARE(ecu->requestLetters().count('Z'), 1);
    }

    void pollsLiveDataAboutTenTimesASecond() {
        connectNow();
        link->RequestLiveData();
        QTest::qWait(1500);
        link->StopLink();
        QVERIFY2(hooks->liveFrames >= 8 && hooks->liveFrames <= 16,
                 qPrintable(QString::number(hooks->liveFrames)));
        QCOMPARE(hooks->liveFrame.size(), 56);
        QCOMPARE(StateOf(link).CommErrors, 0);
    }

    void writesABlockAndLocks() {
        connectNow();
        StateOf(link).RequestPayload = QByteArray::fromHex("00040010") + QByteArray::fromHex("04d28003");
        link->WriteBlock(StateOf(link).RequestPayload);
        QTRY_COMPARE(hooks->stepsReady, 1);
        QCOMPARE(ecu->image()[16], std::uint16_t(1234));
        QCOMPARE(ecu->image()[17], std::uint16_t(0x8003));
        QVERIFY(!ecu->isLocked());
        QVERIFY(hooks->calls.contains("notLocked"));
        link->RequestLock();
        QTRY_VERIFY(hooks->calls.contains("onLocked"));
        QVERIFY(ecu->isLocked());
    }

    void recoversFromBadChecksumsAndSplitReplies() {
        connectNow();
        EcuFaultPlan plan;
        plan.badChecksumReplies = 2;
        plan.splitReplies = 3;
        plan.splitPieces = 4;
        plan.splitGapMs = 30;
        ecu->setFaultPlan(plan);
        hooks->calls.clear();
        link->RequestVersion();
        QTRY_VERIFY_WITH_TIMEOUT(hooks->calls.contains("version:3FA1AD1AA"), 3000);
        QTRY_COMPARE(hooks->calls.count("accessBits:0"), 1);
        QCOMPARE(StateOf(link).CommErrors, 0);
        QVERIFY(hooks->commErrorsShown.contains(2));
        QVERIFY(hooks->online);
    }

    void strayByteAfterALiveFrameIsSurvived() {
        connectNow();
        EcuFaultPlan plan;
        plan.strayReplies = 1;
        plan.strayGapMs = 20;
        ecu->setFaultPlan(plan);
        link->RequestLiveData();
        QTest::qWait(800);
        link->StopLink();
        QVERIFY(hooks->commErrorsShown.contains(1));
        QVERIFY(hooks->liveFrames >= 3);
        QVERIFY(hooks->online);
    }

    void silentEcuTakesTheLinkOffline() {
        connectNow();
        EcuFaultPlan plan;
        plan.silentRequests = 100;
        ecu->setFaultPlan(plan);
        link->RequestLock();
        QTRY_VERIFY_WITH_TIMEOUT(!hooks->online, 3000);
        QVERIFY(!port->isOpen());
        QCOMPARE(ecu->requestLetters().count('L'), 6);
        QVERIFY(hooks->calls.contains("lockButtonUp"));
        QVERIFY(dialogs->shown().isEmpty());
    }

    void automaticCalibrationReadsTheSensor() {
        connectNow();
        EngineSample sample;
        sample.load1Raw = 20;
        ecu->freezeEngine(sample);
        link->RequestCalibrationReading(1);
        QTRY_COMPARE(StateOf(link).CalMin, 20);
        sample.load1Raw = 200;
        ecu->freezeEngine(sample);
        link->RequestCalibrationReading(2);
        QTRY_VERIFY(hooks->calls.contains("calibrated:1:20:200"));
        QVERIFY(dialogs->shown().isEmpty());
    }

    void wrongPasswordIsRefused() {
        connectNow();
        link->SendPassword(QStringLiteral("WRONG"));
        QTRY_VERIFY(hooks->calls.contains("passwordNo"));
        QCOMPARE(dialogs->shown().last().text,
                 QStringLiteral("Password is not correct !!!\r\r\nPlease try again"));
        link->SendPassword(QString());
        QTRY_VERIFY(hooks->calls.contains("passwordOk"));
    }
};

QTEST_GUILESS_MAIN(LinkEcuSimTest)
#include "LinkEcuSimTest.moc"
