// The information panel of the toolbar's "Options" button (version, serial number, the way to the
// options window and to the access level), and the access-level and password boxes it leads to.
// The access and password exchanges with the ECU are handled by the connect code.
#include "app/AppContext.h"
#include "core/FirmwareVersion.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"
#include "windows/widgets/ControlFactory.h"

void TForm1::buildInfoPanel() {
    Panel_output_test =
        MakePanel(this, QStringLiteral("Panel_output_test"), QRect(229, 136, 338, 156), Colors::Silver);
    Panel_output_test->setLineWidth(2);
    QLabel *panel = Panel_output_test;
    QFont bold = font();
    bold.setBold(true);

    Label_version_info_copy = MakeLabel(panel, QStringLiteral("Label_version_info_copy"),
                                        QStringLiteral("Version info:"), QRect(20, 14, 120, 22));
    Label_Serial_number_copy = MakeLabel(panel, QStringLiteral("Label_Serial_number_copy"),
                                         QStringLiteral("Serial number:"), QRect(20, 40, 120, 22));
    StaticText_version_info_copy = MakeLabel(panel, QStringLiteral("StaticText_version_info_copy"),
                                             QStringLiteral("3FA1AD1AA"), QRect(146, 14, 170, 22));
    StaticText_Serial_number_copy = MakeLabel(panel, QStringLiteral("StaticText_Serial_number_copy"),
                                              QStringLiteral("000000"), QRect(146, 40, 170, 22));
    StaticText_version_info_copy->setFont(bold);
    StaticText_Serial_number_copy->setFont(bold);

    auto button = [&](const QString &name, const QString &text, const QRect &geometry) {
        auto *b = new QPushButton(text, panel);
        b->setObjectName(name);
        b->setGeometry(geometry);
        return b;
    };
    Button_Change_User_Access_level =
        button(QStringLiteral("Button_Change_User_Access_level"), QStringLiteral("Change &User Access level"),
               QRect(20, 74, 298, 30));
    Button_options =
        button(QStringLiteral("Button_options"), QStringLiteral("&Options"), QRect(20, 112, 140, 30));
    Button_close = button(QStringLiteral("Button_close"), QStringLiteral("&Close"), QRect(178, 112, 140, 30));

    connect(Button_close, &QPushButton::clicked, this, &TForm1::Button_closeClick);
    connect(Button_options, &QPushButton::clicked, this, &TForm1::Button_optionsClick);
    panel->hide();
}

void TForm1::buildAccessBoxes() {
    GroupBox_Settings = new QGroupBox(QStringLiteral("User Access level settings"), this);
    GroupBox_Settings->setObjectName(QStringLiteral("GroupBox_Settings"));
    GroupBox_Settings->setGeometry(229, 298, 338, 152);
    GroupBox_Settings->setAutoFillBackground(true);
    auto check = [&](const QString &name, const QString &text, int y) {
        auto *c = new QCheckBox(text, GroupBox_Settings);
        c->setObjectName(name);
        c->setGeometry(20, y, 300, 24);
        return c;
    };
    CheckBox_No_access_to_ECU =
        check(QStringLiteral("CheckBox_No_access_to_ECU"), QStringLiteral("No Access to ECU"), 28);
    CheckBox_Display_dashboard_only = check(QStringLiteral("CheckBox_Display_dashboard_only"),
                                            QStringLiteral("Display dashboard only"), 54);
    CheckBox_ECU_readonly =
        check(QStringLiteral("CheckBox_ECU_readonly"), QStringLiteral("ECU settings Readonly"), 80);
    // Present in the box but not part of the access word.
    CheckBox_diagnostics_visible = check(QStringLiteral("CheckBox_diagnostics_visible"),
                                         QStringLiteral("Motor + system diagnostics visible"), 106);
    CheckBox_diagnostics_resetable = check(QStringLiteral("CheckBox_diagnostics_resetable"),
                                           QStringLiteral("Motor + system diagnostics resetable"), 132);
    CheckBox_diagnostics_visible->hide();
    CheckBox_diagnostics_resetable->hide();

    auto button = [&](QWidget *parent, const QString &name, const QString &text, const QRect &geometry) {
        auto *b = new QPushButton(text, parent);
        b->setObjectName(name);
        b->setGeometry(geometry);
        return b;
    };
    Button_Send_to_ECU = button(GroupBox_Settings, QStringLiteral("Button_Send_to_ECU"),
                                QStringLiteral("&Send to ECU"), QRect(20, 112, 96, 30));
    Button_Change_password = button(GroupBox_Settings, QStringLiteral("Button_Change_password"),
                                    QStringLiteral("Change &Password"), QRect(122, 112, 120, 30));
    Button4 = button(GroupBox_Settings, QStringLiteral("Button4"), QStringLiteral("&Cancel"),
                     QRect(248, 112, 70, 30));
    GroupBox_Settings->hide();

    GroupBox_Change_password = new QGroupBox(QStringLiteral("Password"), this);
    GroupBox_Change_password->setObjectName(QStringLiteral("GroupBox_Change_password"));
    GroupBox_Change_password->setGeometry(269, 458, 258, 124);
    GroupBox_Change_password->setAutoFillBackground(true);
    Label_Password = MakeLabel(GroupBox_Change_password, QStringLiteral("Label_Password"),
                               QStringLiteral("Enter Password :"), QRect(16, 26, 226, 20));
    MaskEdit_Password = new QLineEdit(GroupBox_Change_password);
    MaskEdit_Password->setObjectName(QStringLiteral("MaskEdit_Password"));
    MaskEdit_Password->setGeometry(16, 48, 226, 24);
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
    Button_Change_password_OK = button(GroupBox_Change_password, QStringLiteral("Button_Change_password_OK"),
                                       QStringLiteral("&Ok"), QRect(16, 84, 108, 28));
    Button_Change_password_Cancel =
        button(GroupBox_Change_password, QStringLiteral("Button_Change_password_Cancel"),
               QStringLiteral("&Cancel"), QRect(134, 84, 108, 28));
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
