// qvr-cli: the ECU from a terminal or a script. See `qvr-cli --help`.
#include "cli/CliArguments.h"
#include "cli/Commands.h"

#include <QCoreApplication>
#include <functional>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qvr-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QVR_VERSION));

    const ParsedCommandLine parsed = ParseCommandLine(QCoreApplication::arguments().mid(1));
    if (!parsed.call)
        return parsed.exitStatus;
    const QMap<QString, std::function<int(const CliCall &)>> commands{
        {QStringLiteral("ports"), RunPorts}, {QStringLiteral("detect"), RunDetect},
        {QStringLiteral("info"), RunInfo},   {QStringLiteral("read"), RunRead},
        {QStringLiteral("write"), RunWrite}, {QStringLiteral("verify"), RunVerify},
        {QStringLiteral("lock"), RunLock},   {QStringLiteral("diff"), RunDiff},
        {QStringLiteral("log"), RunLog},     {QStringLiteral("convert"), RunConvert},
    };
    return commands.value(parsed.call->command)(*parsed.call);
}
