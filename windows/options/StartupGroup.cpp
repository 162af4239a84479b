// Startup sub-panel: the cranking pulse below 500 RPM and (from "3FA") the start-up enrichment table of
// four water-temperature columns.
#include "windows/options/OptionsWidgets.h"
#include "windows/options/OptionsWindow.h"

#include <QGridLayout>
#include <QVBoxLayout>

using namespace OptionsWidgets;

namespace {
using Field = QDoubleSpinBox *TForm3::*;

constexpr Field temperatureFields[4] = {&TForm3::AdvSpinEditStartup_enrichment_correction_table_kolom_1,
                                        &TForm3::AdvSpinEditStartup_enrichment_correction_table_kolom_2,
                                        &TForm3::AdvSpinEditStartup_enrichment_correction_table_kolom_3,
                                        &TForm3::AdvSpinEditStartup_enrichment_correction_table_kolom_4};
constexpr Field percentFields[4][4] = {
    {&TForm3::AdvSpinEdit_Crank_turns_20_kolom_1, &TForm3::AdvSpinEdit_Crank_turns_20_kolom_2,
     &TForm3::AdvSpinEdit_Crank_turns_20_kolom_3, &TForm3::AdvSpinEdit_Crank_turns_20_kolom_4},
    {&TForm3::AdvSpinEdit_Crank_turns_40_kolom_1, &TForm3::AdvSpinEdit_Crank_turns_40_kolom_2,
     &TForm3::AdvSpinEdit_Crank_turns_40_kolom_3, &TForm3::AdvSpinEdit_Crank_turns_40_kolom_4},
    {&TForm3::AdvSpinEdit_Crank_turns_60_kolom_1, &TForm3::AdvSpinEdit_Crank_turns_60_kolom_2,
     &TForm3::AdvSpinEdit_Crank_turns_60_kolom_3, &TForm3::AdvSpinEdit_Crank_turns_60_kolom_4},
    {&TForm3::AdvSpinEdit_Crank_turns_80_kolom_1, &TForm3::AdvSpinEdit_Crank_turns_80_kolom_2,
     &TForm3::AdvSpinEdit_Crank_turns_80_kolom_3, &TForm3::AdvSpinEdit_Crank_turns_80_kolom_4}};
constexpr Field countFields[4][4] = {
    {&TForm3::AdvSpinEdit_Crank_turns_20_kolom_1_nr, &TForm3::AdvSpinEdit_Crank_turns_20_kolom_2_nr,
     &TForm3::AdvSpinEdit_Crank_turns_20_kolom_3_nr, &TForm3::AdvSpinEdit_Crank_turns_20_kolom_4_nr},
    {&TForm3::AdvSpinEdit_Crank_turns_40_kolom_1_nr, &TForm3::AdvSpinEdit_Crank_turns_40_kolom_2_nr,
     &TForm3::AdvSpinEdit_Crank_turns_40_kolom_3_nr, &TForm3::AdvSpinEdit_Crank_turns_40_kolom_4_nr},
    {&TForm3::AdvSpinEdit_Crank_turns_60_kolom_1_nr, &TForm3::AdvSpinEdit_Crank_turns_60_kolom_2_nr,
     &TForm3::AdvSpinEdit_Crank_turns_60_kolom_3_nr, &TForm3::AdvSpinEdit_Crank_turns_60_kolom_4_nr},
    {&TForm3::AdvSpinEdit_Crank_turns_80_kolom_1_nr, &TForm3::AdvSpinEdit_Crank_turns_80_kolom_2_nr,
     &TForm3::AdvSpinEdit_Crank_turns_80_kolom_3_nr, &TForm3::AdvSpinEdit_Crank_turns_80_kolom_4_nr}};
constexpr Field pulseFields[4] = {
    &TForm3::AdvSpinEdit_startup_injection_puls_temp1, &TForm3::AdvSpinEdit_startup_injection_puls_temp2,
    &TForm3::AdvSpinEdit_startup_injection_puls_temp3, &TForm3::AdvSpinEdit_startup_injection_puls_temp4};

bool inRange(int v) {
    return v >= 1 && v <= 4;
}
} // namespace

QDoubleSpinBox *TForm3::startupTemperature(int column) const {
    return inRange(column) ? this->*temperatureFields[column - 1] : nullptr;
}
QDoubleSpinBox *TForm3::crankTurnsPercent(int turnsRow, int column) const {
    return inRange(turnsRow) && inRange(column) ? this->*percentFields[turnsRow - 1][column - 1] : nullptr;
}
QDoubleSpinBox *TForm3::crankTurnsCount(int turnsRow, int column) const {
    return inRange(turnsRow) && inRange(column) ? this->*countFields[turnsRow - 1][column - 1] : nullptr;
}
QDoubleSpinBox *TForm3::startupPulse(int column) const {
    return inRange(column) ? this->*pulseFields[column - 1] : nullptr;
}

void TForm3::buildStartupGroup() {
    QVR_MAKE(GroupBox_Startup, group, QStringLiteral("Startup"), this);
    QGroupBox *box = GroupBox_Startup;

    QVR_MAKE(AdvSpinEdit_startup_injection_puls, decimalSpin, 0, 40.47, 0.1, 2, 0);
    auto *pulse = new QHBoxLayout;
    pulse->addWidget(label(QStringLiteral("Label_startup_injection_puls"),
                           QStringLiteral("Startup injection puls") + QLatin1Char('\n') +
                               QStringLiteral("under 500 RPM:")));
    pulse->addWidget(AdvSpinEdit_startup_injection_puls);
    pulse->addWidget(label(QStringLiteral("Label_startup_injection_puls_eenheid"), QStringLiteral("ms")));
    pulse->addStretch(1);

    QVR_MAKE(GroupBox_startup_enrichment, group, QStringLiteral("Startup enrichment"), box);
    auto *g = innerGrid(GroupBox_startup_enrichment);
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(8);
    // Each water-temperature column holds a crank-turn count and its percentage side by side.
    for (int c = 1; c <= 4; ++c) {
        const int left = 1 + (c - 1) * 3;
        auto *turns = label(QStringLiteral("Label_startup_turns_kolom_%1").arg(c), QStringLiteral("turns"));
        auto *percent = label(QStringLiteral("Label_startup_percent_kolom_%1").arg(c), QStringLiteral("%"));
        turns->setAlignment(Qt::AlignCenter);
        percent->setAlignment(Qt::AlignCenter);
        g->addWidget(turns, 1, left);
        g->addWidget(percent, 1, left + 1);
        if (c < 4)
            g->setColumnMinimumWidth(left + 2, 12);

        auto *temp =
            decimalSpin(QStringLiteral("AdvSpinEditStartup_enrichment_correction_table_kolom_%1").arg(c), -20,
                        135, 1, 0, 0);
        this->*temperatureFields[c - 1] = temp;
        g->addWidget(temp, 0, left, 1, 2);

        for (int r = 1; r <= 4; ++r) {
            const int turnsCount = 20 * r;
            auto *count =
                decimalSpin(QStringLiteral("AdvSpinEdit_Crank_turns_%1_kolom_%2_nr").arg(turnsCount).arg(c),
                            0, 65535, 1, 0, turnsCount, QStringLiteral("0..65536 Crankturns"));
            auto *pct =
                decimalSpin(QStringLiteral("AdvSpinEdit_Crank_turns_%1_kolom_%2").arg(turnsCount).arg(c), 0,
                            500, 2, 0, (r == 1 && c == 1) ? 100 : 0, QStringLiteral("0..500%"));
            this->*countFields[r - 1][c - 1] = count;
            this->*percentFields[r - 1][c - 1] = pct;
            g->addWidget(count, 1 + r, left);
            g->addWidget(pct, 1 + r, left + 1);
        }

        auto *startPulse = decimalSpin(QStringLiteral("AdvSpinEdit_startup_injection_puls_temp%1").arg(c), 0,
                                       40.47, 0.01, 2, 0, QStringLiteral("0...40,47 ms"));
        this->*pulseFields[c - 1] = startPulse;
        g->addWidget(startPulse, 6, left, 1, 2);
    }
    g->addWidget(label(QStringLiteral("Label_startup_watertemp"), QStringLiteral("Watertemp up to:")), 0, 0);
    g->addWidget(label(QStringLiteral("Label_startup_watertemp_eenheid"), QStringLiteral("\u00B0C")), 0, 13);
    for (int r = 1; r <= 4; ++r)
        g->addWidget(label(QStringLiteral("Label_Crank_turns_%1").arg(20 * r),
                           QStringLiteral("Crank turns %1:").arg(20 * r)),
                     1 + r, 0);
    g->addWidget(label(QStringLiteral("Label_startup_inj_puls"), QStringLiteral("Startup inj. puls:")), 6, 0);
    g->addWidget(label(QStringLiteral("Label_startup_inj_puls_eenheid"), QStringLiteral("ms")), 6, 13);
    g->setColumnMinimumWidth(0, 120);

    QVR_OK_CANCEL(Button_Ok_Startup, Button_Cancel_Startup, box);
    fillPanel(box, 10, {pulse, GroupBox_startup_enrichment}, Button_Ok_Startup, Button_Cancel_Startup);
}
