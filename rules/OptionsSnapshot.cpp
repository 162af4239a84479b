#include "rules/OptionsSnapshot.h"

#include "core/Encoding.h"

int RpmSteps50(double rpm) {
    return RoundHalfEven(rpm / 50.0);
}

int TimesTen(double value) {
    return RoundHalfEven(value * 10.0);
}

int TimesHundred(double value) {
    return RoundHalfEven(value * 100.0);
}

int AirAdjustmentWord(double percent) {
    return RoundHalfEven((percent / 100.0 + 1.0) * 32768.0);
}

double AirAdjustmentPercent(int word) {
    return (word / 32768.0 - 1.0) * 100.0;
}
