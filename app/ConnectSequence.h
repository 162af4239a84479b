#pragma once
// Connecting to the ECU: "V" (version), "S" (serial number), then from firmware "3FA1AC" the access step
// "a", and finally the read of the calibration, or only the dashboard, or nothing, as the ECU's access
// mode says. Also the access-level and password boxes of the information panel and their replies.
//
// The requests of the boxes ("p", "P", "A") go out like every other conversation: the link is stopped
// and the request leaves on the next Timer4 tick (delayed actions 30, 31 and 32, handled here). Code 16,
// armed after storing "Display dashboard only" on newer firmware, resumes live polling.
#include <QObject>
#include <QString>

#include "link/LinkTypes.h"

struct AppContext;
class Dialogs;
class Link;
class CalibrationTransfer;

class ConnectSequence : public QObject {
    Q_OBJECT
public:
    // Needs every window and the message boxes in `ctx`.
    ConnectSequence(AppContext &ctx, Link &link, CalibrationTransfer &transfer, QObject *parent = nullptr);

    void ApplyAccessBits(int bits);
    void AfterAccessStored();

    // Information panel boxes.
    void Button_Change_User_Access_levelClick();
    void Button_Send_to_ECUClick();
    void Button4Click();
    void Button_Change_passwordClick();
    void Button_Change_password_OKClick();
    void Button_Change_password_CancelClick();

    // Link events.
    void onVersionReply(const QString &version);
    void onSerialReply(const QString &serialNumber);
    void onPasswordAccepted();
    void onPasswordRefused();
    void onNewPasswordStored();
    void onNewPasswordRefused();
    void onDelayedAction(int code);

private:
    void wireLink();
    // The connect sequence ends without reading: no more talk, no progress box, offline.
    void endConnect();
    // "No access to ECU": only the options button and the access settings stay usable.
    void showNoAccess();
    // Newer firmware (or not) at the end of identification; false when the sequence stopped.
    bool readIfNotNewer();
    void copyIdentityToPanel();
    void emptyAndFocusPassword();
    // The box's request as a conversation of its own: refused while another one is on the line.
    void sendLater(DelayedAction code);
    // Live polling again after a box's exchange, while online and the ECU allows it.
    void resumePolling();

    AppContext &ctx_;
    Link &link_;
    Dialogs &dialogs_;
    CalibrationTransfer &transfer_;
    QString newPassword_; // first entry of a new password, to compare the re-entry with
};
