#include "app/Application.h"

#include "app/AppLinkEnvironment.h"
#include "app/CalibrationFiles.h"
#include "app/CalibrationTransfer.h"
#include "app/ConnectSequence.h"
#include "app/LockState.h"
#include "app/MessageBoxPresenter.h"
#include "windows/main/MainWindow.h"
#ifdef QVR_WITH_SIMULATOR
#include "ecusim/DemoCalibration.h"
#include "ecusim/EcuSimRunner.h"
#else
// Built without the simulated ECU: demo mode has nothing to run.
class EcuSimRunner {};
#endif
#include "editor/MainWindowKeys.h"
#include "link/Link.h"
#include "link/QtSerialPortAdapter.h"
#include "link/TransferMachine.h"
#include "live/LiveDisplay.h"
#include "live/LiveRecorder.h"
#include "windows/chart/ChartWindow.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/opening/Manual.h"
#include "windows/opening/OpeningDialog.h"
#include "windows/options/OptionsWindow.h"

#include "windows/compare/CompareWindow.h"
#include "windows/compare/CopyIntoControls.h"
#include "windows/history/CalibrationHistory.h"
#include "windows/history/HistoryWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {
const QString VerifySetting = QStringLiteral("verifyAfterWriting");
} // namespace

CommandLine ParseCommandLine(const QStringList &arguments) {
    CommandLine line;
    line.arguments = arguments;
    const QString first = arguments.value(0);
    const QString second = arguments.value(1);
    // "-O" must match exactly; "-S" in either case.
    line.suppressOpeningDialog = first == QLatin1String("-O") || second == QLatin1String("-O");
    line.slowTiming = first.toUpper() == QLatin1String("-S") || second.toUpper() == QLatin1String("-S");
    line.demo = arguments.contains(QStringLiteral("--demo"));
    line.record = arguments.contains(QStringLiteral("--record"));
    line.verify = arguments.contains(QStringLiteral("--verify"));
    const int poll = arguments.indexOf(QStringLiteral("--poll-ms"));
    if (poll >= 0) {
        bool number = false;
        const int ms = arguments.value(poll + 1).toInt(&number);
        if (number && ms >= 10 && ms <= 100)
            line.pollMs = ms;
        else
            line.error = QStringLiteral("--poll-ms takes a wait in milliseconds from 10 to 100, not \"%1\"")
                             .arg(arguments.value(poll + 1));
    }
    return line;
}

Application::Options Application::Options::unattended(bool withLink) {
    Options options;
    options.programDirectory = QDir::tempPath() + QLatin1Char('/');
    options.useMessageBoxes = false;
    options.createLink = withLink;
    return options;
}

QString ScreenshotPath(const QStringList &arguments) {
    const int at = arguments.indexOf(QStringLiteral("--screenshot"));
    return at >= 0 ? arguments.value(at + 1) : QString();
}

Application::Application(const QStringList &arguments, const Options &options) {
    ctx_.commandLine = ParseCommandLine(arguments);
    ctx_.ProgramDirectory = options.programDirectory;
    ctx_.dialogs = &dialogs_;
    if (options.useMessageBoxes)
        dialogs_.setPresenter(MessageBoxPresenter());
    if (options.createLink) {
        port_ = std::make_unique<QtSerialPortAdapter>();
        linkEnvironment_ = std::make_unique<AppLinkEnvironment>(ctx_);
        link_ = std::make_unique<Link>(port_.get(), &dialogs_, linkEnvironment_.get());
        ctx_.link = link_.get();
    }
    liveDisplay_ = std::make_unique<LiveDisplay>(ctx_);

    form1_ = std::make_unique<TForm1>(ctx_);
    FormCreate();
    form2_ = std::make_unique<TForm2>(ctx_);
    ctx_.form2 = form2_.get();
    form3_ = std::make_unique<TForm3>(ctx_);
    ctx_.form3 = form3_.get();
    form4_ = std::make_unique<TForm4>(ctx_);
    ctx_.form4 = form4_.get();
    // The program keeps a second opening dialog that is never shown.
    spareOpening_ = std::make_unique<TOKBottomDlg_openingsscherm>(ctx_);

    TForm1 *main = form1_.get();
    main->onOpenManual = [this] { OpenManual(ctx_); };
    // Answers the toolbar's file buttons.
    calibrationFiles_ = std::make_unique<CalibrationFiles>(ctx_);
    // Key preview: the main window's key table sees every key aimed at it before its controls do.
    keys_ = std::make_unique<MainWindowKeys>(ctx_);
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(keys_.get());
    if (ctx_.link) {
        CreateLinkParts();
        recorder_ = std::make_unique<LiveRecorder>(ctx_);
        recorder_->startWithLiveData = ctx_.commandLine.record;
    }
    CreateHistory(options.useMessageBoxes);
    WireCommands();
    WireClosing();
}

void Application::WireCommands() {
    MainWindowKeys::Commands &keys = keys_->commands;
    CalibrationFiles *files = calibrationFiles_.get();
    keys.openFile = [files] { files->OpenFileKey(); };
    keys.saveFile = [files] { files->SaveFileKey(); };
    if (!link_)
        return;
    CalibrationTransfer *transfer = calibrationTransfer_.get();
    keys.upload = [transfer] { transfer->SpeedButton_UploadClick(); };
    keys.download = [transfer] { transfer->SpeedButton_DownloadClick(); };
    LockState *lock = lockState_.get();
    keys.lock = [lock] { lock->LockKey(); };
    form3_->writeOptions = [transfer](int gaugeMaximum) { transfer->StartOptionsWrite(gaugeMaximum); };
    // A loaded file is a calibration the user chose: Down-load no longer asks about the start-up map.
    QObject::connect(files, &CalibrationFiles::fileLoaded, transfer,
                     &CalibrationTransfer::NoteCalibrationKnown);
}

void Application::CreateHistory(bool userSettings) {
    const QString folder = userSettings
                               ? QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                                     .filePath(QStringLiteral("history"))
                               : QString();
    history_ = std::make_unique<CalibrationHistory>(ctx_, *calibrationFiles_, folder);
    CalibrationHistory *h = history_.get();
    copier_ = std::make_unique<CopyIntoControls>(ctx_);
    compareWindow_ = std::make_unique<CompareWindow>(ctx_, h, copier_.get());
    historyWindow_ = std::make_unique<HistoryWindow>(*h, &dialogs_);
    historyWindow_->onCompare = [this](const QString &a, const QString &b) {
        compareWindow_->showComparison(a, b);
    };
    form1_->onOpenHistory = [this] {
        historyWindow_->refresh();
        historyWindow_->show();
        historyWindow_->raise();
        historyWindow_->activateWindow();
    };

    calibrationFiles_->beforeLoadReplacesControls = [h] {
        h->recordBeforeReplace(SnapshotSource::BeforeLoad);
    };
    QObject::connect(calibrationFiles_.get(), &CalibrationFiles::fileLoaded, h,
                     &CalibrationHistory::recordLoaded);
    QObject::connect(calibrationFiles_.get(), &CalibrationFiles::fileSaved, h,
                     &CalibrationHistory::recordSaved);
    if (!link_)
        return;
    link_->steps().addStepRunner([this](int step) { return copier_->RunStep(step); });
    calibrationTransfer_->beforeReadReplacesControls = [h] {
        h->recordBeforeReplace(SnapshotSource::BeforeUpload);
    };
    calibrationTransfer_->onImageReadFromEcu =
        [h](const QString &version, const QVector<std::uint16_t> &image) { h->recordRead(version, image); };
    calibrationTransfer_->onWritten = [h](const WrittenCalibration &written) { h->recordWritten(written); };
    lockState_->onLockAccepted = [h] { h->recordLocked(); };

    // "Verify after writing": remembered by the interactive program; "--verify" turns it on for this run.
    const bool verify =
        ctx_.commandLine.verify || (userSettings && QSettings().value(VerifySetting, false).toBool());
    calibrationTransfer_->setVerifyAfterWriting(verify);
    if (QCheckBox *box = form1_->CheckBox_verify_after_writing) {
        box->setChecked(verify);
        QObject::connect(box, &QCheckBox::toggled, calibrationTransfer_.get(), [this, userSettings](bool on) {
            calibrationTransfer_->setVerifyAfterWriting(on);
            if (userSettings)
                QSettings().setValue(VerifySetting, on);
        });
    }
}

void Application::WireClosing() {
    // The secondary windows have no parent; without this they would keep the program running.
    form1_->onClosed = [this] {
        for (QWidget *window : std::initializer_list<QWidget *>{form4_.get(), form3_.get(), form2_.get(),
                                                                compareWindow_.get(), historyWindow_.get()})
            if (window)
                window->hide();
        if (qobject_cast<QApplication *>(QCoreApplication::instance()))
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
    };
}

void Application::CreateLinkParts() {
    calibrationTransfer_ = std::make_unique<CalibrationTransfer>(ctx_, *link_);
    connectSequence_ = std::make_unique<ConnectSequence>(ctx_, *link_, *calibrationTransfer_);
    lockState_ = std::make_unique<LockState>(ctx_, *link_, [this] {
        return spareOpening_ && spareOpening_->Label_versie ? spareOpening_->Label_versie->text()
                                                            : QStringLiteral("3.05");
    });
    link_->steps().addStepRunner([this](int step) { return calibrationTransfer_->RunStep(step); });
    // At first showing nothing is known about the ECU's lock, so the data counts as not locked until an
    // "L" is accepted.
    form1_->onRefreshCaptions = [this] {
        lockState_->ShowLockState(true);
        lockState_->RefreshCaptions();
    };
}

void Application::FormCreate() {
    ctx_.SoftwareSubVersion = QStringLiteral("1AA");
    if (!ctx_.commandLine.suppressOpeningDialog)
        ShowOpeningDialog(ctx_, form1_.get());
    if (ctx_.link) {
        ctx_.link->ChoosePort(ctx_.ProgramDirectory, ctx_.commandLine.arguments);
        if (ctx_.commandLine.slowTiming)
            ctx_.link->SetSlowTiming();
        ctx_.link->SetPollInterval(ctx_.commandLine.pollMs);
        ctx_.link->ResetState();
        if (ctx_.commandLine.demo)
            StartDemoEcu();
    }
    form1_->ActiveMapGrid = FuelMapGrid;
    form1_->InterpolationSpan = 0;
    form1_->move(0, 0);
    form1_->EnableValueLabels(false);
    ctx_.CalSensor = 1;
    ctx_.MaxRpm = 20000;
}

void Application::StartDemoEcu() {
#ifndef QVR_WITH_SIMULATOR
    dialogs_.error(
        QStringLiteral("This build of the program has no simulated ECU: --demo is not available."));
#else
    demoEcu_ = std::make_unique<EcuSimRunner>();
    EcuSimConfig config;
    config.image = DemoCalibrationImage();
    config.paced = true;
    const QString path = demoEcu_->start(config);
    if (path.isEmpty()) {
        dialogs_.error(QStringLiteral("The simulated ECU could not be started: ") + demoEcu_->lastError());
        demoEcu_.reset();
        return;
    }
    ctx_.link->setPortName(path);
#endif
}

Application::~Application() {
    // The link must say nothing more while the parts that listen to it go.
    if (link_) {
        link_->GoOffline(OfflineCause::User);
        link_->disconnect();
    }
    if (form1_)
        form1_->onClosed = nullptr;
    // The keys and the options window call parts that go before them.
    keys_->commands = {};
    form3_->writeOptions = nullptr;
    // The history and its windows reach into everything below: they go first.
    historyWindow_.reset();
    compareWindow_.reset();
    copier_.reset();
    history_.reset();
    // The link parts go next: they reach into the windows and the link.
    lockState_.reset();
    connectSequence_.reset();
    calibrationTransfer_.reset();
    // Windows go in the reverse order of creation, each leaving the context first.
    recorder_.reset();
    keys_.reset();
    calibrationFiles_.reset();
    spareOpening_.reset();
    ctx_.form4 = nullptr;
    form4_.reset();
    ctx_.form3 = nullptr;
    form3_.reset();
    ctx_.form2 = nullptr;
    form2_.reset();
    form1_.reset();
    liveDisplay_.reset();
    ctx_.link = nullptr;
    link_.reset();
    linkEnvironment_.reset();
    port_.reset();
    demoEcu_.reset();
}
