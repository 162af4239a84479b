// The toolbar of the main window: five speed buttons, the help button, the history button and the
// comm-error count.
#include "app/AppContext.h"
#include "windows/correction/CorrectionWindow.h"
#include "windows/main/MainWindow.h"
#include "windows/widgets/ControlFactory.h"

#include <QFrame>
#include <QStyle>

void TForm1::buildToolbar() {
    auto *bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("Panel_toolbar"));
    bar->setGeometry(0, 0, 795, 32);
    bar->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);

    int x = 6;
    auto speedButton = [&](const QString &name, const QString &hint, QStyle::StandardPixmap icon) {
        auto *button = new QToolButton(bar);
        button->setObjectName(name);
        button->setToolTip(hint);
        button->setIcon(style()->standardIcon(icon));
        button->setIconSize(QSize(18, 18));
        button->setAutoRaise(true);
        button->setGeometry(x, 3, 28, 26);
        x += 30;
        return button;
    };
    SpeedButton_openfile = speedButton(QStringLiteral("SpeedButton_openfile"), QStringLiteral("Open file"),
                                       QStyle::SP_DialogOpenButton);
    SpeedButton_savefile = speedButton(QStringLiteral("SpeedButton_savefile"), QStringLiteral("Save file"),
                                       QStyle::SP_DialogSaveButton);
    x += 8;
    SpeedButton_options = speedButton(QStringLiteral("SpeedButton_options"), QStringLiteral("Options"),
                                      QStyle::SP_FileDialogDetailedView);
    SpeedButton_correctiontable =
        speedButton(QStringLiteral("SpeedButton_correctiontable"), QStringLiteral("Correction-table"),
                    QStyle::SP_FileDialogContentsView);
    SpeedButton_up_down_load = speedButton(QStringLiteral("SpeedButton_up_down_load"),
                                           QStringLiteral("Up / down load"), QStyle::SP_BrowserReload);
    x += 8;
    Button2 = new QPushButton(QStringLiteral("Help  F1"), bar);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(x, 3, 76, 26);
    Button2->setFocusPolicy(Qt::NoFocus);

    Label1 = MakeLabel(bar, QStringLiteral("Label1"), QStringLiteral("Comm errors:"), QRect(640, 3, 150, 26));

    // Right of the recorder's controls (record button, indicator, marker: 276 pixels after "Help  F1").
    x = Button2->geometry().right() + 10 + 276;
    SpeedButton_history = speedButton(QStringLiteral("SpeedButton_history"),
                                      QStringLiteral("Calibration history: compare and restore (F6)"),
                                      QStyle::SP_FileDialogBack);
    connect(SpeedButton_history, &QToolButton::clicked, this, [this] {
        if (onOpenHistory)
            onOpenHistory();
    });

    connect(SpeedButton_openfile, &QToolButton::clicked, this, &TForm1::SpeedButton_openfileClick);
    connect(SpeedButton_savefile, &QToolButton::clicked, this, &TForm1::SpeedButton_savefileClick);
    connect(SpeedButton_options, &QToolButton::clicked, this, &TForm1::SpeedButton_optionsClick);
    connect(SpeedButton_correctiontable, &QToolButton::clicked, this,
            &TForm1::SpeedButton_correctiontableClick);
    connect(SpeedButton_up_down_load, &QToolButton::clicked, this, &TForm1::SpeedButton_up_down_loadClick);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
}

// The file buttons and the windows they open would cut into a conversation on the line: they wait for it.
void TForm1::SpeedButton_openfileClick() {
    if (onOpenFile && !LineBusy())
        onOpenFile();
}

void TForm1::SpeedButton_savefileClick() {
    if (onSaveFile && !LineBusy())
        onSaveFile();
}

void TForm1::SpeedButton_correctiontableClick() {
    if (!ctx_.form2 || LineBusy())
        return;
    ctx_.form2->show();
    ctx_.form2->raise();
    ctx_.form2->activateWindow();
}

void TForm1::Button2Click() {
    if (onOpenManual)
        onOpenManual();
}
