#pragma once
// How each reply is judged, by the command letter of the request it answers.
#include <QByteArray>

enum class ReplyAction {
    Version,
    SerialNumber,
    AccessBits,
    AccessStore,
    Password,
    NewPassword,
    LiveData,
    CalibrationMin,
    CalibrationMax,
    WriteAck,
    SingleWriteAck,
    BlockWriteAck,
    Image,
    Lock,
    Restart,
    VersionBeforeWrite,
};

struct ReplyRule {
    char command;     // value of LastCommand
    char letter;      // required first byte of the reply
    int minLength;    // judged once this many bytes are in; 0 = exactly 2 x words + 2 (image read)
    bool checksum;    // last byte = low 8 bits of the sum of the bytes before it
    bool letterFirst; // a wrong first byte is rejected before the length is reached
    ReplyAction action;
};

// Null when no request with that letter exists.
const ReplyRule *FindReplyRule(char command);

// The first bytes any reply may start with; anything else is discarded at once.
bool IsReplyLetter(char c);

enum class ReplyVerdict { Incomplete, Complete, Rejected };

// Length, letter and checksum of `buffer` under `rule`; `imageWords` is the count of the last image read.
// Content (such as "OK"/"NO") is judged by the action.
ReplyVerdict JudgeReply(const ReplyRule &rule, const QByteArray &buffer, int imageWords);

// True when the last byte of `bytes` is the checksum of the bytes before it.
bool ChecksumAtEndIsGood(const QByteArray &bytes);
