#pragma once
// The link under test with its port, dialogs and hooks, made for each test function and deleted after it.
#include "RecordingHooks.h"
#include "core/Dialogs.h"
#include "link/Link.h"

template <class Port> struct LinkParts {
    Port *port = nullptr;
    Dialogs *dialogs = nullptr;
    RecordingHooks *hooks = nullptr;
    Link *link = nullptr;

    void makeLink() {
        port = new Port;
        dialogs = new Dialogs;
        hooks = new RecordingHooks;
        link = new Link(port, dialogs, hooks);
        hooks->listenTo(link);
    }
    // The link goes first: it still talks to the others while it is taken down.
    void deleteLink() {
        delete link;
        delete hooks;
        delete dialogs;
        delete port;
        link = nullptr;
        hooks = nullptr;
        dialogs = nullptr;
        port = nullptr;
    }
};
