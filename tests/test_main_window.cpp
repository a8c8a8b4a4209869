// The main window on real widgets, as a technician drives it: start-up, sessions,
// navigation, "Valider", "Insérer" and "Effacer", the refresh, "Enregistrer" and
// "Ouvrir", help and quitting. What the core decides (cells, texts of refusals,
// slot moves) is pinned by the core's suites; here, that the window asks, shows
// and keeps what it must.

#include "FrenchInterface.h"
#include "QtUserPrompts.h"
#include "store/AddressMap.h"
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

// Off before any session, on in a session.
const char *const kEditorControls[] = {"Texte1",       "Etiquette1",   "Etiquette2",   "Etiquette7",
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
    // Straight into the image.
    void store(int number, int unit, int priority, const QString &typed)
    {
        validation::store(window->image(), {number, unit, priority, typed, {}});
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

        f.window->refresh();
        QCOMPARE(f.caption("Etiquette3"), u"Centrale de défauts :"_s);
        QCOMPARE(f.caption("Etiquette4"), u" Aucun message"_s);
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
        f.text()->setText(u"tapé"_s);
        MemoryImage expected = yes ? MemoryImage() : f.window->image();
        expected.set(address::kModeCell, modeCell);
        f.newSession(item.constData(), yes);

        QCOMPARE(f.prompts->shown.size(), 1);
        QCOMPARE(f.prompts->last(),
                 testing::box(u"Voulez vous commencer une nouvelle session ?\n\r"
                              "(tout les messages en mémoire seront effacés)"_s,
                              PromptIcon::Exclamation));
        QCOMPARE(f.window->image(), expected);
        QCOMPARE(f.maxima(), (QList<int>{last, 31, last}));
        QCOMPARE(f.item("MENU_ED_AVEC")->isChecked(), modeCell == 65);
        QCOMPARE(f.item("MENU_ED_SANS")->isChecked(), modeCell == 83);
        QCOMPARE(f.text()->text(), QString());
        for (const char *name : kEditorControls)
            QVERIFY2(f.get<QWidget>(name)->isEnabled(), name);
    }

    // The refresh keeps running under the new-session question: it sees the mode in
    // force, never the one chosen before the answer. No still sets the mode after.
    void unconfirmedModeIsNeverSeen()
    {
        Fixture f;
        QString countDuringQuestion;
        f.prompts->duringQuestion = [&f, &countDuringQuestion] {
            f.window->refresh();
            countDuringQuestion = f.caption("Etiquette4");
        };
        f.newSession("MENU_ED_AVEC", false);
        QCOMPARE(countDuringQuestion, u" Aucun message"_s);
        for (int n = 0; n < 3; ++n)
            f.store(n, 0, 0, u"M"_s);
        f.newSession("MENU_ED_SANS", false);
        QCOMPARE(countDuringQuestion, u"178 messages vides."_s);
        QCOMPARE(f.window->sessionMode(), SessionMode::WithoutPlc);
    }

    void validateStoresAndMovesOn()
    {
        Fixture f;
        f.newSession("MENU_ED_SANS");
        f.validate(3, 5, 0, u"AB"_s, {2});
        QCOMPARE(f.window->image()[address::kEmptyCountCell], 16); // at once, not at the next tick
        QCOMPARE(f.bar(1)->value(), 4);                            // on to the next, empty and unticked
        QCOMPARE(f.caption("Etiquette1"), u" Message n°4"_s);
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
        f.validate(16, 2, 16, u"FIN"_s, {3});
        QCOMPARE(f.bar(1)->value(), 16);
        QCOMPARE(f.text()->text(), u"FIN"_s);
        QCOMPARE(f.checkedBoxes(), QList<int>{3});
        QCOMPARE(f.caption("Etiquette7"), u"Priorité 16"_s);
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
        QCOMPARE(f.prompts->last(),
                 testing::box(validation::refusalText({Refusal::PriorityInUse, 12, 0}), PromptIcon::Exclamation));
        QCOMPARE(f.text()->text(), a45.left(42));
        f.validate(20, 6, 0, a45, {5});
        QCOMPARE(f.prompts->shown.size(), 3);
        QCOMPARE(f.prompts->last().second, PromptIcon::Exclamation);
        QCOMPARE(f.text()->text(), a45.left(40));
        QCOMPARE(f.checkedBoxes(), QList<int>{5});
        QCOMPARE(f.window->image(), before);
        QCOMPARE(f.bar(1)->value(), 20);
    }

    // "Insérer" asks, moves the slots from the current one and clears the text;
    // "Effacer" asks, moves them back, recounts at once and shows what moved in;
    // No changes nothing.
    void insertAndErase()
    {
        Fixture f;
        f.newSession("MENU_ED_SANS");
        for (int n = 0; n <= 16; ++n)
            f.store(n, 1, 0, u"M%1"_s.arg(n));
        f.bar(1)->setValue(5);
        const MemoryImage full = f.window->image();
        f.prompts->answers = {false, true, true};
        f.click("Commande7");
        QCOMPARE(f.window->image(), full);
        QCOMPARE(f.text()->text(), u"M5"_s);

        f.click("Commande1");
        QCOMPARE(f.prompts->last(),
                 testing::box(u" Insérer un nouveau message ?  \n\r( Le message n° 16 sera écrasé)"_s,
                              PromptIcon::Question));
        QCOMPARE(f.window->image()[address::unitCell(5)], 0);
        QCOMPARE(f.window->image()[address::textStart(6)], 'M');
        QCOMPARE(f.window->image()[address::textStart(6) + 1], '5');
        QCOMPARE(f.text()->text(), QString());

        f.click("Commande7");
        QCOMPARE(f.prompts->lastText(), u" Effacer le message n°5 ? \n\r"_s);
        QCOMPARE(f.text()->text(), u"M5"_s);
        QCOMPARE(f.window->image()[address::kEmptyCountCell], 1);
        QCOMPARE(f.bar(1)->value(), 5);
    }

    // "Enregistrer" writes the image as it stands and "Ouvrir" takes it in whole,
    // with the mode its mode cell asks for (or the one in force for any other
    // value); a refused file (a short one stands for all) or a failed save change
    // nothing; Cancel or an empty name do nothing.
    void saveAndOpen()
    {
        const QString path = dir_.filePath(u"aller-retour.zel"_s);
        Fixture writer;
        writer.newSession("MENU_ED_SANS");
        writer.store(16, 31, 16, u"Fin de liste é à ü §"_s);
        writer.window->refresh();
        writer.chooseFile("MENU_ENREGISTRER", path);
        const QByteArray good = testing::bytesOf(writer.window->image());
        QCOMPARE(testing::readFile(path), good);

        Fixture reader;
        reader.newSession("MENU_ED_AVEC");
        reader.bar(1)->setValue(16);
        reader.text()->setText(u"en cours"_s);
        const MemoryImage before = reader.window->image();
        QVERIFY(testing::writeFile(dir_.filePath(u"court.zel"_s), good.left(address::kImageSize - 1)));
        reader.chooseFile("MENU_OUVIR", dir_.filePath(u"court.zel"_s));
        QCOMPARE(reader.prompts->last(),
                 testing::box(u"Erreur d'ouverture de "_s + dir_.filePath(u"court.zel"_s), PromptIcon::None));
        QVERIFY(reader.window->image() == before && reader.window->sessionMode() == SessionMode::WithPlc);
        QCOMPARE(reader.text()->text(), u"en cours"_s);

        reader.chooseFile("MENU_OUVIR", path);
        QCOMPARE(reader.prompts->last(),
                 testing::box(u"Centrale de défauts :\n\rSans automate.\n\r16 messages vides.\n\r"
                              "Lecture terminée avec succés !"_s,
                              PromptIcon::Information));
        QCOMPARE(reader.window->image(), writer.window->image());
        QCOMPARE(reader.window->sessionMode(), SessionMode::WithoutPlc);
        QCOMPARE(reader.text()->text(), u"Fin de liste é à ü §"_s);
        QVERIFY(testing::writeFile(dir_.filePath(u"255.zel"_s), QByteArray(address::kImageSize, '\xFF')));
        reader.chooseFile("MENU_OUVIR", dir_.filePath(u"255.zel"_s));
        QCOMPARE(reader.prompts->lastText(),
                 u"Centrale de défauts :\n\r255 messages vides.\n\r"
                 "Lecture terminée avec succés !"_s);
        QCOMPARE(reader.window->sessionMode(), SessionMode::WithoutPlc);

        // Twenty messages in a set of seventeen: the empty count goes below 0.
        for (int n = 0; n < 20; ++n)
            writer.store(n, 0, 0, u"M"_s);
        writer.window->refresh();
        writer.chooseFile("MENU_ENREGISTRER", path);
        QCOMPARE(writer.prompts->last(),
                 testing::box(u"Erreur lors de la création de "_s + path + u". Essayer à nouveau"_s, PromptIcon::None));
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

    // Qt's own dialog as the requests set it up: a name without extension is taken
    // as typed, an existing one replaced without a question, a missing one opened.
    void fileDialogs()
    {
        Fixture f;
        f.item("MENU_ENREGISTRER")->trigger();
        f.item("MENU_OUVIR")->trigger();
        const QList<FileRequest> &requests = f.prompts->fileRequests;
        QCOMPARE(requests.size(), 2);
        QVERIFY(requests[0].kind == FileRequest::Kind::Save && requests[1].kind == FileRequest::Kind::Open);
        QCOMPARE(requests[0].title, u"Enregistrer un fichier de production"_s);
        QCOMPARE(requests[1].title, u"Ouvrir un fichier de production"_s);
        QCOMPARE(requests[1].nameFilters, (QStringList{u"Fichiers zel(*.zel)"_s, u"Tous les fichiers (*.*)"_s}));

        QFileDialog dialog;
        QtUserPrompts::configure(dialog, requests[0]);
        QCOMPARE(dialog.selectedNameFilter(), u"Fichiers zel(*.zel)"_s);
        QVERIFY(dialog.defaultSuffix().isEmpty() && dialog.fileMode() == QFileDialog::AnyFile);
        QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    }

    // The listing is not rewritten when nothing changed, and keeps its place when it is.
    void listingKeepsItsPlace()
    {
        Fixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.newSession("MENU_ED_AVEC");
        for (int n = 0; n < 120; ++n)
            f.store(n, n % 32, 0, u"Message %1"_s.arg(n));
        f.window->refresh();
        QPlainTextEdit *box = f.listing();
        QTextCursor selection = box->textCursor();
        selection.setPosition(3000);
        selection.setPosition(3050, QTextCursor::KeepAnchor);
        box->setTextCursor(selection);
        box->verticalScrollBar()->setValue(40);

        QSignalSpy rewritten(box, &QPlainTextEdit::textChanged);
        f.window->refresh();
        QCOMPARE(rewritten.count(), 0);

        f.store(150, 1, 0, u"Nouveau"_s);
        f.window->refresh();
        QVERIFY(box->toPlainText().contains(u" n°150 | U: 01 |  P: 000  | Nouveau"_s));
        QCOMPARE(box->verticalScrollBar()->value(), 40);
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
