// The station window on real widgets against zel-sim on two lines, units
// swapped by signals to the simulators: the tiles' states and texts as the
// units go, the totals, the command line's locking, the end on closing and
// the log's rows, in the form of torsa-cli station's.

#include "support/FileBytes.h"
#include "support/SimProcess.h"

#include "StationWindow.h"
#include "TileWidget.h"

#include "files/CsvRecords.h"
#include "store/AddressMap.h"

#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <functional>

using namespace Qt::StringLiterals;
using namespace torsa::testing;
using State = torsa::production::TileView::State;

namespace {

// Runs the event loop itself (QTRY_ would sleep between its looks, slowing
// every byte command) until the condition holds or the time is up.
bool waitUntil(const std::function<bool()> &condition, int ms = 50000)
{
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    look.start(20);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return condition();
}

} // namespace

class TestLinkStation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // On A the second unit is taken away late in its programming (A is slow
    // from address 7400 on); on B the second has a worn cell. Each failed
    // unit stays red until the next is put on its line.
    void station()
    {
        QByteArray bytes(torsa::address::kImageSize, '\0');
        for (int a = 0; a < bytes.size(); ++a)
            bytes[a] = static_cast<char>((a * 11 + 1) % 256);
        QVERIFY(writeFile(file_, bytes));
        SimProcess a;
        SimProcess b;
        QVERIFY(a.start({u"--delay-ms"_s, u"2"_s, u"--delay-from"_s, u"7400"_s}));
        QVERIFY(b.start({u"--stuck-cell"_s, u"2:5000"_s}));
        const QString log = dir_.filePath(u"station.csv"_s);
        torsa::station::StationWindow window(torsa::station::parseStationArguments(
            {file_, u"--port"_s, a.path(), u"--port="_s + b.path(), u"--log"_s, log}));
        window.show();
        // What the shortcut gave cannot be changed.
        QVERIFY(window.findChild<QLineEdit *>(u"fichier"_s)->isReadOnly());
        QVERIFY(window.findChild<QLineEdit *>(u"journal"_s)->isReadOnly());
        QVERIFY(!window.findChild<QListWidget *>(u"ports"_s)->isEnabled());
        QVERIFY(waitUntil([&] { return window.isRunning(); }));
        QVERIFY(!window.findChild<QLineEdit *>(u"sha256"_s)->isEnabled());
        auto *tileA = window.findChild<torsa::station::TileWidget *>(u"tuile "_s + a.path());
        auto *tileB = window.findChild<torsa::station::TileWidget *>(u"tuile "_s + b.path());
        QVERIFY(tileA && tileB);
        const auto text = [](QWidget *tile, const QString &part) { return tile->findChild<QLabel *>(part)->text(); };
        const auto swap = [](SimProcess &sim, int signal) {
            return ::kill(static_cast<pid_t>(sim.process().processId()), signal) == 0;
        };
        QVERIFY(waitUntil([&] { return tileA->state() == State::Good && tileB->state() == State::Good; }));
        QCOMPARE(text(tileA, u"etat"_s), u"Vérification terminée avec succés !"_s);
        QCOMPARE(text(tileB, u"unite"_s), u"Unité n° 1 sur ce port"_s);
        for (SimProcess *sim : {&a, &b})
            QVERIFY(swap(*sim, SIGUSR1));
        QVERIFY(waitUntil([&] { return tileA->state() == State::Waiting && tileB->state() == State::Waiting; }));
        QCOMPARE(text(tileA, u"etat"_s), u"En attente d'une unité"_s);
        QVERIFY(swap(a, SIGUSR2) && swap(b, SIGUSR2));
        // Each line finds its unit on its own probe's tick, up to half a second
        // apart; A's pass is long enough that both run at once.
        QVERIFY(waitUntil([&] { return tileA->state() == State::Running && tileB->state() == State::Running; }));
        QCOMPARE(window.findChild<QLabel *>(u"en cours"_s)->text(), u"2"_s);
        // Taken away in A's slow part, past 90 %.
        static const QRegularExpression late(u"^9[1-9] %$"_s);
        QVERIFY(waitUntil([&] { return late.match(text(tileA, u"detail"_s)).hasMatch(); }));
        QCOMPARE(text(tileA, u"etat"_s), u"Programmation en cours... (passe 1 sur 2)"_s);
        QVERIFY(text(tileA, u"temps"_s).startsWith(u"Temps écoulé 0:"_s));
        QVERIFY(swap(a, SIGUSR1));
        QVERIFY(waitUntil([&] { return tileA->state() == State::Failed && tileB->state() == State::Failed; }));
        QCOMPARE(text(tileA, u"etat"_s), u"Problème de communication ! Essayez à nouveau ."_s);
        QVERIFY(text(tileA, u"detail"_s).startsWith(u"L'unité ne répond plus à l'adresse "_s));
        QCOMPARE(text(tileB, u"etat"_s), u"Erreur Vérification ! Reprogrammez à nouveau .(Err: 5000)"_s);
        QCOMPARE(text(tileB, u"detail"_s), u"Adresse 5000 : octet attendu 217, octet lu 0"_s);
        QCOMPARE(text(tileB, u"unite"_s), u"Unité n° 2 sur ce port"_s);
        // A's line is silent now and waits: its failed unit stays red.
        QVERIFY(!waitUntil([&] { return tileA->state() != State::Failed; }, 1500));
        QVERIFY(swap(a, SIGUSR2));
        QVERIFY(waitUntil([&] { return tileA->state() == State::Running; }));
        QVERIFY(waitUntil([&] { return tileA->state() == State::Good; }));
        QCOMPARE(text(tileA, u"unite"_s), u"Unité n° 3 sur ce port"_s);
        QCOMPARE(window.findChild<QLabel *>(u"bonnes"_s)->text(), u"3"_s);
        QCOMPARE(window.findChild<QLabel *>(u"echecs"_s)->text(), u"2"_s);
        // Closing ends the run first, every unit in the log, then the window.
        window.close();
        QVERIFY(window.isVisible() && window.isRunning());
        QVERIFY(waitUntil([&] { return !window.isVisible(); }));
        QVERIFY(!window.isRunning());
        QVERIFY(window.findChild<QLabel *>(u"message"_s)->text().startsWith(u"Bilan : 3 bonnes, 2 en échec ("_s));
        QStringList seen(2);
        const auto records = torsa::csv::parse(QString::fromUtf8(readFile(log).sliced(3)));
        QCOMPARE(records.front().fields.size(), 16);
        for (auto record = records.begin() + 1; record != records.end(); ++record) {
            const QStringList &fields = record->fields;
            QCOMPARE(fields.size(), 16);
            seen[fields.at(2) == b.path()] +=
                fields.at(1) + u'=' + fields.at(6) + u' ' + fields.at(11) + u' ' + fields.mid(12, 3).join(u',') + u';';
        }
        QVERIFY2(
            seen[0].contains(QRegularExpression(
                u"^program=0 [12] ,,;verify=0 [12] ,,;program=1 [34] [0-9]{4},,;program=0 5 ,,;verify=0 5 ,,;$"_s)),
            qPrintable(seen[0]));
        QVERIFY2(seen[1].contains(QRegularExpression(
                     u"^program=0 [12] ,,;verify=0 [12] ,,;program=0 [34] ,,;verify=2 [34] 5000,217,0;$"_s)),
                 qPrintable(seen[1]));
    }

    // Refused before the start: a file that is not 8192 bytes, an unknown option.
    void refusals()
    {
        QVERIFY(writeFile(file_, QByteArray(torsa::address::kImageSize + 1, '\0')));
        torsa::station::StationWindow window(torsa::station::parseStationArguments({file_, u"--port"_s, u"COM1"_s}));
        window.findChild<QPushButton *>(u"Démarrer"_s)->click();
        QCOMPARE(window.findChild<QLabel *>(u"message"_s)->text(),
                 u"Le fichier %1 n'a pas 8192 octets : 8193 octets."_s.arg(file_));
        QVERIFY(!window.isRunning());
        QCOMPARE(torsa::station::parseStationArguments({u"--vite"_s}).problem, u"Option inconnue : --vite"_s);
    }

private:
    QTemporaryDir dir_;
    const QString file_ = dir_.filePath(u"messages.zel"_s);
};

QTEST_MAIN(TestLinkStation)
#include "test_link_station.moc"
