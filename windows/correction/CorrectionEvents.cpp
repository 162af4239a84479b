// The correction-table window's own events: cell clicks choose the table, the mouse-up and Shift+arrow
// open the edit menu, the sign keys flip a value in the cell only, Space and F1 work in the whole window.
// Its edit menu is built here too; the jobs behind "&Ok" are the shared edit jobs.
#include <QDateTime>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QShortcut>

#include "app/AppContext.h"
#include "editor/EditJobs.h"
#include "editor/EditMenuParts.h"
#include "windows/chart/ChartWindow.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/opening/Manual.h"

namespace {
constexpr CorrectionTable AllTables[] = {CorrectionTable::Water, CorrectionTable::Air,
                                         CorrectionTable::Battery, CorrectionTable::AirPressure};
} // namespace

void TForm2::buildEditMenu() {
    GroupBox_Edit_menu = MakeEditMenuBox(this, QRect(574, 300, 206, 214));
    QGroupBox *box = GroupBox_Edit_menu;
    auto radio = [box](const QString &name, const QString &text, int y) {
        return MakeEditMenuChoice(box, name, text, y);
    };
    RadioButton_percentvalue =
        radio(QStringLiteral("RadioButton_percentvalue"), QStringLiteral("Change by %"), 24);
    RadioButton_setvalue = radio(QStringLiteral("RadioButton_setvalue"), QStringLiteral("Set to value"), 46);
    RadioButton_hor_interpol =
        radio(QStringLiteral("RadioButton_hor_interpol"), QStringLiteral("Horizontal interpol."), 68);
    RadioButton_percentvalue->setChecked(true);

    // Both fields take -100 .. 100 in steps of 0.1 for every table.
    auto field = [&](const QString &name, QLabel **label, const QString &labelName, const QString &caption,
                     int y) {
        *label = new QLabel(caption, box);
        (*label)->setObjectName(labelName);
        (*label)->setGeometry(12, y, 60, 24);
        auto *spin = new QDoubleSpinBox(box);
        spin->setObjectName(name);
        spin->setGeometry(76, y, 118, 24);
        spin->setDecimals(1);
        spin->setRange(-100.0, 100.0);
        spin->setSingleStep(0.1);
        spin->setValue(0.0);
        return spin;
    };
    AdvSpinEdit_percentvalue = field(QStringLiteral("AdvSpinEdit_percentvalue"), &Label_percentvalue,
                                     QStringLiteral("Label_percentvalue"), QStringLiteral("% "), 100);
    AdvSpinEdit_setvalue = field(QStringLiteral("AdvSpinEdit_setvalue"), &Label_setvalue,
                                 QStringLiteral("Label_setvalue"), QStringLiteral("value"), 132);

    Button_ok_editmenu = new QPushButton(QStringLiteral("&Ok"), box);
    Button_ok_editmenu->setObjectName(QStringLiteral("Button_ok_editmenu"));
    Button_ok_editmenu->setGeometry(12, 172, 86, 28);
    Button_ok_editmenu->setDefault(true);
    Button_cancel_editmenu = new QPushButton(QStringLiteral("&Cancel"), box);
    Button_cancel_editmenu->setObjectName(QStringLiteral("Button_cancel_editmenu"));
    Button_cancel_editmenu->setGeometry(108, 172, 86, 28);
    connect(Button_ok_editmenu, &QPushButton::clicked, this, &TForm2::Button_ok_editmenuClick);
    connect(Button_cancel_editmenu, &QPushButton::clicked, this, &TForm2::Button_cancel_editmenuClick);

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (GroupBox_Edit_menu->isVisible())
            Button_cancel_editmenu->click();
    });

    EditJobs::MenuControls controls;
    controls.box = box;
    controls.percent = RadioButton_percentvalue;
    controls.setValue = RadioButton_setvalue;
    controls.percentField = AdvSpinEdit_percentvalue;
    controls.setValueField = AdvSpinEdit_setvalue;
    controls.ok = Button_ok_editmenu;
    controls.signKeys = false; // this window's percent field only knows Enter
    EditJobs::WireMenu(controls);
    box->hide();

    GroupBox_gauge_up_down_loading = new QGroupBox(QStringLiteral("Changing data"), this);
    GroupBox_gauge_up_down_loading->setObjectName(QStringLiteral("GroupBox_gauge_up_down_loading"));
    GroupBox_gauge_up_down_loading->setGeometry(226, 460, 338, 60);
    GroupBox_gauge_up_down_loading->setAutoFillBackground(true);
    Gauge_up_down_loading = new QProgressBar(GroupBox_gauge_up_down_loading);
    Gauge_up_down_loading->setObjectName(QStringLiteral("Gauge_up_down_loading"));
    Gauge_up_down_loading->setGeometry(12, 24, 314, 24);
    Gauge_up_down_loading->setRange(0, 100);
    Gauge_up_down_loading->setValue(0);
    GroupBox_gauge_up_down_loading->hide();
}

void TForm2::connectTableEvents() {
    for (CorrectionTable table : AllTables) {
        DataGrid *grid = tableGrid(table);
        connect(grid, &DataGrid::ClickCell, this,
                [this, table](int row, int column) { AdvStringGridClickCell(table, row, column); });
        connect(grid, &QTableWidget::currentCellChanged, this, [this, table](int row, int column) {
            if (row >= 0 && column >= 0)
                AdvStringGridSelectCell(table, column);
        });
        connect(grid, &DataGrid::MouseUp, this, [this, table] { AdvStringGridMouseUp(table); });
        connect(grid, &DataGrid::KeyUp, this, [this, table](int key, Qt::KeyboardModifiers modifiers) {
            AdvStringGridKeyUp(table, key, modifiers);
        });
    }
    // Key preview: Space and F1 are seen first wherever the focus is in this window.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

CorrectionTable TForm2::tableOf(const DataGrid *grid) const {
    for (CorrectionTable table : AllTables)
        if (tableGrid(table) == grid)
            return table;
    return CorrectionTable::Water;
}

bool TForm2::DataCellClicked() const {
    return ctx_.form1 ? ctx_.form1->DataCellClicked : dataCellClicked_;
}

void TForm2::SetDataCellClicked(bool on) {
    dataCellClicked_ = on;
    if (ctx_.form1)
        ctx_.form1->DataCellClicked = on;
}

void TForm2::ShowEditMenu() {
    GroupBox_Edit_menu->show();
    GroupBox_Edit_menu->raise();
}

void TForm2::AdvStringGridClickCell(CorrectionTable table, int row, int column) {
    TableSelector = table;
    // A click selects its cell even when it already was the current one.
    if (row != 0)
        AdvStringGridSelectCell(table, column);
    SetDataCellClicked(row != 0);
    if (ctx_.form4)
        ctx_.form4->ShowTable(row);
}

void TForm2::AdvStringGridSelectCell(CorrectionTable table, int column) {
    Q_UNUSED(table);
    SelectedTableColumn = column;
}

void TForm2::AdvStringGridMouseUp(CorrectionTable table) {
    Q_UNUSED(table);
    if (DataCellClicked())
        ShowEditMenu();
}

void TForm2::AdvStringGridKeyUp(CorrectionTable table, int key, Qt::KeyboardModifiers modifiers) {
    // Letting go of a modifier is not a selection step.
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
        return;
    default:
        break;
    }
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    if (held == Qt::ShiftModifier && QGuiApplication::mouseButtons() == Qt::NoButton && DataCellClicked()) {
        TableSelector = table;
        ShowEditMenu();
    }
}

bool TForm2::AdvStringGridKeyDown(CorrectionTable table, int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier)
        return false;
    const bool minus = key == Qt::Key_Minus;
    const bool plus = key == Qt::Key_Plus || key == Qt::Key_Equal;
    if (!minus && !plus)
        return false;
    // In the cell only: nothing is sent and nothing is clamped.
    DataGrid *grid = tableGrid(table);
    const int column = SelectedTableColumn;
    const double value = grid->cellValue(column, 1);
    if ((minus && value > 0) || (plus && value < 0))
        grid->setCellValue(column, 1, -value);
    return true;
}

void TForm2::Button_ok_editmenuClick() {
    if (ctx_.editJobs)
        ctx_.editJobs->TableOk();
}

void TForm2::Button_cancel_editmenuClick() {
    if (ctx_.editJobs) {
        ctx_.editJobs->TableCancel();
        return;
    }
    GroupBox_Edit_menu->hide();
    ctx_.LiveTracking = true;
}

void TForm2::keyPressEvent(QKeyEvent *event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) || !GroupBox_Edit_menu->isVisible()) {
        QWidget::keyPressEvent(event);
        return;
    }
    // The menu's default button; the spin fields press it themselves and never pass Enter on.
    if (Button_ok_editmenu->isEnabled())
        Button_ok_editmenu->click();
    event->accept();
}

bool TForm2::PreviewKey(QObject *watched, QKeyEvent *event) {
    // A key a child leaves alone travels on to its parents as the same event; look at each key once.
    auto *widget = qobject_cast<QWidget *>(watched);
    auto *before = qobject_cast<QWidget *>(lastPreviewedBy_);
    const bool passedOn =
        event == lastPreviewed_ && widget && before && widget != before && widget->isAncestorOf(before);
    lastPreviewed_ = event;
    lastPreviewedBy_ = watched;
    if (passedOn)
        return false;
    if (event->key() == Qt::Key_Space) {
        ctx_.LiveTracking = true;
        return false;
    }
    if (event->key() == Qt::Key_F1) {
        // The same help command as the main window's.
        if (ctx_.form1 && ctx_.form1->onOpenManual)
            ctx_.form1->onOpenManual();
        else
            OpenManual(ctx_);
        return true;
    }
    return false;
}

bool TForm2::eventFilter(QObject *watched, QEvent *event) {
    // Every key comes with its release before the next one: what is seen after it is a new key.
    if (event->type() == QEvent::KeyRelease)
        lastPreviewed_ = nullptr;
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (PreviewKey(watched, key))
        return true;
    if (auto *grid = qobject_cast<DataGrid *>(watched)) {
        // The sign keys are not typed into the grid (they would start a search for a cell's text).
        if (AdvStringGridKeyDown(tableOf(grid), key->key(), key->modifiers()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}
