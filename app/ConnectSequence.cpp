#include "app/ConnectSequence.h"

#include "app/AppContext.h"
#include "app/AppLinkEnvironment.h"
#include "app/CalibrationTransfer.h"
#include "app/VersionChecks.h"
#include "core/FirmwareVersion.h"
#include "link/Link.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

ConnectSequence::ConnectSequence(AppContext &ctx, Link &link, CalibrationTransfer &transfer, QObject *parent)
    : QObject(parent), ctx_(ctx), link_(link), dialogs_(*ctx.dialogs), transfer_(transfer) {
    Q_ASSERT(ctx.form1 && ctx.form3 && ctx.dialogs);
    TForm1 *w = ctx_.form1;
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
    Link *link = &link_;
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
    ctx_.form1->StaticText_version_info_copy->setText(ctx_.form3->StaticText_version_info->text());
    ctx_.form1->StaticText_Serial_number_copy->setText(ctx_.form3->StaticText_Serial_number->text());
}

void ConnectSequence::onVersionReply(const QString &version) {
    ctx_.form3->StaticText_version_info->setText(version);
    copyIdentityToPanel();
}

void ConnectSequence::endConnect() {
    // Nothing more is said to this ECU; a silver dashboard that never updates would claim otherwise.
    link_.StopLink();
    link_.End(LineActivity::Connecting);
    ctx_.form1->GroupBox_gauge_up_down_loading->hide();
    ctx_.form1->SetOnline(false);
}

bool ConnectSequence::readIfNotNewer() {
    if (ReportEcuNewer(ctx_)) {
        endConnect();
        return false;
    }
    transfer_.StartRead();
    return true;
}

void ConnectSequence::onSerialReply(const QString &serialNumber) {
    TForm1 *w = ctx_.form1;
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
    if (w->IsOnline() && link_.IsConnected())
        link_.RequestAccessBits();
}

void ConnectSequence::ApplyAccessBits(int bits) {
    TForm1 *w = ctx_.form1;
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
        showNoAccess();
        link_.End(LineActivity::Connecting);
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
        link_.End(LineActivity::Connecting);
        link_.ArmDelayedAction(DelayedAction::Poll);
        return;
    }
    w->AdvStringGrid_fuel->show();
    if (!ApplyVersionLayout(ctx_)) {
        endConnect();
        return;
    }
    readIfNotNewer();
}

void ConnectSequence::showNoAccess() {
    TForm1 *w = ctx_.form1;
    w->AdvStringGrid_fuel->hide();
    w->EnableMainControls(false);
    w->SpeedButton_options->setEnabled(true);
    w->Panel_dashbord->hide();
    w->Panel_dashbord2->hide();
    w->GroupBox_gauge_up_down_loading->hide();
}

void ConnectSequence::AfterAccessStored() {
    TForm1 *w = ctx_.form1;
    w->GroupBox_Settings->hide();
    w->EnableMainControls(true);
    w->EnableMapGrids(true);
    link_.ResumeReception();

    if (w->CheckBox_No_access_to_ECU->isChecked()) {
        showNoAccess();
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
        link_.ArmDelayedAction(newer ? DelayedAction::PollDashboardOnly : DelayedAction::Poll);
        return;
    }
    // Read-only or full access: connect and read again under the new mode.
    link_.StopLink();
    w->Gauge_up_down_loading->setValue(0);
    w->GroupBox_gauge_up_down_loading->setTitle(QStringLiteral("Up_loading"));
    w->GroupBox_gauge_up_down_loading->show();
    w->GroupBox_gauge_up_down_loading->raise();
    link_.Begin(LineActivity::Connecting);
    link_.ArmDelayedAction(DelayedAction::Connect);
}

void ConnectSequence::onDelayedAction(int code) {
    switch (static_cast<DelayedAction>(code)) {
    case DelayedAction::PollDashboardOnly:
        // Stored "Display dashboard only" on newer firmware: the dashboard must keep following the engine.
        link_.RequestLiveData();
        break;
    case DelayedAction::SendPassword:
        link_.SendPassword(ctx_.form1->MaskEdit_Password->text());
        break;
    case DelayedAction::SendNewPassword:
        link_.SendNewPassword(ctx_.form1->MaskEdit_Password->text());
        break;
    case DelayedAction::SendAccessBits:
        link_.SendAccessBits(AppLinkEnvironment(ctx_).accessBits());
        break;
    default:
        break;
    }
}
