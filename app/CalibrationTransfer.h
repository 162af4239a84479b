#pragma once
// Reading the whole calibration from the ECU ("Up-load": one "Z") and writing it back ("Down-load": the
// version read "v", then the image region by region as "E" blocks, or single "C" words below "3FA",
// then "R"). The write runs the plan of link/TransferPlan on the shared step machine: this part owns the
// steps -1, 2..14, 90 and 100.
//
// Gauge: the read shows the reply bytes received; the write adds each block's data bytes (2 per "C").
#include <QObject>
#include <QString>
#include <QVector>
#include <cstdint>

#include <memory>

#include "link/LinkTypes.h"
#include "link/PlanWriter.h"

struct AppContext;

class CalibrationTransfer : public QObject {
    Q_OBJECT
public:
    explicit CalibrationTransfer(AppContext &ctx, QObject *parent = nullptr);

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

    AppContext &ctx_;
    std::unique_ptr<PlanWriter> writer_;
    bool calibrationKnown_ = false;
};
