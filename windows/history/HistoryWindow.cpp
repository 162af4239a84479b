#include "windows/history/HistoryWindow.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSet>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "windows/history/CalibrationHistory.h"

namespace {
constexpr int IdRole = Qt::UserRole;
const QString AllEcus = QStringLiteral("All ECUs");
const QString NoSerial = QStringLiteral("(no serial number)");

QString Shown(const QDateTime &time) {
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
} // namespace

HistoryWindow::HistoryWindow(CalibrationHistory &history, Dialogs *dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window), history_(history), dialogs_(dialogs) {
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(QStringLiteral("Calibration history"));
    // Escape closes it, as it closes a dialog.
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);
    askSavePath = [this](const QString &proposed) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save as"), proposed,
                                            QStringLiteral("Fuel map (*.f03 *.f00 *.f0*)"));
    };
    askNote = [this](const QString &note) -> std::optional<QString> {
        bool ok = false;
        const QString text = QInputDialog::getText(this, QStringLiteral("Note"), QStringLiteral("Note:"),
                                                   QLineEdit::Normal, note, &ok);
        return ok ? std::optional<QString>(text) : std::nullopt;
    };

    auto *layout = new QVBoxLayout(this);
    auto *filter = new QHBoxLayout;
    ComboBox_history_serial = new QComboBox(this);
    ComboBox_history_serial->setObjectName(QStringLiteral("ComboBox_history_serial"));
    ComboBox_history_serial->setMinimumWidth(200);
    filter->addWidget(new QLabel(QStringLiteral("ECU serial number:"), this));
    filter->addWidget(ComboBox_history_serial);
    filter->addStretch(1);
    layout->addLayout(filter);

    List_history = new QTableWidget(0, 6, this);
    List_history->setObjectName(QStringLiteral("List_history"));
    List_history->setHorizontalHeaderLabels({QStringLiteral("Time"), QStringLiteral("Source"),
                                             QStringLiteral("Version"), QStringLiteral("Serial"),
                                             QStringLiteral("Note"), QStringLiteral("Write check")});
    List_history->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List_history->setSelectionBehavior(QAbstractItemView::SelectRows);
    List_history->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List_history->verticalHeader()->hide();
    List_history->horizontalHeader()->setStretchLastSection(true);
    List_history->setColumnWidth(0, 140);
    List_history->setColumnWidth(1, 110);
    List_history->setColumnWidth(4, 180);
    layout->addWidget(List_history, 1);

    auto *buttons = new QHBoxLayout;
    auto button = [&](const char *name, const QString &text, const QString &hint) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        buttons->addWidget(b);
        return b;
    };
    Button_history_compare_controls =
        button("Button_history_compare_controls", QStringLiteral("Compare with controls"),
               QStringLiteral("Compare the selected snapshot with the controls"));
    Button_history_compare_two = button("Button_history_compare_two", QStringLiteral("Compare the two"),
                                        QStringLiteral("Compare the two selected snapshots"));
    Button_history_restore =
        button("Button_history_restore", QStringLiteral("Restore"),
               QStringLiteral("Into the controls, as a file load: then Down-load writes it to the ECU"));
    Button_history_save = button("Button_history_save", QStringLiteral("Save as file..."),
                                 QStringLiteral("Save the snapshot as a calibration file"));
    Button_history_note = button("Button_history_note", QStringLiteral("Note..."),
                                 QStringLiteral("Write a note of your own to the snapshot"));
    layout->addLayout(buttons);
    resize(820, 460);

    connect(ComboBox_history_serial, &QComboBox::activated, this, [this] { refresh(); });
    connect(List_history, &QTableWidget::itemSelectionChanged, this, [this] { updateButtons(); });
    connect(Button_history_compare_controls, &QPushButton::clicked, this, [this] { compareWithControls(); });
    connect(Button_history_compare_two, &QPushButton::clicked, this, [this] { compareTwo(); });
    connect(Button_history_restore, &QPushButton::clicked, this, [this] { restore(); });
    connect(Button_history_save, &QPushButton::clicked, this, [this] { saveAs(); });
    connect(Button_history_note, &QPushButton::clicked, this, [this] { editNote(); });
    connect(&history_, &CalibrationHistory::changed, this, [this] {
        if (isVisible())
            refresh();
    });
    refresh();
}

void HistoryWindow::refresh() {
    const QString filter =
        ComboBox_history_serial->currentIndex() > 0 ? ComboBox_history_serial->currentText() : QString();
    const QStringList selected = selectedIds();
    const QVector<SnapshotEntry> entries =
        history_.store() ? history_.store()->entries() : QVector<SnapshotEntry>();

    QStringList serials;
    for (const SnapshotEntry &e : entries) {
        const QString serial = e.serial.isEmpty() ? NoSerial : e.serial;
        if (!serials.contains(serial))
            serials << serial;
    }
    ComboBox_history_serial->clear();
    ComboBox_history_serial->addItem(AllEcus);
    ComboBox_history_serial->addItems(serials);
    ComboBox_history_serial->setCurrentIndex(std::max(0, int(ComboBox_history_serial->findText(filter))));

    List_history->setRowCount(0);
    for (const SnapshotEntry &e : entries) {
        if (!filter.isEmpty() && (e.serial.isEmpty() ? NoSerial : e.serial) != filter)
            continue;
        const int row = List_history->rowCount();
        List_history->insertRow(row);
        const QStringList cells{Shown(e.time), e.source, e.version, e.serial, e.note, e.outcome};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setData(IdRole, e.id);
            List_history->setItem(row, c, item);
        }
        if (e.outcome.startsWith(QLatin1String("verify failed")))
            List_history->item(row, 5)->setForeground(QColor(176, 0, 0));
        if (selected.contains(e.id))
            List_history->selectRow(row);
    }
    updateButtons();
}

QStringList HistoryWindow::selectedIds() const {
    QStringList ids;
    for (int row = 0; row < List_history->rowCount(); ++row)
        if (List_history->item(row, 0) && List_history->item(row, 0)->isSelected())
            ids << List_history->item(row, 0)->data(IdRole).toString();
    return ids;
}

void HistoryWindow::updateButtons() {
    const int n = int(selectedIds().size());
    Button_history_compare_controls->setEnabled(n == 1);
    Button_history_compare_two->setEnabled(n == 2);
    Button_history_restore->setEnabled(n == 1);
    Button_history_save->setEnabled(n == 1);
    Button_history_note->setEnabled(n == 1);
}

void HistoryWindow::compareWithControls() {
    const QStringList ids = selectedIds();
    if (ids.size() == 1 && onCompare)
        onCompare(QStringLiteral("controls"), QStringLiteral("snapshot:") + ids.first());
}

void HistoryWindow::compareTwo() {
    const QStringList ids = selectedIds();
    // Older first: the grids then show how the newer one differs.
    if (ids.size() == 2 && onCompare)
        onCompare(QStringLiteral("snapshot:") + ids.last(), QStringLiteral("snapshot:") + ids.first());
}

void HistoryWindow::restore() {
    const QStringList ids = selectedIds();
    if (ids.size() == 1)
        history_.restore(ids.first());
}

void HistoryWindow::saveAs() {
    const QStringList ids = selectedIds();
    if (ids.size() != 1 || !history_.store() || !askSavePath)
        return;
    const std::optional<Snapshot> snapshot = history_.store()->load(ids.first());
    if (!snapshot)
        return;
    const QString source = history_.store()->filePath(snapshot->entry);
    const QString path = askSavePath(QFileInfo(source).fileName());
    if (path.isEmpty())
        return;
    QFile in(source);
    QSaveFile out(path);
    const QByteArray bytes = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    if (bytes.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() ||
        !out.commit())
        if (dialogs_)
            dialogs_->error(QStringLiteral("The file could not be written:\n%1").arg(path));
}

void HistoryWindow::editNote() {
    const QStringList ids = selectedIds();
    if (ids.size() != 1 || !history_.store() || !askNote)
        return;
    const std::optional<Snapshot> snapshot = history_.store()->load(ids.first());
    const std::optional<QString> note = askNote(snapshot ? snapshot->entry.note : QString());
    if (note && history_.store()->setNote(ids.first(), *note))
        refresh();
}
