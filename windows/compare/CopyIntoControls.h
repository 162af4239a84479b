#pragma once
// Fields of another calibration copied into the controls. The copied fields' words replace those of the
// controls (a field in half a word takes only its half) and the result is decoded into the windows;
// online, every word that changed then goes to the ECU as "C", one per acknowledgement, as one
// conversation on the line (like an edit job), on the link's step machine. While the live poll runs,
// the conversation starts after its next reply, when the line is quiet.
#include <QObject>
#include <QVector>
#include <cstdint>

#include "core/FieldCatalogue.h"

struct AppContext;
class TransferMachine;

class CopyIntoControls : public QObject {
    Q_OBJECT
public:
    // The step number of the sending on the step machine.
    static constexpr int CopyStep = 600;

    explicit CopyIntoControls(AppContext &ctx, QObject *parent = nullptr);

    // Copies `fields` from `source` (an image of the controls' firmware). False, with nothing changed,
    // while another conversation is on the line.
    bool copy(const QVector<CalibrationField> &fields, const QVector<std::uint16_t> &source);
    // One step of the sending; false when `step` is not the copy's.
    bool RunStep(int step);
    // A copy waits for the line or is being sent.
    bool busy() const { return state_ != State::Idle; }

signals:
    // The controls changed (and, online, the sending ended).
    void copied();

private:
    QVector<std::uint16_t> merged(const QVector<CalibrationField> &fields,
                                  const QVector<std::uint16_t> &source) const;
    // Decodes the merged image; the words that changed, as a write would send them.
    QVector<std::pair<int, std::uint16_t>> intoControls();
    void onLiveFrame();
    void startSending();
    void onOffline();
    void finish();

    AppContext &ctx_;
    TransferMachine *steps_; // the link's step machine; null without a link
    enum class State { Idle, Waiting, Sending } state_ = State::Idle;
    QVector<CalibrationField> fields_;
    QVector<std::uint16_t> source_;
    QVector<std::pair<int, std::uint16_t>> queue_;
};
