#pragma once
// Reads a calibration file into the simulator's image: 16-bit little-endian records, six header records with
// the version text (first character of each pair in the high byte), image word w at record w + 6.
#include <QString>
#include <QVector>
#include <cstdint>

struct EcuCalibrationFile {
    QString version;
    QVector<std::uint16_t> image; // 1089 words; words the file does not hold are 0
};

// Fails on a missing file, an odd length, a header without a printable version, or fewer image words than
// the version needs (510 below "3FA", 655 from "3FA"). Words past the image are ignored (the trailer).
bool ReadEcuCalibrationFile(const QString &path, EcuCalibrationFile *out, QString *error);
