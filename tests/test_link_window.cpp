// The main window's port choice, transfers and link test against zel-sim, reached
// as COM1 through TORSA_COM1, with scripted message boxes: what the window shows
// and guards. The walk-through is the README's `make demo`, on the window's own
// menus. The bytes on the line are test_link_transfer's.

#include "support/ScriptedPrompts.h"
#include "support/SimProcess.h"
#include "support/WindowUnderTest.h"

#include "PortMenu.h"

#include "link/ByteCommand.h"
#include "link/TransferEngine.h"
#include "link/TransferTexts.h"
#include "store/AddressMap.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <functional>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);
const QString kSample = QStringLiteral(TORSA_SOURCE_DIR "/samples/demo.zel");

struct Fixture : testing::WindowUnderTest {
    link::TransferEngine *engine() const { return get<link::TransferEngine>("transfer"); }
    bool editorShown() const { return !get<QGroupBox>("Cadre1")->isHidden() && get<QGroupBox>("Cadre2")->isHidden(); }
    QColor statusLight() const { return get<QLineEdit>("Texte5")->palette().color(QPalette::Base); }
    QString listing() const
    {
        window->refresh();
        return get<QPlainTextEdit>("Texte2")->toPlainText();
    }

    void chooseCom1(const QString &device)
    {
        qputenv("TORSA_COM1", device.toLocal8Bit());
        item("Menu_COM1")->trigger();
    }

    // Triggers a command, answered Oui when it asks, and waits for the end of the
    // transfer it starts; duringTransfer runs at each progress.
    bool runToEnd(const char *command, const std::function<void(int)> &duringTransfer = {})
    {
        const QObject context;
        if (duringTransfer)
            QObject::connect(engine(), &link::TransferEngine::progress, &context, duringTransfer);
        QSignalSpy finished(engine(), &link::TransferEngine::finished);
        if (QByteArray(command).startsWith("MENU_"))
            prompts->answers.push_back(true);
        item(command)->trigger();
        return !finished.isEmpty() || (engine()->isRunning() && finished.wait(60000));
    }
};

} // namespace

class TestLinkWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { qunsetenv("TORSA_COM1"); }

    // The link test shows no panel and leaves the light alone; a unit reading
    // 0 fails it, and the image keeps its cell 8191. A port that cannot be
    // opened leaves none chosen; without one, every link command asks for one
    // and starts nothing.
    void choosingThePortAndTestingTheLink()
    {
        SimProcess sim;
        QVERIFY(sim.start({u"--read-zero"_s}));
        Fixture f;
        f.chooseCom1(sim.path());
        QCOMPARE(f.prompts->last(),
                 testing::box(u"Ouverture du port COM1 effectuée avec succès."_s, PromptIcon::Information));
        QVERIFY(f.item("Menu_COM1")->isChecked());

        MemoryImage held;
        held.set(address::kLinkTestCell, 99);
        f.window->session().open(held, *f.prompts);
        const QColor light = f.statusLight();
        QVERIFY(f.runToEnd("Menu_test"));
        QCOMPARE(f.prompts->last(),
                 testing::box(u"Problème de connexion !\r\nVérifier le câble et le port COM choisi ."_s,
                              PromptIcon::Critical));
        QCOMPARE(f.window->image().at(address::kLinkTestCell), 99);
        QVERIFY(f.statusLight() == light && f.editorShown());

        qputenv("TORSA_COM4", "/dev/torsa-no-such-port");
        f.item("Menu_COM4")->trigger();
        qunsetenv("TORSA_COM4");
        QCOMPARE(f.prompts->last(), testing::box(u"L'ouverture du port COM4 à échouée !"_s, PromptIcon::Critical));
        QVERIFY(!f.item("Menu_COM1")->isChecked() && !f.item("Menu_COM4")->isChecked());
        for (const char *command : {"MENU_WRITE", "MENU_READ", "MENU_VERIF", "Menu_test"}) {
            f.item(command)->trigger();
            QCOMPARE(f.prompts->last(),
                     testing::box(u"Sélectionner le port série (COM) \r\ndans le menu Configuration."_s,
                                  PromptIcon::Exclamation));
            QVERIFY(!f.engine()->isRunning());
        }
    }

    // A port beyond COM1 to COM4 (an adapter that came with a number of its
    // own) is listed as the menu opens; chosen, it stays listed and checked
    // while it is held, even unplugged, and leaves the menu once a command has
    // failed on it, with no port chosen any more.
    void aPortBeyondCom4ThatGoes()
    {
        if (SimProcess::throughWindowsPorts())
            QSKIP("under Wine the simulators' lines are COM ports that never go");
        SimProcess sim;
        QVERIFY(sim.start());
        QList<link::PresentPort> present{{sim.path(), u"FT232R USB UART"_s, {}, {}, {}, {}}};
        testing::ScriptedPrompts prompts;
        link::LinkPort port;
        QWidget bar;
        PortMenu menu(port, prompts, &bar, [&present] { return present; });
        const auto item = [&] {
            menu.popup({});
            menu.hide();
            return menu.findChild<QAction *>(u"Menu_"_s + sim.path());
        };
        QVERIFY(item());
        item()->trigger();
        QCOMPARE(
            prompts.last(),
            testing::box(u"Ouverture du port "_s + sim.path() + u" effectuée avec succès."_s, PromptIcon::Information));
        present.clear();
        QVERIFY(item() && item()->isChecked() && menu.hasChosenPort());

        sim.process().kill();
        QVERIFY(sim.waitForExit());
        link::ByteCommand command(port);
        QSignalSpy finished(&command, &link::ByteCommand::finished);
        command.startRead(0, 0);
        QVERIFY(finished.wait(5000));
        QVERIFY(!port.isOpen());
        QVERIFY(!item() && !menu.hasChosenPort());
    }

    // Through an adapter holding the answers: the link test's own box, then an
    // information box of its own with the figures, once per port opening.
    void slowAdapterTold()
    {
        SimProcess sim;
        QVERIFY(sim.start({u"--baud"_s, u"9600"_s, u"--adapter-latency"_s, u"16"_s}));
        Fixture f;
        const auto &shown = f.prompts->shown;
        for (const bool reopened : {true, false, true}) {
            if (reopened)
                f.chooseCom1(sim.path());
            const qsizetype before = shown.size();
            QVERIFY(f.runToEnd("Menu_test"));
            QCOMPARE(shown.size() - before, reopened ? 2 : 1);
            QCOMPARE(shown.at(before).text, u"Vérification terminé avec succés !"_s);
            QVERIFY2(!reopened
                         || (shown.last().icon == PromptIcon::Information
                             && shown.last().text.startsWith(u"Liaison lente : "_s)),
                     qPrintable(shown.last().text));
        }
    }

    // zel-sim holds the sample; open it, change message 3, program it (refused
    // first for a cell that fits no byte, then declined once), verify, stop a
    // verification, fail one on a changed message, start a new session and read
    // the unit back. While a transfer runs the panel stands in for the editor
    // and every command that would nest is disabled, a dropped file refused.
    void walkThrough()
    {
        QTemporaryDir demo;
        const QString copy = QDir(demo.path()).filePath(u"demo.zel"_s);
        QVERIFY(QFile::copy(kSample, copy));
        SimProcess sim;
        QVERIFY(sim.start({u"--load"_s, copy}));
        Fixture f;
        f.chooseCom1(sim.path());
        f.prompts->files.emplace_back(copy);
        f.item("MENU_OUVIR")->trigger();
        QVERIFY(f.listing().contains(u" n°003 | U: 02 |  P: 000  | Niveau bas          Cuve de stockage B  "_s));
        f.get<QScrollBar>("DéfilementH1")->setValue(3);
        QCOMPARE(f.text()->text(), u"Niveau bas          Cuve de stockage B"_s);
        f.text()->setText(u"Niveau bas          Cuve de stockage C"_s);
        f.click("Commande6");

        // Its 25 messages in a set without PLC: the empty count goes below 0.
        f.newSession("MENU_ED_SANS", false);
        f.window->refresh();
        f.item("MENU_WRITE")->trigger();
        QCOMPARE(f.prompts->last(),
                 testing::box(u"Programmation impossible : la cellule 8190 vaut -8, hors de 0 à 255.\r\n"
                              "Aucun octet n'a été envoyé."_s,
                              PromptIcon::Exclamation));
        // Back with PLC, the refresh puts the empty count back, as it always has
        // long before a 9600-baud transfer reaches the summary block.
        f.newSession("MENU_ED_AVEC", false);
        f.window->refresh();
        f.prompts->answers.push_back(false);
        f.item("MENU_WRITE")->trigger();
        QCOMPARE(f.prompts->last(), testing::box(u"Commencer la programmation ?"_s, PromptIcon::Question));
        QVERIFY(!f.engine()->isRunning() && f.editorShown());

        bool panelShown = false;
        bool guarded = true;
        QVERIFY(f.runToEnd("MENU_WRITE", [&](int address) {
            if (address != 100)
                return;
            panelShown = f.get<QGroupBox>("Cadre1")->isHidden() && !f.get<QGroupBox>("Cadre2")->isHidden();
            for (const char *name : {"MENU_ED_SANS", "MENU_ED_AVEC", "MENU_OUVIR", "MENU_WRITE", "MENU_READ",
                                     "MENU_VERIF", "Menu_COM1", "Menu_COM2", "Menu_COM3", "Menu_COM4", "Menu_test"})
                guarded = guarded && !f.item(name)->isEnabled();
            guarded = guarded && !f.drop({QUrl::fromLocalFile(copy)}); // refused as "Ouvrir" is
        }));
        QVERIFY(panelShown && guarded);
        QCOMPARE(f.prompts->last(), testing::box(u"Programmation terminée avec succés !"_s, PromptIcon::Information));
        QCOMPARE(f.get<QProgressBar>("ProgressBar1")->value(), address::kLastAddress);
        QCOMPARE(f.get<QLineEdit>("Texte5")->text(), u"  100%  effectuée"_s);
        QCOMPARE(f.get<QLineEdit>("Texte3")->text(), u" Programmation en cours..."_s);
        QCOMPARE(f.statusLight(), kGreen);
        QVERIFY(f.editorShown() && f.item("MENU_WRITE")->isEnabled() && f.item("Menu_COM1")->isEnabled());

        QVERIFY(f.runToEnd("MENU_VERIF"));
        QCOMPARE(f.prompts->lastText(), u"Vérification terminée avec succés !"_s);
        // "Arrêter" ends a transfer after the byte in progress.
        QVERIFY(f.runToEnd("MENU_VERIF", [&](int address) {
            if (address == 100)
                f.get<QPushButton>("Commande8")->click();
        }));
        QCOMPARE(f.prompts->last(), testing::box(u"Transfert interrompu."_s, PromptIcon::Exclamation));
        QCOMPARE(f.get<QProgressBar>("ProgressBar1")->value(), 100);
        // A changed message fails at the first cell of its slot that differs.
        f.get<QScrollBar>("DéfilementH1")->setValue(3);
        f.text()->setText(u"Niveau bas          Cuve de stockage D"_s);
        f.click("Commande6");
        QVERIFY(f.runToEnd("MENU_VERIF"));
        QCOMPARE(f.prompts->last(),
                 testing::box(u"Erreur Vérification !\r\nReprogrammez à nouveau .(Err: "_s
                                  + QString::number(address::textStart(3) + 37) + u')',
                              PromptIcon::Critical));
        QCOMPARE(f.statusLight(), kRed);

        f.newSession("MENU_ED_SANS");
        QVERIFY(!f.listing().contains(u"Niveau bas"_s));
        QVERIFY(f.runToEnd("MENU_READ"));
        QCOMPARE(f.prompts->shown.at(f.prompts->shown.size() - 2).text, u" Commencer la lecture ? "_s);
        QCOMPARE(f.prompts->lastText(),
                 u"Centrale de défauts :\n\rAvec automate.\n\r"
                 "156 messages vides.Lecture terminée avec succés !"_s);
        QCOMPARE(f.window->sessionMode(), SessionMode::WithPlc);
        QVERIFY(f.listing().contains(u" n°003 | U: 02 |  P: 000  | Niveau bas          Cuve de stockage C  "_s));
        QCOMPARE(f.text()->text(), u"Défaut pompe P1     Disjoncteur ouvert"_s); // message 0, read
        f.get<QScrollBar>("DéfilementH1")->setValue(3);
        QCOMPARE(f.text()->text(), u"Niveau bas          Cuve de stockage C"_s);
    }

    // A read that fails half way replaces nothing: image, mode and editor stay.
    void failedReadReplacesNothing()
    {
        SimProcess sim;
        QVERIFY(sim.start({u"--load"_s, kSample, u"--silent-from"_s, u"4000"_s}));
        Fixture f;
        f.newSession("MENU_ED_SANS");
        f.window->refresh(); // the refresh would rewrite the summary block during the read
        const MemoryImage before = f.window->image();
        f.chooseCom1(sim.path());
        QVERIFY(f.runToEnd("MENU_READ"));
        QCOMPARE(f.prompts->last(),
                 testing::box(u"Problème de communication !\r\nEssayez à nouveau ."_s, PromptIcon::Exclamation));
        QVERIFY(f.window->image() == before);
        QCOMPARE(f.window->sessionMode(), SessionMode::WithoutPlc);
    }
};

QTEST_MAIN(TestLinkWindow)
#include "test_link_window.moc"
