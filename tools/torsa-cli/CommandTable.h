#pragma once

// torsa-cli's commands and options, each described once: the dispatch, the
// options each command takes, the usage lines, the help and the synopsis of
// the man page all come from this table.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <span>

namespace torsa::cli {

// The commands that share their usage lines, their notes and their exit
// statuses in the help.
enum class CommandGroup : std::uint8_t { List, Transfers, Csv, Ports, Latency };

struct Command {
    QStringView name;
    // What follows "torsa-cli ": literals, PLACEHOLDERS (upper case, "..." when
    // repeated), [optional parts].
    QStringView synopsis;
    // The help's lines about it, without their indentation.
    QStringView description;
    CommandGroup group;
    // Its usage lines are those of its whole group (the transfers share
    // their options), or its own.
    bool groupUsage;
    // Runs it with the arguments that follow its name; the exit status.
    int (*run)(const QString &command, const QStringList &arguments);
};

struct Option {
    QStringView name;  // "--log"
    QStringView value; // "LOG.csv"; empty for a flag
    QStringView description;
    QStringView commands; // the commands that take it, separated by blanks
};

std::span<const Command> commands();
std::span<const Option> options();

// The command of that name; nothing for an unknown one.
const Command *findCommand(QStringView name);
// Whether the command takes the option.
bool takesOption(QStringView command, QStringView option);

// "Usage : torsa-cli …" with the lines of the command's group.
QString usageText(QStringView command);
// What --help prints.
QString helpText();
// The man page's SYNOPSIS section, in roff: a line per command.
QString manSynopsis();
// One synopsis in roff: literals bold, placeholders in italics.
QString roffSynopsis(QStringView synopsis);

} // namespace torsa::cli
