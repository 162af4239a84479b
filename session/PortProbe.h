#pragma once
// Which serial ports have an ECU on them: every port is asked "V" at 9600 baud at the same time, each
// reply gets the line's 300 ms, a port has at most two tries, and a port whose reply is a version this
// program serves is asked "S" the same way for the serial number. A silent port costs 600 ms, however
// many there are. Opens ports of its own: not one the link has open.
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class SerialPort;

struct PortProbeResult {
    QString port;
    bool answered = false; // a recognised version came back
    QString version;       // what the port answered to "V", if anything
    QString serial;
    QString note; // why a port did not count: cannot be opened, silent, an unknown version
};

class PortProbe : public QObject {
    Q_OBJECT
public:
    using PortFactory = std::function<std::unique_ptr<SerialPort>()>;
    static constexpr int ReplyTimeoutMs = 300;
    static constexpr int Tries = 2;

    // Without a factory each port is Qt's serial port.
    explicit PortProbe(PortFactory factory = {}, QObject *parent = nullptr);
    ~PortProbe() override;

    // Starts probing; `finished` follows once every port has answered or given up.
    void start(const QStringList &ports);
    bool running() const { return !probes_.isEmpty(); }
    // start() and wait for the results (in a local event loop), in the order of `ports`.
    QList<PortProbeResult> run(const QStringList &ports);

signals:
    void finished(const QList<PortProbeResult> &results);

private:
    class Probe;
    void probeDone();

    PortFactory factory_;
    QList<Probe *> probes_;
};
