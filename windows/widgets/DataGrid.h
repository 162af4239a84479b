#pragma once
// The one grid class of the program: both map grids and the four correction-table grids.
// Grid coordinates include the fixed header row 0 and fixed header column 0, and are given as
// (column, row) everywhere, like the cells of the maps. Values are stored as formatted text
// (C locale, "." as separator) and read back as the numbers written.
#include <QColor>
#include <QTableWidget>

class DataGrid : public QTableWidget {
    Q_OBJECT
public:
    // columnCount and rowCount include the fixed header column and row.
    DataGrid(int columnCount, int rowCount, QWidget *parent = nullptr);

    // printf-style number format of the data cells, e.g. "%.2f".
    void setValueFormat(const QString &format);
    QString valueFormat() const { return format_; }

    QString cellText(int column, int row) const;
    void setCellText(int column, int row, const QString &text);
    // An empty cell reads 0. `ok` is false when the text is not a number.
    double cellValue(int column, int row, bool *ok = nullptr) const;
    void setCellValue(int column, int row, double value); // formatted with valueFormat()

    QColor cellColor(int column, int row) const; // background of a data cell (white or red)
    void setCellColor(int column, int row, const QColor &color);
    QColor fixedColor() const { return fixedColor_; } // background of the header cells (silver or yellow)
    void setFixedColor(const QColor &color);

    // Without a header column (the correction tables) column 0 holds values like the others.
    void setHeaderColumn(bool on);
    bool hasHeaderColumn() const { return firstDataColumn_ == 1; }
    int firstDataColumn() const { return firstDataColumn_; }

    struct Range {
        int left = 1, top = 1, right = 1, bottom = 1;
    };
    Range selectionRange() const;
    void selectRange(const Range &range);
    void selectCell(int column, int row) { selectRange({column, row, column, row}); }

    void setColumnWidths(int pixels);
    void setRowHeights(int pixels);
    // Outer size that shows every cell without scrolling.
    QSize fullSize() const;

signals:
    void ClickCell(int row, int column);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void KeyUp(int key, Qt::KeyboardModifiers modifiers);
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    // Flags, font and colours of a header cell (row 0, and column 0 while it is a header) or a data cell.
    void styleCell(QTableWidgetItem *cell, bool header) const;
    QString format_ = QStringLiteral("%.2f");
    QColor fixedColor_ = QColor(0xC0, 0xC0, 0xC0);
    int firstDataColumn_ = 1;
};
