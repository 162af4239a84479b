#pragma once
// Shows the requests of the message-box facade as real message boxes titled "QVR Fuel".
#include "core/Dialogs.h"

class QWidget;

// A presenter for Dialogs::setPresenter; boxes are parented to the active window.
Dialogs::Presenter MessageBoxPresenter();
