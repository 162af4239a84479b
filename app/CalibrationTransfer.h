#pragma once
// Reading the whole calibration from the ECU ("Up-load": one "Z") and writing it back ("Down-load": the
// version read "v", then the image region by region as "E" blocks, or single "C" words below "3FA",
// then "R"). The write runs the plan of link/TransferPlan on the shared step machine: this part owns the
// steps -1, 2..14, 90 and 100.
//
// Gauge: the read shows the reply bytes received; the write adds each block's data bytes (2 per "C").
//
// With "Verify after writing" on, the "R" reply is followed by a read-back: after the first live reply
// the whole image is read with "Z" as one conversation and compared word for word with what was
// written (510 and 511 excepted); one box tells the outcome. Off, the line carries exactly what it
// always did.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>

#include <functional>
#include <memory>

#include "link/LinkTypes.h"
#include "link/PlanWriter.h"

struct AppContext;
class Dialogs;
class Link;

// A finished write: the image as written (the words sent over the controls' encoding of the rest) and
// how its read-back went.
struct WrittenCalibration {
    enum class Check { NotChecked, Verified, Differs, ReadBackFailed };
    QString version;
    QVector<std::uint16_t> image;
    Check check = Check::NotChecked;
    QStringList differingFields; // Differs: the names of the fields the ECU holds otherwise
};

class CalibrationTransfer : public QObject {
    Q_OBJECT
public:
    // Needs the main and options windows and the message boxes in `ctx`.
    CalibrationTransfer(AppContext &ctx, Link &link, QObject *parent = nullptr);

    // "Up-load" (also SpeedButton1 and Alt+S): the connect sequence runs again and ends in StartRead.
    // Refused while another conversation is on the line.
    void SpeedButton_UploadClick();
    // "Down-load" (also SpeedButton2 and Alt+P). Refused while another conversation is on the line; asks
    // first when nothing was read from the ECU or loaded from a file since the start.
    void SpeedButton_DownloadClick();
    // "Z" for the whole image of this firmware.
    void StartRead();
    // The accepted "Z" reply into the windows.
    void DecodeReadImage(const QVector<std::uint16_t> &words);
    // The options window's Ok while online: the write from the option words on (the maps stay).
    bool StartOptionsWrite(int gaugeMaximum);
    // A calibration is in the controls: read from the ECU or loaded from a file (or given back from
    // elsewhere) since the start.
    void NoteCalibrationKnown() { calibrationKnown_ = true; }
    bool CalibrationKnown() const { return calibrationKnown_; }

    // "Verify after writing" (remembered by the caller).
    void setVerifyAfterWriting(bool on) { verify_ = on; }
    bool verifyAfterWriting() const { return verify_; }

    // Ports for the history: the controls are about to be replaced by a read ("before up-load"); an image
    // was read from the ECU and is now in the controls; a write ended with "R" (and its read-back, if on).
    std::function<void()> beforeReadReplacesControls;
    std::function<void(const QString &version, const QVector<std::uint16_t> &image)> onImageReadFromEcu;
    std::function<void(const WrittenCalibration &written)> onWritten;

    // The step machine asks; true when the step is one of the calibration write's and has run.
    bool RunStep(int step);
    static bool IsWriteStep(int step) { return IsCalibrationWriteStep(step); }

private:
    void wireLink();
    void onReadProgress(int bytes);
    void onImageRead(int start, const QVector<std::uint16_t> &words);
    void onVersionBeforeWrite(const QString &version);
    void onRestartReply();
    void beginDownload();
    bool confirmBlindWrite();
    void prepareTransfer(const QString &caption);
    void cancelWrite();
    // The write's plan for the firmware the controls hold, its words encoded from the controls.
    void prepareWriter();
    void addProgress(int bytes);
    void resetRedCells();
    // The read-back of a verified write.
    void onLiveFrameAfterWrite();
    void startReadBack();
    void checkReadBack(const QVector<std::uint16_t> &words);
    void onOfflineDuringReadBack();
    void finishWrite(WrittenCalibration::Check check, const QStringList &differing = {});

    AppContext &ctx_;
    Link &link_;
    Dialogs &dialogs_;
    std::unique_ptr<PlanWriter> writer_;
    bool calibrationKnown_ = false;
    bool verify_ = false;
    enum class ReadBack { None, Due, Reading } readBack_ = ReadBack::None;
    // The write in progress: the image and which of its words went on the line.
    WrittenCalibration written_;
    QVector<bool> sent_;
};
