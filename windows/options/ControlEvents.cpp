// What the options window's own controls do when the user works them: the input-2 radio buttons, the
// lists the user might type into, the NTC switch and the sign keys of the correction-table range.
#include "app/AppContext.h"
#include "core/Dialogs.h"
#include "core/FirmwareVersion.h"
#include "windows/options/OptionsWindow.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>

namespace {
const QString DoNotEdit = QStringLiteral("Do not edit\r\nuse pulldown menu !!!");
const QString NoBoostWithAirPressure =
    QStringLiteral("Boost pressure is not possible \r\nwhen Air pressure is used !!!");
constexpr int BoostPressureKind = 3;
} // namespace

void TForm3::connectControlEvents() {
    connect(RadioButton_Engine_load_MAP, &QRadioButton::clicked, this,
            [this] { RadioButton_Engine_load_MAPClick(); });
    connect(RadioButton_Engine_load_Air_pressure, &QRadioButton::clicked, this,
            [this] { RadioButton_Engine_load_Air_pressureClick(); });

    QComboBox *mainLoad = ComboBox_Engineloadsensor_Throttle_or_Map;
    connect(mainLoad, &QComboBox::activated, this,
            [this] { ComboBox_Engineloadsensor_Throttle_or_MapChange(); });
    connect(mainLoad->lineEdit(), &QLineEdit::textEdited, this,
            [this] { ComboBox_Engineloadsensor_Throttle_or_MapChange(); });

    for (int mode = 0; mode <= 1; ++mode) {
        for (int channel = 1; channel <= 2; ++channel) {
            QComboBox *list = aux1KindList(mode, channel);
            connect(list, &QComboBox::activated, this,
                    [this, mode, channel] { Aux1KindListChange(mode, channel); });
            connect(list->lineEdit(), &QLineEdit::textEdited, this,
                    [this, mode, channel] { Aux1KindListChange(mode, channel); });
            list->installEventFilter(this);
        }
    }

    connect(CheckBox_NTC_sensor_aktief, &QCheckBox::toggled, this,
            [this] { CheckBox_NTC_sensor_aktiefClick(); });
    AdvSpinEdit_Max_Correction_table->installEventFilter(this);
    AdvSpinEdit_Min_Correction_table->installEventFilter(this);
}

QComboBox *TForm3::aux1KindList(int mode, int channel) const {
    if (mode == 0)
        return channel == 1 ? ComboBox_AUX1_Channel1_type : ComboBox_AUX1_Channel2_type;
    return channel == 1 ? ComboBox_mode1_AUX1_Channel1_type : ComboBox_mode1_AUX1_Channel2_type;
}

void TForm3::RadioButton_Engine_load_MAPClick() {
    if (RadioButton_Engine_load_MAP->isChecked())
        SetAirPressureMode(false);
    else
        RadioButton_Engine_load_Air_pressureClick();
}

void TForm3::RadioButton_Engine_load_Air_pressureClick() {
    if (!RadioButton_Engine_load_Air_pressure->isChecked()) {
        SetAirPressureMode(false);
        return;
    }
    if (VersionAtLeast(currentVersion(), QStringLiteral("3FA1AB"))) {
        SetAirPressureMode(true);
        return;
    }
    if (ctx_.dialogs)
        ctx_.dialogs->warning(
            QStringLiteral("Air pressure sensor is only possible from version 3FA1AB1AA!!!"));
    SetAirPressureMode(false);
}

void TForm3::ComboBox_Engineloadsensor_Throttle_or_MapChange() {
    QComboBox *list = ComboBox_Engineloadsensor_Throttle_or_Map;
    if (!HasSelectedEntry(list) && ctx_.dialogs)
        ctx_.dialogs->warning(DoNotEdit);
    const bool factor = HasSelectedEntry(list) && list->currentIndex() == 3;
    AdvSpinEdit_Boost_correction_factor->setEnabled(factor);
    Label_Boost_correction_factor_note->setEnabled(factor);
}

void TForm3::Aux1KindListChange(int mode, int channel) {
    QComboBox *list = aux1KindList(mode, channel);
    if (!HasSelectedEntry(list)) {
        if (ctx_.dialogs)
            ctx_.dialogs->warning(DoNotEdit);
        return;
    }
    const int kind = list->currentIndex();
    if (kind == BoostPressureKind && airPressureChosen()) {
        // The list keeps its entry; the sub-panel's Ok refuses it.
        if (ctx_.dialogs)
            ctx_.dialogs->warning(NoBoostWithAirPressure);
        return;
    }
    if (mode == 0)
        SetAux1Mode0ChannelKind(channel, kind);
    else
        SetAux1Mode1ChannelKind(channel, kind);
}

void TForm3::Aux1KindListExit(int mode, int channel) {
    if (!HasSelectedEntry(aux1KindList(mode, channel)) && ctx_.dialogs)
        ctx_.dialogs->warning(DoNotEdit);
}

void TForm3::CheckBox_NTC_sensor_aktiefClick() {
    // Only the user's choice while the window is open; a decoded data set sets the box with the window
    // hidden.
    if (!CheckBox_NTC_sensor_aktief->isChecked() || !isVisible())
        return;
    AdvSpinEdit_Max_Correction_table->setValue(135);
    AdvSpinEdit_Min_Correction_table->setValue(-20);
    Edit_Correction_table_eenheid->setText(QStringLiteral("\u00B0C"));
}

bool TForm3::SignKey(QDoubleSpinBox *field, int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier)
        return false; // the main keyboard's keys only
    if (key == Qt::Key_Minus) {
        if (field->value() > 0)
            field->setValue(-field->value());
        return true;
    }
    if (key == Qt::Key_Plus || key == Qt::Key_Equal) {
        if (field->value() < 0)
            field->setValue(-field->value());
        return true;
    }
    return false;
}

bool TForm3::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress &&
        (watched == AdvSpinEdit_Max_Correction_table || watched == AdvSpinEdit_Min_Correction_table)) {
        auto *key = static_cast<QKeyEvent *>(event);
        return SignKey(static_cast<QDoubleSpinBox *>(watched), key->key(), key->modifiers());
    }
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason) {
            for (int mode = 0; mode <= 1; ++mode)
                for (int channel = 1; channel <= 2; ++channel)
                    if (watched == aux1KindList(mode, channel))
                        Aux1KindListExit(mode, channel);
        }
    }
    return QWidget::eventFilter(watched, event);
}
