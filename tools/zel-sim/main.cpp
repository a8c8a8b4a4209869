// zel-sim: a ZEL unit on a pseudo-terminal, for trying and testing the
// program without hardware. See --help.

#include "PseudoTerminal.h"
#include "SignalEvents.h"
#include "SimFiles.h"
#include "SimOptions.h"
#include "UnitSimulator.h"
#include "UnitSwap.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <initializer_list>

using namespace Qt::StringLiterals;

namespace {

constexpr int kStartFailure = 2;
constexpr int kDied = 3;
constexpr int kSaveFailure = 4;

// The end of the run, a unit taken away, a unit put in.
constexpr std::initializer_list<int> kSignals{SIGTERM, SIGINT, SIGUSR1, SIGUSR2};

bool makeLink(const QString &linkPath, const QString &target)
{
    const QFileInfo existing(linkPath);
    if (existing.isSymLink())
        QFile::remove(linkPath);
    return QFile::link(target, linkPath);
}

// The unit's line: its EEPROM loaded and the link made; said on stderr when not.
bool openLine(const zelsim::PseudoTerminal &terminal, zelsim::UnitSimulator &unit, const zelsim::SimOptions &options)
{
    if (!options.loadPath.isEmpty()) {
        if (const QString error = unit.load(options.loadPath); !error.isEmpty()) {
            zelsim::complain(u"cannot load "_s + options.loadPath + u": "_s + error);
            return false;
        }
    }
    if (!options.linkPath.isEmpty() && !makeLink(options.linkPath, terminal.devicePath())) {
        zelsim::complain(u"cannot create the link "_s + options.linkPath);
        return false;
    }
    return true;
}

// What the unit held and the gaps it measured are the simulator's result: a
// save that failed is a failed run. The link goes, unless another took it.
int closeLine(const zelsim::PseudoTerminal &terminal, const zelsim::UnitSimulator &unit,
              const zelsim::SimOptions &options, int code)
{
    if (!options.savePath.isEmpty()
        && !zelsim::saveFile(options.savePath, QByteArrayView(unit.eeprom().data(), torsa::address::kImageSize)))
        code = kSaveFailure;
    if (!options.gapLogPath.isEmpty() && !zelsim::saveFile(options.gapLogPath, zelsim::gapLines(unit.answerGapsNs())))
        code = kSaveFailure;
    if (!options.linkPath.isEmpty() && QFileInfo(options.linkPath).symLinkTarget() == terminal.devicePath())
        QFile::remove(options.linkPath);
    if (options.verbose)
        zelsim::complain(QString::number(unit.framesHandled()) + u" frames answered"_s);
    return code;
}

void onSignal(int signalNumber, zelsim::UnitSwap &swap)
{
    if (signalNumber == SIGUSR1)
        swap.takeAway();
    else if (signalNumber == SIGUSR2)
        swap.putIn();
    else
        QCoreApplication::exit(0);
}

} // namespace

int main(int argc, char *argv[])
{
    // Before Qt starts any thread, so that only the signalfd sees them.
    torsa::unixsignals::SignalEvents::block(kSignals);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"zel-sim"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(TORSA_VERSION));

    const zelsim::ParsedOptions parsed = zelsim::parseOptions(app);
    if (!parsed.options)
        return parsed.exitCode;
    const zelsim::SimOptions &options = *parsed.options;

    zelsim::PseudoTerminal terminal;
    if (const QString error = terminal.open(); !error.isEmpty()) {
        zelsim::complain(error);
        return kStartFailure;
    }
    zelsim::UnitSimulator unit(terminal.masterFd(), options);
    if (!openLine(terminal, unit, options))
        return kStartFailure;

    zelsim::UnitSwap swap(unit, options);
    torsa::unixsignals::SignalEvents signalEvents(kSignals);
    QObject::connect(&signalEvents, &torsa::unixsignals::SignalEvents::received, &app,
                     [&swap](int signalNumber) { onSignal(signalNumber, swap); });
    QObject::connect(&unit, &zelsim::UnitSimulator::died, &app, [](int address) {
        zelsim::complain(u"dying at address "_s + QString::number(address));
        QCoreApplication::exit(kDied);
    });

    std::fputs(qUtf8Printable(terminal.devicePath() + u'\n'), stdout);
    std::fflush(stdout);

    const int code = closeLine(terminal, unit, options, QCoreApplication::exec());
    return swap.saveFailed() ? kSaveFailure : code;
}
