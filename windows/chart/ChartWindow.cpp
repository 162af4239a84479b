#include "windows/chart/ChartWindow.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QScreen>
#include <QStackedBarSeries>
#include <QToolButton>
#include <QValueAxis>

#include "app/AppContext.h"

namespace {
constexpr int WindowHeight = 479;
constexpr int WindowWidth = 780;
constexpr int ButtonSize = 22;
constexpr int LegendWidth = 150;
const char *const FooterText = "             DATA IS NOT LOCKED !!!";

QToolButton *makeButton(QWidget *parent, const char *name, Qt::ArrowType arrow,
                        const QString &text = QString()) {
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(false);
    if (text.isEmpty())
        button->setArrowType(arrow);
    else
        button->setText(text);
    button->resize(ButtonSize, ButtonSize);
    return button;
}
} // namespace

TForm4::TForm4(AppContext &ctx, QWidget *parent) : QWidget(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowFlags(windowFlags() | Qt::Window | Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("Chart"));
    // Key preview: no child takes the focus, so every key of the window reaches the window itself.
    setFocusPolicy(Qt::StrongFocus);
    resize(WindowWidth, WindowHeight);
    buildControls();
    ConnectToWindows();
}

TForm4::~TForm4() = default;

void TForm4::buildControls() {
    chart_ = new QChart();
    chart_->setObjectName(QStringLiteral("Chart1Chart"));
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setBackgroundBrush(QColor(236, 236, 236));
    chart_->setPlotAreaBackgroundBrush(QColor(200, 200, 200));
    chart_->setPlotAreaBackgroundVisible(true);
    // Room on the left for the buttons and at the bottom for the footer.
    chart_->setMargins(QMargins(60, 4, LegendWidth + 4, 22));
    QFont titleFont = chart_->titleFont();
    titleFont.setPointSize(11);
    titleFont.setBold(true);
    chart_->setTitleFont(titleFont);

    Series1 = new QStackedBarSeries(chart_);
    Series1->setObjectName(QStringLiteral("Series1"));
    Series1->setBarWidth(1.0);
    chart_->addSeries(Series1);

    Series2 = new QLineSeries(chart_);
    Series2->setObjectName(QStringLiteral("Series2"));
    Series2->setName(QStringLiteral("Max injection-time"));
    QPen linePen(QColor(255, 255, 0));
    linePen.setWidth(2);
    Series2->setPen(linePen);
    Series2->setPointsVisible(true);
    Series2->setMarkerSize(5);
    Series2->setPointLabelsFormat(QStringLiteral("@yPoint"));
    Series2->setPointLabelsColor(QColor(0, 0, 0));
    Series2->setPointLabelsClipping(true);
    chart_->addSeries(Series2);

    LeftAxis = new QValueAxis(chart_);
    LeftAxis->setObjectName(QStringLiteral("LeftAxis"));
    LeftAxis->setTickType(QValueAxis::TicksDynamic);
    LeftAxis->setLabelFormat(QStringLiteral("%g"));
    BottomAxis = new QBarCategoryAxis(chart_);
    BottomAxis->setObjectName(QStringLiteral("BottomAxis"));
    chart_->addAxis(LeftAxis, Qt::AlignLeft);
    chart_->addAxis(BottomAxis, Qt::AlignBottom);
    Series1->attachAxis(LeftAxis);
    Series1->attachAxis(BottomAxis);
    Series2->attachAxis(LeftAxis);
    Series2->attachAxis(BottomAxis);

    // Up to 32 values do not fit a chart legend of one column in 479 pixels: the window draws its own.
    chart_->legend()->setVisible(false);

    Chart1 = new QChartView(chart_, this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart1->setFocusPolicy(Qt::NoFocus);
    Chart1->setGeometry(rect());

    ChartLegend = new QLabel(Chart1);
    ChartLegend->setObjectName(QStringLiteral("ChartLegend"));
    ChartLegend->setTextFormat(Qt::RichText);
    ChartLegend->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont legendFont = ChartLegend->font();
    legendFont.setPointSize(8);
    ChartLegend->setFont(legendFont);
    ChartLegend->setStyleSheet(
        QStringLiteral("background: rgb(200, 200, 200); border: 1px solid rgb(150, 150, 150);"
                       "padding: 3px;"));
    ChartLegend->hide();

    ChartFooter = new QLabel(QString::fromLatin1(FooterText), Chart1);
    ChartFooter->setObjectName(QStringLiteral("ChartFooter"));
    QFont footerFont = ChartFooter->font();
    footerFont.setBold(true);
    ChartFooter->setFont(footerFont);
    ChartFooter->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0); background: transparent;"));
    ChartFooter->adjustSize();
    ChartFooter->hide();

    SpeedButton_omhoog =
        makeButton(Chart1, "SpeedButton_omhoog", Qt::NoArrow, QStringLiteral("\u25B2\u25B2"));
    SpeedButton_omlaag =
        makeButton(Chart1, "SpeedButton_omlaag", Qt::NoArrow, QStringLiteral("\u25BC\u25BC"));
    SpeedButton_omhoog->resize(ButtonSize + 4, ButtonSize);
    SpeedButton_omlaag->resize(ButtonSize + 4, ButtonSize);
    SpeedButton_bar_verhogen = makeButton(Chart1, "SpeedButton_bar_verhogen", Qt::UpArrow);
    SpeedButton_bar_verlagen = makeButton(Chart1, "SpeedButton_bar_verlagen", Qt::DownArrow);
    SpeedButton_selectiebar_naar_links =
        makeButton(Chart1, "SpeedButton_selectiebar_naar_links", Qt::LeftArrow);
    SpeedButton_selectiebar_naar_rechts =
        makeButton(Chart1, "SpeedButton_selectiebar_naar_rechts", Qt::RightArrow);
    SpeedButton_selectiebar_naar_links->setToolTip(QStringLiteral("Bar selection to the Left"));
    SpeedButton_selectiebar_naar_rechts->setToolTip(QStringLiteral("Bar selection to the Right"));

    connect(SpeedButton_omhoog, &QToolButton::clicked, this, &TForm4::SpeedButton_omhoogClick);
    connect(SpeedButton_omlaag, &QToolButton::clicked, this, &TForm4::SpeedButton_omlaagClick);
    connect(SpeedButton_selectiebar_naar_links, &QToolButton::clicked, this,
            &TForm4::SpeedButton_selectiebar_naar_linksClick);
    connect(SpeedButton_selectiebar_naar_rechts, &QToolButton::clicked, this,
            &TForm4::SpeedButton_selectiebar_naar_rechtsClick);
    // The bar buttons act on press and release (with the modifiers of the mouse event), not on click.
    SpeedButton_bar_verhogen->installEventFilter(this);
    SpeedButton_bar_verlagen->installEventFilter(this);

    placeButtons();
    placeFooter();
    placeLegend();
}

void TForm4::placeWindow(int top) {
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect();
    resize(width(), WindowHeight);
    move(area.left() + 53, area.top() + top);
    // A hidden window gets its resize event only when shown; the buttons need the chart height now.
    Chart1->setGeometry(rect());
    placeButtons();
    placeFooter();
    placeLegend();
}

void TForm4::placeButtons() {
    if (!Chart1)
        return;
    const int h = Chart1->height();
    // A cross of bar buttons in the bottom-left corner, the line buttons above it.
    SpeedButton_selectiebar_naar_links->move(4, h - 36);
    SpeedButton_selectiebar_naar_rechts->move(4 + 2 * (ButtonSize + 2), h - 36);
    SpeedButton_bar_verhogen->move(4 + ButtonSize + 2, h - 48);
    SpeedButton_bar_verlagen->move(4 + ButtonSize + 2, h - 23);
    SpeedButton_omhoog->move(4, h - 94);
    SpeedButton_omlaag->move(4 + ButtonSize + 8, h - 94);
}

void TForm4::placeLegend() {
    if (!ChartLegend)
        return;
    ChartLegend->adjustSize();
    const int x = Chart1->width() - LegendWidth + (LegendWidth - ChartLegend->width()) / 2;
    ChartLegend->move(qMax(0, x), qMax(0, (Chart1->height() - ChartLegend->height()) / 2));
}

void TForm4::placeFooter() {
    if (!ChartFooter)
        return;
    ChartFooter->adjustSize();
    ChartFooter->move((Chart1->width() - ChartFooter->width()) / 2,
                      Chart1->height() - ChartFooter->height() - 2);
}

bool TForm4::FooterVisible() const {
    return ChartFooter && !ChartFooter->isHidden();
}

void TForm4::SetFooterVisible(bool visible) {
    ChartFooter->setVisible(visible);
    placeFooter();
}

QString TForm4::chartTitle() const {
    return chart_->title();
}

void TForm4::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    Chart1->setGeometry(rect());
    placeButtons();
    placeFooter();
    placeLegend();
}

void TForm4::keyPressEvent(QKeyEvent *event) {
    FormKeyDown(event->key(), event->modifiers());
    QWidget::keyPressEvent(event);
}

void TForm4::keyReleaseEvent(QKeyEvent *event) {
    // The write-back happens once, when the key is really let go, not on every auto-repeat.
    if (!event->isAutoRepeat())
        FormKeyUp(event->key(), event->modifiers());
    QWidget::keyReleaseEvent(event);
}

void TForm4::closeEvent(QCloseEvent *event) {
    if (links.hideEditMenu)
        links.hideEditMenu();
    ctx_.LiveTracking = true;
    QWidget::closeEvent(event);
}

bool TForm4::eventFilter(QObject *watched, QEvent *event) {
    const bool raise = watched == SpeedButton_bar_verhogen;
    if (raise || watched == SpeedButton_bar_verlagen) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (raise)
                SpeedButton_bar_verhogenMouseDown(mouse->button(), mouse->modifiers());
            else
                SpeedButton_bar_verlagenMouseDown(mouse->button(), mouse->modifiers());
        } else if (event->type() == QEvent::MouseButtonRelease) {
            if (raise)
                SpeedButton_bar_verhogenMouseUp();
            else
                SpeedButton_bar_verlagenMouseUp();
        }
    }
    return QWidget::eventFilter(watched, event);
}
