#include "cli/CliOutput.h"

#include <QtGlobal>
#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {
bool StandardErrorIsATerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) == 1;
#endif
}
} // namespace

void PrintOut(const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stdout);
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintError(const QString &text) {
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "qvr-cli: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

void PrintNote(const QString &text) {
    std::fprintf(stderr, "qvr-cli: note: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

Progress::Progress(const QString &caption) : caption_(caption), terminal_(StandardErrorIsATerminal()) {}

Progress::~Progress() {
    finish();
}

void Progress::update(int done, int total) {
    if (total <= 0)
        return;
    const int percent = int(qint64(done) * 100 / total);
    if (terminal_) {
        if (percent == shown_)
            return;
        constexpr int Width = 30;
        const int filled = percent * Width / 100;
        std::fprintf(stderr, "\r%s [%s%s] %3d %%", caption_.toLocal8Bit().constData(),
                     QByteArray(filled, '#').constData(), QByteArray(Width - filled, '-').constData(),
                     percent);
        std::fflush(stderr);
        open_ = true;
    } else {
        const int step = percent / 10 * 10;
        if (step <= shown_)
            return;
        std::fprintf(stderr, "%s %d %%\n", caption_.toLocal8Bit().constData(), step);
        std::fflush(stderr);
        shown_ = step;
        return;
    }
    shown_ = percent;
}

void Progress::finish() {
    if (open_)
        std::fputc('\n', stderr);
    open_ = false;
}
