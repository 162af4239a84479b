#include "windows/compare/CompareWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/DataSetCodec.h"
#include "core/Dialogs.h"
#include "core/ImageLayout.h"
#include "core/ProgramFiles.h"
#include "files/CalibrationFile.h"
#include "windows/compare/CopyIntoControls.h"
#include "windows/history/CalibrationHistory.h"
#include "windows/options/OptionsWindow.h"

namespace {
const QString ControlsKey = QStringLiteral("controls");
const QString BaselineKey = QStringLiteral("baseline");
const QString SnapshotPrefix = QStringLiteral("snapshot:");
const QString FilePrefix = QStringLiteral("file:");
const QString ChooseFileKey = QStringLiteral("choose-file");
constexpr int FieldRole = Qt::UserRole;

const QStringList TableSections{FieldSection::WaterTemp, FieldSection::AirTemp, FieldSection::Battery,
                                FieldSection::AirPressure};

// White for no difference; towards red where the second side is higher, towards blue where lower.
QColor DifferenceColour(double difference, double largest) {
    if (difference == 0 || largest <= 0)
        return QColor(Qt::white);
    const double strength = 0.25 + 0.75 * std::min(1.0, std::abs(difference) / largest);
    const int fade = int(255 * (1 - 0.8 * strength));
    return difference > 0 ? QColor(255, fade, fade) : QColor(fade, fade, 255);
}

QString WithUnit(const QString &value, const CalibrationField &field) {
    return field.unit.isEmpty() || value.isEmpty() ? value : value + QLatin1Char(' ') + field.unit;
}

QTableWidget *MakeGrid(const QString &name, int rows, int columns, QWidget *parent) {
    auto *grid = new QTableWidget(rows, columns, parent);
    grid->setObjectName(name);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->horizontalHeader()->setDefaultSectionSize(46);
    grid->verticalHeader()->setDefaultSectionSize(18);
    for (int c = 0; c < columns; ++c)
        grid->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::number(c)));
    return grid;
}
} // namespace

CompareWindow::CompareWindow(AppContext &ctx, CalibrationHistory *history, CopyIntoControls *copier,
                             QWidget *parent)
    : QWidget(parent, Qt::Window), ctx_(ctx), history_(history), copier_(copier) {
    setObjectName(QStringLiteral("CompareWindow"));
    setWindowTitle(QStringLiteral("Compare calibrations"));
    // Escape closes it, as it closes a dialog.
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);
    askForFile = [this] {
        return QFileDialog::getOpenFileName(
            this, QStringLiteral("Open"), ProgramFiles::Locate(ctx_.ProgramDirectory).calibrationDirectory(),
            QStringLiteral("Fuel map (*.f03 *.f00 *.f0*)"));
    };
    build();
    auto refreshShown = [this] {
        if (isVisible())
            refresh();
    };
    if (copier_)
        connect(copier_, &CopyIntoControls::copied, this, refreshShown);
    if (history_)
        connect(history_, &CalibrationHistory::changed, this, refreshShown);
}

void CompareWindow::build() {
    auto *layout = new QVBoxLayout(this);
    auto *choice = new QHBoxLayout;
    ComboBox_compare_first = new QComboBox(this);
    ComboBox_compare_first->setObjectName(QStringLiteral("ComboBox_compare_first"));
    ComboBox_compare_second = new QComboBox(this);
    ComboBox_compare_second->setObjectName(QStringLiteral("ComboBox_compare_second"));
    for (QComboBox *list : {ComboBox_compare_first, ComboBox_compare_second})
        list->setMinimumWidth(300);
    choice->addWidget(new QLabel(QStringLiteral("Compare"), this));
    choice->addWidget(ComboBox_compare_first, 1);
    choice->addWidget(new QLabel(QStringLiteral("with"), this));
    choice->addWidget(ComboBox_compare_second, 1);
    layout->addLayout(choice);

    Label_compare_summary = new QLabel(this);
    Label_compare_summary->setObjectName(QStringLiteral("Label_compare_summary"));
    Label_compare_summary->setWordWrap(true);
    layout->addWidget(Label_compare_summary);

    PageControl_compare = new QTabWidget(this);
    PageControl_compare->setObjectName(QStringLiteral("PageControl_compare"));
    Grid_compare_fuel = MakeGrid(QStringLiteral("Grid_compare_fuel"), MapRows, MapColumns, this);
    Grid_compare_boost = MakeGrid(QStringLiteral("Grid_compare_boost"), MapRows, MapColumns, this);
    PageControl_compare->addTab(Grid_compare_fuel, FieldSection::InjectionMap);
    PageControl_compare->addTab(Grid_compare_boost, FieldSection::BoostMap);

    auto *tablesPage = new QWidget(this);
    auto *tablesLayout = new QVBoxLayout(tablesPage);
    const QStringList gridNames{QStringLiteral("Grid_compare_water"), QStringLiteral("Grid_compare_airtemp"),
                                QStringLiteral("Grid_compare_battery"),
                                QStringLiteral("Grid_compare_airpressure")};
    for (int t = 0; t < TableSections.size(); ++t) {
        QTableWidget *grid = MakeGrid(gridNames[t], 1, TableEntries, tablesPage);
        for (int c = 0; c < TableEntries; ++c)
            grid->horizontalHeaderItem(c)->setText(QString::number(c + 1));
        grid->setFixedHeight(62);
        tablesLayout->addWidget(new QLabel(TableSections[t], tablesPage));
        tablesLayout->addWidget(grid);
        Grid_compare_tables.append(grid);
    }
    tablesLayout->addStretch(1);
    PageControl_compare->addTab(tablesPage, QStringLiteral("Correction tables"));

    auto *optionsPage = new QWidget(this);
    auto *optionsLayout = new QVBoxLayout(optionsPage);
    CheckBox_compare_all_fields = new QCheckBox(QStringLiteral("Show all fields"), optionsPage);
    CheckBox_compare_all_fields->setObjectName(QStringLiteral("CheckBox_compare_all_fields"));
    List_compare_options = new QTableWidget(0, 3, optionsPage);
    List_compare_options->setObjectName(QStringLiteral("List_compare_options"));
    List_compare_options->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List_compare_options->setSelectionBehavior(QAbstractItemView::SelectRows);
    List_compare_options->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    List_compare_options->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    List_compare_options->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    List_compare_options->verticalHeader()->hide();
    optionsLayout->addWidget(CheckBox_compare_all_fields);
    optionsLayout->addWidget(List_compare_options);
    PageControl_compare->addTab(optionsPage, FieldSection::Options);
    layout->addWidget(PageControl_compare, 1);

    auto *buttons = new QHBoxLayout;
    auto *legend = new QLabel(QStringLiteral("Cells show the first side. Red: the second is higher, blue: "
                                             "lower; tooltips give both values."),
                              this);
    legend->setWordWrap(true);
    Button_copy_selection = new QPushButton(QStringLiteral("Copy selection into controls"), this);
    Button_copy_selection->setObjectName(QStringLiteral("Button_copy_selection"));
    Button_copy_section = new QPushButton(QStringLiteral("Copy whole section into controls"), this);
    Button_copy_section->setObjectName(QStringLiteral("Button_copy_section"));
    buttons->addWidget(legend, 1);
    buttons->addWidget(Button_copy_selection);
    buttons->addWidget(Button_copy_section);
    layout->addLayout(buttons);
    resize(900, 620);

    connect(ComboBox_compare_first, &QComboBox::activated, this,
            [this] { chooseSide(ComboBox_compare_first, first_); });
    connect(ComboBox_compare_second, &QComboBox::activated, this,
            [this] { chooseSide(ComboBox_compare_second, second_); });
    connect(CheckBox_compare_all_fields, &QCheckBox::toggled, this, [this] { fillOptions(); });
    connect(Button_copy_selection, &QPushButton::clicked, this, [this] { copySelection(); });
    connect(Button_copy_section, &QPushButton::clicked, this, [this] { copySection(); });
}

// ---- the two sides ---------------------------------------------------------------------------------------

CompareSide CompareWindow::loadSide(const QString &key) const {
    CompareSide side;
    side.key = key;
    if (key == ControlsKey) {
        side.label = QStringLiteral("Current controls");
        side.version = ctx_.form3 ? ctx_.form3->currentVersion() : QString();
        side.words = ctx_.form3 ? EncodeImage(ctx_) : QVector<std::uint16_t>();
        side.valid = ctx_.form3 != nullptr;
    } else if (key == BaselineKey) {
        side.label = QStringLiteral("Last read or loaded");
        side.version = ctx_.baseline.version;
        side.words = ctx_.baseline.words;
        side.valid = !side.words.isEmpty();
    } else if (key.startsWith(SnapshotPrefix) && history_ && history_->store()) {
        if (const std::optional<Snapshot> s = history_->store()->load(key.mid(SnapshotPrefix.size()))) {
            side.label = QStringLiteral("%1, %2").arg(
                s->entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), s->entry.source);
            side.version = s->entry.version;
            side.words = s->words;
            side.valid = true;
        }
    } else if (key.startsWith(FilePrefix)) {
        const QString path = key.mid(FilePrefix.size());
        QFile file(path);
        if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly))
            if (const auto contents = DecodeCalibrationFile(file.read(CalibrationFileLayout::MaxFileBytes))) {
                side.label = QFileInfo(path).fileName();
                side.version = contents->version;
                side.words = contents->image;
                side.valid = true;
            }
    }
    return side;
}

void CompareWindow::fillSourceLists() {
    filling_ = true;
    for (QComboBox *list : {ComboBox_compare_first, ComboBox_compare_second}) {
        const CompareSide &side = list == ComboBox_compare_first ? first_ : second_;
        list->clear();
        list->addItem(QStringLiteral("Current controls"), ControlsKey);
        list->addItem(QStringLiteral("Last read or loaded"), BaselineKey);
        if (history_ && history_->store())
            for (const SnapshotEntry &e : history_->store()->entries())
                list->addItem(
                    QStringLiteral("Snapshot %1, %2")
                        .arg(e.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), e.source),
                    SnapshotPrefix + e.id);
        if (side.key.startsWith(FilePrefix))
            list->addItem(QStringLiteral("File %1").arg(side.label), side.key);
        list->addItem(QStringLiteral("File..."), ChooseFileKey);
        list->setCurrentIndex(std::max(0, list->findData(side.key)));
    }
    filling_ = false;
}

void CompareWindow::chooseSide(QComboBox *list, CompareSide &side) {
    if (filling_)
        return;
    QString key = list->currentData().toString();
    if (key == ChooseFileKey) {
        const QString path = askForFile ? askForFile() : QString();
        if (path.isEmpty()) {
            fillSourceLists();
            return;
        }
        key = FilePrefix + path;
    }
    side = loadSide(key);
    if (!side.valid && ctx_.dialogs)
        ctx_.dialogs->warning(QStringLiteral("This calibration cannot be read."));
    fillSourceLists();
    showDifferences();
}

void CompareWindow::showComparison(const QString &firstKey, const QString &secondKey) {
    first_ = loadSide(firstKey);
    second_ = loadSide(secondKey);
    fillSourceLists();
    showDifferences();
    show();
    raise();
    activateWindow();
}

void CompareWindow::refresh() {
    first_ = loadSide(first_.key);
    second_ = loadSide(second_.key);
    fillSourceLists();
    showDifferences();
}

// ---- what differs ----------------------------------------------------------------------------------------

void CompareWindow::showDifferences() {
    // Both sides are read through the first one's firmware; the words of one address mean the same in all.
    fields_ = CalibrationFields(first_.version, first_.words);
    int differing = 0;
    for (const CalibrationField &f : fields_)
        if (f.words.first() != ImageWord::Reserved510 && f.words.first() != ImageWord::Reserved511 &&
            !FieldEqual(f, first_.words, second_.words))
            ++differing;
    QString text;
    if (!first_.valid || !second_.valid)
        text = QStringLiteral("Choose two calibrations to compare.");
    else if (differing == 0)
        text = QStringLiteral("Nothing different: the two calibrations are the same.");
    else
        text = QStringLiteral("%1 field(s) differ.").arg(differing);
    if (first_.valid && second_.valid && first_.version != second_.version)
        text += QStringLiteral(" Different firmware: %1 and %2.").arg(first_.version, second_.version);
    Label_compare_summary->setText(text);

    fillGrid(Grid_compare_fuel, FieldSection::InjectionMap);
    fillGrid(Grid_compare_boost, FieldSection::BoostMap);
    PageControl_compare->setTabVisible(1, ImageWordCount(first_.version) > BoostMapStart &&
                                              VersionAtLeast(first_.version, QStringLiteral("3FA1AC")));
    for (int t = 0; t < TableSections.size(); ++t)
        fillGrid(Grid_compare_tables[t], TableSections[t]);
    fillOptions();
    const bool copy = canCopy();
    Button_copy_selection->setEnabled(copy);
    Button_copy_section->setEnabled(copy);
}

void CompareWindow::fillGrid(QTableWidget *grid, const QString &section) {
    grid->clearContents();
    const bool map = section == FieldSection::InjectionMap || section == FieldSection::BoostMap;
    double largest = 0;
    for (const CalibrationField &f : fields_)
        if (f.section == section)
            if (const auto a = FieldNumber(f, first_.words), b = FieldNumber(f, second_.words); a && b)
                largest = std::max(largest, std::abs(*b - *a));
    for (int i = 0; i < fields_.size(); ++i) {
        const CalibrationField &f = fields_[i];
        if (f.section != section)
            continue;
        const int row = map ? f.gridRow - 1 : 0;
        const int column = map ? f.gridColumn - 1 : f.gridColumn;
        auto *item = new QTableWidgetItem(FieldValueText(f, first_.words));
        item->setData(FieldRole, i);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const auto a = FieldNumber(f, first_.words), b = FieldNumber(f, second_.words);
        const bool equal = FieldEqual(f, first_.words, second_.words);
        item->setBackground(equal || !a || !b ? QColor(Qt::white) : DifferenceColour(*b - *a, largest));
        QString tip = QStringLiteral("%1\n%2: %3\n%4: %5")
                          .arg(f.name, first_.label, WithUnit(FieldValueText(f, first_.words), f),
                               second_.label, WithUnit(FieldValueText(f, second_.words), f));
        if (!equal && a && b)
            tip += QStringLiteral("\nDifference: %1%2")
                       .arg(*b - *a > 0 ? QStringLiteral("+") : QString())
                       .arg(*b - *a);
        item->setToolTip(tip);
        grid->setItem(row, column, item);
        if (map && f.gridColumn == 1)
            grid->setVerticalHeaderItem(row,
                                        new QTableWidgetItem(f.name.section(QStringLiteral(", "), 1, 1)));
    }
}

void CompareWindow::fillOptions() {
    const bool all = CheckBox_compare_all_fields->isChecked();
    List_compare_options->clearContents();
    List_compare_options->setRowCount(0);
    List_compare_options->setHorizontalHeaderLabels({QStringLiteral("Field"), first_.label, second_.label});
    for (int i = 0; i < fields_.size(); ++i) {
        const CalibrationField &f = fields_[i];
        if (f.gridColumn >= 0 && f.section != FieldSection::RpmRange)
            continue;
        const bool equal = FieldEqual(f, first_.words, second_.words);
        if (equal && !all)
            continue;
        const int row = List_compare_options->rowCount();
        List_compare_options->insertRow(row);
        auto *name = new QTableWidgetItem(f.name);
        name->setData(FieldRole, i);
        List_compare_options->setItem(row, 0, name);
        List_compare_options->setItem(row, 1,
                                      new QTableWidgetItem(WithUnit(FieldValueText(f, first_.words), f)));
        List_compare_options->setItem(row, 2,
                                      new QTableWidgetItem(WithUnit(FieldValueText(f, second_.words), f)));
        if (!equal)
            for (int c = 0; c < 3; ++c)
                List_compare_options->item(row, c)->setBackground(QColor(255, 236, 180));
    }
}

// ---- copying into the controls ---------------------------------------------------------------------------

bool CompareWindow::controlsSideIsFirst() const {
    return first_.key == ControlsKey;
}

bool CompareWindow::canCopy() const {
    const bool oneIsControls = (first_.key == ControlsKey) != (second_.key == ControlsKey);
    return copier_ && oneIsControls && first_.valid && second_.valid && first_.version == second_.version;
}

QVector<CalibrationField> CompareWindow::selectedFields(bool wholeSection) const {
    QVector<CalibrationField> chosen;
    QWidget *page = PageControl_compare->currentWidget();
    QList<QTableWidget *> grids;
    if (page == Grid_compare_fuel || page == Grid_compare_boost)
        grids << qobject_cast<QTableWidget *>(page);
    else if (page == List_compare_options->parentWidget())
        grids << List_compare_options;
    else
        for (QTableWidget *grid : Grid_compare_tables)
            if (!grid->selectedItems().isEmpty())
                grids << grid;
    for (QTableWidget *grid : grids) {
        if (wholeSection) {
            const QTableWidgetItem *any = grid->item(0, 0);
            if (!any)
                continue;
            const QString section = fields_.value(any->data(FieldRole).toInt()).section;
            for (const CalibrationField &f : fields_)
                if (grid == List_compare_options ? (f.gridColumn < 0 || f.section == FieldSection::RpmRange)
                                                 : f.section == section)
                    chosen.append(f);
            continue;
        }
        for (const QTableWidgetItem *item : grid->selectedItems()) {
            const QVariant index = item->data(FieldRole);
            if (index.isValid() && (grid != List_compare_options || item->column() == 0))
                chosen.append(fields_.value(index.toInt()));
        }
    }
    return chosen;
}

bool CompareWindow::copyFields(const QVector<CalibrationField> &fields) {
    if (!canCopy() || fields.isEmpty())
        return false;
    const CompareSide &source = controlsSideIsFirst() ? second_ : first_;
    if (!copier_->copy(fields, source.words)) {
        if (ctx_.dialogs)
            ctx_.dialogs->information(
                QStringLiteral("The ECU is busy with another transfer: copy when it has finished."));
        return false;
    }
    return true;
}

bool CompareWindow::copySelection() {
    return copyFields(selectedFields(false));
}

bool CompareWindow::copySection() {
    return copyFields(selectedFields(true));
}
