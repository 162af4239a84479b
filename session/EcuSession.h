#pragma once
// The ECU's conversations for a program without windows: identify ("V", "S", "a"), the password and the
// access mode ("p", "A"), the whole-calibration read ("Z") and write ("v", the blocks of the write plan,
// "R"), the lock ("L") and the live poll. One session drives one link on one port; each call starts the
// link's own request and waits in a local event loop until the ECU has answered or the link has gone its
// one way offline, so the frames are exactly the window program's.
#include "link/Link.h"
#include "link/LinkEnvironment.h"
#include "link/PlanWriter.h"

#include <QObject>
#include <QString>
#include <QVector>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class Dialogs;
class QEventLoop;
class SerialPort;

// Why a call failed: the line (no answer, lost, cannot open), the ECU itself (refused, a version this
// program does not serve), or the calibration's version against the ECU's.
enum class SessionFailure { None, Line, Ecu, VersionMismatch };

// Access bits of the "a" reply.
namespace AccessBit {
constexpr int ReadOnly = 4;
constexpr int DashboardOnly = 8;
constexpr int NoAccess = 16;
} // namespace AccessBit

// "full access", "settings read-only", "dashboard only", "no access".
QString AccessModeText(int bits);
// What the access mode lets through.
bool AccessAllowsReading(int bits);
bool AccessAllowsWriting(int bits);
bool AccessAllowsLocking(int bits);
bool AccessAllowsLiveData(int bits);

struct EcuIdentity {
    QString version;
    QString serial;
    // Firmware before "3FA1AC" has no access modes.
    std::optional<int> accessBits;
};

class EcuSession : public QObject {
    Q_OBJECT
public:
    // `port` is not owned and must outlive the session.
    EcuSession(SerialPort *port, const QString &portName, QObject *parent = nullptr);
    ~EcuSession() override;

    // The link's wait after each live reply (10..100 ms).
    void setPollInterval(int ms);

    bool identify();
    const EcuIdentity &identity() const { return identity_; }

    // "p" with the password; false when the ECU says "NO" or does not answer.
    bool authorise(const QString &password);
    // "A" with the bits (authorise first); false when the ECU says "NO".
    bool storeAccess(int bits);

    // The whole image of the identified firmware. `progress` hears bytes received of the total.
    using Progress = std::function<void(int done, int total)>;
    bool readImage(QVector<std::uint16_t> *image, const Progress &progress = {});

    // The version read before writing, then every block of the write plan for `version` with its words
    // from `image`, then "R". A recognised ECU version other than `version` stops before any block goes
    // unless `force`. `progress` hears data bytes written of the total.
    bool writeImage(const QString &version, const QVector<std::uint16_t> &image, bool force,
                    const Progress &progress = {});

    bool lock();

    // Polls until `keepGoing` says no (asked after every frame and every 100 ms) or the line fails; every
    // accepted live frame goes to `onFrame`.
    bool poll(const std::function<void(const QByteArray &frame)> &onFrame,
              const std::function<bool()> &keepGoing);

    // The port closed, nothing armed.
    void close();

    SessionFailure failure() const { return failure_; }
    // One line: what failed.
    QString error() const { return error_; }
    Link &link() { return *link_; }

private:
    // Runs the event loop until `finished_` or the link went offline; false (with the error) then.
    bool wait(int limitMs, const QString &what);
    bool fail(SessionFailure failure, const QString &text);
    void begin();
    void finish();
    QString offlineText(OfflineCause cause) const;
    // One access request: `send` puts it on the line, the ECU answers with `taken` or `refused`. Whether
    // it took the request; empty when the conversation failed (with the error).
    std::optional<bool> askAccess(void (Link::*taken)(), void (Link::*refused)(),
                                  const std::function<void()> &send, const QString &what);

    std::unique_ptr<Dialogs> dialogs_;
    QEventLoop *loop_ = nullptr;
    FixedLinkEnvironment environment_;
    std::unique_ptr<Link> link_;
    std::unique_ptr<PlanWriter> writer_;
    EcuIdentity identity_;
    QStringList shown_; // what the link would have put in a message box
    bool finished_ = false;
    bool offline_ = false;
    OfflineCause offlineCause_ = OfflineCause::User;
    SessionFailure failure_ = SessionFailure::None;
    QString error_;
};
