#include "cli/EcuConnection.h"

#include "cli/CliOutput.h"
#include "core/FirmwareVersion.h"

EcuConnection::EcuConnection(const CliCall &call)
    : call_(call), port_(call.arguments.value(0)), session_(&serial_, call.arguments.value(0)) {}

EcuConnection::~EcuConnection() {
    session_.close();
}

int EcuConnection::fail(int status, const QString &text) {
    PrintError(QStringLiteral("%1: %2: %3").arg(call_.command, port_, text));
    return status;
}

int EcuConnection::failed() {
    switch (session_.failure()) {
    case SessionFailure::VersionMismatch:
        return fail(Exit::FileError, session_.error());
    case SessionFailure::None:
    case SessionFailure::Line:
    case SessionFailure::Ecu:
        break;
    }
    return fail(Exit::LineOrEcu, session_.error());
}

bool EcuConnection::open(bool newerAllowed) {
    if (!session_.identify()) {
        failed();
        return false;
    }
    if (!newerAllowed && EcuIsNewer(identity().version)) {
        fail(Exit::LineOrEcu,
             QStringLiteral("the ECU's firmware %1 is newer than this program; a newer QVR PC "
                            "software is needed (--force goes on anyway)")
                 .arg(identity().version));
        return false;
    }
    return true;
}

bool EcuConnection::permit(bool (*allows)(int bits), const QString &what) {
    const std::optional<int> bits = identity().accessBits;
    if (!bits || allows(*bits))
        return true;
    if (!call_.has(QStringLiteral("password"))) {
        fail(Exit::LineOrEcu,
             QStringLiteral("the ECU's access mode (%1) does not allow %2; --password lifts it for "
                            "this command")
                 .arg(AccessModeText(*bits), what));
        return false;
    }
    if (!session_.authorise(call_.value(QStringLiteral("password"))) || !session_.storeAccess(0)) {
        failed();
        return false;
    }
    liftedFrom_ = bits;
    PrintNote(QStringLiteral("access mode %1 lifted for this command").arg(AccessModeText(*bits)));
    return true;
}

void EcuConnection::restore() {
    if (!liftedFrom_)
        return;
    const int bits = *liftedFrom_;
    liftedFrom_.reset();
    const QString mode = AccessModeText(bits);
    if (session_.failure() == SessionFailure::Line) {
        PrintNote(
            QStringLiteral("the ECU's access mode stays lifted (it was %1): nothing more is sent after a "
                           "failed line")
                .arg(mode));
        return;
    }
    // A write's version read ends the password's authority: it is given again.
    if (session_.authorise(call_.value(QStringLiteral("password"))) && session_.storeAccess(bits)) {
        PrintNote(QStringLiteral("access mode %1 set back").arg(mode));
        return;
    }
    fail(Exit::LineOrEcu,
         QStringLiteral("setting the access mode back to %1 failed: %2").arg(mode, session_.error()));
}
