#include "files/CalibrationFile.h"

#include "core/FirmwareVersion.h"

namespace {
using namespace CalibrationFileLayout;

void appendRecord(QByteArray &out, std::uint16_t value) {
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}

std::uint16_t recordAt(const QByteArray &bytes, int record) {
    const auto low = std::uint8_t(bytes[2 * record]);
    const auto high = std::uint8_t(bytes[2 * record + 1]);
    return std::uint16_t(high << 8 | low);
}

bool hasTrailer(const QString &version) {
    return VersionAtLeast(version, QStringLiteral("3FA"));
}
} // namespace

int StoredWordCount(const QString &version) {
    if (VersionAtLeast(version, QStringLiteral("3FA1AC")))
        return 1089;
    if (VersionAtLeast(version, QStringLiteral("3FA1AB")))
        return 689;
    if (VersionAtLeast(version, QStringLiteral("3FA")))
        return 655;
    return 510;
}

int CalibrationRecordCount(const QString &version) {
    return HeaderRecords + StoredWordCount(version) + (hasTrailer(version) ? 1 : 0);
}

QByteArray EncodeCalibrationFile(const QString &version, const QVector<std::uint16_t> &image) {
    QByteArray out;
    out.reserve(2 * CalibrationRecordCount(version));

    QByteArray header = version.toLatin1().left(HeaderChars);
    header.append(QByteArray(HeaderChars - header.size(), '\0'));
    for (int k = 0; k < HeaderRecords; ++k)
        appendRecord(out, std::uint16_t(std::uint8_t(header[2 * k]) << 8 | std::uint8_t(header[2 * k + 1])));

    const int stored = StoredWordCount(version);
    for (int w = 0; w < stored; ++w)
        appendRecord(out, w < image.size() ? image[w] : 0);
    if (hasTrailer(version))
        appendRecord(out, 0);
    return out;
}

std::optional<QString> DecodeCalibrationHeader(const QByteArray &bytes) {
    if (bytes.size() < 2 * HeaderRecords)
        return std::nullopt;
    QByteArray text;
    for (int k = 0; k < HeaderRecords; ++k) {
        const std::uint16_t record = recordAt(bytes, k);
        text.append(char(record >> 8));
        text.append(char(record & 0xFF));
    }
    const int end = text.indexOf('\0');
    if (end >= 0)
        text.truncate(end);
    return QString::fromLatin1(text);
}

std::optional<CalibrationFileContents> DecodeCalibrationFile(const QByteArray &bytes) {
    const std::optional<QString> version = DecodeCalibrationHeader(bytes);
    if (!version)
        return std::nullopt;
    const int stored = StoredWordCount(*version);
    if (bytes.size() / 2 < HeaderRecords + stored)
        return std::nullopt;

    CalibrationFileContents contents;
    contents.version = *version;
    contents.image = QVector<std::uint16_t>(ImageWordCount(*version), 0);
    for (int w = 0; w < stored && w < contents.image.size(); ++w)
        contents.image[w] = recordAt(bytes, HeaderRecords + w);
    return contents;
}
