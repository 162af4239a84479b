#pragma once
// What a datalog holds, whatever the file format: channels, records and markers.
#include <QDateTime>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

namespace Datalog {

// Storage type of a channel in the binary log; the codes are those written to the file.
enum class FieldType : std::uint8_t {
    U08 = 0,
    S08 = 1,
    U16 = 2,
    S16 = 3,
    U32 = 4,
    S32 = 5,
    S64 = 6,
    F32 = 7
};

// How log viewers show a channel; the codes are those written to the file.
enum class DisplayStyle : std::uint8_t {
    Float = 0,
    Hex = 1,
    Bits = 2,
    Date = 3,
    OnOff = 4,
    YesNo = 5,
    HighLow = 6,
    ActiveInactive = 7,
    TrueFalse = 8,
};

struct Channel {
    QString name;
    QString unit;
    FieldType type = FieldType::F32;
    DisplayStyle style = DisplayStyle::Float;
    // Stored raw r stands for (r + transform) x scale.
    double scale = 1;
    double transform = 0;
    int digits = 0; // decimals shown (and written to the CSV)
    QString category;
    bool mayBeMissing = false;

    bool operator==(const Channel &) const = default;
};

using Value = std::optional<double>; // nullopt: missing

struct Record {
    double time = 0;     // seconds from the start of the log
    QList<Value> values; // one per channel, in channel order

    bool operator==(const Record &) const = default;
};

struct Marker {
    double time = 0;
    QString text;

    bool operator==(const Marker &) const = default;
};

// Written into the binary log's info text; the CSV has no place for it.
struct LogInfo {
    QString program;    // name and version, "QVR Fuel 3.05"
    QString ecuVersion; // firmware version string
    QString ecuSerial;
    QDateTime start; // wall-clock time of the first record
};

struct Log {
    QList<Channel> channels;
    QList<Record> records;
    QList<Marker> markers;
    QString infoText; // binary log only
    QDateTime start;  // binary log only
    // The file stopped inside a row or block (a recording that did not close): everything before
    // the damaged tail was read; `endNote` says where it stopped.
    bool endedEarly = false;
    QString endNote;
};

enum class LogFormat { Unknown, Csv, Mlg };

// By extension, ".csv" or ".mlg" (any case).
LogFormat FormatForPath(const QString &path);

} // namespace Datalog
