#include "windows/history/CalibrationHistory.h"

#include <QFileInfo>

#include "app/AppContext.h"
#include "app/CalibrationFiles.h"
#include "app/CalibrationTransfer.h"
#include "app/DataSetCodec.h"
#include "core/Dialogs.h"
#include "link/Link.h"
#include "windows/options/OptionsWindow.h"

CalibrationHistory::CalibrationHistory(AppContext &ctx, CalibrationFiles &files, const QString &folder,
                                       QObject *parent)
    : QObject(parent), ctx_(ctx), files_(files) {
    Q_ASSERT(ctx.form3 && ctx.dialogs);
    setFolder(folder);
    startImage_ = controlsImage();
}

CalibrationHistory::~CalibrationHistory() = default;

void CalibrationHistory::setFolder(const QString &folder) {
    store_ = folder.isEmpty() ? nullptr : std::make_unique<SnapshotStore>(folder);
    emit changed();
}

QVector<std::uint16_t> CalibrationHistory::controlsImage() const {
    return EncodeImage(ctx_);
}

QString CalibrationHistory::controlsVersion() const {
    return ctx_.form3->currentVersion();
}

QString CalibrationHistory::ecuSerial() const {
    return ctx_.form3->StaticText_Serial_number->text().trimmed();
}

void CalibrationHistory::add(const QString &source, const QString &version, const QString &serial,
                             const QVector<std::uint16_t> &image, const QString &note) {
    if (!store_ || image.isEmpty())
        return;
    if (store_->add(source, version, serial, image, note))
        emit changed();
}

void CalibrationHistory::recordRead(const QString &version, const QVector<std::uint16_t> &image) {
    controlsSerial_ = ecuSerial();
    add(SnapshotSource::Read, version, controlsSerial_, image);
}

void CalibrationHistory::recordLoaded(const QString &version, const QVector<std::uint16_t> &image,
                                      const QString &path) {
    if (restoring_)
        return; // the snapshot restored is already in the history
    controlsSerial_.clear();
    add(SnapshotSource::Loaded, version, QString(), image, QFileInfo(path).fileName());
}

void CalibrationHistory::recordSaved(const QString &version, const QVector<std::uint16_t> &image,
                                     const QString &path) {
    add(SnapshotSource::Saved, version, controlsSerial_, image, QFileInfo(path).fileName());
}

void CalibrationHistory::recordWritten(const WrittenCalibration &written) {
    if (!store_)
        return;
    controlsSerial_ = ecuSerial();
    const std::optional<SnapshotEntry> entry =
        store_->add(SnapshotSource::Written, written.version, controlsSerial_, written.image);
    if (!entry)
        return;
    switch (written.check) {
    case WrittenCalibration::Check::NotChecked:
        break;
    case WrittenCalibration::Check::Verified:
        store_->setOutcome(entry->id, QStringLiteral("verified"));
        break;
    case WrittenCalibration::Check::Differs:
        store_->setOutcome(entry->id, QStringLiteral("verify failed: ") +
                                          written.differingFields.join(QStringLiteral("; ")));
        break;
    case WrittenCalibration::Check::ReadBackFailed:
        store_->setOutcome(entry->id, QStringLiteral("not verified: no read-back"));
        break;
    }
    emit changed();
}

void CalibrationHistory::recordLocked() {
    add(SnapshotSource::Locked, controlsVersion(), ecuSerial(), controlsImage());
}

void CalibrationHistory::recordBeforeReplace(const QString &source) {
    if (!store_)
        return;
    const QVector<std::uint16_t> image = controlsImage();
    // The untouched start-up controls hold nothing to lose.
    const qsizetype common = std::min(image.size(), startImage_.size());
    if (image.mid(0, common) == startImage_.mid(0, common))
        return;
    const QString version = controlsVersion();
    if (store_->holds(version, image))
        return;
    add(source, version, controlsSerial_, image);
}

bool CalibrationHistory::restore(const QString &id) {
    if (!store_)
        return false;
    if (ctx_.link && ctx_.link->busy()) {
        ctx_.dialogs->information(
            QStringLiteral("The ECU is busy with another transfer: restore when it has finished."));
        return false;
    }
    const std::optional<Snapshot> snapshot = store_->load(id);
    if (!snapshot) {
        ctx_.dialogs->warning(QStringLiteral("This snapshot's file cannot be read any more."));
        return false;
    }
    // The load records "before load" through its port; here it is a restore.
    const auto before = files_.beforeLoadReplacesControls;
    files_.beforeLoadReplacesControls = [this] { recordBeforeReplace(SnapshotSource::BeforeRestore); };
    restoring_ = true;
    const bool restored = files_.OpenCalibrationFile(store_->filePath(snapshot->entry));
    restoring_ = false;
    files_.beforeLoadReplacesControls = before;
    if (restored) {
        controlsSerial_ = snapshot->entry.serial;
        emit changed(); // the controls changed: an open comparison shows it
    }
    return restored;
}
