#include "windows/options/OptionsWindow.h"

#include "app/AppContext.h"
#include "windows/options/AutoCalibration.h"
#include "windows/options/OptionsWidgets.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

using namespace OptionsWidgets;

TForm3::TForm3(AppContext &ctx, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ctx_(ctx) {
    setObjectName(QStringLiteral("Form3"));
    ctx_.form3 = this;
    setWindowTitle(QStringLiteral("Options"));

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 8, 10, 10);
    outer->setSpacing(8);

    auto *top = new QGridLayout;
    buildHeader(top);
    outer->addLayout(top);

    auto *bodyWidget = new QWidget(this);
    bodyWidget->setObjectName(QStringLiteral("optionsBody"));
    body_ = new QGridLayout(bodyWidget);
    body_->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(bodyWidget, 1);

    buildMenuColumn();
    buildRpmGroup();
    buildEngineLoadGroup();
    buildThrottlePumpGroup();
    buildCorrectionTableGroup();
    buildStartupGroup();
    buildAuxGroups();
    buildRpmLimiterGroup();
    buildInterpolationGroup();
    buildRemarksGroup();
    buildCommunicationPortGroup();
    connectControlEvents();
    connectFrameEvents();

    // All sub-panels share the body; the window keeps one size whichever of them is shown.
    QSize biggest = menuColumn->sizeHint();
    for (QGroupBox *panel : subPanels()) {
        body_->addWidget(panel, 0, 0);
        panel->hide();
        biggest = biggest.expandedTo(panel->sizeHint()).expandedTo(panel->minimumSize());
    }
    bodyWidget->setMinimumSize(biggest);
    adjustSize();
    setFixedSize(sizeHint());
}

TForm3::~TForm3() {
    if (ctx_.form3 == this)
        ctx_.form3 = nullptr;
}

void TForm3::keyPressEvent(QKeyEvent *event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    if (!enter || held != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    // While a sub-panel is open the menu's "&Ok" is hidden: Enter never leaves the window from there.
    if (Button_ok_Options_menu->isVisible() && Button_ok_Options_menu->isEnabled())
        Button_ok_Options_menu->click();
    event->accept();
}

QString TForm3::currentVersion() const {
    return StaticText_version_info->text();
}

QList<QGroupBox *> TForm3::subPanels() const {
    return {GroupBox_RPM_pickup,
            GroupBox_engine_load_sensor,
            GroupBox_Throttle_pump_effect,
            GroupBox_Correction_table,
            GroupBox_Startup,
            GroupBox_Second_stage,
            GroupBox_Second_stage_oud,
            GroupBox_RPM_limiter_and_powershift,
            GroupBox_interpolation_to_limits,
            GroupBox_Remarks,
            GroupBox_set_communicationport};
}

bool TForm3::HasSelectedEntry(const QComboBox *list) {
    const int index = list->currentIndex();
    return index >= 0 && list->currentText() == list->itemText(index);
}

void TForm3::buildHeader(QGridLayout *top) {
    QVR_MAKE(Label9, label, QStringLiteral("Version info:"), this);
    QVR_MAKE(StaticText_version_info, label, QStringLiteral("3FA1AD1AA"), this);
    QVR_MAKE(Label1, label, QStringLiteral("Serial number:"), this);
    QVR_MAKE(StaticText_Serial_number, label, QStringLiteral("000000"), this);
    for (QLabel *text : {StaticText_version_info, StaticText_Serial_number}) {
        text->setFrameShape(QFrame::StyledPanel);
        text->setFrameShadow(QFrame::Sunken);
        text->setMinimumWidth(110);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    top->addWidget(Label9, 0, 0);
    top->addWidget(StaticText_version_info, 0, 1);
    top->addWidget(Label1, 1, 0);
    top->addWidget(StaticText_Serial_number, 1, 1);
    top->setColumnStretch(2, 1);
    top->setHorizontalSpacing(8);
}

void TForm3::buildMenuColumn() {
    menuColumn = new QWidget(this);
    menuColumn->setObjectName(QStringLiteral("menuColumn"));
    auto *column = new QVBoxLayout(menuColumn);
    column->setContentsMargins(0, 4, 0, 0);
    column->setSpacing(8);

    auto add = [&](QPushButton *&member, const char *name, const QString &caption) {
        member = button(QString::fromLatin1(name), caption, menuColumn);
        member->setMinimumSize(230, 32);
        column->addWidget(member, 0, Qt::AlignLeft);
    };
    // Order of the column; "RPM Limiter" ("3FA" and later) and "Correction-table" (older) take turns
    // in the place above "Remarks".
    add(Button_RPM_pickup, "Button_RPM_pickup", QStringLiteral("RPM pickup"));
    add(Button_Engine_load_sensor, "Button_Engine_load_sensor", QStringLiteral("Engine-load sensor"));
    add(Button_Throttle_pump_effect, "Button_Throttle_pump_effect", QStringLiteral("Throttle pump effect"));
    add(Button_Startup, "Button_Startup", QStringLiteral("Startup"));
    add(Button_Second_stage, "Button_Second_stage", QStringLiteral("AUX 1"));
    add(Button_interpolation_to_limits, "Button_interpolation_to_limits",
        QStringLiteral("Interpol. to limits and Fuel cut"));
    add(Button_RPM_limiters_and_powershift, "Button_RPM_limiters_and_powershift",
        QStringLiteral("RPM Limiter"));
    add(Button_Correction_table, "Button_Correction_table", QStringLiteral("Correction-table"));
    add(Button_remarks, "Button_remarks", QStringLiteral("Remarks"));
    add(Button_set_communicationport, "Button_set_communicationport", QStringLiteral("Communicationport"));
    Button_Correction_table->hide(); // design-time firmware is "3FA" and later

    column->addStretch(1);
    QVR_MAKE(Button_ok_Options_menu, button, QStringLiteral("&Ok"), menuColumn);
    QVR_MAKE(Button_Cancel_Options_menu, button, QStringLiteral("&Cancel"), menuColumn);
    Button_ok_Options_menu->setDefault(true);
    column->addLayout(okCancelRow(Button_ok_Options_menu, Button_Cancel_Options_menu));

    body_->addWidget(menuColumn, 0, 0);
}
