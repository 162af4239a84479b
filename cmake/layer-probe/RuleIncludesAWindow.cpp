// Must not compile: a widget-free rule that reaches for a window. The layer test builds this and
// expects the build to fail.
#include "rules/LiveRules.h"
#ifdef PROBE_QT_WIDGETS
#include <QWidget>
#else
#include "windows/main/MainWindow.h"
#endif
