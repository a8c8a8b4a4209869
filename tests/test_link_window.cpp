// The main window's port choice, transfers and link test against zel-sim,
// reached as COM1 through TORSA_COM1, with scripted message boxes: what the
// window shows and guards. The bytes on the line are test_link_transfer's.

#include "support/SimProcess.h"
#include "support/WindowUnderTest.h"

#include "link/TransferEngine.h"
#include "store/AddressMap.h"
#include "store/Validation.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest/QTest>

#include <functional>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

struct Fixture : testing::WindowUnderTest {
    link::TransferEngine *engine() const { return get<link::TransferEngine>("transfer"); }
    bool editorShown() const { return !get<QGroupBox>("Cadre1")->isHidden() && get<QGroupBox>("Cadre2")->isHidden(); }
    QColor statusLight() const { return get<QLineEdit>("Texte5")->palette().color(QPalette::Base); }

    void store(int number, const QString &text)
    {
        validation::store(window->image(), {.number = number, .unit = 3, .priority = number, .text = text});
    }

    void chooseCom1(const QString &device)
    {
        qputenv("TORSA_COM1", device.toLocal8Bit());
        item("Menu_COM1")->trigger();
    }

    // Triggers a command and, when it starts a transfer, waits for its end;
    // duringTransfer runs at each progress.
    bool runToEnd(const char *command, const std::function<void(int)> &duringTransfer = {})
    {
        const QObject context;
        if (duringTransfer)
            QObject::connect(engine(), &link::TransferEngine::progress, &context, duringTransfer);
        QSignalSpy finished(engine(), &link::TransferEngine::finished);
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
        QCOMPARE(f.prompts->lastText(), u"Ouverture du port COM1 effectuée avec succès."_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Information);
        QVERIFY(f.item("Menu_COM1")->isChecked());
        QVERIFY(f.item("Menu_COM1")->statusTip().startsWith(u"COM1 : "_s));

        f.window->image().set(address::kLinkTestCell, 99);
        const QColor light = f.statusLight();
        QVERIFY(f.runToEnd("Menu_test"));
        QCOMPARE(f.prompts->lastText(), u"Problème de connexion !\r\nVérifier le câble et le port COM choisi ."_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Critical);
        QCOMPARE(f.window->image().at(address::kLinkTestCell), 99);
        QCOMPARE(f.statusLight(), light);
        QVERIFY(f.editorShown());
        QVERIFY(f.item("MENU_WRITE")->isEnabled() && f.item("Menu_COM1")->isEnabled());

        qputenv("TORSA_COM4", "/dev/torsa-no-such-port");
        f.item("Menu_COM4")->trigger();
        qunsetenv("TORSA_COM4");
        QCOMPARE(f.prompts->lastText(), u"L'ouverture du port COM4 à échouée !"_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Critical);
        for (const char *name : {"Menu_COM1", "Menu_COM2", "Menu_COM3", "Menu_COM4"})
            QVERIFY(!f.item(name)->isChecked());
        for (const char *command : {"MENU_WRITE", "MENU_READ", "MENU_VERIF", "Menu_test"}) {
            f.item(command)->trigger();
            QCOMPARE(f.prompts->lastText(), u"Sélectionner le port série (COM) \r\ndans le menu Configuration."_s);
            QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
            QVERIFY(!f.engine()->isRunning());
        }
    }

    // Programming is refused before any question for a cell that does not fit
    // a byte, then asked for; while it runs the panel stands in for the editor
    // and every command that would nest is disabled.
    void programThenVerify()
    {
        SimProcess sim;
        QVERIFY(sim.start());
        Fixture f;
        f.newSession("MENU_ED_AVEC");
        f.store(12, u"Bonjour"_s);
        f.chooseCom1(sim.path());
        f.window->image().set(address::kEmptyCountCell, -3);
        f.item("MENU_WRITE")->trigger();
        QCOMPARE(f.prompts->lastText(), u"Programmation impossible : la cellule 8190 vaut -3, hors de 0 à 255.\r\n"
                                        "Aucun octet n'a été envoyé."_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
        QVERIFY(!f.engine()->isRunning());

        // The refresh puts the empty count back. A technician's has run long
        // before a 9600-baud transfer reaches the summary block; the unpaced
        // simulator gets there first.
        f.window->Timer1_Timer();
        f.prompts->answers.push_back(false);
        f.item("MENU_WRITE")->trigger();
        QCOMPARE(f.prompts->lastText(), u"Commencer la programmation ?"_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Question);
        QVERIFY(!f.engine()->isRunning());

        f.prompts->answers.push_back(true);
        bool panelShown = false;
        bool guarded = true;
        QVERIFY(f.runToEnd("MENU_WRITE", [&](int address) {
            if (address != 100)
                return;
            panelShown = f.get<QGroupBox>("Cadre1")->isHidden() && !f.get<QGroupBox>("Cadre2")->isHidden();
            for (const char *name : {"MENU_ED_SANS", "MENU_ED_AVEC", "MENU_OUVIR", "MENU_WRITE", "MENU_READ",
                                     "MENU_VERIF", "Menu_COM1", "Menu_COM2", "Menu_COM3", "Menu_COM4", "Menu_test"})
                guarded = guarded && !f.item(name)->isEnabled();
        }));
        QVERIFY(panelShown && guarded);
        QCOMPARE(f.prompts->lastText(), u"Programmation terminée avec succés !"_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Information);
        QCOMPARE(f.get<QProgressBar>("ProgressBar1")->value(), address::kLastAddress);
        QCOMPARE(f.get<QLineEdit>("Texte5")->text(), u"  100%  effectuée"_s);
        QCOMPARE(f.get<QLineEdit>("Texte3")->text(), u" Programmation en cours..."_s);
        QCOMPARE(f.statusLight(), kGreen);
        QVERIFY(f.editorShown());
        QVERIFY(f.item("MENU_WRITE")->isEnabled() && f.item("Menu_COM1")->isEnabled());

        // "Arrêter" ends a transfer after the byte in progress.
        f.prompts->answers.push_back(true);
        QVERIFY(f.runToEnd("MENU_VERIF", [&](int address) {
            if (address == 100)
                f.get<QPushButton>("Commande8")->click();
        }));
        QCOMPARE(f.prompts->lastText(), u"Transfert interrompu."_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
        QCOMPARE(f.get<QProgressBar>("ProgressBar1")->value(), 100);
        QVERIFY(f.editorShown());

        // A changed message fails at the first cell of its slot that differs.
        f.store(12, u"Bonsoir"_s);
        f.prompts->answers.push_back(true);
        QVERIFY(f.runToEnd("MENU_VERIF"));
        QCOMPARE(f.prompts->lastText(), u"Erreur Vérification !\r\nReprogrammez à nouveau .(Err: "_s
                                            + QString::number(address::textStart(12) + 3) + u')');
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Critical);
        QCOMPARE(f.statusLight(), kRed);
    }

    // A read of the sample, a with-PLC unit, into a without-PLC session
    // replaces the image, the mode and the editor only once all 8192 bytes are in.
    void reading_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::newRow("unit falls silent half way") << false;
        QTest::newRow("whole unit") << true;
    }

    void reading()
    {
        QFETCH(bool, whole);
        const QString sample = QStringLiteral(TORSA_SOURCE_DIR "/samples/demo.zel");
        SimProcess sim;
        QVERIFY(sim.start(whole ? QStringList{u"--load"_s, sample}
                                : QStringList{u"--load"_s, sample, u"--silent-from"_s, u"4000"_s}));
        Fixture f;
        f.newSession("MENU_ED_SANS");
        f.window->Timer1_Timer();   // the refresh would rewrite the summary block during the read
        const MemoryImage before = f.window->image();
        f.chooseCom1(sim.path());
        f.prompts->answers.push_back(true);
        QVERIFY(f.runToEnd("MENU_READ"));
        QCOMPARE(f.prompts->shown.at(2).text, u" Commencer la lecture ? "_s);
        if (!whole) {
            QCOMPARE(f.prompts->lastText(), u"Problème de communication !\r\nEssayez à nouveau ."_s);
            QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
            QCOMPARE(f.statusLight(), kRed);
            QVERIFY(f.window->image() == before);
            QCOMPARE(f.window->sessionMode(), SessionMode::WithoutPlc);
            return;
        }
        QCOMPARE(f.prompts->lastText(),
                 u"Centrale de défauts :\n\rAvec automate.\n\r156 messages vides.Lecture terminée avec succés !"_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Information);
        QCOMPARE(f.window->sessionMode(), SessionMode::WithPlc);
        QVERIFY(f.text()->text().endsWith(u"pompe P1     Disjoncteur ouvert"_s));
        QCOMPARE(f.statusLight(), kGreen);
    }
};

QTEST_MAIN(TestLinkWindow)
#include "test_link_window.moc"
