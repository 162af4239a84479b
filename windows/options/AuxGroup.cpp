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

// The controls both modes have: the mode's box, "activate at:", "+" and the kind lists of the two channels.
#define QVR_MODE_HEAD(box, title, activateAt, channel1, plus, channel2)                                      \
    (QVR_MAKE(box, group, title), QVR_MAKE(activateAt, label, QStringLiteral("activate at:")),               \
     QVR_MAKE(channel1, kindList), QVR_MAKE(plus, label, QStringLiteral("+")), QVR_MAKE(channel2, kindList))

// A mode's grid: "activate at:", channel 1's kind, "+", channel 2's kind on top; the thresholds go below in
// the columns of their channel.
QGridLayout *modeGrid(QGroupBox *mode, QLabel *activateAt, QComboBox *channel1, QLabel *plus,
                      QComboBox *channel2) {
    auto *g = innerGrid(mode, 8);
    g->addWidget(activateAt, 0, 0);
    g->addWidget(channel1, 0, 1, 1, 2);
    g->addWidget(plus, 0, 3, Qt::AlignCenter);
    g->addWidget(channel2, 0, 4, 1, 2);
    g->setColumnMinimumWidth(3, 20);
    g->setColumnStretch(6, 1);
    return g;
}
// A mode's box and everything in it follow the mode choice; its caption and kind lists show it in colour.
void enableMode(QGroupBox *mode, QComboBox *channel1, QComboBox *channel2, bool on) {
    setCaptionColor(mode, on ? navy() : grey());
    setListBackground(channel1, on);
    setListBackground(channel2, on);
    mode->setEnabled(on);
    setControlsEnabled(mode, on);
}
} // namespace

void TForm3::buildAuxGroups() {
    // ---- AUX1 ----
    QVR_MAKE(GroupBox_Second_stage, group, QStringLiteral("AUX1"), this);
    QGroupBox *box = GroupBox_Second_stage;
    QVR_NAMED(RadioButton_mode0_AUX1, new QRadioButton(QStringLiteral("mode 0")));
    QVR_NAMED(RadioButton_mode1_AUX1, new QRadioButton(QStringLiteral("mode 1")));
    auto *modes = new QButtonGroup(box);
    modes->addButton(RadioButton_mode0_AUX1, 0);
    modes->addButton(RadioButton_mode1_AUX1, 1);
    RadioButton_mode0_AUX1->setChecked(true);
    QVR_NAMED(CheckBox_AUX1_output_inverted, new QCheckBox(QStringLiteral("Output inverted:")));
    CheckBox_AUX1_output_inverted->setLayoutDirection(Qt::RightToLeft); // caption before the box

    // mode 0: whole-number thresholds, "on at >" and "off at <"
    QVR_MODE_HEAD(GroupBox_AUX1_mode0, QStringLiteral("mode 0"), Label_mode0_activate_at,
                  ComboBox_AUX1_Channel1_type, Label_mode0_plus, ComboBox_AUX1_Channel2_type);
    QVR_MAKE(Label_mode0_on_at, label, QStringLiteral("on at >"));
    QVR_MAKE(Label_mode0_off_at, label, QStringLiteral("off at <"));
    QVR_MAKE(SpinEdit_second_stage_rpm, spin, 0, 0, 0, 0);
    QVR_MAKE(Label_second_stage_2, unitLabel);
    QVR_MAKE(SpinEdit_AUX1_Channel1_off, spin, 0, 0, 0, 0);
    QVR_MAKE(Label_AUX1_Channel1_off_eenheid, unitLabel);
    QVR_MAKE(SpinEdit_second_stage_engineload, spin, 0, 0, 0, 0);
    QVR_MAKE(Label_second_stage_4, unitLabel);
    QVR_MAKE(SpinEdit_AUX1_Channel2_off, spin, 0, 0, 0, 0);
    QVR_MAKE(Label_AUX1_Channel2_off_eenheid, unitLabel);
    {
        auto *g = modeGrid(GroupBox_AUX1_mode0, Label_mode0_activate_at, ComboBox_AUX1_Channel1_type,
                           Label_mode0_plus, ComboBox_AUX1_Channel2_type);
        addRows(g,
                {{Label_mode0_on_at, SpinEdit_second_stage_rpm, Label_second_stage_2, nullptr,
                  SpinEdit_second_stage_engineload, Label_second_stage_4},
                 {Label_mode0_off_at, SpinEdit_AUX1_Channel1_off, Label_AUX1_Channel1_off_eenheid, nullptr,
                  SpinEdit_AUX1_Channel2_off, Label_AUX1_Channel2_off_eenheid}},
                1);
    }

    // mode 1: decimal thresholds, "on at >", "off at >" and a hysteresis
    QVR_MODE_HEAD(GroupBox_AUX1_mode1, QStringLiteral("mode 1"), Label_mode1_activate_at,
                  ComboBox_mode1_AUX1_Channel1_type, Label_mode1_plus, ComboBox_mode1_AUX1_Channel2_type);
    QVR_MAKE(Label_mode1_on_at, label, QStringLiteral("on at >"));
    QVR_MAKE(Label_mode1_off_at, label, QStringLiteral("off at >"));
    QVR_MAKE(Label_mode1_hyst, label, QStringLiteral("hyst."));
    const auto field = [](const QString &name) { return decimalSpin(name, 0, 0, 0, 0, 0); };
    QVR_MAKE(AdvSpinEdit_mode1_AUX1_Channel1_on, field);
    QVR_MAKE(AdvSpinEdit_mode1_AUX1_Channel1_off, field);
    QVR_MAKE(AdvSpinEdit_mode1_AUX1_hyst_channel1, field);
    QVR_MAKE(AdvSpinEdit_mode1_AUX1_Channel2_on, field);
    QVR_MAKE(AdvSpinEdit_mode1_AUX1_Channel2_off, field);
    QVR_MAKE(AdvSpinEdit_mode1_AUX1_hyst_channel2, field);
    QVR_MAKE(Label_mode1_AUX1_Channel1_on_eenheid, unitLabel);
    QVR_MAKE(Label_mode1_AUX1_Channel1_off_eenheid, unitLabel);
    QVR_MAKE(Label_mode1_AUX1_hyst_channel1_eenheid, unitLabel);
    QVR_MAKE(Label_mode1_AUX1_Channel2_on_eenheid, unitLabel);
    QVR_MAKE(Label_mode1_AUX1_Channel2_off_eenheid, unitLabel);
    QVR_MAKE(Label_mode1_AUX1_hyst_channel2_eenheid, unitLabel);
    {
        auto *g = modeGrid(GroupBox_AUX1_mode1, Label_mode1_activate_at, ComboBox_mode1_AUX1_Channel1_type,
                           Label_mode1_plus, ComboBox_mode1_AUX1_Channel2_type);
        addRows(
            g,
            {{Label_mode1_on_at, AdvSpinEdit_mode1_AUX1_Channel1_on, Label_mode1_AUX1_Channel1_on_eenheid,
              nullptr, AdvSpinEdit_mode1_AUX1_Channel2_on, Label_mode1_AUX1_Channel2_on_eenheid},
             {Label_mode1_off_at, AdvSpinEdit_mode1_AUX1_Channel1_off, Label_mode1_AUX1_Channel1_off_eenheid,
              nullptr, AdvSpinEdit_mode1_AUX1_Channel2_off, Label_mode1_AUX1_Channel2_off_eenheid},
             {Label_mode1_hyst, AdvSpinEdit_mode1_AUX1_hyst_channel1, Label_mode1_AUX1_hyst_channel1_eenheid,
              nullptr, AdvSpinEdit_mode1_AUX1_hyst_channel2, Label_mode1_AUX1_hyst_channel2_eenheid}},
            1);
    }
    for (QAbstractSpinBox *f : std::initializer_list<QAbstractSpinBox *>{
             SpinEdit_second_stage_rpm, SpinEdit_AUX1_Channel1_off, SpinEdit_second_stage_engineload,
             SpinEdit_AUX1_Channel2_off, AdvSpinEdit_mode1_AUX1_Channel1_on,
             AdvSpinEdit_mode1_AUX1_Channel1_off, AdvSpinEdit_mode1_AUX1_hyst_channel1,
             AdvSpinEdit_mode1_AUX1_Channel2_on, AdvSpinEdit_mode1_AUX1_Channel2_off,
             AdvSpinEdit_mode1_AUX1_hyst_channel2})
        f->setMinimumWidth(90);

    QVR_OK_CANCEL(Button_Ok_Second_stage, Button_Cancel_Second_stage, box);
    {
        auto *inverted = new QHBoxLayout;
        inverted->addWidget(CheckBox_AUX1_output_inverted);
        inverted->addStretch(1);
        fillPanel(box, 8,
                  {inverted, RadioButton_mode0_AUX1, GroupBox_AUX1_mode0, RadioButton_mode1_AUX1,
                   GroupBox_AUX1_mode1},
                  Button_Ok_Second_stage, Button_Cancel_Second_stage);
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
    QVR_MAKE(GroupBox_Second_stage_oud, group, QStringLiteral("Second stage"), this);
    QVR_MAKE(SpinEdit_second_stage_rpm_oud, spin, 1000, 13000, 100, 13000);
    QVR_MAKE(SpinEdit_second_stage_engineload_oud, spin, 0, 15, 1, 0);
    QVR_MAKE(Button_Ok_Second_stage_oud, button, QStringLiteral("&Ok"), GroupBox_Second_stage_oud);
    QVR_MAKE(Button_Cancel_Second_stage_oud, button, QStringLiteral("&Cancel"), GroupBox_Second_stage_oud);
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
        fillPanel(GroupBox_Second_stage_oud, -1, {row}, Button_Ok_Second_stage_oud,
                  Button_Cancel_Second_stage_oud);
    }
}

void TForm3::buildRpmLimiterGroup() {
    QVR_MAKE(GroupBox_RPM_limiter_and_powershift, group, QStringLiteral("RPM Limiter"), this);
    QGroupBox *box = GroupBox_RPM_limiter_and_powershift;
    QVR_MAKE(GroupBox_standard_limiters, group, QString(), box);
    QVR_MAKE(SpinEdit_soft_limit, spin, 2000, 20000, 100, 12500, QStringLiteral("2000...20000"));
    {
        auto *row = new QHBoxLayout(GroupBox_standard_limiters);
        row->setContentsMargins(10, 10, 10, 10);
        row->addWidget(label(QStringLiteral("Label_soft_limit"), QStringLiteral("RPM limit:")));
        row->addWidget(SpinEdit_soft_limit);
        row->addWidget(label(QStringLiteral("Label_soft_limit_eenheid"), QStringLiteral("RPM")));
        row->addStretch(1);
    }
    QVR_OK_CANCEL(Button_Ok_RPM_limiter, Button_Cancel_RPM_limiter, box);
    fillPanel(box, -1, {GroupBox_standard_limiters}, Button_Ok_RPM_limiter, Button_Cancel_RPM_limiter);
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

namespace {
// Shows the kind in the channel's list (where the list has it) and gives the channel's fields its range.
template <class Spin>
void applyChannelKind(TForm3 *w, QComboBox *list, std::initializer_list<std::pair<Spin *, QLabel *>> fields,
                      int kind) {
    if (kind >= 0 && kind < list->count())
        list->setCurrentIndex(kind);
    for (const auto &[field, unit] : fields)
        w->SetAux1ChannelKind(field, unit, kind);
}
} // namespace

void TForm3::SetAux1Mode0ChannelKind(int channel, int kind) {
    if (channel == 1) {
        applyChannelKind<QSpinBox>(this, ComboBox_AUX1_Channel1_type,
                                   {{SpinEdit_second_stage_rpm, Label_second_stage_2},
                                    {SpinEdit_AUX1_Channel1_off, Label_AUX1_Channel1_off_eenheid}},
                                   kind);
    } else if (channel == 2) {
        applyChannelKind<QSpinBox>(this, ComboBox_AUX1_Channel2_type,
                                   {{SpinEdit_second_stage_engineload, Label_second_stage_4},
                                    {SpinEdit_AUX1_Channel2_off, Label_AUX1_Channel2_off_eenheid}},
                                   kind);
    }
}

void TForm3::SetAux1Mode1ChannelKind(int channel, int kind) {
    // on, off and hysteresis of each channel
    if (channel == 1) {
        applyChannelKind<QDoubleSpinBox>(
            this, ComboBox_mode1_AUX1_Channel1_type,
            {{AdvSpinEdit_mode1_AUX1_Channel1_on, Label_mode1_AUX1_Channel1_on_eenheid},
             {AdvSpinEdit_mode1_AUX1_Channel1_off, Label_mode1_AUX1_Channel1_off_eenheid},
             {AdvSpinEdit_mode1_AUX1_hyst_channel1, Label_mode1_AUX1_hyst_channel1_eenheid}},
            kind);
    } else if (channel == 2) {
        applyChannelKind<QDoubleSpinBox>(
            this, ComboBox_mode1_AUX1_Channel2_type,
            {{AdvSpinEdit_mode1_AUX1_Channel2_on, Label_mode1_AUX1_Channel2_on_eenheid},
             {AdvSpinEdit_mode1_AUX1_Channel2_off, Label_mode1_AUX1_Channel2_off_eenheid},
             {AdvSpinEdit_mode1_AUX1_hyst_channel2, Label_mode1_AUX1_hyst_channel2_eenheid}},
            kind);
    }
}

void TForm3::EnableAux1Mode0(bool on) {
    enableMode(GroupBox_AUX1_mode0, ComboBox_AUX1_Channel1_type, ComboBox_AUX1_Channel2_type, on);
}

void TForm3::EnableAux1Mode1(bool on) {
    enableMode(GroupBox_AUX1_mode1, ComboBox_mode1_AUX1_Channel1_type, ComboBox_mode1_AUX1_Channel2_type, on);
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
