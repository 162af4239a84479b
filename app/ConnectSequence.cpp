#include "app/ConnectSequence.h"

#include "app/AppContext.h"
#include "app/AppLinkEnvironment.h"
#include "app/CalibrationTransfer.h"
#include "app/VersionChecks.h"
#include "core/FirmwareVersion.h"
#include "link/Link.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

ConnectSequence::ConnectSequence(AppContext &ctx, CalibrationTransfer *transfer, QObject *parent)
    : QObject(parent), ctx_(ctx), transfer_(transfer) {
    TForm1 *w = ctx_.form1;
    if (!w)
        return;
    connect(w->Button_Change_User_Access_level, &QPushButton::clicked, this,
            &ConnectSequence::Button_Change_User_Access_levelClick);
    connect(w->Button_Send_to_ECU, &QPushButton::clicked, this, &ConnectSequence::Button_Send_to_ECUClick);
    connect(w->Button4, &QPushButton::clicked, this, &ConnectSequence::Button4Click);
    connect(w->Button_Change_password, &QPushButton::clicked, this,
            &ConnectSequence::Button_Change_passwordClick);
    connect(w->Button_Change_password_OK, &QPushButton::clicked, this,
            &ConnectSequence::Button_Change_password_OKClick);
    connect(w->Button_Change_password_Cancel, &QPushButton::clicked, this,
            &ConnectSequence::Button_Change_password_CancelClick);
    // Enter in the password field confirms, as the box's default button.
    connect(w->MaskEdit_Password, &QLineEdit::returnPressed, this,
            &ConnectSequence::Button_Change_password_OKClick);
    wireLink();
}

void ConnectSequence::wireLink() {
    Link *link = ctx_.link;
    if (!link)
        return;
    connect(link, &Link::versionReceived, this, &ConnectSequence::onVersionReply);
    connect(link, &Link::serialNumberReceived, this, &ConnectSequence::onSerialReply);
    connect(link, &Link::accessBitsReceived, this, &ConnectSequence::ApplyAccessBits);
    connect(link, &Link::accessStored, this, &ConnectSequence::AfterAccessStored);
    connect(link, &Link::passwordAccepted, this, &ConnectSequence::onPasswordAccepted);
    connect(link, &Link::passwordRefused, this, &ConnectSequence::onPasswordRefused);
    connect(link, &Link::newPasswordStored, this, &ConnectSequence::onNewPasswordStored);
    connect(link, &Link::newPasswordRefused, this, &ConnectSequence::onNewPasswordRefused);
    connect(link, &Link::delayedActionDue, this, &ConnectSequence::onDelayedAction);
}

void ConnectSequence::copyIdentityToPanel() {
    if (!ctx_.form1 || !ctx_.form3)
        return;
    ctx_.form1->StaticText_version_info_copy->setText(ctx_.form3->StaticText_version_info->text());
    ctx_.form1->StaticText_Serial_number_copy->setText(ctx_.form3->StaticText_Serial_number->text());
}

void ConnectSequence::onVersionReply(const QString &version) {
    if (ctx_.form3)
        ctx_.form3->StaticText_version_info->setText(version);
    copyIdentityToPanel();
}

void ConnectSequence::endConnect() {
    // Nothing more is said to this ECU; a silver dashboard that never updates would claim otherwise.
    if (ctx_.link) {
        ctx_.link->StopLink();
        ctx_.link->End(LineActivity::Connecting);
    }
    if (ctx_.form1) {
        ctx_.form1->GroupBox_gauge_up_down_loading->hide();
        ctx_.form1->SetOnline(false);
    }
}

bool ConnectSequence::readIfNotNewer() {
    if (ReportEcuNewer(ctx_)) {
        endConnect();
        return false;
    }
    if (transfer_)
        transfer_->StartRead();
    return true;
}

void ConnectSequence::onSerialReply(const QString &serialNumber) {
    TForm1 *w = ctx_.form1;
    if (!w || !ctx_.form3 || !ctx_.link)
        return;
    ctx_.form3->StaticText_Serial_number->setText(serialNumber);
    copyIdentityToPanel();
    w->SetOnline(true);
    if (!ApplyVersionLayout(ctx_)) {
        endConnect();
        return;
    }
    if (!VersionAtLeast(ctx_.form3->currentVersion(), QStringLiteral("3FA1AC"))) {
        // No access levels on this firmware: straight to the read.
        readIfNotNewer();
        return;
    }
    if (w->IsOnline() && ctx_.link->IsConnected())
        ctx_.link->RequestAccessBits();
}

void ConnectSequence::ApplyAccessBits(int bits) {
    TForm1 *w = ctx_.form1;
    if (!w)
        return;
    const bool noAccess = bits >= 16;
    if (noAccess)
        bits -= 16;
    const bool dashboardOnly = bits >= 8;
    if (dashboardOnly)
        bits -= 8;
    const bool readOnly = bits >= 4;
    w->CheckBox_No_access_to_ECU->setChecked(noAccess);
    w->CheckBox_Display_dashboard_only->setChecked(dashboardOnly);
    w->CheckBox_ECU_readonly->setChecked(readOnly);

    if (noAccess) {
        w->AdvStringGrid_fuel->hide();
        w->EnableMainControls(false);
        w->SpeedButton_options->setEnabled(true);
        w->Panel_dashbord->hide();
        w->Panel_dashbord2->hide();
        w->GroupBox_gauge_up_down_loading->hide();
        if (ctx_.link)
            ctx_.link->End(LineActivity::Connecting);
        return;
    }
    if (dashboardOnly) {
        w->AdvStringGrid_fuel->hide();
        w->EnableMainControls(false);
        w->SpeedButton_options->setEnabled(true);
        w->GroupBox_gauge_up_down_loading->hide();
        ApplyVersionLayout(ctx_);
        w->Panel_dashbord->show();
        w->Panel_dashbord2->show();
        if (ctx_.link) {
            ctx_.link->End(LineActivity::Connecting);
            ctx_.link->ArmDelayedAction(DelayedAction::Poll);
        }
        return;
    }
    w->AdvStringGrid_fuel->show();
    if (!ApplyVersionLayout(ctx_)) {
        endConnect();
        return;
    }
    readIfNotNewer();
}

void ConnectSequence::AfterAccessStored() {
    TForm1 *w = ctx_.form1;
    if (!w || !ctx_.link)
        return;
    w->GroupBox_Settings->hide();
    w->EnableMainControls(true);
    w->EnableMapGrids(true);
    ctx_.link->ResumeReception();

    if (w->CheckBox_No_access_to_ECU->isChecked()) {
        w->AdvStringGrid_fuel->hide();
        w->EnableMainControls(false);
        w->SpeedButton_options->setEnabled(true);
        w->Panel_dashbord->hide();
        w->Panel_dashbord2->hide();
        w->GroupBox_gauge_up_down_loading->hide();
        return;
    }
    const bool dashboardOnly = w->CheckBox_Display_dashboard_only->isChecked();
    if (dashboardOnly) {
        w->AdvStringGrid_fuel->hide();
        w->EnableMainControls(false);
    }
    w->SpeedButton_options->setEnabled(true);
    if (dashboardOnly) {
        w->GroupBox_gauge_up_down_loading->hide();
        ApplyVersionLayout(ctx_);
        w->Panel_dashbord->show();
        const bool newer = VersionAtLeast(w->CurrentVersion(), QStringLiteral("2MA"));
        w->Panel_dashbord2->setVisible(newer);
        ctx_.link->ArmDelayedAction(newer ? DelayedAction::PollDashboardOnly : DelayedAction::Poll);
        return;
    }
    // Read-only or full access: connect and read again under the new mode.
    ctx_.link->StopLink();
    w->Gauge_up_down_loading->setValue(0);
    w->GroupBox_gauge_up_down_loading->setTitle(QStringLiteral("Up_loading"));
    w->GroupBox_gauge_up_down_loading->show();
    w->GroupBox_gauge_up_down_loading->raise();
    ctx_.link->Begin(LineActivity::Connecting);
    ctx_.link->ArmDelayedAction(DelayedAction::Connect);
}

void ConnectSequence::onDelayedAction(int code) {
    if (!ctx_.link || !ctx_.form1)
        return;
    switch (static_cast<DelayedAction>(code)) {
    case DelayedAction::PollDashboardOnly:
        // Stored "Display dashboard only" on newer firmware: the dashboard must keep following the engine.
        ctx_.link->RequestLiveData();
        break;
    case DelayedAction::SendPassword:
        ctx_.link->SendPassword(ctx_.form1->MaskEdit_Password->text());
        break;
    case DelayedAction::SendNewPassword:
        ctx_.link->SendNewPassword(ctx_.form1->MaskEdit_Password->text());
        break;
    case DelayedAction::SendAccessBits:
        ctx_.link->SendAccessBits(AppLinkEnvironment(ctx_).accessBits());
        break;
    default:
        break;
    }
}
