#include "SimOptions.h"

#include "store/AddressMap.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace zelsim {

using namespace Qt::StringLiterals;

namespace {

constexpr int kUsageError = 64;

void printError(const QString &text)
{
    std::fputs(qUtf8Printable(u"zel-sim: "_s + text + u'\n'), stderr);
}

std::optional<int> number(const QCommandLineParser &parser, const QString &name, int max)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < 0 || value > max)
        return std::nullopt;
    return value;
}

// What --help says before the options.
QString description()
{
    return u"ZEL unit simulator. Creates a pseudo-terminal, prints its device path on the first\n"
           "line of stdout and answers like a ZEL fault annunciator unit on it: write frames\n"
           "STX 'E' 'C' high low data ETX get STX ACK ETX, read frames STX 'L' 'I' high low\n"
           "data ETX get STX byte ETX. The unit holds an EEPROM of 8192 bytes (all 0 unless\n"
           "--load is given). Ends on SIGTERM or SIGINT (writing --save first).\n"
           "SIGUSR1 takes the unit away (its EEPROM written to --save-each, the line silent);\n"
           "a new unit, blank or --load'ed, answers after --absent-ms or on SIGUSR2.\n\n"
           "Try the program against it:\n"
           "  zel-sim --link /tmp/zel --save /tmp/unit.zel &\n"
           "  TORSA_COM1=/tmp/zel torsa      (then \"&Configurer\" > \"COM1\")\n"
           "  torsa-cli program messages.zel --port /tmp/zel"_s;
}

// --stuck-cell N:ADDR; nothing when it does not read as such.
std::optional<StuckCell> stuckCellOf(const QString &value)
{
    const QStringList parts = value.split(u':');
    bool unitOk = false;
    bool addressOk = false;
    const int unit = parts.constFirst().toInt(&unitOk);
    const int address = parts.constLast().toInt(&addressOk);
    if (parts.size() != 2 || !unitOk || !addressOk || unit < 1 || address < 0 || address > torsa::address::kLastAddress)
        return std::nullopt;
    return StuckCell{unit, address};
}

// The PC's end as a USB adapter with a latency timer.
struct AdapterOptions {
    QCommandLineOption latency{u"adapter-latency"_s,
                               u"Release the answers to the PC only at the ticks of a USB adapter's latency timer of "
                               "MS ms (FTDI: 16 by default, 1 to 255)."_s,
                               u"MS"_s, u"0"_s};
    QCommandLineOption control{u"adapter-control"_s,
                               u"Write the adapter's timer to FILE and take a new value from it whenever it changes "
                               "(a driver lowering it)."_s,
                               u"FILE"_s};

    // False on a bad --adapter-latency.
    bool read(const QCommandLineParser &parser, SimOptions &options) const
    {
        constexpr int kMaxAdapterLatencyMs = 255;
        const auto ms = number(parser, latency.names().constFirst(), kMaxAdapterLatencyMs);
        options.adapterLatencyMs = ms.value_or(0);
        options.adapterControlPath = parser.value(control);
        return ms.has_value();
    }
};

} // namespace

ParsedOptions parseOptions(const QCoreApplication &app)
{
    constexpr int kMaxBaud = 4'000'000;
    constexpr int kMaxDelayMs = 60'000;
    constexpr int kMaxJunk = 4096;

    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption link(u"link"_s, u"Also make PATH a symlink to the device."_s, u"PATH"_s);
    const QCommandLineOption load(u"load"_s, u"Start the EEPROM from a .zel file (its first 8192 bytes)."_s, u"FILE"_s);
    const QCommandLineOption save(
        u"save"_s,
        u"Write the EEPROM (8192 bytes) to FILE on exit; exit status 4 when it (or a --save-each file) cannot be written whole."_s,
        u"FILE"_s);
    const QCommandLineOption baud(u"baud"_s,
                                  u"Pace the line at N baud, 10 bits a byte, both directions "
                                  "(0 = as fast as the pseudo-terminal goes, the default)."_s,
                                  u"N"_s, u"0"_s);
    const QCommandLineOption delay(u"delay-ms"_s, u"Processing time of the unit for each command."_s, u"N"_s, u"0"_s);
    const QCommandLineOption delayFrom(u"delay-from"_s, u"Take the processing time only for ADDR and above."_s,
                                       u"ADDR"_s);
    const QCommandLineOption silent(u"silent-from"_s, u"Neither execute nor answer frames for ADDR and above."_s,
                                    u"ADDR"_s);
    const QCommandLineOption readZero(u"read-zero"_s, u"Answer every read with 0 (writes are stored)."_s);
    const QCommandLineOption splitAck(u"split-ack"_s,
                                      u"Send the write acknowledgement in two pieces: STX, then ACK ETX."_s);
    const QCommandLineOption junk(u"junk"_s, u"Send N junk bytes before each answer."_s, u"N"_s, u"0"_s);
    const QCommandLineOption dieAt(u"die-at"_s, u"Exit at once when a frame for ADDR arrives."_s, u"ADDR"_s);
    const QCommandLineOption verbose(u"verbose"_s, u"Log every frame and answer on stderr."_s);
    const QCommandLineOption gapLog(u"gap-log"_s,
                                    u"Write to FILE on exit, one line per frame, the microseconds from the unit's "
                                    "last answer to that frame's first byte: how soon the program followed up."_s,
                                    u"FILE"_s);
    const QCommandLineOption saveEach(u"save-each"_s,
                                      u"Write each unit taken away (SIGUSR1) to PATTERN, %1 standing for its "
                                      "number, from 1."_s,
                                      u"PATTERN"_s);
    const QCommandLineOption absent(
        u"absent-ms"_s, u"Put a new unit on the line N ms after one is taken away (default: on SIGUSR2)."_s, u"N"_s);
    const QCommandLineOption stuck(
        u"stuck-cell"_s, u"Unit N of the line (1: the first) loses every write to ADDR, a worn cell."_s, u"N:ADDR"_s);
    const AdapterOptions adapter;
    parser.addOptions({link, load, save, baud, delay, delayFrom, silent, readZero, splitAck, junk, dieAt, verbose,
                       gapLog, saveEach, absent, stuck, adapter.latency, adapter.control});

    if (!parser.parse(QCoreApplication::arguments())) {
        printError(parser.errorText());
        return {std::nullopt, kUsageError};
    }
    if (parser.isSet(u"help"_s)) {
        std::fputs(qUtf8Printable(parser.helpText()), stdout);
        return {std::nullopt, 0};
    }
    if (parser.isSet(u"version"_s)) {
        std::fputs(qUtf8Printable(app.applicationName() + u' ' + app.applicationVersion() + u'\n'), stdout);
        return {std::nullopt, 0};
    }
    if (!parser.positionalArguments().isEmpty()) {
        printError(u"unexpected argument "_s + parser.positionalArguments().constFirst());
        return {std::nullopt, kUsageError};
    }

    SimOptions options;
    options.linkPath = parser.value(link);
    options.loadPath = parser.value(load);
    options.savePath = parser.value(save);
    options.gapLogPath = parser.value(gapLog);
    options.saveEachPattern = parser.value(saveEach);
    options.readZero = parser.isSet(readZero);
    options.splitAck = parser.isSet(splitAck);
    options.verbose = parser.isSet(verbose);

    const auto bad = [](const QString &name) {
        printError(u"bad value for --"_s + name);
        return ParsedOptions{std::nullopt, kUsageError};
    };
    const auto baudValue = number(parser, baud.names().constFirst(), kMaxBaud);
    if (!baudValue)
        return bad(baud.names().constFirst());
    options.baud = *baudValue;
    const auto delayValue = number(parser, delay.names().constFirst(), kMaxDelayMs);
    if (!delayValue)
        return bad(delay.names().constFirst());
    options.delayMs = *delayValue;
    const auto junkValue = number(parser, junk.names().constFirst(), kMaxJunk);
    if (!junkValue)
        return bad(junk.names().constFirst());
    options.junk = *junkValue;
    if (!adapter.read(parser, options))
        return bad(adapter.latency.names().constFirst());
    if (parser.isSet(stuck)) {
        options.stuckCell = stuckCellOf(parser.value(stuck));
        if (!options.stuckCell)
            return bad(stuck.names().constFirst());
    }
    if (parser.isSet(absent)) {
        options.absentMs = number(parser, absent.names().constFirst(), kMaxDelayMs);
        if (!options.absentMs)
            return bad(absent.names().constFirst());
    }
    for (const auto &[option, target] : {std::pair{&silent, &options.silentFrom}, std::pair{&dieAt, &options.dieAt},
                                         std::pair{&delayFrom, &options.delayFrom}}) {
        if (!parser.isSet(*option))
            continue;
        const auto value = number(parser, option->names().constFirst(), torsa::address::kLastAddress);
        if (!value)
            return bad(option->names().constFirst());
        *target = value;
    }
    return {options, 0};
}

} // namespace zelsim
