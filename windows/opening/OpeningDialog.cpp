#include "windows/opening/OpeningDialog.h"

#include "core/Timers.h"

#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace {
QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QPoint &at) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    label->setFont(font);
    label->move(at);
    label->resize(label->sizeHint());
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}
} // namespace

TOKBottomDlg_openingsscherm::TOKBottomDlg_openingsscherm(AppContext &ctx, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    Q_UNUSED(ctx); // the dialog needs nothing from the others, but is built like every window
    setObjectName(QStringLiteral("TOKBottomDlg_openingsscherm"));
    setFixedSize(617, 367);
    setModal(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 617, 301);
    Image1->setPixmap(OpeningPicture());

    // Widths follow the font actually found, so no caption is clipped where Arial is missing.
    Label_QVR_Fuel = makeLabel(this, "Label_QVR_Fuel", QStringLiteral("QVR Fuel"), QPoint(16, 320));
    Label_version = makeLabel(this, "Label_version", QStringLiteral("Version: V"), QPoint(150, 320));
    Label_versie = makeLabel(this, "Label_versie", QStringLiteral("3.05"),
                             QPoint(Label_version->geometry().right() + 2, 320));

    Panel_strip = new QLabel(this);
    Panel_strip->setObjectName(QStringLiteral("Panel_strip"));
    Panel_strip->setGeometry(605, 0, 12, 367);
    Panel_strip->setAutoFillBackground(true);
    QPalette strip = Panel_strip->palette();
    strip.setColor(QPalette::Window, QColor(0, 0, 255));
    Panel_strip->setPalette(strip);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(500, 320, 89, 30);
    OKBtn->setDefault(true);
    OKBtn->setAutoDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TOKBottomDlg_openingsscherm::Timer1Timer);
}

void TOKBottomDlg_openingsscherm::Timer1Timer() {
    if (isVisible())
        done(QDialog::Rejected);
}

void TOKBottomDlg_openingsscherm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    // The ten seconds count from the showing; a dialog that is created but never shown stays put.
    RestartTimer(Timer1);
}

void TOKBottomDlg_openingsscherm::keyPressEvent(QKeyEvent *event) {
    // OK is also the cancel button: Escape closes with OK, not with cancel.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OKBtn->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TOKBottomDlg_openingsscherm::done(int result) {
    DisableTimer(Timer1);
    QDialog::done(result);
}

int ShowOpeningDialog(AppContext &ctx, QWidget *parent) {
    auto *dialog = new TOKBottomDlg_openingsscherm(ctx, parent);
    const int result = dialog->exec();
    delete dialog;
    return result;
}
