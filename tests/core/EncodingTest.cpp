#include "core/Encoding.h"

#include <QTest>

class EncodingTest : public QObject {
    Q_OBJECT
private slots:
    void roundingTiesGoToTheEvenNeighbour() {
        QCOMPARE(RoundHalfEven(12.125 * 100), 1212);
        QCOMPARE(RoundHalfEven(1213.5), 1214);
        QCOMPARE(RoundHalfEven(0.5), 0);
        QCOMPARE(RoundHalfEven(1.5), 2);
        QCOMPARE(RoundHalfEven(2.5), 2);
        QCOMPARE(RoundHalfEven(-0.5), 0);
        QCOMPARE(RoundHalfEven(-1.5), -2);
        QCOMPARE(RoundHalfEven(-2.5), -2);
        QCOMPARE(RoundHalfEven(2.4999), 2);
        QCOMPARE(RoundHalfEven(2.5001), 3);
        QCOMPARE(RoundHalfEven(-2.6), -3);
        QCOMPARE(RoundHalfEven(655.35 * 100), 65535);
        // A decimal tie that binary floating point lands just below (267.49999999999997).
        QCOMPARE(RoundHalfEven(2.675 * 100), 268);
        QCOMPARE(RoundHalfEven(1.005 * 100), 100);
        // Garbage must not overflow.
        QCOMPARE(RoundHalfEven(1e300), 2147483647);
        QCOMPARE(RoundHalfEven(-1e300), -2147483647 - 1);
        QCOMPARE(RoundHalfEven(std::nan("")), 0);
    }

    void lineWordsAreSignMagnitudeHighByteFirst() {
        QCOMPARE(EncodeWord(-1), QByteArray("\x80\x01", 2));
        QCOMPARE(EncodeWord(300), QByteArray("\x01\x2C", 2));
        QCOMPARE(EncodeWord(0), QByteArray("\x00\x00", 2));
        QCOMPARE(EncodeWord(-300), QByteArray("\x81\x2C", 2));
        QCOMPARE(EncodeWord(40000), QByteArray("\x9C\x40", 2)); // live trim sends unsigned words this way
        QCOMPARE(EncodeWord(65535), QByteArray("\xFF\xFF", 2));
        // Out of range values stay at the limit instead of corrupting the high byte.
        QCOMPARE(EncodeWord(70000), QByteArray("\xFF\xFF", 2));
        QCOMPARE(EncodeWord(-40000), QByteArray("\xFF\xFF", 2));

        QCOMPARE(DecodeWord(std::uint8_t(0x80), std::uint8_t(0x05)), -5);
        QCOMPARE(DecodeWord(std::uint8_t(0x7F), std::uint8_t(0xFF)), 32767);
        QCOMPARE(DecodeWord(std::uint8_t(0x80), std::uint8_t(0x00)), 0);
        QCOMPARE(DecodeWord(std::uint16_t(0xFFFF)), -32767);
        QCOMPARE(DecodeWord(std::uint16_t(0x012C)), 300);
    }

    void imageWordsStoreNegativesAsSignMagnitude() {
        QCOMPARE(EncodeSignMagnitude(RoundHalfEven(-5.0 * 10)), std::uint16_t(0x8032));
        QCOMPARE(DecodeSignMagnitude(0x8032), -50);
        QCOMPARE(DecodeSignMagnitude(0x8000), 0);
        QCOMPARE(DecodeSignMagnitude(0x8005), -5);
        QCOMPARE(EncodeSignMagnitude(12345), std::uint16_t(12345));
        QCOMPARE(EncodeSignMagnitude(-40000), std::uint16_t(0xFFFF));
        QCOMPARE(EncodeSignMagnitude(70000), std::uint16_t(0xFFFF));

        QCOMPARE(EncodeScaledSigned(-5.0, 10), std::uint16_t(0x8032));
        QCOMPARE(EncodeScaledSigned(-0.05, 10), std::uint16_t(0x0000)); // -0.5 ties to 0, no sign left
        QCOMPARE(DecodeScaledSigned(0x8032, 10), -5.0);
        QCOMPARE(EncodeScaledUnsigned(12.125, 100), std::uint16_t(1212));
        QCOMPARE(EncodeScaledUnsigned(655.35, 100), std::uint16_t(65535));
        QCOMPARE(EncodeScaledUnsigned(700.0, 100), std::uint16_t(65535));
        QCOMPARE(EncodeScaledUnsigned(-1.0, 100), std::uint16_t(0));
        QCOMPARE(EncodeScaledUnsigned(9.999, 1000), std::uint16_t(9999));
    }

    void axisLimitsSpanTwoWordsWithTheSignInTheHighWord() {
        WordPair max = EncodeSignMagnitude32(70000);
        QCOMPARE(max.high, std::uint16_t(1));
        QCOMPARE(max.low, std::uint16_t(4464));
        QCOMPARE(DecodeSignMagnitude32(1, 4464), std::int64_t(70000));

        WordPair min = EncodeSignMagnitude32(RoundHalfEven(-0.5 * 100));
        QCOMPARE(min.high, std::uint16_t(0x8000));
        QCOMPARE(min.low, std::uint16_t(50));
        QCOMPARE(DecodeSignMagnitude32(0x8000, 50), std::int64_t(-50));

        WordPair big = EncodeSignMagnitude32(-131073);
        QCOMPARE(big.high, std::uint16_t(0x8002));
        QCOMPARE(big.low, std::uint16_t(1));
        QCOMPARE(DecodeSignMagnitude32(0x8002, 1), std::int64_t(-131073));
        QCOMPARE(DecodeSignMagnitude32(0xFFFF, 0xFFFF), -std::int64_t(0x7FFFFFFF));
    }

    void bytePairsKeepTheirFieldsApart() {
        QCOMPARE(PackBytePair(0x12, 0x34), std::uint16_t(0x1234));
        QCOMPARE(PackBytePair(255, 0), std::uint16_t(0xFF00));
        // A field too wide for its byte must not spill into the other one.
        QCOMPARE(PackBytePair(300, 7), std::uint16_t(0xFF07));
        QCOMPARE(PackBytePair(1, -3), std::uint16_t(0x0100));

        QCOMPARE(HighByte(0x1234), 0x12);
        QCOMPARE(LowByte(0x1234), 0x34);
        QCOMPARE(HighByte(255), 0);
        QCOMPARE(LowByte(256), 0);
        // trunc semantics for negative input
        QCOMPARE(HighByte(-300), -1);
        QCOMPARE(LowByte(-300), -44);
    }

    void textFieldsAreCutPaddedAndPackedHighCharacterFirst() {
        QVector<std::uint16_t> name = PackText(QStringLiteral("Water-temp"), 10);
        QCOMPARE(name, (QVector<std::uint16_t>{0x5761, 0x7465, 0x722D, 0x7465, 0x6D70}));

        QVector<std::uint16_t> cut = PackText(QStringLiteral("ABCDEFGHIJKL"), 10);
        QCOMPARE(cut.size(), 5);
        QCOMPARE(UnpackText(cut.constData(), cut.size()), QStringLiteral("ABCDEFGHIJ"));

        QVector<std::uint16_t> empty = PackText(QString(), 10);
        QCOMPARE(empty, QVector<std::uint16_t>(5, 0x2020));
        QCOMPARE(UnpackText(empty.constData(), 5), QStringLiteral("          "));

        QVector<std::uint16_t> unit = PackText(QStringLiteral("°C"), 6);
        QCOMPARE(unit, (QVector<std::uint16_t>{0xB043, 0x2020, 0x2020}));
        QCOMPARE(UnpackText(unit.constData(), 3), QStringLiteral("°C    "));

        QCOMPARE(PackText(QStringLiteral("x"), 32).size(), 16);
        QCOMPARE(UnpackText(nullptr, 3), QString());
    }

    void cylinderCodesAreSixTimesTheItem() {
        QCOMPARE(CylinderCodeFromIndex(0), 0);
        QCOMPARE(CylinderCodeFromIndex(1), 6);
        QCOMPARE(CylinderCodeFromIndex(7), 42);
        QCOMPARE(CylinderCodeFromIndex(8), 0);
        QCOMPARE(CylinderCodeFromIndex(-1), 0);
        for (int i = 1; i <= 7; ++i)
            QCOMPARE(CylinderIndexFromCode(6 * i), i);
        QCOMPARE(CylinderIndexFromCode(0), 0);
        QCOMPARE(CylinderIndexFromCode(5), 0);
        QCOMPARE(CylinderIndexFromCode(48), 0);
        QCOMPARE(CylinderIndexFromCode(-6), 0);
        QCOMPARE(CylinderIndexFromCode(256 + 12), 0);
    }

    void passwordIsLaidOverTenZeros() {
        QCOMPARE(PadToTen("ABC"), QByteArray("ABC0000000"));
        QCOMPARE(PadToTen(""), QByteArray("0000000000"));
        QCOMPARE(PadToTen("ABCDEFGHIJ"), QByteArray("ABCDEFGHIJ"));
        QCOMPARE(PadToTen("ABCDEFGHIJKLM"), QByteArray("ABCDEFGHIJ"));
    }

    void accessBitsAddUp() {
        QCOMPARE(AccessModeBits(false, false, false), 0);
        QCOMPARE(AccessModeBits(true, false, false), 4);
        QCOMPARE(AccessModeBits(false, true, false), 8);
        QCOMPARE(AccessModeBits(false, false, true), 16);
        QCOMPARE(AccessModeBits(true, true, true), 28);
    }

    void checksumIsTheLowByteOfTheSum() {
        QCOMPARE(FrameChecksum(QByteArray()), std::uint8_t(0));
        QCOMPARE(FrameChecksum(QByteArray("V")), std::uint8_t(0x56));
        QCOMPARE(FrameChecksum(QByteArray("\xFF\xFF\x03", 3)), std::uint8_t(0x01));
        QCOMPARE(FrameChecksum(QByteArray("E\x00\x10\x80\x01", 5)), std::uint8_t(0xD6));
    }

    void boostFactorAndAirPressureAdjustmentScale() {
        QCOMPARE(EncodeBoostCorrectionFactor(1.5), 128);
        QCOMPARE(EncodeBoostCorrectionFactor(1.99), 253);
        QCOMPARE(EncodeBoostCorrectionFactor(1.0), 0);
        QCOMPARE(EncodeBoostCorrectionFactor(3.0), 255);
        QCOMPARE(DecodeBoostCorrectionFactor(128), 1.5);

        QCOMPARE(EncodeAirPressureAdjustment(-20.0), std::uint16_t(26214));
        QCOMPARE(EncodeAirPressureAdjustment(20.0), std::uint16_t(39322));
        QCOMPARE(EncodeAirPressureAdjustment(0.0), std::uint16_t(32768));
        QCOMPARE(DecodeAirPressureAdjustment(32768), 0.0);
        QVERIFY(qAbs(DecodeAirPressureAdjustment(26214) - (-20.0)) < 0.01);
    }
};

QTEST_APPLESS_MAIN(EncodingTest)
#include "EncodingTest.moc"
