#pragma once
// Two calibration images of one firmware compared field by field, named as the tuner knows them.
#include <QString>
#include <QVector>
#include <cstdint>

#include "core/FieldCatalogue.h"

struct FieldDifference {
    CalibrationField field;
    QString first;  // FieldValueText in the first image
    QString second; // ... in the second
};

// The fields whose words differ between two images of firmware `version`, in address order. Reserved
// words 510 and 511 are never reported. Map cells are named by the first image's RPM range.
QVector<FieldDifference> CompareImages(const QString &version, const QVector<std::uint16_t> &first,
                                       const QVector<std::uint16_t> &second);

// The word addresses where two images differ, 510 and 511 left out: a write checked against its read-back.
QVector<int> DifferingWords(const QVector<std::uint16_t> &first, const QVector<std::uint16_t> &second,
                            int count);
