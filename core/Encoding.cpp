#include "core/Encoding.h"

#include <algorithm>
#include <cmath>
#include <limits>

int RoundHalfEven(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (value <= lo)
        return std::numeric_limits<int>::min();
    if (value >= hi)
        return std::numeric_limits<int>::max();
    // Cell texts are decimal: 2.675 x 100 arrives as 267.49999999999997 but is a tie in the grid.
    // Treat anything within a hair of .5 as the tie it was typed as.
    const double floorValue = std::floor(value);
    const double fraction = value - floorValue;
    const double tolerance = 1e-9 * std::max(1.0, std::fabs(value));
    if (std::fabs(fraction - 0.5) <= tolerance) {
        const double f = floorValue;
        return static_cast<int>(std::fmod(f, 2.0) == 0.0 ? f : f + 1.0);
    }
    return static_cast<int>(std::floor(value + 0.5));
}

QByteArray EncodeWord(int value) {
    // Out of range values are held at the limit rather than overflowing into the other byte.
    int magnitude;
    bool negative = value < 0;
    if (negative)
        magnitude = value < -0x7FFF ? 0x7FFF : -value;
    else
        magnitude = std::min(value, 0xFFFF);
    QByteArray bytes(2, '\0');
    bytes[0] = static_cast<char>(magnitude / 256 + (negative ? 128 : 0));
    bytes[1] = static_cast<char>(magnitude % 256);
    return bytes;
}

int DecodeWord(std::uint8_t high, std::uint8_t low) {
    return DecodeWord(static_cast<std::uint16_t>(high * 256 + low));
}

int DecodeWord(std::uint16_t word) {
    return word > 32767 ? -(word - 32768) : word;
}

std::uint16_t EncodeSignMagnitude(int value) {
    if (value < 0) {
        const int magnitude = value < -0x7FFF ? 0x7FFF : -value;
        return static_cast<std::uint16_t>(0x8000 + magnitude);
    }
    return static_cast<std::uint16_t>(std::min(value, 0xFFFF));
}

int DecodeSignMagnitude(std::uint16_t word) {
    return word < 0x8000 ? word : -(word - 0x8000);
}

WordPair EncodeSignMagnitude32(std::int64_t value) {
    constexpr std::int64_t maxMagnitude = 0x7FFFFFFF;
    const bool negative = value < 0;
    std::int64_t magnitude = negative ? (value < -maxMagnitude ? maxMagnitude : -value) : value;
    magnitude = std::min(magnitude, maxMagnitude);
    WordPair pair;
    pair.high = static_cast<std::uint16_t>(magnitude / 65536 + (negative ? 0x8000 : 0));
    pair.low = static_cast<std::uint16_t>(magnitude % 65536);
    return pair;
}

std::int64_t DecodeSignMagnitude32(std::uint16_t high, std::uint16_t low) {
    const std::int64_t magnitude = static_cast<std::int64_t>(high & 0x7FFF) * 65536 + low;
    return (high & 0x8000) ? -magnitude : magnitude;
}

std::uint16_t PackBytePair(int high, int low) {
    // A field wider than its byte would spill into its neighbour; hold it at the byte's limits instead.
    const int h = std::clamp(high, 0, 255);
    const int l = std::clamp(low, 0, 255);
    return static_cast<std::uint16_t>(h * 256 + l);
}

int HighByte(int value) {
    return value / 256;
}

int LowByte(int value) {
    return value - 256 * (value / 256);
}

QVector<std::uint16_t> PackText(const QString &text, int chars) {
    if (chars <= 0)
        return {};
    QByteArray bytes = text.toLatin1().left(chars);
    const int words = (chars + 1) / 2;
    bytes = bytes.leftJustified(words * 2, ' ');
    QVector<std::uint16_t> result;
    result.reserve(words);
    for (int i = 0; i < words; ++i) {
        const auto high = static_cast<std::uint8_t>(bytes[2 * i]);
        const auto low = static_cast<std::uint8_t>(bytes[2 * i + 1]);
        result.append(static_cast<std::uint16_t>(high * 256 + low));
    }
    return result;
}

QString UnpackText(const std::uint16_t *words, int wordCount) {
    QByteArray bytes;
    if (!words || wordCount <= 0)
        return {};
    bytes.reserve(wordCount * 2);
    for (int i = 0; i < wordCount; ++i) {
        bytes.append(static_cast<char>(words[i] >> 8));
        bytes.append(static_cast<char>(words[i] & 0xFF));
    }
    return QString::fromLatin1(bytes);
}

int CylinderCodeFromIndex(int index) {
    return (index >= 1 && index <= 7) ? 6 * index : 0;
}

int CylinderIndexFromCode(int code) {
    if (code >= 6 && code <= 42 && code % 6 == 0)
        return code / 6;
    return 0;
}

QByteArray PadToTen(const QByteArray &text) {
    QByteArray result("0000000000");
    const QByteArray head = text.left(10);
    result.replace(0, head.size(), head);
    return result;
}

int AccessModeBits(bool readOnly, bool dashboardOnly, bool noAccess) {
    return (readOnly ? 4 : 0) + (dashboardOnly ? 8 : 0) + (noAccess ? 16 : 0);
}

std::uint8_t FrameChecksum(const QByteArray &bytes) {
    unsigned sum = 0;
    for (char c : bytes)
        sum += static_cast<std::uint8_t>(c);
    return static_cast<std::uint8_t>(sum & 0xFF);
}

std::uint16_t EncodeScaledUnsigned(double value, int scale) {
    return static_cast<std::uint16_t>(std::clamp(RoundHalfEven(value * scale), 0, 0xFFFF));
}

std::uint16_t EncodeScaledSigned(double value, int scale) {
    return EncodeSignMagnitude(RoundHalfEven(value * scale));
}

double DecodeScaledSigned(std::uint16_t word, int scale) {
    return static_cast<double>(DecodeSignMagnitude(word)) / scale;
}

int EncodeBoostCorrectionFactor(double factor) {
    return std::clamp(RoundHalfEven((factor - 1.0) / 0.00390625), 0, 255);
}

double DecodeBoostCorrectionFactor(int lowByte) {
    return 1.0 + lowByte * 0.00390625;
}

std::uint16_t EncodeAirPressureAdjustment(double percent) {
    return static_cast<std::uint16_t>(
        std::clamp(RoundHalfEven((percent / 100.0 + 1.0) * 32768.0), 0, 0xFFFF));
}

double DecodeAirPressureAdjustment(std::uint16_t word) {
    return (word / 32768.0 - 1.0) * 100.0;
}
