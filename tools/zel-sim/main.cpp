// zel-sim: a ZEL unit on a pseudo-terminal, for trying and testing the
// program without hardware. See --help.

#include "PseudoTerminal.h"
#include "SimOptions.h"
#include "TerminationSignals.h"
#include "UnitSimulator.h"

#include "files/FileSaving.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kStartFailure = 2;
constexpr int kDied = 3;
constexpr int kSaveFailure = 4;

void complain(const QString &text)
{
    std::fputs(qUtf8Printable(u"zel-sim: "_s + text + u'\n'), stderr);
}

bool makeLink(const QString &linkPath, const QString &target)
{
    const QFileInfo existing(linkPath);
    if (existing.isSymLink())
        QFile::remove(linkPath);
    return QFile::link(target, linkPath);
}

// One line per gap, in microseconds.
QByteArray gapLines(const std::vector<qint64> &gapsNs)
{
    constexpr qint64 kNsPerUs = 1000;
    QByteArray text;
    for (const qint64 gap : gapsNs)
        text += QByteArray::number(gap / kNsPerUs) + '\n';
    return text;
}

// False, said on stderr, when the file did not reach the disk whole.
bool saveFile(const QString &path, QByteArrayView bytes)
{
    const torsa::files::SaveResult result = torsa::files::saveWhole(path, bytes);
    if (result == torsa::files::SaveResult::Saved)
        return true;
    complain(u"cannot save "_s + path);
    if (result == torsa::files::SaveResult::LeftIncomplete)
        complain(torsa::files::incompleteFileNote(path));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before Qt starts any thread, so that only the signalfd sees them.
    zelsim::TerminationSignals::block();

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"zel-sim"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(TORSA_VERSION));

    const zelsim::ParsedOptions parsed = zelsim::parseOptions(app);
    if (!parsed.options)
        return parsed.exitCode;
    const zelsim::SimOptions &options = *parsed.options;

    zelsim::PseudoTerminal terminal;
    if (const QString error = terminal.open(); !error.isEmpty()) {
        complain(error);
        return kStartFailure;
    }
    zelsim::UnitSimulator unit(terminal.masterFd(), options);
    if (!options.loadPath.isEmpty()) {
        if (const QString error = unit.load(options.loadPath); !error.isEmpty()) {
            complain(u"cannot load "_s + options.loadPath + u": "_s + error);
            return kStartFailure;
        }
    }
    if (!options.linkPath.isEmpty() && !makeLink(options.linkPath, terminal.devicePath())) {
        complain(u"cannot create the link "_s + options.linkPath);
        return kStartFailure;
    }

    zelsim::TerminationSignals signals;
    const auto putIn = [&unit, &options] {
        if (unit.isPresent())
            return;
        if (const QString error = unit.putIn(); !error.isEmpty())
            complain(u"cannot load "_s + options.loadPath + u": "_s + error);
        if (options.verbose)
            complain(u"unit "_s + QString::number(unit.unitNumber()) + u" in place"_s);
    };
    bool unitSaveFailed = false; // a unit taken away whose EEPROM did not reach the disk
    QObject::connect(&signals, &zelsim::TerminationSignals::received, &app, [&](int signal) {
        if (signal == SIGUSR2) {
            putIn();
            return;
        }
        if (signal != SIGUSR1) {
            QCoreApplication::exit(0);
            return;
        }
        if (!unit.isPresent())
            return;
        // Saved before the next unit can overwrite it.
        if (!options.saveEachPattern.isEmpty()
            && !saveFile(options.saveEachPattern.arg(unit.unitNumber()),
                         QByteArrayView(unit.eeprom().data(), torsa::address::kImageSize)))
            unitSaveFailed = true;
        unit.takeAway();
        if (options.verbose)
            complain(u"unit "_s + QString::number(unit.unitNumber()) + u" taken away"_s);
        if (options.absentMs)
            QTimer::singleShot(*options.absentMs, &unit, putIn);
    });
    QObject::connect(&unit, &zelsim::UnitSimulator::died, &app, [](int address) {
        complain(u"dying at address "_s + QString::number(address));
        QCoreApplication::exit(kDied);
    });

    std::fputs(qUtf8Printable(terminal.devicePath() + u'\n'), stdout);
    std::fflush(stdout);

    int code = QCoreApplication::exec();

    // What the unit held is the simulator's result: a save that failed is a failed run.
    if (!options.savePath.isEmpty()
        && !saveFile(options.savePath, QByteArrayView(unit.eeprom().data(), torsa::address::kImageSize)))
        code = kSaveFailure;
    if (!options.gapLogPath.isEmpty() && !saveFile(options.gapLogPath, gapLines(unit.answerGapsNs())))
        code = kSaveFailure;
    if (unitSaveFailed)
        code = kSaveFailure;
    if (!options.linkPath.isEmpty() && QFileInfo(options.linkPath).symLinkTarget() == terminal.devicePath())
        QFile::remove(options.linkPath);
    if (options.verbose)
        complain(QString::number(unit.framesHandled()) + u" frames answered"_s);
    return code;
}
