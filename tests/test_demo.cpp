// The README's walk-through of `make demo`, step by step through the window's
// own menus and controls: zel-sim holds the sample production file and stands
// for COM1; open the sample, edit a message, program, verify, start a new
// session and read the unit back.

#include "support/ScriptedPrompts.h"
#include "support/SimProcess.h"

#include "editor/MainWindow.h"
#include "link/TransferEngine.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <memory>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

constexpr int kTransferWaitMs = 60000;
const QString kSample = QStringLiteral(TORSA_SOURCE_DIR "/samples/demo.zel");

} // namespace

class TestDemo : public QObject {
    Q_OBJECT

private:
    testing::ScriptedPrompts *prompts_ = nullptr;
    std::unique_ptr<MainWindow> window_;

    template <typename T>
    T *get(const QString &name) const
    {
        T *child = window_->findChild<T *>(name);
        if (!child)
            qFatal("no child %s", qPrintable(name));
        return child;
    }

    QString listing() const { return get<QPlainTextEdit>(u"Texte2"_s)->toPlainText(); }

    // Chooses a menu item that runs a transfer, answers Oui, and waits for the
    // transfer's last message.
    bool transfer(const QString &item)
    {
        auto *engine = get<link::TransferEngine>(u"transfer"_s);
        prompts_->answers.push_back(true);
        bool ended = false;
        QEventLoop loop;
        const auto done = QObject::connect(engine, &link::TransferEngine::finished, &loop, [&] {
            ended = true;
            loop.quit();
        });
        QTimer::singleShot(kTransferWaitMs, &loop, &QEventLoop::quit);
        get<QAction>(item)->trigger();
        if (engine->isRunning())
            loop.exec();
        QObject::disconnect(done);
        return ended;
    }

private Q_SLOTS:
    void walkThrough()
    {
        // make demo: a copy of the sample in the program's folder, the unit
        // simulated with the sample loaded, COM1 pinned to it.
        QTemporaryDir demo;
        const QString copy = QDir(demo.path()).filePath(u"demo.zel"_s);
        QVERIFY(QFile::copy(kSample, copy));
        SimProcess sim;
        QVERIFY(sim.start({u"--load"_s, copy}));
        qputenv("TORSA_COM1", sim.path().toLocal8Bit());
        auto owned = std::make_unique<testing::ScriptedPrompts>();
        prompts_ = owned.get();
        window_ = std::make_unique<MainWindow>(std::move(owned));
        window_->show();

        // 1. "&Configurer" > "COM1".
        get<QAction>(u"Menu_COM1"_s)->trigger();
        QCOMPARE(prompts_->lastText(), u"Ouverture du port COM1 effectuée avec succès."_s);

        // 2. "&Fichier" > "Ouvrir", demo.zel.
        prompts_->files.emplace_back(copy);
        get<QAction>(u"MENU_OUVIR"_s)->trigger();
        QVERIFY(prompts_->lastText().startsWith(u"Centrale de défauts :"_s));
        window_->Timer1_Timer();
        QVERIFY(listing().contains(u" n°003 | U: 02 |  P: 000  | Niveau bas          Cuve de stockage B  "_s));

        // 3. Message 3: "Cuve de stockage B" becomes "Cuve de stockage C", "Valider".
        get<QScrollBar>(u"DéfilementH1"_s)->setValue(3);
        auto *text = get<QLineEdit>(u"Texte1"_s);
        QCOMPARE(text->text(), u"Niveau bas          Cuve de stockage B"_s);
        text->setText(u"Niveau bas          Cuve de stockage C"_s);
        const qsizetype shown = prompts_->shown.size();
        get<QPushButton>(u"Commande6"_s)->click();
        QCOMPARE(prompts_->shown.size(), shown);   // accepted: no message
        window_->Timer1_Timer();
        QVERIFY(listing().contains(u"Niveau bas          Cuve de stockage C"_s));

        // 4. "&Transfert" > "Programmation PC -> ZEL", Oui.
        QVERIFY(transfer(u"MENU_WRITE"_s));
        QCOMPARE(prompts_->lastText(), u"Programmation terminée avec succés !"_s);

        // 5. "&Transfert" > "Vérification", Oui.
        QVERIFY(transfer(u"MENU_VERIF"_s));
        QCOMPARE(prompts_->lastText(), u"Vérification terminée avec succés !"_s);

        // 6. "&Fichier" > "Nouveau" > "Avec automate ", Oui: nothing left on the PC.
        prompts_->answers.push_back(true);
        get<QAction>(u"MENU_ED_AVEC"_s)->trigger();
        window_->Timer1_Timer();
        QVERIFY(!listing().contains(u"Niveau bas"_s));

        // 7. "&Transfert" > "Lecture ZEL -> PC", Oui: the unit gives the edited set back.
        QVERIFY(transfer(u"MENU_READ"_s));
        QCOMPARE(prompts_->lastText(), u"Centrale de défauts :\n\rAvec automate.\n\r"
                                       "156 messages vides.Lecture terminée avec succés !"_s);
        window_->Timer1_Timer();
        QVERIFY(listing().contains(u" n°003 | U: 02 |  P: 000  | Niveau bas          Cuve de stockage C  "_s));
        get<QScrollBar>(u"DéfilementH1"_s)->setValue(3);
        QCOMPARE(text->text(), u"Niveau bas          Cuve de stockage C"_s);

        window_.reset();
        qunsetenv("TORSA_COM1");
        QVERIFY(sim.stop());
    }
};

QTEST_MAIN(TestDemo)
#include "test_demo.moc"
