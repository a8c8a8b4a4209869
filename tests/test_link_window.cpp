// The main window's port choice, transfers and link test against zel-sim,
// reached as COM1 through TORSA_COM1, with scripted message boxes.

#include "support/CliProcess.h"
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
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <functional>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);
const QString kCommunication = u"Problème de communication !\r\nEssayez à nouveau ."_s;

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
        QObject::connect(engine(), &link::TransferEngine::progress, &context, [&](int address) {
            if (duringTransfer)
                duringTransfer(address);
        });
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

    void commandsNeedAPort_data()
    {
        QTest::addColumn<QByteArray>("command");
        for (const char *command : {"MENU_WRITE", "MENU_READ", "MENU_VERIF", "Menu_test"})
            QTest::newRow(command) << QByteArray(command);
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
        QVERIFY(f.item("Menu_COM1")->statusTip().startsWith(u"COM1 : "_s));

        qputenv("TORSA_COM4", "/dev/torsa-no-such-port");
        f.item("Menu_COM4")->trigger();
        qunsetenv("TORSA_COM4");
        QCOMPARE(f.prompts->lastText(), u"L'ouverture du port COM4 à échouée !"_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Critical);
        for (const char *name : {"Menu_COM1", "Menu_COM2", "Menu_COM3", "Menu_COM4"})
            QVERIFY(!f.item(name)->isChecked());
    }

    void programThenVerify()
    {
        QTemporaryDir dir;
        const QString unitFile = dir.filePath(u"unit.zel"_s);
        SimProcess sim;
        QVERIFY(sim.start({u"--save"_s, unitFile}));
        Fixture f;
        f.newSession("MENU_ED_AVEC");
        f.store(12, u"Bonjour"_s);
        // A technician's refresh has run long before a 9600-baud transfer
        // reaches the summary block; the unpaced simulator gets there first.
        f.window->Timer1_Timer();
        f.chooseCom1(sim.path());

        f.prompts->answers.push_back(false);
        f.item("MENU_WRITE")->trigger();
        QCOMPARE(f.prompts->shown.size(), 3);
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
        QVERIFY(panelShown);
        QVERIFY(guarded);
        QCOMPARE(f.prompts->shown.at(3).text, u"Commencer la programmation ?"_s);
        QCOMPARE(f.prompts->shown.at(3).icon, PromptIcon::Question);
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

        f.prompts->answers.push_back(true);
        QVERIFY(f.runToEnd("MENU_VERIF"));
        QCOMPARE(f.prompts->lastText(), u"Vérification terminée avec succés !"_s);

        // A changed message fails at the first cell of its slot that differs.
        f.store(12, u"Bonsoir"_s);
        f.prompts->answers.push_back(true);
        QVERIFY(f.runToEnd("MENU_VERIF"));
        QCOMPARE(f.prompts->lastText(), u"Erreur Vérification !\r\nReprogrammez à nouveau .(Err: "_s
                                            + QString::number(address::textStart(12) + 3) + u')');
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Critical);
        QCOMPARE(f.statusLight(), kRed);
        QVERIFY(sim.stop());
        QCOMPARE(testing::readFile(unitFile).at(address::textStart(12)), 'B');
    }

    // A read replaces the image, the mode and the editor only once all 8192
    // bytes are in.
    void reading_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::newRow("unit falls silent half way") << false;
        QTest::newRow("whole unit") << true;
    }

    void reading()
    {
        QFETCH(bool, whole);
        QTemporaryDir dir;
        const QString unitFile = dir.filePath(u"unit.zel"_s);
        QByteArray unit(address::kImageSize, '\0');   // without PLC, three messages
        for (const int n : {0, 1, 2}) {
            unit[address::unitCell(n)] = char(address::kPresenceFlag + 1);
            unit[address::textStart(n)] = char('A' + n);
            unit[address::textStart(n) + 1] = char(address::kEndMarker);
        }
        unit[address::kModeCell] = char(address::kModeLetterWithoutPlc);
        unit[address::kEmptyCountCell] = char(14);
        QVERIFY(testing::writeFile(unitFile, unit));
        SimProcess sim;
        QVERIFY(sim.start(whole ? QStringList{u"--load"_s, unitFile}
                                : QStringList{u"--load"_s, unitFile, u"--silent-from"_s, u"4000"_s}));
        Fixture f;
        f.newSession("MENU_ED_AVEC");
        f.store(5, u"Reste"_s);
        f.window->Timer1_Timer();   // the refresh would rewrite the summary block during the read
        const MemoryImage before = f.window->image();
        f.chooseCom1(sim.path());
        f.prompts->answers.push_back(true);
        QVERIFY(f.runToEnd("MENU_READ"));
        QCOMPARE(f.prompts->shown.at(2).text, u" Commencer la lecture ? "_s);
        if (!whole) {
            QCOMPARE(f.prompts->lastText(), kCommunication);
            QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
            QCOMPARE(f.statusLight(), kRed);
            QVERIFY(f.window->image() == before);
            QCOMPARE(f.window->sessionMode(), SessionMode::WithPlc);
            return;
        }
        QCOMPARE(f.prompts->lastText(),
                 u"Centrale de défauts :\n\rSans automate.\n\r14 messages vides.Lecture terminée avec succés !"_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Information);
        QCOMPARE(f.window->sessionMode(), SessionMode::WithoutPlc);
        QCOMPARE(f.window->image().at(address::textStart(2)), 'C');
        QCOMPARE(f.get<QLineEdit>("Texte1")->text(), u"A"_s);
        QCOMPARE(f.statusLight(), kGreen);
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
        QVERIFY(f.prompts->lastText().contains(u"8190"_s) && f.prompts->lastText().contains(u"-3"_s));
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
        QVERIFY(sim.stop());
        QVERIFY(!sim.process().readAllStandardError().contains("zel-sim: EC"));
    }

    // The link test writes 0, 170, 255 and 0 to the unit's cell 8191; a unit
    // reading 0 fails at 170 and keeps it.
    void linkTest_data()
    {
        QTest::addColumn<bool>("readZero");
        QTest::addColumn<QString>("message");
        QTest::addColumn<PromptIcon>("icon");
        QTest::addColumn<int>("imageCell");
        QTest::addColumn<char>("unitCell");
        QTest::newRow("healthy unit") << false << u"Vérification terminé avec succés !"_s << PromptIcon::Information
                                      << 0 << char(0);
        QTest::newRow("unit reading 0") << true
                                        << u"Problème de connexion !\r\nVérifier le câble et le port COM choisi ."_s
                                        << PromptIcon::Critical << 99 << char(170);
    }

    void linkTest()
    {
        QFETCH(bool, readZero);
        QFETCH(QString, message);
        QFETCH(PromptIcon, icon);
        QFETCH(int, imageCell);
        QFETCH(char, unitCell);
        QTemporaryDir dir;
        const QString saved = dir.filePath(u"unit.zel"_s);
        SimProcess sim;
        QVERIFY(sim.start(readZero ? QStringList{u"--read-zero"_s, u"--save"_s, saved}
                                   : QStringList{u"--save"_s, saved}));
        Fixture f;
        f.chooseCom1(sim.path());
        f.window->image().set(address::kLinkTestCell, 99);
        QVERIFY(f.runToEnd("Menu_test"));
        QCOMPARE(f.prompts->lastText(), message);
        QCOMPARE(f.prompts->lastIcon(), icon);
        QCOMPARE(f.window->image().at(address::kLinkTestCell), imageCell);
        QVERIFY(f.editorShown());
        QVERIFY(f.item("MENU_WRITE")->isEnabled());
        QVERIFY(sim.stop());
        QCOMPARE(testing::readFile(saved).at(address::kLinkTestCell), unitCell);
    }
};

QTEST_MAIN(TestLinkWindow)
#include "test_link_window.moc"
