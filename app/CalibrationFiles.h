#pragma once
// Saving and loading calibration files from the controls: the toolbar buttons, the F2/F3 keys and the
// file dialogs. The record layout itself is in files/CalibrationFile.h.
//
// A save goes through a temporary file that replaces the old one only when complete. A load reads and
// checks the whole file first: a missing, unreadable or short file changes nothing (the version caption
// included); a file the user abandons at the "ECU is newer" question changes nothing either.
//
// Wiring: made after the main window, it sets the main window's onOpenFile / onSaveFile to
// SpeedButton_openfileClick / SpeedButton_savefileClick (undone when it goes). The program joins the F2 and
// F3 keys to OpenFileKey and SaveFileKey, and listens to fileLoaded / fileSaved.
#include <QObject>
#include <QString>
#include <QVector>
#include <cstdint>
#include <functional>

struct AppContext;

struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;         // "Open" or "Save as"
    QString directory;     // ProgramDirectory
    QString fileName;      // proposed name ("noname.f03" / "noname.f00" until a file was saved)
    QStringList filters;   // the three "Fuel map (...)" filters
    int filterIndex = 1;   // 1-based: 1 ".f03", 3 ".f0*"
    QString defaultSuffix; // appended when the user types a name without one
};

class CalibrationFiles : public QObject {
    Q_OBJECT
public:
    // Returns the chosen path, or an empty string when the dialog was cancelled.
    using FileDialog = std::function<QString(const FileDialogRequest &)>;

    // Needs the main and options windows and the message boxes in `ctx`.
    explicit CalibrationFiles(AppContext &ctx, QObject *parent = nullptr);
    ~CalibrationFiles() override;

    // Replaces the real file dialog (tests answer without a modal window).
    void setFileDialog(FileDialog dialog) { dialog_ = std::move(dialog); }

    // True when the file was written / read into the controls.
    bool SaveCalibrationFile(const QString &path);
    bool LoadCalibrationFile(const QString &path);

    // A file loaded as the open button does, without its dialog: the link stops, and after a load the
    // program is offline with the transfer menu offering "Down-load". False (polling resumed) when the
    // file could not be loaded.
    bool OpenCalibrationFile(const QString &path);

    // Port for the history: a load is about to replace the controls (a restore sets its own for a while).
    std::function<void()> beforeLoadReplacesControls;

    // Toolbar buttons: the link is stopped around the dialog and live polling resumes afterwards.
    void SpeedButton_savefileClick();
    void SpeedButton_openfileClick();
    // F3 and F2: only while the matching toolbar button is enabled; polling is not paused.
    void SaveFileKey();
    void OpenFileKey();

    // The dialog requests as the current firmware wants them.
    FileDialogRequest saveDialogRequest();
    FileDialogRequest openDialogRequest() const;

signals:
    // The controls now hold this file's calibration / the controls' calibration was written to the file.
    void fileLoaded(const QString &version, const QVector<std::uint16_t> &image, const QString &path);
    void fileSaved(const QString &version, const QVector<std::uint16_t> &image, const QString &path);

private:
    QString askForFile(const FileDialogRequest &request);
    bool saveWithDialog();
    bool openWithDialog();
    // After a load: offline, grids and toolbar disabled, the transfer menu offering a download.
    void enterFileLoadedState();
    void stopLink();
    void resumePolling();
    void reportVersion(const QString &version);
    bool confirmIfEcuNewer(const QString &version);

    AppContext &ctx_;
    FileDialog dialog_;
    QString saveName_ = QStringLiteral("noname.f03");
};
