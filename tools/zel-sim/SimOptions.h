#pragma once

// Command line of zel-sim: what kind of unit to be, healthy or faulty.

#include <QString>

#include <optional>

class QCoreApplication;

namespace zelsim {

// A worn cell of one unit of the line: writes to it are lost.
struct StuckCell {
    int unit = 0; // the unit's number on the line, from 1
    int address = 0;
};

struct SimOptions {
    QString linkPath;              // symlink to the pseudo-terminal, if any
    QString loadPath;              // .zel file to start the EEPROM from
    QString savePath;              // file the EEPROM is written to on exit
    QString gapLogPath;            // file the answer-to-frame gaps are written to on exit
    int baud = 0;                  // line pacing, 10 bits a byte; 0 = none
    int delayMs = 0;               // processing time of each command
    std::optional<int> delayFrom;  // the processing time only for this address and above
    std::optional<int> silentFrom; // no answer for this address and above
    std::optional<int> dieAt;      // exit when a frame for this address arrives
    int junk = 0;                  // junk bytes before each answer
    bool readZero = false;         // every read answers 0
    bool splitAck = false;         // the write acknowledgement in two pieces
    bool verbose = false;          // log frames on stderr
    QString saveEachPattern;       // where each unit taken away is written, %1 its number
    std::optional<int> absentMs;   // a unit taken away is replaced after this; none: on SIGUSR2
    std::optional<StuckCell> stuckCell;
    int adapterLatencyMs = 0;   // answers reach the PC at this timer's ticks; 0 = at once
    QString adapterControlPath; // file holding that timer's value, watched for another
};

// Parses the command line; on --help, --version or a usage error prints what
// is due and gives the exit code instead.
struct ParsedOptions {
    std::optional<SimOptions> options;
    int exitCode = 0;
};

ParsedOptions parseOptions(const QCoreApplication &app);

} // namespace zelsim
