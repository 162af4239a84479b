#pragma once
#include "link/SerialPort.h"

class QSerialPort;

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

private:
    void onReadyRead();
    void deliverPending();

    QSerialPort *port_;
    bool writing_ = false;
    bool pending_ = false;
};
