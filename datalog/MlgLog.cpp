#include "datalog/MlgLog.h"

#include <QFile>
#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace Datalog {

namespace {

constexpr int NameBytes = 34;
constexpr int UnitBytes = 10;
constexpr int CategoryBytes = 34;
constexpr int MarkerBytes = 50;
constexpr double StampsPerSecond = 100000; // 10 us
const QString TimeName = QStringLiteral("Time");
const QString ValidSuffix = QStringLiteral(" valid");
const QString Celsius = QStringLiteral("°C");

int HeaderBytes(int version) {
    return version == 1 ? 22 : 24;
}
int FieldBytes(int version) {
    return version == 1 ? 55 : 89;
}

int TypeBytes(FieldType type) {
    switch (type) {
    case FieldType::U08:
    case FieldType::S08:
        return 1;
    case FieldType::U16:
    case FieldType::S16:
        return 2;
    case FieldType::U32:
    case FieldType::S32:
    case FieldType::F32:
        return 4;
    case FieldType::S64:
        return 8;
    }
    return 0;
}

bool IsSigned(FieldType type) {
    return type == FieldType::S08 || type == FieldType::S16 || type == FieldType::S32 ||
           type == FieldType::S64;
}

// Integer range of a type; the sentinel is the top of an unsigned range and the bottom of a signed one.
void IntegerRange(FieldType type, double *low, double *high) {
    const int bits = TypeBytes(type) * 8;
    if (IsSigned(type)) {
        *high = std::ldexp(1.0, bits - 1) - 1;
        *low = -*high - 1;
    } else {
        *low = 0;
        *high = std::ldexp(1.0, bits) - 1;
    }
    if (type == FieldType::S64) { // doubles cannot hold 2^63 - 1
        *high = 9.2e18;
        *low = -*high;
    }
}

void PutBig(QByteArray &out, std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

std::uint64_t GetBig(const char *data, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | std::uint8_t(data[i]);
    return value;
}

void PutText(QByteArray &out, const QByteArray &text, int bytes) {
    out.append(text.left(bytes));
    out.append(QByteArray(bytes - std::min<int>(text.size(), bytes), '\0'));
}

QString GetText(const char *data, int bytes) {
    const QByteArray raw(data, bytes);
    const qsizetype end = raw.indexOf('\0');
    return QString::fromUtf8(end < 0 ? raw : raw.left(end)).trimmed();
}

QByteArray Ascii(const QString &text) {
    QByteArray out;
    for (const QChar c : text)
        out.append(c.unicode() < 0x80 ? char(c.unicode()) : '?');
    return out;
}

QByteArray AsciiUnit(const QString &unit) {
    return Ascii(QString(unit).replace(Celsius, QStringLiteral("C")));
}

QString UnitFromFile(const QString &unit) {
    return unit == QLatin1String("C") || unit == QLatin1String("degC") ? Celsius : unit;
}

// Raw bits of `value` as stored, or the sentinel when it is missing.
std::uint64_t RawBits(const Channel &channel, const Value &value) {
    const bool missing = !value || std::isnan(*value);
    const double scale = channel.scale == 0 ? 1 : channel.scale;
    if (channel.type == FieldType::F32) {
        const float raw =
            missing ? std::numeric_limits<float>::quiet_NaN() : float(*value / scale - channel.transform);
        return std::bit_cast<std::uint32_t>(raw);
    }
    double low = 0, high = 0;
    IntegerRange(channel.type, &low, &high);
    if (missing && !channel.mayBeMissing)
        return 0; // no companion would tell a sentinel from a value
    double raw = 0;
    if (missing) {
        raw = IsSigned(channel.type) ? low : high;
    } else {
        if (channel.mayBeMissing && IsSigned(channel.type))
            low += 1; // keep off the sentinel
        else if (channel.mayBeMissing)
            high -= 1;
        raw = std::clamp(std::round(*value / scale - channel.transform), low, high);
    }
    const int bits = TypeBytes(channel.type) * 8;
    const std::uint64_t mask = bits == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << bits) - 1;
    return std::uint64_t(std::int64_t(raw)) & mask;
}

// Decimals that `value` (a scale or transform as read) needs: 0.01 gives 2, 0.25 gives 2, 1e-8 gives 8.
int Decimals(double value) {
    for (int d = 0; d < 12; ++d) {
        const double shifted = value * std::pow(10.0, d);
        if (std::abs(shifted - std::round(shifted)) < 1e-6)
            return d;
    }
    return 12;
}

double RoundTo(double value, int decimals) {
    const double p = std::pow(10.0, decimals);
    return std::round(value * p) / p;
}

struct Field {
    Channel channel;
    int offset = 0;        // within the values of a record
    int channelIndex = -1; // -1: time or validity field
    int validityOf = -1;   // channel index whose validity this field carries
    int decimals = 0;      // of a decoded value, from the f32 scale and transform
};

double Decode(const Field &field, const char *data, bool *missing) {
    const Channel &c = field.channel;
    const int bytes = TypeBytes(c.type);
    const std::uint64_t bits = GetBig(data, bytes);
    *missing = false;
    if (c.type == FieldType::F32) {
        const float raw = std::bit_cast<float>(std::uint32_t(bits));
        if (std::isnan(raw)) {
            *missing = true;
            return 0;
        }
        // Seven significant digits is all an f32 has.
        return QString::number((double(raw) + c.transform) * c.scale, 'g', 7).toDouble();
    }
    double raw = 0;
    if (IsSigned(c.type)) {
        const int shift = 64 - 8 * bytes;
        raw = double(std::int64_t(bits << shift) >> shift);
    } else {
        raw = double(bits);
    }
    return RoundTo((raw + c.transform) * c.scale, field.decimals);
}

bool Fail(QString *error, const QString &message) {
    if (error)
        *error = message;
    return false;
}

} // namespace

QString MlgInfoText(const LogInfo &info) {
    QStringList lines;
    if (!info.program.isEmpty())
        lines << info.program;
    if (!info.ecuVersion.isEmpty() || !info.ecuSerial.isEmpty())
        lines << QStringLiteral("ECU version: %1, serial number: %2").arg(info.ecuVersion, info.ecuSerial);
    const QDateTime start = info.start.isValid() ? info.start : QDateTime::currentDateTime();
    lines << QStringLiteral("Capture Date: ") + start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return lines.join(QLatin1Char('\n'));
}

MlgLogWriter::MlgLogWriter(int formatVersion) : version_(formatVersion == 1 ? 1 : 2) {}

MlgLogWriter::~MlgLogWriter() {
    close();
}

QByteArray MlgLogWriter::header(const LogInfo &info) {
    counter_ = 0;
    lastTime_ = 0;
    QList<Channel> fields;
    fields << Channel{TimeName, QStringLiteral("s"), FieldType::U32, DisplayStyle::Float, 0.001, 0, 3, {},
                      false};
    int recordLength = 4;
    for (const Channel &channel : channels_) {
        fields << channel;
        recordLength += TypeBytes(channel.type);
        if (channel.mayBeMissing) {
            fields << Channel{channel.name + ValidSuffix, {},   FieldType::U08, DisplayStyle::Float, 1, 0, 0,
                              channel.category,           false};
            recordLength += 1;
        }
    }
    const QByteArray infoText = Ascii(MlgInfoText(info)) + '\0';
    const qint64 infoOffset = HeaderBytes(version_) + qint64(fields.size()) * FieldBytes(version_);
    if (fields.size() > 0xFFFF || recordLength > 0xFFFF || (version_ == 1 && infoOffset > 0xFFFF)) {
        setError(QStringLiteral("Too many channels for a binary log."));
        return {};
    }
    const QDateTime start = info.start.isValid() ? info.start : QDateTime::currentDateTime();

    QByteArray out("MLVLG", 6);
    PutBig(out, version_, 2);
    PutBig(out, std::uint32_t(std::max<qint64>(start.toSecsSinceEpoch(), 0)), 4);
    PutBig(out, infoOffset, version_ == 1 ? 2 : 4);
    PutBig(out, infoOffset + infoText.size(), 4);
    PutBig(out, recordLength, 2);
    PutBig(out, fields.size(), 2);
    for (const Channel &f : fields) {
        PutBig(out, std::uint8_t(f.type), 1);
        PutText(out, Ascii(f.name), NameBytes);
        PutText(out, AsciiUnit(f.unit), UnitBytes);
        PutBig(out, std::uint8_t(f.style), 1);
        PutBig(out, std::bit_cast<std::uint32_t>(float(f.scale)), 4);
        PutBig(out, std::bit_cast<std::uint32_t>(float(f.transform)), 4);
        PutBig(out, std::uint8_t(std::int8_t(std::clamp(f.digits, -128, 127))), 1);
        if (version_ == 2)
            PutText(out, Ascii(f.category), CategoryBytes);
    }
    return out + infoText;
}

QByteArray MlgLogWriter::blockStart(std::uint8_t type, double time) {
    QByteArray out;
    out.append(char(type));
    out.append(char(counter_++));
    PutBig(out, std::uint64_t(std::llround(std::max(time, 0.0) * StampsPerSecond)) & 0xFFFF, 2);
    return out;
}

QByteArray MlgLogWriter::recordBytes(const Record &record) {
    lastTime_ = std::max(record.time, 0.0);
    QByteArray values;
    PutBig(values, std::uint32_t(std::min(std::llround(lastTime_ * 1000), 0xFFFFFFFFLL)), 4);
    for (qsizetype i = 0; i < channels_.size(); ++i) {
        const Channel &channel = channels_[i];
        const Value &value = record.values[i];
        PutBig(values, RawBits(channel, value), TypeBytes(channel.type));
        if (channel.mayBeMissing)
            values.append(char(value && !std::isnan(*value) ? 1 : 0));
    }
    std::uint32_t sum = 0;
    for (const char b : values)
        sum += std::uint8_t(b);
    return blockStart(0, lastTime_) + values + char(sum & 0xFF);
}

QByteArray MlgLogWriter::markerBytes(const Marker &marker) {
    // A marker earlier than the last record would unwrap to the wrong side of it.
    lastTime_ = std::max(marker.time, lastTime_);
    QByteArray text = marker.text.toUtf8();
    while (text.size() > MarkerBytes) // cut whole characters only
        text = marker.text.left(QString::fromUtf8(text).size() - 1).toUtf8();
    QByteArray out = blockStart(1, lastTime_);
    PutText(out, text, MarkerBytes);
    return out;
}

bool ReadMlgLog(const QString &path, Log *log, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, file.errorString());
    const QByteArray bytes = file.readAll();
    const char *data = bytes.constData();
    const qint64 size = bytes.size();
    if (size < 8 || !bytes.startsWith("MLVLG"))
        return Fail(error, QStringLiteral("%1 is not a binary log.").arg(path));
    const int version = int(GetBig(data + 6, 2));
    if (version != 1 && version != 2)
        return Fail(error, QStringLiteral("%1 is a binary log of format version %2.").arg(path).arg(version));
    if (size < HeaderBytes(version))
        return Fail(error, QStringLiteral("%1 ends inside its header.").arg(path));
    const int offsetBytes = version == 1 ? 2 : 4;
    const char *p = data + 8;
    const std::uint32_t startTime = std::uint32_t(GetBig(p, 4));
    const qint64 infoOffset = qint64(GetBig(p + 4, offsetBytes));
    p += 4 + offsetBytes;
    const qint64 dataOffset = qint64(GetBig(p, 4));
    const int fieldCount = int(GetBig(p + 6, 2));
    const qint64 fieldsEnd = HeaderBytes(version) + qint64(fieldCount) * FieldBytes(version);
    if (size < fieldsEnd || dataOffset < fieldsEnd || dataOffset > size)
        return Fail(error, QStringLiteral("%1 ends inside its header.").arg(path));

    *log = Log{};
    log->start = QDateTime::fromSecsSinceEpoch(startTime);
    if (infoOffset > 0 && infoOffset < dataOffset)
        log->infoText = GetText(data + infoOffset, int(dataOffset - infoOffset));

    QList<Field> fields;
    int timeField = -1;
    int valuesLength = 0;
    p = data + HeaderBytes(version);
    for (int i = 0; i < fieldCount; ++i, p += FieldBytes(version)) {
        Field f;
        Channel &c = f.channel;
        const int type = std::uint8_t(p[0]);
        if (type > int(FieldType::F32))
            return Fail(error,
                        QStringLiteral("Field %1 of %2 has the unknown type %3.").arg(i).arg(path).arg(type));
        c.type = FieldType(type);
        c.name = GetText(p + 1, NameBytes);
        c.unit = UnitFromFile(GetText(p + 35, UnitBytes));
        c.style = DisplayStyle(std::uint8_t(p[45]));
        // Scale and transform as the f32 reads in decimals (0.1f is 0.1, not 0.100000001).
        const float scale = std::bit_cast<float>(std::uint32_t(GetBig(p + 46, 4)));
        const float transform = std::bit_cast<float>(std::uint32_t(GetBig(p + 50, 4)));
        c.scale = QString::number(scale, 'g', 7).toDouble();
        c.transform = QString::number(transform, 'g', 7).toDouble();
        c.digits = std::int8_t(p[54]);
        if (version == 2)
            c.category = GetText(p + 55, CategoryBytes);
        f.decimals = std::max(Decimals(c.scale), Decimals(c.transform * c.scale));
        f.offset = valuesLength;
        valuesLength += TypeBytes(c.type);

        const bool companion = !fields.isEmpty() && c.type == FieldType::U08 &&
                               c.name == fields.last().channel.name + ValidSuffix &&
                               fields.last().channelIndex >= 0;
        if (companion) {
            f.validityOf = fields.last().channelIndex;
            log->channels[f.validityOf].mayBeMissing = true;
        } else if (c.name == TimeName && timeField < 0) {
            timeField = i;
        } else {
            f.channelIndex = int(log->channels.size());
            log->channels << c;
            log->channels.last().mayBeMissing = false;
        }
        fields << f;
    }

    double lastTime = 0;
    std::uint16_t lastStamp = 0;
    std::uint8_t lastCounter = 0;
    qint64 at = dataOffset;
    int blocks = 0;
    auto stop = [&](const QString &why) {
        log->endedEarly = true;
        log->endNote = QStringLiteral("%1 at byte %2, after %3 blocks.").arg(why).arg(at).arg(blocks);
    };
    while (at < size) {
        if (size - at < 4) {
            stop(QStringLiteral("The file ends inside a block"));
            break;
        }
        const int type = std::uint8_t(data[at]);
        // Every block counts on by one; a zero-filled tail left by a crash does not.
        if (blocks > 0 && std::uint8_t(data[at + 1]) != std::uint8_t(lastCounter + 1)) {
            stop(QStringLiteral("A block is out of sequence"));
            break;
        }
        lastCounter = std::uint8_t(data[at + 1]);
        const std::uint16_t stamp = std::uint16_t(GetBig(data + at + 2, 2));
        const double stampTime = RoundTo(lastTime + std::uint16_t(stamp - lastStamp) / StampsPerSecond, 5);
        if (type == 1) {
            if (size - at < 4 + MarkerBytes) {
                stop(QStringLiteral("The file ends inside a marker"));
                break;
            }
            log->markers << Marker{stampTime, GetText(data + at + 4, MarkerBytes)};
            at += 4 + MarkerBytes;
        } else if (type == 0) {
            if (size - at < 4 + valuesLength + 1) {
                stop(QStringLiteral("The file ends inside a record"));
                break;
            }
            const char *values = data + at + 4;
            std::uint32_t sum = 0;
            for (int i = 0; i < valuesLength; ++i)
                sum += std::uint8_t(values[i]);
            if (std::uint8_t(sum) != std::uint8_t(values[valuesLength])) {
                stop(QStringLiteral("A record's checksum fails"));
                break;
            }
            Record record;
            record.time = stampTime;
            record.values.resize(log->channels.size());
            for (int i = 0; i < fields.size(); ++i) {
                const Field &f = fields[i];
                bool missing = false;
                const double value = Decode(f, values + f.offset, &missing);
                if (i == timeField)
                    record.time = value;
                else if (f.validityOf >= 0 && value == 0)
                    record.values[f.validityOf].reset();
                else if (f.channelIndex >= 0 && !missing)
                    record.values[f.channelIndex] = value;
            }
            log->records << record;
            lastTime = record.time;
            at += 4 + valuesLength + 1;
        } else {
            stop(QStringLiteral("Unknown block type %1").arg(type));
            break;
        }
        lastStamp = stamp;
        if (type == 1)
            lastTime = log->markers.last().time;
        ++blocks;
    }
    return true;
}

} // namespace Datalog
