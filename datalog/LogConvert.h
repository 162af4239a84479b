#pragma once
// Reading a log of either format, and converting between them; the extension (".csv", ".mlg")
// chooses the format on both sides.
#include "datalog/LogTypes.h"

namespace Datalog {

// A CSV log's channels are described by the live channel table where names and units match.
bool ReadLog(const QString &path, Log *log, QString *error);

// Converts `from` into `to`. A cut-off source converts as far as it reads (`*endedEarly` tells).
// `info` fills the binary log's header; its start defaults to the source's start or, for a CSV
// source, to the file's time of last change.
bool ConvertLog(const QString &from, const QString &to, const LogInfo &info, QString *error,
                bool *endedEarly = nullptr);

} // namespace Datalog
