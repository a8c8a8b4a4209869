#include "CommandTable.h"

#include "CsvCommands.h"
#include "LatencyCommand.h"
#include "ListCommand.h"
#include "PortsCommand.h"
#include "TransferCommands.h"

#include <algorithm>
#include <array>

namespace torsa::cli {

using namespace Qt::StringLiterals;

namespace {

int runList(const QString & /*command*/, const QStringList &arguments)
{
    return runListCommand(arguments);
}

int runPorts(const QString & /*command*/, const QStringList &arguments)
{
    return runPortsCommand(arguments);
}

int runLatency(const QString & /*command*/, const QStringList &arguments)
{
    return runLatencyCommand(arguments);
}

// In the order of the usage lines and of the help.
constexpr std::array kCommands{
    Command{u"list", u"list FILE",
            u"print the status line and the listing of all messages of the\n"
            "production file FILE, as the main window shows them after\n"
            "opening it (UTF-8, lines ended by CR LF)",
            CommandGroup::List, false, runList},
    Command{u"program", u"program FILE --port PORT... [--verify] [--log LOG.csv] [--expect-sha256 HEX]",
            u"send the production file FILE to the unit (its first 8192\n"
            "bytes, address 0 to 8191); the file is checked first",
            CommandGroup::Transfers, true, runTransferCommand},
    Command{u"station", u"station FILE --port PORT... [--log LOG.csv] [--expect-sha256 HEX]",
            u"a station of the line, until Ctrl+C: on each port wait for a\n"
            "unit (a read of one byte every half second), program and verify\n"
            "it, wait until it is taken away, then wait for the next; each\n"
            "unit numbered, its line at its end, the totals at the end\n"
            "(status 0 when every unit ended well, 1 otherwise)",
            CommandGroup::Transfers, true, runTransferCommand},
    Command{u"verify", u"verify FILE --port PORT... [--log LOG.csv] [--expect-sha256 HEX]",
            u"compare the unit with the production file FILE", CommandGroup::Transfers, true, runTransferCommand},
    Command{u"read", u"read FILE --port PORT [--log LOG.csv]",
            u"read the unit's 8192 bytes into FILE; FILE is written, atomically,\n"
            "only once all of them are in",
            CommandGroup::Transfers, true, runTransferCommand},
    Command{u"test", u"test --port PORT... [--log LOG.csv]",
            u"link test: write and read back 0, 170, 255 at address 8191", CommandGroup::Transfers, true,
            runTransferCommand},
    Command{u"export", u"export FILE.zel [-o LIST.csv]",
            u"write the messages of the production file as a list for a\n"
            "spreadsheet (stdout without -o): first row \"Mode;Avec automate\"\n"
            "or \"Mode;Sans automate\", then the header\n"
            "\"Numéro;Texte;Unité;Priorité;Clignotement\" and one row per stored\n"
            "message in number order; the blink mask has one character per\n"
            "character of the text, a blank when steady, ^ when blinking.\n"
            "CSV with ';', UTF-8 with a byte-order mark, CR LF. Whatever the\n"
            "list cannot carry (leftovers of a longer text, data outside the\n"
            "messages, a message the import would refuse) is named on stderr",
            CommandGroup::Csv, false, runCsvCommand},
    Command{u"import", u"import LIST.csv -o FILE.zel",
            u"build the production file of such a list, as typing its rows into\n"
            "a new session of its mode with \"Valider\" and saving would; every\n"
            "refused row is named with its line and FILE is written only when\n"
            "all rows are accepted. UTF-8 (with or without the mark) or\n"
            "Windows-1252 (read as such, with a note); blank rows at the end are\n"
            "ignored, a blank row inside is refused",
            CommandGroup::Csv, false, runCsvCommand},
    Command{u"ports", u"ports",
            u"list the serial ports present, one line each: the name --port\n"
            "takes, the COM item of the window it stands for (- if none),\n"
            "the device as the system describes it, and for a USB adapter\n"
            "its vendor:product ids and serial number; for an adapter with a\n"
            "latency timer its value (\"latence 16 ms\")",
            CommandGroup::Ports, false, runPorts},
    Command{u"latency", u"latency PORT MS",
            u"set the latency timer of the FTDI USB adapter behind PORT to MS ms\n"
            "(1 to 255; 1 lets a pass go at the line's pace): on Windows its\n"
            "LatencyTimer in the registry, taken when the adapter is plugged in\n"
            "again; on Linux its latency_timer in sysfs, at once, until it is\n"
            "unplugged. An administrator's (root's) task: without the rights\n"
            "it says so and changes nothing.",
            CommandGroup::Latency, false, runLatency},
};

constexpr std::array kOptions{
    Option{u"--port", u"PORT", {}, u"program station verify read test"},
    Option{u"--verify", {}, u"verify each unit right after its own programming succeeded", u"program"},
    Option{u"--log", u"LOG.csv",
           u"append one row per unit and command to LOG.csv (date, command,\n"
           "port, device, file, SHA-256 of the 8192 bytes, exit status,\n"
           "message, seconds, version, host, unit number, and where a\n"
           "failure stopped: address, byte expected, byte read); checked\n"
           "before any unit is reached",
           u"program station verify read test"},
    Option{u"--expect-sha256", u"HEX",
           u"refuse (status 4) a file whose SHA-256 is not HEX, before any\n"
           "frame",
           u"program station verify"},
};

// What the help says of a group after its commands, before its options.
QString groupNotes(CommandGroup group)
{
    if (group != CommandGroup::Transfers)
        return {};
    return u"\n"
           "  PORT is COM1 to COM4 or a device path. On Linux COMn is the n-th serial port\n"
           "  present, USB adapters (ttyUSB*, ttyACM*) first, then the others, each group by\n"
           "  name; the environment variable TORSA_COMn (n = 1 to 4) pins COMn to a device,\n"
           "  e.g. TORSA_COM1=/dev/serial/by-id/usb-... On Windows COMn is the system's COMn.\n"
           "  Messages go to stderr; on a terminal a progress line shows the percentage,\n"
           "  the elapsed time and the time left.\n"
           "\n"
           "  Production line: program, verify and test take several --port and run every\n"
           "  unit at once, each on its own port; a unit that fails ends alone. On a\n"
           "  terminal each unit has its progress line; at the end one line per unit tells\n"
           "  the port, its device, the duration and the message that ended it. Ctrl+C\n"
           "  stops every unit after its byte in progress.\n"_s;
}

QString exitStatuses(CommandGroup group)
{
    switch (group) {
    case CommandGroup::List:
        return u"Exit status of list:\n"
               "  0   success\n"
               "  4   the file cannot be read as a production file\n"
               "  64  usage error\n"
               "  74  the listing could not be written to stdout\n"_s;
    case CommandGroup::Transfers:
        return u"Exit status of program, read, verify and test (several ports: that of the\n"
               "first failing port, in the order given; 4 whenever the log failed):\n"
               "  0   success\n"
               "  1   communication failure (no answer, port lost), any link test failure,\n"
               "      interrupted (also a verification that a stop left undone)\n"
               "  2   verification mismatch\n"
               "  3   the port cannot be opened (or is not a serial device)\n"
               "  4   the file cannot be read (program, verify) or written (read, the log)\n"
               "  64  usage error (also a port given twice)\n"_s;
    case CommandGroup::Csv:
        return u"Exit status of export and import:\n"
               "  0   success (export: also when it warns)\n"
               "  4   the input cannot be read or the output cannot be written\n"
               "  65  rows refused, a file that is not a message list, a file without a mode\n"
               "  64  usage error\n"_s;
    case CommandGroup::Ports:
        return u"Exit status of ports:\n"
               "  0   success, also when there is no serial port\n"
               "  64  usage error\n"
               "  74  the list could not be written to stdout\n"_s;
    case CommandGroup::Latency: break;
    }
    return u"Exit status of latency:\n"
           "  0   written\n"
           "  3   the port has no adapter with a latency timer\n"
           "  4   it could not be written\n"
           "  64  usage error\n"
           "  77  not an administrator: nothing changed\n"_s;
}

// "  list FILE      print the…": the heading, then the description from the
// description column, on the heading's line when it is short enough.
QString helpEntry(const QString &heading, QStringView description)
{
    constexpr qsizetype kColumn = 17;
    constexpr qsizetype kGap = 2;
    const QString indent(kColumn, u' ');
    QString entry = u"  "_s + heading;
    entry += entry.size() + kGap <= kColumn ? QString(kColumn - entry.size(), u' ') : u'\n' + indent;
    entry += description.toString().replace(u'\n', u'\n' + indent) + u'\n';
    return entry;
}

QString groupHelp(CommandGroup group)
{
    QString text;
    for (const Command &command : kCommands) {
        if (command.group == group)
            text += helpEntry(command.synopsis.toString(), command.description);
    }
    text += groupNotes(group);
    for (const Option &option : kOptions) {
        if (!option.description.isEmpty() && group == CommandGroup::Transfers)
            text += helpEntry(option.value.isEmpty() ? option.name.toString()
                                                     : option.name.toString() + u' ' + option.value.toString(),
                              option.description);
    }
    return text + u'\n' + exitStatuses(group);
}

QString roffEscaped(QStringView text)
{
    return text.toString().replace(u'-', u"\\-"_s);
}

} // namespace

std::span<const Command> commands()
{
    return kCommands;
}

std::span<const Option> options()
{
    return kOptions;
}

const Command *findCommand(QStringView name)
{
    const auto *found = std::ranges::find(kCommands, name, &Command::name);
    return found != kCommands.end() ? found : nullptr;
}

bool takesOption(QStringView command, QStringView option)
{
    const auto *found = std::ranges::find(kOptions, option, &Option::name);
    return found != kOptions.end() && found->commands.split(u' ').contains(command);
}

QString usageText(QStringView command)
{
    const Command *own = findCommand(command);
    QString text;
    for (const Command &other : kCommands) {
        if (own != nullptr && (&other == own || (own->groupUsage && other.group == own->group)))
            text += (text.isEmpty() ? u"Usage : torsa-cli "_s : u"        torsa-cli "_s) + other.synopsis.toString()
                + u'\n';
    }
    return text;
}

QString helpText()
{
    QString text = u"Usage : torsa-cli COMMAND [ARGUMENTS]\n"
                   "        torsa-cli --help | --version\n"
                   "\n"
                   "Commands:\n"_s;
    for (const CommandGroup group :
         {CommandGroup::List, CommandGroup::Transfers, CommandGroup::Csv, CommandGroup::Ports, CommandGroup::Latency})
        text += (group == CommandGroup::List ? QString() : u"\n"_s) + groupHelp(group);
    return text;
}

QString roffSynopsis(QStringView synopsis)
{
    QStringList lines;
    QString literals = u"torsa\\-cli"_s;
    const auto flushLiterals = [&] {
        if (!literals.isEmpty())
            lines << u".B "_s + literals;
        literals.clear();
    };
    for (const QStringView word : synopsis.split(u' ')) {
        const bool opens = word.startsWith(u'[');
        const bool closes = word.endsWith(u']');
        QStringView bare = word.sliced(opens ? 1 : 0);
        bare.chop(closes ? 1 : 0);
        const bool repeated = bare.endsWith(u"...");
        if (repeated)
            bare.chop(3);
        const QString close = closes ? u" ]"_s : QString();
        if (!bare.isEmpty() && bare.front().isUpper()) {
            flushLiterals();
            lines << (repeated || closes ? u".IR "_s + bare.toString() + (repeated ? u" ..."_s : QString()) + close
                                         : u".I "_s + bare.toString());
        } else if (opens) {
            flushLiterals();
            lines << u".RB [ "_s + roffEscaped(bare) + close;
        } else {
            literals += (literals.isEmpty() ? QString() : u" "_s) + roffEscaped(bare);
        }
    }
    flushLiterals();
    return lines.join(u'\n') + u'\n';
}

QString manSynopsis()
{
    QString text;
    for (const Command &command : kCommands)
        text += roffSynopsis(command.synopsis) + u".br\n"_s;
    return text + roffSynopsis(u"--help") + u".br\n"_s + roffSynopsis(u"--version");
}

} // namespace torsa::cli
