#include "datalog/Recording.h"

#include "datalog/CsvLog.h"
#include "datalog/MlgLog.h"

#include <QDateTime>
#include <QDir>

namespace Datalog {

Recording::Recording(QObject *parent) : QObject(parent) {
    flushTimer_.setInterval(FlushIntervalMs);
    connect(&flushTimer_, &QTimer::timeout, this, &Recording::flush);
}

Recording::~Recording() {
    stop();
}

QString Recording::BaseName(const QDateTime &when) {
    return when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

bool Recording::start(const QString &folder, const QList<Channel> &channels, const LogInfo &info) {
    stop();
    error_.clear();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot make the folder %1").arg(folder));
    const QDateTime now = info.start.isValid() ? info.start : QDateTime::currentDateTime();
    QString base = QDir(folder).filePath(BaseName(now));
    // Two recordings within one second must not overwrite each other.
    for (int n = 2;
         QFile::exists(base + QStringLiteral(".csv")) || QFile::exists(base + QStringLiteral(".mlg")); ++n)
        base = QDir(folder).filePath(BaseName(now) + QStringLiteral("_%1").arg(n));
    csvPath_ = base + QStringLiteral(".csv");
    logPath_ = base + QStringLiteral(".mlg");
    LogInfo withStart = info;
    withStart.start = now;
    auto csv = std::make_unique<CsvLogWriter>();
    auto log = std::make_unique<MlgLogWriter>(2);
    if (!csv->open(csvPath_, channels, withStart))
        return fail(csvPath_ + QStringLiteral(": ") + csv->errorString());
    if (!log->open(logPath_, channels, withStart))
        return fail(logPath_ + QStringLiteral(": ") + log->errorString());
    csv_ = std::move(csv);
    log_ = std::move(log);
    records_ = 0;
    markers_ = 0;
    clock_.start();
    flush();
    flushTimer_.start();
    return true;
}

double Recording::elapsed() const {
    return isRecording() ? double(clock_.nsecsElapsed()) / 1e9 : 0.0;
}

bool Recording::append(const QList<Value> &values) {
    if (!isRecording())
        return false;
    Record record;
    record.time = elapsed();
    record.values = values;
    if (!writeBoth([&](LogWriter &writer) { return writer.append(record); }))
        return false;
    ++records_;
    emit changed();
    return true;
}

bool Recording::mark(const QString &text) {
    if (!isRecording())
        return false;
    Marker marker;
    marker.time = elapsed();
    marker.text = text.trimmed().isEmpty() ? QStringLiteral("Marker %1").arg(markers_ + 1) : text.trimmed();
    if (!writeBoth([&](LogWriter &writer) { return writer.mark(marker); }))
        return false;
    ++markers_;
    emit changed();
    return true;
}

bool Recording::writeBoth(const std::function<bool(LogWriter &)> &write) {
    if (!write(*csv_))
        return fail(csvPath_ + QStringLiteral(": ") + csv_->errorString());
    if (!write(*log_))
        return fail(logPath_ + QStringLiteral(": ") + log_->errorString());
    return true;
}

void Recording::flush() {
    if (isRecording())
        writeBoth([](LogWriter &writer) { return writer.flush(); });
}

void Recording::stop() {
    flushTimer_.stop();
    if (csv_)
        csv_->close();
    if (log_)
        log_->close();
    csv_.reset();
    log_.reset();
}

bool Recording::fail(const QString &error) {
    error_ = error;
    const bool was = isRecording();
    stop();
    if (was)
        emit failed(error);
    return false;
}

} // namespace Datalog
