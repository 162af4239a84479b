#pragma once
// One command's conversation with the ECU on the port named first on its command line: identify, lift an
// access mode that does not allow the command (with --password) and set it back, and the one-line error
// of whatever failed.
#include "cli/CliArguments.h"
#include "link/QtSerialPortAdapter.h"
#include "session/EcuSession.h"

#include <optional>

class EcuConnection {
public:
    explicit EcuConnection(const CliCall &call);
    ~EcuConnection();

    // Identifies the ECU. `newerAllowed`: go on with firmware newer than this program.
    bool open(bool newerAllowed);
    // The command needs what `allows` (of the access bits) says; an access mode that does not allow it is
    // lifted with the password for the command's time, or the command stops here.
    bool permit(bool (*allows)(int bits), const QString &what);
    // Sets back an access mode lifted by permit(), unless the line has failed (then nothing more is sent).
    void restore();

    EcuSession &session() { return session_; }
    const EcuIdentity &identity() const { return session_.identity(); }
    QString port() const { return port_; }

    // Prints "<command>: <port>: <text>" and gives the exit status.
    int fail(int status, const QString &text);
    // The session's own failure, with its status.
    int failed();

private:
    CliCall call_;
    QString port_;
    QtSerialPortAdapter serial_;
    EcuSession session_;
    std::optional<int> liftedFrom_;
};
