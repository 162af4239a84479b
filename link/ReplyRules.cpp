#include "link/ReplyRules.h"

#include "core/Encoding.h"

#include <array>

namespace {
using A = ReplyAction;
constexpr std::array<ReplyRule, 17> Rules{{
    {'V', 'V', 11, true, false, A::Version},
    {'S', 'S', 8, true, false, A::SerialNumber},
    {'a', 'a', 4, true, false, A::AccessBits},
    {'A', 'A', 4, true, false, A::AccessStore},
    {'p', 'p', 4, true, false, A::Password},
    {'P', 'P', 4, true, false, A::NewPassword},
    {'D', 'D', 32, true, false, A::LiveData},
    {'d', 'd', 56, true, false, A::LiveData},
    {'1', 'D', 32, true, true, A::CalibrationMin},
    {'2', 'D', 32, true, true, A::CalibrationMax},
    {'C', 'Y', 1, false, false, A::WriteAck},
    {'c', 'Y', 1, false, false, A::SingleWriteAck},
    {'E', 'Y', 1, false, false, A::BlockWriteAck},
    {'Z', 'Z', 0, true, false, A::Image},
    {'L', 'L', 1, false, false, A::Lock},
    {'R', 'R', 1, false, false, A::Restart},
    {'v', 'V', 11, true, false, A::VersionBeforeWrite},
}};
} // namespace

const ReplyRule *FindReplyRule(char command) {
    for (const ReplyRule &rule : Rules)
        if (rule.command == command)
            return &rule;
    return nullptr;
}

bool IsReplyLetter(char c) {
    static constexpr char Letters[] = "ACDEILPRSVYZadipv";
    for (const char *p = Letters; *p; ++p)
        if (*p == c)
            return true;
    return false;
}

bool ChecksumAtEndIsGood(const QByteArray &bytes) {
    if (bytes.size() < 2)
        return false;
    return FrameChecksum(bytes.left(bytes.size() - 1)) == std::uint8_t(bytes.back());
}

ReplyVerdict JudgeReply(const ReplyRule &rule, const QByteArray &buffer, int imageWords) {
    if (buffer.isEmpty())
        return ReplyVerdict::Incomplete;
    if (rule.letterFirst && buffer.front() != rule.letter)
        return ReplyVerdict::Rejected;
    if (rule.minLength == 0) {
        // The image reply has one exact length; anything else waits for more bytes or for the time-out.
        if (imageWords < 0 || buffer.size() != 2 * qsizetype(imageWords) + 2)
            return ReplyVerdict::Incomplete;
    } else if (buffer.size() < rule.minLength) {
        return ReplyVerdict::Incomplete;
    }
    if (buffer.front() != rule.letter)
        return ReplyVerdict::Rejected;
    if (rule.checksum && !ChecksumAtEndIsGood(buffer))
        return ReplyVerdict::Rejected;
    return ReplyVerdict::Complete;
}
