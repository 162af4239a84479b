// The two dashboards of the main window, the fault-message panel and the power-interrupted panel.
// Only one dashboard is visible at a time (firmware below "3FA" the small one, else the large one);
// both sit at the same place under the toolbar.
#include "windows/main/MainWindow.h"
#include "windows/widgets/ControlFactory.h"

#include <QStyle>

#include <span>

namespace {

constexpr int DashboardX = 4;
constexpr int DashboardY = 34;
constexpr int DashboardWidth = 787;
constexpr int DashboardHeight = 92;
constexpr int ValueTop = 8;
constexpr int ValueHeight = 72;

QFont scaledFont(const QFont &base, double pointSize, bool bold) {
    QFont font = base;
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// A control of the main window and the member that keeps it: the objectName is the member's own name.
struct NamedLabel {
    QLabel *TForm1::*member = nullptr;
    const char *name = nullptr;
};
#define QVR_MEMBER(m) (NamedLabel{&TForm1::m, #m})

// One value on the dashboard: caption on top, the value in large digits, the unit below (where it has one).
struct ValueField {
    NamedLabel panel, caption, value, unit;
    const char *captionText;
    const char *unitText;
};

// A value panel's four labels; the unit is left out where a value has none.
#define QVR_VALUE(panel, caption, value, unit, captionText, unitText)                                        \
    (ValueField{QVR_MEMBER(panel), QVR_MEMBER(caption), QVR_MEMBER(value), QVR_MEMBER(unit), captionText,    \
                unitText})
#define QVR_VALUE_NO_UNIT(panel, caption, value, captionText)                                                \
    (ValueField{QVR_MEMBER(panel), QVR_MEMBER(caption), QVR_MEMBER(value), {}, captionText, nullptr})

void makeValuePanel(TForm1 *form, QLabel *dashboard, const ValueField &field, int x, int width) {
    QLabel *panel =
        MakePanel(dashboard, field.panel.name, QRect(x, ValueTop, width, ValueHeight), Colors::Silver);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    form->*field.panel.member = panel;
    // Two-word captions wrap onto a second line in the narrow panels of the large dashboard.
    QLabel *caption = MakeLabel(panel, field.caption.name, QString::fromUtf8(field.captionText),
                                QRect(2, 2, width - 4, 24), Qt::AlignCenter);
    caption->setFont(scaledFont(dashboard->font(), 7.5, false));
    caption->setWordWrap(true);
    form->*field.caption.member = caption;
    QLabel *value =
        MakeLabel(panel, field.value.name, QString(), QRect(2, 25, width - 4, 26), Qt::AlignCenter);
    value->setFont(scaledFont(dashboard->font(), 14, true));
    form->*field.value.member = value;
    if (field.unit.member) {
        QLabel *unit = MakeLabel(panel, field.unit.name, QString::fromUtf8(field.unitText),
                                 QRect(2, 52, width - 4, 16), Qt::AlignCenter);
        unit->setFont(scaledFont(dashboard->font(), 7.5, false));
        form->*field.unit.member = unit;
    }
}

// The value panels of a dashboard, left to right, the first at firstX and each next one step further.
int makeValuePanels(TForm1 *form, QLabel *dashboard, std::span<const ValueField> fields, int firstX,
                    int width, int step) {
    int x = firstX;
    for (const ValueField &field : fields) {
        makeValuePanel(form, dashboard, field, x, width);
        x += step;
    }
    return x;
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
    constexpr int width = 80;
    // Caption and unit of "Panel_correctionstep" follow the options' correction-table name and unit.
    static const ValueField fields[] = {
        QVR_VALUE(Panel_Enginespeed, Label_Enginespeed_text, Label_Enginespeed_waarde,
                  Label_Enginespeed_eenheid, "Enginespeed", "RPM"),
        QVR_VALUE(Panel_injectiontime, Label_injectiontime_text, Label_injectiontime_waarde,
                  Label_injectiontime_eenheid, "Injection-time", "ms"),
        QVR_VALUE_NO_UNIT(Panel_engineload, Label_engineload_text, Label_engineload_waarde, "Engine-load"),
        QVR_VALUE(Panel_correction, Label_correction_text, Label_correction_waarde, Label_correction_eenheid,
                  "Correction", "%"),
        QVR_VALUE(Panel_correctionstep, Label_correctionstep_text, Label_correctionstep_waarde,
                  Label_correctionstep_eenheid, "Water-temp", "\u00B0C"),
        QVR_VALUE(Panel_inlettemp, Label_inlettemp_text, Label_inlettemp_waarde, Label_inlettemp_eenheid,
                  "Inlet temp.", "\u00B0C"),
        QVR_VALUE(Panel_battery, Label_battery_text, Label_battery_waarde, Label_battery_eenheid, "Battery",
                  "V"),
        QVR_VALUE(Panel_potmeter, Label_potmeter_text, Label_potmeter_waarde, Label_potmeter_eenheid,
                  "Potmeter", "%"),
    };
    QVR_PLACE(Panel_dashbord, makeDashboard, this);
    const int lampX = makeValuePanels(this, Panel_dashbord, fields, 8, width, 86);

    QVR_PLACE(Panel_Second_stage_led, makeLamp, Panel_dashbord, QRect(lampX + 30, 16, 20, 20));
    QVR_PLACE(Label_Second_stage_text, MakeLabel, Panel_dashbord, "Second\nStage",
              QRect(lampX, 40, width, 32), Qt::AlignCenter);
    Label_Second_stage_text->setFont(scaledFont(font(), 8, false));

    // Not used by this program version; kept hidden like the rest of the spare parts.
    QVR_PLACE(Panel_spare1, MakePanel, Panel_dashbord, QRect(2, 2, 4, 4), Colors::Silver);
    QVR_PLACE(Panel_spare2, MakePanel, Panel_dashbord, QRect(2, 2, 4, 4), Colors::Silver);
    Panel_spare1->hide();
    Panel_spare2->hide();

    QVR_PLACE(Label_press_F10, makeOfflineHint, Panel_dashbord);
}

void TForm1::buildSecondDashboard() {
    static const ValueField fields[] = {
        QVR_VALUE(Panel_Enginespeed3, Label_Enginespeed_text3, Label_Enginespeed_waarde3,
                  Label_Enginespeed_eenheid3, "Enginespeed", "RPM"),
        QVR_VALUE(Panel_injectiontime2, Label_injectiontime_text2, Label_injectiontime_waarde2,
                  Label_injectiontime_eenheid2, "Inject. time", "ms"),
        QVR_VALUE_NO_UNIT(Panel_engineload_tps2, Label_engineload_text2, Label_engineload_waarde2,
                          "Engine load TPS"),
        QVR_VALUE_NO_UNIT(Panel_engineload_map2, Label_engineload2_text2, Label_engineload2_waarde2,
                          "Engine load MAP"),
        QVR_VALUE(Panel_watertemp2, Label_correctionstep_text2, Label_correctionstep_waarde2,
                  Label_correctionstep_eenheid2, "Watertemp.", "\u00B0C"),
        QVR_VALUE(Panel_airtemp2, Label_inlettemp_text2, Label_inlettemp_waarde2, Label_inlettemp_eenheid2,
                  "Air temp.", "\u00B0C"),
        QVR_VALUE(Panel_battery2, Label_Battery_Voltage_text2, Label_Battery_Voltage_waarde2,
                  Label_Battery_Voltage_eenheid2, "Battery voltage", "V"),
        QVR_VALUE(Panel_correction_fuel2, Label_correction_text_fuel2, Label_correction_waarde_fuel2,
                  Label_correction_eenheid_fuel2, "Corr. fuel", "%"),
        QVR_VALUE(Panel_boostpressure2, Label_boostpressure_txt2, Label_boostpressure_waarde2,
                  Label_boostpressure_eenheid2, "Boost pressure", "kpa"),
    };
    // Four lamps in one column beside the values, each with its text on the right.
    struct Lamp {
        NamedLabel lamp, text;
        const char *caption;
    };
    static const Lamp lamps[] = {
        {QVR_MEMBER(Panel_Launch_led2), QVR_MEMBER(Label_Launch_text2), "Launch"},
        {QVR_MEMBER(Panel_Second_stage_led2), QVR_MEMBER(Label_Second_stage_text2), "AUX1"},
        {QVR_MEMBER(Panel_Boost_led2), QVR_MEMBER(Label_Boost_text2), "Boost ctrl. active"},
        {QVR_MEMBER(Panel_Fuel_pump_led2), QVR_MEMBER(Label_Fuel_pump_text2), "Fuel pump"},
    };
    QVR_PLACE(Panel_dashbord2, makeDashboard, this);
    const int lampsX = makeValuePanels(this, Panel_dashbord2, fields, 6, 72, 75) + 2;
    const QFont lampFont = scaledFont(font(), 7.5, false);
    int y = ValueTop + 2;
    for (const Lamp &lamp : lamps) {
        this->*lamp.lamp.member = makeLamp(Panel_dashbord2, lamp.lamp.name, QRect(lampsX, y + 2, 12, 11));
        QLabel *text = MakeLabel(Panel_dashbord2, lamp.text.name, lamp.caption,
                                 QRect(lampsX + 16, y, DashboardWidth - lampsX - 18, 15));
        text->setFont(lampFont);
        this->*lamp.text.member = text;
        y += 17;
    }

    QVR_PLACE(Label_press_F10_2, makeOfflineHint, Panel_dashbord2);
}

void TForm1::buildWarningPanel() {
    QVR_PLACE(Panel_Warning_message, MakePanel, this, QRect(357, 450, 430, 184), QColor(255, 255, 225));
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
    QVR_PLACE(Panel_power_to_system_was_interrupted, MakePanel, this, QRect(236, 200, 324, 170),
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
