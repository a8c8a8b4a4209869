// The window and the link on Windows, through the system's COM1 and COM7: both
// mapped by Wine to zel-sim's pseudo-terminal by scripts/wine/prefix.sh, which
// checks the mapping before this runs. COM7, beyond the four COM items, is an
// item of its own; the window programs and verifies the unit through it as on
// Linux; a port another program holds is refused, and the message says so.

#include "support/WindowUnderTest.h"

#include "link/LinkPort.h"
#include "link/PortNames.h"
#include "link/TransferEngine.h"
#include "store/Validation.h"

#include <QSignalSpy>
#include <QtTest/QTest>

using namespace torsa;
using namespace Qt::StringLiterals;

class WindowsLink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowProgramsAndVerifiesThroughCom7()
    {
        testing::WindowUnderTest f;
        f.newSession("MENU_ED_AVEC");
        f.window->session().setCurrentMessage(12);
        f.window->session().validate(3, 12, u"Défaut pompe été"_s, {});
        f.window->refresh();
        f.item("Menu_COM1")->trigger();
        QCOMPARE(f.prompts->lastText(), u"Ouverture du port COM1 effectuée avec succès."_s);
        f.look("Menu_configuration");
        QAction *com7 = f.item("Menu_COM7");
        QCOMPARE(com7->text(), u"COM7"_s);
        QVERIFY2(com7->statusTip().startsWith(u"COM7"_s), qPrintable(com7->statusTip()));
        com7->trigger();
        QCOMPARE(f.prompts->lastText(), u"Ouverture du port COM7 effectuée avec succès."_s);
        QVERIFY(com7->isChecked() && !f.item("Menu_COM1")->isChecked());

        const auto *engine = f.get<link::TransferEngine>("transfer");
        for (const auto &[command, outcome] : {std::pair{"MENU_WRITE", u"Programmation terminée avec succés !"_s},
                                               std::pair{"MENU_VERIF", u"Vérification terminée avec succés !"_s}}) {
            QSignalSpy finished(engine, &link::TransferEngine::finished);
            const qsizetype asked = f.prompts->shown.size();
            f.prompts->answers.push_back(true);
            f.item(command)->trigger();
            QVERIFY2(!finished.isEmpty() || finished.wait(120000), command);
            // Its own box after the question; Wine's ports, slower than the
            // line, may add the slow link's after it.
            QCOMPARE(f.prompts->shown.at(asked + 1).text, outcome);
        }
    }

    // Windows opens a serial port for one holder at a time: a second open is
    // refused as access denied, which TORSA reports as a port another program holds.
    void portHeldByAnotherProgram()
    {
        link::LinkPort holder;
        QVERIFY(holder.open(link::comDevice(1)).ok());
        link::LinkPort second;
        const link::LinkPort::OpenResult refused = second.open(link::comDevice(1));
        QEXPECT_FAIL("",
                     "Wine 8 opens a COM port again while it is open (no exclusive access "
                     "on the device file); Windows refuses it",
                     Abort);
        QCOMPARE(refused.error, link::LinkPort::OpenError::PermissionDenied);
    }
};

QTEST_MAIN(WindowsLink)
#include "windows_link.moc"
