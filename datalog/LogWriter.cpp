#include "datalog/LogWriter.h"

#include "datalog/CsvLog.h"
#include "datalog/MlgLog.h"

#include <QFileInfo>

namespace Datalog {

LogFormat FormatForPath(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv"))
        return LogFormat::Csv;
    if (suffix == QLatin1String("mlg"))
        return LogFormat::Mlg;
    return LogFormat::Unknown;
}

LogWriter::~LogWriter() {
    // A writer that holds bytes back closes itself in its own destructor, while closingBytes() still works.
    if (file_.isOpen())
        file_.close();
}

bool LogWriter::fail(const QString &message) {
    error_ = message;
    return false;
}

bool LogWriter::write(const QByteArray &bytes) {
    if (!file_.isOpen())
        return fail(QStringLiteral("The log is not open."));
    if (file_.write(bytes) != bytes.size())
        return fail(file_.errorString());
    return true;
}

bool LogWriter::open(const QString &path, const QList<Channel> &channels, const LogInfo &info) {
    if (file_.isOpen())
        close();
    error_.clear();
    channels_ = channels;
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(file_.errorString());
    const QByteArray head = header(info);
    if (head.isEmpty()) {
        file_.close();
        return false; // header() said why
    }
    // Flushed at once, so that even a log without records reads back.
    return write(head) && flush();
}

bool LogWriter::append(const Record &record) {
    if (record.values.size() != channels_.size())
        return fail(QStringLiteral("A record has %1 values for %2 channels.")
                        .arg(record.values.size())
                        .arg(channels_.size()));
    return write(recordBytes(record));
}

bool LogWriter::mark(const Marker &marker) {
    const QByteArray bytes = markerBytes(marker);
    return bytes.isEmpty() || write(bytes);
}

bool LogWriter::flush() {
    if (!file_.isOpen())
        return fail(QStringLiteral("The log is not open."));
    if (!file_.flush())
        return fail(file_.errorString());
    return true;
}

bool LogWriter::close() {
    if (!file_.isOpen())
        return true;
    const QByteArray tail = closingBytes();
    const bool ok = (tail.isEmpty() || write(tail)) && flush();
    file_.close();
    return ok;
}

void LogWriter::setError(const QString &message) {
    error_ = message;
}

std::unique_ptr<LogWriter> MakeLogWriter(LogFormat format) {
    switch (format) {
    case LogFormat::Csv:
        return std::make_unique<CsvLogWriter>();
    case LogFormat::Mlg:
        return std::make_unique<MlgLogWriter>();
    case LogFormat::Unknown:
        break;
    }
    return nullptr;
}

bool WriteLog(LogWriter &writer, const QString &path, const Log &log, const LogInfo &info, QString *error) {
    bool ok = writer.open(path, log.channels, info);
    qsizetype marker = 0;
    for (const Record &record : log.records) {
        while (ok && marker < log.markers.size() && log.markers[marker].time <= record.time)
            ok = writer.mark(log.markers[marker++]);
        ok = ok && writer.append(record);
        if (!ok)
            break;
    }
    while (ok && marker < log.markers.size())
        ok = writer.mark(log.markers[marker++]);
    ok = writer.close() && ok;
    if (!ok && error)
        *error = writer.errorString();
    return ok;
}

} // namespace Datalog
