// Any byte string handed to the calibration file reader must give a clean refusal or a whole image,
// and an accepted file must survive being written again unchanged.
#include <cstddef>
#include <cstdint>

#include "files/CalibrationFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size > (1u << 20) ? (1u << 20) : size));
    const std::optional<CalibrationFileContents> contents = DecodeCalibrationFile(bytes);
    if (!contents)
        return 0;
    if (contents->image.size() != ImageWordCount(contents->version))
        __builtin_trap();
    const QByteArray again = EncodeCalibrationFile(contents->version, contents->image);
    if (again.size() != 2 * CalibrationRecordCount(contents->version))
        __builtin_trap();
    const std::optional<CalibrationFileContents> reread = DecodeCalibrationFile(again);
    if (!reread || reread->version != contents->version || reread->image != contents->image)
        __builtin_trap();
    return 0;
}
