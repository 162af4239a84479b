#pragma once
// Where the program keeps the files that live beside it: "com.ini", "Language.ini" and the PDF manuals.
//
// A build or a portable copy keeps them in its own folder, as it always has. An installed program cannot
// (its folder is the system's, e.g. /usr/bin): it keeps the two settings in the user's configuration
// folder and finds the manuals in the package's data folder, <prefix>/share/qvr-fuel/manuals, which it
// recognises beside its own folder. The files' formats are the same wherever they are.
#include <QLocale>
#include <QString>
#include <QStringList>

struct ProgramFiles {
    QString programDirectory;      // the running program's folder
    QString userDirectory;         // the user's configuration folder; empty when the system names none
    QStringList manualDirectories; // searched in this order
    bool besideProgram = true;     // settings kept in programDirectory

    // Decides for a program in `programDirectory`. `userDirectory` stands for the system's configuration
    // folder of this program (QStandardPaths::AppConfigLocation) when not given.
    static ProgramFiles Locate(const QString &programDirectory, const QString &userDirectory = {});

    // The file to read a setting from: the user's copy first, then one beside the program.
    QString settingToRead(const QString &name) const;
    // The file to write a setting to; makes the user's folder when that is where it goes.
    QString settingToWrite(const QString &name) const;
    // Where the file dialogs start: the program's folder for a build or a portable copy, the user's
    // documents folder for an installed program (whose own folder holds no calibrations).
    QString calibrationDirectory() const;
    // The first manual of that name in manualDirectories, else the path beside the program (which the
    // caller then reports as not found).
    QString manualPath(const QString &name) const;

    // An installed program without a "Language.ini" of its own writes one from the system's language, as
    // an installer would. False when nothing needed writing or the write failed.
    bool writeLanguageAtFirstStart(QLocale::Language systemLanguage) const;
};

// The "Language.ini" value of a language: German 2, Dutch 3, anything else 1 (English).
int LanguageValueFor(QLocale::Language language);

// The language the user reads: the first of the system's user-interface languages.
QLocale::Language SystemLanguage();

// The package's data folder for a program installed in <prefix>/bin: <prefix>/share/qvr-fuel.
QString PackageDataDirectory(const QString &programDirectory);
