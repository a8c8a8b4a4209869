// torsa-cli program, read, verify and test as processes, against zel-sim.

#include "support/CliProcess.h"
#include "support/SimProcess.h"

#include "files/CsvRecords.h"
#include "store/AddressMap.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSet>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <memory>
#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;
using namespace torsa::testing;

namespace {

// Reads the process's channel into seen until the text has come count times.
bool waitFor(QProcess &process, QByteArray &seen, const QByteArray &text, qsizetype count = 1)
{
    while (seen.count(text) < count) {
        if (!process.waitForReadyRead(60000))
            return false;
        seen += process.readAll();
    }
    return true;
}

QByteArray pattern(int seed)
{
    QByteArray bytes(torsa::address::kImageSize, '\0');
    for (int a = 0; a < bytes.size(); ++a)
        bytes[a] = static_cast<char>((a * 11 + seed) % 256);
    return bytes;
}

// Long enough for five probes of a unit left on its line.
constexpr int kProbesWaitMs = 2800;

} // namespace

class TestLinkCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(writeFile(file_, pattern(1)));
    }

    // A USB adapter that holds each answer until its 16 ms timer runs out: a
    // driver that honours the low-latency request drops the timer to 1 ms (the
    // flag seen by the stand-in driver), one that cannot leaves the technician
    // told the time per command, the pass it gives and what to do; at the
    // line's own pace, nothing. The link test's seven commands measure it.
    void slowAdapter_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<bool>("driverHonours");
        QTest::addColumn<bool>("told");
        // Paced as a real line, so that each answer is due well after its
        // frame; the rows that must stay silent go faster than the line, so
        // that a loaded machine's delays do not count against them.
        const QStringList timer{u"--adapter-latency"_s, u"16"_s};
        QTest::newRow("16 ms, request refused") << QStringList{u"--baud"_s, u"9600"_s} + timer << false << true;
        QTest::newRow("16 ms, request honoured") << timer << true << false;
        QTest::newRow("the line's pace") << QStringList() << false << false;
    }

    void slowAdapter()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(bool, driverHonours);
        QFETCH(bool, told);
        if (SimProcess::throughWindowsPorts())
            QSKIP("Windows' adapters are checked under Wine by the wine_ftdi_adapter check");
        const QString control = dir_.filePath(u"adapter"_s);
        SimProcess sim;
        QVERIFY(sim.start(simOptions + QStringList{u"--adapter-control"_s, control}));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (driverHonours) {
            environment.insert(u"LD_PRELOAD"_s, QStringLiteral(FAKE_FTDI_DRIVER_PATH));
            environment.insert(u"FAKE_FTDI_CONTROL"_s, control);
            environment.insert(u"ASAN_OPTIONS"_s,
                               environment.value(u"ASAN_OPTIONS"_s) + u":verify_asan_link_order=0"_s);
        }
        CliRun run = runCli({u"test"_s, u"--port"_s, sim.path()}, environment);
        // A heavily loaded machine (sanitizers, parallel builds) can hold all
        // seven commands of a run: a row that must stay silent gets three runs.
        for (int again = 0; again < 2 && !told && run.err.contains(u"Liaison lente"_s); ++again)
            run = runCli({u"test"_s, u"--port"_s, sim.path()}, environment);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(control).trimmed(), driverHonours ? "1" : told ? "16" : "0");
        static const QRegularExpression warning(
            uR"(^Vérification terminé avec succés !\nLiaison lente : (1[5-9]|[2-9]\d),\d ms par commande au lieu de 10,4 ms )"
            uR"(au rythme de la ligne, soit [1-9]\d\d,\d s par passe au lieu de 85,3 s\. L'adaptateur de .* est lent )"
            uR"(en lui-même .*\n$)"_s);
        QVERIFY2(told ? warning.match(run.err).hasMatch() : run.err == u"Vérification terminé avec succés !\n"_s,
                 qPrintable(run.err));
    }

    void programVerifyReadTest()
    {
        const QString back = dir_.filePath(u"back.zel"_s);
        SimProcess sim;
        QVERIFY(sim.start());
        for (const auto &[command, done] : {std::pair{u"program"_s, u"Programmation terminée"_s},
                                            std::pair{u"verify"_s, u"Vérification terminée"_s}}) {
            const CliRun run = runCli({command, file_, u"--port"_s, sim.path()});
            QVERIFY(run.exitCode == 0 && run.err == done + u" avec succés !\n"_s);
        }
        CliRun run = runCli({u"read"_s, back, u"--port="_s + sim.path()});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.startsWith(u"Centrale de défauts :\n\r"_s));
        QVERIFY(run.err.endsWith(u"Lecture terminée avec succés !\n"_s));
        QCOMPARE(readFile(back), pattern(1));
        // COMn reaches the device named by TORSA_COMn.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"TORSA_COM2"_s, sim.path());
        run = runCli({u"test"_s, u"--port"_s, u"COM2"_s}, environment);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, u"Vérification terminé avec succés !\n"_s);
        // Windows lists its serial ports, those beyond COM4 among them: the unit's is one.
        run = runCli({u"ports"_s});
        QVERIFY2(!SimProcess::throughWindowsPorts() || ('\n' + run.out).contains('\n' + sim.path().toLatin1() + ' '),
                 run.out.constData());
    }

    // Each failure has its exit status and its message. What is refused before
    // the port (usage, a port that cannot be opened, a bad file) reaches no
    // unit, and no failure touches the file. In the arguments and messages,
    // '@' stands for the test's folder and SIM for the unit's device.
    void failures_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString communication =
            u"Problème de communication !\r\nEssayez à nouveau .\nL'unité ne répond plus à l'adresse 300\n"_s;
        const QString connection = u"Problème de connexion !\r\nVérifier le câble et le port COM choisi .\n"_s;
        const QString usage =
            u"Usage : torsa-cli program FILE --port PORT... [--verify] [--log LOG.csv] [--expect-sha256 HEX]\n"
            "        torsa-cli station FILE --port PORT... [--log LOG.csv] [--expect-sha256 HEX]\n"
            "        torsa-cli verify FILE --port PORT... [--log LOG.csv] [--expect-sha256 HEX]\n"
            "        torsa-cli read FILE --port PORT [--log LOG.csv]\n"
            "        torsa-cli test --port PORT... [--log LOG.csv]\n"_s;
        const QString file = u"@/messages.zel"_s;
        const QStringList sim{u"--port"_s, u"SIM"_s};
        const QStringList verbose{u"--verbose"_s};
        QTest::newRow("read, unit falls silent")
            << QStringList{u"--silent-from"_s, u"300"_s} << QStringList{u"read"_s, file} + sim << 1 << communication;
        QTest::newRow("program, unit dies")
            << QStringList{u"--die-at"_s, u"300"_s} << QStringList{u"program"_s, file} + sim << 1 << communication;
        QTest::newRow("test, unit reads 0")
            << QStringList{u"--read-zero"_s} << QStringList{u"test"_s} + sim << 1 << connection;
        QTest::newRow("verify, one cell differs")
            << QStringList{u"--load"_s, u"@/unit.zel"_s} << QStringList{u"verify"_s, file} + sim << 2
            << u"Erreur Vérification !\r\nReprogrammez à nouveau .(Err: 5000)\n"
               "Adresse 5000 : octet attendu 217, octet lu 218\n"_s;
        QTest::newRow("port that is no terminal")
            << verbose << QStringList{u"program"_s, file, u"--port"_s, u"/dev/null"_s} << 3
            << u"L'ouverture du port /dev/null à échouée !\n"_s;
        QTest::newRow("read into a missing folder")
            << verbose << QStringList{u"read"_s, u"@/no/such.zel"_s} + sim << 4
            << u"Erreur lors de la création de @/no/such.zel. Essayer à nouveau\n"_s;
        QTest::newRow("short file") << verbose << QStringList{u"verify"_s, u"@/short.zel"_s} + sim << 4
                                    << u"Erreur d'ouverture de @/short.zel\ntrop court : 100 octets sur 8192\n"_s;
        const QString hash =
            QString::fromLatin1(QCryptographicHash::hash(pattern(1), QCryptographicHash::Sha256).toHex());
        const QString other = QString(64, u'A');
        QTest::newRow("not the file expected")
            << verbose << QStringList{u"program"_s, file, u"--expect-sha256"_s, other} + sim << 4
            << u"Le fichier @/messages.zel n'est pas celui attendu : SHA-256 %1 au lieu de %2.\n"_s.arg(
                   hash, other.toLower());
        QTest::newRow("the file expected, as sha256sum prints it and in capitals")
            << QStringList{u"--load"_s, u"@/messages.zel"_s}
            << QStringList{u"verify"_s, file, u"--expect-sha256="_s + hash.left(32) + hash.mid(32).toUpper()} + sim << 0
            << u"Vérification terminée avec succés !\n"_s;
        for (const auto &[name, arguments, problem] :
             {std::tuple{"no port", QStringList{u"program"_s, file}, u"Il manque --port PORT."_s},
              std::tuple{"no file", QStringList{u"verify"_s} + sim, u"Il manque le fichier FILE."_s},
              std::tuple{"unknown option", QStringList{u"test"_s, u"--fast"_s} + sim, u"Option inconnue : --fast"_s},
              std::tuple{"read on two ports", QStringList{u"read"_s, file} + sim + sim,
                         u"read ne prend qu'un seul --port."_s},
              std::tuple{"log twice", QStringList{u"test"_s, u"--log=a"_s, u"--log=b"_s} + sim,
                         u"--log est donné deux fois."_s}})
            QTest::newRow(name) << verbose << arguments << 64 << problem + u'\n' + usage;
        QTest::newRow("port given twice")
            << verbose << QStringList{u"program"_s, file} + sim + sim << 64 << u"Le port SIM est donné deux fois.\n"_s;
        if (!SimProcess::throughWindowsPorts()) // Windows reaches a port by one name only
            QTest::newRow("one device under two names") << QStringList{u"--verbose"_s, u"--link"_s, u"@/zel"_s}
                                                        << QStringList{u"test"_s, u"--port"_s, u"@/zel"_s} + sim << 64
                                                        << u"@/zel et SIM sont le même port (SIM).\n"_s;
        QTest::newRow("log cannot be written")
            << verbose << QStringList{u"program"_s, file, u"--log"_s, u"@/no/log.csv"_s} + sim << 4
            << u"Erreur lors de la création de @/no/log.csv. Essayer à nouveau\n"_s;
    }

    void failures()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QByteArray unit = pattern(1);
        unit[5000] = static_cast<char>(unit.at(5000) + 1);
        QVERIFY(writeFile(dir_.filePath(u"unit.zel"_s), unit));
        QVERIFY(writeFile(dir_.filePath(u"short.zel"_s), pattern(1).first(100)));
        SimProcess sim;
        QVERIFY(sim.start(simOptions.replaceInStrings(u"@"_s, dir_.path())));
        arguments.replaceInStrings(u"@"_s, dir_.path()).replaceInStrings(u"SIM"_s, sim.path());
        const CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err, message.replace(u'@', dir_.path()).replace(u"SIM"_s, sim.path()));
        QCOMPARE(readFile(file_), pattern(1));
        if (exitCode > 2) {
            QVERIFY(sim.stop());
            QVERIFY(sim.process().readAllStandardError().contains("zel-sim: 0 frames answered"));
        }
    }

    // Several units at once, each on its own simulator ("-": a port that does
    // not exist), split over one or two processes sharing a new log. Each unit's
    // closing line and last log row carry its own text and where it stopped
    // ("address,expected,read"); its log rows are "command=status" in order,
    // with the file's SHA-256 and the host; a unit programmed successfully
    // holds the file. Without a terminal each unit's progress comes as lines,
    // and each process ends on its verdict.
    void severalUnits_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("processes");
        QTest::addColumn<QStringList>("units"); // simulator options of each unit
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("stops");
        QTest::addColumn<int>("exitCode");
        const QStringList programVerify{u"program"_s, u"@/messages.zel"_s, u"--verify"_s};
        const QString verified = u"Vérification terminée avec succés !"_s;
        const QString communication = u"Problème de communication ! Essayez à nouveau ."_s;
        QTest::newRow("four units, two processes, one log")
            << programVerify << 2 << QStringList(4, QString()) << QStringList(4, u"program=0 verify=0"_s)
            << QStringList(4, verified) << QStringList(4, u",,"_s) << 0;
        QTest::newRow("faulty units beside good ones")
            << programVerify << 1
            << QStringList{{}, u"--read-zero"_s, u"--silent-from 300"_s, u"-"_s, u"--die-at 300"_s, {}}
            << QStringList{u"program=0 verify=0"_s, u"program=0 verify=2"_s, u"program=1"_s,
                           u"program=3"_s,          u"program=1"_s,          u"program=0 verify=0"_s}
            << QStringList{verified,      u"Erreur Vérification ! Reprogrammez à nouveau .(Err: 0)"_s,
                           communication, u"L'ouverture du port /dev/torsa-no-such-port à échouée !"_s,
                           communication, verified}
            << QStringList{u",,"_s, u"0,1,0"_s, u"300,,"_s, u",,"_s, u"300,,"_s, u",,"_s} << 2;
        // Windows has no SIGTERM: Wine ends the program on the spot.
        for (const char *const stop : {"interrupted", "terminated"})
            if (!SimProcess::throughWindowsPorts() || QByteArrayView(stop) == "interrupted")
                QTest::newRow(stop) << QStringList{u"program"_s, u"@/messages.zel"_s} << 1
                                    << QStringList(2, u"--baud 9600 --verbose"_s) << QStringList(2, u"program=1"_s)
                                    << QStringList(2, u"Transfert interrompu."_s) << QStringList(2, u",,"_s) << 1;
    }

    void severalUnits()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, processes);
        QFETCH(QStringList, units);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, stops);
        QFETCH(int, exitCode);
        const QString log = dir_.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".csv"_s);
        // Ctrl+C, or SIGTERM from a supervisor: the same stop.
        const QByteArray tag = QTest::currentDataTag();
        const int stopSignal = tag == "interrupted" ? SIGINT : tag == "terminated" ? SIGTERM : 0;
        const bool interrupt = stopSignal != 0;
        std::vector<std::unique_ptr<SimProcess>> sims;
        QStringList ports;
        QList<QStringList> commandLines(processes,
                                        arguments.replaceInStrings(u"@"_s, dir_.path()) << u"--log"_s << log);
        for (qsizetype i = 0; i < units.size(); ++i) {
            sims.push_back(std::make_unique<SimProcess>());
            const QStringList options = units[i].split(u' ', Qt::SkipEmptyParts);
            QVERIFY(options == QStringList{u"-"_s}
                    || sims.back()->start(options + QStringList{u"--save"_s, dir_.filePath(u"unit%1.zel"_s.arg(i))}));
            ports << (sims.back()->path().isEmpty() ? u"/dev/torsa-no-such-port"_s : sims.back()->path());
            commandLines[i * processes / units.size()] << u"--port"_s << ports.last();
        }
        std::vector<std::unique_ptr<QProcess>> clis;
        for (const QStringList &commandLine : commandLines) {
            clis.push_back(std::make_unique<QProcess>());
            startCli(*clis.back(), commandLine);
        }
        for (auto &sim : sims) { // interrupted once each unit has had a frame
            sim->process().setReadChannel(QProcess::StandardError);
            QVERIFY(!interrupt || sim->process().waitForReadyRead());
        }
        QString err;
        for (auto &cli : clis) {
            if (interrupt)
                ::kill(static_cast<pid_t>(cli->processId()), stopSignal);
            QVERIFY(cli->waitForFinished(kCliWaitMs) && cli->exitStatus() == QProcess::NormalExit);
            QCOMPARE(cli->exitCode(), exitCode);
            err += QString::fromUtf8(cli->readAllStandardError());
        }
        QStringList lines = err.split(u'\n', Qt::SkipEmptyParts);
        const QStringList progress = lines.filter(u"en cours..."_s);
        QVERIFY(rows[0] != u"program=0 verify=0"_s
                || !progress.filter(u" Vérification en cours...  50%  effectuée"_s).isEmpty());
        const QStringList verdicts = lines.filter(u"Bilan : "_s);
        QCOMPARE(verdicts.size(), processes);
        const QString verified = u"Vérification terminée avec succés !"_s;
        const auto failed = texts.size() - texts.count(verified);
        QVERIFY2(
            processes > 1
                || verdicts[0].startsWith(u"Bilan : %1 bonnes, %2 en échec"_s.arg(texts.size() - failed).arg(failed)),
            qPrintable(verdicts[0]));
        // A loaded machine may hold the paced units' commands past the slow-link margin.
        lines.removeIf([&](const QString &line) {
            return progress.contains(line) || verdicts.contains(line) || line.contains(u"Liaison lente : "_s);
        });
        QCOMPARE(lines.size(), units.size());
        const QByteArray bytes = readFile(log);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const auto records = torsa::csv::parse(QString::fromUtf8(bytes.sliced(3)));
        QCOMPARE(records.front().fields.first(), u"Date"_s); // the header, once: no row of ours has it
        const QByteArray hash = QCryptographicHash::hash(pattern(1), QCryptographicHash::Sha256).toHex();
        QStringList seen(units.size());
        for (auto record = records.begin() + 1; record != records.end(); ++record) {
            const QStringList &fields = record->fields;
            const qsizetype unit = ports.indexOf(fields.at(2));
            QVERIFY(unit >= 0 && fields.size() == 16);
            QCOMPARE(fields.at(10), QSysInfo::machineHostName());
            QVERIFY(!fields.at(9).isEmpty() && fields.at(11).isEmpty());
            seen[unit] += (seen[unit].isEmpty() ? u""_s : u" "_s) + fields.at(1) + u'=' + fields.at(6);
            QCOMPARE(fields.at(5).toLatin1(), hash);
            if (seen[unit] == rows[unit]) {
                QCOMPARE(QString(fields.at(7)).replace(u"\r\n"_s, u" "_s), texts[unit]);
                QCOMPARE(fields.mid(12, 3).join(u','), stops[unit]);
            }
        }
        for (qsizetype i = 0; i < units.size(); ++i) {
            QCOMPARE(seen[i], rows[i]);
            QVERIFY2(lines[i].startsWith(ports[i]) && lines[i].contains(u"  "_s + texts[i]), qPrintable(lines[i]));
            QVERIFY(failed == 0 || processes > 1 || texts[i] == verified
                    || verdicts[0].contains(ports[i] + u" : "_s + texts[i]));
            QVERIFY(sims[i]->stop());
            if (rows[i].startsWith(u"program=0"_s))
                QCOMPARE(readFile(dir_.filePath(u"unit%1.zel"_s.arg(i))), pattern(1));
        }
    }

    // Ctrl+C on one port with a log, mid-programming: the unit ends as
    // interrupted, with its row. While the last byte of the programming is on
    // the line: the programming ends well, and the verification it leaves
    // undone is an interrupted one, logged as such; the unit does not pass.
    void stopOnOnePort_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QByteArray>("stopAt"); // the frame zel-sim has seen
        QTest::addColumn<bool>("verify");
        QTest::addColumn<QString>("err");
        QTest::newRow("mid-programming") << QStringList{u"--baud"_s, u"9600"_s} << QByteArray("EC 300 ") << false
                                         << u"Transfert interrompu.\n"_s;
        QTest::newRow("before the verification")
            << QStringList{u"--delay-ms"_s, u"300"_s, u"--delay-from"_s, u"8191"_s} << QByteArray("EC 8191 ") << true
            << u"Programmation terminée avec succés !\nTransfert interrompu.\n"_s;
    }

    void stopOnOnePort()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QByteArray, stopAt);
        QFETCH(bool, verify);
        QFETCH(QString, err);
        const QString log = dir_.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".csv"_s);
        SimProcess sim;
        QVERIFY(sim.start(QStringList{u"--verbose"_s} + simOptions));
        QProcess cli;
        startCli(cli,
                 QStringList{u"program"_s, file_, u"--port"_s, sim.path(), u"--log"_s, log}
                     + (verify ? QStringList{u"--verify"_s} : QStringList{}));
        sim.process().setReadChannel(QProcess::StandardError);
        QByteArray seen;
        QVERIFY(waitFor(sim.process(), seen, stopAt));
        ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(kCliWaitMs) && cli.exitStatus() == QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 1);
        // A loaded machine may hold the paced unit's commands past the slow-link margin.
        const QString got = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(got == err || (got.startsWith(err) && got.mid(err.size()).startsWith(u"Liaison lente : "_s)),
                 qPrintable(got));
        const auto records = torsa::csv::parse(QString::fromUtf8(readFile(log).sliced(3)));
        QCOMPARE(records.size(), std::size_t(verify ? 3 : 2));
        QCOMPARE(records.back().fields.mid(1, 1) + records.back().fields.mid(6, 2),
                 (QStringList{verify ? u"verify"_s : u"program"_s, u"1"_s, u"Transfert interrompu."_s}));
    }

    // A station on two lines through three units each: on A the second unit is
    // taken away mid-programming, on B the second has a worn cell. Each unit
    // is numbered, ends on its line and its log rows; Ctrl+C ends on the totals.
    // A third port cannot be opened: said on its line, never waited on. Left on
    // its line, B's last unit is asked whether it is still there every half
    // second (the gaps its simulator logs before each frame after the transfer's).
    void station()
    {
        const QString log = dir_.filePath(u"station.csv"_s);
        std::vector<std::unique_ptr<SimProcess>> sims;
        const QString absent = dir_.filePath(u"absent"_s);
        QStringList arguments{u"station"_s, file_, u"--log"_s, log, u"--port"_s, absent};
        const QString gapLog = dir_.filePath(u"gaps-b.txt"_s);
        for (const QString &line : {u"a"_s, u"b"_s}) {
            sims.push_back(std::make_unique<SimProcess>());
            QVERIFY(
                sims.back()->start({u"--stuck-cell"_s, u"2:5000"_s, u"--save-each"_s, dir_.filePath(line + u"%1.zel"_s),
                                    u"--save"_s, dir_.filePath(line + u"3.zel"_s), u"--gap-log"_s,
                                    line == u"b" ? gapLog : dir_.filePath(u"gaps-a.txt"_s)}));
            arguments << u"--port"_s << sims.back()->path();
        }
        SimProcess &a = *sims[0];
        SimProcess &b = *sims[1];
        QProcess cli;
        cli.setReadChannel(QProcess::StandardError);
        startCli(cli, arguments);
        QByteArray err;
        // Each unit is taken away once the given line has come so many times;
        // A's second unit is pulled out from under its programming.
        const auto swap = [&](SimProcess &sim, const QByteArray &after, int times, int unit) {
            const QByteArray port = sim.path().toUtf8();
            const auto pid = static_cast<pid_t>(sim.process().processId());
            return waitFor(cli, err, port + after, times) && ::kill(pid, SIGUSR1) == 0
                && waitFor(cli, err, port + "  en attente d'une unité", unit + 1) && ::kill(pid, SIGUSR2) == 0;
        };
        QVERIFY(swap(a, "  unité ", 2, 1)); // its start and its end
        QVERIFY(swap(a, " Programmation en cours...  30%", 2, 2));
        QVERIFY(swap(b, "  unité ", 2, 1));
        QVERIFY(swap(b, "  unité ", 4, 2));
        for (SimProcess *sim : {&a, &b})
            QVERIFY(waitFor(cli, err, sim->path().toUtf8() + "  unité ", 6));
        QTest::qWait(kProbesWaitMs);
        ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(kCliWaitMs) && cli.exitStatus() == QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 1);
        err += cli.readAll();
        QVERIFY2(err.contains("\nBilan : 4 bonnes, 2 en échec (") && !err.contains("unité 0"), err.constData());
        QVERIFY(err.contains(absent.toUtf8() + "  L'ouverture du port " + absent.toUtf8() + " à échouée !")
                && !err.contains(absent.toUtf8() + "  en attente"));
        QVERIFY(err.contains("  Adresse 5000 : octet attendu 217, octet lu 0\n"));
        QVERIFY(a.stop() && b.stop());
        QList<qint64> gaps;
        for (const QByteArray &line : readFile(gapLog).trimmed().split('\n'))
            gaps.append(line.toLongLong());
        // The transfer's gaps are microseconds; the first probe's is cut by the
        // transfer's end.
        const auto lastTransferGap = std::find_if(gaps.rbegin(), gaps.rend(), [](qint64 us) { return us < 10'000; });
        const QList<qint64> probeGaps(lastTransferGap.base() + 1, gaps.end());
        QStringList shown;
        for (const qint64 us : probeGaps)
            shown << QString::number(us);
        QVERIFY2(probeGaps.size() >= 3
                     && std::ranges::all_of(probeGaps, [](qint64 us) { return us >= 400'000 && us < 800'000; }),
                 qPrintable(shown.join(u' ')));
        QByteArray worn = pattern(1);
        worn[5000] = 0;
        for (const auto &[name, bytes] :
             {std::pair{"a1", pattern(1)}, std::pair{"a3", pattern(1)}, std::pair{"b1", pattern(1)},
              std::pair{"b2", worn}, std::pair{"b3", pattern(1)}})
            QCOMPARE(readFile(dir_.filePath(QString::fromLatin1(name) + u".zel"_s)), bytes);
        QStringList seen(2);
        QStringList numbers;
        const auto records = torsa::csv::parse(QString::fromUtf8(readFile(log).sliced(3)));
        for (auto record = records.begin() + 1; record != records.end(); ++record) {
            const QStringList &fields = record->fields;
            seen[fields.at(2) == b.path()] +=
                fields.at(1) + u'=' + fields.at(6) + u' ' + fields.mid(12, 3).join(u',') + u';';
            numbers << fields.at(11);
        }
        QVERIFY2(seen[0].contains(QRegularExpression(
                     u"^program=0 ,,;verify=0 ,,;program=1 [0-9]{4},,;program=0 ,,;verify=0 ,,;$"_s)),
                 qPrintable(seen[0]));
        QCOMPARE(seen[1], u"program=0 ,,;verify=0 ,,;program=0 ,,;verify=2 5000,217,0;program=0 ,,;verify=0 ,,;"_s);
        QCOMPARE(QSet<QString>(numbers.begin(), numbers.end()),
                 (QSet<QString>{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s}));
    }

private:
    QTemporaryDir dir_;
    const QString file_ = dir_.filePath(u"messages.zel"_s);
};

QTEST_GUILESS_MAIN(TestLinkCli)
#include "test_link_cli.moc"
