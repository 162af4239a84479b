#include "core/ProgramFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtEndian>

namespace {
QString Join(const QString &directory, const QString &name) {
    return QDir(directory).filePath(name);
}

bool IsFile(const QString &path) {
    return QFileInfo(path).isFile();
}
} // namespace

QString PackageDataDirectory(const QString &programDirectory) {
    return QDir::cleanPath(Join(programDirectory, QStringLiteral("../share/qvr-fuel")));
}

ProgramFiles ProgramFiles::Locate(const QString &programDirectory, const QString &userDirectory) {
    ProgramFiles files;
    files.programDirectory = programDirectory;
    files.userDirectory = userDirectory.isEmpty()
                              ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                              : userDirectory;
    const QString packageManuals = Join(PackageDataDirectory(programDirectory), QStringLiteral("manuals"));
    const bool installed = QFileInfo(packageManuals).isDir();
    const QFileInfo folder(programDirectory);
    // A folder that does not exist is left as it was: writing there fails with the usual message. An
    // installed tree counts as installed even for root, who could write /usr/bin but should not.
    files.besideProgram = !installed && !(folder.isDir() && !folder.isWritable());

    files.manualDirectories << programDirectory;
    if (!files.besideProgram) {
        files.manualDirectories << packageManuals;
        // Also the system's data folders (/usr/local/share, /usr/share, ~/.local/share): a copy in a folder
        // the user cannot write finds the manuals of an installed package.
        const QStringList shared =
            QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("qvr-fuel/manuals"),
                                      QStandardPaths::LocateDirectory);
        for (const QString &directory : shared)
            if (!files.manualDirectories.contains(directory))
                files.manualDirectories << directory;
    }
    return files;
}

QString ProgramFiles::settingToRead(const QString &name) const {
    if (!besideProgram && !userDirectory.isEmpty()) {
        const QString user = Join(userDirectory, name);
        if (IsFile(user))
            return user;
    }
    return Join(programDirectory, name);
}

QString ProgramFiles::settingToWrite(const QString &name) const {
    // Without a configuration folder the write goes where it always went, and fails there visibly.
    if (besideProgram || userDirectory.isEmpty())
        return Join(programDirectory, name);
    QDir().mkpath(userDirectory);
    return Join(userDirectory, name);
}

QString ProgramFiles::calibrationDirectory() const {
    if (besideProgram)
        return programDirectory;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

QString ProgramFiles::manualPath(const QString &name) const {
    for (const QString &directory : manualDirectories) {
        const QString path = Join(directory, name);
        if (IsFile(path))
            return path;
    }
    return Join(programDirectory, name);
}

bool ProgramFiles::writeLanguageAtFirstStart(QLocale::Language systemLanguage) const {
    const QString name = QStringLiteral("Language.ini");
    if (besideProgram || userDirectory.isEmpty() || IsFile(settingToRead(name)))
        return false;
    QSaveFile file(settingToWrite(name));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    char record[4];
    qToLittleEndian<qint32>(LanguageValueFor(systemLanguage), record);
    return file.write(record, sizeof record) == sizeof record && file.commit();
}

int LanguageValueFor(QLocale::Language language) {
    switch (language) {
    case QLocale::German:
        return 2;
    case QLocale::Dutch:
        return 3;
    default:
        return 1;
    }
}

QLocale::Language SystemLanguage() {
    const QStringList languages = QLocale::system().uiLanguages();
    return languages.isEmpty() ? QLocale::system().language() : QLocale(languages.first()).language();
}
