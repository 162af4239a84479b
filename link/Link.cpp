#include "link/Link.h"

#include "core/Dialogs.h"
#include "core/FirmwareVersion.h"
#include "core/ProgramFiles.h"
#include "core/Timers.h"
#include "link/SerialPort.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <algorithm>

QString CommErrorsText(int count) {
    return QStringLiteral("Comm errors: ") + QString::number(count);
}

namespace {
QTimer *MakeTimer(QObject *parent, const char *name, int interval, bool singleShot = false) {
    auto *timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(interval);
    timer->setSingleShot(singleShot);
    // The step timer's 30 ms and the poll's 100 ms set the pace of every transfer: a coarse timer may
    // fire up to 5 % late and so lose a whole tick per block.
    timer->setTimerType(Qt::PreciseTimer);
    return timer;
}

const QString PartlyWrittenText =
    QStringLiteral("The ECU now holds a partly written calibration: write it again with Down-load before "
                   "you lock it.");
} // namespace

Link::Link(SerialPort *port, Dialogs *dialogs, LinkEnvironment *environment, QObject *parent)
    : QObject(parent), port_(port), dialogs_(dialogs), environment_(environment),
      Timer1(MakeTimer(this, "Timer1", 100)), Timer2(MakeTimer(this, "Timer2", 300)),
      Timer3(MakeTimer(this, "Timer3", 30)), Timer4(MakeTimer(this, "Timer4", 60, true)), steps_(Timer3) {
    setObjectName(QStringLiteral("Link"));
    connect(Timer1, &QTimer::timeout, this, &Link::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &Link::Timer2Timer);
    connect(Timer3, &QTimer::timeout, this, &Link::Timer3Timer);
    connect(Timer4, &QTimer::timeout, this, &Link::Timer4Timer);
    if (port_) {
        connect(port_, &SerialPort::bytesReceived, this, &Link::ComPort1RxChar);
        connect(port_, &SerialPort::lineLost, this, [this] { LineLost(OfflineCause::LineLost); });
    }
}

Link::~Link() = default;

void Link::ChoosePort(const QString &programDirectory, const QStringList &arguments) {
    s_.PortName = QStringLiteral("COM1");
    QFile ini(ProgramFiles::Locate(programDirectory).settingToRead(QStringLiteral("com.ini")));
    if (ini.open(QIODevice::ReadOnly)) {
        const QByteArray record = ini.read(21);
        if (record.size() == 21) {
            // A length byte beyond the record would read past the name; keep what the record holds.
            const int length = qMin(int(std::uint8_t(record[0])), 20);
            s_.PortName = QString::fromLatin1(record.mid(1, length));
            return;
        }
    }
    const QString first = arguments.value(0);
    const QString second = arguments.value(1);
    for (int k = 1; k <= 9; ++k) {
        const QString option = QStringLiteral("-") + QString::number(k);
        if (first == option || second == option)
            s_.PortName = QStringLiteral("COM") + QString::number(k);
    }
}

void Link::SetSlowTiming() {
    Timer1->setInterval(100);
    Timer2->setInterval(300);
    Timer3->setInterval(50);
    Timer4->setInterval(1000);
}

void Link::SetPollInterval(int ms) {
    Timer1->setInterval(std::clamp(ms, 10, DocumentedPollMs));
}

void Link::ResetState() {
    s_.RxCount = 0;
    s_.RxBuffer.clear();
    s_.RequestPayload.clear();
    s_.CommErrors = 0;
    s_.RxIgnore = false;
}

// ---- who talks now -------------------------------------------------------------------------------------

bool Link::polling() const {
    return Timer1->isActive();
}

void Link::SetActivity(LineActivity activity) {
    if (activity_ == activity)
        return;
    activity_ = activity;
    emit activityChanged(activity_);
}

bool Link::Request(LineActivity kind, std::function<void()> start) {
    if (activity_ == LineActivity::Trim && !waiting_) {
        // The trim's "c" must not be overwritten by another delayed action; this one runs after it.
        waiting_ = std::make_unique<std::function<void()>>(std::move(start));
        waitingKind_ = kind;
        return true;
    }
    if (busy())
        return false;
    SetActivity(kind);
    if (start)
        start();
    return true;
}

void Link::Begin(LineActivity kind) {
    SetActivity(kind);
}

void Link::End(LineActivity kind) {
    if (activity_ != kind)
        return;
    SetActivity(LineActivity::Idle);
    RunWaiting();
}

void Link::RunWaiting() {
    if (!waiting_)
        return;
    const std::unique_ptr<std::function<void()>> start = std::move(waiting_);
    SetActivity(waitingKind_);
    if (*start)
        (*start)();
}

void Link::DisarmAll() {
    DisableTimer(Timer1);
    DisableTimer(Timer2);
    DisableTimer(Timer3);
    DisableTimer(Timer4);
}

void Link::GoOffline(OfflineCause cause) {
    if (goingOffline_)
        return;
    goingOffline_ = true;
    s_.RxIgnore = true;
    DisarmAll();
    if (IsConnected())
        port_->purge();
    steps_.Finish();
    s_.RxCount = 0;
    s_.RxBuffer.clear();
    if (IsConnected())
        port_->close();
    SetActivity(LineActivity::Idle);
    emit wentOffline(cause);
    goingOffline_ = false;
    // A request that waited behind a trim still runs: offline it does what it does offline.
    RunWaiting();
}

bool Link::Quiet() const {
    return !IsConnected() && activity_ == LineActivity::Idle && !steps_.Running() && !Timer1->isActive() &&
           !Timer2->isActive() && !Timer3->isActive() && !Timer4->isActive();
}

bool Link::PartlyWritten() const {
    // A write that stops half-way leaves the ECU with pieces of two calibrations.
    return IsCalibrationWriteStep(steps_.TransferStep) && steps_.TransferStep != Step::VersionCheck;
}

void Link::LineLost(OfflineCause cause) {
    // The port tells of a loss that a failed write has already handled.
    if (goingOffline_ || (cause == OfflineCause::LineLost && Quiet()))
        return;
    const bool partlyWritten = PartlyWritten();
    s_.CommErrors = 0;
    GoOffline(cause);
    if (!dialogs_)
        return;
    if (cause == OfflineCause::WriteFailed)
        dialogs_->error(partlyWritten ? QStringLiteral("Communicatie Error") + QStringLiteral("\r\r\n") +
                                            PartlyWrittenText
                                      : QStringLiteral("Communicatie Error"));
    else if (partlyWritten)
        dialogs_->warning(PartlyWrittenText);
}

// ---- the line ------------------------------------------------------------------------------------------

bool Link::IsConnected() const {
    return port_ && port_->isOpen();
}

bool Link::OpenPortIfClosed() {
    if (!port_)
        return false;
    if (port_->isOpen())
        return true;
    return port_->open(s_.PortName);
}

bool Link::SendFrame(const QByteArray &frame) {
    if (!IsConnected())
        return true;
    s_.RxCount = 0;
    s_.RxBuffer.clear();
    if (!port_->write(frame)) {
        LineLost(OfflineCause::WriteFailed);
        return false;
    }
    EnableTimer(Timer2);
    return true;
}

void Link::StopLink() {
    s_.RxIgnore = true;
    DisableTimer(Timer1);
    DisableTimer(Timer2);
    if (IsConnected())
        port_->purge();
}

void Link::ResumeReception() {
    s_.RxIgnore = false;
}

void Link::StopReplyTimeout() {
    DisableTimer(Timer2);
}

void Link::ArmDelayedAction(DelayedAction code) {
    s_.DelayedAction = static_cast<int>(code);
    EnableTimer(Timer4);
}

void Link::MarkStepReady() {
    steps_.setStepReady();
    emit stepReady();
}

void Link::ResetCalibrationReadings() {
    s_.CalMin = 0;
    s_.CalMax = 0;
}

void Link::RejectAndRetry() {
    StopLink();
    ArmDelayedAction(DelayedAction::Retry);
}

void Link::RefreshCommErrors() {
    emit commErrorsChanged(s_.CommErrors);
}

bool Link::Online() const {
    return environment_ && environment_->isOnline();
}

QString Link::Version() const {
    return environment_ ? environment_->currentVersion() : QStringLiteral("3FA1AD1AA");
}

void Link::RetryStep() {
    if (!IsConnected())
        return;
    port_->purge();
    ++s_.CommErrors;
    emit commErrorsChanged(s_.CommErrors);
    if (s_.CommErrors > 5) {
        // Give up: the red dashboard says enough, unless a write stopped half-way.
        const bool partlyWritten = PartlyWritten();
        const char last = s_.LastCommand;
        s_.CommErrors = 0;
        GoOffline(OfflineCause::GaveUp);
        if (last == 'L') {
            emit lockButtonReleased();
            emit lockDisplayChanged(true);
        }
        if (partlyWritten && dialogs_)
            dialogs_->warning(PartlyWrittenText);
        return;
    }
    ResendLast();
}

// ---- the close question --------------------------------------------------------------------------------

Link::Paused Link::PauseForQuestion() {
    Paused paused;
    paused.delayedAction = Timer4->isActive() ? s_.DelayedAction : -1;
    paused.steps = Timer3->isActive();
    paused.polling = Timer1->isActive();
    paused.awaitingReply = Timer2->isActive();
    StopLink();
    DisableTimer(Timer3);
    DisableTimer(Timer4);
    return paused;
}

void Link::ResumeAfterQuestion(const Paused &paused) {
    if (!IsConnected())
        return;
    if (paused.delayedAction >= 0) {
        // What was about to happen still happens; it clears RxIgnore when it runs.
        ArmDelayedAction(static_cast<DelayedAction>(paused.delayedAction));
    } else if (paused.awaitingReply || busy()) {
        // The purge may have taken the reply: the time-out asks again.
        s_.RxIgnore = false;
        EnableTimer(Timer2);
    } else if (Online()) {
        ArmDelayedAction(DelayedAction::Poll);
    }
    if (paused.steps)
        EnableTimer(Timer3);
    (void)paused.polling;
}

// ---- events --------------------------------------------------------------------------------------------

void Link::ComPort1RxChar(int count) {
    Q_UNUSED(count);
    if (s_.RxIgnore || !IsConnected()) {
        LastOutcome = Outcome::Ignored;
        return;
    }
    QByteArray chunk;
    const bool readOk = port_->read(chunk);
    s_.RxBuffer += chunk;
    s_.RxCount += int(chunk.size());
    if (!readOk) {
        LastOutcome = Outcome::ReadFailed;
        RejectAndRetry();
        if (dialogs_)
            dialogs_->show(DialogKind::Error, QStringLiteral("Comm Error test"),
                           {DialogButton::Yes, DialogButton::No});
        return;
    }
    if (s_.RxBuffer.isEmpty()) {
        LastOutcome = Outcome::Incomplete;
        return;
    }
    if (!IsReplyLetter(s_.RxBuffer.front())) {
        LastOutcome = Outcome::Discarded;
        s_.RxBuffer.clear();
        s_.RxCount = 0;
        RejectAndRetry();
        return;
    }
    const ReplyRule *rule = FindReplyRule(s_.LastCommand);
    if (!rule) {
        // Nothing was asked: there is nothing to judge or to repeat.
        LastOutcome = Outcome::Discarded;
        s_.RxBuffer.clear();
        s_.RxCount = 0;
        return;
    }
    const bool imageReply = rule->action == ReplyAction::Image && s_.RxBuffer.front() == 'Z';
    if (imageReply)
        emit readProgress(s_.RxCount);
    switch (JudgeReply(*rule, s_.RxBuffer, s_.ReadCount)) {
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
    // A wait shortened for logging is shorter than a live reply takes on the line: it must not ask again
    // while that reply is still arriving (the reply restarts the wait; its time-out retries as ever).
    if (Timer1->interval() < DocumentedPollMs && Timer2->isActive())
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
    steps_.Tick();
}

void Link::Timer4Timer() {
    DisableTimer(Timer4);
    s_.RxIgnore = false;
    switch (static_cast<DelayedAction>(s_.DelayedAction)) {
    case DelayedAction::Connect:
        Timer4->setInterval(60);
        if (activity_ == LineActivity::Idle)
            SetActivity(LineActivity::Connecting);
        RequestVersion();
        break;
    case DelayedAction::SingleWrite:
        WriteSingleValue();
        break;
    case DelayedAction::Poll:
        RequestLiveData();
        break;
    case DelayedAction::Retry:
        Timer4->setInterval(60);
        RetryStep();
        break;
    case DelayedAction::Lock:
        RequestLock();
        break;
    case DelayedAction::RunSteps:
        EnableTimer(Timer3);
        break;
    default:
        emit delayedActionDue(s_.DelayedAction);
        break;
    }
}
