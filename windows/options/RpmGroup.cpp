// RPM pickup sub-panel with its nested RPM range, and the RPM rows as map-grid row headers.
#include "app/AppContext.h"
#include "core/FirmwareVersion.h"
#include "windows/options/OptionsWidgets.h"
#include "windows/options/OptionsWindow.h"
#include "windows/options/OtherWindows.h"

#include <QEvent>
#include <QGridLayout>
#include <QVBoxLayout>

using namespace OptionsWidgets;

namespace {
// Keeps the RPM range panel over the whole pickup panel, from (5, 25) to its lower right corner.
class RangeCover : public QObject {
public:
    RangeCover(QWidget *cover, QObject *parent) : QObject(parent), cover_(cover) {}
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Resize) {
            const QWidget *under = static_cast<QWidget *>(watched);
            cover_->setGeometry(5, 25, under->width() - 10, under->height() - 30);
        }
        return false;
    }

private:
    QWidget *cover_;
};
} // namespace

void TForm3::buildRpmGroup() {
    QVR_MAKE(GroupBox_RPM_pickup, group, QStringLiteral("RPM pickup"), this);
    QGroupBox *box = GroupBox_RPM_pickup;

    QVR_MAKE(Label_number_of_cylinders, label, QStringLiteral("Pulses per revolution:"), box);
    QVR_MAKE(ComboBox_number_of_cylinders, list,
             {QStringLiteral("0,5"), QStringLiteral("1,0"), QStringLiteral("1,5"), QStringLiteral("2,0"),
              QStringLiteral("2,5"), QStringLiteral("3,0"), QStringLiteral("4,0"), QStringLiteral("5,0")},
             false, box);
    QVR_NAMED(RadioButton_RPM_pickup_from_coil, new QRadioButton(box));
    QVR_MAKE(Label_RPM_pickup_from_coil, label, QStringLiteral("RPM pickup direct from coil "), box);
    QVR_MAKE(Label_coil_input_voltage, label, QStringLiteral("input voltage"), box);
    QVR_MAKE(ComboBox_coil_input_voltage, list,
             {QStringLiteral("low"), QStringLiteral("medium"), QStringLiteral("high")}, false, box);
    QVR_NAMED(RadioButton_RPM_pickup_from_Hallsensor, new QRadioButton(box));
    QVR_MAKE(Label_RPM_pickup_from_Hallsensor, label, QStringLiteral("RPM pickup from Hall sensor"), box);
    RadioButton_RPM_pickup_from_coil->setChecked(true);
    Label_RPM_pickup_from_coil->setBuddy(RadioButton_RPM_pickup_from_coil);
    Label_RPM_pickup_from_Hallsensor->setBuddy(RadioButton_RPM_pickup_from_Hallsensor);

    QVR_MAKE(Label_inj_stroke_mode1, label, QStringLiteral("Injection in "), box);
    QVR_MAKE(ComboBox_inj_stroke_mode, list, {QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("1")},
             false, box);
    QVR_MAKE(Label_inj_stroke_mode2, label, QStringLiteral("-stroke mode"), box);

    QVR_MAKE(Button_RPM_Range, button, QStringLiteral("RPM Range"), box);
    QVR_OK_CANCEL(Button_Ok_RPM_pickup, Button_Cancel_RPM_pickup, box);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(10);
    grid->addWidget(Label_number_of_cylinders, 0, 0, 1, 2);
    grid->addWidget(ComboBox_number_of_cylinders, 0, 2);
    grid->addWidget(RadioButton_RPM_pickup_from_coil, 1, 0);
    grid->addWidget(Label_RPM_pickup_from_coil, 1, 1);
    grid->addWidget(Label_coil_input_voltage, 1, 3);
    grid->addWidget(ComboBox_coil_input_voltage, 1, 4);
    grid->addWidget(RadioButton_RPM_pickup_from_Hallsensor, 2, 0);
    grid->addWidget(Label_RPM_pickup_from_Hallsensor, 2, 1);
    auto *stroke = new QHBoxLayout;
    stroke->setSpacing(4);
    stroke->addWidget(Label_inj_stroke_mode1);
    stroke->addWidget(ComboBox_inj_stroke_mode);
    stroke->addWidget(Label_inj_stroke_mode2);
    stroke->addStretch(1);
    grid->addLayout(stroke, 3, 0, 1, 5);
    grid->addWidget(Button_RPM_Range, 4, 0, 1, 3, Qt::AlignLeft);
    Button_RPM_Range->setMinimumWidth(120);
    grid->setColumnStretch(5, 1);

    fillPanel(box, -1, {grid}, Button_Ok_RPM_pickup, Button_Cancel_RPM_pickup);

    // RPM range: a panel laid over the pickup controls (at 5, 25) while it is open.
    QVR_MAKE(GroupBox_RPM_Range, group, QStringLiteral("RPM Range"), box);
    GroupBox_RPM_Range->setAutoFillBackground(true);
    auto *rows = new QGridLayout(GroupBox_RPM_Range);
    rows->setContentsMargins(10, 14, 10, 10);
    rows->setHorizontalSpacing(4);
    rows->setVerticalSpacing(6);
    QSpinBox **members[25] = {&SpinEdit_RPM_Range_Row1,  &SpinEdit_RPM_Range_Row2,  &SpinEdit_RPM_Range_Row3,
                              &SpinEdit_RPM_Range_Row4,  &SpinEdit_RPM_Range_Row5,  &SpinEdit_RPM_Range_Row6,
                              &SpinEdit_RPM_Range_Row7,  &SpinEdit_RPM_Range_Row8,  &SpinEdit_RPM_Range_Row9,
                              &SpinEdit_RPM_Range_Row10, &SpinEdit_RPM_Range_Row11, &SpinEdit_RPM_Range_Row12,
                              &SpinEdit_RPM_Range_Row13, &SpinEdit_RPM_Range_Row14, &SpinEdit_RPM_Range_Row15,
                              &SpinEdit_RPM_Range_Row16, &SpinEdit_RPM_Range_Row17, &SpinEdit_RPM_Range_Row18,
                              &SpinEdit_RPM_Range_Row19, &SpinEdit_RPM_Range_Row20, &SpinEdit_RPM_Range_Row21,
                              &SpinEdit_RPM_Range_Row22, &SpinEdit_RPM_Range_Row23, &SpinEdit_RPM_Range_Row24,
                              &SpinEdit_RPM_Range_Row25};
    for (int k = 1; k <= 25; ++k) {
        QString caption = k < 10 ? QStringLiteral("Row  %1 :").arg(k) : QStringLiteral("Row %1 :").arg(k);
        if (k == 17)
            caption = QStringLiteral("Row 17:");
        auto *field = spin(QStringLiteral("SpinEdit_RPM_Range_Row%1").arg(k), 500, 20000, 50, 500 * k,
                           QStringLiteral("500 .. 20000 RPM"), GroupBox_RPM_Range);
        *members[k - 1] = field;
        auto *rowLabel = label(QStringLiteral("Label_RPM_Range_Row%1").arg(k), caption, GroupBox_RPM_Range);
        auto *unit = label(QStringLiteral("Label_RPM_Range_Row%1_eenheid").arg(k), QStringLiteral("RPM"),
                           GroupBox_RPM_Range);
        // Five columns of five, row 1 at the top left, rising downwards.
        const int col = ((k - 1) / 5) * 4, row = (k - 1) % 5;
        rows->addWidget(rowLabel, row, col);
        rows->addWidget(field, row, col + 1);
        rows->addWidget(unit, row, col + 2);
        if (k <= 20)
            rows->setColumnMinimumWidth(col + 3, 14);
    }
    QVR_MAKE(Button_RPM_Range_Ok, button, QStringLiteral("&Ok"), GroupBox_RPM_Range);
    Button_RPM_Range_Ok->setMinimumWidth(90);
    rows->addWidget(Button_RPM_Range_Ok, 5, 0, 1, 19, Qt::AlignRight);
    rows->setRowMinimumHeight(5, 40);
    rows->setRowStretch(6, 1);
    GroupBox_RPM_Range->move(5, 25);
    GroupBox_RPM_Range->hide();
    const QSize range = GroupBox_RPM_Range->sizeHint();
    box->setMinimumSize(range.width() + 10, range.height() + 30);
    // While open the range covers the pickup controls (and their Ok and Cancel) completely.
    box->installEventFilter(new RangeCover(GroupBox_RPM_Range, box));
}

std::array<QSpinBox *, 25> TForm3::rpmRangeRows() const {
    return {SpinEdit_RPM_Range_Row1,  SpinEdit_RPM_Range_Row2,  SpinEdit_RPM_Range_Row3,
            SpinEdit_RPM_Range_Row4,  SpinEdit_RPM_Range_Row5,  SpinEdit_RPM_Range_Row6,
            SpinEdit_RPM_Range_Row7,  SpinEdit_RPM_Range_Row8,  SpinEdit_RPM_Range_Row9,
            SpinEdit_RPM_Range_Row10, SpinEdit_RPM_Range_Row11, SpinEdit_RPM_Range_Row12,
            SpinEdit_RPM_Range_Row13, SpinEdit_RPM_Range_Row14, SpinEdit_RPM_Range_Row15,
            SpinEdit_RPM_Range_Row16, SpinEdit_RPM_Range_Row17, SpinEdit_RPM_Range_Row18,
            SpinEdit_RPM_Range_Row19, SpinEdit_RPM_Range_Row20, SpinEdit_RPM_Range_Row21,
            SpinEdit_RPM_Range_Row22, SpinEdit_RPM_Range_Row23, SpinEdit_RPM_Range_Row24,
            SpinEdit_RPM_Range_Row25};
}

void TForm3::ApplyRpmRangeToGrids() {
    const auto rows = rpmRangeRows();
    // Older firmware has a fixed RPM scale.
    if (!VersionAtLeast(currentVersion(), QStringLiteral("3FA"))) {
        for (int k = 1; k <= 25; ++k)
            rows[k - 1]->setValue(500 * k);
    }
    QStringList texts;
    for (QSpinBox *row : rows)
        texts << QString::number(row->value());
    SetMapRowHeaders(ctx_, texts);
}
