#include "history/SnapshotStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "files/CalibrationFile.h"

namespace {
const QString IndexName = QStringLiteral("history.json");

// The words as the calibration file keeps them: what a snapshot gives back when it is loaded.
QVector<std::uint16_t> AsStored(const QString &version, const QVector<std::uint16_t> &words) {
    const std::optional<CalibrationFileContents> back =
        DecodeCalibrationFile(EncodeCalibrationFile(version, words));
    return back ? back->image : words;
}

bool WriteAtomically(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

QJsonObject ToJson(const SnapshotEntry &e) {
    return QJsonObject{
        {QStringLiteral("id"), e.id},           {QStringLiteral("time"), e.time.toString(Qt::ISODateWithMs)},
        {QStringLiteral("source"), e.source},   {QStringLiteral("version"), e.version},
        {QStringLiteral("serial"), e.serial},   {QStringLiteral("note"), e.note},
        {QStringLiteral("outcome"), e.outcome}, {QStringLiteral("digest"), e.digest}};
}

SnapshotEntry FromJson(const QJsonObject &o) {
    SnapshotEntry e;
    e.id = o.value(QStringLiteral("id")).toString();
    e.time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    e.source = o.value(QStringLiteral("source")).toString();
    e.version = o.value(QStringLiteral("version")).toString();
    e.serial = o.value(QStringLiteral("serial")).toString();
    e.note = o.value(QStringLiteral("note")).toString();
    e.outcome = o.value(QStringLiteral("outcome")).toString();
    e.digest = o.value(QStringLiteral("digest")).toString();
    return e;
}

// Ids become file names: only letters, digits and '-'.
bool SafeId(const QString &id) {
    if (id.isEmpty())
        return false;
    for (QChar c : id)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-'))
            return false;
    return true;
}
} // namespace

SnapshotStore::SnapshotStore(QString folder) : folder_(std::move(folder)) {}

QString SnapshotStore::indexPath() const {
    return QDir(folder_).filePath(IndexName);
}

QString SnapshotStore::filePath(const SnapshotEntry &entry) const {
    const QString suffix =
        ImageWordCount(entry.version) > 511 ? QStringLiteral(".f03") : QStringLiteral(".f00");
    return QDir(folder_).filePath(entry.id + suffix);
}

QString SnapshotStore::Digest(const QString &version, const QVector<std::uint16_t> &words) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(version.toLatin1());
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(words.constData()),
                                qsizetype(words.size() * sizeof(std::uint16_t))));
    return QString::fromLatin1(hash.result().toHex());
}

bool SnapshotStore::readIndex() {
    const QFileInfo info(indexPath());
    if (!info.exists()) {
        entries_.clear();
        indexTime_ = QDateTime();
        return true;
    }
    if (info.lastModified() == indexTime_ && !entries_.isEmpty())
        return true;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    // A damaged index is not overwritten by a list that would forget every snapshot in it.
    if (!doc.isObject())
        return false;
    QVector<SnapshotEntry> read;
    for (const QJsonValue &v : doc.object().value(QStringLiteral("snapshots")).toArray()) {
        SnapshotEntry e = FromJson(v.toObject());
        if (SafeId(e.id))
            read.append(e);
    }
    entries_ = read;
    indexTime_ = info.lastModified();
    return true;
}

bool SnapshotStore::writeIndex(const QVector<SnapshotEntry> &entries) {
    QJsonArray list;
    for (const SnapshotEntry &e : entries)
        list.append(ToJson(e));
    const QJsonObject root{{QStringLiteral("format"), 1}, {QStringLiteral("snapshots"), list}};
    if (!WriteAtomically(indexPath(), QJsonDocument(root).toJson()))
        return false;
    entries_ = entries;
    indexTime_ = QFileInfo(indexPath()).lastModified();
    return true;
}

QVector<SnapshotEntry> SnapshotStore::entries() {
    readIndex();
    QVector<SnapshotEntry> newestFirst(entries_.rbegin(), entries_.rend());
    return newestFirst;
}

std::optional<SnapshotEntry> SnapshotStore::add(const QString &source, const QString &version,
                                                const QString &serial, const QVector<std::uint16_t> &words,
                                                const QString &note, const QDateTime &time) {
    if (!readIndex() || words.isEmpty())
        return std::nullopt;
    const QString digest = Digest(version, AsStored(version, words));
    for (auto it = entries_.crbegin(); it != entries_.crend() && source != SnapshotSource::Written; ++it)
        if (it->serial == serial) {
            if (it->digest == digest)
                return *it;
            break;
        }
    SnapshotEntry entry;
    entry.time = time.toUTC();
    entry.source = source;
    entry.version = version;
    entry.serial = serial;
    entry.note = note;
    entry.digest = digest;
    const QString base = entry.time.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    entry.id = base;
    for (int n = 2;
         std::any_of(entries_.cbegin(), entries_.cend(), [&](const auto &e) { return e.id == entry.id; });
         ++n)
        entry.id = base + QLatin1Char('-') + QString::number(n);
    if (!QDir().mkpath(folder_) || !WriteAtomically(filePath(entry), EncodeCalibrationFile(version, words)))
        return std::nullopt;
    QVector<SnapshotEntry> next = entries_;
    next.append(entry);
    if (!writeIndex(next)) {
        QFile::remove(filePath(entry));
        return std::nullopt;
    }
    return entry;
}

bool SnapshotStore::holds(const QString &version, const QVector<std::uint16_t> &words) {
    readIndex();
    const QString digest = Digest(version, AsStored(version, words));
    return std::any_of(entries_.cbegin(), entries_.cend(), [&](const auto &e) { return e.digest == digest; });
}

std::optional<Snapshot> SnapshotStore::load(const QString &id) {
    readIndex();
    for (const SnapshotEntry &e : entries_) {
        if (e.id != id)
            continue;
        QFile file(filePath(e));
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        const std::optional<CalibrationFileContents> contents =
            DecodeCalibrationFile(file.read(CalibrationFileLayout::MaxFileBytes));
        if (!contents || contents->version != e.version)
            return std::nullopt;
        return Snapshot{e, contents->image};
    }
    return std::nullopt;
}

bool SnapshotStore::update(const QString &id, const std::function<void(SnapshotEntry &)> &change) {
    if (!readIndex())
        return false;
    QVector<SnapshotEntry> next = entries_;
    for (SnapshotEntry &e : next)
        if (e.id == id) {
            change(e);
            return writeIndex(next);
        }
    return false;
}

bool SnapshotStore::setNote(const QString &id, const QString &note) {
    return update(id, [&](SnapshotEntry &e) { e.note = note; });
}

bool SnapshotStore::setOutcome(const QString &id, const QString &outcome) {
    return update(id, [&](SnapshotEntry &e) { e.outcome = outcome; });
}
