#include "live/LiveRecorder.h"

#include "app/AppContext.h"
#include "core/Dialogs.h"
#include "core/FirmwareVersion.h"
#include "core/ImageLayout.h"
#include "link/Link.h"
#include "windows/main/MainWindow.h"
#include "windows/options/OptionsWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QInputDialog>
#include <QShortcut>
#include <QStandardPaths>
#include <QStyle>

using namespace Datalog;

namespace {
QString Elapsed(double seconds) {
    const int s = int(seconds);
    return QStringLiteral("%1:%2").arg(s / 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

LiveRecorder::LiveRecorder(AppContext &ctx, QObject *parent) : QObject(parent), ctx_(ctx) {
    Q_ASSERT(ctx.form3 && ctx.dialogs);
    folder = DefaultFolder();
    askMarkerText = [this](QString *text) {
        bool ok = false;
        *text = QInputDialog::getText(ctx_.form1, QStringLiteral("Marker"), QStringLiteral("Marker text:"),
                                      QLineEdit::Normal, QString(), &ok);
        return ok;
    };
    buildControls();
    if (Link *link = ctx_.link) {
        connect(link, &Link::liveFrameReceived, this, &LiveRecorder::onLiveFrame);
        // A recording ends cleanly with the line: what was recorded stays on disk.
        connect(link, &Link::wentOffline, this, &LiveRecorder::stop);
    }
    connect(&recording_, &Recording::changed, this, &LiveRecorder::showIndicator);
    connect(&recording_, &Recording::failed, this, [this](const QString &error) {
        showIndicator();
        ctx_.dialogs->error(QStringLiteral("The recording stopped: ") + error);
    });
}

QString LiveRecorder::DefaultFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(QStringLiteral("QVR Fuel logs"));
}

void LiveRecorder::buildControls() {
    TForm1 *w = ctx_.form1;
    if (!w)
        return;
    auto *bar = w->findChild<QFrame *>(QStringLiteral("Panel_toolbar"));
    if (!bar)
        return;
    // After the existing buttons, between "Help  F1" and the comm-error count.
    const int x = w->Button2->geometry().right() + 10;
    SpeedButton_record = new QToolButton(bar);
    SpeedButton_record->setObjectName(QStringLiteral("SpeedButton_record"));
    SpeedButton_record->setToolTip(QStringLiteral("Record live data (F8); F9 sets a marker"));
    SpeedButton_record->setIcon(w->style()->standardIcon(QStyle::SP_MediaPlay));
    SpeedButton_record->setIconSize(QSize(18, 18));
    SpeedButton_record->setAutoRaise(true);
    SpeedButton_record->setCheckable(true);
    SpeedButton_record->setGeometry(x, 3, 28, 26);
    Label_record_indicator = new QLabel(bar);
    Label_record_indicator->setObjectName(QStringLiteral("Label_record_indicator"));
    Label_record_indicator->setGeometry(x + 32, 3, 160, 26);
    Label_record_indicator->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    Button_record_marker = new QToolButton(bar);
    Button_record_marker->setObjectName(QStringLiteral("Button_record_marker"));
    Button_record_marker->setText(QStringLiteral("Marker..."));
    Button_record_marker->setToolTip(QStringLiteral("Set a marker with a text of your own"));
    Button_record_marker->setGeometry(x + 196, 3, 70, 26);
    Label_record_indicator->hide();
    Button_record_marker->hide();
    connect(SpeedButton_record, &QToolButton::clicked, this, [this] { Toggle(); });
    connect(Button_record_marker, &QToolButton::clicked, this, [this] { MarkWithText(); });

    // F8 and F9 are used by no key of the key table.
    auto *f8 = new QShortcut(QKeySequence(Qt::Key_F8), w);
    f8->setContext(Qt::WindowShortcut);
    connect(f8, &QShortcut::activated, this, [this] { Toggle(); });
    auto *f9 = new QShortcut(QKeySequence(Qt::Key_F9), w);
    f9->setContext(Qt::WindowShortcut);
    connect(f9, &QShortcut::activated, this, [this] { MarkNow(); });
}

void LiveRecorder::Toggle() {
    if (IsRecording())
        stop();
    else
        start();
}

void LiveRecorder::start() {
    const QString version = ctx_.form3->currentVersion();
    longFrames_ = VersionAtLeast(version, QStringLiteral("3FA"));
    channels_ = LiveChannels(longFrames_ ? LiveFrameKind::Long : LiveFrameKind::Short);
    LogInfo info;
    info.program = QStringLiteral("QVR Fuel ") + QCoreApplication::applicationVersion();
    info.ecuVersion = version;
    info.ecuSerial = ctx_.form3->StaticText_Serial_number->text();
    if (!recording_.start(folder, ChannelsOf(channels_), info))
        ctx_.dialogs->error(QStringLiteral("The recording cannot start: ") + recording_.errorString());
    showIndicator();
}

void LiveRecorder::stop() {
    recording_.stop();
    showIndicator();
}

void LiveRecorder::MarkNow() {
    recording_.mark();
}

void LiveRecorder::MarkWithText() {
    if (!IsRecording() || !askMarkerText)
        return;
    QString text;
    if (askMarkerText(&text) && !text.trimmed().isEmpty())
        recording_.mark(text.left(49));
}

void LiveRecorder::showIndicator() {
    const bool on = IsRecording();
    if (SpeedButton_record)
        SpeedButton_record->setChecked(on);
    if (Label_record_indicator) {
        Label_record_indicator->setVisible(on);
        Label_record_indicator->setText(QStringLiteral("REC %1  %2 records")
                                            .arg(Elapsed(recording_.elapsed()))
                                            .arg(recording_.records()));
    }
    if (Button_record_marker)
        Button_record_marker->setVisible(on);
}

Value LiveRecorder::ValueOf(const QString &shown) {
    return RecordedValueOf(shown);
}

void LiveRecorder::onLiveFrame(const QByteArray &frame) {
    if (startWithLiveData && !startedWithLiveData_ && !frame.isEmpty()) {
        startedWithLiveData_ = true;
        start();
    }
    if (!IsRecording() || frame.isEmpty())
        return;
    // A frame of the other kind (the firmware changed under the recording) does not fit its columns.
    if ((frame.at(0) == 'd') != longFrames_)
        return;
    // The same decoding the dashboard has just shown, with the options window's settings.
    recording_.append(LiveRecordValues(channels_, frame, CurrentSettings(), curves_));
}

LiveRecordSettings LiveRecorder::CurrentSettings() const {
    LiveRecordSettings s;
    const TForm3 *options = ctx_.form3;
    if (!options)
        return s;
    s.decode.sensor1Min = options->SpinEdit_min_engineload->value();
    s.decode.sensor1Max = options->SpinEdit_max_engineload->value();
    s.decode.sensor2Min = options->SpinEdit_min_engineload2->value();
    s.decode.sensor2Max = options->SpinEdit_max_engineload2->value();
    s.decode.responseType = options->ImagePicker_Respons_type->currentIndex();
    s.decode.correctionMin = options->AdvSpinEdit_Min_Correction_table->value();
    s.decode.correctionMax = options->AdvSpinEdit_Max_Correction_table->value();
    s.loadSource = options->ComboBox_Engineloadsensor_Throttle_or_Map->currentIndex();
    const auto rows = options->rpmRangeRows();
    for (int k = 0; k < 25; ++k)
        s.rpmRows[k] = rows[k]->value();
    s.firmware3FA = VersionAtLeast(options->currentVersion(), QStringLiteral("3FA"));
    return s;
}
