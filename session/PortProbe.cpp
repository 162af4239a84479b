#include "session/PortProbe.h"

#include "core/FirmwareVersion.h"
#include "link/QtSerialPortAdapter.h"
#include "link/ReplyRules.h"

#include <QEventLoop>
#include <QTimer>

// One port: open, "V", maybe "S", close.
class PortProbe::Probe : public QObject {
public:
    Probe(std::unique_ptr<SerialPort> port, const QString &name, QObject *parent)
        : QObject(parent), port_(std::move(port)) {
        result.port = name;
        timeout_.setSingleShot(true);
        timeout_.setInterval(ReplyTimeoutMs);
        connect(&timeout_, &QTimer::timeout, this, [this] { retry(QStringLiteral("no answer")); });
        connect(port_.get(), &SerialPort::bytesReceived, this, [this] { collect(); });
        connect(port_.get(), &SerialPort::lineLost, this,
                [this] { end(QStringLiteral("the line was lost")); });
    }

    PortProbeResult result;
    std::function<void()> onDone;
    bool done() const { return done_; }

    void start() {
        if (!port_->open(result.port)) {
            end(QStringLiteral("cannot be opened"));
            return;
        }
        ask('V');
    }

private:
    void ask(char letter) {
        letter_ = letter;
        tries_ = 0;
        send();
    }

    void send() {
        ++tries_;
        rx_.clear();
        port_->purge();
        if (!port_->write(QByteArray(1, letter_))) {
            end(QStringLiteral("cannot be written to"));
            return;
        }
        timeout_.start();
    }

    void retry(const QString &why) {
        timeout_.stop();
        if (tries_ < Tries)
            send();
        else
            end(letter_ == 'V' ? why : QStringLiteral("no serial number"));
    }

    void collect() {
        if (done_)
            return;
        QByteArray chunk;
        port_->read(chunk);
        rx_ += chunk;
        const ReplyRule *rule = FindReplyRule(letter_);
        if (!rule || rx_.isEmpty())
            return;
        switch (JudgeReply(*rule, rx_, 0)) {
        case ReplyVerdict::Incomplete:
            return;
        case ReplyVerdict::Rejected:
            retry(QStringLiteral("a garbled answer"));
            return;
        case ReplyVerdict::Complete:
            break;
        }
        timeout_.stop();
        const QString text = QString::fromLatin1(rx_.mid(1, rx_.size() - 2));
        if (letter_ == 'S') {
            result.serial = text;
            end({});
            return;
        }
        result.version = text;
        if (ClassifyVersion(text) != VersionKind::Recognised) {
            end(QStringLiteral("answers with a version this program does not serve"));
            return;
        }
        result.answered = true;
        ask('S');
    }

    void end(const QString &note) {
        if (done_)
            return;
        done_ = true;
        timeout_.stop();
        if (!note.isEmpty())
            result.note = note;
        port_->close();
        if (onDone)
            onDone();
    }

    std::unique_ptr<SerialPort> port_;
    QTimer timeout_;
    QByteArray rx_;
    char letter_ = 'V';
    int tries_ = 0;
    bool done_ = false;
};

PortProbe::PortProbe(PortFactory factory, QObject *parent) : QObject(parent), factory_(std::move(factory)) {
    if (!factory_)
        factory_ = [] { return std::make_unique<QtSerialPortAdapter>(); };
}

PortProbe::~PortProbe() {
    qDeleteAll(probes_);
}

void PortProbe::start(const QStringList &ports) {
    if (running())
        return;
    for (const QString &name : ports) {
        auto *probe = new Probe(factory_(), name, nullptr);
        probe->onDone = [this] { probeDone(); };
        probes_ << probe;
    }
    if (probes_.isEmpty()) {
        QTimer::singleShot(0, this, [this] { emit finished({}); });
        return;
    }
    // From the event loop, so that every ending, even one inside start(), comes after this call.
    for (Probe *probe : QList<Probe *>(probes_))
        QTimer::singleShot(0, probe, [probe] { probe->start(); });
}

void PortProbe::probeDone() {
    for (const Probe *probe : probes_)
        if (!probe->done())
            return;
    QList<PortProbeResult> results;
    for (const Probe *probe : probes_)
        results << probe->result;
    // The probes are still inside their own call: they go once it has returned.
    for (Probe *probe : probes_)
        probe->deleteLater();
    probes_.clear();
    emit finished(results);
}

QList<PortProbeResult> PortProbe::run(const QStringList &ports) {
    QList<PortProbeResult> results;
    if (ports.isEmpty())
        return results;
    QEventLoop loop;
    const QMetaObject::Connection wire =
        connect(this, &PortProbe::finished, &loop, [&](const QList<PortProbeResult> &found) {
            results = found;
            loop.quit();
        });
    start(ports);
    loop.exec();
    disconnect(wire);
    return results;
}
