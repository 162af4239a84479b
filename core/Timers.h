#pragma once
// Enabling a running timer must leave its interval running; restarting starts a fresh interval.
#include <QTimer>

inline void EnableTimer(QTimer *timer) {
    if (!timer->isActive())
        timer->start();
}

inline void RestartTimer(QTimer *timer) {
    timer->stop();
    timer->start();
}

inline void DisableTimer(QTimer *timer) {
    timer->stop();
}
