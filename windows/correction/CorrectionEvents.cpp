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
#include "windows/widgets/ControlFactory.h"

namespace {
constexpr CorrectionTable AllTables[] = {CorrectionTable::Water, CorrectionTable::Air,
                                         CorrectionTable::Battery, CorrectionTable::AirPressure};
} // namespace

void TForm2::buildEditMenu() {
    GroupBox_Edit_menu = MakeEditMenuBox(this, QRect(574, 300, 206, 214));
    QGroupBox *box = GroupBox_Edit_menu;
    MakeEditMenuChoices(box, RadioButton_percentvalue, RadioButton_setvalue, RadioButton_hor_interpol);

    // Both fields take -100 .. 100 in steps of 0.1 for every table.
    const EditMenuFieldRange range{1, -100.0, 100.0, 0.1};
    // Made one after the other: the order of making is the Tab order.
    auto *percentField = new QDoubleSpinBox(box);
    PlaceEditMenuFields(this, percentField, range, new QDoubleSpinBox(box), range, 100);
    MakeEditMenuButtons(box, Button_ok_editmenu, Button_cancel_editmenu, 172);
    connect(Button_ok_editmenu, &QPushButton::clicked, this, &TForm2::Button_ok_editmenuClick);
    connect(Button_cancel_editmenu, &QPushButton::clicked, this, &TForm2::Button_cancel_editmenuClick);

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (GroupBox_Edit_menu->isVisible())
            Button_cancel_editmenu->click();
    });

    // this window's percent field only knows Enter
    EditJobs::WireMenu(EditMenuControlsOf(this, false));
    box->hide();

    Gauge_up_down_loading = MakeProgressBox(this, QStringLiteral("Changing data"), QRect(226, 460, 338, 60),
                                            24, &GroupBox_gauge_up_down_loading);
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
    if (IsShiftSelectionStep(key, modifiers) && DataCellClicked()) {
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

EditJobs *TForm2::editJobs() const {
    return ctx_.form1 ? ctx_.form1->editJobs() : nullptr;
}

void TForm2::Button_ok_editmenuClick() {
    if (EditJobs *jobs = editJobs())
        jobs->TableOk();
}

void TForm2::Button_cancel_editmenuClick() {
    if (EditJobs *jobs = editJobs()) {
        jobs->TableCancel();
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
