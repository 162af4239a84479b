// ports and detect: which serial ports there are, and which have an ECU on them.
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "session/PortProbe.h"

#include <QSerialPortInfo>

int RunPorts(const CliCall &) {
    QStringList lines;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        QString line = info.portName() + QLatin1Char('\t') + info.systemLocation();
        if (!info.description().isEmpty())
            line += QLatin1Char('\t') + info.description();
        lines << line;
    }
    if (!lines.isEmpty())
        PrintOut(lines.join(QLatin1Char('\n')));
    return Exit::Done;
}

int RunDetect(const CliCall &call) {
    QStringList ports;
    if (call.has(QStringLiteral("ports"))) {
        for (const QString &name : call.value(QStringLiteral("ports")).split(QLatin1Char(',')))
            if (!name.trimmed().isEmpty())
                ports << name.trimmed();
    } else {
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
            ports << info.portName();
    }
    PortProbe probe;
    QStringList found;
    for (const PortProbeResult &result : probe.run(ports)) {
        if (result.answered)
            found << QStringLiteral("%1\t%2\t%3").arg(result.port, result.version, result.serial);
        else if (!result.version.isEmpty())
            PrintNote(QStringLiteral("%1 answers \"%2\": %3").arg(result.port, result.version, result.note));
    }
    if (found.isEmpty()) {
        PrintError(QStringLiteral("detect: no ECU answered on %1 port(s)").arg(ports.size()));
        return Exit::LineOrEcu;
    }
    PrintOut(found.join(QLatin1Char('\n')));
    return Exit::Done;
}
