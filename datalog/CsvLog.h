#pragma once
// The CSV log, made to open in a spreadsheet as it is: UTF-8 with a byte-order mark (so that "°C"
// survives), comma-separated, "." as the decimal point whatever the locale, CR LF line ends.
// One header row "Time [s]", "<name> [<unit>]" (just "<name>" without a unit) ..., "Marker"; then one
// row per record: the time with three decimals, each value with its channel's digits, a missing value
// as an empty cell. A marker waits for the next record and goes into that row's "Marker" cell (markers
// meeting in one row are joined by "; "); markers left at the end get a row of their own with empty
// values. Cells are quoted only where CSV needs it (comma, quote, line break).
#include "datalog/LogWriter.h"

namespace Datalog {

class CsvLogWriter : public LogWriter {
public:
    ~CsvLogWriter() override;

protected:
    QByteArray header(const LogInfo &info) override;
    QByteArray recordBytes(const Record &record) override;
    QByteArray markerBytes(const Marker &marker) override;
    QByteArray closingBytes() override;

private:
    QByteArray row(double time, const QList<Value> &values);

    QStringList pendingMarkers_;
    double pendingTime_ = 0;
};

// Reads a CSV log. The file carries names, units and values only, so each channel takes its
// description from `known` (matched by name and unit) or else is an F32 channel with as many digits
// as its values show; a channel with an empty cell may be missing. A row of empty values with a
// marker is a marker alone; other markers take the time of their row. A last row without its line end
// is dropped and reported as ended early. False with `error` set when the file is no such log.
bool ReadCsvLog(const QString &path, Log *log, QString *error, const QList<Channel> &known = {});

} // namespace Datalog
