// The main window on real widgets, as a technician drives it: start-up, sessions,
// "Valider", "Insérer" and "Effacer", the refresh, "Enregistrer" and "Ouvrir",
// the French buttons and quitting. What the core decides (cells, texts of
// refusals, slot moves) is pinned by the core's suites; here, that the window
// asks, shows and keeps what it must.

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
using testing::box;

namespace {

// Off before any session, on in a session.
const char *const kEditorControls[] = {"Texte1",       "Etiquette1",   "Etiquette2",   "Etiquette7",
                                       "DéfilementH1", "DéfilementH2", "DéfilementH3", "Commande1",
                                       "Commande2",    "Commande6",    "Commande7"};

struct Fixture : testing::WindowUnderTest {
    QScrollBar *bar(int n) const { return get<QScrollBar>(u"DéfilementH%1"_s.arg(n)); }
    QList<int> checkedBoxes() const
    {
        QList<int> checked;
        for (int k = 2; k <= 41; ++k)
            if (get<QCheckBox>(u"Coche%1"_s.arg(k))->isChecked())
                checked.append(k);
        return checked;
    }
    // Through the editor and "Valider".
    void validate(int number, int unit, int priority, const QString &typed, const QList<int> &ticked = {})
    {
        for (const int n : {1, 2, 3})
            bar(n)->setValue(n == 1 ? number : n == 2 ? unit : priority);
        text()->setText(typed);
        for (const int k : ticked)
            get<QCheckBox>(u"Coche%1"_s.arg(k))->setChecked(true);
        click("Commande6");
    }
    // Straight into the image.
    void store(int number, const QString &typed) { validation::store(window->image(), {number, 1, 0, typed, {}}); }
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
        QVERIFY(f.window->image() == MemoryImage() && f.window->sessionMode() == SessionMode::None);
        for (const char *name : kEditorControls)
            QVERIFY2(!f.get<QWidget>(name)->isEnabled(), name);
        QVERIFY(!f.get<QWidget>("Cadre1")->isHidden() && f.get<QWidget>("Cadre2")->isHidden());
        QVERIFY(!f.item("MENU_PLUS")->isEnabled() && f.bar(1)->maximum() == 189);
        QVERIFY(f.get<QTimer>("Timer1")->isActive() && f.get<QTimer>("Timer1")->interval() == 600);
        // Each box stands under its character: 8 pixels apart, the first under character 1.
        QCOMPARE(f.get<QCheckBox>("Coche2")->geometry().topLeft(), QPoint(172, 44));
        QCOMPARE(f.get<QCheckBox>("Coche41")->x() - f.get<QCheckBox>("Coche2")->x(), 39 * 8);
        QCOMPARE(QFontMetricsF(f.text()->font()).horizontalAdvance(u"MMMMMMMMMM"_s), 80.0);
        f.window->refresh();
        QCOMPARE(f.caption("Etiquette3") + f.caption("Etiquette4"), u"Centrale de défauts : Aucun message"_s);
        QVERIFY(f.prompts->shown.isEmpty());
    }

    void newSession_data()
    {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("modeCell");
        QTest::newRow("with PLC, Yes") << "MENU_ED_AVEC"_ba << true << 65;
        QTest::newRow("without PLC, No") << "MENU_ED_SANS"_ba << false << 83;
    }

    void newSession()
    {
        QFETCH(QByteArray, item);
        QFETCH(bool, yes);
        QFETCH(int, modeCell);
        Fixture f;
        f.store(0, u"Z"_s);
        f.text()->setText(u"tapé"_s);
        MemoryImage expected = yes ? MemoryImage() : f.window->image();
        expected.set(address::kModeCell, modeCell);
        f.newSession(item.constData(), yes);
        QCOMPARE(f.prompts->last(),
                 box(u"Voulez vous commencer une nouvelle session ?\n\r"
                     "(tout les messages en mémoire seront effacés)"_s,
                     PromptIcon::Exclamation));
        QCOMPARE(f.window->image(), expected);
        const int last = modeCell == 65 ? 180 : 16;
        QCOMPARE((QList<int>{f.bar(1)->maximum(), f.bar(2)->maximum(), f.bar(3)->maximum()}),
                 (QList<int>{last, 31, last}));
        QVERIFY(f.item("MENU_ED_AVEC")->isChecked() == (modeCell == 65) && f.text()->text().isEmpty());
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
            f.store(n, u"M"_s);
        f.newSession("MENU_ED_SANS", false);
        QCOMPARE(countDuringQuestion, u"178 messages vides."_s);
        QCOMPARE(f.window->sessionMode(), SessionMode::WithoutPlc);
    }

    // "Valider" stores, recounts at once and moves on to the next number, never past
    // the last; an empty text stores nothing. A refusal stores nothing and stays:
    // one on the text cuts it to 40 characters, one on the priority keeps it whole.
    void validate()
    {
        Fixture f;
        f.newSession("MENU_ED_SANS");
        f.validate(3, 5, 7, u"AB"_s, {2});
        QCOMPARE(f.window->image()[address::kEmptyCountCell], 16);
        QVERIFY(f.bar(1)->value() == 4 && f.text()->text().isEmpty() && f.checkedBoxes().isEmpty());
        QCOMPARE(f.caption("Etiquette1"), u" Message n°4"_s);
        const MemoryImage stored = f.window->image();
        f.validate(4, 9, 0, QString());
        QVERIFY(f.window->image() == stored && f.bar(1)->value() == 5 && f.prompts->shown.size() == 1);
        f.bar(1)->setValue(3);
        QCOMPARE(f.text()->text() + f.caption("Etiquette2") + f.caption("Etiquette7"), u"ABUnité 5Priorité 7"_s);
        QCOMPARE(f.checkedBoxes(), QList<int>{2});
        f.validate(16, 2, 16, u"FIN"_s, {3});
        QVERIFY(f.bar(1)->value() == 16 && f.text()->text() == u"FIN"_s && f.checkedBoxes() == QList<int>{3});

        const QString a45(45, u'a');
        f.validate(9, 6, 7, a45.left(42));
        QCOMPARE(f.prompts->last(),
                 box(validation::refusalText({Refusal::PriorityInUse, 3, 0}), PromptIcon::Exclamation));
        QCOMPARE(f.text()->text(), a45.left(42));
        f.validate(9, 6, 0, a45, {5});
        QCOMPARE(f.prompts->last(),
                 box(validation::refusalText({Refusal::TooManyBlinkZones}), PromptIcon::Exclamation));
        QVERIFY(f.text()->text() == a45.left(40) && f.checkedBoxes().contains(5) && f.bar(1)->value() == 9);
        QCOMPARE(f.window->image()[address::unitCell(9)], 0);
    }

    // "Insérer" asks, moves the slots from the current one and clears the text;
    // "Effacer" asks, moves them back, recounts at once and shows what moved in;
    // No changes nothing.
    void insertAndErase()
    {
        Fixture f;
        f.newSession("MENU_ED_SANS");
        for (int n = 0; n <= 16; ++n)
            f.store(n, u"M%1"_s.arg(n));
        f.bar(1)->setValue(5);
        const MemoryImage full = f.window->image();
        f.prompts->answers = {false, true, true};
        f.click("Commande7");
        QVERIFY(f.window->image() == full && f.text()->text() == u"M5"_s);
        f.click("Commande1");
        QCOMPARE(f.prompts->last(),
                 box(u" Insérer un nouveau message ?  \n\r( Le message n° 16 sera écrasé)"_s, PromptIcon::Question));
        QVERIFY(f.window->image()[address::unitCell(5)] == 0 && f.window->image()[address::textStart(6) + 1] == '5');
        QCOMPARE(f.text()->text(), QString());
        f.click("Commande7");
        QCOMPARE(f.prompts->lastText(), u" Effacer le message n°5 ? \n\r"_s);
        QVERIFY(f.text()->text() == u"M5"_s && f.window->image()[address::kEmptyCountCell] == 1);
    }

    // "Enregistrer" writes the image as it stands and "Ouvrir" takes it in whole,
    // with the mode its mode cell asks for; a refused file (a short one stands for
    // all) or a failed save change nothing; Cancel or an empty name do nothing.
    void saveAndOpen()
    {
        const QString path = dir_.filePath(u"aller-retour.zel"_s);
        const QString shortFile = dir_.filePath(u"court.zel"_s);
        Fixture writer;
        writer.newSession("MENU_ED_SANS");
        writer.store(16, u"Fin de liste é à ü §"_s);
        writer.window->refresh();
        writer.chooseFile("MENU_ENREGISTRER", path);
        const QByteArray good = testing::bytesOf(writer.window->image());
        QCOMPARE(testing::readFile(path), good);

        Fixture reader;
        reader.newSession("MENU_ED_AVEC");
        reader.bar(1)->setValue(16);
        reader.text()->setText(u"en cours"_s);
        const MemoryImage before = reader.window->image();
        QVERIFY(testing::writeFile(shortFile, good.left(address::kImageSize - 1)));
        reader.chooseFile("MENU_OUVIR", shortFile);
        QCOMPARE(reader.prompts->last(), box(u"Erreur d'ouverture de "_s + shortFile, PromptIcon::None));
        QVERIFY(reader.window->image() == before && reader.window->sessionMode() == SessionMode::WithPlc);
        QCOMPARE(reader.text()->text(), u"en cours"_s);
        reader.chooseFile("MENU_OUVIR", path);
        QCOMPARE(reader.prompts->last(),
                 box(u"Centrale de défauts :\n\rSans automate.\n\r16 messages vides.\n\r"
                     "Lecture terminée avec succés !"_s,
                     PromptIcon::Information));
        QVERIFY(reader.window->image() == writer.window->image());
        QCOMPARE(reader.window->sessionMode(), SessionMode::WithoutPlc);
        QCOMPARE(reader.text()->text(), u"Fin de liste é à ü §"_s);

        // Twenty messages in a set of seventeen: the empty count goes below 0.
        for (int n = 0; n < 20; ++n)
            writer.store(n, u"M"_s);
        writer.window->refresh();
        writer.chooseFile("MENU_ENREGISTRER", path);
        QCOMPARE(writer.prompts->last(),
                 box(u"Erreur lors de la création de "_s + path + u". Essayer à nouveau"_s, PromptIcon::None));
        QCOMPARE(testing::readFile(path), good);
        const auto shown = writer.prompts->shown.size();
        const QStringList files = QDir(dir_.path()).entryList(QDir::Files);
        for (const std::optional<QString> &choice : {std::optional<QString>{}, std::optional<QString>{QString()}}) {
            writer.chooseFile("MENU_OUVIR", choice);
            writer.chooseFile("MENU_ENREGISTRER", choice);
        }
        QVERIFY(writer.prompts->shown.size() == shown && QDir(dir_.path()).entryList(QDir::Files) == files);
    }

    // Qt's own dialog as the requests set it up: a name without extension is taken
    // as typed, an existing one replaced without a question, a missing one opened.
    void fileDialogs()
    {
        Fixture f;
        f.item("MENU_ENREGISTRER")->trigger();
        f.item("MENU_OUVIR")->trigger();
        const QList<FileRequest> &requests = f.prompts->fileRequests;
        QVERIFY(requests.size() == 2 && requests[1].kind == FileRequest::Kind::Open);
        QCOMPARE(requests[1].title, u"Ouvrir un fichier de production"_s);
        QCOMPARE(requests[1].nameFilters, (QStringList{u"Fichiers zel(*.zel)"_s, u"Tous les fichiers (*.*)"_s}));
        QFileDialog dialog;
        QtUserPrompts::configure(dialog, requests[0]);
        QVERIFY(dialog.acceptMode() == QFileDialog::AcceptSave && dialog.defaultSuffix().isEmpty());
        QVERIFY(dialog.selectedNameFilter() == u"Fichiers zel(*.zel)"_s && dialog.fileMode() == QFileDialog::AnyFile);
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
            f.store(n, u"Message %1"_s.arg(n));
        f.window->refresh();
        auto *listing = f.get<QPlainTextEdit>("Texte2");
        QTextCursor selection = listing->textCursor();
        selection.setPosition(3000);
        selection.setPosition(3050, QTextCursor::KeepAnchor);
        listing->setTextCursor(selection);
        listing->verticalScrollBar()->setValue(40);
        QSignalSpy rewritten(listing, &QPlainTextEdit::textChanged);
        f.window->refresh();
        QCOMPARE(rewritten.count(), 0);
        f.store(150, u"Nouveau"_s);
        f.window->refresh();
        QVERIFY(listing->toPlainText().contains(u" n°150 | U: 01 |  P: 000  | Nouveau"_s));
        QCOMPARE(listing->verticalScrollBar()->value(), 40);
        QVERIFY(listing->textCursor().anchor() == 3000 && listing->textCursor().position() == 3050);
    }

    // Qt's own buttons read French; "Quitter" closes every window.
    void frenchButtonsAndQuit()
    {
        QTranslator translator;
        QVERIFY(installFrenchInterface(translator));
        const QMessageBox question(QMessageBox::Question, QString(), u"?"_s, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.button(QMessageBox::Yes)->text().remove(u'&'), u"Oui"_s);
        QCOMPARE(question.button(QMessageBox::No)->text().remove(u'&'), u"Non"_s);
        QCoreApplication::removeTranslator(&translator);
        const Fixture f;
        f.window->show();
        QWidget other;
        other.show();
        f.item("MENU_QUITTER")->trigger();
        QVERIFY(!f.window->isVisible() && !other.isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
