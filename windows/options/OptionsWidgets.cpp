#include "windows/options/OptionsWidgets.h"

#include <QLineEdit>

namespace OptionsWidgets {

QLabel *label(const QString &name, const QString &text, QWidget *parent) {
    return named(new QLabel(text, parent), name);
}

QLabel *panel(const QString &name, const QString &caption, const QColor &color, QWidget *parent) {
    auto *p = named(new QLabel(caption, parent), name);
    p->setAutoFillBackground(true);
    p->setAlignment(Qt::AlignCenter);
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Raised);
    QPalette pal = p->palette();
    pal.setColor(QPalette::Window, color);
    p->setPalette(pal);
    return p;
}

QPushButton *button(const QString &name, const QString &text, QWidget *parent) {
    return named(new QPushButton(text, parent), name);
}

QGroupBox *group(const QString &name, const QString &title, QWidget *parent) {
    return named(new QGroupBox(title, parent), name);
}

namespace {
// What the whole and the decimal spin boxes share: range, step, start value, hint, right-aligned digits.
template <class Spin, class Value>
Spin *setUpSpin(Spin *s, Value minimum, Value maximum, Value step, Value value, const QString &hint) {
    s->setRange(minimum, maximum);
    s->setSingleStep(step);
    s->setValue(value);
    s->setToolTip(hint);
    s->setAlignment(Qt::AlignRight);
    return s;
}
} // namespace

QSpinBox *spin(const QString &name, int minimum, int maximum, int step, int value, const QString &hint,
               QWidget *parent) {
    return setUpSpin(named(new QSpinBox(parent), name), minimum, maximum, step, value, hint);
}

QDoubleSpinBox *decimalSpin(const QString &name, double minimum, double maximum, double step, int decimals,
                            double value, const QString &hint, QWidget *parent) {
    auto *s = named(new QDoubleSpinBox(parent), name);
    s->setDecimals(decimals); // before the range: the range is rounded to the decimals
    return setUpSpin(s, minimum, maximum, step, value, hint);
}

QComboBox *list(const QString &name, const QStringList &items, bool editable, QWidget *parent) {
    auto *c = named(new QComboBox(parent), name);
    c->addItems(items);
    if (editable) {
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setCompleter(nullptr);
    }
    c->setCurrentIndex(0);
    return c;
}

void fillPanel(QGroupBox *box, int spacing, std::initializer_list<PanelPart> parts, QPushButton *ok,
               QPushButton *cancel) {
    auto *v = new QVBoxLayout(box);
    v->setContentsMargins(12, 16, 12, 12);
    if (spacing >= 0)
        v->setSpacing(spacing);
    for (const PanelPart &part : parts) {
        if (part.widget)
            v->addWidget(part.widget);
        else
            v->addLayout(part.layout);
    }
    v->addStretch(1);
    v->addLayout(okCancelRow(ok, cancel));
}

QGridLayout *innerGrid(QGroupBox *box, int verticalSpacing) {
    auto *g = new QGridLayout(box);
    g->setContentsMargins(10, 14, 10, 10);
    if (verticalSpacing >= 0)
        g->setVerticalSpacing(verticalSpacing);
    return g;
}

void addRows(QGridLayout *grid, std::initializer_list<std::initializer_list<QWidget *>> rows, int firstRow) {
    int row = firstRow;
    for (const auto &cells : rows) {
        int column = 0;
        for (QWidget *cell : cells) {
            if (cell)
                grid->addWidget(cell, row, column);
            ++column;
        }
        ++row;
    }
}

void setControlsEnabled(QGroupBox *box, bool on) {
    for (QWidget *control : box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        control->setEnabled(on);
}

QHBoxLayout *okCancelRow(QPushButton *ok, QPushButton *cancel) {
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton *b : {ok, cancel}) {
        b->setMinimumWidth(90);
        row->addWidget(b);
    }
    return row;
}

void setCaptionColor(QGroupBox *box, const QColor &color) {
    box->setProperty("captionColor", color);
    box->setStyleSheet(
        QStringLiteral("QGroupBox#%1::title { color: %2; }").arg(box->objectName(), color.name()));
}

QColor captionColor(const QGroupBox *box) {
    const QVariant v = box->property("captionColor");
    return v.isValid() ? v.value<QColor>() : box->palette().color(QPalette::WindowText);
}

} // namespace OptionsWidgets
