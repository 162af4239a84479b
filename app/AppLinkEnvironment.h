#pragma once
// The link's questions answered from the windows, read afresh on every use.
#include "link/LinkEnvironment.h"

struct AppContext;

class AppLinkEnvironment : public LinkEnvironment {
public:
    explicit AppLinkEnvironment(AppContext &ctx) : ctx_(ctx) {}

    bool isOnline() const override;
    QString currentVersion() const override;
    int accessBits() const override;
    QString passwordText() const override;
    int calSensor() const override;

private:
    AppContext &ctx_;
};
