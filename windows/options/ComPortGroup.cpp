// The serial port the program talks to the ECU through, kept across runs in "com.ini" (one 21-byte
// record: the name's length, then up to 20 characters of it).
#include "app/AppContext.h"
#include "core/Dialogs.h"
#include "core/ProgramFiles.h"
#include "link/Link.h"
#include "link/SerialPort.h"
#include "session/PortProbe.h"
#include "windows/options/OptionsWindow.h"

#include <QFile>

void TForm3::Button_set_communicationportClick() {
    QComboBox *ports = ComComboBox_set_communicationport;
    const QString current = ctx_.link ? ctx_.link->portName() : ports->currentText();
    QStringList names{QStringLiteral("COM1")};
    if (ctx_.link && ctx_.link->port()) {
        for (const QString &name : ctx_.link->port()->availablePorts())
            if (!names.contains(name))
                names << name;
    } else {
        for (int i = 0; i < ports->count(); ++i)
            if (!names.contains(ports->itemText(i)))
                names << ports->itemText(i);
    }
    // The port in use stays choosable even when the system does not list it (a pseudo-terminal, say).
    if (!current.isEmpty() && !names.contains(current))
        names << current;
    ports->clear();
    ports->addItems(names);
    ports->setCurrentIndex(std::max(0, int(names.indexOf(current))));
    openSubPanel(GroupBox_set_communicationport, Button_Cancel_set_communicationport);
}

void TForm3::Button_Save_set_communicationportClick() {
    const QString name = ComComboBox_set_communicationport->currentText().left(20);
    const QByteArray text = name.toLatin1();
    QByteArray record(21, '\0');
    record[0] = char(text.size());
    record.replace(1, text.size(), text);
    record.truncate(21);

    QFile file(ProgramFiles::Locate(ctx_.ProgramDirectory).settingToWrite(QStringLiteral("com.ini")));
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write(record) == record.size() && file.flush();
    file.close();
    if (written && ctx_.link) {
        ctx_.link->setPortName(name);
        // An open line keeps its port until the link next closes and opens it.
    }
    if (!written && ctx_.dialogs)
        ctx_.dialogs->plain(QStringLiteral("Write Error File: com.ini"));
    closeSubPanel(GroupBox_set_communicationport);
}

void TForm3::Button_Cancel_set_communicationportClick() {
    closeSubPanel(GroupBox_set_communicationport);
}

void TForm3::Button_detect_communicationportClick() {
    QComboBox *ports = ComComboBox_set_communicationport;
    QStringList names;
    for (int i = 0; i < ports->count(); ++i) {
        const QString name = ports->itemText(i);
        // The port the link has open is in use: a probe there would cut into its conversation.
        if (ctx_.link && ctx_.link->IsConnected() && name == ctx_.link->portName())
            continue;
        names << name;
    }
    auto *probe = new PortProbe({}, this);
    Button_detect_communicationport->setEnabled(false);
    connect(probe, &PortProbe::finished, this, [this, probe](const QList<PortProbeResult> &results) {
        probe->deleteLater();
        Button_detect_communicationport->setEnabled(true);
        for (const PortProbeResult &result : results) {
            if (!result.answered)
                continue;
            ComComboBox_set_communicationport->setCurrentIndex(
                ComComboBox_set_communicationport->findText(result.port));
            return;
        }
        if (ctx_.dialogs)
            ctx_.dialogs->information(QStringLiteral("No ECU answered on any of the listed ports."));
    });
    probe->start(names);
}
