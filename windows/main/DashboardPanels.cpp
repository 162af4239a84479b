// The two dashboards of the main window, the fault-message panel and the power-interrupted panel.
// Only one dashboard is visible at a time (firmware below "3FA" the small one, else the large one);
// both sit at the same place under the toolbar.
#include "windows/main/MainWindow.h"
#include "windows/widgets/ControlFactory.h"

#include <QStyle>

namespace {

constexpr int DashboardX = 4;
constexpr int DashboardY = 34;
constexpr int DashboardWidth = 787;
constexpr int DashboardHeight = 92;
constexpr int ValueTop = 8;
constexpr int ValueHeight = 72;

struct ValuePanel {
    QLabel *panel = nullptr;
    QLabel *caption = nullptr;
    QLabel *value = nullptr;
    QLabel *unit = nullptr;
};

QFont scaledFont(const QFont &base, double pointSize, bool bold) {
    QFont font = base;
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// One value on the dashboard: caption on top, the value in large digits, the unit below.
ValuePanel makeValuePanel(QLabel *dashboard, const QString &panelName, int x, int width,
                          const QString &captionName, const QString &caption, const QString &valueName,
                          const QString &unitName, const QString &unit) {
    ValuePanel v;
    v.panel = MakePanel(dashboard, panelName, QRect(x, ValueTop, width, ValueHeight), Colors::Silver);
    v.panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Two-word captions wrap onto a second line in the narrow panels of the large dashboard.
    v.caption = MakeLabel(v.panel, captionName, caption, QRect(2, 2, width - 4, 24), Qt::AlignCenter);
    v.caption->setFont(scaledFont(dashboard->font(), 7.5, false));
    v.caption->setWordWrap(true);
    v.value = MakeLabel(v.panel, valueName, QString(), QRect(2, 25, width - 4, 26), Qt::AlignCenter);
    v.value->setFont(scaledFont(dashboard->font(), 14, true));
    if (!unitName.isEmpty()) {
        v.unit = MakeLabel(v.panel, unitName, unit, QRect(2, 52, width - 4, 16), Qt::AlignCenter);
        v.unit->setFont(scaledFont(dashboard->font(), 7.5, false));
    }
    return v;
}

QLabel *makeLamp(QWidget *parent, const QString &name, const QRect &geometry) {
    QLabel *lamp = MakePanel(parent, name, geometry, Colors::Black);
    lamp->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return lamp;
}

QLabel *makeOfflineHint(QLabel *dashboard, const QString &name) {
    QLabel *hint = MakeLabel(dashboard, name, QStringLiteral("Press F10 for online"),
                             QRect(0, DashboardHeight - 26, DashboardWidth, 18), Qt::AlignCenter);
    hint->setFont(scaledFont(dashboard->font(), 9, false));
    hint->setCursor(Qt::PointingHandCursor);
    return hint;
}

QLabel *makeDashboard(QWidget *parent, const QString &name) {
    QLabel *dashboard = MakePanel(
        parent, name, QRect(DashboardX, DashboardY, DashboardWidth, DashboardHeight), Colors::Silver);
    dashboard->setFont(scaledFont(parent->font(), 13, true));
    dashboard->setAlignment(Qt::AlignCenter);
    dashboard->setCursor(Qt::PointingHandCursor);
    return dashboard;
}

} // namespace

void TForm1::buildDashboards() {
    buildFirstDashboard();
    buildSecondDashboard();
}

void TForm1::buildFirstDashboard() {
    Panel_dashbord = makeDashboard(this, QStringLiteral("Panel_dashbord"));
    constexpr int width = 80;
    constexpr int step = 86;
    int x = 8;
    auto next = [&] {
        const int at = x;
        x += step;
        return at;
    };

    ValuePanel v =
        makeValuePanel(Panel_dashbord, "Panel_Enginespeed", next(), width, "Label_Enginespeed_text",
                       "Enginespeed", "Label_Enginespeed_waarde", "Label_Enginespeed_eenheid", "RPM");
    Panel_Enginespeed = v.panel;
    Label_Enginespeed_text = v.caption;
    Label_Enginespeed_waarde = v.value;
    Label_Enginespeed_eenheid = v.unit;

    v = makeValuePanel(Panel_dashbord, "Panel_injectiontime", next(), width, "Label_injectiontime_text",
                       "Injection-time", "Label_injectiontime_waarde", "Label_injectiontime_eenheid", "ms");
    Panel_injectiontime = v.panel;
    Label_injectiontime_text = v.caption;
    Label_injectiontime_waarde = v.value;
    Label_injectiontime_eenheid = v.unit;

    v = makeValuePanel(Panel_dashbord, "Panel_engineload", next(), width, "Label_engineload_text",
                       "Engine-load", "Label_engineload_waarde", QString(), QString());
    Panel_engineload = v.panel;
    Label_engineload_text = v.caption;
    Label_engineload_waarde = v.value;

    v = makeValuePanel(Panel_dashbord, "Panel_correction", next(), width, "Label_correction_text",
                       "Correction", "Label_correction_waarde", "Label_correction_eenheid", "%");
    Panel_correction = v.panel;
    Label_correction_text = v.caption;
    Label_correction_waarde = v.value;
    Label_correction_eenheid = v.unit;

    // Caption and unit follow the options' correction-table name and unit.
    v = makeValuePanel(Panel_dashbord, "Panel_correctionstep", next(), width, "Label_correctionstep_text",
                       "Water-temp", "Label_correctionstep_waarde", "Label_correctionstep_eenheid",
                       QStringLiteral("\u00B0C"));
    Panel_correctionstep = v.panel;
    Label_correctionstep_text = v.caption;
    Label_correctionstep_waarde = v.value;
    Label_correctionstep_eenheid = v.unit;

    v = makeValuePanel(Panel_dashbord, "Panel_inlettemp", next(), width, "Label_inlettemp_text",
                       "Inlet temp.", "Label_inlettemp_waarde", "Label_inlettemp_eenheid",
                       QStringLiteral("\u00B0C"));
    Panel_inlettemp = v.panel;
    Label_inlettemp_text = v.caption;
    Label_inlettemp_waarde = v.value;
    Label_inlettemp_eenheid = v.unit;

    v = makeValuePanel(Panel_dashbord, "Panel_battery", next(), width, "Label_battery_text", "Battery",
                       "Label_battery_waarde", "Label_battery_eenheid", "V");
    Panel_battery = v.panel;
    Label_battery_text = v.caption;
    Label_battery_waarde = v.value;
    Label_battery_eenheid = v.unit;

    v = makeValuePanel(Panel_dashbord, "Panel_potmeter", next(), width, "Label_potmeter_text", "Potmeter",
                       "Label_potmeter_waarde", "Label_potmeter_eenheid", "%");
    Panel_potmeter = v.panel;
    Label_potmeter_text = v.caption;
    Label_potmeter_waarde = v.value;
    Label_potmeter_eenheid = v.unit;

    const int lampX = next();
    Panel_Second_stage_led =
        makeLamp(Panel_dashbord, "Panel_Second_stage_led", QRect(lampX + 30, 16, 20, 20));
    Label_Second_stage_text = MakeLabel(Panel_dashbord, "Label_Second_stage_text", "Second\nStage",
                                        QRect(lampX, 40, width, 32), Qt::AlignCenter);
    Label_Second_stage_text->setFont(scaledFont(font(), 8, false));

    // Not used by this program version; kept hidden like the rest of the spare parts.
    Panel_spare1 = MakePanel(Panel_dashbord, "Panel_spare1", QRect(2, 2, 4, 4), Colors::Silver);
    Panel_spare2 = MakePanel(Panel_dashbord, "Panel_spare2", QRect(2, 2, 4, 4), Colors::Silver);
    Panel_spare1->hide();
    Panel_spare2->hide();

    Label_press_F10 = makeOfflineHint(Panel_dashbord, "Label_press_F10");
}

void TForm1::buildSecondDashboard() {
    Panel_dashbord2 = makeDashboard(this, QStringLiteral("Panel_dashbord2"));
    constexpr int width = 72;
    constexpr int step = 75;
    int x = 6;
    auto next = [&] {
        const int at = x;
        x += step;
        return at;
    };

    ValuePanel v =
        makeValuePanel(Panel_dashbord2, "Panel_Enginespeed3", next(), width, "Label_Enginespeed_text3",
                       "Enginespeed", "Label_Enginespeed_waarde3", "Label_Enginespeed_eenheid3", "RPM");
    Panel_Enginespeed3 = v.panel;
    Label_Enginespeed_text3 = v.caption;
    Label_Enginespeed_waarde3 = v.value;
    Label_Enginespeed_eenheid3 = v.unit;

    v = makeValuePanel(Panel_dashbord2, "Panel_injectiontime2", next(), width, "Label_injectiontime_text2",
                       "Inject. time", "Label_injectiontime_waarde2", "Label_injectiontime_eenheid2", "ms");
    Panel_injectiontime2 = v.panel;
    Label_injectiontime_text2 = v.caption;
    Label_injectiontime_waarde2 = v.value;
    Label_injectiontime_eenheid2 = v.unit;

    v = makeValuePanel(Panel_dashbord2, "Panel_engineload_tps2", next(), width, "Label_engineload_text2",
                       "Engine load TPS", "Label_engineload_waarde2", QString(), QString());
    Panel_engineload_tps2 = v.panel;
    Label_engineload_text2 = v.caption;
    Label_engineload_waarde2 = v.value;

    v = makeValuePanel(Panel_dashbord2, "Panel_engineload_map2", next(), width, "Label_engineload2_text2",
                       "Engine load MAP", "Label_engineload2_waarde2", QString(), QString());
    Panel_engineload_map2 = v.panel;
    Label_engineload2_text2 = v.caption;
    Label_engineload2_waarde2 = v.value;

    v = makeValuePanel(Panel_dashbord2, "Panel_watertemp2", next(), width, "Label_correctionstep_text2",
                       "Watertemp.", "Label_correctionstep_waarde2", "Label_correctionstep_eenheid2",
                       QStringLiteral("\u00B0C"));
    Panel_watertemp2 = v.panel;
    Label_correctionstep_text2 = v.caption;
    Label_correctionstep_waarde2 = v.value;
    Label_correctionstep_eenheid2 = v.unit;

    v = makeValuePanel(Panel_dashbord2, "Panel_airtemp2", next(), width, "Label_inlettemp_text2", "Air temp.",
                       "Label_inlettemp_waarde2", "Label_inlettemp_eenheid2", QStringLiteral("\u00B0C"));
    Panel_airtemp2 = v.panel;
    Label_inlettemp_text2 = v.caption;
    Label_inlettemp_waarde2 = v.value;
    Label_inlettemp_eenheid2 = v.unit;

    v = makeValuePanel(Panel_dashbord2, "Panel_battery2", next(), width, "Label_Battery_Voltage_text2",
                       "Battery voltage", "Label_Battery_Voltage_waarde2", "Label_Battery_Voltage_eenheid2",
                       "V");
    Panel_battery2 = v.panel;
    Label_Battery_Voltage_text2 = v.caption;
    Label_Battery_Voltage_waarde2 = v.value;
    Label_Battery_Voltage_eenheid2 = v.unit;

    v = makeValuePanel(Panel_dashbord2, "Panel_correction_fuel2", next(), width,
                       "Label_correction_text_fuel2", "Corr. fuel", "Label_correction_waarde_fuel2",
                       "Label_correction_eenheid_fuel2", "%");
    Panel_correction_fuel2 = v.panel;
    Label_correction_text_fuel2 = v.caption;
    Label_correction_waarde_fuel2 = v.value;
    Label_correction_eenheid_fuel2 = v.unit;

    v = makeValuePanel(Panel_dashbord2, "Panel_boostpressure2", next(), width, "Label_boostpressure_txt2",
                       "Boost pressure", "Label_boostpressure_waarde2", "Label_boostpressure_eenheid2",
                       "kpa");
    Panel_boostpressure2 = v.panel;
    Label_boostpressure_txt2 = v.caption;
    Label_boostpressure_waarde2 = v.value;
    Label_boostpressure_eenheid2 = v.unit;

    // Four lamps in one column beside the values, each with its text on the right.
    const int lampsX = next() + 2;
    const QFont lampFont = scaledFont(font(), 7.5, false);
    auto lamp = [&](int row, const QString &name, const QString &textName, const QString &text,
                    QLabel *&lampOut, QLabel *&textOut) {
        const int y = ValueTop + 2 + row * 17;
        lampOut = makeLamp(Panel_dashbord2, name, QRect(lampsX, y + 2, 12, 11));
        textOut = MakeLabel(Panel_dashbord2, textName, text,
                            QRect(lampsX + 16, y, DashboardWidth - lampsX - 18, 15));
        textOut->setFont(lampFont);
    };
    lamp(0, "Panel_Launch_led2", "Label_Launch_text2", "Launch", Panel_Launch_led2, Label_Launch_text2);
    lamp(1, "Panel_Second_stage_led2", "Label_Second_stage_text2", "AUX1", Panel_Second_stage_led2,
         Label_Second_stage_text2);
    lamp(2, "Panel_Boost_led2", "Label_Boost_text2", "Boost ctrl. active", Panel_Boost_led2,
         Label_Boost_text2);
    lamp(3, "Panel_Fuel_pump_led2", "Label_Fuel_pump_text2", "Fuel pump", Panel_Fuel_pump_led2,
         Label_Fuel_pump_text2);

    Label_press_F10_2 = makeOfflineHint(Panel_dashbord2, "Label_press_F10_2");
}

void TForm1::buildWarningPanel() {
    Panel_Warning_message = MakePanel(this, QStringLiteral("Panel_Warning_message"),
                                      QRect(357, 450, 430, 184), QColor(255, 255, 225));
    Panel_Warning_message->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Panel_Warning_message->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel_Warning_message->setLineWidth(2);

    static const char *const captions[16] = {
        "Injector out shortcut to ground",
        "AUX1 shortcut to ground",
        "Fuelpump shortcut to ground",
        "4................",
        "5................",
        "6................",
        "Under voltage",
        "Over voltage",
        "Injector out shortcut to +12V",
        "AUX1 shortcut to +12V",
        "Fuelpump shortcut to +12V",
        "12...............",
        "13...............",
        "14...............",
        "15...............",
        "16...............",
    };
    QLabel **members[16] = {&Label_warning_massage1,  &Label_warning_massage2,  &Label_warning_massage3,
                            &Label_warning_massage4,  &Label_warning_massage5,  &Label_warning_massage6,
                            &Label_warning_massage7,  &Label_warning_massage8,  &Label_warning_massage9,
                            &Label_warning_massage10, &Label_warning_massage11, &Label_warning_massage12,
                            &Label_warning_massage13, &Label_warning_massage14, &Label_warning_massage15,
                            &Label_warning_massage16};
    QFont labelFont = font();
    labelFont.setPointSizeF(7.5);
    labelFont.setBold(true);
    for (int i = 0; i < 16; ++i) {
        const int column = i / 8;
        const int row = i % 8;
        QLabel *label =
            MakeLabel(Panel_Warning_message, QStringLiteral("Label_warning_massage%1").arg(i + 1),
                      QString::fromLatin1(captions[i]), QRect(8 + column * 208, 6 + row * 17, 206, 16));
        label->setFont(labelFont);
        SetTextColor(label, Colors::Red);
        label->hide();
        *members[i] = label;
    }
    Button_clear_message = new QPushButton(QStringLiteral("Clear message"), Panel_Warning_message);
    Button_clear_message->setObjectName(QStringLiteral("Button_clear_message"));
    Button_clear_message->setGeometry(322, 150, 100, 26);
    connect(Button_clear_message, &QPushButton::clicked, this, &TForm1::Button_clear_messageClick);
    Panel_Warning_message->hide();
}

void TForm1::buildPowerPanel() {
    Panel_power_to_system_was_interrupted =
        MakePanel(this, QStringLiteral("Panel_power_to_system_was_interrupted"), QRect(236, 200, 324, 170),
                  Colors::Silver);
    Panel_power_to_system_was_interrupted->setLineWidth(2);
    QLabel *panel = Panel_power_to_system_was_interrupted;
    QFont big = font();
    big.setPointSizeF(11);
    big.setBold(true);
    QLabel *line1 = MakeLabel(panel, "Label_power_interrupted_1", "Power to the System", QRect(4, 8, 316, 20),
                              Qt::AlignCenter);
    QLabel *line2 = MakeLabel(panel, "Label_power_interrupted_2", "was interruped !!!", QRect(4, 28, 316, 20),
                              Qt::AlignCenter);
    QLabel *line3 =
        MakeLabel(panel, "Label_power_interrupted_3", "(see manual)", QRect(4, 50, 316, 18), Qt::AlignCenter);
    line1->setFont(big);
    line2->setFont(big);
    SetTextColor(line1, Colors::Red);
    SetTextColor(line2, Colors::Red);

    MakeLabel(panel, "Label_power_upload", "Up-load :", QRect(40, 84, 90, 30));
    MakeLabel(panel, "Label_power_download", "Down-load :", QRect(40, 124, 90, 30));
    auto button = [&](const QString &name, QStyle::StandardPixmap icon, int y) {
        auto *b = new QToolButton(panel);
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        b->setGeometry(150, y, 60, 30);
        return b;
    };
    SpeedButton1 = button(QStringLiteral("SpeedButton1"), QStyle::SP_ArrowLeft, 84);
    SpeedButton2 = button(QStringLiteral("SpeedButton2"), QStyle::SP_ArrowRight, 124);
    SpeedButton1->setToolTip(QStringLiteral("Up-load"));
    SpeedButton2->setToolTip(QStringLiteral("Down-load"));
    panel->hide();
}

QLabel *TForm1::WarningLabel(int number) const {
    const std::array<QLabel *, 16> labels = {
        Label_warning_massage1,  Label_warning_massage2,  Label_warning_massage3,  Label_warning_massage4,
        Label_warning_massage5,  Label_warning_massage6,  Label_warning_massage7,  Label_warning_massage8,
        Label_warning_massage9,  Label_warning_massage10, Label_warning_massage11, Label_warning_massage12,
        Label_warning_massage13, Label_warning_massage14, Label_warning_massage15, Label_warning_massage16};
    if (number < 1 || number > 16)
        return nullptr;
    return labels[number - 1];
}

void TForm1::Button_clear_messageClick() {
    for (int n = 1; n <= 16; ++n)
        WarningLabel(n)->hide();
    Panel_Warning_message->hide();
}
