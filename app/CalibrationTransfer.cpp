#include "app/CalibrationTransfer.h"

#include "app/AppContext.h"
#include "app/DataSetCodec.h"
#include "app/MainWindow.h"
#include "app/VersionChecks.h"
#include "core/Dialogs.h"
#include "core/Encoding.h"
#include "core/FirmwareVersion.h"
#include "core/ImageLayout.h"
#include "core/Timers.h"
#include "link/Link.h"
#include "link/TransferMachine.h"
#include "windows/options/OptionsWindow.h"

#include <algorithm>

namespace {
const QColor White(255, 255, 255);
const QColor Red(255, 0, 0);
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
}

bool CalibrationTransfer::IsWriteStep(int step) {
    return step == -1 || (step >= 2 && step <= 14) || step == 90 || step == 100;
}

void CalibrationTransfer::prepareTransfer(const QString &caption) {
    TForm1 *w = ctx_.form1;
    w->EnableValueLabels(false);
    ctx_.link->StopLink();
    ctx_.link->CommErrors = 0;
    w->Panel_power_to_system_was_interrupted->hide();
    w->GroupBox_up_download_menu->hide();
    w->GroupBox_gauge_up_down_loading->setTitle(caption);
    w->Gauge_up_down_loading->setValue(0);
    w->GroupBox_gauge_up_down_loading->show();
    w->GroupBox_gauge_up_down_loading->raise();
}

// ---- reading -------------------------------------------------------------------------------------------

void CalibrationTransfer::SpeedButton_UploadClick() {
    if (!ctx_.link || !ctx_.form1)
        return;
    // A write left hanging (the line failed under it) must not wake up again behind the read.
    if (ctx_.transfer && IsWriteStep(ctx_.transfer->TransferStep)) {
        ctx_.transfer->Finish();
        ctx_.transfer->DisableTimer3();
    }
    prepareTransfer(QStringLiteral("Up_loading"));
    ctx_.link->ArmDelayedAction(0);
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
    DecodeReadImage(words);
}

void CalibrationTransfer::DecodeReadImage(const QVector<std::uint16_t> &words) {
    TForm1 *w = ctx_.form1;
    if (!w)
        return;
    DecodeImage(ctx_, words);
    DataGrid *fuel = w->AdvStringGrid_fuel;
    for (int row = 1; row <= MapRows; ++row)
        for (int column = 1; column <= MapColumns; ++column)
            fuel->setCellColor(column, row, White);
    if (ctx_.link)
        DisableTimer(ctx_.link->Timer2);
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
    TForm1 *w = ctx_.form1;
    if (!ctx_.link || !w || !ctx_.form3 || !ctx_.transfer)
        return;
    prepareTransfer(QStringLiteral("Down_loading"));
    if (!ApplyVersionLayout(ctx_) || !ConfirmIfEcuNewer(ctx_)) {
        cancelWrite();
        return;
    }
    const int size = ImageWordCount(ctx_.form3->currentVersion());
    w->Gauge_up_down_loading->setRange(0, 2 * size + 2);
    w->Gauge_up_down_loading->setValue(0);
    ctx_.transfer->Begin(-1, false);
    ctx_.link->OpenPortIfClosed();
    w->EnableValueLabels(false);
    w->SetOnline(true);
    ctx_.link->ArmDelayedAction(9);
}

void CalibrationTransfer::cancelWrite() {
    TForm1 *w = ctx_.form1;
    ctx_.link->StopLink();
    if (ctx_.transfer)
        ctx_.transfer->Finish();
    w->GroupBox_gauge_up_down_loading->hide();
    w->EnableMainControls(true);
    // Nothing was written: the maps are editable again and, online, the dashboard resumes.
    w->EnableMapGrids(true);
    if (w->IsOnline())
        ctx_.link->ArmDelayedAction(3);
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
        ctx_.transfer->Begin(2, false);
        ctx_.link->ArmDelayedAction(9);
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

void CalibrationTransfer::sendBlock(int address, int bytes) {
    const QVector<std::uint16_t> words = EncodeWords(ctx_, address, bytes / 2);
    QByteArray payload = EncodeWord(bytes) + EncodeWord(address);
    for (std::uint16_t word : words)
        payload += EncodeWord(word);
    ctx_.link->RequestPayload = payload;
    ctx_.link->WriteBlock();
    addProgress(bytes);
}

void CalibrationTransfer::sendWord(int address) {
    const std::uint16_t word = EncodeWords(ctx_, address, 1).value(0);
    ctx_.link->RequestPayload = EncodeWord(address) + EncodeWord(word);
    ctx_.link->WriteValue();
    addProgress(2);
}

void CalibrationTransfer::runBlocks(const QVector<Block> &blocks, int next) {
    TransferMachine &m = *ctx_.transfer;
    const int index = std::max(m.StepIndex, 1);
    if (index > blocks.size()) {
        m.MoveTo(next);
        return;
    }
    sendBlock(blocks[index - 1].address, blocks[index - 1].bytes);
    m.StepIndex = index + 1;
    m.EnableTimer3();
}

void CalibrationTransfer::stepFuelMap() {
    TransferMachine &m = *ctx_.transfer;
    ctx_.form1->ActiveMapGrid = FuelMapGrid;
    if (VersionAtLeast(ctx_.form3->currentVersion(), QStringLiteral("3FA"))) {
        QVector<Block> rows;
        for (int row = 1; row <= MapRows; ++row)
            rows.append({MapCellAddress(FuelMapStart, 1, row), 2 * MapColumns});
        runBlocks(rows, 3);
        return;
    }
    // Older firmware: one word per cell, columns within rows.
    const int column = std::max(m.StepIndex, 1);
    if (m.StepRow > MapRows) {
        resetRedCells();
        m.MoveTo(3);
        return;
    }
    sendWord(MapCellAddress(FuelMapStart, column, m.StepRow));
    m.StepIndex = column + 1;
    if (m.StepIndex > MapColumns) {
        m.StepIndex = 1;
        ++m.StepRow;
    }
    m.EnableTimer3();
}

void CalibrationTransfer::stepBoostMap() {
    if (!VersionAtLeast(ctx_.form3->currentVersion(), QStringLiteral("3FA1AC"))) {
        ctx_.transfer->MoveTo(90);
        return;
    }
    ctx_.form1->ActiveMapGrid = BoostMapGrid;
    QVector<Block> rows;
    for (int row = 1; row <= MapRows; ++row)
        rows.append({MapCellAddress(BoostMapStart, 1, row), 2 * MapColumns});
    runBlocks(rows, 90);
}

void CalibrationTransfer::stepOldWords(int first, int count, int next) {
    TransferMachine &m = *ctx_.transfer;
    const int index = std::max(m.StepIndex, 1);
    if (index > count) {
        if (next == 100)
            ctx_.form1->GroupBox_gauge_up_down_loading->hide();
        m.MoveTo(next);
        return;
    }
    sendWord(first + index - 1);
    m.StepIndex = index + 1;
    m.EnableTimer3();
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
    TransferMachine &m = *ctx_.transfer;
    const QString version = ctx_.form3->currentVersion();
    const bool full = VersionAtLeast(version, QStringLiteral("3FA"));
    switch (step) {
    case -1:
        ctx_.link->RequestVersionBeforeWrite();
        break;
    case 2:
        stepFuelMap();
        break;
    case 3:
        if (full)
            runBlocks({{WaterTempTableStart, 64}}, 4);
        else
            stepOldWords(WaterTempTableStart, TableEntries, 4);
        break;
    case 4:
        if (full)
            runBlocks({{OptionsStart, 52}, {458, 32}, {474, 32}, {490, 32}, {506, 8}}, 5);
        else
            stepOldWords(OptionsStart, 78, 100);
        break;
    case 5:
        runBlocks({{RpmRangeStart, 50}}, 6);
        break;
    case 6:
        runBlocks({{AirTempTableStart, 64}}, 7);
        break;
    case 7:
        runBlocks({{EnrichmentStart, 12}}, 8);
        break;
    case 8:
        runBlocks({{LimitsStart, 6}}, 9);
        break;
    case 9:
        runBlocks({{BatteryTableStart, 64}}, 10);
        break;
    case 10:
        runBlocks({{StartupStart, 60}}, 11);
        break;
    case 11:
        if (std::max(m.StepIndex, 1) > 1 && !VersionAtLeast(version, QStringLiteral("3FA1AB"))) {
            ctx_.form1->GroupBox_gauge_up_down_loading->hide();
            m.MoveTo(100);
            break;
        }
        runBlocks({{AuxStart, 30}}, 12);
        break;
    case 12:
        runBlocks({{AirPressureSettingsStart, 4}}, 13);
        break;
    case 13:
        runBlocks({{AirPressureTableStart, 64}}, 14);
        break;
    case 14:
        stepBoostMap();
        break;
    case 90:
        DisableTimer(ctx_.link->Timer2);
        ctx_.form1->GroupBox_gauge_up_down_loading->hide();
        m.MoveTo(100);
        break;
    case 100:
        ctx_.link->RequestRestart();
        break;
    default:
        return false;
    }
    return true;
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
}

void CalibrationTransfer::setOffline() {
    // The line gave up under a write: the write ends where it was, the grids keep what they hold.
    if (ctx_.transfer && IsWriteStep(ctx_.transfer->TransferStep)) {
        ctx_.transfer->Finish();
        ctx_.transfer->DisableTimer3();
    }
}
