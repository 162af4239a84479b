#pragma once
// One live frame as one record of a recording: the values the dashboard shows for it (a "---" or "Fail"
// is a missing value), the lamps and words of the frame, and the map cell the engine runs in. The
// window program takes the settings from its options window, a program without windows from the
// calibration image the options window would have been filled from; both record through here.
#include "datalog/LiveChannels.h"
#include "rules/LiveFrame.h"

#include <QString>
#include <QVector>
#include <array>
#include <cstdint>

class ResponseCurves;

struct LiveRecordSettings {
    LiveDecodeSettings decode;
    int loadSource = 0;          // item index of the engine-load source option
    std::array<int, 25> rpmRows; // the RPM range (older firmware: 500 .. 12500)
    bool firmware3FA = true;

    LiveRecordSettings();
};

// What the options window shows once `image` of firmware `version` has been decoded into it: the
// controls' own ranges and defaults included.
LiveRecordSettings LiveRecordSettingsFromImage(const QString &version, const QVector<std::uint16_t> &image);

// The recorded value of a dashboard text: its number, or missing for "---", "Fail" and the like.
Datalog::Value RecordedValueOf(const QString &shown);

// One value per entry of `channels` for `frame` (a "d" or "D" frame whose letter and checksum the link
// has checked).
QList<Datalog::Value> LiveRecordValues(const QList<Datalog::LiveChannel> &channels, const QByteArray &frame,
                                       const LiveRecordSettings &settings, const ResponseCurves &curves);
