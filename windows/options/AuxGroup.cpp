// AUX 1 output (from "3FA": two switching modes of two channels each), the older "Second stage" output,
// and the RPM limiter.
#include "rules/OptionOperations.h"
#include "windows/options/OptionsWidgets.h"
#include "windows/options/OptionsWindow.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QVBoxLayout>

using namespace OptionsWidgets;

namespace {

QComboBox *kindList(const QString &name) {
    QComboBox *list = OptionsWidgets::list(name, Aux1KindNames(), true);
    list->setMaxVisibleItems(11);
    list->setMinimumWidth(150);
    return list;
}

void setListBackground(QComboBox *list, bool active) {
    QPalette pal = list->palette();
    pal.setColor(QPalette::Base, active ? QColor(0x00, 0x00, 0xFF) : QColor(0xFF, 0xFF, 0xFF));
    pal.setColor(QPalette::Text, active ? QColor(0xFF, 0xFF, 0xFF) : QColor(0x00, 0x00, 0x00));
    list->setPalette(pal);
}

QLabel *unitLabel(const QString &name) {
    QLabel *unit = label(name, QString());
    unit->setMinimumWidth(34);
    return unit;
}

} // namespace

void TForm3::buildAuxGroups() {
    // ---- AUX1 ----
    GroupBox_Second_stage = group(QStringLiteral("GroupBox_Second_stage"), QStringLiteral("AUX1"), this);
    QGroupBox *box = GroupBox_Second_stage;
    RadioButton_mode0_AUX1 =
        named(new QRadioButton(QStringLiteral("mode 0")), QStringLiteral("RadioButton_mode0_AUX1"));
    RadioButton_mode1_AUX1 =
        named(new QRadioButton(QStringLiteral("mode 1")), QStringLiteral("RadioButton_mode1_AUX1"));
    auto *modes = new QButtonGroup(box);
    modes->addButton(RadioButton_mode0_AUX1, 0);
    modes->addButton(RadioButton_mode1_AUX1, 1);
    RadioButton_mode0_AUX1->setChecked(true);
    CheckBox_AUX1_output_inverted = named(new QCheckBox(QStringLiteral("Output inverted:")),
                                          QStringLiteral("CheckBox_AUX1_output_inverted"));
    CheckBox_AUX1_output_inverted->setLayoutDirection(Qt::RightToLeft); // caption before the box

    // mode 0: whole-number thresholds, "on at >" and "off at <"
    GroupBox_AUX1_mode0 = group(QStringLiteral("GroupBox_AUX1_mode0"), QStringLiteral("mode 0"));
    Label_mode0_activate_at =
        label(QStringLiteral("Label_mode0_activate_at"), QStringLiteral("activate at:"));
    Label_mode0_plus = label(QStringLiteral("Label_mode0_plus"), QStringLiteral("+"));
    Label_mode0_on_at = label(QStringLiteral("Label_mode0_on_at"), QStringLiteral("on at >"));
    Label_mode0_off_at = label(QStringLiteral("Label_mode0_off_at"), QStringLiteral("off at <"));
    ComboBox_AUX1_Channel1_type = kindList(QStringLiteral("ComboBox_AUX1_Channel1_type"));
    ComboBox_AUX1_Channel2_type = kindList(QStringLiteral("ComboBox_AUX1_Channel2_type"));
    SpinEdit_second_stage_rpm = spin(QStringLiteral("SpinEdit_second_stage_rpm"), 0, 0, 0, 0);
    Label_second_stage_2 = unitLabel(QStringLiteral("Label_second_stage_2"));
    SpinEdit_AUX1_Channel1_off = spin(QStringLiteral("SpinEdit_AUX1_Channel1_off"), 0, 0, 0, 0);
    Label_AUX1_Channel1_off_eenheid = unitLabel(QStringLiteral("Label_AUX1_Channel1_off_eenheid"));
    SpinEdit_second_stage_engineload = spin(QStringLiteral("SpinEdit_second_stage_engineload"), 0, 0, 0, 0);
    Label_second_stage_4 = unitLabel(QStringLiteral("Label_second_stage_4"));
    SpinEdit_AUX1_Channel2_off = spin(QStringLiteral("SpinEdit_AUX1_Channel2_off"), 0, 0, 0, 0);
    Label_AUX1_Channel2_off_eenheid = unitLabel(QStringLiteral("Label_AUX1_Channel2_off_eenheid"));
    {
        auto *g = new QGridLayout(GroupBox_AUX1_mode0);
        g->setContentsMargins(10, 14, 10, 10);
        g->setVerticalSpacing(8);
        g->addWidget(Label_mode0_activate_at, 0, 0);
        g->addWidget(ComboBox_AUX1_Channel1_type, 0, 1, 1, 2);
        g->addWidget(Label_mode0_plus, 0, 3, Qt::AlignCenter);
        g->addWidget(ComboBox_AUX1_Channel2_type, 0, 4, 1, 2);
        g->addWidget(Label_mode0_on_at, 1, 0);
        g->addWidget(SpinEdit_second_stage_rpm, 1, 1);
        g->addWidget(Label_second_stage_2, 1, 2);
        g->addWidget(SpinEdit_second_stage_engineload, 1, 4);
        g->addWidget(Label_second_stage_4, 1, 5);
        g->addWidget(Label_mode0_off_at, 2, 0);
        g->addWidget(SpinEdit_AUX1_Channel1_off, 2, 1);
        g->addWidget(Label_AUX1_Channel1_off_eenheid, 2, 2);
        g->addWidget(SpinEdit_AUX1_Channel2_off, 2, 4);
        g->addWidget(Label_AUX1_Channel2_off_eenheid, 2, 5);
        g->setColumnMinimumWidth(3, 20);
        g->setColumnStretch(6, 1);
    }

    // mode 1: decimal thresholds, "on at >", "off at >" and a hysteresis
    GroupBox_AUX1_mode1 = group(QStringLiteral("GroupBox_AUX1_mode1"), QStringLiteral("mode 1"));
    Label_mode1_activate_at =
        label(QStringLiteral("Label_mode1_activate_at"), QStringLiteral("activate at:"));
    Label_mode1_plus = label(QStringLiteral("Label_mode1_plus"), QStringLiteral("+"));
    Label_mode1_on_at = label(QStringLiteral("Label_mode1_on_at"), QStringLiteral("on at >"));
    Label_mode1_off_at = label(QStringLiteral("Label_mode1_off_at"), QStringLiteral("off at >"));
    Label_mode1_hyst = label(QStringLiteral("Label_mode1_hyst"), QStringLiteral("hyst."));
    ComboBox_mode1_AUX1_Channel1_type = kindList(QStringLiteral("ComboBox_mode1_AUX1_Channel1_type"));
    ComboBox_mode1_AUX1_Channel2_type = kindList(QStringLiteral("ComboBox_mode1_AUX1_Channel2_type"));
    const auto field = [](const char *name) { return decimalSpin(QString::fromLatin1(name), 0, 0, 0, 0, 0); };
    AdvSpinEdit_mode1_AUX1_Channel1_on = field("AdvSpinEdit_mode1_AUX1_Channel1_on");
    AdvSpinEdit_mode1_AUX1_Channel1_off = field("AdvSpinEdit_mode1_AUX1_Channel1_off");
    AdvSpinEdit_mode1_AUX1_hyst_channel1 = field("AdvSpinEdit_mode1_AUX1_hyst_channel1");
    AdvSpinEdit_mode1_AUX1_Channel2_on = field("AdvSpinEdit_mode1_AUX1_Channel2_on");
    AdvSpinEdit_mode1_AUX1_Channel2_off = field("AdvSpinEdit_mode1_AUX1_Channel2_off");
    AdvSpinEdit_mode1_AUX1_hyst_channel2 = field("AdvSpinEdit_mode1_AUX1_hyst_channel2");
    Label_mode1_AUX1_Channel1_on_eenheid = unitLabel(QStringLiteral("Label_mode1_AUX1_Channel1_on_eenheid"));
    Label_mode1_AUX1_Channel1_off_eenheid =
        unitLabel(QStringLiteral("Label_mode1_AUX1_Channel1_off_eenheid"));
    Label_mode1_AUX1_hyst_channel1_eenheid =
        unitLabel(QStringLiteral("Label_mode1_AUX1_hyst_channel1_eenheid"));
    Label_mode1_AUX1_Channel2_on_eenheid = unitLabel(QStringLiteral("Label_mode1_AUX1_Channel2_on_eenheid"));
    Label_mode1_AUX1_Channel2_off_eenheid =
        unitLabel(QStringLiteral("Label_mode1_AUX1_Channel2_off_eenheid"));
    Label_mode1_AUX1_hyst_channel2_eenheid =
        unitLabel(QStringLiteral("Label_mode1_AUX1_hyst_channel2_eenheid"));
    {
        auto *g = new QGridLayout(GroupBox_AUX1_mode1);
        g->setContentsMargins(10, 14, 10, 10);
        g->setVerticalSpacing(8);
        g->addWidget(Label_mode1_activate_at, 0, 0);
        g->addWidget(ComboBox_mode1_AUX1_Channel1_type, 0, 1, 1, 2);
        g->addWidget(Label_mode1_plus, 0, 3, Qt::AlignCenter);
        g->addWidget(ComboBox_mode1_AUX1_Channel2_type, 0, 4, 1, 2);
        g->addWidget(Label_mode1_on_at, 1, 0);
        g->addWidget(AdvSpinEdit_mode1_AUX1_Channel1_on, 1, 1);
        g->addWidget(Label_mode1_AUX1_Channel1_on_eenheid, 1, 2);
        g->addWidget(AdvSpinEdit_mode1_AUX1_Channel2_on, 1, 4);
        g->addWidget(Label_mode1_AUX1_Channel2_on_eenheid, 1, 5);
        g->addWidget(Label_mode1_off_at, 2, 0);
        g->addWidget(AdvSpinEdit_mode1_AUX1_Channel1_off, 2, 1);
        g->addWidget(Label_mode1_AUX1_Channel1_off_eenheid, 2, 2);
        g->addWidget(AdvSpinEdit_mode1_AUX1_Channel2_off, 2, 4);
        g->addWidget(Label_mode1_AUX1_Channel2_off_eenheid, 2, 5);
        g->addWidget(Label_mode1_hyst, 3, 0);
        g->addWidget(AdvSpinEdit_mode1_AUX1_hyst_channel1, 3, 1);
        g->addWidget(Label_mode1_AUX1_hyst_channel1_eenheid, 3, 2);
        g->addWidget(AdvSpinEdit_mode1_AUX1_hyst_channel2, 3, 4);
        g->addWidget(Label_mode1_AUX1_hyst_channel2_eenheid, 3, 5);
        g->setColumnMinimumWidth(3, 20);
        g->setColumnStretch(6, 1);
    }
    for (QAbstractSpinBox *f : std::initializer_list<QAbstractSpinBox *>{
             SpinEdit_second_stage_rpm, SpinEdit_AUX1_Channel1_off, SpinEdit_second_stage_engineload,
             SpinEdit_AUX1_Channel2_off, AdvSpinEdit_mode1_AUX1_Channel1_on,
             AdvSpinEdit_mode1_AUX1_Channel1_off, AdvSpinEdit_mode1_AUX1_hyst_channel1,
             AdvSpinEdit_mode1_AUX1_Channel2_on, AdvSpinEdit_mode1_AUX1_Channel2_off,
             AdvSpinEdit_mode1_AUX1_hyst_channel2})
        f->setMinimumWidth(90);

    Button_Ok_Second_stage = button(QStringLiteral("Button_Ok_Second_stage"), QStringLiteral("&Ok"), box);
    Button_Cancel_Second_stage =
        button(QStringLiteral("Button_Cancel_Second_stage"), QStringLiteral("&Cancel"), box);
    {
        auto *v = new QVBoxLayout(box);
        v->setContentsMargins(12, 16, 12, 12);
        v->setSpacing(8);
        auto *inverted = new QHBoxLayout;
        inverted->addWidget(CheckBox_AUX1_output_inverted);
        inverted->addStretch(1);
        v->addLayout(inverted);
        v->addWidget(RadioButton_mode0_AUX1);
        v->addWidget(GroupBox_AUX1_mode0);
        v->addWidget(RadioButton_mode1_AUX1);
        v->addWidget(GroupBox_AUX1_mode1);
        v->addStretch(1);
        v->addLayout(okCancelRow(Button_Ok_Second_stage, Button_Cancel_Second_stage));
    }
    connect(RadioButton_mode0_AUX1, &QRadioButton::toggled, this, [this](bool on) {
        EnableAux1Mode0(on);
        EnableAux1Mode1(!on);
    });
    for (int channel = 1; channel <= 2; ++channel) {
        SetAux1Mode0ChannelKind(channel, 0);
        SetAux1Mode1ChannelKind(channel, 0);
    }
    EnableAux1Mode0(true);
    EnableAux1Mode1(false);

    // ---- Second stage (older firmware) ----
    GroupBox_Second_stage_oud =
        group(QStringLiteral("GroupBox_Second_stage_oud"), QStringLiteral("Second stage"), this);
    SpinEdit_second_stage_rpm_oud =
        spin(QStringLiteral("SpinEdit_second_stage_rpm_oud"), 1000, 13000, 100, 13000);
    SpinEdit_second_stage_engineload_oud =
        spin(QStringLiteral("SpinEdit_second_stage_engineload_oud"), 0, 15, 1, 0);
    Button_Ok_Second_stage_oud = button(QStringLiteral("Button_Ok_Second_stage_oud"), QStringLiteral("&Ok"),
                                        GroupBox_Second_stage_oud);
    Button_Cancel_Second_stage_oud = button(QStringLiteral("Button_Cancel_Second_stage_oud"),
                                            QStringLiteral("&Cancel"), GroupBox_Second_stage_oud);
    {
        auto *row = new QHBoxLayout;
        row->setSpacing(6);
        row->addWidget(
            label(QStringLiteral("Label_second_stage_oud_1"), QStringLiteral("Second stage aktivate at:")));
        row->addWidget(SpinEdit_second_stage_rpm_oud);
        row->addWidget(label(QStringLiteral("Label_second_stage_oud_2"), QStringLiteral("RPM")));
        row->addWidget(label(QStringLiteral("Label_second_stage_oud_3"), QStringLiteral("+")));
        row->addWidget(SpinEdit_second_stage_engineload_oud);
        row->addWidget(label(QStringLiteral("Label_second_stage_oud_4"), QStringLiteral("Engine load")));
        row->addStretch(1);
        auto *v = new QVBoxLayout(GroupBox_Second_stage_oud);
        v->setContentsMargins(12, 16, 12, 12);
        v->addLayout(row);
        v->addStretch(1);
        v->addLayout(okCancelRow(Button_Ok_Second_stage_oud, Button_Cancel_Second_stage_oud));
    }
}

void TForm3::buildRpmLimiterGroup() {
    GroupBox_RPM_limiter_and_powershift =
        group(QStringLiteral("GroupBox_RPM_limiter_and_powershift"), QStringLiteral("RPM Limiter"), this);
    QGroupBox *box = GroupBox_RPM_limiter_and_powershift;
    GroupBox_standard_limiters = group(QStringLiteral("GroupBox_standard_limiters"), QString(), box);
    SpinEdit_soft_limit =
        spin(QStringLiteral("SpinEdit_soft_limit"), 2000, 20000, 100, 12500, QStringLiteral("2000...20000"));
    {
        auto *row = new QHBoxLayout(GroupBox_standard_limiters);
        row->setContentsMargins(10, 10, 10, 10);
        row->addWidget(label(QStringLiteral("Label_soft_limit"), QStringLiteral("RPM limit:")));
        row->addWidget(SpinEdit_soft_limit);
        row->addWidget(label(QStringLiteral("Label_soft_limit_eenheid"), QStringLiteral("RPM")));
        row->addStretch(1);
    }
    Button_Ok_RPM_limiter = button(QStringLiteral("Button_Ok_RPM_limiter"), QStringLiteral("&Ok"), box);
    Button_Cancel_RPM_limiter =
        button(QStringLiteral("Button_Cancel_RPM_limiter"), QStringLiteral("&Cancel"), box);
    auto *v = new QVBoxLayout(box);
    v->setContentsMargins(12, 16, 12, 12);
    v->addWidget(GroupBox_standard_limiters);
    v->addStretch(1);
    v->addLayout(okCancelRow(Button_Ok_RPM_limiter, Button_Cancel_RPM_limiter));
}

void TForm3::SetAux1ChannelKind(QSpinBox *field, QLabel *unit, int kind) {
    const auto setting = Aux1KindSettingFor(kind, Aux1Field::Mode0);
    if (!setting || !field)
        return;
    field->setRange(int(setting->minimum), int(setting->maximum));
    field->setSingleStep(int(setting->step));
    field->setValue(int(setting->value));
    if (unit)
        unit->setText(setting->unit);
}

void TForm3::SetAux1ChannelKind(QDoubleSpinBox *field, QLabel *unit, int kind) {
    const bool hysteresis =
        field == AdvSpinEdit_mode1_AUX1_hyst_channel1 || field == AdvSpinEdit_mode1_AUX1_hyst_channel2;
    const auto setting = Aux1KindSettingFor(kind, hysteresis ? Aux1Field::Mode1Hysteresis : Aux1Field::Mode1);
    if (!setting || !field)
        return;
    field->setDecimals(setting->decimals);
    field->setRange(setting->minimum, setting->maximum);
    field->setSingleStep(setting->step);
    field->setValue(setting->value);
    if (unit)
        unit->setText(setting->unit);
}

void TForm3::SetAux1Mode0ChannelKind(int channel, int kind) {
    if (channel != 1 && channel != 2)
        return;
    QComboBox *list = channel == 1 ? ComboBox_AUX1_Channel1_type : ComboBox_AUX1_Channel2_type;
    if (kind >= 0 && kind < list->count())
        list->setCurrentIndex(kind);
    if (channel == 1) {
        SetAux1ChannelKind(SpinEdit_second_stage_rpm, Label_second_stage_2, kind);
        SetAux1ChannelKind(SpinEdit_AUX1_Channel1_off, Label_AUX1_Channel1_off_eenheid, kind);
    } else {
        SetAux1ChannelKind(SpinEdit_second_stage_engineload, Label_second_stage_4, kind);
        SetAux1ChannelKind(SpinEdit_AUX1_Channel2_off, Label_AUX1_Channel2_off_eenheid, kind);
    }
}

void TForm3::SetAux1Mode1ChannelKind(int channel, int kind) {
    if (channel != 1 && channel != 2)
        return;
    QComboBox *list = channel == 1 ? ComboBox_mode1_AUX1_Channel1_type : ComboBox_mode1_AUX1_Channel2_type;
    if (kind >= 0 && kind < list->count())
        list->setCurrentIndex(kind);
    if (channel == 1) {
        SetAux1ChannelKind(AdvSpinEdit_mode1_AUX1_Channel1_on, Label_mode1_AUX1_Channel1_on_eenheid, kind);
        SetAux1ChannelKind(AdvSpinEdit_mode1_AUX1_Channel1_off, Label_mode1_AUX1_Channel1_off_eenheid, kind);
        SetAux1ChannelKind(AdvSpinEdit_mode1_AUX1_hyst_channel1, Label_mode1_AUX1_hyst_channel1_eenheid,
                           kind);
    } else {
        SetAux1ChannelKind(AdvSpinEdit_mode1_AUX1_Channel2_on, Label_mode1_AUX1_Channel2_on_eenheid, kind);
        SetAux1ChannelKind(AdvSpinEdit_mode1_AUX1_Channel2_off, Label_mode1_AUX1_Channel2_off_eenheid, kind);
        SetAux1ChannelKind(AdvSpinEdit_mode1_AUX1_hyst_channel2, Label_mode1_AUX1_hyst_channel2_eenheid,
                           kind);
    }
}

void TForm3::EnableAux1Mode0(bool on) {
    setCaptionColor(GroupBox_AUX1_mode0, on ? navy() : grey());
    setListBackground(ComboBox_AUX1_Channel1_type, on);
    setListBackground(ComboBox_AUX1_Channel2_type, on);
    for (QWidget *w : std::initializer_list<QWidget *>{
             GroupBox_AUX1_mode0, ComboBox_AUX1_Channel1_type, ComboBox_AUX1_Channel2_type,
             Label_mode0_activate_at, Label_mode0_plus, Label_mode0_on_at, Label_mode0_off_at,
             Label_second_stage_2, Label_AUX1_Channel1_off_eenheid, Label_second_stage_4,
             Label_AUX1_Channel2_off_eenheid, SpinEdit_second_stage_rpm, SpinEdit_AUX1_Channel1_off,
             SpinEdit_second_stage_engineload, SpinEdit_AUX1_Channel2_off})
        w->setEnabled(on);
}

void TForm3::EnableAux1Mode1(bool on) {
    setCaptionColor(GroupBox_AUX1_mode1, on ? navy() : grey());
    setListBackground(ComboBox_mode1_AUX1_Channel1_type, on);
    setListBackground(ComboBox_mode1_AUX1_Channel2_type, on);
    for (QWidget *w : std::initializer_list<QWidget *>{GroupBox_AUX1_mode1,
                                                       ComboBox_mode1_AUX1_Channel1_type,
                                                       ComboBox_mode1_AUX1_Channel2_type,
                                                       Label_mode1_activate_at,
                                                       Label_mode1_plus,
                                                       Label_mode1_on_at,
                                                       Label_mode1_off_at,
                                                       Label_mode1_hyst,
                                                       Label_mode1_AUX1_Channel1_on_eenheid,
                                                       Label_mode1_AUX1_Channel1_off_eenheid,
                                                       Label_mode1_AUX1_hyst_channel1_eenheid,
                                                       Label_mode1_AUX1_Channel2_on_eenheid,
                                                       Label_mode1_AUX1_Channel2_off_eenheid,
                                                       Label_mode1_AUX1_hyst_channel2_eenheid,
                                                       AdvSpinEdit_mode1_AUX1_Channel1_on,
                                                       AdvSpinEdit_mode1_AUX1_Channel1_off,
                                                       AdvSpinEdit_mode1_AUX1_hyst_channel1,
                                                       AdvSpinEdit_mode1_AUX1_Channel2_on,
                                                       AdvSpinEdit_mode1_AUX1_Channel2_off,
                                                       AdvSpinEdit_mode1_AUX1_hyst_channel2})
        w->setEnabled(on);
}

int TForm3::Aux1ModeCode() const {
    return Aux1ModeCodeFor(CheckBox_AUX1_output_inverted->isChecked(), RadioButton_mode1_AUX1->isChecked());
}

void TForm3::SetAux1ModeCode(int code) {
    CheckBox_AUX1_output_inverted->setChecked(Aux1InvertedFromCode(code));
    const bool mode1 = Aux1Mode1FromCode(code);
    (mode1 ? RadioButton_mode1_AUX1 : RadioButton_mode0_AUX1)->setChecked(true);
    EnableAux1Mode0(!mode1);
    EnableAux1Mode1(mode1);
}
