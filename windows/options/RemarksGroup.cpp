// Remarks (three free lines stored with the calibration) and the communication port sub-panel; and the
// option defaults of the main window's first showing.
#include "core/FirmwareVersion.h"
#include "windows/options/OptionsWidgets.h"
#include "windows/options/OptionsWindow.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QSerialPortInfo>
#include <QVBoxLayout>

using namespace OptionsWidgets;

void TForm3::buildRemarksGroup() {
    QVR_MAKE(GroupBox_Remarks, group, QStringLiteral("Remarks"), this);
    QGroupBox *box = GroupBox_Remarks;
    const QString dots(32, QLatin1Char('.'));
    auto *lines = new QVBoxLayout;
    lines->setSpacing(6);
    lines->addWidget(label(QStringLiteral("Label_remarks"), QStringLiteral("Remarks:")));
    QLineEdit **members[3] = {&Edit_remarks_line1, &Edit_remarks_line2, &Edit_remarks_line3};
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (int i = 0; i < 3; ++i) {
        auto *line = named(new QLineEdit(dots), QStringLiteral("Edit_remarks_line%1").arg(i + 1));
        line->setMaxLength(32);
        line->setFont(fixed);
        // Room for all 32 characters of a line.
        line->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(32, QLatin1Char('W'))) + 16);
        *members[i] = line;
        lines->addWidget(line);
    }
    QVR_OK_CANCEL(Button_Ok_remarks, Button_Cancel_remarks, box);
    auto *h = new QHBoxLayout;
    h->addLayout(lines);
    h->addStretch(1);
    fillPanel(box, -1, {h}, Button_Ok_remarks, Button_Cancel_remarks);
}

void TForm3::buildCommunicationPortGroup() {
    GroupBox_set_communicationport =
        group(QStringLiteral("GroupBox_set_communicationport"), QStringLiteral("Communicationport"), this);
    QGroupBox *box = GroupBox_set_communicationport;
    ComComboBox_set_communicationport =
        list(QStringLiteral("ComComboBox_set_communicationport"), {QStringLiteral("COM1")});
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
        if (ComComboBox_set_communicationport->findText(port.portName()) < 0)
            ComComboBox_set_communicationport->addItem(port.portName());
    }
    ComComboBox_set_communicationport->setMinimumWidth(160);
    Button_Save_set_communicationport =
        button(QStringLiteral("Button_Save_set_communicationport"), QStringLiteral("&Save"), box);
    Button_Cancel_set_communicationport =
        button(QStringLiteral("Button_Cancel_set_communicationport"), QStringLiteral("&Cancel"), box);
    auto *row = new QHBoxLayout;
    row->addWidget(label(QStringLiteral("Label_set_communicationport"), QStringLiteral("port:")));
    row->addWidget(ComComboBox_set_communicationport);
    Button_detect_communicationport =
        button(QStringLiteral("Button_detect_communicationport"), QStringLiteral("&Detect"), box);
    Button_detect_communicationport->setToolTip(QStringLiteral("Find the port the ECU answers on"));
    connect(Button_detect_communicationport, &QPushButton::clicked, this,
            &TForm3::Button_detect_communicationportClick);
    row->addWidget(Button_detect_communicationport);
    row->addStretch(1);
    auto *v = new QVBoxLayout(box);
    v->setContentsMargins(12, 16, 12, 12);
    v->addLayout(row);
    v->addStretch(1);
    v->addLayout(okCancelRow(Button_Save_set_communicationport, Button_Cancel_set_communicationport));
}

void TForm3::ApplyFirstShowDefaults() {
    for (QComboBox *list :
         {ComboBox_number_of_cylinders, ComboBox_inj_stroke_mode, ComboBox_coil_input_voltage,
          ComboBox_Engine_load_sensor_type, ComboBox_Engineloadsensor_Throttle_or_Map})
        list->setCurrentIndex(0);
    EnableThrottlePumpType1(false);
    EnableThrottlePumpType2(true);

    for (QSpinBox *on : {SpinEdit_second_stage_rpm, SpinEdit_second_stage_engineload}) {
        on->setRange(0, 0);
        on->setValue(0);
    }
    Label_second_stage_2->clear();
    Label_second_stage_4->clear();
    for (int channel = 1; channel <= 2; ++channel) {
        SetAux1Mode0ChannelKind(channel, 0);
        SetAux1Mode1ChannelKind(channel, 0);
    }

    // From "3FA" on the first correction table is the water temperature, fixed.
    if (VersionAtLeast(currentVersion(), QStringLiteral("3FA"))) {
        CheckBox_NTC_sensor_aktief->setChecked(true);
        AdvSpinEdit_Max_Correction_table->setValue(135);
        AdvSpinEdit_Min_Correction_table->setValue(-20);
        Edit_correction_table_name->setText(QStringLiteral("Water-temp"));
        Edit_Correction_table_eenheid->setText(QStringLiteral("\u00B0C"));
        CheckBox_Battery_correction_on_off->setChecked(true);
        CheckBox_inlet_temp_correction_on_off->setChecked(true);
    }
}
