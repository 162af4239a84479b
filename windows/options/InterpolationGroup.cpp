// Interpolation to limits: four switches around a picture of a map cell, and (from "3FA") the overrun
// fuel cut.
#include "rules/OptionOperations.h"
#include "windows/options/OptionsWidgets.h"
#include "windows/options/OptionsWindow.h"

#include <QGridLayout>
#include <QVBoxLayout>

using namespace OptionsWidgets;

void TForm3::buildInterpolationGroup() {
    QVR_MAKE(GroupBox_interpolation_to_limits, group, QStringLiteral("Interpolation to limits"), this);
    QGroupBox *box = GroupBox_interpolation_to_limits;

    const QColor white(0xFF, 0xFF, 0xFF);
    QVR_MAKE(Panel_midden, panel, QStringLiteral("2,57"), white);
    QVR_MAKE(Panel_boven, panel, QStringLiteral("0,0"), silver());
    QVR_MAKE(Panel_onder, panel, QStringLiteral("0,0"), silver());
    QVR_MAKE(Panel_rechts, panel, QStringLiteral("0,0"), silver());
    QVR_MAKE(Panel_links, panel, QStringLiteral("0,0"), silver());
    for (QLabel *cell : {Panel_midden, Panel_boven, Panel_onder, Panel_rechts, Panel_links})
        cell->setFixedSize(64, 30);
    QFont bold = Panel_midden->font();
    bold.setBold(true);
    Panel_midden->setFont(bold);

    const auto toggle = [](const char *name, const QString &hint) {
        auto *b = named(new RoundToggleButton, QString::fromLatin1(name));
        b->setToolTip(hint);
        return b;
    };
    IBEAntialiasButton_interpolation_onder_aan_uit = toggle(
        "IBEAntialiasButton_interpolation_onder_aan_uit", QStringLiteral("Interpolation to lower RPM limit"));
    IBEAntialiasButton_interpolation_rechts_aan_uit =
        toggle("IBEAntialiasButton_interpolation_rechts_aan_uit",
               QStringLiteral("Interpolation to higher Engine-load limit"));
    IBEAntialiasButton_interpolation_boven_aan_uit =
        toggle("IBEAntialiasButton_interpolation_boven_aan_uit",
               QStringLiteral("Interpolation to higher RPM limit"));
    IBEAntialiasButton_interpolation_links_aan_uit =
        toggle("IBEAntialiasButton_interpolation_links_aan_uit",
               QStringLiteral("Interpolation to lower Engine-load limit"));

    auto *cross = new QGridLayout;
    cross->setSpacing(6);
    cross->addWidget(IBEAntialiasButton_interpolation_boven_aan_uit, 0, 2, Qt::AlignCenter);
    cross->addWidget(Panel_boven, 1, 2, Qt::AlignCenter);
    cross->addWidget(IBEAntialiasButton_interpolation_links_aan_uit, 2, 0, Qt::AlignCenter);
    cross->addWidget(Panel_links, 2, 1, Qt::AlignCenter);
    cross->addWidget(Panel_midden, 2, 2, Qt::AlignCenter);
    cross->addWidget(Panel_rechts, 2, 3, Qt::AlignCenter);
    cross->addWidget(IBEAntialiasButton_interpolation_rechts_aan_uit, 2, 4, Qt::AlignCenter);
    cross->addWidget(Panel_onder, 3, 2, Qt::AlignCenter);
    cross->addWidget(IBEAntialiasButton_interpolation_onder_aan_uit, 4, 2, Qt::AlignCenter);

    // The overrun engine speed travels as speed / 50 in one byte, so 12750 is the most it can hold.
    QVR_MAKE(GroupBox_Overrun_fuel_cut, group, QStringLiteral("Overrun fuel cut"), box);
    QVR_MAKE(SpinEdit_Overrun_fuel_cut_rpm, spin, 500, 12750, 50, 500, QStringLiteral("500...12750 RPM"));
    QVR_MAKE(AdvSpinEdit_Overrun_fuel_cut_tps, decimalSpin, 0.0, 15.8, 0.1, 1, 0.0,
             QStringLiteral("(0,0...15,8)"));
    {
        auto *row = new QHBoxLayout(GroupBox_Overrun_fuel_cut);
        row->setContentsMargins(10, 14, 10, 10);
        row->setSpacing(6);
        row->addWidget(label(QStringLiteral("Label_Overrun_fuel_cut_rpm"), QStringLiteral("on at RPM  >:")));
        row->addWidget(SpinEdit_Overrun_fuel_cut_rpm);
        row->addWidget(label(QStringLiteral("Label_Overrun_fuel_cut_plus"), QStringLiteral("+")));
        row->addWidget(label(QStringLiteral("Label_Overrun_fuel_cut_tps"), QStringLiteral("TPS <:")));
        row->addWidget(AdvSpinEdit_Overrun_fuel_cut_tps);
        row->addStretch(1);
    }

    QVR_OK_CANCEL(Button_Ok_interpolation_to_limits, Button_Cancel_interpolation_to_limits, box);
    auto *centred = new QHBoxLayout;
    centred->addStretch(1);
    centred->addLayout(cross);
    centred->addStretch(1);
    fillPanel(box, 12, {centred, GroupBox_Overrun_fuel_cut}, Button_Ok_interpolation_to_limits,
              Button_Cancel_interpolation_to_limits);
}

int TForm3::PackInterpolationFlags() const {
    InterpolationSwitches s;
    s.lowerRpm = IBEAntialiasButton_interpolation_onder_aan_uit->isOn();
    s.higherLoad = IBEAntialiasButton_interpolation_rechts_aan_uit->isOn();
    s.higherRpm = IBEAntialiasButton_interpolation_boven_aan_uit->isOn();
    s.lowerLoad = IBEAntialiasButton_interpolation_links_aan_uit->isOn();
    return InterpolationFlagsFor(s);
}

void TForm3::UnpackInterpolationFlags(int v) {
    const InterpolationSwitches s = DecodeInterpolationFlags(v);
    IBEAntialiasButton_interpolation_links_aan_uit->setOn(s.lowerLoad);
    IBEAntialiasButton_interpolation_boven_aan_uit->setOn(s.higherRpm);
    IBEAntialiasButton_interpolation_rechts_aan_uit->setOn(s.higherLoad);
    IBEAntialiasButton_interpolation_onder_aan_uit->setOn(s.lowerRpm);
}
