#pragma once
// The calibration history on disk: each snapshot is a calibration file of the program's own format,
// listed in one small index file ("history.json") beside them. Both are written through a temporary
// file that replaces the old one only when complete, so a failed write never loses what was there.
// A snapshot identical to the newest one of the same ECU (serial number, version and words) is not
// stored again: the existing one is returned instead. A written image is always stored: it carries the
// outcome of its own check.
#include <QDateTime>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

namespace SnapshotSource {
inline const QString Read = QStringLiteral("Read from ECU");
inline const QString Written = QStringLiteral("Written to ECU");
inline const QString Loaded = QStringLiteral("File loaded");
inline const QString Saved = QStringLiteral("File saved");
inline const QString Locked = QStringLiteral("Locked");
inline const QString BeforeUpload = QStringLiteral("before up-load");
inline const QString BeforeLoad = QStringLiteral("before load");
inline const QString BeforeRestore = QStringLiteral("before restore");
} // namespace SnapshotSource

struct SnapshotEntry {
    QString id;      // also the calibration file's base name
    QDateTime time;  // UTC
    QString source;  // one of SnapshotSource
    QString version; // firmware version string
    QString serial;  // the ECU's serial number, empty where unknown
    QString note;    // the user's own words
    QString outcome; // of a write: "verified", "verify failed: ...", "not verified"; otherwise empty
    QString digest;  // of version and words, to find identical snapshots without opening their files
};

struct Snapshot {
    SnapshotEntry entry;
    QVector<std::uint16_t> words;
};

class SnapshotStore {
public:
    // `folder` is created when the first snapshot is written.
    explicit SnapshotStore(QString folder);

    const QString &folder() const { return folder_; }
    // The entries, newest first. Reads the index when it changed on disk since the last look.
    QVector<SnapshotEntry> entries();

    // Stores a snapshot (time, id and digest are filled in). Returns its entry, or that of the identical
    // newest snapshot of the same ECU; nullopt when it could not be written (nothing changes then).
    std::optional<SnapshotEntry> add(const QString &source, const QString &version, const QString &serial,
                                     const QVector<std::uint16_t> &words, const QString &note = QString(),
                                     const QDateTime &time = QDateTime::currentDateTimeUtc());
    // True when some stored snapshot holds exactly these words of this version.
    bool holds(const QString &version, const QVector<std::uint16_t> &words);
    // The snapshot's words as stored, or nullopt when its file is gone or unreadable.
    std::optional<Snapshot> load(const QString &id);
    bool setNote(const QString &id, const QString &note);
    bool setOutcome(const QString &id, const QString &outcome);
    // The snapshot's calibration file.
    QString filePath(const SnapshotEntry &entry) const;

    static QString Digest(const QString &version, const QVector<std::uint16_t> &words);

private:
    bool readIndex();
    bool writeIndex(const QVector<SnapshotEntry> &entries);
    bool update(const QString &id, const std::function<void(SnapshotEntry &)> &change);
    QString indexPath() const;

    QString folder_;
    QVector<SnapshotEntry> entries_; // oldest first, as in the file
    QDateTime indexTime_;
};
