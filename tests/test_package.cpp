// What an installed TORSA relies on beyond the build tree: "&Aide" finds the help
// document in the program's data folder, a serial port the system refuses is
// explained on a second line, and the man page of torsa-cli keeps up with its
// --help. (packaging/package-test.sh installs the real package.)

#include "support/ScriptedPrompts.h"
#include "support/SimProcess.h"

#include "editor/MainWindow.h"
#include "link/LinkPort.h"
#include "link/TransferTexts.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest/QTest>

#include <unistd.h>

#include <algorithm>
#include <memory>

using namespace torsa;
using namespace Qt::StringLiterals;
using OpenError = link::LinkPort::OpenError;

Q_DECLARE_METATYPE(OpenError)

namespace {

const QString kHelpDocument = u"AIDE_TORSA.DOC"_s;
const QString kAccessLine = u"Accès refusé : l'utilisateur doit être membre du groupe dialout "
                            "(puis se reconnecter), ou le port est pris par un autre programme."_s;

bool touch(const QString &path)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly)
        && file.write("{\\rtf1 }") > 0;
}

QString runCli(const QStringList &arguments)
{
    QProcess cli;
    cli.start(QStringLiteral(TORSA_CLI_PATH), arguments);
    cli.waitForFinished();
    return QString::fromUtf8(cli.readAllStandardOutput());
}

// The man page source as text: font changes dropped, "\-" as "-".
QString manPageText()
{
    QFile file(QStringLiteral(TORSA_SOURCE_DIR "/packaging/torsa-cli.1"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.remove(QRegularExpression(u"\\\\f[BIRP]"_s));
    return text.replace(u"\\-"_s, u"-"_s);
}

// The lines of a man page section, from its .SH to the next.
QStringList manSection(const QString &page, const QString &heading)
{
    const qsizetype start = page.indexOf(u".SH "_s + heading + u'\n');
    if (start < 0)
        return {};
    const qsizetype end = page.indexOf(u"\n.SH "_s, start + 1);
    return page.mid(start, end < 0 ? -1 : end - start).split(u'\n');
}

// A SYNOPSIS line as a reader sees it: requests and their words joined.
QString synopsisText(const QString &page)
{
    QString text;
    for (const QString &line : manSection(page, u"SYNOPSIS"_s)) {
        if (line == u".br")
            text += u'\n';
        else if (line.startsWith(u".RB ") || line.startsWith(u".IR "))
            text += u' ' + line.mid(4).remove(u' ').remove(u'"');
        else if (line.startsWith(u".B ") || line.startsWith(u".I "))
            text += u' ' + line.mid(3);
    }
    return text.replace(u"[ -o"_s, u"[-o"_s).replace(u"\n "_s, u"\n"_s).trimmed();
}

// Receives what QDesktopServices would hand to the desktop.
class OpenedUrls : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

} // namespace

class TestPackage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void portOpenFailed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString com3 = u"L'ouverture du port COM3 à échouée !"_s;
        const QString path = u"L'ouverture du port /dev/ttyUSB0 à échouée !"_s;
        QTest::newRow("no such port") << link::text::portOpenFailed(3, OpenError::NotFound) << com3;
        QTest::newRow("not a serial port") << link::text::portOpenFailed(3, OpenError::Other) << com3;
        QTest::newRow("no cause given") << link::text::portOpenFailed(3) << com3;
        QTest::newRow("access refused") << link::text::portOpenFailed(3, OpenError::PermissionDenied)
                                        << com3 + u"\r\n"_s + kAccessLine;
        QTest::newRow("path, access refused")
            << link::text::portOpenFailed(u"/dev/ttyUSB0"_s, OpenError::PermissionDenied)
            << path + u"\r\n"_s + kAccessLine;
        QTest::newRow("path, no such port") << link::text::portOpenFailed(u"/dev/ttyUSB0"_s, OpenError::NotFound)
                                            << path;
    }

    void portOpenFailed()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    // A user outside the dialout group meets a port the system refuses: the
    // simulator's pseudo-terminal is root's alone, and torsa-cli runs as nobody.
    void refusedPortSaysWhy()
    {
        if (::geteuid() != 0)
            QSKIP("needs root, to run torsa-cli as another user");
        const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
        if (setpriv.isEmpty())
            QSKIP("setpriv is not installed");
        SimProcess sim;
        QVERIFY(sim.start());
        QProcess cli;
        cli.start(setpriv, {u"--reuid=nobody"_s, u"--regid=nogroup"_s, u"--clear-groups"_s,
                            QStringLiteral(TORSA_CLI_PATH), u"test"_s, u"--port"_s, sim.path()});
        QVERIFY(cli.waitForFinished());
        QCOMPARE(QString::fromUtf8(cli.readAllStandardError()),
                 u"L'ouverture du port "_s + sim.path() + u" à échouée !\r\n"_s + kAccessLine + u'\n');
        QCOMPARE(cli.exitCode(), 3);
    }

    // "&Aide": the current directory first, then beside the program, then the
    // data folders where the package puts the document (/usr/share/torsa).
    void helpDocumentFound_data()
    {
        QTest::addColumn<bool>("inCurrentDirectory");
        QTest::addColumn<bool>("inDataFolder");
        QTest::addColumn<QString>("opened");   // "current", "data" or empty
        QTest::newRow("installed") << false << true << u"data"_s;
        QTest::newRow("current directory first") << true << true << u"current"_s;
        QTest::newRow("current directory only") << true << false << u"current"_s;
        QTest::newRow("nowhere") << false << false << QString();
    }

    void helpDocumentFound()
    {
        QFETCH(bool, inCurrentDirectory);
        QFETCH(bool, inDataFolder);
        QFETCH(QString, opened);
        QVERIFY(!QFile::exists(QDir(QCoreApplication::applicationDirPath()).filePath(kHelpDocument)));

        QTemporaryDir root;
        const QDir dir(root.path());
        const QString current = dir.filePath(u"work/"_s + kHelpDocument);
        const QString data = dir.filePath(u"share/torsa/"_s + kHelpDocument);
        QVERIFY(dir.mkpath(u"work"_s) && dir.mkpath(u"home"_s));
        if (inCurrentDirectory)
            QVERIFY(touch(current));
        if (inDataFolder)
            QVERIFY(touch(data));

        const QString previousDirectory = QDir::currentPath();
        const QString previousName = QCoreApplication::applicationName();
        QVERIFY(QDir::setCurrent(dir.filePath(u"work"_s)));
        qputenv("XDG_DATA_HOME", dir.filePath(u"home"_s).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", dir.filePath(u"share"_s).toLocal8Bit());
        QCoreApplication::setApplicationName(u"torsa"_s);
        OpenedUrls desktop;
        QDesktopServices::setUrlHandler(u"file"_s, &desktop, "open");

        {
            auto owned = std::make_unique<testing::ScriptedPrompts>();
            auto *prompts = owned.get();
            MainWindow window(std::move(owned));
            window.findChild<QAction *>(u"MENU_AIDE"_s)->trigger();
            QVERIFY(prompts->shown.isEmpty());
        }

        QDesktopServices::unsetUrlHandler(u"file"_s);
        QCoreApplication::setApplicationName(previousName);
        qunsetenv("XDG_DATA_DIRS");
        qunsetenv("XDG_DATA_HOME");
        QVERIFY(QDir::setCurrent(previousDirectory));

        if (opened.isEmpty()) {
            QVERIFY(desktop.urls.isEmpty());
            return;
        }
        QCOMPARE(desktop.urls.size(), 1);
        QCOMPARE(desktop.urls.first().toLocalFile(), opened == u"current" ? current : data);
    }

    // Every command line, option and exit status of --help is in the man page,
    // with the version of the program.
    void manPageFollowsHelp()
    {
        const QString help = runCli({u"--help"_s});
        const QString page = manPageText();
        QVERIFY(!help.isEmpty() && !page.isEmpty());

        const QString synopsis = synopsisText(page);
        // Command lines of --help: "  list FILE      print ...", "  program FILE --port PORT".
        const QRegularExpression command(u"^  ([a-z]+(?: (?:[A-Z][A-Za-z.]*|--?[a-z]+|\\[-o [A-Za-z.]+\\]))*)(?:  |$)"_s,
                                         QRegularExpression::MultilineOption);
        int commands = 0;
        for (const auto &match : command.globalMatch(help)) {
            ++commands;
            QVERIFY2(synopsis.contains(u"torsa-cli "_s + match.captured(1)), qPrintable(match.captured(1)));
        }
        QCOMPARE(commands, 7);
        QVERIFY(synopsis.contains(u"torsa-cli --help"_s));
        QVERIFY(synopsis.contains(u"torsa-cli --version"_s));

        // Options anywhere in --help ("--port", "-o"), each described under OPTIONS.
        const QStringList options = manSection(page, u"OPTIONS"_s);
        const QRegularExpression option(u"(?:^|[ \\[])(--?[a-z]+)\\b"_s);
        for (const auto &match : option.globalMatch(help)) {
            const QString name = match.captured(1);
            const bool described = std::any_of(options.begin(), options.end(), [&](const QString &line) {
                return line == u".B "_s + name || line.startsWith(u".BI "_s + name + u' ');
            });
            QVERIFY2(described, qPrintable(name));
        }

        // Exit statuses: "  64  usage error" lines under each "Exit status of" heading.
        const QStringList statusLines = manSection(page, u"EXIT STATUS"_s);
        const QRegularExpression status(u"^  (\\d+) +(.+)$"_s, QRegularExpression::MultilineOption);
        for (const auto &match : status.globalMatch(help)) {
            const qsizetype at = statusLines.indexOf(u".B "_s + match.captured(1));
            QVERIFY2(at >= 0, qPrintable(match.captured(0)));
            bool described = false;
            for (qsizetype i = at; i + 1 < statusLines.size(); ++i) {
                if (statusLines.at(i) == u".B "_s + match.captured(1) && statusLines.at(i + 1) == match.captured(2))
                    described = true;
            }
            QVERIFY2(described, qPrintable(match.captured(0)));
        }

        QVERIFY(page.contains(u"TORSA_COM1"_s));
        const QString version = runCli({u"--version"_s}).trimmed().section(u' ', 1);
        QVERIFY(!version.isEmpty());
        QVERIFY2(page.section(u'\n', 1, 1).contains(u"\"torsa "_s + version + u'"'), qPrintable(version));
    }
};

QTEST_MAIN(TestPackage)
#include "test_package.moc"
