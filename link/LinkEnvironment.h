#pragma once
// What the link reads from the rest of the program, afresh on every use. The program answers from its
// windows; tests and tools answer from plain values.
#include <QString>

class LinkEnvironment {
public:
    virtual ~LinkEnvironment() = default;
    // Online is the silver dashboard of the main window.
    virtual bool isOnline() const = 0;
    // Caption of the options window's version label.
    virtual QString currentVersion() const = 0;
    // Access bits of the three check boxes as they are ticked now (re-send of "A").
    virtual int accessBits() const = 0;
    // Text of the password field now (re-send of "p" and "P").
    virtual QString passwordText() const = 0;
    // Which engine-load sensor the automatic calibration reads (1 or 2).
    virtual int calSensor() const = 0;
};

// Plain values, for tests and for programs without windows.
class FixedLinkEnvironment : public LinkEnvironment {
public:
    bool online = true;
    QString version = QStringLiteral("3FA1AD1AA");
    int bits = 0;
    QString password;
    int sensor = 1;

    bool isOnline() const override { return online; }
    QString currentVersion() const override { return version; }
    int accessBits() const override { return bits; }
    QString passwordText() const override { return password; }
    int calSensor() const override { return sensor; }
};
