#include "app/CalibrationTransfer.h"

#include "app/AppContext.h"
#include "app/DataSetCodec.h"
#include "app/VersionChecks.h"
#include "core/Dialogs.h"
#include "core/Encoding.h"
#include "core/FieldCatalogue.h"
#include "core/FirmwareVersion.h"
#include "core/ImageCompare.h"
#include "core/ImageLayout.h"
#include "core/Timers.h"
#include "link/Link.h"
#include "link/TransferMachine.h"
#include "link/TransferPlan.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

#include <QTimer>
#include <algorithm>

namespace {
const QColor White(255, 255, 255);
const QColor Red(255, 0, 0);

// The names of the fields holding any of `words`, in address order.
QStringList FieldsHolding(const QString &version, const QVector<int> &words,
                          const QVector<std::uint16_t> &image) {
    QStringList names;
    for (const CalibrationField &field : CalibrationFields(version, image))
        for (int word : field.words)
            if (words.contains(word)) {
                names << field.name;
                break;
            }
    return names;
}

QString ReadBackText(const WrittenCalibration &written) {
    switch (written.check) {
    case WrittenCalibration::Check::Verified:
        return QStringLiteral("Down-load written and verified: the ECU holds every word that was written.");
    case WrittenCalibration::Check::ReadBackFailed:
        return QStringLiteral("Down-load written, but NOT verified: the calibration could not be read back "
                              "from the ECU.");
    case WrittenCalibration::Check::Differs: {
        constexpr int Shown = 15;
        const QStringList &names = written.differingFields;
        QString text = QStringLiteral("Down-load FAILED verification: the ECU holds other values than were "
                                      "written in %1 field(s):\n\n")
                           .arg(names.size());
        text += names.mid(0, Shown).join(QLatin1Char('\n'));
        if (names.size() > Shown)
            text += QStringLiteral("\n... and %1 more").arg(names.size() - Shown);
        return text + QStringLiteral("\n\nWrite the calibration again.");
    }
    case WrittenCalibration::Check::NotChecked:
        break;
    }
    return QString();
}
} // namespace

CalibrationTransfer::CalibrationTransfer(AppContext &ctx, QObject *parent) : QObject(parent), ctx_(ctx) {
    TForm1 *w = ctx_.form1;
    if (!w)
        return;
    connect(w->SpeedButton_Upload, &QToolButton::clicked, this,
            &CalibrationTransfer::SpeedButton_UploadClick);
    connect(w->SpeedButton1, &QToolButton::clicked, this, &CalibrationTransfer::SpeedButton_UploadClick);
    connect(w->SpeedButton_Download, &QToolButton::clicked, this,
            &CalibrationTransfer::SpeedButton_DownloadClick);
    connect(w->SpeedButton2, &QToolButton::clicked, this, &CalibrationTransfer::SpeedButton_DownloadClick);
    wireLink();
}

void CalibrationTransfer::wireLink() {
    Link *link = ctx_.link;
    if (!link)
        return;
    connect(link, &Link::readProgress, this, &CalibrationTransfer::onReadProgress);
    connect(link, &Link::imageRead, this, &CalibrationTransfer::onImageRead);
    connect(link, &Link::versionBeforeWrite, this, &CalibrationTransfer::onVersionBeforeWrite);
    connect(link, &Link::restartAccepted, this, &CalibrationTransfer::onRestartReply);
    connect(link, &Link::liveFrameReceived, this, &CalibrationTransfer::onLiveFrameAfterWrite);
    connect(link, &Link::wentOffline, this, &CalibrationTransfer::onOfflineDuringReadBack);
}

void CalibrationTransfer::prepareTransfer(const QString &caption) {
    TForm1 *w = ctx_.form1;
    w->EnableValueLabels(false);
    ctx_.link->StopLink();
    ctx_.link->ResetCommErrors();
    w->Panel_power_to_system_was_interrupted->hide();
    w->GroupBox_up_download_menu->hide();
    // However the transfer was started, nothing else may cut into it from the toolbar.
    w->EnableMainControls(false);
    w->GroupBox_gauge_up_down_loading->setTitle(caption);
    w->Gauge_up_down_loading->setValue(0);
    w->GroupBox_gauge_up_down_loading->show();
    w->GroupBox_gauge_up_down_loading->raise();
}

// ---- reading -------------------------------------------------------------------------------------------

void CalibrationTransfer::SpeedButton_UploadClick() {
    if (!ctx_.link || !ctx_.form1)
        return;
    ctx_.link->Request(LineActivity::Connecting, [this] {
        prepareTransfer(QStringLiteral("Up_loading"));
        ctx_.link->ArmDelayedAction(DelayedAction::Connect);
    });
}

void CalibrationTransfer::StartRead() {
    if (!ctx_.link || !ctx_.form1 || !ctx_.form3)
        return;
    const int count = ImageWordCount(ctx_.form3->currentVersion());
    if (ctx_.transfer)
        ctx_.transfer->ReadCount = count;
    ctx_.form1->Gauge_up_down_loading->setRange(0, 2 * count + 2);
    ctx_.form1->Gauge_up_down_loading->setValue(0);
    ctx_.link->ReadImage(0, count);
}

void CalibrationTransfer::onReadProgress(int bytes) {
    if (!ctx_.form1)
        return;
    QProgressBar *gauge = ctx_.form1->Gauge_up_down_loading;
    gauge->setValue(std::clamp(bytes, gauge->minimum(), gauge->maximum()));
}

void CalibrationTransfer::onImageRead(int start, const QVector<std::uint16_t> &words) {
    if (start != 0)
        return;
    if (readBack_ == ReadBack::Reading) {
        checkReadBack(words);
        return;
    }
    DecodeReadImage(words);
}

void CalibrationTransfer::DecodeReadImage(const QVector<std::uint16_t> &words) {
    TForm1 *w = ctx_.form1;
    if (!w)
        return;
    if (beforeReadReplacesControls)
        beforeReadReplacesControls();
    DecodeImage(ctx_, words);
    calibrationKnown_ = true;
    if (onImageReadFromEcu && ctx_.form3)
        onImageReadFromEcu(ctx_.form3->currentVersion(), words);
    DataGrid *fuel = w->AdvStringGrid_fuel;
    for (int row = 1; row <= MapRows; ++row)
        for (int column = 1; column <= MapColumns; ++column)
            fuel->setCellColor(column, row, White);
    if (ctx_.link)
        ctx_.link->StopReplyTimeout();
    w->GroupBox_gauge_up_down_loading->hide();
    w->EnableMapGrids(true);
    // The calibration is in; the ECU is online and nothing else is running, so the toolbar is free and
    // the dashboard follows the engine again.
    w->EnableMainControls(true);
    if (ctx_.link)
        ctx_.link->RequestLiveData();
}

// ---- writing -------------------------------------------------------------------------------------------

void CalibrationTransfer::SpeedButton_DownloadClick() {
    if (!ctx_.link || !ctx_.form1 || !ctx_.form3 || !ctx_.transfer || ctx_.link->busy())
        return;
    // Nothing the user chose is in the controls: writing them would replace the ECU's calibration with
    // the start-up zeros.
    if (!calibrationKnown_ && !confirmBlindWrite())
        return;
    ctx_.link->Request(LineActivity::Writing, [this] { beginDownload(); });
}

bool CalibrationTransfer::confirmBlindWrite() {
    if (!ctx_.dialogs)
        return true;
    DialogRequest request;
    request.kind = DialogKind::Warning;
    request.text = QStringLiteral(
        "No calibration has been read from the ECU or loaded from a file since the program started.\r\r\n"
        "Down-load would write the empty start-up map and the default options into the ECU, replacing its "
        "calibration.\r\r\nWrite them anyway?");
    request.buttons = {DialogButton::Yes, DialogButton::No};
    request.defaultButton = DialogButton::No;
    return ctx_.dialogs->ask(request) == DialogButton::Yes;
}

void CalibrationTransfer::beginDownload() {
    TForm1 *w = ctx_.form1;
    prepareTransfer(QStringLiteral("Down_loading"));
    if (!ApplyVersionLayout(ctx_) || !ConfirmIfEcuNewer(ctx_)) {
        cancelWrite();
        return;
    }
    const int size = ImageWordCount(ctx_.form3->currentVersion());
    w->Gauge_up_down_loading->setRange(0, 2 * size + 2);
    w->Gauge_up_down_loading->setValue(0);
    ctx_.transfer->Begin(Step::VersionCheck, false);
    ctx_.link->OpenPortIfClosed();
    w->EnableValueLabels(false);
    w->SetOnline(true);
    ctx_.link->ArmDelayedAction(DelayedAction::RunSteps);
}

bool CalibrationTransfer::StartOptionsWrite(int gaugeMaximum) {
    TForm1 *w = ctx_.form1;
    if (!ctx_.link || !w || !ctx_.transfer)
        return false;
    return ctx_.link->Request(LineActivity::Writing, [this, w, gaugeMaximum] {
        ctx_.link->StopLink();
        w->EnableMainControls(false);
        w->AdvStringGrid_fuel->setEnabled(false);
        w->AdvStringGrid_injection_boost_correction->setEnabled(false);
        w->GroupBox_gauge_up_down_loading->setTitle(QStringLiteral("Down_loading"));
        w->GroupBox_gauge_up_down_loading->show();
        w->GroupBox_gauge_up_down_loading->raise();
        w->Gauge_up_down_loading->setRange(0, gaugeMaximum);
        w->Gauge_up_down_loading->setValue(0);
        // The calibration write from its option words on; the maps are not written.
        prepareWriter();
        ctx_.link->ResumeReception();
        ctx_.transfer->Begin(Step::OptionWords);
        ctx_.transfer->StepIndex = 0;
    });
}

void CalibrationTransfer::cancelWrite() {
    TForm1 *w = ctx_.form1;
    ctx_.link->StopLink();
    if (ctx_.transfer)
        ctx_.transfer->Finish();
    ctx_.link->End(LineActivity::Writing);
    w->GroupBox_gauge_up_down_loading->hide();
    w->EnableMainControls(true);
    // Nothing was written: the maps are editable again and, online, the dashboard resumes.
    w->EnableMapGrids(true);
    if (w->IsOnline())
        ctx_.link->ArmDelayedAction(DelayedAction::Poll);
}

void CalibrationTransfer::onVersionBeforeWrite(const QString &ecuVersion) {
    TForm1 *w = ctx_.form1;
    if (!w || !ctx_.form3 || !ctx_.transfer)
        return;
    switch (ClassifyVersion(ecuVersion)) {
    case VersionKind::Recognised: {
        const QString fileVersion = ctx_.form3->currentVersion();
        if (ecuVersion != fileVersion && ctx_.dialogs &&
            ctx_.dialogs->show(DialogKind::Warning, FileMismatchText(fileVersion, ecuVersion),
                               {DialogButton::Cancel, DialogButton::Ignore}) == DialogButton::Cancel) {
            cancelWrite();
            return;
        }
        // The blocks of the firmware the controls hold.
        prepareWriter();
        ctx_.transfer->Begin(Step::FuelMap, false);
        ctx_.link->ArmDelayedAction(DelayedAction::RunSteps);
        return;
    }
    case VersionKind::UnsupportedFuel:
    case VersionKind::Foreign:
        ctx_.link->StopLink();
        ctx_.transfer->Finish();
        w->SetOnline(false);
        w->GroupBox_gauge_up_down_loading->hide();
        if (ctx_.dialogs)
            ctx_.dialogs->warning(ClassifyVersion(ecuVersion) == VersionKind::UnsupportedFuel
                                      ? UnsupportedBeforeWriteText(ecuVersion)
                                      : ForeignBeforeWriteText(ecuVersion));
        return;
    }
}

void CalibrationTransfer::addProgress(int bytes) {
    QProgressBar *gauge = ctx_.form1->Gauge_up_down_loading;
    gauge->setValue(std::min(gauge->value() + bytes, gauge->maximum()));
}

void CalibrationTransfer::prepareWriter() {
    writer_ = std::make_unique<PlanWriter>(*ctx_.link);
    const QString version = ctx_.form3->currentVersion();
    written_ = WrittenCalibration();
    written_.version = version;
    written_.image = EncodeImage(ctx_);
    written_.image.resize(ImageWordCount(version));
    sent_ = QVector<bool>(written_.image.size(), false);
    writer_->Prepare(version, [this](int address, int count) {
        const QVector<std::uint16_t> words = EncodeWords(ctx_, address, count);
        for (int i = 0; i < words.size() && address + i < written_.image.size(); ++i) {
            written_.image[address + i] = words[i];
            sent_[address + i] = true;
        }
        return words;
    });
    writer_->onBlockSent = [this](int bytes) { addProgress(bytes); };
    writer_->onStepRun = [this](const WritePlanStep &step) {
        if (step.step == Step::FuelMap)
            ctx_.form1->ActiveMapGrid = FuelMapGrid;
        if (step.step == Step::BoostMap && !step.blocks.isEmpty())
            ctx_.form1->ActiveMapGrid = BoostMapGrid;
    };
    writer_->onStepDone = [this](const WritePlanStep &step) {
        // The per-cell fuel map write of older firmware leaves no cell marked as changed.
        if (step.step == Step::FuelMap && step.singleWords)
            resetRedCells();
        if (step.next == Step::Restart)
            ctx_.form1->GroupBox_gauge_up_down_loading->hide();
    };
}

void CalibrationTransfer::resetRedCells() {
    TForm1 *w = ctx_.form1;
    bool marked = false;
    for (DataGrid *grid : {w->AdvStringGrid_fuel, w->AdvStringGrid_injection_boost_correction})
        for (int row = 1; row <= MapRows && !marked; ++row)
            for (int column = 1; column <= MapColumns && !marked; ++column)
                marked = grid->cellColor(column, row) == Red;
    if (!marked)
        return;
    for (DataGrid *grid : {w->AdvStringGrid_fuel, w->AdvStringGrid_injection_boost_correction})
        for (int row = 1; row <= MapRows; ++row)
            for (int column = 1; column <= MapColumns; ++column)
                grid->setCellColor(column, row, White);
}

bool CalibrationTransfer::RunStep(int step) {
    if (!IsWriteStep(step) || !ctx_.link || !ctx_.form1 || !ctx_.form3 || !ctx_.transfer)
        return false;
    if (!writer_)
        prepareWriter();
    return writer_->RunStep(step);
}

void CalibrationTransfer::onRestartReply() {
    TForm1 *w = ctx_.form1;
    if (!w)
        return;
    w->EnableMainControls(true);
    w->EnableMapGrids(true);
    if (ctx_.form3) {
        ctx_.form3->ShowCorrectionTableName();
        ctx_.form3->ShowCorrectionEnables();
    }
    if (ctx_.transfer)
        ctx_.transfer->Finish();
    // The link polls once after "R"; the read-back waits for that reply, so the line is quiet when the
    // "Z" goes.
    if (verify_ && ctx_.link && !written_.version.isEmpty())
        readBack_ = ReadBack::Due;
    else
        finishWrite(WrittenCalibration::Check::NotChecked);
}

// ---- the read-back of a verified write -------------------------------------------------------------------

void CalibrationTransfer::onLiveFrameAfterWrite() {
    if (readBack_ == ReadBack::Due)
        QTimer::singleShot(0, this, &CalibrationTransfer::startReadBack);
}

void CalibrationTransfer::startReadBack() {
    if (readBack_ != ReadBack::Due || !ctx_.link || !ctx_.form1)
        return;
    // Refused while something else talks: the next live reply tries again.
    ctx_.link->Request(LineActivity::Reading, [this] {
        readBack_ = ReadBack::Reading;
        TForm1 *w = ctx_.form1;
        ctx_.link->StopLink();
        ctx_.link->ResumeReception();
        const int count = int(written_.image.size());
        w->GroupBox_gauge_up_down_loading->setTitle(QStringLiteral("Verifying"));
        w->Gauge_up_down_loading->setRange(0, 2 * count + 2);
        w->Gauge_up_down_loading->setValue(0);
        w->GroupBox_gauge_up_down_loading->show();
        w->GroupBox_gauge_up_down_loading->raise();
        ctx_.link->ReadImage(0, count);
    });
}

void CalibrationTransfer::checkReadBack(const QVector<std::uint16_t> &words) {
    readBack_ = ReadBack::None;
    ctx_.form1->GroupBox_gauge_up_down_loading->hide();
    ctx_.link->StopReplyTimeout();
    ctx_.link->RequestLiveData();
    // Only the words that went on the line are compared; the others were never asked of the ECU.
    QVector<std::uint16_t> expected = words;
    expected.resize(written_.image.size());
    for (int at = 0; at < expected.size(); ++at)
        if (sent_.value(at))
            expected[at] = written_.image[at];
    const QVector<int> differing = DifferingWords(expected, words, int(expected.size()));
    if (differing.isEmpty())
        finishWrite(WrittenCalibration::Check::Verified);
    else
        finishWrite(WrittenCalibration::Check::Differs,
                    FieldsHolding(written_.version, differing, written_.image));
}

void CalibrationTransfer::onOfflineDuringReadBack() {
    if (readBack_ == ReadBack::None)
        return;
    readBack_ = ReadBack::None;
    if (ctx_.form1)
        ctx_.form1->GroupBox_gauge_up_down_loading->hide();
    finishWrite(WrittenCalibration::Check::ReadBackFailed);
}

void CalibrationTransfer::finishWrite(WrittenCalibration::Check check, const QStringList &differing) {
    if (written_.version.isEmpty())
        return;
    WrittenCalibration written = std::move(written_);
    written_ = WrittenCalibration();
    written.check = check;
    written.differingFields = differing;
    if (onWritten)
        onWritten(written);
    if (check == WrittenCalibration::Check::NotChecked || !ctx_.dialogs)
        return;
    // After the reply has been dealt with: a modal box must not sit inside the link's reply handling.
    const DialogKind kind =
        check == WrittenCalibration::Check::Verified ? DialogKind::Information : DialogKind::Warning;
    const QString text = ReadBackText(written);
    Dialogs *dialogs = ctx_.dialogs;
    QTimer::singleShot(0, this, [dialogs, kind, text] { dialogs->show(kind, text); });
}
