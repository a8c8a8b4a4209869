#pragma once

// The simulator's end of the serial line: a pseudo-terminal master, raw, non
// blocking. The simulator keeps the slave open itself, so the master never
// sees a hang-up (EIO) while no client has the device open, before the first
// one or between two.

#include <QString>

namespace zelsim {

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();

    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // Empty on success, else what failed.
    QString open();

    int masterFd() const { return master_; }
    QString devicePath() const { return path_; }

private:
    int master_ = -1;
    int slave_ = -1;
    QString path_;
};

} // namespace zelsim
