#pragma once
// Tests look at and set up the link's private state directly: a reply half-received, a count of
// failures, a timer running. The program itself only has the link's public face.
#include "link/Link.h"

#include <QTimer>
#include <memory>

struct LinkTestAccess {
    static LinkState &state(Link &link) { return link.s_; }
    static QTimer *timer(Link &link, int number) {
        switch (number) {
        case 1:
            return link.Timer1;
        case 2:
            return link.Timer2;
        case 3:
            return link.Timer3;
        default:
            return link.Timer4;
        }
    }
};

// A step-timer interval for tests that only look at what a write sends: the step timer paces blocks and
// cells, and a quicker pace keeps every byte and its order (the real cadence is the transfer benchmark's).
constexpr int QuickStepMs = 5;

inline LinkState &StateOf(Link *link) {
    return LinkTestAccess::state(*link);
}
inline LinkState &StateOf(Link &link) {
    return LinkTestAccess::state(link);
}
inline QTimer *LinkTimer(Link *link, int number) {
    return LinkTestAccess::timer(*link, number);
}
inline QTimer *LinkTimer(Link &link, int number) {
    return LinkTestAccess::timer(link, number);
}
inline LinkState &StateOf(const std::unique_ptr<Link> &link) {
    return LinkTestAccess::state(*link);
}
inline QTimer *LinkTimer(const std::unique_ptr<Link> &link, int number) {
    return LinkTestAccess::timer(*link, number);
}
