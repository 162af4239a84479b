#pragma once
// Recording the live data: the toolbar's record button and F8 start and stop it, F9 and the indicator's
// marker button set markers, and every accepted live frame becomes one record of what the dashboard
// shows (a "---" or "Fail" is a missing value). The files go to "QVR Fuel logs" in the user's documents;
// the recording stops when the link goes offline.
#include "core/ResponseCurves.h"
#include "datalog/LiveChannels.h"
#include "datalog/Recording.h"
#include "session/LiveRecord.h"

#include <QObject>
#include <functional>

struct AppContext;
class QLabel;
class QToolButton;

class LiveRecorder : public QObject {
    Q_OBJECT
public:
    // Needs the options window and the message boxes in `ctx`.
    explicit LiveRecorder(AppContext &ctx, QObject *parent = nullptr);

    // F8 and the record button.
    void Toggle();
    // F9: a numbered marker at once.
    void MarkNow();
    // The indicator's button: the user's text first (empty or cancelled: nothing).
    void MarkWithText();

    bool IsRecording() const { return recording_.isRecording(); }
    const Datalog::Recording &recording() const { return recording_; }
    // Where the recordings go; tests point it elsewhere.
    QString folder;
    // "--record": the first live frame starts a recording (once; F8 still stops and starts it).
    bool startWithLiveData = false;
    // Asks for a marker's text; returns false when the user cancels. Tests answer without a window.
    std::function<bool(QString *text)> askMarkerText;

    QToolButton *SpeedButton_record = nullptr;
    QLabel *Label_record_indicator = nullptr;
    QToolButton *Button_record_marker = nullptr;

    static QString DefaultFolder();
    // The recorded value of a dashboard text: its number, or missing for "---", "Fail" and the like.
    static Datalog::Value ValueOf(const QString &shown);

private:
    void buildControls();
    void start();
    void stop();
    void onLiveFrame(const QByteArray &frame);
    void showIndicator();
    // What the dashboard decodes with, read from the options window now.
    LiveRecordSettings CurrentSettings() const;

    AppContext &ctx_;
    Datalog::Recording recording_;
    QList<Datalog::LiveChannel> channels_;
    ResponseCurves curves_;
    bool longFrames_ = true;
    bool startedWithLiveData_ = false;
};
