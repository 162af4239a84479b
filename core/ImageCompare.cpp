#include "core/ImageCompare.h"

#include "core/ImageLayout.h"

namespace {
bool reserved(int word) {
    return word == ImageWord::Reserved510 || word == ImageWord::Reserved511;
}
} // namespace

QVector<FieldDifference> CompareImages(const QString &version, const QVector<std::uint16_t> &first,
                                       const QVector<std::uint16_t> &second) {
    QVector<FieldDifference> differences;
    for (const CalibrationField &field : CalibrationFields(version, first)) {
        if (reserved(field.words.first()) || FieldEqual(field, first, second))
            continue;
        differences.append({field, FieldValueText(field, first), FieldValueText(field, second)});
    }
    return differences;
}

QVector<int> DifferingWords(const QVector<std::uint16_t> &first, const QVector<std::uint16_t> &second,
                            int count) {
    QVector<int> words;
    for (int at = 0; at < count; ++at) {
        if (reserved(at))
            continue;
        const bool inFirst = at < first.size(), inSecond = at < second.size();
        if (inFirst != inSecond || (inFirst && first[at] != second[at]))
            words.append(at);
    }
    return words;
}
