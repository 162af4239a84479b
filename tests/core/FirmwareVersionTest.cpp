#include "core/FirmwareVersion.h"

#include <QTest>

class FirmwareVersionTest : public QObject {
    Q_OBJECT
private slots:
    void thresholdIsAPrefixWithSpacesMatchingAnything_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("threshold");
        QTest::addColumn<bool>("met");
        QTest::newRow("start-up caption meets 3FA") << "3FA1AD1AA"
                                                    << "3FA" << true;
        QTest::newRow("start-up caption meets 3FA1AB") << "3FA1AD1AA"
                                                       << "3FA1AB" << true;
        QTest::newRow("start-up caption meets 3FA1AC") << "3FA1AD1AA"
                                                       << "3FA1AC" << true;
        QTest::newRow("start-up caption meets 3FA1AD") << "3FA1AD1AA"
                                                       << "3FA1AD" << true;
        QTest::newRow("start-up caption meets 2") << "3FA1AD1AA"
                                                  << "2" << true;
        QTest::newRow("start-up caption meets 2MA") << "3FA1AD1AA"
                                                    << "2MA" << true;
        QTest::newRow("1AC meets 1AB") << "3FA1AC1AA"
                                       << "3FA1AB" << true;
        QTest::newRow("1AC meets 1AC") << "3FA1AC1AA"
                                       << "3FA1AC" << true;
        QTest::newRow("1AC misses 1AD") << "3FA1AC1AA"
                                        << "3FA1AD" << false;
        QTest::newRow("lowest 3FA meets 3FA") << "3FA1AA1AA"
                                              << "3FA" << true;
        QTest::newRow("later variant meets 3FA") << "3FB0000AA"
                                                 << "3FA" << true;
        QTest::newRow("generation 4 meets 3FA") << "4AA000000"
                                                << "3FA" << true;
        QTest::newRow("1AB9ZZ misses 1AC") << "3FA1AB9ZZ"
                                           << "3FA1AC" << false;
        QTest::newRow("2FA meets 2") << "2FA1AD1AA"
                                     << "2" << true;
        QTest::newRow("2FA meets 1FB") << "2FA1AD1AA"
                                       << "1FB" << true;
        QTest::newRow("2FA misses 3FA") << "2FA1AD1AA"
                                        << "3FA" << false;
        QTest::newRow("2FA misses 2MA") << "2FA1AD1AA"
                                        << "2MA" << false;
        QTest::newRow("only spaces met by anything") << "0"
                                                     << "         " << true;
        QTest::newRow("only spaces met by empty") << ""
                                                  << "         " << true;
        QTest::newRow("equal in all nine") << "3FA1AD1AA"
                                           << "3FA1AD1AA" << true;
        QTest::newRow("ninth character below") << "3FA1AD1AA"
                                               << "3FA1AD1AB" << false;
        QTest::newRow("ninth character above") << "3FA1AD1AB"
                                               << "3FA1AD1AA" << true;
        QTest::newRow("short version padded with NUL misses") << "3F"
                                                              << "3FA" << false;
        QTest::newRow("short version equal up to the spaces") << "3FA"
                                                              << "3FA" << true;
        QTest::newRow("empty version misses") << ""
                                              << "1" << false;
        QTest::newRow("bytes are unsigned") << QString(QChar(0xB0)) << "3" << true;
        QTest::newRow("characters past nine are ignored") << "3FA1AD1AAZZZ"
                                                          << "3FA1AD1AA" << true;
    }
    void thresholdIsAPrefixWithSpacesMatchingAnything() {
        QFETCH(QString, version);
        QFETCH(QString, threshold);
        QFETCH(bool, met);
        QCOMPARE(VersionAtLeast(version, threshold), met);
    }

    void ecuIsNewerComparesTheLastThreeCharacters() {
        QVERIFY(EcuIsNewer(QStringLiteral("3FA1AD1AB")));
        QVERIFY(!EcuIsNewer(QStringLiteral("3FA1AD1AA")));
        QVERIFY(!EcuIsNewer(QStringLiteral("3FA1AD0ZZ")));
        QVERIFY(EcuIsNewer(QStringLiteral("3FA1AD2AA")));
        QVERIFY(!EcuIsNewer(QStringLiteral("3FA1AD"))); // missing sub-version reads as NUL
        QVERIFY(!EcuIsNewer(QString()));
        QVERIFY(EcuIsNewer(QStringLiteral("3FA1AD1AA"), QStringLiteral("1A")));
        QVERIFY(!EcuIsNewer(QStringLiteral("3FA1AD1AB"), QStringLiteral("1AC")));
    }

    void familiesAreRecognisedByTheirFirstThreeCharacters() {
        for (const char *v : {"1FA1AA1AA", "1FB", "2FA0", "3FA1AD1AA"})
            QVERIFY2(IsRecognisedFamily(QString::fromLatin1(v)), v);
        for (const char *v : {"3FC1AA1AA", "3IA1AA1AA", "2MA1AA1AA", "3F", "", "3fa1AD1AA"})
            QVERIFY2(!IsRecognisedFamily(QString::fromLatin1(v)), v);

        QVERIFY(IsUnsupportedFuelVersion(QStringLiteral("3FC1AA1AA")));
        QVERIFY(IsUnsupportedFuelVersion(QStringLiteral("3F")));
        QVERIFY(!IsUnsupportedFuelVersion(QStringLiteral("3FA1AA1AA")));
        QVERIFY(!IsUnsupportedFuelVersion(QStringLiteral("3IA1AA1AA")));
        QVERIFY(!IsUnsupportedFuelVersion(QString()));
    }

    void warningTextsCarryTheirExactLineBreaks() {
        QCOMPARE(UnsupportedVersionText(QStringLiteral("3FC1AA1AA"), QStringLiteral("123456")),
                 QStringLiteral("This Version nr : 3FC1AA1AAWith Serialnumber : 123456\r\r\n"
                                "is not supported by this software \r\r\n"
                                "Call your Software supplier for information !!!"));
        QCOMPARE(ForeignSystemText(QStringLiteral("3IA1AA1AA")),
                 QStringLiteral("This software is for Fuel injection only\r\n"
                                "Call your Software supplier for the Ignition version !!!"));
        QVERIFY(ForeignSystemText(QStringLiteral("2MA1AA1AA")).endsWith("the Motormanagement version !!!"));
        QVERIFY(ForeignSystemText(QStringLiteral("3XA1AA1AA")).endsWith("the correct version !!!"));
        QVERIFY(ForeignSystemText(QString()).endsWith("the correct version !!!"));
        QCOMPARE(
            EcuNewerText(),
            QStringLiteral("ECU is newer then the PC software\n\rPlease download newer QVR PC software"));
    }

    void versionCheckPicksOneOfThreeOutcomes() {
        QCOMPARE(ClassifyVersion(QStringLiteral("3FA1AD1AA")), VersionKind::Recognised);
        QCOMPARE(ClassifyVersion(QStringLiteral("3FC1AA1AA")), VersionKind::UnsupportedFuel);
        QCOMPARE(ClassifyVersion(QStringLiteral("3IA1AA1AA")), VersionKind::Foreign);
        QCOMPARE(VersionWarningText(QStringLiteral("1FB1AA1AA"), QStringLiteral("000000")), QString());
        QVERIFY(VersionWarningText(QStringLiteral("3FC1AA1AA"), QStringLiteral("000000"))
                    .contains("is not supported by this software "));
        QVERIFY(VersionWarningText(QStringLiteral("3IA1AA1AA"), QStringLiteral("000000"))
                    .startsWith("This software is for Fuel injection only"));
    }

    void imageSizeFollowsThe3faGate() {
        QCOMPARE(ImageWordCount(QStringLiteral("3FA1AA1AA")), 1089);
        QCOMPARE(ImageWordCount(QStringLiteral("2FA1AD1AA")), 511);
        QCOMPARE(ImageWordCount(QStringLiteral("1FB")), 511);
    }
};

QTEST_APPLESS_MAIN(FirmwareVersionTest)
#include "FirmwareVersionTest.moc"
