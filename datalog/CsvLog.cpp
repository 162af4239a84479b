#include "datalog/CsvLog.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace Datalog {

namespace {

const QString TimeHeader = QStringLiteral("Time [s]");
const QString MarkerHeader = QStringLiteral("Marker");
const QByteArray Bom("\xEF\xBB\xBF");

QString Cell(const QString &text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// QString::number ignores the locale, so "." it is.
QString Number(double value, int digits) {
    QString text = QString::number(value, 'f', std::clamp(digits, 0, 9));
    if (text.startsWith(QLatin1Char('-')) && text.toDouble() == 0)
        text.remove(0, 1); // no "-0.0"
    return text;
}

QString HeaderCell(const Channel &channel) {
    return channel.unit.isEmpty() ? channel.name : channel.name + QStringLiteral(" [") + channel.unit + ']';
}

void SplitHeader(const QString &cell, QString *name, QString *unit) {
    const qsizetype open = cell.lastIndexOf(QStringLiteral(" ["));
    if (open > 0 && cell.endsWith(QLatin1Char(']'))) {
        *name = cell.left(open);
        *unit = cell.mid(open + 2, cell.size() - open - 3);
    } else {
        *name = cell;
        unit->clear();
    }
}

struct Rows {
    QList<QStringList> rows;
    bool cut = false; // the last row had no line end and was left out
};

Rows ParseRows(const QString &text) {
    Rows result;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool rowStarted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        rowStarted = true;
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"'))
                    cell += text[++i];
                else
                    quoted = false;
            } else {
                cell += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << cell;
            cell.clear();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            row << cell;
            cell.clear();
            result.rows << row;
            row.clear();
            rowStarted = false;
        } else {
            cell += c;
        }
    }
    result.cut = rowStarted;
    return result;
}

int DecimalsOf(const QString &cell) {
    const qsizetype point = cell.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : int(cell.size() - point - 1);
}

bool Fail(QString *error, const QString &message) {
    if (error)
        *error = message;
    return false;
}

} // namespace

CsvLogWriter::~CsvLogWriter() {
    close();
}

QByteArray CsvLogWriter::header(const LogInfo &) {
    pendingMarkers_.clear();
    QStringList cells{TimeHeader};
    for (const Channel &channel : channels_)
        cells << Cell(HeaderCell(channel));
    cells << MarkerHeader;
    return Bom + cells.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

QByteArray CsvLogWriter::row(double time, const QList<Value> &values) {
    QStringList cells{Number(time, 3)};
    for (qsizetype i = 0; i < channels_.size(); ++i) {
        const Value &v = values[i];
        cells << (v && std::isfinite(*v) ? Number(*v, channels_[i].digits) : QString());
    }
    cells << Cell(pendingMarkers_.join(QStringLiteral("; ")));
    pendingMarkers_.clear();
    return cells.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

QByteArray CsvLogWriter::recordBytes(const Record &record) {
    return row(record.time, record.values);
}

QByteArray CsvLogWriter::markerBytes(const Marker &marker) {
    pendingMarkers_ << marker.text;
    pendingTime_ = marker.time;
    return {};
}

QByteArray CsvLogWriter::closingBytes() {
    if (pendingMarkers_.isEmpty())
        return {};
    return row(pendingTime_, QList<Value>(channels_.size()));
}

bool ReadCsvLog(const QString &path, Log *log, QString *error, const QList<Channel> &known) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, file.errorString());
    QByteArray bytes = file.readAll();
    if (bytes.startsWith(Bom))
        bytes.remove(0, Bom.size());
    const Rows parsed = ParseRows(QString::fromUtf8(bytes));
    const QList<QStringList> &rows = parsed.rows;
    if (rows.isEmpty() || rows[0].value(0) != TimeHeader)
        return Fail(error,
                    QStringLiteral("%1 is not a log: its first column is not \"Time [s]\".").arg(path));

    const QStringList &head = rows[0];
    const bool hasMarkers = head.size() > 1 && head.last() == MarkerHeader;
    const qsizetype channelCount = head.size() - 1 - (hasMarkers ? 1 : 0);

    *log = Log{};
    QList<bool> sawEmpty(channelCount, false);
    QList<int> decimals(channelCount, 0);
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QStringList &cells = rows[r];
        if (cells.size() == 1 && cells[0].isEmpty())
            continue; // blank line
        if (cells.size() != head.size())
            return Fail(error, QStringLiteral("Row %1 has %2 cells, the header %3.")
                                   .arg(r + 1)
                                   .arg(cells.size())
                                   .arg(head.size()));
        bool ok = false;
        Record record;
        record.time = cells[0].toDouble(&ok);
        if (!ok)
            return Fail(error, QStringLiteral("Row %1: \"%2\" is not a time.").arg(r + 1).arg(cells[0]));
        bool allEmpty = true;
        for (qsizetype c = 0; c < channelCount; ++c) {
            const QString &cell = cells[c + 1];
            if (cell.isEmpty()) {
                record.values << Value{};
                continue;
            }
            allEmpty = false;
            const double value = cell.toDouble(&ok);
            if (!ok)
                return Fail(error, QStringLiteral("Row %1: \"%2\" is not a number.").arg(r + 1).arg(cell));
            decimals[c] = std::max(decimals[c], DecimalsOf(cell));
            record.values << value;
        }
        const QString markerText = hasMarkers ? cells.last() : QString();
        if (!markerText.isEmpty())
            log->markers << Marker{record.time, markerText};
        if (allEmpty && !markerText.isEmpty())
            continue;
        for (qsizetype c = 0; c < channelCount; ++c)
            sawEmpty[c] = sawEmpty[c] || !record.values[c];
        log->records << record;
    }
    // A channel that was never empty could still be in a cleaner log; keep what the table knows.
    for (qsizetype c = 0; c < channelCount; ++c) {
        Channel channel;
        SplitHeader(head[c + 1], &channel.name, &channel.unit);
        const auto match = std::find_if(known.begin(), known.end(), [&](const Channel &k) {
            return k.name == channel.name && k.unit == channel.unit;
        });
        if (match != known.end())
            channel = *match;
        else
            channel.digits = std::min(decimals[c], 9);
        channel.mayBeMissing = channel.mayBeMissing || sawEmpty[c];
        log->channels << channel;
    }
    if (parsed.cut) {
        log->endedEarly = true;
        log->endNote =
            QStringLiteral("The last row was cut off after %1 complete rows.").arg(rows.size() - 1);
    }
    return true;
}

} // namespace Datalog
