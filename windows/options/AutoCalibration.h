#pragma once
// The options window's share of the link's answers: the verdict on the two readings of an engine-load
// sensor's automatic calibration, heard from the link's signals while the window exists.

struct AppContext;
class TForm3;

class OptionsCalibrationPart {
public:
    OptionsCalibrationPart(AppContext &ctx, TForm3 *window);
    ~OptionsCalibrationPart();

private:
    AppContext &ctx_;
    TForm3 *window_;
};
