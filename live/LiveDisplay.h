#pragma once
// The dashboard's answer to each accepted live frame: the values go into the labels of the dashboard
// that belongs to the frame, the lamps, the power-interrupted panel and the fault messages follow the
// status and fault words, and then the live cell tracking runs. Hears the link's live frames.
#include "core/ResponseCurves.h"
#include "live/LiveTracking.h"
#include "rules/LiveFrame.h"

#include <QObject>

struct AppContext;
class QLabel;

class LiveDisplay : public QObject {
    Q_OBJECT
public:
    explicit LiveDisplay(AppContext &ctx);

    void onLiveData(const QByteArray &frame);

    // Accepted "D" (32 bytes) and "d" (56 bytes) frames, letter and checksum included.
    void DecodeShortLiveData(const QByteArray &frame);
    void DecodeLongLiveData(const QByteArray &frame);

    // Injection-time panel and value red when the time shown does not fit one injection at the speed
    // shown, silver and black otherwise. Nothing happens while the speed is 0.
    void ShowInjectionLimit(QLabel *panel, QLabel *value, int rpm, double injectionMs);

    LiveTracker &tracker() { return tracker_; }
    // The option values the decoding needs, as the options window shows them now.
    LiveDecodeSettings CurrentSettings() const;

private:
    void UngreyValues(QLabel *engineSpeed);
    void ShowStatus(const LiveValues &values);
    void ShowFaults(std::uint16_t faults);
    void AfterDecoding(const LiveValues &values);

    AppContext &ctx_;
    ResponseCurves curves_;
    LiveTracker tracker_;
};
