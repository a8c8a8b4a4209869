// The main window's port choice, transfers and link test against zel-sim,
// reached as COM1 through TORSA_COM1, with scripted message boxes.

#include "support/WindowUnderTest.h"
#include "support/SimProcess.h"

#include "editor/MainWindow.h"
#include "link/TransferEngine.h"
#include "link/TransferTexts.h"
#include "store/AddressMap.h"
#include "store/Validation.h"

#include <QAction>
#include <QEventLoop>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>
#include <memory>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

constexpr int kTransferWaitMs = 60000;

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

struct Fixture : testing::WindowUnderTest {
    link::TransferEngine *engine() const { return get<link::TransferEngine>("transfer"); }
    bool editorShown() const { return !get<QGroupBox>("Cadre1")->isHidden() && get<QGroupBox>("Cadre2")->isHidden(); }
    QColor statusLight() const { return get<QLineEdit>("Texte5")->palette().color(QPalette::Base); }

    void newSessionWithPlc() { newSession("MENU_ED_AVEC"); }

    void store(int number, const QString &text)
    {
        EditedMessage message;
        message.number = number;
        message.unit = 3;
        message.priority = number;
        message.text = text;
        validation::store(window->image(), message);
    }

    // Picks COM1, standing for the given device.
    void chooseCom1(const QString &device)
    {
        qputenv("TORSA_COM1", device.toLocal8Bit());
        item("Menu_COM1")->trigger();
    }

    // Triggers a command that runs a transfer and waits for its end in an
    // event loop of its own (QTest's waits sleep between passes, which every
    // byte command would pay). duringTransfer runs at the first progress.
    bool runToEnd(const char *command, const std::function<void(int)> &duringTransfer = {})
    {
        link::TransferEngine *transfer = engine();
        bool ended = false;
        QEventLoop loop;
        const auto f = QObject::connect(transfer, &link::TransferEngine::finished, &loop, [&] {
            ended = true;
            loop.quit();
        });
        const auto p = QObject::connect(transfer, &link::TransferEngine::progress, &loop, [&](int address) {
            if (duringTransfer)
                duringTransfer(address);
        });
        QTimer::singleShot(kTransferWaitMs, &loop, &QEventLoop::quit);
        item(command)->trigger();
        if (transfer->isRunning())
            loop.exec();
        QObject::disconnect(f);
        QObject::disconnect(p);
        return ended;
    }
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestLinkWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { qunsetenv("TORSA_COM1"); }

    void commandsNeedAPort_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("programming") << QByteArray("MENU_WRITE");
        QTest::newRow("reading") << QByteArray("MENU_READ");
        QTest::newRow("verification") << QByteArray("MENU_VERIF");
        QTest::newRow("link test") << QByteArray("Menu_test");
    }

    void commandsNeedAPort()
    {
        QFETCH(QByteArray, command);
        Fixture f;
        f.item(command.constData())->trigger();
        QCOMPARE(f.prompts->shown.size(), 1);
        QCOMPARE(f.prompts->lastText(), u"Sélectionner le port série (COM) \r\ndans le menu Configuration."_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
        QVERIFY(!f.engine()->isRunning());
    }

    void choosingThePort()
    {
        SimProcess sim;
        QVERIFY(sim.start());
        Fixture f;
        f.chooseCom1(sim.path());
        QCOMPARE(f.prompts->lastText(), u"Ouverture du port COM1 effectuée avec succès."_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Information);
        QVERIFY(f.item("Menu_COM1")->isChecked());

        // The same item again: closed, opened again, told again.
        f.item("Menu_COM1")->trigger();
        QCOMPARE(f.prompts->shown.size(), 2);
        QCOMPARE(f.prompts->lastText(), u"Ouverture du port COM1 effectuée avec succès."_s);

        qputenv("TORSA_COM4", "/dev/torsa-no-such-port");
        f.item("Menu_COM4")->trigger();
        qunsetenv("TORSA_COM4");
        QCOMPARE(f.prompts->lastText(), u"L'ouverture du port COM4 à échouée !"_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Critical);
        for (const char *name : {"Menu_COM1", "Menu_COM2", "Menu_COM3", "Menu_COM4"})
            QVERIFY(!f.item(name)->isChecked());
        QVERIFY(f.item("Menu_COM1")->statusTip().startsWith(u"COM1 : "_s));
        QCOMPARE(f.item("Menu_COM1")->toolTip(), f.item("Menu_COM1")->statusTip());
    }

    void programThenVerify()
    {
        QTemporaryDir dir;
        const QString unitFile = dir.filePath(u"unit.zel"_s);
        SimProcess sim;
        QVERIFY(sim.start({u"--save"_s, unitFile}));
        Fixture f;
        f.newSessionWithPlc();
        f.store(12, u"Bonjour"_s);
        // A technician's refresh has run long before a 9600-baud transfer
        // reaches the summary block; the unpaced simulator gets there first.
        f.window->Timer1_Timer();
        f.chooseCom1(sim.path());

        f.prompts->answers.push_back(true);
        bool panelShown = false;
        bool guarded = false;
        QVERIFY(f.runToEnd("MENU_WRITE", [&](int address) {
            if (address != 100)
                return;
            panelShown = f.get<QGroupBox>("Cadre1")->isHidden() && !f.get<QGroupBox>("Cadre2")->isHidden();
            guarded = true;
            for (const char *name : {"MENU_ED_SANS", "MENU_ED_AVEC", "MENU_OUVIR", "MENU_WRITE", "MENU_READ",
                                     "MENU_VERIF", "Menu_COM1", "Menu_COM2", "Menu_COM3", "Menu_COM4", "Menu_test"})
                guarded = guarded && !f.item(name)->isEnabled();
        }));
        QVERIFY(panelShown);
        QVERIFY(guarded);
        QCOMPARE(f.prompts->shown.at(2).text, u"Commencer la programmation ?"_s);
        QCOMPARE(f.prompts->shown.at(2).icon, PromptIcon::Question);
        QCOMPARE(f.prompts->lastText(), u"Programmation terminée avec succés !"_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Information);
        QCOMPARE(f.get<QProgressBar>("ProgressBar1")->value(), address::kLastAddress);
        QCOMPARE(f.get<QLineEdit>("Texte5")->text(), u"  100%  effectuée"_s);
        QCOMPARE(f.get<QLineEdit>("Texte3")->text(), u" Programmation en cours..."_s);
        QCOMPARE(f.statusLight(), kGreen);
        QVERIFY(f.editorShown());
        QVERIFY(f.item("MENU_WRITE")->isEnabled() && f.item("Menu_COM1")->isEnabled());

        f.prompts->answers.push_back(true);
        QVERIFY(f.runToEnd("MENU_VERIF"));
        QCOMPARE(f.prompts->lastText(), u"Vérification terminée avec succés !"_s);

        // A changed message fails at the first cell of its slot that differs.
        f.store(12, u"Bonsoir"_s);
        f.prompts->answers.push_back(true);
        QVERIFY(f.runToEnd("MENU_VERIF"));
        const int differing = address::textStart(12) + 3;
        QCOMPARE(f.prompts->lastText(),
                 u"Erreur Vérification !\r\nReprogrammez à nouveau .(Err: "_s + QString::number(differing) + u')');
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Critical);
        QCOMPARE(f.statusLight(), kRed);
        QVERIFY(f.editorShown());

        QVERIFY(sim.stop());
        QCOMPARE(readFile(unitFile).at(address::textStart(12)), 'B');
    }

    void answeringNoSendsNothing()
    {
        SimProcess sim;
        QVERIFY(sim.start({u"--verbose"_s}));
        Fixture f;
        f.chooseCom1(sim.path());
        f.prompts->answers.push_back(false);
        f.item("MENU_WRITE")->trigger();
        QVERIFY(!f.engine()->isRunning());
        QVERIFY(f.editorShown());
        QCOMPARE(f.prompts->shown.size(), 2);
        QVERIFY(sim.stop());
        QVERIFY(!sim.process().readAllStandardError().contains("zel-sim: EC"));
    }

    void readingReplacesTheImageOnlyWhenWhole()
    {
        QTemporaryDir dir;
        const QString unitFile = dir.filePath(u"unit.zel"_s);
        {
            // A unit programmed without PLC, three messages.
            MemoryImage unit;
            for (const int n : {0, 1, 2}) {
                unit.set(address::unitCell(n), address::kPresenceFlag + 1);
                unit.set(address::textStart(n), 'A' + n);
                unit.set(address::textStart(n) + 1, address::kEndMarker);
            }
            unit.set(address::kModeCell, address::kModeLetterWithoutPlc);
            unit.set(address::kEmptyCountCell, 14);
            QFile file(unitFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            for (int a = 0; a < address::kImageSize; ++a)
                file.putChar(static_cast<char>(unit.at(a)));
        }

        // First a unit that falls silent half way: nothing changes.
        {
            SimProcess sim;
            QVERIFY(sim.start({u"--load"_s, unitFile, u"--silent-from"_s, u"4000"_s}));
            Fixture f;
            f.newSessionWithPlc();
            f.store(5, u"Reste"_s);
            // The refresh keeps running during the read; the summary block is
            // already as it leaves it.
            f.window->Timer1_Timer();
            const MemoryImage before = f.window->image();
            f.chooseCom1(sim.path());
            f.prompts->answers.push_back(true);
            QVERIFY(f.runToEnd("MENU_READ"));
            QCOMPARE(f.prompts->shown.at(2).text, u" Commencer la lecture ? "_s);
            QCOMPARE(f.prompts->lastText(), u"Problème de communication !\r\nEssayez à nouveau ."_s);
            QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
            QCOMPARE(f.statusLight(), kRed);
            QVERIFY(f.window->image() == before);
            QCOMPARE(f.window->sessionMode(), SessionMode::WithPlc);
        }

        SimProcess sim;
        QVERIFY(sim.start({u"--load"_s, unitFile}));
        Fixture f;
        f.newSessionWithPlc();
        f.chooseCom1(sim.path());
        f.prompts->answers.push_back(true);
        QVERIFY(f.runToEnd("MENU_READ"));
        QCOMPARE(f.prompts->lastText(),
                 u"Centrale de défauts :\n\rSans automate.\n\r14 messages vides.Lecture terminée avec succés !"_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Information);
        QCOMPARE(f.window->sessionMode(), SessionMode::WithoutPlc);
        QCOMPARE(f.window->image().at(address::textStart(2)), 'C');
        QCOMPARE(f.get<QLineEdit>("Texte1")->text(), u"A"_s);
        QCOMPARE(f.statusLight(), kGreen);
    }

    void unitAbsent()
    {
        SimProcess sim;
        QVERIFY(sim.start({u"--silent-from"_s, u"0"_s}));
        Fixture f;
        f.chooseCom1(sim.path());
        f.prompts->answers.push_back(true);
        QVERIFY(f.runToEnd("MENU_WRITE"));
        QCOMPARE(f.prompts->lastText(), u"Problème de communication !\r\nEssayez à nouveau ."_s);
        QCOMPARE(f.get<QLineEdit>("Texte5")->text(), u"  0%  effectuée"_s);
        QCOMPARE(f.statusLight(), kRed);
    }

    void stoppingATransfer()
    {
        SimProcess sim;
        QVERIFY(sim.start());
        Fixture f;
        f.chooseCom1(sim.path());
        f.prompts->answers.push_back(true);
        QVERIFY(f.runToEnd("MENU_VERIF", [&](int address) {
            if (address == 100)
                f.get<QPushButton>("Commande8")->click();
        }));
        QCOMPARE(f.prompts->lastText(), u"Transfert interrompu."_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
        QCOMPARE(f.get<QProgressBar>("ProgressBar1")->value(), 100);
        QVERIFY(f.editorShown());
    }

    void negativeEmptyCountIsRefused()
    {
        SimProcess sim;
        QVERIFY(sim.start({u"--verbose"_s}));
        Fixture f;
        f.chooseCom1(sim.path());
        f.window->image().set(address::kEmptyCountCell, -3);
        f.item("MENU_WRITE")->trigger();
        QVERIFY(!f.engine()->isRunning());
        QVERIFY(f.prompts->lastText().contains(u"8190"_s));
        QVERIFY(f.prompts->lastText().contains(u"-3"_s));
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
        QVERIFY(sim.stop());
        QVERIFY(!sim.process().readAllStandardError().contains("zel-sim: EC"));
    }

    void linkTest_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("cell8191");
        QTest::newRow("healthy unit") << QStringList{} << u"Vérification terminé avec succés !"_s
                                      << static_cast<int>(PromptIcon::Information) << 0;
        QTest::newRow("unit reading 0")
            << QStringList{u"--read-zero"_s}
            << u"Problème de connexion !\r\nVérifier le câble et le port COM choisi ."_s
            << static_cast<int>(PromptIcon::Critical) << 99;
    }

    void linkTest()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QString, message);
        QFETCH(int, icon);
        QFETCH(int, cell8191);
        SimProcess sim;
        QVERIFY(sim.start(simOptions));
        Fixture f;
        f.chooseCom1(sim.path());
        f.window->image().set(address::kLinkTestCell, 99);
        QVERIFY(f.runToEnd("Menu_test"));
        QCOMPARE(f.prompts->lastText(), message);
        QCOMPARE(static_cast<int>(f.prompts->lastIcon()), icon);
        QCOMPARE(f.window->image().at(address::kLinkTestCell), cell8191);
        QVERIFY(f.editorShown());
        QVERIFY(f.item("MENU_WRITE")->isEnabled());
    }
};

QTEST_MAIN(TestLinkWindow)
#include "test_link_window.moc"
