// Engine-load sensor sub-panel: what the ECU takes as engine load, both sensors' end points, the MAP
// calibration, input 2 as air-pressure sensor and the boost enrichment factor.
#include "app/AppContext.h"
#include "core/FirmwareVersion.h"
#include "core/ResponseCurves.h"
#include "rules/OptionOperations.h"
#include "windows/options/OptionsWidgets.h"
#include "windows/options/OptionsWindow.h"
#include "windows/options/OtherWindows.h"

#include <QGridLayout>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

using namespace OptionsWidgets;

namespace {

// A 50 x 50 picture of one response curve: sensor position across, map column up.
QIcon curveIcon(const ResponseCurves &curves, int curve) {
    QPixmap pixmap(50, 50);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    p.drawRect(0, 0, 49, 49);
    QPainterPath path;
    for (int k = 1; k <= 160; ++k) {
        const QPointF point(3 + (k - 1) * 44.0 / 159, 47 - curves.entry(curve, k) * 44.0 / 15.9);
        if (k == 1)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    p.setPen(QPen(QColor(0, 0, 0x80), 2));
    p.drawPath(path);
    return QIcon(pixmap);
}

} // namespace

void TForm3::buildEngineLoadGroup() {
    QVR_MAKE(GroupBox_engine_load_sensor, group, QStringLiteral("Engine-load sensor"), this);
    QGroupBox *box = GroupBox_engine_load_sensor;

    QVR_MAKE(ComboBox_Engine_load_sensor_type, list,
             {QStringLiteral("Throttle position sensor"), QStringLiteral("Internal pressure sensor (Turbo)")},
             false, box);
    ComboBox_Engine_load_sensor_type->hide(); // older firmware only
    QVR_MAKE(Label_main_load_is, label, QStringLiteral("Main load is:"), box);
    ComboBox_Engineloadsensor_Throttle_or_Map = list(
        QStringLiteral("ComboBox_Engineloadsensor_Throttle_or_Map"),
        {QStringLiteral("Engine load 1 (Throttle Position Sensor)"), QStringLiteral("Engine load 2 (MAP)"),
         QStringLiteral("Engine load 1 (TPS) + Engine Load 2 as Boost correction table"),
         QStringLiteral("Engine load 1 (TPS) + Engine Load 2 as Boost correction factor")},
        true, box);
    ComboBox_Engineloadsensor_Throttle_or_Map->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    // Engine-load 1
    QVR_MAKE(GroupBox_Engineload, group, QStringLiteral("Engine-load 1 (TPS)"), box);
    QVR_MAKE(Label_Respons_type, label, QStringLiteral("Response Type:"));
    QVR_MAKE(ImagePicker_Respons_type, list,
             {QStringLiteral("Lineaire"), QStringLiteral("Logaritmic"), QStringLiteral("E-log")});
    {
        const ResponseCurves curves;
        for (int i = 0; i < 3; ++i)
            ImagePicker_Respons_type->setItemIcon(i, curveIcon(curves, i));
        ImagePicker_Respons_type->setIconSize(QSize(50, 50));
    }
    QVR_MAKE(Label_min_engineload, label, QStringLiteral("Min. value Engine-load:"));
    QVR_MAKE(SpinEdit_min_engineload, spin, 0, 255, 1, 0);
    QVR_MAKE(Label_max_engineload, label, QStringLiteral("Max. value Engine-load:"));
    QVR_MAKE(SpinEdit_max_engineload, spin, 0, 255, 1, 255);
    QVR_MAKE(Button_automatic_cal, button, QStringLiteral("&Automatic cal."));
    {
        auto *g = innerGrid(GroupBox_Engineload, 8);
        addRows(g, {{Label_Respons_type, ImagePicker_Respons_type},
                    {Label_min_engineload, SpinEdit_min_engineload},
                    {Label_max_engineload, SpinEdit_max_engineload}});
        g->addWidget(Button_automatic_cal, 3, 0, 1, 2, Qt::AlignLeft);
        g->setRowStretch(4, 1);
        g->setColumnStretch(2, 1);
    }

    // Engine-load 2, used as MAP sensor or as air-pressure sensor
    QVR_MAKE(GroupBox_Engineload2, group, QStringLiteral("Engine-load 2 (MAP)"), box);
    QVR_NAMED(RadioButton_Engine_load_MAP, new QRadioButton(QStringLiteral("MAP")));
    QVR_NAMED(RadioButton_Engine_load_Air_pressure, new QRadioButton(QStringLiteral("Air pressure")));
    RadioButton_Engine_load_MAP->setChecked(true);
    QVR_MAKE(Label_min_engineload2, label, QStringLiteral("Min.  value Engine load 2:"));
    QVR_MAKE(SpinEdit_min_engineload2, spin, 0, 255, 1, 0);
    QVR_MAKE(Label_max_engineload2, label, QStringLiteral("Max. value Engine load 2:"));
    QVR_MAKE(SpinEdit_max_engineload2, spin, 0, 255, 1, 255);
    QVR_MAKE(Button_automatic_cal2, button, QStringLiteral("&Automatic cal."));
    for (QPushButton *b : {Button_automatic_cal, Button_automatic_cal2})
        b->setMinimumWidth(120);

    QVR_MAKE(GroupBox_Pressure_at_MAP_output, group, QStringLiteral("Boost value calibration"));
    const QString kpaHint = QStringLiteral("0 - 9999 kpa");
    QVR_MAKE(Label_Pressure_at_MAP_output_125V, label, QStringLiteral("Pressure at MAP output 1,25V:"));
    QVR_MAKE(SpinEdit_Pressure_at_MAP_output_125V, spin, 0, 9999, 1, 0, kpaHint);
    QVR_MAKE(Label_Pressure_at_MAP_output_125V_eenheid, label, QStringLiteral("kpa"));
    QVR_MAKE(Label_Pressure_at_MAP_output_375V, label, QStringLiteral("Pressure at MAP output 3,75V:"));
    QVR_MAKE(SpinEdit_Pressure_at_MAP_output_375V, spin, 0, 9999, 1, 0, kpaHint);
    QVR_MAKE(Label_Pressure_at_MAP_output_375V_eenheid, label, QStringLiteral("kpa"));
    {
        auto *g = innerGrid(GroupBox_Pressure_at_MAP_output);
        addRows(g, {{Label_Pressure_at_MAP_output_125V, SpinEdit_Pressure_at_MAP_output_125V,
                     Label_Pressure_at_MAP_output_125V_eenheid},
                    {Label_Pressure_at_MAP_output_375V, SpinEdit_Pressure_at_MAP_output_375V,
                     Label_Pressure_at_MAP_output_375V_eenheid}});
        g->setColumnStretch(3, 1);
    }

    QVR_MAKE(GroupBox_Air_pressure_sensor, group, QStringLiteral("Air pressure sensor"));
    QVR_MAKE(Label_Air_pressure_sensor_adjustment, label, QStringLiteral("Sensor adjustment:"));
    QVR_MAKE(AdvSpinEdit_Air_pressure_sensor_adjustment, decimalSpin, -20.0, 20.0, 0.1, 1, 0.0,
             QStringLiteral("-20...20%"));
    QVR_MAKE(Label_Air_pressure_sensor_adjustment_eenheid, label, QStringLiteral("%"));
    {
        auto *g = innerGrid(GroupBox_Air_pressure_sensor);
        g->addWidget(Label_Air_pressure_sensor_adjustment, 0, 0);
        g->addWidget(AdvSpinEdit_Air_pressure_sensor_adjustment, 0, 1);
        g->addWidget(Label_Air_pressure_sensor_adjustment_eenheid, 0, 2);
        g->setColumnStretch(3, 1);
    }
    GroupBox_Air_pressure_sensor->hide();

    {
        auto *g = innerGrid(GroupBox_Engineload2, 8);
        auto *radios = new QHBoxLayout;
        radios->addWidget(RadioButton_Engine_load_MAP);
        radios->addWidget(RadioButton_Engine_load_Air_pressure);
        radios->addStretch(1);
        g->addLayout(radios, 0, 0, 1, 3);
        addRows(g,
                {{Label_min_engineload2, SpinEdit_min_engineload2},
                 {Label_max_engineload2, SpinEdit_max_engineload2}},
                1);
        g->addWidget(Button_automatic_cal2, 3, 0, 1, 2, Qt::AlignLeft);
        g->addWidget(GroupBox_Pressure_at_MAP_output, 4, 0, 1, 3);
        g->addWidget(GroupBox_Air_pressure_sensor, 5, 0, 1, 3);
        g->setRowStretch(6, 1);
        g->setColumnStretch(2, 1);
    }

    QVR_MAKE(GroupBox_Boost_correction_factor, group, QStringLiteral("Boost enrichment correction factor"),
             box);
    QVR_MAKE(AdvSpinEdit_Boost_correction_factor, decimalSpin, 1.00, 1.99, 0.01, 2, 1.00,
             QStringLiteral("(1,00...1,99)"));
    QVR_MAKE(Label_Boost_correction_factor_note, label,
             QStringLiteral("(under 100kpa factor fixed at 1,00)"));
    {
        auto *h = new QHBoxLayout(GroupBox_Boost_correction_factor);
        h->setContentsMargins(10, 14, 10, 10);
        h->addWidget(AdvSpinEdit_Boost_correction_factor);
        h->addWidget(Label_Boost_correction_factor_note);
        h->addStretch(1);
    }
    // Only the factor choice (main-load item 3) uses it.
    AdvSpinEdit_Boost_correction_factor->setEnabled(false);
    Label_Boost_correction_factor_note->setEnabled(false);

    QVR_OK_CANCEL(Button_Ok_Engine_load_sensor, Button_Cancel_Engine_load_sensor, box);

    auto *mainLoad = new QHBoxLayout;
    mainLoad->addWidget(ComboBox_Engine_load_sensor_type);
    mainLoad->addWidget(Label_main_load_is);
    mainLoad->addWidget(ComboBox_Engineloadsensor_Throttle_or_Map);
    mainLoad->addStretch(1);
    auto *sensors = new QHBoxLayout;
    sensors->setSpacing(10);
    sensors->addWidget(GroupBox_Engineload, 1);
    sensors->addWidget(GroupBox_Engineload2, 1);
    fillPanel(box, 10, {mainLoad, sensors, GroupBox_Boost_correction_factor}, Button_Ok_Engine_load_sensor,
              Button_Cancel_Engine_load_sensor);

    // Calibration prompt, laid over the sensor groups while a calibration runs (at top 66 or 170).
    QVR_MAKE(GroupBox_set_engineloadsensor_to_minmax, group, QStringLiteral("Min Value Engine load 1"), box);
    GroupBox_set_engineloadsensor_to_minmax->setAutoFillBackground(true);
    QVR_MAKE(Label_regel1_set_engineloadsensor_to_minmax, label, QStringLiteral("Set Engine load 1 sensor"));
    QVR_MAKE(Label_regel2_set_engineloadsensor_to_minmax, label, QStringLiteral("to minimal "));
    QVR_MAKE(Button_Ok_set_engineloadsensor_to_minmax, button, QStringLiteral("&Ok"));
    QVR_MAKE(Button_cancel_set_engineloadsensor_to_minmax, button, QStringLiteral("&Cancel"));
    {
        auto *p = new QVBoxLayout(GroupBox_set_engineloadsensor_to_minmax);
        p->setContentsMargins(14, 18, 14, 12);
        p->setSpacing(6);
        QFont big = Label_regel1_set_engineloadsensor_to_minmax->font();
        big.setPointSizeF(big.pointSizeF() * 1.2);
        big.setBold(true);
        Label_regel1_set_engineloadsensor_to_minmax->setFont(big);
        Label_regel2_set_engineloadsensor_to_minmax->setFont(big);
        p->addWidget(Label_regel1_set_engineloadsensor_to_minmax);
        p->addWidget(Label_regel2_set_engineloadsensor_to_minmax);
        p->addSpacing(6);
        p->addLayout(okCancelRow(Button_Ok_set_engineloadsensor_to_minmax,
                                 Button_cancel_set_engineloadsensor_to_minmax));
    }
    QPalette yellow = GroupBox_set_engineloadsensor_to_minmax->palette();
    yellow.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0x00));
    GroupBox_set_engineloadsensor_to_minmax->setPalette(yellow);
    GroupBox_set_engineloadsensor_to_minmax->resize(
        GroupBox_set_engineloadsensor_to_minmax->sizeHint().expandedTo(QSize(300, 0)));
    GroupBox_set_engineloadsensor_to_minmax->move(20, 66);
    GroupBox_set_engineloadsensor_to_minmax->hide();
}

int TForm3::PackLoadModeFlags() const {
    return LoadModeFlagsFor(currentVersion(), CheckBox_Battery_correction_on_off->isChecked(),
                            CheckBox_inlet_temp_correction_on_off->isChecked(),
                            ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex(),
                            ComboBox_Engine_load_sensor_type->currentIndex());
}

void TForm3::UnpackLoadModeFlags(int v) {
    const LoadModeChoice choice = DecodeLoadModeFlags(currentVersion(), v);
    if (choice.mainLoadIndex)
        ComboBox_Engineloadsensor_Throttle_or_Map->setCurrentIndex(*choice.mainLoadIndex);
    if (choice.sensorTypeIndex)
        ComboBox_Engine_load_sensor_type->setCurrentIndex(*choice.sensorTypeIndex);
    CheckBox_inlet_temp_correction_on_off->setChecked(choice.inletCorrection);
    CheckBox_Battery_correction_on_off->setChecked(choice.batteryCorrection);
}

void TForm3::SetAirPressureMode(bool on) {
    RadioButton_Engine_load_MAP->setChecked(!on);
    RadioButton_Engine_load_Air_pressure->setChecked(on);

    GroupBox_Pressure_at_MAP_output->setEnabled(!on);
    GroupBox_Pressure_at_MAP_output->setVisible(!on);
    for (QWidget *w : std::initializer_list<QWidget *>{
             Label_min_engineload2, SpinEdit_min_engineload2, Label_max_engineload2, SpinEdit_max_engineload2,
             Button_automatic_cal2, Label_Pressure_at_MAP_output_125V, SpinEdit_Pressure_at_MAP_output_125V,
             Label_Pressure_at_MAP_output_125V_eenheid, Label_Pressure_at_MAP_output_375V,
             SpinEdit_Pressure_at_MAP_output_375V, Label_Pressure_at_MAP_output_375V_eenheid})
        w->setEnabled(!on);

    GroupBox_Air_pressure_sensor->setVisible(on);
    GroupBox_Air_pressure_sensor->setEnabled(on);
    for (QWidget *w : std::initializer_list<QWidget *>{Label_Air_pressure_sensor_adjustment,
                                                       AdvSpinEdit_Air_pressure_sensor_adjustment,
                                                       Label_Air_pressure_sensor_adjustment_eenheid})
        w->setEnabled(on);

    SetDashboardInput2(ctx_, on);
}
