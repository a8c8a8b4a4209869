// What an installed TORSA relies on beyond the build tree, on a real display
// (this suite runs under Xvfb): the titles the window manager shows, "&Aide"
// finding the help document in the program's data folder, a serial port the
// system refuses explained on a second line, and a file writable in a folder
// that is not saved all the same. (packaging/package-test.sh installs the real
// package.)

#include "support/CliProcess.h"
#include "support/SimProcess.h"
#include "support/WindowUnderTest.h"

#include "MainWindow.h"
#include "ProgramIdentity.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>

#include <functional>
#include <unistd.h>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

const QString kAccessLine = u"Accès refusé : l'utilisateur doit être membre du groupe dialout "
                            "(puis se reconnecter), ou le port est pris par un autre programme."_s;

// _NET_WM_NAME(UTF8_STRING) = "..." as xprop prints it; empty while unset.
QString shownTitle(const QWidget &window)
{
    QProcess xprop;
    xprop.start(u"xprop"_s, {u"-id"_s, QString::number(window.winId()), u"_NET_WM_NAME"_s});
    xprop.waitForFinished();
    const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype open = line.indexOf(u'"');
    return open < 0 ? QString() : line.mid(open + 1, line.lastIndexOf(u'"') - open - 1);
}

// The title of the modal box or dialog that `open` shows, which is then closed.
QString titleOfModal(const std::function<void()> &open)
{
    QString title;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && !(title = shownTitle(*modal)).isEmpty()) {
            poll.stop();
            modal->close();
        }
    });
    poll.start(50);
    open();
    return title;
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
    void titlesReadExactlyAsGiven()
    {
        torsa::setProgramIdentity();
        torsa::MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(shownTitle(window), u" TORSA"_s);
        window.findChild<QAction *>(u"MENU_VISU220"_s)->trigger();
        QWidget *preview = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            preview = w->objectName() == u"V220" ? w : preview;
        QVERIFY(preview && QTest::qWaitForWindowExposed(preview));
        QTRY_COMPARE(shownTitle(*preview), u"Visualisation sur afficheur 2 fois 20 caractères"_s);
        QCOMPARE(titleOfModal([&] { window.findChild<QAction *>(u"MENU_ENREGISTRER"_s)->trigger(); }),
                 u"Enregistrer un fichier de production"_s);
        QCOMPARE(titleOfModal([&] { window.findChild<QAction *>(u"Menu_test"_s)->trigger(); }), u"TORSA"_s);
    }
    // A user outside the dialout group meets a port the system refuses: the
    // simulator's pseudo-terminal is root's alone, and torsa-cli runs as nobody.
    void refusedPortSaysWhy()
    {
        const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
        if (::geteuid() != 0 || setpriv.isEmpty())
            QSKIP("needs root and setpriv, to run torsa-cli as another user");
        SimProcess sim;
        QVERIFY(sim.start());
        QProcess cli;
        cli.start(setpriv,
                  {u"--reuid=nobody"_s, u"--regid=nogroup"_s, u"--clear-groups"_s, QStringLiteral(TORSA_CLI_PATH),
                   u"test"_s, u"--port"_s, sim.path()});
        QVERIFY(cli.waitForFinished());
        QCOMPARE(QString::fromUtf8(cli.readAllStandardError()),
                 u"L'ouverture du port "_s + sim.path() + u" à échouée !\r\n"_s + kAccessLine + u'\n');
        QCOMPARE(cli.exitCode(), 3);
    }

    // "&Aide": the document where the package puts it (/usr/share/torsa, found
    // through the data folders), then one in the current directory, which comes first.
    void helpDocumentFound()
    {
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkpath(u"work"_s) && dir.mkpath(u"home"_s) && dir.mkpath(u"share/torsa"_s));
        const QString previousDirectory = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.filePath(u"work"_s)));
        qputenv("XDG_DATA_HOME", dir.filePath(u"home"_s).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", dir.filePath(u"share"_s).toLocal8Bit());
        QCoreApplication::setApplicationName(u"torsa"_s);
        OpenedUrls desktop;
        QDesktopServices::setUrlHandler(u"file"_s, &desktop, "open");
        const testing::WindowUnderTest w;
        QList<QUrl> expected;
        for (const QString &folder : {u"share/torsa"_s, u"work"_s}) {
            expected.append(QUrl::fromLocalFile(dir.filePath(folder + u"/AIDE_TORSA.DOC"_s)));
            QVERIFY(testing::writeFile(expected.last().toLocalFile(), "{\\rtf1 }"));
            w.item("MENU_AIDE")->trigger();
        }
        QDesktopServices::unsetUrlHandler(u"file"_s);
        qunsetenv("XDG_DATA_DIRS");
        qunsetenv("XDG_DATA_HOME");
        QVERIFY(QDir::setCurrent(previousDirectory));

        QVERIFY(w.prompts->shown.isEmpty());
        QCOMPARE(desktop.urls, expected);
    }
};

QTEST_MAIN(TestPackage)
#include "test_package.moc"
