#include "windows/widgets/DataGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
const QColor DataBackground(255, 255, 255);
const QColor DataForeground(0, 0, 255);
const QColor HeaderForeground(0, 0, 0);
} // namespace

DataGrid::DataGrid(int columnCount, int rowCount, QWidget *parent)
    : QTableWidget(rowCount, columnCount, parent) {
    // Row 0 and column 0 are cells of their own, so the view's header sections stay hidden.
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);

    QPalette pal = palette();
    pal.setColor(QPalette::Active, QPalette::Highlight, QColor(0, 0, 128));
    pal.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0, 0, 128));
    pal.setColor(QPalette::Active, QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
    setPalette(pal);

    for (int row = 0; row < rowCount; ++row) {
        for (int column = 0; column < columnCount; ++column) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            styleCell(item, row == 0 || column == 0);
            setItem(row, column, item);
        }
    }
    if (rowCount > 1 && columnCount > 1)
        setCurrentCell(1, 1);
}

void DataGrid::setValueFormat(const QString &format) {
    format_ = format;
}

QString DataGrid::cellText(int column, int row) const {
    const QTableWidgetItem *cell = item(row, column);
    return cell ? cell->text() : QString();
}

void DataGrid::setCellText(int column, int row, const QString &text) {
    if (QTableWidgetItem *cell = item(row, column))
        cell->setText(text);
}

double DataGrid::cellValue(int column, int row, bool *ok) const {
    const QString text = cellText(column, row).trimmed();
    if (text.isEmpty()) {
        if (ok)
            *ok = true;
        return 0.0;
    }
    bool parsed = false;
    // QString::toDouble always reads the C locale, whatever the desktop's settings.
    const double value = text.toDouble(&parsed);
    if (ok)
        *ok = parsed;
    return parsed ? value : 0.0;
}

void DataGrid::setCellValue(int column, int row, double value) {
    QString text = QString::asprintf(format_.toLatin1().constData(), value);
    // A small negative value would otherwise show as "-0.0".
    if (text.startsWith(QLatin1Char('-'))) {
        bool ok = false;
        if (text.toDouble(&ok) == 0.0 && ok)
            text.remove(0, 1);
    }
    setCellText(column, row, text);
}

QColor DataGrid::cellColor(int column, int row) const {
    const QTableWidgetItem *cell = item(row, column);
    return cell ? cell->background().color() : QColor();
}

void DataGrid::setCellColor(int column, int row, const QColor &color) {
    if (QTableWidgetItem *cell = item(row, column))
        cell->setBackground(color);
}

void DataGrid::setFixedColor(const QColor &color) {
    fixedColor_ = color;
    for (int column = 0; column < columnCount(); ++column)
        if (QTableWidgetItem *cell = item(0, column))
            cell->setBackground(color);
    if (firstDataColumn_ == 0)
        return;
    for (int row = 1; row < rowCount(); ++row)
        if (QTableWidgetItem *cell = item(row, 0))
            cell->setBackground(color);
}

void DataGrid::styleCell(QTableWidgetItem *cell, bool header) const {
    if (header) {
        // Enabled but not selectable: the header cells never join a selection.
        cell->setFlags(Qt::ItemIsEnabled);
        QFont headerFont = font();
        headerFont.setBold(true);
        cell->setFont(headerFont);
        cell->setBackground(fixedColor_);
        // Header text stays black on silver or yellow, also in a disabled grid.
        cell->setForeground(HeaderForeground);
    } else {
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        cell->setBackground(DataBackground);
        cell->setForeground(DataForeground);
    }
}

void DataGrid::setHeaderColumn(bool on) {
    firstDataColumn_ = on ? 1 : 0;
    for (int row = 1; row < rowCount(); ++row) {
        QTableWidgetItem *cell = item(row, 0);
        if (!cell)
            continue;
        styleCell(cell, on);
        if (!on)
            cell->setFont(font());
    }
}

DataGrid::Range DataGrid::selectionRange() const {
    const int lastColumn = std::max(1, columnCount() - 1);
    const int lastRow = std::max(1, rowCount() - 1);
    auto clampColumn = [&](int c) { return std::clamp(c, firstDataColumn_, lastColumn); };
    auto clampRow = [&](int r) { return std::clamp(r, 1, lastRow); };

    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (!ranges.isEmpty()) {
        Range r{ranges.first().leftColumn(), ranges.first().topRow(), ranges.first().rightColumn(),
                ranges.first().bottomRow()};
        // A contiguous selection may still arrive in pieces; report the rectangle around them.
        for (const QTableWidgetSelectionRange &more : ranges) {
            r.left = std::min(r.left, more.leftColumn());
            r.top = std::min(r.top, more.topRow());
            r.right = std::max(r.right, more.rightColumn());
            r.bottom = std::max(r.bottom, more.bottomRow());
        }
        return {clampColumn(r.left), clampRow(r.top), clampColumn(r.right), clampRow(r.bottom)};
    }
    // With nothing selected the focused cell is the selection.
    const int column = clampColumn(currentColumn() < 0 ? firstDataColumn_ : currentColumn());
    const int row = clampRow(currentRow() < 0 ? 1 : currentRow());
    return {column, row, column, row};
}

void DataGrid::selectRange(const Range &range) {
    const int lastColumn = std::max(1, columnCount() - 1);
    const int lastRow = std::max(1, rowCount() - 1);
    const int left = std::clamp(std::min(range.left, range.right), firstDataColumn_, lastColumn);
    const int right = std::clamp(std::max(range.left, range.right), firstDataColumn_, lastColumn);
    const int top = std::clamp(std::min(range.top, range.bottom), 1, lastRow);
    const int bottom = std::clamp(std::max(range.top, range.bottom), 1, lastRow);
    clearSelection();
    setCurrentCell(top, left, QItemSelectionModel::NoUpdate);
    setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
}

void DataGrid::setColumnWidths(int pixels) {
    horizontalHeader()->setDefaultSectionSize(pixels);
    for (int column = 0; column < columnCount(); ++column)
        setColumnWidth(column, pixels);
}

void DataGrid::setRowHeights(int pixels) {
    verticalHeader()->setDefaultSectionSize(pixels);
    for (int row = 0; row < rowCount(); ++row)
        setRowHeight(row, pixels);
}

QSize DataGrid::fullSize() const {
    int width = 2 * frameWidth();
    for (int column = 0; column < columnCount(); ++column)
        width += columnWidth(column);
    int height = 2 * frameWidth();
    for (int row = 0; row < rowCount(); ++row)
        height += rowHeight(row);
    return {width, height};
}

QModelIndex DataGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    // Keys move only over data cells; the header row and column stay out of reach.
    const QModelIndex target = QTableWidget::moveCursor(cursorAction, modifiers);
    if (!target.isValid())
        return target;
    const int row = std::max(1, target.row());
    const int column = std::max(firstDataColumn_, target.column());
    return model()->index(row, column, target.parent());
}

void DataGrid::mousePressEvent(QMouseEvent *event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) {
        QTableWidget::mousePressEvent(event);
        return;
    }
    if (index.row() == 0 || index.column() < firstDataColumn_) {
        // A header click reports the cell but leaves the selection as it is.
        setFocus(Qt::MouseFocusReason);
        event->accept();
        emit ClickCell(index.row(), index.column());
        return;
    }
    QTableWidget::mousePressEvent(event);
    emit ClickCell(index.row(), index.column());
}

void DataGrid::mouseReleaseEvent(QMouseEvent *event) {
    QTableWidget::mouseReleaseEvent(event);
    emit MouseUp(event->button(), event->modifiers());
}

void DataGrid::keyPressEvent(QKeyEvent *event) {
    emit KeyDown(event->key(), event->modifiers());
    QTableWidget::keyPressEvent(event);
}

void DataGrid::keyReleaseEvent(QKeyEvent *event) {
    QTableWidget::keyReleaseEvent(event);
    emit KeyUp(event->key(), event->modifiers());
}
