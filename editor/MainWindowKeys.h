#pragma once
// The main window's key table. The main window sees every key before its focused control (key preview):
// this filter watches the keys aimed at the main window or any control inside it, runs the command of
// the table, and never consumes the key, so the focused control (or the button whose mnemonic it is)
// still gets it.
#include <QObject>
#include <QPointer>
#include <functional>

struct AppContext;
class QKeyEvent;
class QWidget;

class MainWindowKeys : public QObject {
    Q_OBJECT
public:
    explicit MainWindowKeys(AppContext &ctx, QObject *parent = nullptr);

    // The commands of the keys that belong to parts made after the main window. A key whose command is
    // not set is not the table's (a program without a link has no Alt+S, Alt+P or Alt+L).
    struct Commands {
        std::function<void()> upload;   // Alt+S
        std::function<void()> download; // Alt+P
        std::function<void()> lock;     // Alt+L
        std::function<void()> openFile; // F2, while the toolbar's open button is enabled
        std::function<void()> saveFile; // F3, while the toolbar's save button is enabled
    };
    Commands commands;

    // Runs the command of one key press; true when a row of the table matched.
    bool KeyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Space();
    void ShowOptionsKey();
    bool ToolbarEnabled(const char *buttonName) const;

    AppContext &ctx_;
    // One key press reaches the filter as its shortcut override first (Qt asks whether a mnemonic or
    // shortcut may take it), then, unless a shortcut took it, as the press itself; both travel from the
    // focused control up to its parents as the same event. Act on the first sight only: a sight is a
    // step of the same journey when it is the same event arriving at the parent of the last receiver.
    // (Key releases tell nothing: a modal dialog that a command runs handles other keys meanwhile.)
    const QEvent *seen_ = nullptr;
    QPointer<QWidget> seenBy_;
    // The press that follows the override just acted on.
    bool pressPending_ = false;
    int pendingKey_ = 0;
    Qt::KeyboardModifiers pendingModifiers_;
};
