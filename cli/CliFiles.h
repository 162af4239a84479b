#pragma once
// Calibration files for qvr-cli: read whole, written atomically, compared by field name.
#include "files/CalibrationFile.h"

#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

// The file at `path`; on failure nullopt and `error` says why.
std::optional<CalibrationFileContents> ReadCalibration(const QString &path, QString *error);
// Replaces `path` only once the whole file is written.
bool WriteCalibration(const QString &path, const QString &version, const QVector<std::uint16_t> &image,
                      QString *error);
// ".f03" from firmware "3FA" on, ".f00" below.
QString CalibrationSuffix(const QString &version);

// The differing fields of two images, one line each ("name: first -> second unit"), compared by the
// fields of `version`.
QStringList DifferenceLines(const QString &version, const QVector<std::uint16_t> &first,
                            const QVector<std::uint16_t> &second);
