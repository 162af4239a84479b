// Throttle pump effect sub-panel: acceleration enrichment type 1 (by throttle position and RPM band) and
// type 2 (by main load: additional enrichment by water temperature, and an initial burst).
#include "core/FirmwareVersion.h"
#include "rules/OptionOperations.h"
#include "windows/options/OptionsWidgets.h"
#include "windows/options/OptionsWindow.h"

#include <QGridLayout>
#include <QVBoxLayout>

using namespace OptionsWidgets;

void TForm3::buildThrottlePumpGroup() {
    QVR_MAKE(GroupBox_Throttle_pump_effect, group, QStringLiteral("Throttle pump effect"), this);
    QGroupBox *box = GroupBox_Throttle_pump_effect;
    const QString percentHint = QStringLiteral("0...200%");

    // Type 1
    QVR_MAKE(GroupBox_type1, group, QStringLiteral("Type 1 (linked to TPS)"), box);
    QVR_NAMED(CheckBox_enable_type1, new QCheckBox(QStringLiteral("enable")));
    QVR_MAKE(Label_acceleration_amount, label, QStringLiteral("Acceleration amount in % :"));
    QVR_MAKE(Label_sustain, label, QStringLiteral("Sustain in crank rotations :"));
    QVR_MAKE(Label_rpm_0_2000, label, QStringLiteral("0 - 2000"));
    QVR_MAKE(Label_rpm_2000_4000, label, QStringLiteral("2000 - 4000"));
    QVR_MAKE(Label_rpm_4000plus, label, QStringLiteral("4000+"));
    QVR_MAKE(Label_type1_rpm, label, QStringLiteral("RPM"));
    QVR_MAKE(SpinEdit_Throttle_pump_effect_amount_0_2000, spin, 0, 200, 1, 0, percentHint);
    QVR_MAKE(SpinEdit_Throttle_pump_effect_amount_2000_4000, spin, 0, 200, 1, 0, percentHint);
    QVR_MAKE(SpinEdit_Throttle_pump_effect_amount_4000plus, spin, 0, 200, 1, 0, percentHint);
    QVR_MAKE(SpinEdit_Throttle_pump_effect_sustain_0_2000, spin, 0, 100, 1, 0, percentHint);
    QVR_MAKE(SpinEdit_Throttle_pump_effect_sustain_2000_4000, spin, 0, 100, 1, 0, percentHint);
    QVR_MAKE(SpinEdit_Throttle_pump_effect_sustain_4000plus, spin, 0, 100, 1, 0, percentHint);
    {
        auto *g = innerGrid(GroupBox_type1, 8);
        g->addWidget(CheckBox_enable_type1, 0, 0);
        int column = 1;
        for (QLabel *band : {Label_rpm_0_2000, Label_rpm_2000_4000, Label_rpm_4000plus}) {
            band->setAlignment(Qt::AlignCenter);
            g->addWidget(band, 0, column++);
        }
        addRows(g, {{nullptr, nullptr, nullptr, nullptr, Label_type1_rpm},
                    {Label_acceleration_amount, SpinEdit_Throttle_pump_effect_amount_0_2000,
                     SpinEdit_Throttle_pump_effect_amount_2000_4000,
                     SpinEdit_Throttle_pump_effect_amount_4000plus},
                    {Label_sustain, SpinEdit_Throttle_pump_effect_sustain_0_2000,
                     SpinEdit_Throttle_pump_effect_sustain_2000_4000,
                     SpinEdit_Throttle_pump_effect_sustain_4000plus}});
        for (int c = 1; c <= 3; ++c)
            g->setColumnMinimumWidth(c, 90);
        g->setColumnStretch(5, 1);
    }

    // Type 2
    QVR_MAKE(GroupBox_type2, group, QStringLiteral("Type 2 (linked to main load)"), box);
    QVR_NAMED(CheckBox_enable_type2, new QCheckBox(QStringLiteral("enable")));
    CheckBox_enable_type2->setChecked(true);
    const QString sensitivityHint = QStringLiteral("10...95"), smallHint = QStringLiteral("0...25");

    QVR_MAKE(GroupBox3, group, QStringLiteral("Additional enrichment"));
    QVR_MAKE(Label_acc_sensitivity, label, QStringLiteral("sensitivity:"));
    QVR_MAKE(SpinEdit_acc_sensitivity, spin, 10, 95, 1, 10, sensitivityHint);
    QVR_MAKE(Label_acc_amplifier, label, QStringLiteral("amplifier:"));
    QVR_MAKE(SpinEdit_acc_amplifier, spin, 0, 25, 1, 0, smallHint);
    QVR_MAKE(Label_acc_crank_rotations, label, QStringLiteral("crank rotations:"));
    QVR_MAKE(SpinEdit_acc_crank_rotations, spin, 0, 25, 1, 0, smallHint);
    QVR_MAKE(Label_acc_watertemp, label, QStringLiteral("watertemp up to:"));
    QLabel **tempLabels[5] = {&Label_acc_20, &Label_acc_30, &Label_acc_40, &Label_acc_50, &Label_acc_60};
    QSpinBox **tempFields[5] = {&SpinEdit_acc_20, &SpinEdit_acc_30, &SpinEdit_acc_40, &SpinEdit_acc_50,
                                &SpinEdit_acc_60};
    QVR_MAKE(Label_acc_percent, label, QStringLiteral("%"));
    {
        auto *g = innerGrid(GroupBox3, 8);
        g->addWidget(Label_acc_sensitivity, 0, 0);
        g->addWidget(SpinEdit_acc_sensitivity, 0, 1);
        g->addWidget(Label_acc_amplifier, 1, 0);
        g->addWidget(SpinEdit_acc_amplifier, 1, 1);
        g->addWidget(Label_acc_crank_rotations, 2, 0);
        g->addWidget(SpinEdit_acc_crank_rotations, 2, 1);
        g->addWidget(Label_acc_watertemp, 4, 0);
        for (int i = 0; i < 5; ++i) {
            const int degrees = 20 + 10 * i;
            *tempLabels[i] =
                label(QStringLiteral("Label_acc_%1").arg(degrees), QStringLiteral("%1\u00B0C").arg(degrees));
            (*tempLabels[i])->setAlignment(Qt::AlignCenter);
            *tempFields[i] = spin(QStringLiteral("SpinEdit_acc_%1").arg(degrees), 0, 200, 1, 0, percentHint);
            g->addWidget(*tempLabels[i], 3, i + 1);
            g->addWidget(*tempFields[i], 4, i + 1);
        }
        g->addWidget(Label_acc_percent, 4, 6);
        g->setRowMinimumHeight(3, 24);
        g->setColumnStretch(7, 1);
    }

    QVR_MAKE(GroupBox_initial_burst, group, QStringLiteral("Initial burst"));
    QVR_MAKE(Label_initial_burst_sensitivity, label, QStringLiteral("sensitivity:"));
    QVR_MAKE(SpinEdit_initial_burst_sensitivity, spin, 10, 95, 1, 10, sensitivityHint);
    QVR_MAKE(Label_initial_burst_amplifier, label, QStringLiteral("amplifier:"));
    QVR_MAKE(SpinEdit_initial_burst_amplifier, spin, 0, 25, 1, 0, smallHint);
    {
        auto *g = innerGrid(GroupBox_initial_burst, 8);
        addRows(g, {{Label_initial_burst_sensitivity, SpinEdit_initial_burst_sensitivity},
                    {Label_initial_burst_amplifier, SpinEdit_initial_burst_amplifier}});
        g->setRowStretch(2, 1);
    }
    {
        auto *v = new QVBoxLayout(GroupBox_type2);
        v->setContentsMargins(10, 14, 10, 10);
        v->addWidget(CheckBox_enable_type2);
        auto *h = new QHBoxLayout;
        h->addWidget(GroupBox3, 3);
        h->addWidget(GroupBox_initial_burst, 1, Qt::AlignTop);
        v->addLayout(h);
    }

    QVR_OK_CANCEL(Button_Ok_Throttle_pump_effect, Button_Cancel_Throttle_pump_effect, box);
    fillPanel(box, 10, {GroupBox_type1, GroupBox_type2}, Button_Ok_Throttle_pump_effect,
              Button_Cancel_Throttle_pump_effect);

    connect(CheckBox_enable_type1, &QCheckBox::clicked, this,
            [this](bool on) { EnableThrottlePumpType1(on); });
    connect(CheckBox_enable_type2, &QCheckBox::clicked, this,
            [this](bool on) { EnableThrottlePumpType2(on); });
    EnableThrottlePumpType1(CheckBox_enable_type1->isChecked());
    EnableThrottlePumpType2(CheckBox_enable_type2->isChecked());
}

void TForm3::EnableThrottlePumpType1(bool on) {
    setCaptionColor(GroupBox_type1, on ? navy() : grey());
    for (QWidget *w : std::initializer_list<QWidget *>{
             Label_acceleration_amount, Label_sustain, Label_rpm_0_2000, Label_rpm_2000_4000,
             Label_rpm_4000plus, Label_type1_rpm, SpinEdit_Throttle_pump_effect_amount_0_2000,
             SpinEdit_Throttle_pump_effect_amount_2000_4000, SpinEdit_Throttle_pump_effect_amount_4000plus,
             SpinEdit_Throttle_pump_effect_sustain_0_2000, SpinEdit_Throttle_pump_effect_sustain_2000_4000,
             SpinEdit_Throttle_pump_effect_sustain_4000plus})
        w->setEnabled(on);
}

void TForm3::EnableThrottlePumpType2(bool on) {
    for (QGroupBox *g : {GroupBox_type2, GroupBox3, GroupBox_initial_burst})
        setCaptionColor(g, on ? navy() : grey());
    // Everything in the additional enrichment and the initial burst, not the enable box above them.
    setControlsEnabled(GroupBox3, on);
    setControlsEnabled(GroupBox_initial_burst, on);
}

int TForm3::ThrottlePumpTypeCode() const {
    return ThrottlePumpCodeFor(CheckBox_enable_type1->isChecked(), CheckBox_enable_type2->isChecked());
}

void TForm3::SetThrottlePumpTypeCode(int code) {
    bool type1 = false, type2 = false;
    if (!ThrottlePumpTypesFromCode(code, &type1, &type2))
        return;
    CheckBox_enable_type1->setChecked(type1);
    CheckBox_enable_type2->setChecked(type2);
    EnableThrottlePumpType1(type1);
    EnableThrottlePumpType2(type2);
}

void TForm3::ApplyThrottlePumpTypesForVersion() {
    if (VersionAtLeast(currentVersion(), QStringLiteral("3FA"))) {
        GroupBox_type1->setTitle(QStringLiteral("Type 1"));
        CheckBox_enable_type1->show();
        GroupBox_type2->show();
    } else {
        // Older firmware knows only type 1, always on.
        GroupBox_type1->setTitle(QString());
        CheckBox_enable_type1->setChecked(true);
        EnableThrottlePumpType1(true);
        CheckBox_enable_type1->hide();
        GroupBox_type2->hide();
    }
}
