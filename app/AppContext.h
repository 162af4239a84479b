#pragma once
// What is program-wide: the command line, the settings the windows share, the message boxes, the link
// and the four windows. Built once in app/ at start-up, which owns the objects. No singletons. The parts
// that do one job (connect, transfers, lock, files, edit jobs, history) are not here: each receives what
// it uses when it is made, and app/Application.cpp joins them through their signals and ports.
#include <QString>
#include <QStringList>

#include "core/ImageBaseline.h"

class TForm1;                      // main window (windows/main/MainWindow.h)
class TForm2;                      // correction tables (windows/correction/CorrectionWindow.h)
class TForm3;                      // options (windows/options/OptionsWindow.h)
class TForm4;                      // chart (windows/chart/ChartWindow.h)
class TOKBottomDlg_openingsscherm; // opening dialog (windows/opening/OpeningDialog.h)
class Link;                        // serial link, timers, command set (link/Link.h)
class Dialogs;                     // message-box facade (core/Dialogs.h)

struct CommandLine {
    QStringList arguments;              // without the program name
    bool suppressOpeningDialog = false; // "-O", first or second argument, case-sensitive
    bool slowTiming = false;            // "-S", first or second argument, any case
    bool demo = false;                  // "--demo": start a simulated ECU in-process
    // "--poll-ms N": the wait after each live reply before the next poll, 10..100 ms (logging sessions).
    int pollMs = 100;
    bool record = false; // "--record": record the live data from the first frame on
    bool verify = false; // "--verify": read every write back and compare (for this run)
    QString error;       // a switch given a value it cannot take; the program says so and does not start
};

struct AppContext {
    QString ProgramDirectory; // directory of the executable, with trailing separator
    QString SoftwareSubVersion = QStringLiteral("1AA");
    int MaxRpm = 20000;
    int CalSensor = 1;
    // Live cell tracking: whether live frames move the grid selections and the chart's bar (on at start),
    // and the speed row (1..25) of the last live frame. Read and switched by the main window's keys,
    // the live tracking and the chart window.
    bool LiveTracking = true;
    int LiveRow = 1;
    CommandLine commandLine;
    ImageBaseline baseline; // the image last read or loaded; kept and used by the data-set codec

    Dialogs *dialogs = nullptr;
    // The one owner of the line; parts hear what happens on it through its signals.
    Link *link = nullptr;
    TForm1 *form1 = nullptr;
    TForm2 *form2 = nullptr;
    TForm3 *form3 = nullptr;
    TForm4 *form4 = nullptr;
};
