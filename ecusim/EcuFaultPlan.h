#pragma once
// Faults the simulated ECU produces on demand, for tests of the program's time-outs and retries.
#include <QString>
#include <cstdint>

struct EcuFaultPlan {
    int silentRequests = 0;     // the next N valid requests are lost: not carried out, not answered
    int badChecksumReplies = 0; // the next N replies that carry a checksum get a wrong one
    int splitReplies = 0;       // the next N replies go out in `splitPieces` pieces, `splitGapMs` apart
    int splitPieces = 3;
    int splitGapMs = 20;
    int strayReplies =
        0; // the next N replies are followed by `strayByte`, `strayGapMs` later (0: same write)
    std::uint8_t strayByte = 0x0B;
    int strayGapMs = 0;
    int delayReplies = 0; // the next N replies (-1: every reply) wait `delayMs` before their first byte
    int delayMs = 0;
    int closeAfterRequests =
        -1;                   // answer this many more requests, then close the line on the next (-1: never)
    int closeReplyBytes = -1; // on that request: send this many bytes of its reply first (-1: none)
    // The next N writes ("E" or "C") that reach `badStoreAddress` (-1: any write) are acknowledged but
    // store their first word with its lowest bit flipped: a write that only a read-back can catch.
    int badStores = 0;
    int badStoreAddress = -1;
    // The counted faults above (silent, badsum, split, stray, delay, close) wait for a request with this
    // letter (0: any request).
    char onlyLetter = 0;
    // Each reply on its own, with this chance in a thousand, is lost, cut short, corrupted, split or
    // delayed past the program's time-out; the kind is drawn at random from `randomSeed` on.
    int randomPermille = 0;
    std::uint64_t randomSeed = 1;

    bool operator==(const EcuFaultPlan &) const = default;
};

// Parses the command-line form: comma-separated items
//   silent=N  badsum=N  split=PIECES:GAPMS[:N]  stray=BYTE[:GAPMS[:N]]  delay=MS[:N|all]  close=N[:BYTES]
//   badstore=N[:ADDRESS]  random=PERMILLE[:SEED]  letter=L (the counted faults wait for a request with letter
//   L)
// BYTE is decimal or 0x-hex. Returns false with a message on anything it does not understand.
bool ParseFaultPlan(const QString &text, EcuFaultPlan *plan, QString *error);
