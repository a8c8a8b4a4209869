// The main window on real widgets, as a technician drives it: start-up, sessions,
// navigation, "Valider", "Insérer" and "Effacer", the refresh, "Enregistrer" and
// "Ouvrir", help and quitting.

#include "app/FrenchInterface.h"
#include "editor/QtUserPrompts.h"
#include "editor/SlotShift.h"
#include "store/AddressMap.h"
#include "store/MessageText.h"
#include "store/Validation.h"
#include "support/FileBytes.h"
#include "support/WindowUnderTest.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QtTest/QTest>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

const QString kSuccess = u"Lecture terminée avec succés !"_s;
// Off before any session, on in a session.
const char *const kEditorControls[] = {"Texte1",       "Etiquette1",   "Etiquette2", "Etiquette7",
                                       "DéfilementH1", "DéfilementH2", "DéfilementH3", "Commande1",
                                       "Commande2",    "Commande6",    "Commande7"};

struct Fixture : testing::WindowUnderTest {
    QScrollBar *bar(int n) const { return get<QScrollBar>(u"DéfilementH%1"_s.arg(n)); }
    QCheckBox *box(int k) const { return get<QCheckBox>(u"Coche%1"_s.arg(k)); }
    QPlainTextEdit *listing() const { return get<QPlainTextEdit>("Texte2"); }
    QList<int> maxima() const { return {bar(1)->maximum(), bar(2)->maximum(), bar(3)->maximum()}; }
    QList<int> checkedBoxes() const
    {
        QList<int> checked;
        for (int k = 2; k <= 41; ++k)
            if (box(k)->isChecked())
                checked.append(k);
        return checked;
    }

    // Through the editor and "Valider".
    void validate(int number, int unit, int priority, const QString &typed, const QList<int> &ticked = {})
    {
        bar(1)->setValue(number);
        bar(2)->setValue(unit);
        bar(3)->setValue(priority);
        text()->setText(typed);
        for (const int k : ticked)
            box(k)->setChecked(true);
        click("Commande6");
    }
    // Straight into the image, first character blinking when asked.
    void store(int number, int unit, int priority, const QString &typed, bool blinkFirst = false)
    {
        EditedMessage m{number, unit, priority, typed, {}};
        m.blink[0] = blinkFirst;
        validation::store(window->image(), m);
    }
    void chooseFile(const char *menu, const std::optional<QString> &path)
    {
        prompts->files.push_back(path);
        item(menu)->trigger();
    }
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private Q_SLOTS:
    void startUpState()
    {
        Fixture f;
        QCOMPARE(f.window->windowTitle(), u" TORSA"_s);
        QCOMPARE(f.window->image(), MemoryImage());
        QCOMPARE(f.window->sessionMode(), SessionMode::None);
        for (const char *name : kEditorControls)
            QVERIFY2(!f.get<QWidget>(name)->isEnabled(), name);
        QVERIFY(!f.get<QWidget>("Cadre1")->isHidden() && f.get<QWidget>("Cadre2")->isHidden());
        QVERIFY(!f.item("MENU_PLUS")->isEnabled());
        QCOMPARE(f.maxima(), (QList<int>{189, 31, 180}));
        QVERIFY(f.get<QTimer>("Timer1")->isActive() && f.get<QTimer>("Timer1")->interval() == 600);

        // Each box stands under its character: 8 pixels apart, the first under character 1.
        QCOMPARE(f.box(2)->geometry().topLeft(), QPoint(172, 44));
        QCOMPARE(f.box(41)->x() - f.box(2)->x(), 39 * 8);
        QCOMPARE(QFontMetricsF(f.text()->font()).horizontalAdvance(u"MMMMMMMMMM"_s), 80.0);

        f.window->Timer1_Timer();
        const QList<std::pair<const char *, QString>> captions{
            {"Cadre1", u"Edition message"_s}, {"Etiquette1", u" Message n°000"_s}, {"Etiquette2", u"Unité 0"_s},
            {"Etiquette7", u"Priorité 0"_s}, {"Etiquette3", u"Centrale de défauts :"_s},
            {"Etiquette4", u" Aucun message"_s},
            {"Label1", u"( Cocher les cases des caractères clignotants si nécessaire )"_s},
            {"MENU_FICHIERS", u"&Fichier"_s}, {"MENU_NOUVEAU", u"Nouveau"_s}, {"MENU_ED_SANS", u"Sans automate"_s},
            {"MENU_ED_AVEC", u"Avec automate "_s}, {"MENU_OUVIR", u"Ouvrir"_s}, {"MENU_ENREGISTRER", u"Enregistrer"_s},
            {"MENU_QUITTER", u"Quitter"_s}, {"MENU_EDITION", u"&Edition"_s},
            {"MENU_ED_ANNULER", u"Annuler (centrer)"_s}, {"MENU_VISU", u"&Affichage"_s},
            {"MENU_VISU116", u"Afficheur 1 fois 16 caractères"_s},
            {"MENU_VISU120", u"Afficheur 1 fois 20 caractères"_s},
            {"MENU_VISU216", u"Afficheur 2 fois 16 caractères"_s},
            {"MENU_VISU220", u"Afficheur 2 fois 20 caractères"_s}, {"Menu_configuration", u"&Configurer"_s},
            {"Menu_COM1", u"COM1"_s}, {"Menu_COM4", u"COM4"_s}, {"Menu_test", u"Test liaison série"_s},
            {"MENU_OPTION", u"&Transfert"_s}, {"MENU_WRITE", u"Programmation PC -> ZEL"_s},
            {"MENU_READ", u"Lecture ZEL -> PC"_s}, {"MENU_VERIF", u"Vérification"_s}, {"Menu_information", u"&?"_s},
            {"MENU_AIDE", u"&Aide"_s}, {"MENU_PLUS", u"&En savoir plus"_s}};
        for (const auto &[name, caption] : captions) {
            const QObject *o = f.get<QObject>(name);
            QCOMPARE(o->property(o->property("text").isValid() ? "text" : "title").toString(), caption);
        }
        QCOMPARE(f.listing()->toPlainText(),
                 u"Numéro | Unité | Priorité |                 MESSAGE\n"
                 "--------------------------------------------------------------------\n"_s);
        QVERIFY(f.prompts->shown.isEmpty());
    }

    void newSession_data()
    {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("modeCell");
        QTest::addColumn<int>("last");
        QTest::newRow("with PLC, Yes") << "MENU_ED_AVEC"_ba << true << 65 << 180;
        QTest::newRow("without PLC, No") << "MENU_ED_SANS"_ba << false << 83 << 16;
    }

    void newSession()
    {
        QFETCH(QByteArray, item);
        QFETCH(bool, yes);
        QFETCH(int, modeCell);
        QFETCH(int, last);
        Fixture f;
        f.store(0, 12, 0, u"Z"_s);
        MemoryImage expected = yes ? MemoryImage() : f.window->image();
        expected.set(address::kModeCell, modeCell);
        f.newSession(item.constData(), yes);

        QCOMPARE(f.prompts->shown.size(), 1);
        QCOMPARE(f.prompts->lastText(), u"Voulez vous commencer une nouvelle session ?\n\r"
                                        "(tout les messages en mémoire seront effacés)"_s);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
        QCOMPARE(f.window->image(), expected);
        QCOMPARE(f.maxima(), (QList<int>{last, 31, last}));
        QCOMPARE(f.item("MENU_ED_AVEC")->isChecked(), modeCell == 65);
        QCOMPARE(f.item("MENU_ED_SANS")->isChecked(), modeCell == 83);
        for (const char *name : kEditorControls)
            QVERIFY2(f.get<QWidget>(name)->isEnabled(), name);
    }

    // The number bar's handler runs only when its value changes, by code too.
    void newSessionShowsMessageZeroOnlyWhenTheBarMoves()
    {
        Fixture f;
        f.newSession("MENU_ED_AVEC");
        f.validate(0, 3, 0, u"ZERO"_s);
        f.validate(5, 4, 0, u"CINQ"_s, {2});
        f.bar(1)->setValue(5);
        QCOMPARE(f.checkedBoxes(), QList<int>{2});

        // On message 5, a new session moves the bar to 0, which shows the now empty message 0.
        f.newSession("MENU_ED_AVEC");
        QCOMPARE(f.caption("Etiquette1"), u" Message n°0"_s);
        QCOMPARE(f.checkedBoxes(), QList<int>{});

        // On message 0, nothing moves: the boxes stay as they were.
        f.validate(0, 7, 0, u"ENCORE"_s);
        f.bar(1)->setValue(0);
        f.box(9)->setChecked(true);
        f.newSession("MENU_ED_AVEC");
        QCOMPARE(f.caption("Etiquette2"), u"Unité 0"_s);
        QCOMPARE(f.checkedBoxes(), QList<int>{9});
        QCOMPARE(f.text()->text(), QString());
    }

    void validateStoresAndMovesOn()
    {
        Fixture f;
        f.newSession("MENU_ED_AVEC");
        f.validate(3, 5, 0, u"AB"_s, {2});
        QCOMPARE(f.window->messageTally(), 1);
        QCOMPARE(f.bar(1)->value(), 4); // on to the next, empty and unticked
        QCOMPARE(f.text()->text(), QString());
        QCOMPARE(f.checkedBoxes(), QList<int>{});

        // An empty text stores nothing and moves on.
        const MemoryImage before = f.window->image();
        f.validate(4, 9, 0, QString());
        QCOMPARE(f.window->image(), before);
        QCOMPARE(f.bar(1)->value(), 5);
        QCOMPARE(f.prompts->shown.size(), 1); // the session question only

        f.bar(1)->setValue(3);
        QCOMPARE(f.text()->text(), u"AB"_s);
        QCOMPARE(f.caption("Etiquette2"), u"Unité 5"_s);
        QCOMPARE(f.checkedBoxes(), QList<int>{2});

        // On the last number, "Valider" stays there and shows the message again from the store.
        f.validate(180, 2, 180, u"FIN"_s, {3});
        QCOMPARE(f.bar(1)->value(), 180);
        QCOMPARE(f.text()->text(), u"FIN"_s);
        QCOMPARE(f.checkedBoxes(), QList<int>{3});
        QCOMPARE(f.caption("Etiquette7"), u"Priorité 180"_s);
    }

    // A refusal stores nothing and stays on the number; one on the text cuts it to
    // 40 characters, one on the priority keeps it whole.
    void refusalsLeaveTheSlotAndCutTheText()
    {
        Fixture f;
        f.newSession("MENU_ED_AVEC");
        f.validate(12, 1, 7, u"SEPT"_s);
        f.validate(20, 3, 0, u"ANCIEN"_s);
        const MemoryImage before = f.window->image();
        const QString a45(45, u'a');
        f.validate(20, 6, 7, a45.left(42));
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
        QCOMPARE(f.text()->text(), a45.left(42));
        f.validate(20, 6, 0, a45, {5});
        QCOMPARE(f.prompts->shown.size(), 3);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Exclamation);
        QCOMPARE(f.text()->text(), a45.left(40));
        QCOMPARE(f.checkedBoxes(), QList<int>{5});
        QCOMPARE(f.window->image(), before);
        QCOMPARE(f.bar(1)->value(), 20);
    }

    // Showing clamps to the bars and never changes the stored cells.
    void cellsShownWithinTheBars()
    {
        Fixture f;
        f.newSession("MENU_ED_AVEC");
        f.validate(2, 0, 150, u"HAUTE"_s);
        f.window->image().set(address::unitCell(6), 133);
        f.bar(1)->setValue(6);
        QCOMPARE(f.caption("Etiquette2"), u"Unité 5"_s);
        f.newSession("MENU_ED_SANS", false); // keeps the messages, bars end at 16
        f.bar(1)->setValue(2);
        QCOMPARE(f.caption("Etiquette7"), u"Priorité 16"_s);
        QCOMPARE(f.window->image()[address::priorityCell(2)], 150);
    }

    // The question, then the slots moved as the core moves them, and what the editor shows afterwards.
    void insertAndErase_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QByteArray>("session");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("question");
        const QString insert = u" Insérer un nouveau message ?  \n\r"_s;
        QTest::newRow("insert, without PLC, 5") << "Commande1"_ba << "MENU_ED_SANS"_ba << 5 << true
                                                << insert + u"( Le message n° 16 sera écrasé)"_s;
        QTest::newRow("erase, with PLC, 0") << "Commande7"_ba << "MENU_ED_AVEC"_ba << 0 << true
                                            << u" Effacer le message n°0 ? \n\r"_s;
        QTest::newRow("erase, without PLC, last") << "Commande7"_ba << "MENU_ED_SANS"_ba << 16 << true
                                                  << u" Effacer le message n°16 ? \n\r"_s;
        QTest::newRow("erase, No") << "Commande7"_ba << "MENU_ED_SANS"_ba << 4 << false
                                   << u" Effacer le message n°4 ? \n\r"_s;
    }

    void insertAndErase()
    {
        QFETCH(QByteArray, button);
        QFETCH(QByteArray, session);
        QFETCH(int, number);
        QFETCH(bool, yes);
        QFETCH(QString, question);
        Fixture f;
        f.newSession(session.constData());
        const SessionMode mode = f.window->sessionMode();
        for (int n = 0; n <= f.bar(1)->maximum(); ++n)
            f.store(n, n % 32, 0, u"M%1"_s.arg(n), true);
        f.bar(1)->setValue(number);
        f.window->DefilementH1_Change();
        f.text()->setText(u"tapé"_s);
        const bool erasing = button == "Commande7";
        MemoryImage expected = f.window->image();
        if (yes && erasing) {
            slotshift::erase(expected, number, mode);
            recount(expected, mode); // at once, not at the next tick
        } else if (yes) {
            slotshift::insertEmpty(expected, number, mode);
        }

        f.prompts->shown.clear();
        f.prompts->answers.push_back(yes);
        f.click(button.constData());
        QCOMPARE(f.prompts->shown.size(), 1);
        QCOMPARE(f.prompts->lastText(), question);
        QCOMPARE(f.prompts->lastIcon(), PromptIcon::Question);
        QCOMPARE(f.window->image(), expected);
        QCOMPARE(f.bar(1)->value(), number);
        // Erasing shows the message moved in; inserting clears the text and leaves the boxes.
        const QString textAfter = !yes ? u"tapé"_s : erasing ? text::decode(expected, number) : QString();
        QCOMPARE(f.text()->text(), textAfter);
        QCOMPARE(f.box(2)->isChecked(), !erasing || !yes || !textAfter.isEmpty());
    }

    // "Enregistrer" writes the image as it stands and a fresh window opens it whole;
    // a failed save keeps the last good file; Cancel or an empty name do nothing.
    void saveThenOpenAndFailedSave()
    {
        const QString path = dir_.filePath(u"aller-retour.zel"_s);
        Fixture writer;
        writer.newSession("MENU_ED_SANS");
        writer.store(3, 12, 7, u"Bonjour"_s);
        writer.store(16, 31, 16, u"Fin de liste é à ü §"_s, true);
        writer.window->Timer1_Timer();
        writer.chooseFile("MENU_ENREGISTRER", path);
        QCOMPARE(writer.prompts->shown.size(), 1); // the new-session question only
        const QByteArray good = testing::bytesOf(writer.window->image());
        QCOMPARE(testing::readFile(path), good);

        Fixture reader;
        reader.chooseFile("MENU_OUVIR", path);
        QCOMPARE(reader.prompts->lastText(),
                 u"Centrale de défauts :\n\rSans automate.\n\r15 messages vides.\n\r"_s + kSuccess);
        QCOMPARE(reader.window->image(), writer.window->image());

        // Twenty messages in a set of seventeen: the empty count goes below 0.
        for (int n = 0; n < 20; ++n)
            writer.store(n, 0, 0, u"M"_s);
        writer.window->Timer1_Timer();
        writer.chooseFile("MENU_ENREGISTRER", path);
        QCOMPARE(writer.prompts->lastText(), u"Erreur lors de la création de "_s + path + u". Essayer à nouveau"_s);
        QCOMPARE(writer.prompts->lastIcon(), PromptIcon::None);
        QCOMPARE(testing::readFile(path), good);

        const auto shown = writer.prompts->shown.size();
        const QStringList files = QDir(dir_.path()).entryList(QDir::Files);
        for (const std::optional<QString> &choice : {std::optional<QString>{}, std::optional<QString>{QString()}}) {
            writer.chooseFile("MENU_OUVIR", choice);
            writer.chooseFile("MENU_ENREGISTRER", choice);
        }
        QCOMPARE(writer.prompts->shown.size(), shown);
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), files);
    }

    // Any 8192 bytes open and the mode cell asks for a mode; a short file (standing
    // for every refused one) leaves the image, the mode and the editor as they were.
    void open_data()
    {
        QTest::addColumn<int>("content"); // mode cell of 8192 bytes; -1: 8191 bytes
        QTest::addColumn<QByteArray>("session");
        QTest::addColumn<SessionMode>("modeAfter");
        QTest::addColumn<QString>("report"); // empty: the open error
        const QString head = u"Centrale de défauts :\n\r"_s;
        const QString tail = u"0 messages vides.\n\r"_s + kSuccess;
        QTest::newRow("65 into none") << 65 << ""_ba << SessionMode::WithPlc << head + u"Avec automate.\n\r"_s + tail;
        QTest::newRow("83 into with PLC") << 83 << "MENU_ED_AVEC"_ba << SessionMode::WithoutPlc
                                          << head + u"Sans automate.\n\r"_s + tail;
        QTest::newRow("0 into without PLC") << 0 << "MENU_ED_SANS"_ba << SessionMode::WithoutPlc << head + tail;
        QTest::newRow("255 into none") << 255 << ""_ba << SessionMode::None << head + tail;
        QTest::newRow("8191 bytes") << -1 << "MENU_ED_AVEC"_ba << SessionMode::WithPlc << QString();
    }

    void open()
    {
        QFETCH(int, content);
        QFETCH(QByteArray, session);
        QFETCH(SessionMode, modeAfter);
        QFETCH(QString, report);
        const QString path = dir_.filePath(QString::fromUtf8(QTest::currentDataTag()));
        QByteArray bytes(address::kImageSize + std::min(content, 0), '\0');
        bytes[address::kModeCell] = char(std::max(content, 0));
        QVERIFY(testing::writeFile(path, bytes));

        Fixture f;
        if (!session.isEmpty())
            f.newSession(session.constData());
        f.store(0, 1, 2, u"Reste"_s);
        f.text()->setText(u"en cours"_s);
        const MemoryImage before = f.window->image();
        f.chooseFile("MENU_OUVIR", path);
        QCOMPARE(f.window->sessionMode(), modeAfter);
        QCOMPARE(f.text()->isEnabled(), modeAfter != SessionMode::None);
        if (report.isEmpty()) {
            QCOMPARE(f.prompts->lastText(), u"Erreur d'ouverture de "_s + path);
            QCOMPARE(f.prompts->lastIcon(), PromptIcon::None);
            QCOMPARE(f.window->image(), before);
            QCOMPARE(f.text()->text(), u"en cours"_s);
        } else {
            QCOMPARE(f.prompts->lastText(), report);
            QCOMPARE(f.prompts->lastIcon(), PromptIcon::Information);
            QCOMPARE(f.window->image()[address::kModeCell], content);
        }
    }

    void fileDialogs()
    {
        Fixture f;
        f.item("MENU_ENREGISTRER")->trigger();
        f.item("MENU_OUVIR")->trigger();
        QCOMPARE(f.prompts->fileRequests.size(), 2);
        const FileRequest request = f.prompts->fileRequests.first();
        QCOMPARE(request.kind, FileRequest::Kind::Save);
        QCOMPARE(request.title, u"Enregistrer un fichier de production"_s);
        QCOMPARE(f.prompts->fileRequests.last().kind, FileRequest::Kind::Open);
        QCOMPARE(f.prompts->fileRequests.last().title, u"Ouvrir un fichier de production"_s);
        QCOMPARE(request.nameFilters, (QStringList{u"Fichiers zel(*.zel)"_s, u"Tous les fichiers (*.*)"_s}));
        QCOMPARE(request.selectedFilter, 0);

        // Qt's own dialog set up from it: a name without extension is taken as
        // typed, an existing one without a question, a missing one too.
        QFileDialog dialog;
        QtUserPrompts::configure(dialog, request);
        QCOMPARE(dialog.windowTitle(), request.title);
        QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
        QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite)); // else accept() below would block
        QCOMPARE(dialog.selectedNameFilter(), u"Fichiers zel(*.zel)"_s);
        const QTemporaryDir where;
        QVERIFY(QFile(where.filePath(u"existe"_s)).open(QIODevice::WriteOnly));
        for (const QString &name : {u"sans_extension"_s, u"existe"_s}) {
            dialog.setDirectory(where.path());
            dialog.selectFile(name);
            QVERIFY(QMetaObject::invokeMethod(&dialog, "accept", Qt::DirectConnection));
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(dialog.selectedFiles(), QStringList{where.filePath(name)});
            dialog.setResult(QDialog::Rejected);
        }
    }

    // The listing is not rewritten when nothing changed, and keeps its place when it is.
    void listingKeepsItsPlace()
    {
        Fixture f;
        f.window->resize(800, 600);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.newSession("MENU_ED_AVEC");
        for (int n = 0; n < 120; ++n)
            f.store(n, n % 32, 0, u"Message %1"_s.arg(n));
        f.window->Timer1_Timer();
        QPlainTextEdit *box = f.listing();
        QScrollBar *vertical = box->verticalScrollBar();
        QTextCursor selection = box->textCursor();
        selection.setPosition(3000);
        selection.setPosition(3050, QTextCursor::KeepAnchor);
        box->setTextCursor(selection);
        vertical->setValue(40);

        QSignalSpy rewritten(box, &QPlainTextEdit::textChanged);
        f.window->Timer1_Timer();
        QCOMPARE(rewritten.count(), 0);

        f.store(150, 1, 0, u"Nouveau"_s);
        f.window->Timer1_Timer();
        QVERIFY(box->toPlainText().contains(u" n°150 | U: 01 |  P: 000  | Nouveau"_s));
        QCOMPARE(vertical->value(), 40);
        QCOMPARE(box->textCursor().anchor(), 3000);
        QCOMPARE(box->textCursor().position(), 3050);
    }

    void standardButtonsReadFrench()
    {
        QTranslator translator;
        QVERIFY(installFrenchInterface(translator));
        const QMessageBox box(QMessageBox::Question, QString(), u"?"_s, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), u"Oui"_s);
        QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), u"Non"_s);
        QCoreApplication::removeTranslator(&translator);
    }

    void quitClosesEveryWindow()
    {
        const Fixture f;
        f.window->show();
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.item("MENU_QUITTER")->trigger();
        QVERIFY(!f.window->isVisible() && !other.isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
