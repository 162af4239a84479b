#include "session/EcuSession.h"

#include "core/Dialogs.h"
#include "core/FirmwareVersion.h"
#include "link/LinkTypes.h"
#include "link/SerialPort.h"

#include <QEventLoop>
#include <QTimer>

QString AccessModeText(int bits) {
    if (bits & AccessBit::NoAccess)
        return QStringLiteral("no access");
    if (bits & AccessBit::DashboardOnly)
        return QStringLiteral("dashboard only");
    if (bits & AccessBit::ReadOnly)
        return QStringLiteral("settings read-only");
    return QStringLiteral("full access");
}

bool AccessAllowsReading(int bits) {
    return !(bits & (AccessBit::NoAccess | AccessBit::DashboardOnly));
}

bool AccessAllowsWriting(int bits) {
    return !(bits & (AccessBit::NoAccess | AccessBit::DashboardOnly | AccessBit::ReadOnly));
}

bool AccessAllowsLocking(int bits) {
    return !(bits & AccessBit::NoAccess);
}

bool AccessAllowsLiveData(int bits) {
    return !(bits & AccessBit::NoAccess);
}

namespace {
// The letter that went out on the line for a LastCommand value.
char WireLetter(char lastCommand) {
    switch (lastCommand) {
    case 'v':
        return 'V';
    case 'c':
        return 'C';
    case '1':
    case '2':
        return 'D';
    default:
        return lastCommand;
    }
}

QString OneLine(QString text) {
    text.replace(QStringLiteral("\r"), QString());
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text.simplified();
}

// Where in the image a write stood: the address word of an "E" or "C" payload.
QString WriteAddressText(const LinkState &s) {
    const int offset = s.LastCommand == 'E' ? 2 : 0;
    if ((s.LastCommand != 'E' && s.LastCommand != 'C') || s.RequestPayload.size() < offset + 2)
        return {};
    const int address =
        (std::uint8_t(s.RequestPayload[offset]) << 8) | std::uint8_t(s.RequestPayload[offset + 1]);
    return QStringLiteral(" at word %1").arg(address);
}
} // namespace

EcuSession::EcuSession(SerialPort *port, const QString &portName, QObject *parent)
    : QObject(parent), dialogs_(std::make_unique<Dialogs>()) {
    // Nobody is there to answer a box: what it says becomes part of the error, its first button the answer.
    dialogs_->setPresenter([this](const DialogRequest &request) {
        shown_ << OneLine(request.text);
        return request.defaultButton.value_or(request.buttons.value(0, DialogButton::Ok));
    });
    // The requests that need the online dashboard of the window program find it here.
    environment_.online = true;
    link_ = std::make_unique<Link>(port, dialogs_.get(), &environment_);
    link_->setPortName(portName);
    writer_ = std::make_unique<PlanWriter>(*link_);
    link_->steps().addStepRunner([this](int step) { return writer_->RunStep(step); });
    connect(link_.get(), &Link::wentOffline, this, [this](OfflineCause cause) {
        offline_ = true;
        offlineCause_ = cause;
        if (loop_)
            loop_->quit();
    });
}

EcuSession::~EcuSession() {
    link_->disconnect(this);
    link_->GoOffline(OfflineCause::User);
}

void EcuSession::setPollInterval(int ms) {
    link_->SetPollInterval(ms);
}

void EcuSession::begin() {
    finished_ = false;
    offline_ = false;
    failure_ = SessionFailure::None;
    error_.clear();
    shown_.clear();
}

void EcuSession::finish() {
    finished_ = true;
    if (loop_)
        loop_->quit();
}

bool EcuSession::fail(SessionFailure failure, const QString &text) {
    if (failure_ == SessionFailure::None) {
        failure_ = failure;
        error_ = text;
    }
    finish();
    return false;
}

QString EcuSession::offlineText(OfflineCause cause) const {
    const LinkState &s = link_->state();
    QString text;
    switch (cause) {
    case OfflineCause::GaveUp:
        text = QStringLiteral("no answer to \"%1\"%2 (six tries)")
                   .arg(QChar::fromLatin1(WireLetter(s.LastCommand)))
                   .arg(WriteAddressText(s));
        break;
    case OfflineCause::LineLost:
        text = QStringLiteral("the line was lost (the port closed or the cable came out)");
        break;
    case OfflineCause::WriteFailed:
        text = QStringLiteral("sending to the port failed");
        break;
    case OfflineCause::PortUnavailable:
        text = QStringLiteral("the port cannot be opened");
        break;
    case OfflineCause::User:
    case OfflineCause::Program:
        text = QStringLiteral("the conversation was ended");
        break;
    }
    for (const QString &box : shown_)
        if (box.contains(QStringLiteral("partly written")))
            text += QStringLiteral("; ") + box;
    return text;
}

bool EcuSession::wait(int limitMs, const QString &what) {
    if (!finished_ && !offline_) {
        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        if (limitMs > 0)
            limit.start(limitMs);
        loop_ = &loop;
        loop.exec();
        loop_ = nullptr;
        if (!finished_ && !offline_) {
            // The link always ends a conversation itself; this is the net under it.
            link_->GoOffline(OfflineCause::Program);
            return fail(SessionFailure::Line,
                        what + QStringLiteral(" did not end within %1 s").arg(limitMs / 1000));
        }
    }
    if (failure_ != SessionFailure::None)
        return false;
    if (offline_ && !finished_)
        return fail(SessionFailure::Line, offlineText(offlineCause_));
    return true;
}

bool EcuSession::identify() {
    begin();
    identity_ = EcuIdentity();
    QList<QMetaObject::Connection> wires;
    wires << connect(link_.get(), &Link::versionReceived, this, [this](const QString &version) {
        identity_.version = version;
        environment_.version = version;
    });
    wires << connect(link_.get(), &Link::serialNumberReceived, this, [this](const QString &serial) {
        identity_.serial = serial;
        if (ClassifyVersion(identity_.version) == VersionKind::Recognised &&
            VersionAtLeast(identity_.version, QStringLiteral("3FA1AC")) && link_->RequestAccessBits())
            return;
        link_->End(LineActivity::Connecting);
        finish();
    });
    wires << connect(link_.get(), &Link::accessBitsReceived, this, [this](int bits) {
        identity_.accessBits = bits;
        link_->End(LineActivity::Connecting);
        finish();
    });
    // As the window program connects: through the delayed action, which opens reception too.
    link_->Begin(LineActivity::Connecting);
    link_->ArmDelayedAction(DelayedAction::Connect);
    const bool ok = wait(15000, QStringLiteral("identifying"));
    for (const QMetaObject::Connection &wire : wires)
        disconnect(wire);
    if (!ok)
        return false;
    link_->StopLink();
    switch (ClassifyVersion(identity_.version)) {
    case VersionKind::Recognised:
        return true;
    case VersionKind::UnsupportedFuel:
        return fail(SessionFailure::Ecu,
                    QStringLiteral("the ECU reports version %1, which this program does not serve")
                        .arg(identity_.version));
    case VersionKind::Foreign:
        return fail(SessionFailure::Ecu,
                    QStringLiteral("the ECU reports version %1, which is not a fuel-injection system")
                        .arg(identity_.version));
    }
    return true;
}

std::optional<bool> EcuSession::askAccess(void (Link::*taken)(), void (Link::*refused)(),
                                          const std::function<void()> &send, const QString &what) {
    begin();
    bool took = false;
    QList<QMetaObject::Connection> wires;
    wires << connect(link_.get(), taken, this, [&] {
        took = true;
        finish();
    });
    wires << connect(link_.get(), refused, this, [this] { finish(); });
    link_->StopLink();
    link_->ResumeReception();
    link_->Begin(LineActivity::Access);
    send();
    const bool ok = wait(15000, what);
    for (const QMetaObject::Connection &wire : wires)
        disconnect(wire);
    if (!ok)
        return std::nullopt;
    link_->StopLink();
    return took;
}

bool EcuSession::authorise(const QString &password) {
    environment_.password = password.toUpper();
    const std::optional<bool> accepted = askAccess(
        &Link::passwordAccepted, &Link::passwordRefused,
        [this] { link_->SendPassword(environment_.password); }, QStringLiteral("the password"));
    if (!accepted)
        return false;
    if (!*accepted)
        return fail(SessionFailure::Ecu, QStringLiteral("the ECU refused the password"));
    return true;
}

bool EcuSession::storeAccess(int bits) {
    environment_.bits = bits;
    const std::optional<bool> stored = askAccess(
        &Link::accessStored, &Link::accessRefused, [this, bits] { link_->SendAccessBits(bits); },
        QStringLiteral("storing the access mode"));
    if (!stored)
        return false;
    if (!*stored)
        return fail(SessionFailure::Ecu,
                    QStringLiteral("the ECU did not take the access mode \"%1\"").arg(AccessModeText(bits)));
    identity_.accessBits = bits;
    return true;
}

bool EcuSession::readImage(QVector<std::uint16_t> *image, const Progress &progress) {
    begin();
    const int count = ImageWordCount(identity_.version);
    const int total = 2 * count + 2;
    QList<QMetaObject::Connection> wires;
    wires << connect(link_.get(), &Link::readProgress, this, [&](int bytes) {
        if (progress)
            progress(std::min(bytes, total), total);
    });
    wires << connect(link_.get(), &Link::imageRead, this,
                     [&](int start, const QVector<std::uint16_t> &words) {
                         if (start != 0)
                             return;
                         *image = words;
                         finish();
                     });
    link_->StopLink();
    link_->ResumeReception();
    link_->ResetCommErrors();
    link_->ReadImage(0, count);
    const bool ok = wait(60000, QStringLiteral("the read"));
    for (const QMetaObject::Connection &wire : wires)
        disconnect(wire);
    link_->StopLink();
    return ok;
}

bool EcuSession::writeImage(const QString &version, const QVector<std::uint16_t> &image, bool force,
                            const Progress &progress) {
    begin();
    int total = 0;
    for (const WritePlanStep &step : CalibrationWritePlan(version))
        for (const WriteBlock &block : step.blocks)
            total += 2 * block.words;
    int written = 0;
    writer_->Prepare(version, [image](int address, int count) {
        QVector<std::uint16_t> words = image.mid(address, count);
        words.resize(count);
        return words;
    });
    writer_->onBlockSent = [&](int bytes) {
        written += bytes;
        if (progress)
            progress(std::min(written, total), total);
    };
    auto stopBeforeWriting = [this] {
        link_->StopLink();
        link_->steps().Finish();
        link_->End(LineActivity::Writing);
    };
    QList<QMetaObject::Connection> wires;
    wires << connect(link_.get(), &Link::versionBeforeWrite, this, [&, this](const QString &ecuVersion) {
        const VersionKind kind = ClassifyVersion(ecuVersion);
        if (kind != VersionKind::Recognised) {
            stopBeforeWriting();
            fail(SessionFailure::Ecu,
                 QStringLiteral("the ECU reports version %1, which this program does not serve")
                     .arg(ecuVersion));
            return;
        }
        if (ecuVersion != version && !force) {
            stopBeforeWriting();
            fail(SessionFailure::VersionMismatch,
                 QStringLiteral("the calibration is for version %1, the ECU has %2; nothing was written")
                     .arg(version, ecuVersion));
            return;
        }
        link_->steps().Begin(Step::FuelMap, false);
        link_->ArmDelayedAction(DelayedAction::RunSteps);
    });
    // "R" makes the link ask for live data at once. Nothing else may go out before that reply is off the
    // line: on a line at the real pace its bytes would run into the next request's reply.
    bool restarted = false;
    QTimer settle;
    settle.setSingleShot(true);
    settle.setInterval(1000);
    connect(&settle, &QTimer::timeout, this, [this] { finish(); });
    wires << connect(link_.get(), &Link::restartAccepted, this, [&, this] {
        link_->steps().Finish();
        restarted = true;
        settle.start();
    });
    wires << connect(link_.get(), &Link::liveFrameReceived, this, [&, this] {
        if (restarted)
            finish();
    });
    const bool started = link_->Request(LineActivity::Writing, [this] {
        link_->StopLink();
        link_->ResetCommErrors();
        link_->steps().Begin(Step::VersionCheck, false);
        link_->ArmDelayedAction(DelayedAction::RunSteps);
    });
    bool ok = started ? wait(300000, QStringLiteral("the write"))
                      : fail(SessionFailure::Line, QStringLiteral("the line is busy"));
    if (!ok && restarted) {
        // The write is complete; only the poll after it failed, which the next request will find out.
        failure_ = SessionFailure::None;
        error_.clear();
        ok = true;
    }
    for (const QMetaObject::Connection &wire : wires)
        disconnect(wire);
    writer_->onBlockSent = nullptr;
    // "R" starts the live poll again; nobody is watching it here.
    link_->StopLink();
    return ok;
}

bool EcuSession::lock() {
    begin();
    QList<QMetaObject::Connection> wires;
    wires << connect(link_.get(), &Link::lockAccepted, this, [this] { finish(); });
    const bool started = link_->Request(LineActivity::Lock, [this] {
        link_->StopLink();
        link_->ArmDelayedAction(DelayedAction::Lock);
    });
    const bool ok = started ? wait(15000, QStringLiteral("the lock"))
                            : fail(SessionFailure::Line, QStringLiteral("the line is busy"));
    for (const QMetaObject::Connection &wire : wires)
        disconnect(wire);
    link_->StopLink();
    return ok;
}

bool EcuSession::poll(const std::function<void(const QByteArray &frame)> &onFrame,
                      const std::function<bool()> &keepGoing) {
    begin();
    QList<QMetaObject::Connection> wires;
    wires << connect(link_.get(), &Link::liveFrameReceived, this, [&, this](const QByteArray &frame) {
        onFrame(frame);
        if (!keepGoing())
            finish();
    });
    QTimer check;
    check.setInterval(100);
    connect(&check, &QTimer::timeout, this, [&, this] {
        if (!keepGoing())
            finish();
    });
    check.start();
    link_->StopLink();
    link_->ResumeReception();
    link_->RequestLiveData();
    const bool ok = wait(0, QStringLiteral("the live poll"));
    for (const QMetaObject::Connection &wire : wires)
        disconnect(wire);
    link_->StopLink();
    return ok;
}

void EcuSession::close() {
    link_->GoOffline(OfflineCause::User);
}
