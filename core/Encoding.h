#pragma once
// Word encodings of the calibration image and of the frames on the serial line.
#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>

// Nearest integer, ties to the even one (12.125 ms x 100 -> 1212).
int RoundHalfEven(double value);

// Two bytes, high byte first: high = |v| / 256 (+128 when negative), low = |v| % 256.
// 0..65535 gives the plain unsigned word. Values beyond 65535 or below -32767 are held at that limit.
QByteArray EncodeWord(int value);
// Sign-magnitude decoding of a word from the line: w > 32767 gives -(w - 32768).
int DecodeWord(std::uint8_t high, std::uint8_t low);
int DecodeWord(std::uint16_t word);

// Sign-magnitude word of the image: negative p is stored as 0x8000 + |p| (|p| held at 0x7FFF);
// 0..65535 is stored as itself, larger values as 65535.
std::uint16_t EncodeSignMagnitude(int value);
int DecodeSignMagnitude(std::uint16_t word);

// Sign-magnitude over two words, high word first (correction-table axis limits x 100).
struct WordPair {
    std::uint16_t high = 0;
    std::uint16_t low = 0;
};
WordPair EncodeSignMagnitude32(std::int64_t value);
std::int64_t DecodeSignMagnitude32(std::uint16_t high, std::uint16_t low);

// Two separate 8-bit fields in one word; each field is held within 0..255.
std::uint16_t PackBytePair(int high, int low);
int HighByte(int value); // trunc(value / 256)
int LowByte(int value);  // value - 256 * trunc(value / 256)

// Text fields: Latin-1, cut to `chars` characters, padded with spaces, two characters per word,
// first in the high byte. `chars` is even.
QVector<std::uint16_t> PackText(const QString &text, int chars);
QString UnpackText(const std::uint16_t *words, int wordCount);

// Cylinder list item (0..7) <-> stored code: 6 x index for 1..7, 0 for item 0; unknown codes give item 0.
int CylinderCodeFromIndex(int index);
int CylinderIndexFromCode(int code);

// Password as sent: at most 10 characters laid over "0000000000" from the left.
QByteArray PadToTen(const QByteArray &text);

// Access bits sent to the ECU: 4 read-only, 8 dashboard only, 16 no access.
int AccessModeBits(bool readOnly, bool dashboardOnly, bool noAccess);

// Low 8 bits of the unsigned sum of the bytes (frames and replies; the letter is included).
std::uint8_t FrameChecksum(const QByteArray &bytes);

// Grid cell <-> word: value x scale (100, 10 or 1000), rounded half to even.
// Unsigned fields are held within 0..65535; signed ones use the sign-magnitude word.
std::uint16_t EncodeScaledUnsigned(double value, int scale);
std::uint16_t EncodeScaledSigned(double value, int scale);
double DecodeScaledSigned(std::uint16_t word, int scale);

// Boost correction factor 1.00..1.99 in the low byte of the load-source word: round((f - 1) / 0.00390625).
int EncodeBoostCorrectionFactor(double factor);
double DecodeBoostCorrectionFactor(int lowByte);

// Air-pressure sensor adjustment in %: round((a / 100 + 1) x 32768).
std::uint16_t EncodeAirPressureAdjustment(double percent);
double DecodeAirPressureAdjustment(std::uint16_t word);
