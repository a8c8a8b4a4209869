// The main window as a technician drives it: start-up state, new sessions,
// navigation, "Valider" and quitting, on real widgets.

#include "editor/MainWindow.h"
#include "store/AddressMap.h"
#include "support/WindowUnderTest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest/QTest>

#include <memory>

using namespace torsa;

namespace {

const QString kNewSession = QStringLiteral("Voulez vous commencer une nouvelle session ?\n\r"
                                           "(tout les messages en mémoire seront effacés)");

struct Fixture : testing::WindowUnderTest {
    QScrollBar *bar(int n) const { return get<QScrollBar>(QStringLiteral("DéfilementH%1").arg(n)); }
    QLineEdit *text() const { return get<QLineEdit>(QStringLiteral("Texte1")); }
    QCheckBox *box(int k) const { return get<QCheckBox>(QStringLiteral("Coche%1").arg(k)); }
    QString caption(const char *name) const { return get<QLabel>(name)->text(); }
    QList<int> checkedBoxes() const
    {
        QList<int> checked;
        for (int k = 2; k <= 41; ++k) {
            if (box(k)->isChecked())
                checked.append(k);
        }
        return checked;
    }

    void validate(int number, int unit, int priority, const QString &typed, const QList<int> &ticked = {})
    {
        bar(1)->setValue(number);
        bar(2)->setValue(unit);
        bar(3)->setValue(priority);
        text()->setText(typed);
        for (const int k : ticked)
            box(k)->setChecked(true);
        get<QPushButton>(QStringLiteral("Commande6"))->click();
    }
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startUpState()
    {
        Fixture f;
        MainWindow &w = *f.window;
        QCOMPARE(w.objectName(), QStringLiteral("principal"));
        QCOMPARE(w.windowTitle(), QStringLiteral(" TORSA"));
        QCOMPARE(w.centralWidget()->size(), QSize(519, 296));
        QVERIFY(std::all_of(w.image().cells().begin(), w.image().cells().end(), [](int c) { return c == 0; }));
        QCOMPARE(w.sessionMode(), SessionMode::None);

        for (const char *name : {"Texte1", "Etiquette1", "Etiquette2", "Etiquette7", "DéfilementH1", "DéfilementH2",
                                 "DéfilementH3", "Commande1", "Commande2", "Commande6", "Commande7"})
            QVERIFY2(!f.get<QWidget>(QString::fromUtf8(name))->isEnabled(), name);
        QVERIFY(!f.get<QGroupBox>(QStringLiteral("Cadre1"))->isHidden());
        QVERIFY(f.get<QGroupBox>(QStringLiteral("Cadre2"))->isHidden());
        QCOMPARE(f.get<QGroupBox>(QStringLiteral("Cadre1"))->title(), QStringLiteral("Edition message"));
        QCOMPARE(f.get<QProgressBar>(QStringLiteral("ProgressBar1"))->maximum(), 8195);
        QCOMPARE(f.caption("Etiquette1"), QStringLiteral(" Message n°000"));
        QCOMPARE(f.caption("Etiquette2"), QStringLiteral("Unité 0"));
        QCOMPARE(f.caption("Etiquette7"), QStringLiteral("Priorité 0"));
        QCOMPARE(f.caption("Etiquette3"), QString());
        QCOMPARE(f.caption("Etiquette4"), QString());
        QCOMPARE(f.caption("Label1"), QStringLiteral("( Cocher les cases des caractères clignotants si nécessaire )"));
        QCOMPARE(f.bar(1)->maximum(), 189);
        QCOMPARE(f.bar(2)->maximum(), 31);
        QCOMPARE(f.bar(3)->maximum(), 180);
        QCOMPARE(f.get<QTimer>(QStringLiteral("Timer1"))->interval(), 600);
        QVERIFY(f.get<QTimer>(QStringLiteral("Timer1"))->isActive());
        QCOMPARE(f.checkedBoxes(), QList<int>{});

        // Each box stands under its character: 8 pixels apart, the first level with character 1.
        QCOMPARE(f.box(2)->geometry().topLeft(), QPoint(172, 44));
        QCOMPARE(f.box(41)->x() - f.box(2)->x(), 39 * 8);
        QCOMPARE(QFontMetricsF(f.text()->font()).horizontalAdvance(QStringLiteral("MMMMMMMMMM")), 80.0);

        const QList<QPair<const char *, QString>> items{
            {"MENU_FICHIERS", QStringLiteral("&Fichier")}, {"MENU_NOUVEAU", QStringLiteral("Nouveau")},
            {"MENU_ED_SANS", QStringLiteral("Sans automate")}, {"MENU_ED_AVEC", QStringLiteral("Avec automate ")},
            {"MENU_OUVIR", QStringLiteral("Ouvrir")}, {"MENU_ENREGISTRER", QStringLiteral("Enregistrer")},
            {"MENU_QUITTER", QStringLiteral("Quitter")}, {"MENU_EDITION", QStringLiteral("&Edition")},
            {"MENU_ED_ANNULER", QStringLiteral("Annuler (centrer)")}, {"MENU_VISU", QStringLiteral("&Affichage")},
            {"MENU_VISU116", QStringLiteral("Afficheur 1 fois 16 caractères")},
            {"MENU_VISU120", QStringLiteral("Afficheur 1 fois 20 caractères")},
            {"MENU_VISU216", QStringLiteral("Afficheur 2 fois 16 caractères")},
            {"MENU_VISU220", QStringLiteral("Afficheur 2 fois 20 caractères")},
            {"Menu_configuration", QStringLiteral("&Configurer")}, {"Menu_COM1", QStringLiteral("COM1")},
            {"Menu_COM4", QStringLiteral("COM4")}, {"Menu_test", QStringLiteral("Test liaison série")},
            {"MENU_OPTION", QStringLiteral("&Transfert")}, {"MENU_WRITE", QStringLiteral("Programmation PC -> ZEL")},
            {"MENU_READ", QStringLiteral("Lecture ZEL -> PC")}, {"MENU_VERIF", QStringLiteral("Vérification")},
            {"Menu_information", QStringLiteral("&?")}, {"MENU_AIDE", QStringLiteral("&Aide")},
            {"MENU_PLUS", QStringLiteral("&En savoir plus")}};
        for (const auto &[name, caption] : items) {
            QAction *action = f.item(name);
            QCOMPARE(action->text(), caption);
            QVERIFY2(!action->isChecked(), name);
            QVERIFY2(action->shortcut().isEmpty(), name);
        }
        QVERIFY(!f.item("MENU_PLUS")->isEnabled());
        QVERIFY(f.prompts->shown.isEmpty());
    }

    void newSession_data()
    {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("modeCell");
        QTest::addColumn<int>("last");
        QTest::newRow("with PLC, Yes") << QByteArray("MENU_ED_AVEC") << true << 65 << 180;
        QTest::newRow("with PLC, No") << QByteArray("MENU_ED_AVEC") << false << 65 << 180;
        QTest::newRow("without PLC, Yes") << QByteArray("MENU_ED_SANS") << true << 83 << 16;
        QTest::newRow("without PLC, No") << QByteArray("MENU_ED_SANS") << false << 83 << 16;
    }

    void newSession()
    {
        QFETCH(QByteArray, item);
        QFETCH(bool, yes);
        QFETCH(int, modeCell);
        QFETCH(int, last);
        Fixture f;
        f.window->image().set(address::unitCell(0), 140); // a message already in the image
        f.window->image().set(address::textStart(0), 'Z');
        f.newSession(item.constData(), yes);

        QCOMPARE(f.prompts->shown.size(), 1);
        QCOMPARE(f.prompts->shown.first().text, kNewSession);
        QCOMPARE(f.prompts->shown.first().icon, PromptIcon::Exclamation);
        QCOMPARE(f.window->image()[address::kModeCell], modeCell);
        QCOMPARE(f.window->image()[address::unitCell(0)], yes ? 0 : 140);
        QCOMPARE(f.bar(1)->maximum(), last);
        QCOMPARE(f.bar(3)->maximum(), last);
        QCOMPARE(f.bar(2)->maximum(), 31);
        QCOMPARE(f.item("MENU_ED_AVEC")->isChecked(), modeCell == 65);
        QCOMPARE(f.item("MENU_ED_SANS")->isChecked(), modeCell == 83);
        QCOMPARE(f.text()->text(), QString());
        for (const char *name : {"Texte1", "DéfilementH1", "DéfilementH2", "DéfilementH3", "Commande1", "Commande2",
                                 "Commande6", "Commande7", "Etiquette1"})
            QVERIFY2(f.get<QWidget>(QString::fromUtf8(name))->isEnabled(), name);
        if (yes) {
            int nonZero = 0;
            for (const int c : f.window->image().cells())
                nonZero += c != 0 ? 1 : 0;
            QCOMPARE(nonZero, 1); // the mode cell alone
        }
    }

    // The number bar's handler runs only when its value changes, by code too.
    void newSessionShowsMessageZeroOnlyWhenTheBarMoves()
    {
        Fixture f;
        f.newSession("MENU_ED_AVEC", true);
        f.validate(0, 3, 0, QStringLiteral("ZERO"));
        f.validate(5, 4, 0, QStringLiteral("CINQ"), {2});
        f.bar(1)->setValue(5);
        QCOMPARE(f.caption("Etiquette1"), QStringLiteral(" Message n°5"));
        QCOMPARE(f.checkedBoxes(), QList<int>{2});

        // On message 5, a new session moves the bar to 0, which shows the now empty message 0.
        f.newSession("MENU_ED_AVEC", true);
        QCOMPARE(f.caption("Etiquette1"), QStringLiteral(" Message n°0"));
        QCOMPARE(f.checkedBoxes(), QList<int>{});

        // On message 0, nothing moves: the editor keeps its captions and boxes.
        f.validate(0, 7, 0, QStringLiteral("ENCORE"));
        f.bar(1)->setValue(0);
        f.box(9)->setChecked(true);
        f.newSession("MENU_ED_AVEC", true);
        QCOMPARE(f.caption("Etiquette2"), QStringLiteral("Unité 0")); // set to 0 by the new session
        QCOMPARE(f.checkedBoxes(), QList<int>{9});
        QCOMPARE(f.text()->text(), QString());
    }

    void validateStoresAndMovesOn()
    {
        Fixture f;
        f.newSession("MENU_ED_AVEC", true);
        f.validate(3, 5, 0, QStringLiteral("AB"), {2});
        const MemoryImage &image = f.window->image();
        const std::array expected{133, 0, 5, 65, 5, 66, 3};
        for (std::size_t i = 0; i < expected.size(); ++i)
            QCOMPARE(image[132 + static_cast<int>(i)], expected[i]);
        QCOMPARE(image[address::kEmptyCountCell], 180);
        QCOMPARE(f.window->messageTally(), 1);
        QCOMPARE(f.bar(1)->value(), 4);
        QCOMPARE(f.text()->text(), QString());
        QCOMPARE(f.checkedBoxes(), QList<int>{});
        QVERIFY(f.prompts->shown.size() == 1); // the session question only

        // Going back shows what was stored.
        f.validate(4, 9, 0, QString());
        f.bar(1)->setValue(3);
        QCOMPARE(f.text()->text(), QStringLiteral("AB"));
        QCOMPARE(f.caption("Etiquette1"), QStringLiteral(" Message n°3"));
        QCOMPARE(f.caption("Etiquette2"), QStringLiteral("Unité 5"));
        QCOMPARE(f.caption("Etiquette7"), QStringLiteral("Priorité 0"));
        QCOMPARE(f.checkedBoxes(), QList<int>{2});
        QVERIFY(f.window->editedBlinkFlags()[1]);
    }

    void emptyTextStoresNothing()
    {
        Fixture f;
        f.newSession("MENU_ED_AVEC", true);
        const MemoryImage before = f.window->image();
        f.validate(9, 4, 0, QString());
        QCOMPARE(f.window->image(), before);
        QCOMPARE(f.bar(1)->value(), 10);
    }

    void lastNumberStaysPut_data()
    {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<int>("last");
        QTest::newRow("with PLC") << QByteArray("MENU_ED_AVEC") << 180;
        QTest::newRow("without PLC") << QByteArray("MENU_ED_SANS") << 16;
    }

    void lastNumberStaysPut()
    {
        QFETCH(QByteArray, item);
        QFETCH(int, last);
        Fixture f;
        f.newSession(item.constData(), true);
        f.validate(last, 2, last, QStringLiteral("FIN"), {3});
        QCOMPARE(f.bar(1)->value(), last);
        // Shown again from the store, even though the number did not change.
        QCOMPARE(f.text()->text(), QStringLiteral("FIN"));
        QCOMPARE(f.checkedBoxes(), QList<int>{3});
        QCOMPARE(f.caption("Etiquette7"), QStringLiteral("Priorité %1").arg(last));
    }

    void refusalsLeaveTheSlotAndCutTheText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("priority");
        QTest::addColumn<QString>("textAfter");
        QTest::addColumn<QList<int>>("ticked");
        const QString longBad = QString(45, QLatin1Char('a'));
        const QString bad41 = QString(38, QLatin1Char('b')) + QStringLiteral("\t") + QStringLiteral("cd");
        QTest::newRow("too long") << longBad << 0 << QString(40, QLatin1Char('a')) << QList<int>{5};
        QTest::newRow("low character") << bad41 << 0 << bad41.left(40) << QList<int>{};
        QTest::newRow("high character") << QStringLiteral("Température 20°") << 0 << QStringLiteral("Température 20°") << QList<int>{5};
        QTest::newRow("priority keeps the text") << longBad.left(42) << 7 << longBad.left(42) << QList<int>{};
    }

    void refusalsLeaveTheSlotAndCutTheText()
    {
        QFETCH(QString, typed);
        QFETCH(int, priority);
        QFETCH(QString, textAfter);
        QFETCH(QList<int>, ticked);
        Fixture f;
        f.newSession("MENU_ED_AVEC", true);
        f.validate(12, 1, 7, QStringLiteral("SEPT"));
        f.validate(20, 3, 0, QStringLiteral("ANCIEN"));
        const MemoryImage before = f.window->image();
        f.validate(20, 6, priority, typed, ticked);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
        QCOMPARE(f.window->image(), before);
        QCOMPARE(f.text()->text(), textAfter);
        QCOMPARE(f.bar(1)->value(), 20);
        QCOMPARE(f.checkedBoxes(), ticked);
    }

    void priorityAboveTheBarIsShownAtItsMaximum()
    {
        Fixture f;
        f.newSession("MENU_ED_AVEC", true);
        f.validate(2, 0, 150, QStringLiteral("HAUTE"));
        f.newSession("MENU_ED_SANS", false); // keeps the messages, bars end at 16
        f.bar(1)->setValue(1);
        f.bar(1)->setValue(2);
        QCOMPARE(f.bar(3)->value(), 16);
        QCOMPARE(f.caption("Etiquette7"), QStringLiteral("Priorité 16"));
        QCOMPARE(f.window->image()[address::priorityCell(2)], 150);
    }

    void unitShownFromItsCell()
    {
        Fixture f;
        f.newSession("MENU_ED_AVEC", true);
        f.window->image().set(address::unitCell(6), 133);
        f.bar(1)->setValue(6);
        QCOMPARE(f.bar(2)->value(), 5);
        QCOMPARE(f.caption("Etiquette2"), QStringLiteral("Unité 5"));
    }

    void quitClosesEveryWindow()
    {
        Fixture f;
        f.window->show();
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.item("MENU_QUITTER")->trigger();
        QVERIFY(!f.window->isVisible());
        QVERIFY(!other.isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
