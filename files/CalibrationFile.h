#pragma once
// Calibration files (".f03", ".f00"): 16-bit little-endian records. Records 0..5 hold the firmware
// version (12 characters, NUL padded, first character of each pair in the high byte); record 6 + w holds
// image word w for every word the version stores; firmware "3FA" and later end with one zero record.
//
// Which words a file holds, by version:
//   0..509      always
//   510..654    from "3FA"
//   655..688    from "3FA1AB"
//   689..1088   from "3FA1AC"
#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

#include "core/FirmwareVersion.h" // ImageWordCount

namespace CalibrationFileLayout {
constexpr int HeaderRecords = 6;
constexpr int HeaderChars = 12;
// The longest file any version needs, in bytes; a reader never has to look further.
constexpr int MaxFileBytes = 1096 * 2;
} // namespace CalibrationFileLayout

// Image words a file of this version stores (records 6 .. 6 + n - 1).
int StoredWordCount(const QString &version);
// Total records of a file written for this version (header, stored words, trailer).
int CalibrationRecordCount(const QString &version);

// The file for `version` holding `image`. Words missing from a short image are written as 0.
QByteArray EncodeCalibrationFile(const QString &version, const QVector<std::uint16_t> &image);

// The version text of a header: the first 12 characters, up to the first NUL. Needs 12 bytes.
std::optional<QString> DecodeCalibrationHeader(const QByteArray &bytes);

struct CalibrationFileContents {
    QString version;
    // ImageWordCount(version) words; those the file does not store (reserved 510 below "3FA", the
    // air-pressure and boost sections of older "3FA" files) are 0.
    QVector<std::uint16_t> image;
};

// Reads a whole file. Fails (nullopt) when the bytes do not hold the header and every word the
// header's version stores; anything after those (trailer, extra bytes) is ignored.
std::optional<CalibrationFileContents> DecodeCalibrationFile(const QByteArray &bytes);
