// The access-level box and the password box of the information panel, and the replies to "p", "P".
#include "app/AppContext.h"
#include "app/ConnectSequence.h"
#include "core/Dialogs.h"
#include "link/Link.h"
#include "windows/main/MainWindow.h"
#include "windows/widgets/ControlFactory.h"

namespace {
const QString EnterPassword = QStringLiteral("Enter Password :");
const QString EnterOldPassword = QStringLiteral("Enter Old Password :");
const QString EnterNewPassword = QStringLiteral("Enter New Password :");
const QString ReenterNewPassword = QStringLiteral("Re-enter New Password :");
} // namespace

void ConnectSequence::emptyAndFocusPassword() {
    ctx_.form1->MaskEdit_Password->clear();
    ctx_.form1->MaskEdit_Password->setFocus();
}

void ConnectSequence::sendLater(DelayedAction code) {
    Link *link = &link_;
    link->Request(LineActivity::Access, [link, code] {
        link->StopLink();
        link->ArmDelayedAction(code);
    });
}

void ConnectSequence::resumePolling() {
    TForm1 *w = ctx_.form1;
    if (!w->IsOnline() || w->CheckBox_No_access_to_ECU->isChecked() || link_.busy())
        return;
    link_.ResumeReception();
    link_.RequestLiveData();
}

void ConnectSequence::Button_Change_User_Access_levelClick() {
    TForm1 *w = ctx_.form1;
    w->GroupBox_Change_password->setTitle(QStringLiteral("Password"));
    w->Label_Password->setText(EnterPassword);
    const bool online = PanelColor(w->Panel_dashbord2) == Colors::Silver;
    if (online && link_.IsConnected()) {
        w->Button_Send_to_ECU->setEnabled(true);
        w->GroupBox_Change_password->show();
        w->GroupBox_Change_password->raise();
        emptyAndFocusPassword();
    } else {
        // Offline the settings can only be looked at.
        w->Button_Send_to_ECU->setEnabled(false);
        w->GroupBox_Settings->show();
        w->GroupBox_Settings->raise();
    }
}

void ConnectSequence::Button_Change_passwordClick() {
    TForm1 *w = ctx_.form1;
    w->Label_Password->setText(EnterOldPassword);
    w->GroupBox_Change_password->setTitle(QStringLiteral("Change Password"));
    w->GroupBox_Change_password->show();
    w->GroupBox_Change_password->raise();
    emptyAndFocusPassword();
}

void ConnectSequence::Button_Change_password_OKClick() {
    TForm1 *w = ctx_.form1;
    if (w->GroupBox_Change_password->isHidden())
        return;
    const QString typed = w->MaskEdit_Password->text();
    const QString label = w->Label_Password->text();
    if (typed.isEmpty()) {
        dialogs_.warning(QStringLiteral("Password can't be empty\r\r\nPlease try again"));
        emptyAndFocusPassword();
        return;
    }
    if (w->GroupBox_Settings->isHidden() || label == EnterOldPassword) {
        sendLater(DelayedAction::SendPassword);
        return;
    }
    if (label == EnterNewPassword) {
        newPassword_ = typed;
        emptyAndFocusPassword();
        w->Label_Password->setText(ReenterNewPassword);
        return;
    }
    if (label == ReenterNewPassword) {
        if (typed != newPassword_) {
            dialogs_.warning(QStringLiteral("New Password is not correct !!!\r\r\nPlease try again"));
            emptyAndFocusPassword();
            w->Label_Password->setText(EnterNewPassword);
            return;
        }
        sendLater(DelayedAction::SendNewPassword);
    }
}

void ConnectSequence::onPasswordAccepted() {
    TForm1 *w = ctx_.form1;
    if (!w->GroupBox_Settings->isHidden()) {
        w->Label_Password->setText(EnterNewPassword);
        emptyAndFocusPassword();
    } else {
        w->GroupBox_Change_password->hide();
        w->GroupBox_Settings->show();
        w->GroupBox_Settings->raise();
    }
    resumePolling();
}

void ConnectSequence::onPasswordRefused() {
    emptyAndFocusPassword();
}

void ConnectSequence::onNewPasswordStored() {
    ctx_.form1->GroupBox_Change_password->hide();
    ctx_.form1->GroupBox_Settings->hide();
    newPassword_.clear();
    resumePolling();
}

void ConnectSequence::onNewPasswordRefused() {
    emptyAndFocusPassword();
    resumePolling();
}

void ConnectSequence::Button_Send_to_ECUClick() {
    TForm1 *w = ctx_.form1;
    if (w->CheckBox_Display_dashboard_only->isChecked())
        w->CheckBox_ECU_readonly->setChecked(true);
    sendLater(DelayedAction::SendAccessBits);
}

void ConnectSequence::Button_Change_password_CancelClick() {
    TForm1 *w = ctx_.form1;
    w->GroupBox_Settings->hide();
    w->GroupBox_Change_password->hide();
    newPassword_.clear();
    if (!w->AdvStringGrid_fuel->isHidden()) {
        w->EnableMainControls(true);
        w->EnableMapGrids(true);
    }
    resumePolling();
}

void ConnectSequence::Button4Click() {
    ctx_.form1->Panel_output_test->hide();
    Button_Change_password_CancelClick();
}
