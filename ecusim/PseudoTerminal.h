#pragma once
// A pseudo-terminal pair in raw mode: the simulator serves on the master side, the program opens the slave
// side by its path like any serial port.
#include <QString>

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal() { close(); }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool open(QString *error);
    // Closing the master hangs up the line for whoever has the slave open.
    void close();
    bool isOpen() const { return m_master >= 0; }
    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    // Held open so the line survives the program closing and reopening its port.
    int m_slave = -1;
    QString m_slavePath;
};
