// The README's walk-through of `make demo` through the window's own menus: zel-sim
// holds the sample production file and stands for COM1; open the sample, edit a
// message, program, verify, start a new session and read the unit back.

#include "link/TransferEngine.h"
#include "support/SimProcess.h"
#include "support/WindowUnderTest.h"

#include <QDir>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

using namespace torsa;
using namespace Qt::StringLiterals;

class TestDemo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void walkThrough()
    {
        QTemporaryDir demo;
        const QString copy = QDir(demo.path()).filePath(u"demo.zel"_s);
        QVERIFY(QFile::copy(QStringLiteral(TORSA_SOURCE_DIR "/samples/demo.zel"), copy));
        SimProcess sim;
        QVERIFY(sim.start({u"--load"_s, copy}));
        qputenv("TORSA_COM1", sim.path().toLocal8Bit());
        testing::WindowUnderTest f;
        f.window->show();
        const auto listing = [&f] {
            f.window->Timer1_Timer();
            return f.get<QPlainTextEdit>("Texte2")->toPlainText();
        };
        // A menu item that runs a transfer, answered Oui, up to the transfer's end.
        const auto transfer = [&f](const char *item) {
            auto *engine = f.get<link::TransferEngine>("transfer");
            f.prompts->answers.push_back(true);
            QEventLoop loop;
            bool ended = false;
            const auto done = QObject::connect(engine, &link::TransferEngine::finished, &loop, [&] {
                ended = true;
                loop.quit();
            });
            QTimer::singleShot(60000, &loop, &QEventLoop::quit);
            f.item(item)->trigger();
            if (engine->isRunning())
                loop.exec();
            QObject::disconnect(done);
            return ended;
        };

        f.item("Menu_COM1")->trigger();
        QCOMPARE(f.prompts->lastText(), u"Ouverture du port COM1 effectuée avec succès."_s);

        f.prompts->files.emplace_back(copy);
        f.item("MENU_OUVIR")->trigger();
        QVERIFY(f.prompts->lastText().startsWith(u"Centrale de défauts :"_s));
        QVERIFY(listing().contains(u" n°003 | U: 02 |  P: 000  | Niveau bas          Cuve de stockage B  "_s));

        // Message 3: "Cuve de stockage B" becomes "Cuve de stockage C", "Valider".
        f.get<QScrollBar>("DéfilementH1")->setValue(3);
        QCOMPARE(f.text()->text(), u"Niveau bas          Cuve de stockage B"_s);
        f.text()->setText(u"Niveau bas          Cuve de stockage C"_s);
        const qsizetype shown = f.prompts->shown.size();
        f.click("Commande6");
        QCOMPARE(f.prompts->shown.size(), shown); // accepted: no message

        QVERIFY(transfer("MENU_WRITE"));
        QCOMPARE(f.prompts->lastText(), u"Programmation terminée avec succés !"_s);
        QVERIFY(transfer("MENU_VERIF"));
        QCOMPARE(f.prompts->lastText(), u"Vérification terminée avec succés !"_s);

        f.newSession("MENU_ED_AVEC");
        QVERIFY(!listing().contains(u"Niveau bas"_s));

        QVERIFY(transfer("MENU_READ"));
        QCOMPARE(f.prompts->lastText(), u"Centrale de défauts :\n\rAvec automate.\n\r"
                                        "156 messages vides.Lecture terminée avec succés !"_s);
        QVERIFY(listing().contains(u" n°003 | U: 02 |  P: 000  | Niveau bas          Cuve de stockage C  "_s));
        f.get<QScrollBar>("DéfilementH1")->setValue(3);
        QCOMPARE(f.text()->text(), u"Niveau bas          Cuve de stockage C"_s);

        f.window.reset();
        qunsetenv("TORSA_COM1");
        QVERIFY(sim.stop());
    }
};

QTEST_MAIN(TestDemo)
#include "test_demo.moc"
