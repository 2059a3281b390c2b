#pragma once

#include <QString>

// The pseudo-terminal the camera sits on. The program under test opens the slave
// device like a serial port; the simulator reads and writes the master. The simulator
// keeps a slave descriptor of its own open all the time, so the master never sees a
// hang-up while the program is between opening and closing the port.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // Opens the pair, puts the line into raw mode (no echo, no line editing, no
    // character translation) and makes the master non-blocking. On failure says why.
    bool open(QString *error);

    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }

    // Bytes written to the master that no one has read from the slave yet.
    int unreadByProgram() const;

    // Closes both ends: a program that has the slave open sees the device go away.
    void close();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
