#include "cli/CliArguments.h"

#include "cli/CliOutput.h"

#include <QCommandLineParser>

namespace {

struct OptionEntry {
    QString name;
    QString valueName; // empty: a switch
    QString text;
};

struct CommandEntry {
    QString name;
    QStringList positional; // names shown in the usage line
    QString summary;
    QString details;
    QList<OptionEntry> options;
};

const OptionEntry Password{
    QStringLiteral("password"), QStringLiteral("text"),
    QStringLiteral("Password of the ECU (up to 10 characters): with it an access mode that "
                   "does not allow the command is lifted for it and set back afterwards.")};
const OptionEntry ForceNewer{QStringLiteral("force"),
                             {},
                             QStringLiteral("Go on with an ECU whose firmware is newer than this program.")};

const QList<CommandEntry> &Commands() {
    static const QList<CommandEntry> commands{
        {QStringLiteral("ports"), {}, QStringLiteral("List the system's serial ports."), {}, {}},
        {QStringLiteral("detect"),
         {},
         QStringLiteral("Find the ports with an ECU on them."),
         QStringLiteral(
             "Every port is asked for its version (\"V\", 9600 baud, 300 ms, at most two tries) at "
             "once; the ports that answer with a version this program serves are printed with the "
             "ECU's version and serial number."),
         {{QStringLiteral("ports"), QStringLiteral("A,B,..."),
           QStringLiteral("The ports to probe (default: every port of the system).")}}},
        {QStringLiteral("info"),
         {QStringLiteral("PORT")},
         QStringLiteral("Show the ECU's version, serial number and access mode."),
         {},
         {}},
        {QStringLiteral("read"),
         {QStringLiteral("PORT"), QStringLiteral("FILE")},
         QStringLiteral("Read the calibration into a calibration file."),
         QStringLiteral(
             "FILE gets the extension the firmware calls for (.f03 from 3FA on, .f00 below) when it "
             "has none; an existing file is replaced only once the new one is complete."),
         {Password, ForceNewer}},
        {QStringLiteral("write"),
         {QStringLiteral("PORT"), QStringLiteral("FILE")},
         QStringLiteral("Write a calibration file into the ECU."),
         QStringLiteral(
             "The ECU's version is compared with the file's first; a difference stops before "
             "anything is written. The blocks go out as the window program sends them, then \"R\". "
             "The data is then not locked: use the lock command."),
         {{QStringLiteral("verify"),
           {},
           QStringLiteral("Read the calibration back and compare it with the file.")},
          {QStringLiteral("force"),
           {},
           QStringLiteral("Write even when the versions differ or the firmware is newer than this program.")},
          Password}},
        {QStringLiteral("verify"),
         {QStringLiteral("PORT"), QStringLiteral("FILE")},
         QStringLiteral("Compare the ECU's calibration with a file, field by field."),
         {},
         {Password, ForceNewer}},
        {QStringLiteral("lock"),
         {QStringLiteral("PORT")},
         QStringLiteral("Lock the calibration in the ECU."),
         {},
         {Password}},
        {QStringLiteral("diff"),
         {QStringLiteral("FILE"), QStringLiteral("FILE")},
         QStringLiteral("List the fields in which two calibration files differ."),
         QStringLiteral("Exit status 0 when they are equal, 1 when they differ."),
         {}},
        {QStringLiteral("log"),
         {QStringLiteral("PORT"), QStringLiteral("FILE")},
         QStringLiteral("Record the live data into a log (.csv or .mlg by the extension)."),
         QStringLiteral("The values are what the dashboard shows, decoded with the calibration read from the "
                        "ECU first. Runs until the duration is over or it is interrupted (Ctrl+C)."),
         {{QStringLiteral("duration"), QStringLiteral("seconds"), QStringLiteral("How long to record.")},
          {QStringLiteral("poll-ms"), QStringLiteral("ms"),
           QStringLiteral("Wait after each live reply, 10 to 100 (default 100).")},
          Password,
          ForceNewer}},
        {QStringLiteral("convert"),
         {QStringLiteral("IN"), QStringLiteral("OUT")},
         QStringLiteral("Convert a log between .csv and .mlg (by the extensions)."),
         {},
         {}},
    };
    return commands;
}

const CommandEntry *FindCommand(const QString &name) {
    for (const CommandEntry &entry : Commands())
        if (entry.name == name)
            return &entry;
    return nullptr;
}

QString CommandHelp(const CommandEntry &entry) {
    QString text = QStringLiteral("Usage: qvr-cli %1").arg(entry.name);
    for (const QString &name : entry.positional)
        text += QLatin1Char(' ') + name;
    if (!entry.options.isEmpty())
        text += QStringLiteral(" [options]");
    text += QStringLiteral("\n\n") + entry.summary + QLatin1Char('\n');
    if (!entry.details.isEmpty())
        text += entry.details + QLatin1Char('\n');
    text += QStringLiteral("\nOptions:\n");
    for (const OptionEntry &option : entry.options) {
        QString left = QStringLiteral("--") + option.name;
        if (!option.valueName.isEmpty())
            left += QLatin1Char(' ') + option.valueName;
        text += QStringLiteral("  %1\n      %2\n").arg(left, option.text);
    }
    text += QStringLiteral("  --help\n      This help.\n  --version\n      The program's version.\n");
    return text;
}

int UsageError(const QString &command, const QString &text) {
    const QString where = command.isEmpty() ? QString() : command + QStringLiteral(": ");
    PrintError(where + text + QStringLiteral(" (see qvr-cli ") +
               (command.isEmpty() ? QString() : command + QLatin1Char(' ')) + QStringLiteral("--help)"));
    return Exit::UsageOrDifference;
}

} // namespace

QString GeneralHelp() {
    QString text = QStringLiteral("Usage: qvr-cli COMMAND [arguments] [options]\n\n"
                                  "The ECU from a terminal or a script. Commands:\n");
    for (const CommandEntry &entry : Commands()) {
        QString left = entry.name;
        for (const QString &name : entry.positional)
            left += QLatin1Char(' ') + name;
        text += QStringLiteral("  %1%2\n").arg(left, -24).arg(entry.summary);
    }
    text += QStringLiteral(
        "\n'qvr-cli COMMAND --help' tells more about each.\n\n"
        "Exit status:\n"
        "  0  done (diff: the files are equal)\n"
        "  1  usage error, or diff found differences\n"
        "  2  the line or the ECU: no answer, line lost, refused, a firmware this program does not serve\n"
        "  3  verify: the ECU's calibration differs from the file\n"
        "  4  a file cannot be read or written, or does not fit the ECU (its version differs)\n");
    return text;
}

ParsedCommandLine ParseCommandLine(const QStringList &arguments) {
    ParsedCommandLine parsed;
    const QString first = arguments.value(0);
    if (first == QLatin1String("--version")) {
        PrintOut(QStringLiteral("qvr-cli " QVR_VERSION));
        return parsed;
    }
    if (first.isEmpty() || first == QLatin1String("--help") || first == QLatin1String("-h") ||
        first == QLatin1String("help")) {
        const CommandEntry *entry = FindCommand(arguments.value(1));
        if (first == QLatin1String("help") && entry)
            PrintOut(CommandHelp(*entry));
        else
            PrintOut(GeneralHelp());
        parsed.exitStatus = first.isEmpty() ? Exit::UsageOrDifference : Exit::Done;
        return parsed;
    }
    const CommandEntry *entry = FindCommand(first);
    if (!entry) {
        parsed.exitStatus = UsageError({}, QStringLiteral("unknown command \"%1\"").arg(first));
        return parsed;
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOption(help);
    parser.addOption(version);
    for (const OptionEntry &option : entry->options)
        parser.addOption(option.valueName.isEmpty()
                             ? QCommandLineOption(option.name)
                             : QCommandLineOption(option.name, option.text, option.valueName));
    if (!parser.parse(QStringList{QStringLiteral("qvr-cli")} + arguments.mid(1))) {
        parsed.exitStatus = UsageError(entry->name, parser.errorText());
        return parsed;
    }
    if (parser.isSet(help)) {
        PrintOut(CommandHelp(*entry));
        return parsed;
    }
    if (parser.isSet(version)) {
        PrintOut(QStringLiteral("qvr-cli " QVR_VERSION));
        return parsed;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != entry->positional.size()) {
        parsed.exitStatus = UsageError(entry->name, QStringLiteral("takes %1, got %2 argument(s)")
                                                        .arg(entry->positional.isEmpty()
                                                                 ? QStringLiteral("no arguments")
                                                                 : entry->positional.join(QLatin1Char(' ')))
                                                        .arg(positional.size()));
        return parsed;
    }
    CliCall call;
    call.command = entry->name;
    call.arguments = positional;
    for (const OptionEntry &option : entry->options)
        if (parser.isSet(option.name))
            call.options.insert(option.name,
                                option.valueName.isEmpty() ? QString() : parser.value(option.name));
    if (call.value(QStringLiteral("password")).size() > 10) {
        parsed.exitStatus = UsageError(entry->name, QStringLiteral("--password takes at most 10 characters"));
        return parsed;
    }
    parsed.call = call;
    return parsed;
}
