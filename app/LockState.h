#pragma once
// Whether the calibration in the ECU is locked, as the program shows it: the header cells of both map
// grids (yellow = not locked, silver = locked), the chart window's footer and the captions of the main,
// correction-table and options windows. Also the lock request: the lock button and Alt+L.
//
// The fuel grid's header colour is the record other code reads (TForm1::DataNotLocked, the close
// question).
#include <QObject>
#include <QString>
#include <functional>

struct AppContext;
class Link;

class LockState : public QObject {
    Q_OBJECT
public:
    // `programVersion` gives the opening dialog's version caption ("3.05").
    // Needs every window in `ctx`.
    LockState(AppContext &ctx, Link &link, std::function<QString()> programVersion,
              QObject *parent = nullptr);

    void ShowLockState(bool notLocked);
    void RefreshCaptions();
    bool NotLocked() const;

    // The lock button: stop the link, the button stays down, "L" on the next Timer4 tick. Offline, or
    // while another conversation is on the line, the button comes up again and nothing is sent.
    void SpeedButton_lock_unlockClick();
    // Alt+L from the main window's key handler: the same request, with the button released.
    void LockKey();

    // Told when the ECU accepted a lock (the history keeps the locked calibration).
    std::function<void()> onLockAccepted;

    // Link events.
    void releaseLockButton();
    void onLocked();

private:
    void requestLock(bool buttonDown);

    AppContext &ctx_;
    Link &link_;
    std::function<QString()> programVersion_;
};
