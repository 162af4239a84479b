// The information panel of the toolbar's "Options" button (version, serial number, the way to the
// options window and to the access level), and the access-level and password boxes it leads to.
// The access and password exchanges with the ECU are handled by the connect code.
#include "app/AppContext.h"
#include "core/FirmwareVersion.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"
#include "windows/widgets/ControlFactory.h"

void TForm1::buildInfoPanel() {
    QVR_PLACE(Panel_output_test, MakePanel, this, QRect(229, 136, 338, 156), Colors::Silver);
    Panel_output_test->setLineWidth(2);
    QLabel *panel = Panel_output_test;
    QFont bold = font();
    bold.setBold(true);

    QVR_PLACE(Label_version_info_copy, MakeLabel, panel, QStringLiteral("Version info:"),
              QRect(20, 14, 120, 22));
    QVR_PLACE(Label_Serial_number_copy, MakeLabel, panel, QStringLiteral("Serial number:"),
              QRect(20, 40, 120, 22));
    QVR_PLACE(StaticText_version_info_copy, MakeLabel, panel, QStringLiteral("3FA1AD1AA"),
              QRect(146, 14, 170, 22));
    QVR_PLACE(StaticText_Serial_number_copy, MakeLabel, panel, QStringLiteral("000000"),
              QRect(146, 40, 170, 22));
    StaticText_version_info_copy->setFont(bold);
    StaticText_Serial_number_copy->setFont(bold);

    QVR_CONTROL(Button_Change_User_Access_level, QPushButton, QRect(20, 74, 298, 30),
                QStringLiteral("Change &User Access level"), panel);
    QVR_CONTROL(Button_options, QPushButton, QRect(20, 112, 140, 30), QStringLiteral("&Options"), panel);
    QVR_CONTROL(Button_close, QPushButton, QRect(178, 112, 140, 30), QStringLiteral("&Close"), panel);

    connect(Button_close, &QPushButton::clicked, this, &TForm1::Button_closeClick);
    connect(Button_options, &QPushButton::clicked, this, &TForm1::Button_optionsClick);
    panel->hide();
}

void TForm1::buildAccessBoxes() {
    QVR_PLACE(GroupBox_Settings, MakeBox, this, QStringLiteral("User Access level settings"),
              QRect(229, 298, 338, 152));
    QVR_CONTROL(CheckBox_No_access_to_ECU, QCheckBox, QRect(20, 28, 300, 24),
                QStringLiteral("No Access to ECU"), GroupBox_Settings);
    QVR_CONTROL(CheckBox_Display_dashboard_only, QCheckBox, QRect(20, 54, 300, 24),
                QStringLiteral("Display dashboard only"), GroupBox_Settings);
    QVR_CONTROL(CheckBox_ECU_readonly, QCheckBox, QRect(20, 80, 300, 24),
                QStringLiteral("ECU settings Readonly"), GroupBox_Settings);
    // Present in the box but not part of the access word.
    QVR_CONTROL(CheckBox_diagnostics_visible, QCheckBox, QRect(20, 106, 300, 24),
                QStringLiteral("Motor + system diagnostics visible"), GroupBox_Settings);
    QVR_CONTROL(CheckBox_diagnostics_resetable, QCheckBox, QRect(20, 132, 300, 24),
                QStringLiteral("Motor + system diagnostics resetable"), GroupBox_Settings);
    CheckBox_diagnostics_visible->hide();
    CheckBox_diagnostics_resetable->hide();

    QVR_CONTROL(Button_Send_to_ECU, QPushButton, QRect(20, 112, 96, 30), QStringLiteral("&Send to ECU"),
                GroupBox_Settings);
    QVR_CONTROL(Button_Change_password, QPushButton, QRect(122, 112, 120, 30),
                QStringLiteral("Change &Password"), GroupBox_Settings);
    QVR_CONTROL(Button4, QPushButton, QRect(248, 112, 70, 30), QStringLiteral("&Cancel"), GroupBox_Settings);
    GroupBox_Settings->hide();

    QVR_PLACE(GroupBox_Change_password, MakeBox, this, QStringLiteral("Password"), QRect(269, 458, 258, 124));
    QVR_PLACE(Label_Password, MakeLabel, GroupBox_Change_password, QStringLiteral("Enter Password :"),
              QRect(16, 26, 226, 20));
    QVR_CONTROL(MaskEdit_Password, QLineEdit, QRect(16, 48, 226, 24), GroupBox_Change_password);
    MaskEdit_Password->setEchoMode(QLineEdit::Password);
    MaskEdit_Password->setMaxLength(10);
    // The ECU compares upper-case passwords; typing is forced to upper case like the original field.
    connect(MaskEdit_Password, &QLineEdit::textEdited, this, [this](const QString &text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int cursor = MaskEdit_Password->cursorPosition();
            MaskEdit_Password->setText(upper);
            MaskEdit_Password->setCursorPosition(cursor);
        }
    });
    QVR_CONTROL(Button_Change_password_OK, QPushButton, QRect(16, 84, 108, 28), QStringLiteral("&Ok"),
                GroupBox_Change_password);
    QVR_CONTROL(Button_Change_password_Cancel, QPushButton, QRect(134, 84, 108, 28),
                QStringLiteral("&Cancel"), GroupBox_Change_password);
    GroupBox_Change_password->hide();
}

void TForm1::SpeedButton_optionsClick() {
    if (ctx_.form3) {
        StaticText_version_info_copy->setText(ctx_.form3->StaticText_version_info->text());
        StaticText_Serial_number_copy->setText(ctx_.form3->StaticText_Serial_number->text());
    }
    if (VersionAtLeast(CurrentVersion(), QStringLiteral("3FA1AC"))) {
        Button_Change_User_Access_level->show();
        Button_options->setVisible(!CheckBox_No_access_to_ECU->isChecked() &&
                                   !CheckBox_Display_dashboard_only->isChecked());
    } else {
        Button_Change_User_Access_level->hide();
        Button_options->show();
    }
    Panel_output_test->show();
    Panel_output_test->raise();
    if (Button_options->isVisible())
        Button_options->setFocus();
    AdvStringGrid_fuel->setEnabled(false);
    AdvStringGrid_injection_boost_correction->setEnabled(false);
}

void TForm1::Button_closeClick() {
    Panel_output_test->hide();
    EnableMapGrids(true);
}

void TForm1::Button_optionsClick() {
    if (LineBusy())
        return;
    StopLink();
    EnableValueLabels(false);
    AdvStringGrid_fuel->setEnabled(false);
    AdvStringGrid_injection_boost_correction->setEnabled(false);
    EnableMainControls(false);
    Panel_output_test->hide();
    if (ctx_.form3) {
        ctx_.form3->show();
        ctx_.form3->raise();
        ctx_.form3->activateWindow();
    }
}
