#pragma once
// Records the calibration history without asking: every image read from the ECU, every file loaded or
// saved, every image written (with the outcome of its read-back), every accepted lock, and the controls
// themselves before a read, a load or a restore replaces them while they hold something no snapshot has.
// It also restores a snapshot into the controls the way a file load does.
//
// Wiring: app/Application.cpp joins the ports and signals of CalibrationTransfer, CalibrationFiles and
// LockState to the record* functions here; a restore loads through the CalibrationFiles it is given. An
// empty folder records nothing.
#include <QObject>
#include <QString>
#include <QVector>
#include <cstdint>
#include <memory>

#include "history/SnapshotStore.h"

struct AppContext;
struct WrittenCalibration;
class CalibrationFiles;

class CalibrationHistory : public QObject {
    Q_OBJECT
public:
    // Needs the options window and the message boxes in `ctx`.
    CalibrationHistory(AppContext &ctx, CalibrationFiles &files, const QString &folder,
                       QObject *parent = nullptr);
    ~CalibrationHistory() override;

    // Tests point the history at their own folder.
    void setFolder(const QString &folder);
    SnapshotStore *store() { return store_.get(); }

    void recordRead(const QString &version, const QVector<std::uint16_t> &image);
    void recordLoaded(const QString &version, const QVector<std::uint16_t> &image, const QString &path);
    void recordSaved(const QString &version, const QVector<std::uint16_t> &image, const QString &path);
    void recordWritten(const WrittenCalibration &written);
    void recordLocked();
    // The controls, when they hold something that no snapshot has ("before up-load", "before load").
    void recordBeforeReplace(const QString &source);

    // Into the controls as a file load would: offline, the transfer menu offering "Down-load". Refused
    // (with a box) while a conversation runs. True when restored.
    bool restore(const QString &id);

    // The controls as an image of the current firmware, and that firmware.
    QVector<std::uint16_t> controlsImage() const;
    QString controlsVersion() const;

signals:
    void changed();

private:
    void add(const QString &source, const QString &version, const QString &serial,
             const QVector<std::uint16_t> &image, const QString &note = QString());
    QString ecuSerial() const;

    AppContext &ctx_;
    CalibrationFiles &files_;
    std::unique_ptr<SnapshotStore> store_;
    // The controls as the program started: nothing worth keeping while they still show that.
    QVector<std::uint16_t> startImage_;
    // Where the calibration in the controls came from: the ECU's serial number, or empty.
    QString controlsSerial_;
    bool restoring_ = false;
};
