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

CalibrationTransfer::CalibrationTransfer(AppContext &ctx, Link &link, QObject *parent)
    : QObject(parent), ctx_(ctx), link_(link), dialogs_(*ctx.dialogs) {
    Q_ASSERT(ctx.form1 && ctx.form3 && ctx.dialogs);
    TForm1 *w = ctx_.form1;
    connect(w->SpeedButton_Upload, &QToolButton::clicked, this,
            &CalibrationTransfer::SpeedButton_UploadClick);
    connect(w->SpeedButton1, &QToolButton::clicked, this, &CalibrationTransfer::SpeedButton_UploadClick);
    connect(w->SpeedButton_Download, &QToolButton::clicked, this,
            &CalibrationTransfer::SpeedButton_DownloadClick);
    connect(w->SpeedButton2, &QToolButton::clicked, this, &CalibrationTransfer::SpeedButton_DownloadClick);
    wireLink();
}

void CalibrationTransfer::wireLink() {
    Link *link = &link_;
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
    link_.StopLink();
    link_.ResetCommErrors();
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
    link_.Request(LineActivity::Connecting, [this] {
        prepareTransfer(QStringLiteral("Up_loading"));
        link_.ArmDelayedAction(DelayedAction::Connect);
    });
}

void CalibrationTransfer::StartRead() {
    const int count = ImageWordCount(ctx_.form3->currentVersion());
    link_.steps().ReadCount = count;
    ctx_.form1->Gauge_up_down_loading->setRange(0, 2 * count + 2);
    ctx_.form1->Gauge_up_down_loading->setValue(0);
    link_.ReadImage(0, count);
}

void CalibrationTransfer::onReadProgress(int bytes) {
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
    if (beforeReadReplacesControls)
        beforeReadReplacesControls();
    DecodeImage(ctx_, words);
    calibrationKnown_ = true;
    if (onImageReadFromEcu)
        onImageReadFromEcu(ctx_.form3->currentVersion(), words);
    DataGrid *fuel = w->AdvStringGrid_fuel;
    for (int row = 1; row <= MapRows; ++row)
        for (int column = 1; column <= MapColumns; ++column)
            fuel->setCellColor(column, row, White);
    link_.StopReplyTimeout();
    w->GroupBox_gauge_up_down_loading->hide();
    w->EnableMapGrids(true);
    // The calibration is in; the ECU is online and nothing else is running, so the toolbar is free and
    // the dashboard follows the engine again.
    w->EnableMainControls(true);
    link_.RequestLiveData();
}

// ---- writing -------------------------------------------------------------------------------------------

void CalibrationTransfer::SpeedButton_DownloadClick() {
    if (link_.busy())
        return;
    // Nothing the user chose is in the controls: writing them would replace the ECU's calibration with
    // the start-up zeros.
    if (!calibrationKnown_ && !confirmBlindWrite())
        return;
    link_.Request(LineActivity::Writing, [this] { beginDownload(); });
}

bool CalibrationTransfer::confirmBlindWrite() {
    DialogRequest request;
    request.kind = DialogKind::Warning;
    request.text = QStringLiteral(
        "No calibration has been read from the ECU or loaded from a file since the program started.\r\r\n"
        "Down-load would write the empty start-up map and the default options into the ECU, replacing its "
        "calibration.\r\r\nWrite them anyway?");
    request.buttons = {DialogButton::Yes, DialogButton::No};
    request.defaultButton = DialogButton::No;
    return dialogs_.ask(request) == DialogButton::Yes;
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
    link_.steps().Begin(Step::VersionCheck, false);
    link_.OpenPortIfClosed();
    w->EnableValueLabels(false);
    w->SetOnline(true);
    link_.ArmDelayedAction(DelayedAction::RunSteps);
}

bool CalibrationTransfer::StartOptionsWrite(int gaugeMaximum) {
    TForm1 *w = ctx_.form1;
    return link_.Request(LineActivity::Writing, [this, w, gaugeMaximum] {
        link_.StopLink();
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
        link_.ResumeReception();
        link_.steps().Begin(Step::OptionWords);
        link_.steps().StepIndex = 0;
    });
}

void CalibrationTransfer::cancelWrite() {
    TForm1 *w = ctx_.form1;
    link_.StopLink();
    link_.steps().Finish();
    link_.End(LineActivity::Writing);
    w->GroupBox_gauge_up_down_loading->hide();
    w->EnableMainControls(true);
    // Nothing was written: the maps are editable again and, online, the dashboard resumes.
    w->EnableMapGrids(true);
    if (w->IsOnline())
        link_.ArmDelayedAction(DelayedAction::Poll);
}

void CalibrationTransfer::onVersionBeforeWrite(const QString &ecuVersion) {
    TForm1 *w = ctx_.form1;
    switch (ClassifyVersion(ecuVersion)) {
    case VersionKind::Recognised: {
        const QString fileVersion = ctx_.form3->currentVersion();
        if (ecuVersion != fileVersion &&
            dialogs_.show(DialogKind::Warning, FileMismatchText(fileVersion, ecuVersion),
                          {DialogButton::Cancel, DialogButton::Ignore}) == DialogButton::Cancel) {
            cancelWrite();
            return;
        }
        // The blocks of the firmware the controls hold.
        prepareWriter();
        link_.steps().Begin(Step::FuelMap, false);
        link_.ArmDelayedAction(DelayedAction::RunSteps);
        return;
    }
    case VersionKind::UnsupportedFuel:
    case VersionKind::Foreign:
        link_.StopLink();
        link_.steps().Finish();
        w->SetOnline(false);
        w->GroupBox_gauge_up_down_loading->hide();
        dialogs_.warning(ClassifyVersion(ecuVersion) == VersionKind::UnsupportedFuel
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
    writer_ = std::make_unique<PlanWriter>(link_);
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
    if (!IsWriteStep(step))
        return false;
    if (!writer_)
        prepareWriter();
    return writer_->RunStep(step);
}

void CalibrationTransfer::onRestartReply() {
    TForm1 *w = ctx_.form1;
    w->EnableMainControls(true);
    w->EnableMapGrids(true);
    ctx_.form3->ShowCorrectionTableName();
    ctx_.form3->ShowCorrectionEnables();
    link_.steps().Finish();
    // The link polls once after "R"; the read-back waits for that reply, so the line is quiet when the
    // "Z" goes.
    if (verify_ && !written_.version.isEmpty())
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
    if (readBack_ != ReadBack::Due)
        return;
    // Refused while something else talks: the next live reply tries again.
    link_.Request(LineActivity::Reading, [this] {
        readBack_ = ReadBack::Reading;
        TForm1 *w = ctx_.form1;
        link_.StopLink();
        link_.ResumeReception();
        const int count = int(written_.image.size());
        w->GroupBox_gauge_up_down_loading->setTitle(QStringLiteral("Verifying"));
        w->Gauge_up_down_loading->setRange(0, 2 * count + 2);
        w->Gauge_up_down_loading->setValue(0);
        w->GroupBox_gauge_up_down_loading->show();
        w->GroupBox_gauge_up_down_loading->raise();
        link_.ReadImage(0, count);
    });
}

void CalibrationTransfer::checkReadBack(const QVector<std::uint16_t> &words) {
    readBack_ = ReadBack::None;
    ctx_.form1->GroupBox_gauge_up_down_loading->hide();
    link_.StopReplyTimeout();
    link_.RequestLiveData();
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
    if (check == WrittenCalibration::Check::NotChecked)
        return;
    // After the reply has been dealt with: a modal box must not sit inside the link's reply handling.
    const DialogKind kind =
        check == WrittenCalibration::Check::Verified ? DialogKind::Information : DialogKind::Warning;
    const QString text = ReadBackText(written);
    QTimer::singleShot(0, this, [this, kind, text] { dialogs_.show(kind, text); });
}
