#pragma once
#include "link/SerialPort.h"

class QSerialPort;
class QTimer;

class QtSerialPortAdapter : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPortAdapter(QObject *parent = nullptr);
    ~QtSerialPortAdapter() override;

    bool open(const QString &name) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray &bytes) override;
    bool read(QByteArray &bytes) override;
    void purge() override;
    QStringList availablePorts() const override;

    static constexpr int WriteTimeoutMs = 2000;
    // How often an open port checks that its device is still there.
    static constexpr int PresenceCheckMs = 500;

private:
    void onReadyRead();
    void deliverPending();
    void onError(int error);
    void checkPresence();
    // Close at once (a dead port keeps reporting errors as fast as it can) and tell the link once.
    void lose();

    QSerialPort *port_;
    QTimer *presence_;
    QString devicePath_; // empty where the system has no device files to look at
    bool writing_ = false;
    bool pending_ = false;
    bool opening_ = false;
    quint64 openings_ = 0;
};
