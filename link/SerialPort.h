#pragma once
// The serial line as the link sees it. Production uses QtSerialPortAdapter; the fuzz target feeds bytes
// through a double. All calls and the notification happen on the GUI thread.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    // 9600 baud, 8N1, no flow control, DTR and RTS off. False when the port cannot be opened.
    virtual bool open(const QString &name) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Synchronous: returns once everything is written, false on error or after 2000 ms.
    virtual bool write(const QByteArray &bytes) = 0;
    // Everything available now; false when reading failed (bytes then holds what was read).
    virtual bool read(QByteArray &bytes) = 0;
    // Drops what waits in both directions.
    virtual void purge() = 0;
    virtual QStringList availablePorts() const = 0;

signals:
    // Bytes arrived; `count` is how many can be read now.
    void bytesReceived(int count);
    // The line is gone (a read or write error, the device vanished, the far end hung up). The port has
    // closed itself; it is said once per opening.
    void lineLost();
};
