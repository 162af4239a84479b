#include "app/CalibrationFiles.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>

#include "app/AppContext.h"
#include "app/DataSetCodec.h"
#include "core/Dialogs.h"
#include "core/FirmwareVersion.h"
#include "core/ProgramFiles.h"
#include "files/CalibrationFile.h"
#include "link/Link.h"
#include "windows/chart/ChartWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

namespace {
const QString WriteError = QStringLiteral("fout bij het schrijven");
const QString ReadError = QStringLiteral("fout bij lezen bestand");

const QStringList FileFilters = {QStringLiteral("Fuel map (*.f03)"), QStringLiteral("Fuel map (*.f00)"),
                                 QStringLiteral("Fuel map (*.f0*)")};

QString runDialog(const FileDialogRequest &request) {
    QFileDialog dialog(nullptr, request.title, request.directory, request.filters.join(QStringLiteral(";;")));
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.filterIndex >= 1 && request.filterIndex <= request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.filterIndex - 1));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

CalibrationFiles::CalibrationFiles(AppContext &ctx, QObject *parent)
    : QObject(parent), ctx_(ctx), dialog_(runDialog) {
    Q_ASSERT(ctx.form1 && ctx.form3 && ctx.dialogs);
    ctx_.form1->onOpenFile = [this] { SpeedButton_openfileClick(); };
    ctx_.form1->onSaveFile = [this] { SpeedButton_savefileClick(); };
}

CalibrationFiles::~CalibrationFiles() {
    ctx_.form1->onOpenFile = nullptr;
    ctx_.form1->onSaveFile = nullptr;
}

// ---- the two operations ----------------------------------------------------------------------------------

bool CalibrationFiles::SaveCalibrationFile(const QString &path) {
    const QString version = ctx_.form3->currentVersion();
    reportVersion(version);
    if (!confirmIfEcuNewer(version))
        return false;

    const QVector<std::uint16_t> image = EncodeImage(ctx_);
    const QByteArray bytes = EncodeCalibrationFile(version, image);
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    // A short write (disk full, size limit) can pass unnoticed until the flush, and commit() would then
    // still put the cut file in place: check the flushed size before replacing anything.
    written = written && file.flush() && file.error() == QFileDevice::NoError && file.size() == bytes.size();
    written = written && file.commit();
    if (!written) {
        file.cancelWriting();
        ctx_.dialogs->plain(WriteError);
        return false;
    }
    emit fileSaved(version, image, path);
    return true;
}

bool CalibrationFiles::LoadCalibrationFile(const QString &path) {
    // Read and check everything before touching a control, so a bad file changes nothing.
    std::optional<CalibrationFileContents> contents;
    QFile file(path);
    // Only plain files: a pipe or a device could block the program or never end.
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.read(CalibrationFileLayout::MaxFileBytes);
        if (file.error() == QFileDevice::NoError)
            contents = DecodeCalibrationFile(bytes);
    }
    if (!contents) {
        ctx_.dialogs->plain(ReadError);
        return false;
    }

    reportVersion(contents->version);
    if (!confirmIfEcuNewer(contents->version))
        return false;
    if (beforeLoadReplacesControls)
        beforeLoadReplacesControls();
    ctx_.form3->StaticText_version_info->setText(contents->version);
    DecodeImage(ctx_, contents->image);
    emit fileLoaded(contents->version, contents->image, path);
    return true;
}

bool CalibrationFiles::OpenCalibrationFile(const QString &path) {
    stopLink();
    if (!LoadCalibrationFile(path)) {
        resumePolling();
        return false;
    }
    enterFileLoadedState();
    return true;
}

// ---- buttons and keys ------------------------------------------------------------------------------------

void CalibrationFiles::SpeedButton_savefileClick() {
    stopLink();
    saveWithDialog();
    resumePolling();
}

void CalibrationFiles::SpeedButton_openfileClick() {
    stopLink();
    if (!openWithDialog())
        resumePolling();
}

void CalibrationFiles::SaveFileKey() {
    if (!ctx_.form1->SpeedButton_savefile->isEnabled())
        return;
    saveWithDialog();
}

void CalibrationFiles::OpenFileKey() {
    if (!ctx_.form1->SpeedButton_openfile->isEnabled())
        return;
    openWithDialog();
}

FileDialogRequest CalibrationFiles::saveDialogRequest() {
    const bool newer = ctx_.form3 && VersionAtLeast(ctx_.form3->currentVersion(), QStringLiteral("3FA"));
    // The proposed name follows the firmware only while it is still the untouched default.
    if (newer && saveName_ == QStringLiteral("noname.f00"))
        saveName_ = QStringLiteral("noname.f03");
    else if (!newer && saveName_ == QStringLiteral("noname.f03"))
        saveName_ = QStringLiteral("noname.f00");

    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = QStringLiteral("Save as");
    request.directory = ProgramFiles::Locate(ctx_.ProgramDirectory).calibrationDirectory();
    request.fileName = saveName_;
    request.filters = FileFilters;
    request.filterIndex = newer ? 1 : 3;
    request.defaultSuffix = newer ? QStringLiteral("f03") : QStringLiteral("f00");
    return request;
}

FileDialogRequest CalibrationFiles::openDialogRequest() const {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = QStringLiteral("Open");
    request.directory = ProgramFiles::Locate(ctx_.ProgramDirectory).calibrationDirectory();
    request.filters = FileFilters;
    request.filterIndex = 1;
    request.defaultSuffix = QStringLiteral("f02");
    return request;
}

QString CalibrationFiles::askForFile(const FileDialogRequest &request) {
    return dialog_ ? dialog_(request) : QString();
}

bool CalibrationFiles::saveWithDialog() {
    const QString path = askForFile(saveDialogRequest());
    if (path.isEmpty())
        return false;
    saveName_ = path;
    return SaveCalibrationFile(path);
}

bool CalibrationFiles::openWithDialog() {
    const QString path = askForFile(openDialogRequest());
    if (path.isEmpty() || !LoadCalibrationFile(path))
        return false;
    enterFileLoadedState();
    return true;
}

void CalibrationFiles::enterFileLoadedState() {
    if (ctx_.link) {
        // The way offline below empties the receive buffer; the poll and the time-out stop first.
        ctx_.link->StopLink();
    }
    if (ctx_.form4 && ctx_.form4->isVisible())
        ctx_.form4->hide();
    ctx_.form1->SetOnline(false);
    ctx_.form1->EnableMainControls(false);
    ctx_.form1->ShowTransferMenu(TForm1::MenuMode::FileLoaded);
    ctx_.form1->EnableMapGrids(false);
}

void CalibrationFiles::stopLink() {
    if (ctx_.link)
        ctx_.link->StopLink();
}

void CalibrationFiles::resumePolling() {
    if (!ctx_.link)
        return;
    ctx_.link->ResumeReception();
    ctx_.link->RequestLiveData(); // sends only while online
}

// ---- version checks run before every save and load -------------------------------------------------------

void CalibrationFiles::reportVersion(const QString &version) {
    if (ClassifyVersion(version) == VersionKind::Recognised)
        return;
    // The file operation goes on with the layout it has; the user is only told.
    stopLink();
    if (ctx_.form1->GroupBox_gauge_up_down_loading)
        ctx_.form1->GroupBox_gauge_up_down_loading->hide();
    ctx_.dialogs->warning(VersionWarningText(version, ctx_.form3->StaticText_Serial_number->text()));
}

bool CalibrationFiles::confirmIfEcuNewer(const QString &version) {
    if (!EcuIsNewer(version, ctx_.SoftwareSubVersion))
        return true;
    return ctx_.dialogs->show(DialogKind::Information, EcuNewerText(),
                              {DialogButton::Cancel, DialogButton::Ignore}) != DialogButton::Cancel;
}
