#pragma once
// The main window's key table. The main window sees every key before its focused control (key preview):
// this filter watches the key presses aimed at the main window or any control inside it, runs the
// command of the table, and never consumes the key, so the focused control still gets it.
#include <QObject>
#include <QPointer>

struct AppContext;
class QKeyEvent;

class MainWindowKeys : public QObject {
    Q_OBJECT
public:
    explicit MainWindowKeys(AppContext &ctx, QObject *parent = nullptr);

    // Runs the command of one key press; true when a row of the table matched.
    bool KeyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Space();
    void ShowOptionsKey();
    bool ToolbarEnabled(const char *buttonName) const;

    AppContext &ctx_;
    // One key press travels from the focused control up to its parents; act on it once. The event object
    // alone does not tell (the next press may reuse its address), so the key and modifiers count too.
    const QEvent *lastPress_ = nullptr;
    int lastKey_ = 0;
    Qt::KeyboardModifiers lastModifiers_;
};
