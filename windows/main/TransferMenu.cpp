// The up/down-load box, the transfer progress box, and the ways the box is opened and closed:
// the toolbar button, the dashboard click and "Stay &Offline". The transfers themselves are started
// by the transfer code through SpeedButton_Upload / SpeedButton_Download.
#include "app/AppContext.h"
#include "core/FirmwareVersion.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"
#include "windows/widgets/ControlFactory.h"

#include <QStyle>

void TForm1::buildTransferMenu() {
    GroupBox_up_download_menu = new QGroupBox(QStringLiteral("Up / Down load"), this);
    GroupBox_up_download_menu->setObjectName(QStringLiteral("GroupBox_up_download_menu"));
    GroupBox_up_download_menu->setGeometry(229, 190, 338, 196);
    GroupBox_up_download_menu->setAutoFillBackground(true);
    QGroupBox *box = GroupBox_up_download_menu;

    auto bigButton = [&](const QString &name, const QString &text, QStyle::StandardPixmap icon, int x) {
        auto *button = new QToolButton(box);
        button->setObjectName(name);
        button->setText(text);
        button->setIcon(style()->standardIcon(icon));
        button->setIconSize(QSize(28, 28));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setGeometry(x, 28, 138, 62);
        return button;
    };
    SpeedButton_Upload =
        bigButton(QStringLiteral("SpeedButton_Upload"), QStringLiteral("Up-load"), QStyle::SP_ArrowLeft, 22);
    SpeedButton_Download = bigButton(QStringLiteral("SpeedButton_Download"), QStringLiteral("Down-load"),
                                     QStyle::SP_ArrowRight, 178);
    SpeedButton_Upload->setToolTip(QStringLiteral("ECU to PC"));
    SpeedButton_Download->setToolTip(QStringLiteral("PC to ECU"));

    Label_program_is_text = MakeLabel(box, QStringLiteral("Label_program_is_text"),
                                      QStringLiteral("Lock Program in System:"), QRect(22, 104, 200, 28));
    SpeedButton_lock_unlock = new QToolButton(box);
    SpeedButton_lock_unlock->setObjectName(QStringLiteral("SpeedButton_lock_unlock"));
    SpeedButton_lock_unlock->setCheckable(true);
    SpeedButton_lock_unlock->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    SpeedButton_lock_unlock->setToolTip(QStringLiteral("Lock"));
    SpeedButton_lock_unlock->setGeometry(268, 102, 48, 30);

    // Off unless the user switches it on: the down-load then reads the calibration back and compares.
    CheckBox_verify_after_writing = new QCheckBox(QStringLiteral("Verify after writing"), box);
    CheckBox_verify_after_writing->setObjectName(QStringLiteral("CheckBox_verify_after_writing"));
    CheckBox_verify_after_writing->setToolTip(QStringLiteral(
        "After Down-load, read the calibration back from the ECU and compare it word for word"));
    CheckBox_verify_after_writing->setGeometry(22, 131, 200, 18);

    Button_cancel_Up_download_menu = new QPushButton(QStringLiteral("&Cancel"), box);
    Button_cancel_Up_download_menu->setObjectName(QStringLiteral("Button_cancel_Up_download_menu"));
    Button_cancel_Up_download_menu->setGeometry(22, 150, 138, 30);
    Button_stay_offline = new QPushButton(QStringLiteral("Stay &Offline"), box);
    Button_stay_offline->setObjectName(QStringLiteral("Button_stay_offline"));
    Button_stay_offline->setGeometry(178, 150, 138, 30);

    connect(Button_cancel_Up_download_menu, &QPushButton::clicked, this,
            &TForm1::Button_cancel_Up_download_menuClick);
    connect(Button_stay_offline, &QPushButton::clicked, this, &TForm1::Button_stay_offlineClick);
    box->hide();
}

void TForm1::buildProgressBox() {
    Gauge_up_down_loading = MakeProgressBox(this, QStringLiteral("Up_loading"), QRect(229, 396, 338, 60), 22,
                                            &GroupBox_gauge_up_down_loading);
}

void TForm1::ShowTransferMenu(MenuMode mode) {
    AdvStringGrid_fuel->setEnabled(false);
    AdvStringGrid_injection_boost_correction->setEnabled(false);
    Button_cancel_Up_download_menu->setVisible(mode == MenuMode::Transfer);
    Button_stay_offline->setVisible(mode != MenuMode::Transfer);
    Label_program_is_text->setVisible(mode != MenuMode::Connect);
    SpeedButton_lock_unlock->setVisible(mode != MenuMode::Connect);
    GroupBox_up_download_menu->show();
    GroupBox_up_download_menu->raise();
}

void TForm1::Panel_dashbordClick() {
    const bool optionsShowing = ctx_.form3 && ctx_.form3->isVisible();
    if (!GroupBox_up_download_menu->isHidden() || optionsShowing)
        return;
    if (IsOnline()) {
        StopLink();
        SetOnline(false);
        return;
    }
    HideSecondaryWindows(true, false, false);
    SetOnline(true);
    EnableValueLabels(false);
    StopLink();
    EnableMainControls(false);
    ShowTransferMenu(MenuMode::Connect);
}

void TForm1::SpeedButton_up_down_loadClick() {
    HideSecondaryWindows(true, true, true);
    EnableMainControls(false);
    ShowTransferMenu(MenuMode::Transfer);
}

void TForm1::Button_stay_offlineClick() {
    GroupBox_up_download_menu->hide();
    EnableMainControls(true);
    SetOnline(false);
    EnableMapGrids(true);
    DataGrid *grid =
        VersionAtLeast(CurrentVersion(), QStringLiteral("3FA1AC")) ? VisibleMapGrid() : AdvStringGrid_fuel;
    if (grid->isEnabled())
        grid->setFocus();
}

void TForm1::Button_cancel_Up_download_menuClick() {
    GroupBox_up_download_menu->hide();
    EnableMainControls(true);
    EnableMapGrids(true);
}
