#pragma once
// Program start: reads the command line, builds the AppContext, the link and the windows in their
// fixed order (main window, correction tables, options, chart, a spare opening dialog), and owns them.
#include <QString>
#include <QStringList>
#include <memory>

#include "app/AppContext.h"
#include "core/Dialogs.h"

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TOKBottomDlg_openingsscherm;
class Link;
class SerialPort;
class AppLinkEnvironment;
class EcuSimRunner;
class MainWindowKeys;
class CalibrationFiles;
class ConnectSequence;
class CalibrationTransfer;
class LockState;
class LiveDisplay;
class LiveRecorder;
class CalibrationHistory;
class HistoryWindow;
class CompareWindow;
class CopyIntoControls;

// Switches of the command line (arguments without the program name).
CommandLine ParseCommandLine(const QStringList &arguments);

// The file named after "--screenshot", or empty. Used to picture the main window and quit.
QString ScreenshotPath(const QStringList &arguments);

class Application {
public:
    // The user's own settings ("Verify after writing") and the history folder in the user's data folder
    // belong to the interactive program: without message boxes (tests) the program starts from the
    // defaults and keeps no history until told where (CalibrationHistory::setFolder).
    struct Options {
        QString programDirectory;    // with trailing separator
        bool useMessageBoxes = true; // false: no presenter, every box answers its first button
        bool createLink = true;      // false: no serial port (window tests)

        // A program nobody sits at (tests, benchmarks, picture tools): its files in the temporary folder,
        // every box answered by whoever installs a presenter.
        static Options unattended(bool withLink = true);
    };

    Application(const QStringList &arguments, const Options &options);
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    AppContext &context() { return ctx_; }
    Dialogs &dialogs() { return dialogs_; }
    TForm1 *mainWindow() const { return form1_.get(); }
    LiveDisplay *liveDisplay() const { return liveDisplay_.get(); }
    LiveRecorder *recorder() const { return recorder_.get(); }
    CalibrationHistory *history() const { return history_.get(); }
    HistoryWindow *historyWindow() const { return historyWindow_.get(); }
    CompareWindow *compareWindow() const { return compareWindow_.get(); }
    CalibrationFiles *calibrationFiles() const { return calibrationFiles_.get(); }
    // Only with a link:
    CalibrationTransfer *calibrationTransfer() const { return calibrationTransfer_.get(); }
    LockState *lockState() const { return lockState_.get(); }
    // Only with "--demo":
    EcuSimRunner *demoEcu() const { return demoEcu_.get(); }

private:
    // What the main window's creation does before the other windows exist.
    void FormCreate();
    // "--demo": a simulated ECU on a pseudo-terminal, paced like the real line, becomes the port.
    void StartDemoEcu();
    // Connect sequence, calibration read and write, lock display: they need the link and all windows.
    void CreateLinkParts();
    // The keys and buttons of the windows joined to the parts that answer them.
    void WireCommands();
    // Closing the main window ends the program: the other windows go with it and the port is let go.
    void WireClosing();
    // The history, its window and the compare window, joined to the transfers, files and lock.
    void CreateHistory(bool userSettings);

    AppContext ctx_;
    Dialogs dialogs_;
    std::unique_ptr<EcuSimRunner> demoEcu_;
    std::unique_ptr<SerialPort> port_;
    std::unique_ptr<AppLinkEnvironment> linkEnvironment_;
    std::unique_ptr<Link> link_;
    std::unique_ptr<LiveDisplay> liveDisplay_; // dashboard and live tracking, fed by the link's live frames
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<MainWindowKeys> keys_;
    std::unique_ptr<LiveRecorder> recorder_; // live data to files (F8, F9)
    std::unique_ptr<CalibrationFiles> calibrationFiles_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TOKBottomDlg_openingsscherm> spareOpening_;
    std::unique_ptr<CalibrationTransfer> calibrationTransfer_;
    std::unique_ptr<ConnectSequence> connectSequence_;
    std::unique_ptr<LockState> lockState_;
    std::unique_ptr<CalibrationHistory> history_;
    std::unique_ptr<CopyIntoControls> copier_;
    std::unique_ptr<CompareWindow> compareWindow_;
    std::unique_ptr<HistoryWindow> historyWindow_;
};
