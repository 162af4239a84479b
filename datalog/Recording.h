#pragma once
// One recording of the live data: a CSV file and a binary log side by side, named after the moment the
// recording started ("2026-12-09_14-03-27.csv" / ".mlg"), every record appended to both, markers in both,
// and both flushed at least once a second so that a crash or a pulled cable loses at most the last second.
#include "datalog/LogWriter.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace Datalog {

class Recording : public QObject {
    Q_OBJECT
public:
    explicit Recording(QObject *parent = nullptr);
    ~Recording() override;

    // Starts in `folder` (made if missing). False, with errorString(), when a file cannot be made.
    bool start(const QString &folder, const QList<Channel> &channels, const LogInfo &info);
    // A record with the time since start() from the monotonic clock; `values` one per channel.
    bool append(const QList<Value> &values);
    // A marker with its text, or "Marker 1", "Marker 2", ... for an empty text.
    bool mark(const QString &text = QString());
    // Flushes and closes both files; nothing happens when not recording.
    void stop();

    bool isRecording() const { return csv_ != nullptr; }
    int records() const { return records_; }
    int markers() const { return markers_; }
    // Seconds since start().
    double elapsed() const;
    QString csvPath() const { return csvPath_; }
    QString logPath() const { return logPath_; }
    QString errorString() const { return error_; }

    // The files' base name for a start at `when`.
    static QString BaseName(const QDateTime &when);
    static constexpr int FlushIntervalMs = 1000;

signals:
    // After each record and each marker (the indicator follows them).
    void changed();
    // A write failed: the recording has stopped.
    void failed(const QString &error);

private:
    bool fail(const QString &error);
    // Has `write` write to the CSV file, then to the binary log; the first that fails stops the recording
    // with its error (false).
    bool writeBoth(const std::function<bool(LogWriter &)> &write);
    void flush();

    std::unique_ptr<LogWriter> csv_;
    std::unique_ptr<LogWriter> log_;
    QElapsedTimer clock_;
    QTimer flushTimer_;
    QString csvPath_, logPath_, error_;
    int records_ = 0;
    int markers_ = 0;
};

} // namespace Datalog
