#include "link/Link.h"

#include "core/Dialogs.h"
#include "core/FirmwareVersion.h"
#include "core/Timers.h"
#include "link/SerialPort.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>

QString CommErrorsText(int count) {
    return QStringLiteral("Comm errors: ") + QString::number(count);
}

namespace {
QTimer *MakeTimer(QObject *parent, const char *name, int interval, bool singleShot = false) {
    auto *timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(interval);
    timer->setSingleShot(singleShot);
    return timer;
}
} // namespace

Link::Link(SerialPort *port, Dialogs *dialogs, LinkHooks *hooks, QObject *parent)
    : QObject(parent), ComPort1(port), Timer1(MakeTimer(this, "Timer1", 100)),
      Timer2(MakeTimer(this, "Timer2", 300)), Timer3(MakeTimer(this, "Timer3", 30)),
      Timer4(MakeTimer(this, "Timer4", 60, true)), dialogs_(dialogs), hooks_(hooks ? hooks : &defaultHooks_) {
    setObjectName(QStringLiteral("Link"));
    connect(Timer1, &QTimer::timeout, this, &Link::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &Link::Timer2Timer);
    connect(Timer3, &QTimer::timeout, this, &Link::Timer3Timer);
    connect(Timer4, &QTimer::timeout, this, &Link::Timer4Timer);
    if (ComPort1)
        connect(ComPort1, &SerialPort::bytesReceived, this, &Link::ComPort1RxChar);
}

Link::~Link() = default;

void Link::setHooks(LinkHooks *hooks) {
    hooks_ = hooks ? hooks : &defaultHooks_;
}

void Link::ChoosePort(const QString &programDirectory, const QStringList &arguments) {
    PortName = QStringLiteral("COM1");
    QFile ini(QDir(programDirectory).filePath(QStringLiteral("com.ini")));
    if (ini.open(QIODevice::ReadOnly)) {
        const QByteArray record = ini.read(21);
        if (record.size() == 21) {
            // A length byte beyond the record would read past the name; keep what the record holds.
            const int length = qMin(int(std::uint8_t(record[0])), 20);
            PortName = QString::fromLatin1(record.mid(1, length));
            return;
        }
    }
    const QString first = arguments.value(0);
    const QString second = arguments.value(1);
    for (int k = 1; k <= 9; ++k) {
        const QString option = QStringLiteral("-") + QString::number(k);
        if (first == option || second == option)
            PortName = QStringLiteral("COM") + QString::number(k);
    }
}

void Link::SetSlowTiming() {
    Timer1->setInterval(100);
    Timer2->setInterval(300);
    Timer3->setInterval(50);
    Timer4->setInterval(1000);
}

void Link::ResetState() {
    RxCount = 0;
    RxBuffer.clear();
    RequestPayload.clear();
    CommErrors = 0;
    RxIgnore = false;
}

bool Link::IsConnected() const {
    return ComPort1 && ComPort1->isOpen();
}

bool Link::OpenPortIfClosed() {
    if (!ComPort1)
        return false;
    if (ComPort1->isOpen())
        return true;
    return ComPort1->open(PortName);
}

void Link::ClosePort() {
    if (IsConnected())
        ComPort1->close();
}

bool Link::SendFrame(const QByteArray &frame) {
    if (!IsConnected())
        return true;
    RxCount = 0;
    RxBuffer.clear();
    if (!ComPort1->write(frame)) {
        StopLink();
        DisableTimer(Timer3);
        DisableTimer(Timer4);
        if (dialogs_)
            dialogs_->error(QStringLiteral("Communicatie Error"));
        return false;
    }
    EnableTimer(Timer2);
    return true;
}

void Link::StopLink() {
    RxIgnore = true;
    DisableTimer(Timer1);
    DisableTimer(Timer2);
    if (IsConnected())
        ComPort1->purge();
}

void Link::ArmDelayedAction(int code) {
    DelayedAction = code;
    EnableTimer(Timer4);
}

void Link::RejectAndRetry() {
    StopLink();
    ArmDelayedAction(6);
}

void Link::RefreshCommErrors() {
    hooks_->showCommErrors(CommErrors);
}

bool Link::Online() const {
    return hooks_->isOnline();
}

QString Link::Version() const {
    return hooks_->currentVersion();
}

void Link::RetryStep() {
    if (!IsConnected())
        return;
    ComPort1->purge();
    ++CommErrors;
    hooks_->showCommErrors(CommErrors);
    if (CommErrors > 5) {
        // Give up quietly: the red dashboard says enough.
        StopLink();
        CommErrors = 0;
        RxCount = 0;
        RxBuffer.clear();
        hooks_->setOffline();
        ClosePort();
        if (LastCommand == 'L') {
            hooks_->releaseLockButton();
            hooks_->showLockState(true);
        }
        return;
    }
    ResendLast();
}

void Link::ComPort1RxChar(int count) {
    Q_UNUSED(count);
    if (RxIgnore) {
        LastOutcome = Outcome::Ignored;
        return;
    }
    if (!IsConnected()) {
        LastOutcome = Outcome::Ignored;
        return;
    }
    QByteArray chunk;
    const bool readOk = ComPort1->read(chunk);
    RxBuffer += chunk;
    RxCount += int(chunk.size());
    if (!readOk) {
        LastOutcome = Outcome::ReadFailed;
        RejectAndRetry();
        if (dialogs_)
            dialogs_->show(DialogKind::Error, QStringLiteral("Comm Error test"),
                           {DialogButton::Yes, DialogButton::No});
        return;
    }
    if (RxBuffer.isEmpty()) {
        LastOutcome = Outcome::Incomplete;
        return;
    }
    if (!IsReplyLetter(RxBuffer.front())) {
        LastOutcome = Outcome::Discarded;
        RxBuffer.clear();
        RxCount = 0;
        RejectAndRetry();
        return;
    }
    const ReplyRule *rule = FindReplyRule(LastCommand);
    if (!rule) {
        // Nothing was asked: there is nothing to judge or to repeat.
        LastOutcome = Outcome::Discarded;
        RxBuffer.clear();
        RxCount = 0;
        return;
    }
    const bool imageReply = rule->action == ReplyAction::Image && RxBuffer.front() == 'Z';
    if (imageReply)
        hooks_->onReadProgress(RxCount);
    switch (JudgeReply(*rule, RxBuffer, ReadCount)) {
    case ReplyVerdict::Incomplete:
        LastOutcome = Outcome::Incomplete;
        // During the long image read the time-out measures silence, not the whole transfer.
        if (imageReply)
            RestartTimer(Timer2);
        return;
    case ReplyVerdict::Rejected:
        LastOutcome = Outcome::Rejected;
        RejectAndRetry();
        return;
    case ReplyVerdict::Complete:
        DisableTimer(Timer2);
        if (ApplyReply(*rule)) {
            ++acceptedReplies_;
            LastOutcome = Outcome::Accepted;
        } else {
            LastOutcome = Outcome::Rejected;
            RejectAndRetry();
        }
        return;
    }
}

void Link::Timer1Timer() {
    const quint64 accepted = acceptedReplies_;
    QCoreApplication::processEvents();
    // Whatever ran meanwhile may have stopped the poll, or a reply restarted it for a fresh interval.
    if (!Timer1->isActive() || acceptedReplies_ != accepted)
        return;
    RequestLiveData();
}

void Link::Timer2Timer() {
    const quint64 accepted = acceptedReplies_;
    QCoreApplication::processEvents();
    // A reply accepted meanwhile answered the request this time-out was for, even when the next
    // request has already re-armed the timer.
    if (!Timer2->isActive() || acceptedReplies_ != accepted)
        return;
    RetryStep();
}

void Link::Timer3Timer() {
    hooks_->onTimer3();
}

void Link::Timer4Timer() {
    DisableTimer(Timer4);
    RxIgnore = false;
    switch (DelayedAction) {
    case 0:
        Timer4->setInterval(60);
        RequestVersion();
        break;
    case 1:
        WriteSingleValue();
        break;
    case 2:
        hooks_->startEditJob();
        break;
    case 3:
        RequestLiveData();
        break;
    case 6:
        Timer4->setInterval(60);
        RetryStep();
        break;
    case 7:
        RequestLock();
        break;
    case 8:
        hooks_->startCorrectionTableWrite();
        break;
    case 9:
        EnableTimer(Timer3);
        break;
    default:
        hooks_->onOtherDelayedAction(DelayedAction);
        break;
    }
}
