#include "live/LiveDisplay.h"

#include "app/AppContext.h"
#include "core/FirmwareVersion.h"
#include "link/Link.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"
#include "windows/widgets/ControlFactory.h"

namespace {

// Palette changes restyle the widget; a live frame mostly repeats the last colours.
void PaintPanel(QWidget *widget, const QColor &color) {
    if (widget && (PanelColor(widget) != color || !widget->autoFillBackground()))
        SetPanelColor(widget, color);
}

void PaintText(QWidget *widget, const QColor &color) {
    if (widget && TextColor(widget) != color)
        SetTextColor(widget, color);
}

void Lamp(QWidget *lamp, bool on) {
    PaintPanel(lamp, on ? Colors::Lime : Colors::Black);
}

} // namespace

LiveDisplay::LiveDisplay(AppContext &ctx) : ctx_(ctx), tracker_(ctx) {
    if (ctx_.link)
        connect(ctx_.link, &Link::liveFrameReceived, this, &LiveDisplay::onLiveData);
}

void LiveDisplay::onLiveData(const QByteArray &frame) {
    if (frame.size() >= 56 && frame.at(0) == 'd')
        DecodeLongLiveData(frame);
    else if (frame.size() >= 32 && frame.at(0) == 'D')
        DecodeShortLiveData(frame);
}

LiveDecodeSettings LiveDisplay::CurrentSettings() const {
    LiveDecodeSettings s;
    const TForm3 *options = ctx_.form3;
    if (!options)
        return s;
    s.sensor1Min = options->SpinEdit_min_engineload->value();
    s.sensor1Max = options->SpinEdit_max_engineload->value();
    s.sensor2Min = options->SpinEdit_min_engineload2->value();
    s.sensor2Max = options->SpinEdit_max_engineload2->value();
    s.responseType = options->ImagePicker_Respons_type->currentIndex();
    s.correctionMin = options->AdvSpinEdit_Min_Correction_table->value();
    s.correctionMax = options->AdvSpinEdit_Max_Correction_table->value();
    return s;
}

void LiveDisplay::UngreyValues(QLabel *engineSpeed) {
    if (!engineSpeed->isEnabled())
        ctx_.form1->EnableValueLabels(true);
}

void LiveDisplay::ShowInjectionLimit(QLabel *panel, QLabel *value, int rpm, double injectionMs) {
    const int strokeMode = ctx_.form3 ? ctx_.form3->ComboBox_inj_stroke_mode->currentIndex() : 0;
    double limit = 0;
    if (!InjectionTimeLimit(rpm, strokeMode, &limit))
        return;
    const bool over = injectionMs > limit;
    PaintPanel(panel, over ? Colors::Red : Colors::Silver);
    PaintText(value, over ? Colors::Red : Colors::Black);
}

void LiveDisplay::DecodeShortLiveData(const QByteArray &frame) {
    TForm1 *w = ctx_.form1;
    if (!w || frame.size() < 32)
        return;
    const LiveValues v = DecodeShortLiveFrame(frame, CurrentSettings(), curves_);
    UngreyValues(w->Label_Enginespeed_waarde);
    w->Label_Enginespeed_waarde->setText(v.engineSpeedText);
    w->Label_injectiontime_waarde->setText(v.injectionTimeText);
    ShowInjectionLimit(w->Panel_injectiontime, w->Label_injectiontime_waarde, v.engineSpeed, v.injectionTime);
    w->Label_engineload_waarde->setText(v.engineLoadText);
    w->Label_correction_waarde->setText(v.correctionText);
    w->Label_correctionstep_waarde->setText(v.correctionStepText);
    w->Label_inlettemp_waarde->setText(v.inletTempText);
    w->Label_battery_waarde->setText(v.batteryText);
    w->Label_potmeter_waarde->setText(v.potentiometerText);
    ShowStatus(v);
    AfterDecoding(v);
}

void LiveDisplay::DecodeLongLiveData(const QByteArray &frame) {
    TForm1 *w = ctx_.form1;
    if (!w || frame.size() < 56)
        return;
    const LiveValues v = DecodeLongLiveFrame(frame, CurrentSettings());
    UngreyValues(w->Label_Enginespeed_waarde3);
    w->Label_Enginespeed_waarde3->setText(v.engineSpeedText);
    w->Label_injectiontime_waarde2->setText(v.injectionTimeText);
    ShowInjectionLimit(w->Panel_injectiontime2, w->Label_injectiontime_waarde2, v.engineSpeed,
                       v.injectionTime);
    w->Label_engineload_waarde2->setText(v.engineLoadText);
    w->Label_engineload2_waarde2->setText(v.engineLoad2Text);
    w->Label_correction_waarde_fuel2->setText(v.correctionText);
    w->Label_correctionstep_waarde2->setText(v.correctionStepText);
    w->Label_inlettemp_waarde2->setText(v.inletTempText);
    w->Label_Battery_Voltage_waarde2->setText(v.batteryText);
    w->Label_boostpressure_waarde2->setText(v.boostPressureText);
    ShowFaults(v.faults);
    ShowStatus(v);
    AfterDecoding(v);
}

void LiveDisplay::ShowFaults(std::uint16_t faults) {
    if (faults == 0)
        return;
    TForm1 *w = ctx_.form1;
    w->Panel_Warning_message->show();
    // Bit 15 is the first message; the messages stay until "Clear message".
    for (int n = 1; n <= 16; ++n)
        if (faults & (0x8000u >> (n - 1)))
            w->WarningLabel(n)->show();
}

void LiveDisplay::ShowStatus(const LiveValues &v) {
    TForm1 *w = ctx_.form1;
    const bool firmware3FA = VersionAtLeast(ctx_.form3 ? ctx_.form3->currentVersion() : w->CurrentVersion(),
                                            QStringLiteral("3FA"));
    if (!v.powerInterrupted())
        w->Panel_power_to_system_was_interrupted->hide();
    else if (firmware3FA)
        w->Panel_power_to_system_was_interrupted->show();
    Lamp(w->Panel_Second_stage_led, v.secondStage());
    Lamp(w->Panel_Second_stage_led2, v.secondStage());
    Lamp(w->Panel_Fuel_pump_led2, v.fuelPump());
}

void LiveDisplay::AfterDecoding(const LiveValues &v) {
    ctx_.LiveRow = tracker_.ComputeLiveRow(v.engineSpeed);
    if (v.trimRequested()) {
        ctx_.form1->GroupBox_Edit_menu->hide();
        ctx_.LiveTracking = true;
    }
    tracker_.TrackMapCell(v);
    if (tracker_.CorrectionTablesInView())
        tracker_.TrackCorrectionTables();
}
