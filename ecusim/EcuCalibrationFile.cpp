#include "ecusim/EcuCalibrationFile.h"

#include "ecusim/EcuState.h"

#include <QFile>

namespace {

constexpr int HeaderRecords = 6;

bool Fail(QString *error, const QString &text) {
    if (error)
        *error = text;
    return false;
}

} // namespace

bool ReadEcuCalibrationFile(const QString &path, EcuCalibrationFile *out, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    // The largest file is 1096 records; anything much bigger is not a calibration.
    constexpr qint64 MaxBytes = 2 * (HeaderRecords + EcuImageWords + 16);
    if (file.size() > MaxBytes)
        return Fail(error, QStringLiteral("%1 is too large for a calibration file").arg(path));
    const QByteArray bytes = file.readAll();
    if (bytes.size() % 2 != 0)
        return Fail(error, QStringLiteral("%1 has an odd length").arg(path));
    const int records = int(bytes.size() / 2);
    if (records < HeaderRecords)
        return Fail(error, QStringLiteral("%1 has no complete header").arg(path));
    auto record = [&bytes](int n) {
        return std::uint16_t(std::uint8_t(bytes.at(2 * n)) | std::uint8_t(bytes.at(2 * n + 1)) << 8);
    };

    QByteArray text;
    for (int k = 0; k < HeaderRecords; ++k) {
        const std::uint16_t word = record(k);
        text.append(char(word >> 8));
        text.append(char(word & 0xFF));
    }
    const int nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    for (char c : text)
        if (c < 0x21 || c > 0x7E)
            return Fail(error, QStringLiteral("%1 has no version in its header").arg(path));
    if (text.isEmpty())
        return Fail(error, QStringLiteral("%1 has no version in its header").arg(path));

    EcuState probe;
    probe.version = QString::fromLatin1(text);
    const int needed = probe.hasFullImage() ? 655 : 510;
    const int available = records - HeaderRecords;
    if (available < needed)
        return Fail(error, QStringLiteral("%1 holds %2 image words, its version needs %3")
                               .arg(path)
                               .arg(available)
                               .arg(needed));

    out->version = probe.version;
    out->image = QVector<std::uint16_t>(EcuImageWords, 0);
    const int words = std::min(available, probe.imageWords());
    for (int w = 0; w < words; ++w)
        out->image[w] = record(HeaderRecords + w);
    // The trailer of a file from "3FA" on lands past the image or on a word that version does not use.
    return true;
}
