// Automatic calibration of an engine-load sensor: the user puts the sensor at its minimum, then at its
// maximum, and the ECU's raw reading is taken each time. The prompt's colour tells the step (yellow:
// minimum, green: maximum). The link judges the two readings and reports back.
#include "windows/options/AutoCalibration.h"

#include "app/AppContext.h"
#include "link/Link.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

namespace {
const QColor PromptYellow(255, 255, 0);
const QColor PromptGreen(0, 255, 0);
} // namespace

OptionsCalibrationPart::OptionsCalibrationPart(AppContext &ctx, TForm3 *window) : ctx_(ctx), window_(window) {
    if (Link *link = ctx_.link) {
        QObject::connect(link, &Link::calibrationAccepted, window_,
                         [this](int sensor, int minimum, int maximum) {
                             window_->AcceptCalibration(sensor, minimum, maximum);
                         });
        QObject::connect(link, &Link::calibrationEvaluated, window_,
                         [this] { window_->HideCalibrationPrompt(); });
    }
}

OptionsCalibrationPart::~OptionsCalibrationPart() = default;

QColor TForm3::calibrationPromptColor() const {
    return GroupBox_set_engineloadsensor_to_minmax->palette().color(QPalette::Window);
}

void TForm3::setCalibrationPrompt(int sensor, bool maximumStep) {
    const QString n = QString::number(sensor);
    GroupBox_set_engineloadsensor_to_minmax->setTitle(
        (maximumStep ? QStringLiteral("Max Value Engine load ") : QStringLiteral("Min Value Engine load ")) +
        n);
    Label_regel1_set_engineloadsensor_to_minmax->setText(QStringLiteral("Set Engine load ") + n +
                                                         QStringLiteral(" sensor"));
    Label_regel2_set_engineloadsensor_to_minmax->setText(maximumStep ? QStringLiteral("to maximal ")
                                                                     : QStringLiteral("to minimal "));
    QPalette pal = GroupBox_set_engineloadsensor_to_minmax->palette();
    pal.setColor(QPalette::Window, maximumStep ? PromptGreen : PromptYellow);
    GroupBox_set_engineloadsensor_to_minmax->setPalette(pal);
}

void TForm3::StartAutomaticCalibration(int sensor) {
    ctx_.CalSensor = sensor;
    setCalibrationPrompt(sensor, false);
    // Tops as documented; sensor 2's prompt goes over its own group, which this layout puts on the right.
    int left = 20;
    if (sensor == 2 && GroupBox_Engineload2->isVisibleTo(GroupBox_engine_load_sensor))
        left = GroupBox_Engineload2->x() + 12;
    GroupBox_set_engineloadsensor_to_minmax->move(left, sensor == 2 ? 170 : 66);
    GroupBox_set_engineloadsensor_to_minmax->show();
    GroupBox_set_engineloadsensor_to_minmax->raise();
    Button_Ok_set_engineloadsensor_to_minmax->setFocus();
    if (ctx_.link)
        ctx_.link->ResetCalibrationReadings();
}

void TForm3::Button_Ok_set_engineloadsensor_to_minmaxClick() {
    const bool online = ctx_.form1 && ctx_.form1->IsOnline() && ctx_.link;
    if (!online)
        return;
    if (calibrationPromptColor() == PromptYellow) {
        ctx_.link->RequestCalibrationReading(1);
        setCalibrationPrompt(ctx_.CalSensor, true);
    } else if (calibrationPromptColor() == PromptGreen) {
        ctx_.link->RequestCalibrationReading(2);
    }
}

void TForm3::Button_cancel_set_engineloadsensor_to_minmaxClick() {
    HideCalibrationPrompt();
}

void TForm3::AcceptCalibration(int sensor, int minimum, int maximum) {
    QSpinBox *low = sensor == 2 ? SpinEdit_min_engineload2 : SpinEdit_min_engineload;
    QSpinBox *high = sensor == 2 ? SpinEdit_max_engineload2 : SpinEdit_max_engineload;
    low->setValue(minimum); // the fields clamp to 0..255
    high->setValue(maximum);
}

void TForm3::HideCalibrationPrompt() {
    GroupBox_set_engineloadsensor_to_minmax->hide();
}
