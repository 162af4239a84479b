#pragma once
// Streaming log writers. A recording opens one writer per format, appends every record as it comes,
// flushes at least once a second and closes at the end; whatever was flushed stays readable if the
// program dies before closing (the readers report such a file as ended early when a row or block was
// cut, and read everything before it).
#include "datalog/LogTypes.h"

#include <QByteArray>
#include <QFile>
#include <memory>

namespace Datalog {

class LogWriter {
public:
    virtual ~LogWriter();
    LogWriter(const LogWriter &) = delete;
    LogWriter &operator=(const LogWriter &) = delete;

    // Creates (or replaces) `path` and writes the header. The channel list is fixed from here on.
    bool open(const QString &path, const QList<Channel> &channels, const LogInfo &info);
    // `record.values` must hold one value per channel. Times should not go backwards.
    bool append(const Record &record);
    bool mark(const Marker &marker);
    // Hands everything written so far to the operating system.
    bool flush();
    // Writes what the format still holds back, then closes. Also done by the destructor.
    bool close();

    bool isOpen() const { return file_.isOpen(); }
    const QList<Channel> &channels() const { return channels_; }
    QString errorString() const { return error_; }

protected:
    LogWriter() = default;
    virtual QByteArray header(const LogInfo &info) = 0;
    virtual QByteArray recordBytes(const Record &record) = 0;
    virtual QByteArray markerBytes(const Marker &marker) = 0;
    virtual QByteArray closingBytes() { return {}; }
    void setError(const QString &message); // for header() when it returns nothing

    QList<Channel> channels_;

private:
    bool write(const QByteArray &bytes);
    bool fail(const QString &message);

    QFile file_;
    QString error_;
};

// A writer for `format` (binary logs in format version 2); null for LogFormat::Unknown.
std::unique_ptr<LogWriter> MakeLogWriter(LogFormat format);

// A whole log in one go: records in order, each marker before the first record that is not earlier.
bool WriteLog(LogWriter &writer, const QString &path, const Log &log, const LogInfo &info,
              QString *error = nullptr);

} // namespace Datalog
