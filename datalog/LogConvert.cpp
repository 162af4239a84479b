#include "datalog/LogConvert.h"

#include "datalog/CsvLog.h"
#include "datalog/LiveChannels.h"
#include "datalog/LogWriter.h"
#include "datalog/MlgLog.h"

#include <QFileInfo>

namespace Datalog {

bool ReadLog(const QString &path, Log *log, QString *error) {
    switch (FormatForPath(path)) {
    case LogFormat::Csv:
        return ReadCsvLog(path, log, error, AllLiveChannels());
    case LogFormat::Mlg:
        return ReadMlgLog(path, log, error);
    case LogFormat::Unknown:
        break;
    }
    if (error)
        *error = QStringLiteral("%1 is neither a .csv nor a .mlg log.").arg(path);
    return false;
}

bool ConvertLog(const QString &from, const QString &to, const LogInfo &info, QString *error,
                bool *endedEarly) {
    const std::unique_ptr<LogWriter> writer = MakeLogWriter(FormatForPath(to));
    if (!writer) {
        if (error)
            *error = QStringLiteral("%1 is neither a .csv nor a .mlg log.").arg(to);
        return false;
    }
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(to).absoluteFilePath()) {
        if (error)
            *error = QStringLiteral("A log cannot be converted into itself.");
        return false;
    }
    Log log;
    if (!ReadLog(from, &log, error))
        return false;
    if (endedEarly)
        *endedEarly = log.endedEarly;
    LogInfo header = info;
    if (!header.start.isValid())
        header.start = log.start.isValid() ? log.start : QFileInfo(from).lastModified();
    return WriteLog(*writer, to, log, header, error);
}

} // namespace Datalog
