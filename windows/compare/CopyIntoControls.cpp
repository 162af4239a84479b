#include "windows/compare/CopyIntoControls.h"

#include <QTimer>

#include "app/AppContext.h"
#include "app/DataSetCodec.h"
#include "core/Encoding.h"
#include "link/Link.h"
#include "link/TransferMachine.h"
#include "windows/main/MainWindow.h"

CopyIntoControls::CopyIntoControls(AppContext &ctx, QObject *parent)
    : QObject(parent), ctx_(ctx), steps_(StepsOf(ctx.link)) {
    if (!ctx_.link)
        return;
    connect(ctx_.link, &Link::liveFrameReceived, this, &CopyIntoControls::onLiveFrame);
    connect(ctx_.link, &Link::wentOffline, this, &CopyIntoControls::onOffline);
}

QVector<std::uint16_t> CopyIntoControls::merged(const QVector<CalibrationField> &fields,
                                                const QVector<std::uint16_t> &source) const {
    QVector<std::uint16_t> image = EncodeImage(ctx_);
    for (const CalibrationField &field : fields)
        for (int at : field.words) {
            if (at >= image.size() || at >= source.size())
                continue;
            switch (field.part) {
            case WordPart::Whole:
                image[at] = source[at];
                break;
            case WordPart::HighByte:
                image[at] = std::uint16_t((source[at] & 0xFF00) | (image[at] & 0x00FF));
                break;
            case WordPart::LowByte:
                image[at] = std::uint16_t((image[at] & 0xFF00) | (source[at] & 0x00FF));
                break;
            }
        }
    return image;
}

QVector<std::pair<int, std::uint16_t>> CopyIntoControls::intoControls() {
    const QVector<std::uint16_t> before = EncodeImage(ctx_);
    DecodeImage(ctx_, merged(fields_, source_));
    const QVector<std::uint16_t> after = EncodeImage(ctx_);
    QVector<std::pair<int, std::uint16_t>> changed;
    for (int at = 0; at < after.size(); ++at)
        if (at >= before.size() || before[at] != after[at])
            changed.append({at, after[at]});
    fields_.clear();
    source_.clear();
    return changed;
}

bool CopyIntoControls::copy(const QVector<CalibrationField> &fields, const QVector<std::uint16_t> &source) {
    if (!ctx_.form3 || fields.isEmpty() || state_ != State::Idle)
        return false;
    const bool online = ctx_.link && steps_ && ctx_.form1 && ctx_.form1->IsOnline();
    if (online && ctx_.link->busy())
        return false;
    fields_ = fields;
    source_ = source;
    if (!online) {
        intoControls();
        emit copied();
        return true;
    }
    state_ = State::Waiting;
    if (!ctx_.link->polling())
        startSending();
    return true;
}

void CopyIntoControls::onLiveFrame() {
    // The poll's reply is in: until the next poll the line is quiet.
    if (state_ == State::Waiting)
        QTimer::singleShot(0, this, &CopyIntoControls::startSending);
}

void CopyIntoControls::startSending() {
    if (state_ != State::Waiting)
        return;
    // Refused while something else talks: the next live reply tries again.
    ctx_.link->Request(LineActivity::EditJob, [this] {
        state_ = State::Sending;
        ctx_.link->StopLink();
        ctx_.link->ResumeReception();
        queue_ = intoControls();
        if (queue_.isEmpty()) {
            finish();
            return;
        }
        steps_->Begin(CopyStep);
    });
}

bool CopyIntoControls::RunStep(int step) {
    if (step != CopyStep)
        return false;
    if (queue_.isEmpty() || state_ != State::Sending) {
        finish();
        return true;
    }
    const auto [address, word] = queue_.takeFirst();
    ctx_.link->WriteValue(EncodeWord(address) + EncodeWord(word));
    steps_->EnableTimer3();
    return true;
}

void CopyIntoControls::onOffline() {
    // Offline the copy still reaches the controls; what was not sent stays to be written by a down-load.
    if (state_ == State::Waiting)
        intoControls();
    const bool was = state_ != State::Idle;
    queue_.clear();
    state_ = State::Idle;
    if (was)
        emit copied();
}

void CopyIntoControls::finish() {
    queue_.clear();
    state_ = State::Idle;
    if (steps_)
        steps_->Finish();
    if (ctx_.link) {
        ctx_.link->StopReplyTimeout();
        ctx_.link->End(LineActivity::EditJob);
        ctx_.link->RequestLiveData();
    }
    emit copied();
}
