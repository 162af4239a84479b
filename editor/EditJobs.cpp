#include "editor/EditJobs.h"

#include <QAbstractSpinBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "app/AppContext.h"
#include "core/Timers.h"
#include "link/Link.h"
#include "link/TransferMachine.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/widgets/DataGrid.h"

// The cells of one grid as the job sees them: written values come back with the grid's decimals.
class EditJobs::GridCells : public EditCells {
public:
    explicit GridCells(DataGrid *grid) : grid_(grid) {}
    double value(int column, int row) const override { return grid_->cellValue(column, row); }
    void setValue(int column, int row, double value) override { grid_->setCellValue(column, row, value); }

private:
    DataGrid *grid_;
};

namespace {

// Spin edits of an edit menu: a click or a change checks the field's radio button; the sign keys of the
// main window's percent field; Enter in either field acts as "&Ok" while the menu is shown.
class EditMenuFilter : public QObject {
public:
    EditMenuFilter(const EditJobs::MenuControls &menu, QObject *parent) : QObject(parent), menu_(menu) {
        percentEdit_ = menu.percentField->findChild<QLineEdit *>();
        setValueEdit_ = menu.setValueField->findChild<QLineEdit *>();
    }

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::KeyPress)
            return false;
        QDoubleSpinBox *field = fieldOf(watched);
        if (!field)
            return false;
        QRadioButton *radio = field == menu_.percentField ? menu_.percent : menu_.setValue;
        if (event->type() == QEvent::MouseButtonPress) {
            radio->setChecked(true);
            return false;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (menu_.box->isVisible() && menu_.ok->isEnabled())
                menu_.ok->click();
            return true;
        }
        if (!menu_.signKeys || field != menu_.percentField || (key->modifiers() & Qt::KeypadModifier))
            return false;
        // The key with "-" of the main keyboard makes a positive value negative, the key with "=" and "+"
        // makes a negative value positive; the keys themselves are not typed into the field. Over a
        // selected text or a 0 the minus is typed instead, so that "-5" starts a negative number.
        if (key->key() == Qt::Key_Minus) {
            QLineEdit *edit = field->findChild<QLineEdit *>();
            if (edit && (edit->hasSelectedText() || field->value() == 0)) {
                if (!edit->hasSelectedText())
                    edit->selectAll();
                return false;
            }
            if (field->value() > 0)
                field->setValue(-field->value());
            return true;
        }
        if (key->key() == Qt::Key_Plus || key->key() == Qt::Key_Equal) {
            if (field->value() < 0)
                field->setValue(-field->value());
            return true;
        }
        return false;
    }

private:
    // Pointers compared only: the fields may be half destroyed when their last events arrive.
    QDoubleSpinBox *fieldOf(QObject *watched) const {
        if (watched == menu_.percentField || (percentEdit_ && watched == percentEdit_))
            return menu_.percentField;
        if (watched == menu_.setValueField || (setValueEdit_ && watched == setValueEdit_))
            return menu_.setValueField;
        return nullptr;
    }

    EditJobs::MenuControls menu_;
    QObject *percentEdit_ = nullptr;
    QObject *setValueEdit_ = nullptr;
};

} // namespace

void EditJobs::WireMenu(const MenuControls &menu) {
    auto *filter = new EditMenuFilter(menu, menu.box);
    for (QDoubleSpinBox *field : {menu.percentField, menu.setValueField}) {
        field->installEventFilter(filter);
        if (QLineEdit *edit = field->findChild<QLineEdit *>())
            edit->installEventFilter(filter);
    }
    QObject::connect(menu.percentField, &QDoubleSpinBox::valueChanged, menu.percent,
                     [radio = menu.percent] { radio->setChecked(true); });
    QObject::connect(menu.setValueField, &QDoubleSpinBox::valueChanged, menu.setValue,
                     [radio = menu.setValue] { radio->setChecked(true); });
}

EditJobs::EditJobs(AppContext &ctx, QObject *parent) : QObject(parent), ctx_(ctx), steps_(StepsOf(ctx.link)) {
    setObjectName(QStringLiteral("EditJobs"));
    if (steps_) {
        QPointer<EditJobs> self(this);
        steps_->addStepRunner([self](int step) { return self && self->RunStep(step); });
    }
    if (Link *link = ctx_.link) {
        connect(link, &Link::delayedActionDue, this, &EditJobs::onDelayedAction);
        connect(link, &Link::wentOffline, this, &EditJobs::AbortJob);
    }
}

void EditJobs::onDelayedAction(int code) {
    if (code == static_cast<int>(DelayedAction::MapEdit))
        startEditJob();
    else if (code == static_cast<int>(DelayedAction::TableEdit))
        startCorrectionTableWrite();
}

int EditJobs::TableJobTable(int step) {
    switch (step) {
    case 200:
        return 0;
    case 300:
        return 1;
    case 400:
        return 2;
    case 500:
        return 3;
    default:
        return -1;
    }
}

// ---- the menus --------------------------------------------------------------------------------------------

bool EditJobs::MapOk() {
    Link *link = ctx_.link;
    if (!link)
        return false;
    // "&Ok" again while its own job runs starts the job from the first cell, as it always did.
    if (steps_ && steps_->TransferStep == MapEditStep)
        link->End(LineActivity::EditJob);
    return link->Request(LineActivity::EditJob, [link] {
        link->StopLink();
        link->ArmDelayedAction(DelayedAction::MapEdit);
    });
}

bool EditJobs::TableOk() {
    Link *link = ctx_.link;
    if (!link)
        return false;
    if (steps_ && TableJobTable(steps_->TransferStep) >= 0)
        link->End(LineActivity::EditJob);
    return link->Request(LineActivity::EditJob, [link] {
        link->StopLink();
        link->ArmDelayedAction(DelayedAction::TableEdit);
    });
}

void EditJobs::CloseMenu(QGroupBox *menu, DataGrid *grid) {
    menu->hide();
    if (grid) {
        grid->setFocus(Qt::OtherFocusReason);
        const DataGrid::Range range = grid->selectionRange();
        grid->selectCell(range.left, range.top);
    }
    ctx_.LiveTracking = true;
}

void EditJobs::MapCancel() {
    TForm1 *main = ctx_.form1;
    if (!main)
        return;
    // A running job cannot be stopped: Cancel then only hides the menu and leaves the selection the job
    // walks through alone.
    if (steps_ && steps_->TransferStep == MapEditStep) {
        main->GroupBox_Edit_menu->hide();
        return;
    }
    // The grid of the visible tab is the one the menu was opened over.
    CloseMenu(main->GroupBox_Edit_menu, main->VisibleMapGrid());
}

void EditJobs::TableCancel() {
    TForm2 *tables = ctx_.form2;
    if (!tables)
        return;
    if (steps_ && TableJobTable(steps_->TransferStep) >= 0) {
        tables->GroupBox_Edit_menu->hide();
        return;
    }
    CloseMenu(tables->GroupBox_Edit_menu, tables->tableGrid(tables->TableSelector));
}

// ---- start and end ----------------------------------------------------------------------------------------

bool EditJobs::OtherJobRunning() const {
    // A calibration write owns the step machine until it ends; an edit job must not cut into it.
    return steps_ && steps_->Running() && !IsEditStep(steps_->TransferStep);
}

void EditJobs::startEditJob() {
    if (!ctx_.form1 || OtherJobRunning())
        return;
    Job job;
    job.map = ctx_.form1->ActiveMapGrid == BoostMapGrid ? BoostMapGrid : FuelMapGrid;
    StartJob(job);
}

void EditJobs::startCorrectionTableWrite() {
    if (!ctx_.form2 || OtherJobRunning())
        return;
    Job job;
    job.table = true;
    job.index = static_cast<int>(ctx_.form2->TableSelector);
    StartJob(job);
}

void EditJobs::StartJob(const Job &job) {
    TransferMachine *machine = steps_;
    if (!machine)
        return;
    job_ = job;
    if (ctx_.form1)
        ctx_.form1->EnableValueLabels(false);
    machine->TransferStep = job.table ? TableEditStep(job.index) : MapEditStep;

    const EditRect selection = JobSelection(job);
    const int cells = job.table ? selection.right - selection.left + 1 : selection.cellCount();
    if (cells > 2) {
        Gauge(job)->setMaximum(cells);
        Gauge(job)->setValue(0);
        GaugeBox(job)->setTitle(QStringLiteral("Changing data"));
        GaugeBox(job)->show();
        GaugeBox(job)->raise();
    }

    EditCursor cursor;
    if (!BeginEdit(cursor, JobOperation(job), selection)) {
        EndJob(job, EditStepOutcome::EndedInterpolationJob);
        return;
    }
    machine->StepIndex = cursor.StepIndex;
    machine->StepRow = cursor.StepRow;
    StepSpan = cursor.StepSpan;
    if (ctx_.form1)
        ctx_.form1->InterpolationSpan = cursor.StepSpan;
    machine->StepReady = true;
    machine->EnableTimer3();
}

void EditJobs::EndJob(const Job &job, EditStepOutcome how) {
    if (steps_) {
        steps_->Finish();
        steps_->DisableTimer3();
    }
    if (ctx_.link) {
        ctx_.link->StopReplyTimeout();
        ctx_.link->End(LineActivity::EditJob);
        // The map menu's % and set value resume polling at once; everything else one delayed action later.
        if (!job.table && how == EditStepOutcome::EndedValueJob)
            ctx_.link->RequestLiveData();
        else
            ctx_.link->ArmDelayedAction(DelayedAction::Poll);
    }
    GaugeBox(job)->hide();
    QGroupBox *menu = job.table ? ctx_.form2->GroupBox_Edit_menu : ctx_.form1->GroupBox_Edit_menu;
    CloseMenu(menu, JobGrid(job));
}

void EditJobs::AbortJob() {
    // The step machine is already at rest; what is left is the job's gauge. The menu stays: "&Ok"
    // offline runs the job on the cells alone.
    if (ctx_.form1)
        ctx_.form1->GroupBox_gauge_up_down_loading->hide();
    if (ctx_.form2)
        ctx_.form2->GroupBox_gauge_up_down_loading->hide();
}

// ---- one step ---------------------------------------------------------------------------------------------

bool EditJobs::RunStep(int step) {
    if (!IsEditStep(step))
        return false;
    const int table = TableJobTable(step);
    Job job;
    job.table = table >= 0;
    job.index = job.table ? table : 0;
    job.map = job.table ? 0 : job_.map;
    if ((job.table && !ctx_.form2) || (!job.table && !ctx_.form1) || !steps_)
        return true;
    TransferMachine *machine = steps_;

    QProgressBar *gauge = Gauge(job);
    gauge->setValue(gauge->value() + 1);

    EditCursor cursor;
    cursor.StepIndex = machine->StepIndex;
    cursor.StepRow = machine->StepRow;
    cursor.StepSpan = StepSpan;

    const EditTarget target = JobTarget(job);
    GridCells cells(JobGrid(job));
    double percent = 0.0;
    double setValue = 0.0;
    if (job.table) {
        percent = ctx_.form2->AdvSpinEdit_percentvalue->value();
        setValue = ctx_.form2->AdvSpinEdit_setvalue->value();
    } else {
        percent = ctx_.form1->AdvSpinEdit_percentvalue->value();
        setValue = ctx_.form1->AdvSpinEdit_setvalue->value();
    }
    const EditStepResult result =
        RunEditStep(cursor, JobOperation(job), JobSelection(job), percent, setValue, target, cells);
    machine->StepIndex = cursor.StepIndex;
    machine->StepRow = cursor.StepRow;
    if (result.outcome != EditStepOutcome::CellWritten) {
        EndJob(job, result.outcome);
        return true;
    }

    if (ctx_.link) {
        // Online this sends "C" and the "Y" makes the step machine ready; offline it is ready at once.
        ctx_.link->WriteValue(
            TargetPayload(target, result.column, result.row, cells.value(result.column, result.row)));
    } else {
        machine->StepReady = true;
    }
    machine->EnableTimer3();
    return true;
}

// ---- what a job works on ----------------------------------------------------------------------------------

DataGrid *EditJobs::JobGrid(const Job &job) const {
    if (job.table)
        return ctx_.form2->tableGrid(static_cast<CorrectionTable>(job.index));
    return ctx_.form1->MapGrid(job.map);
}

EditTarget EditJobs::JobTarget(const Job &job) const {
    return job.table ? TableEditTarget(job.index) : MapEditTarget(job.map);
}

EditRect EditJobs::JobSelection(const Job &job) const {
    const DataGrid::Range range = JobGrid(job)->selectionRange();
    // A table has one value row.
    if (job.table)
        return {range.left, 1, range.right, 1};
    return {range.left, range.top, range.right, range.bottom};
}

EditOperation EditJobs::JobOperation(const Job &job) const {
    if (job.table) {
        const TForm2 *tables = ctx_.form2;
        if (tables->RadioButton_setvalue->isChecked())
            return EditOperation::SetValue;
        if (tables->RadioButton_hor_interpol->isChecked())
            return EditOperation::Horizontal;
        return EditOperation::Percent;
    }
    const TForm1 *main = ctx_.form1;
    if (main->RadioButton_setvalue->isChecked())
        return EditOperation::SetValue;
    if (main->RadioButton_hor_interpol->isChecked())
        return EditOperation::Horizontal;
    if (main->RadioButton_ver_interpol->isChecked())
        return EditOperation::Vertical;
    return EditOperation::Percent;
}

QGroupBox *EditJobs::GaugeBox(const Job &job) const {
    return job.table ? ctx_.form2->GroupBox_gauge_up_down_loading
                     : ctx_.form1->GroupBox_gauge_up_down_loading;
}

QProgressBar *EditJobs::Gauge(const Job &job) const {
    return job.table ? ctx_.form2->Gauge_up_down_loading : ctx_.form1->Gauge_up_down_loading;
}
