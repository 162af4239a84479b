#pragma once
// The options window's share of the link's answers: the verdict on the two readings of an engine-load
// sensor's automatic calibration. Registered with the program's link hooks while the window exists.
#include "link/LinkHooks.h"

struct AppContext;
class TForm3;

class OptionsCalibrationPart : public LinkHooks {
public:
    OptionsCalibrationPart(AppContext &ctx, TForm3 *window);
    ~OptionsCalibrationPart() override;

    void onCalibrationAccepted(int sensor, int minimum, int maximum) override;
    void hideCalibrationPrompt() override;

private:
    AppContext &ctx_;
    TForm3 *window_;
};
