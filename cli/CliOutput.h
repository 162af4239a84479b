#pragma once
// What qvr-cli prints: results on standard output, one-line errors and the progress on standard error.
#include <QString>

void PrintOut(const QString &text);
// "qvr-cli: " + text, one line.
void PrintError(const QString &text);
// A remark on standard error that is no failure.
void PrintNote(const QString &text);

// The progress of a transfer on standard error: a bar redrawn in place on a terminal, otherwise a plain
// percentage on a line of its own every 10 %.
class Progress {
public:
    explicit Progress(const QString &caption);
    ~Progress();
    void update(int done, int total);
    // Ends the bar's line (also done by the destructor).
    void finish();

private:
    QString caption_;
    bool terminal_;
    int shown_ = -1;
    bool open_ = false;
};
