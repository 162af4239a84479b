#pragma once
// Reading the whole calibration from the ECU ("Up-load": one "Z") and writing it back ("Down-load": the
// version read "v", then the image region by region as "E" blocks, or single "C" words below "3FA",
// then "R"). The write runs on the shared step machine: this part owns the steps -1, 2..14, 90 and 100.
//
// Gauge: the read shows the reply bytes received; the write adds each block's data bytes (2 per "C").
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>
#include <cstdint>

#include "link/LinkHooks.h"

struct AppContext;

class CalibrationTransfer : public QObject, public LinkHooks {
    Q_OBJECT
public:
    explicit CalibrationTransfer(AppContext &ctx, QObject *parent = nullptr);

    // "Up-load" (also SpeedButton1 and Alt+S): the connect sequence runs again and ends in StartRead.
    void SpeedButton_UploadClick();
    // "Down-load" (also SpeedButton2 and Alt+P).
    void SpeedButton_DownloadClick();
    // "Z" for the whole image of this firmware.
    void StartRead();
    // The accepted "Z" reply into the windows.
    void DecodeReadImage(const QVector<std::uint16_t> &words);

    // The step machine asks; true when the step is one of the calibration write's and has run.
    bool RunStep(int step);
    static bool IsWriteStep(int step);

    // Link events.
    void onReadProgress(int bytes) override;
    void onImageRead(int start, const QVector<std::uint16_t> &words) override;
    void onVersionBeforeWrite(const QString &version) override;
    void onRestartReply() override;
    void setOffline() override;

private:
    void prepareTransfer(const QString &caption);
    void cancelWrite();
    // One "E" of `bytes` data bytes from image address `address`.
    void sendBlock(int address, int bytes);
    // One "C" of the image word at `address`.
    void sendWord(int address);
    void addProgress(int bytes);
    // Steps with a fixed list of blocks: blocks[StepIndex - 1] is sent, then `next`.
    struct Block {
        int address;
        int bytes;
    };
    void runBlocks(const QVector<Block> &blocks, int next);
    void stepFuelMap();
    void stepBoostMap();
    void stepOldWords(int first, int count, int next);
    void resetRedCells();

    AppContext &ctx_;
};
