#pragma once
// The command line of qvr-cli: which command, its arguments and options, and the help of each.
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The exit statuses every command keeps to.
namespace Exit {
constexpr int Done = 0;
constexpr int UsageOrDifference = 1;
constexpr int LineOrEcu = 2; // the line or the ECU: no answer, lost, refused, a firmware not served
constexpr int VerifyMismatch = 3;
constexpr int FileError = 4; // a file cannot be read or written, or does not fit the ECU
} // namespace Exit

struct CliCall {
    QString command;
    QStringList arguments;          // the positional ones, in order
    QMap<QString, QString> options; // long name -> value ("" for a switch)

    bool has(const QString &name) const { return options.contains(name); }
    QString value(const QString &name) const { return options.value(name); }
};

// What parsing decided: a call to run, or an exit status with what was printed already (help, version,
// a usage error).
struct ParsedCommandLine {
    std::optional<CliCall> call;
    int exitStatus = Exit::Done;
};

// `arguments` without the program's name.
ParsedCommandLine ParseCommandLine(const QStringList &arguments);

// The general help: every command and the exit statuses.
QString GeneralHelp();
