#pragma once
// The binary log ("MLVLG") that tuners' log viewers read. Numbers are big-endian.
//
// Header, format version 2 (24 bytes, then 89 bytes per field):
//   "MLVLG\0", u16 version 2, u32 Unix time of the start, u32 offset of the info text,
//   u32 offset of the first data block, u16 bytes of one record's values, u16 field count;
//   per field: u8 type, 34 bytes name, 10 bytes unit, u8 display style, f32 scale, f32 transform,
//   s8 digits, 34 bytes category (texts ASCII, NUL-padded; shown value = (raw + transform) x scale).
// Format version 1 (kept for older viewers and converters that read nothing newer) differs only in
// a u16 info-text offset (22-byte header) and 55-byte fields without the category.
// The info text follows the fields, NUL-terminated, and the data blocks follow it directly:
//   u8 block type (0 record, 1 marker), u8 rolling counter (every block), u16 time stamp in 10 us
//   (wraps every 0.65536 s), then for a record the values in field order and a u8 checksum (low 8
//   bits of the sum of the value bytes), for a marker 50 bytes of NUL-padded text (UTF-8, cut at a
//   whole character).
//
// The fields written: first "Time" [s] (U32 milliseconds, scale 0.001), so a reader needs no
// unwrapping of the time stamps; then each channel, and right after each channel that may be missing
// its companion "<name> valid" (U08, 1 = present, 0 = missing). A missing value is written as the
// sentinel of its type: U08 0xFF, S08 0x80 (-128), U16 0xFFFF, S16 0x8000 (-32768), U32 0xFFFFFFFF,
// S32 0x80000000, S64 0x8000000000000000, F32 quiet NaN 0x7FC00000. A present value of such a channel
// is held off the sentinel (255 is written as 254, -128 as -127, ...); other values are held within
// the range of their type. Units are ASCII: "°C" is written "C" (and read back as "°C").
#include "datalog/LogWriter.h"

namespace Datalog {

class MlgLogWriter : public LogWriter {
public:
    explicit MlgLogWriter(int formatVersion = 2);
    ~MlgLogWriter() override;

protected:
    QByteArray header(const LogInfo &info) override;
    QByteArray recordBytes(const Record &record) override;
    QByteArray markerBytes(const Marker &marker) override;

private:
    QByteArray blockStart(std::uint8_t type, double time);

    int version_;
    std::uint8_t counter_ = 0;
    double lastTime_ = 0;
};

// The info text a writer puts into the header: program, ECU version and serial number, capture date.
QString MlgInfoText(const LogInfo &info);

// Reads a binary log of format version 1 or 2. Record times come from a "Time" field when there is
// one, else from the unwrapped time stamps (as do marker times, after the record before them). The
// header's record length is not trusted: the fields' types give it. A block cut short, a record
// whose checksum fails, a block out of counter sequence or an unknown block type ends the reading: everything
// before it is returned and the log is marked as ended early. False with `error` set when the header cannot
// be read.
bool ReadMlgLog(const QString &path, Log *log, QString *error);

} // namespace Datalog
