// The main window and the preview windows on real widgets, as a technician
// drives them: start-up, sessions, "Valider", "Insérer" and "Effacer", the
// refresh, the file commands, the French buttons, quitting; the four preview
// windows, "&Affichage", "Centrer" and "Annuler (centrer)". What the core
// decides (cells, texts of refusals, slot moves) is pinned by the core's suite;
// here, that the windows ask, show and keep what they must.

#include "FrenchInterface.h"
#include "LimitMarker.h"
#include "MessageEditor.h"
#include "PreviewWindow.h"
#include "QtUserPrompts.h"
#include "files/DroppedFiles.h"
#include "store/AddressMap.h"
#include "store/Validation.h"
#include "support/FileBytes.h"
#include "support/MessageSets.h"
#include "support/WindowUnderTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

using namespace torsa;
using namespace Qt::StringLiterals;
using testing::box;
using testing::dots;

namespace {

// Off before any session, on in a session.
const char *const kEditorControls[] = {"Texte1",       "Etiquette1",   "Etiquette2",   "Etiquette7",
                                       "DéfilementH1", "DéfilementH2", "DéfilementH3", "Commande1",
                                       "Commande2",    "Commande6",    "Commande7"};

struct Fixture : testing::WindowUnderTest {
    QScrollBar *bar(int n) const { return get<QScrollBar>(u"DéfilementH%1"_s.arg(n)); }
    BlinkBoxes ticked() const { return get<MessageEditor>("Cadre1")->blinkBoxes(); }
    // Through the editor and "Valider".
    void validate(int number, int unit, int priority, const QString &typed, const QList<int> &checkBoxes = {})
    {
        for (const int n : {1, 2, 3})
            bar(n)->setValue(n == 1 ? number : n == 2 ? unit : priority);
        text()->setText(typed);
        for (const int k : checkBoxes)
            get<QCheckBox>(u"Coche%1"_s.arg(k))->setChecked(true);
        click("Commande6");
    }
    // Through the session's "Valider", the editor left at its message.
    void store(int number, const QString &typed)
    {
        Session &session = window->session();
        const int shown = session.currentMessage();
        session.setCurrentMessage(number);
        session.validate(1, 0, typed, {});
        session.setCurrentMessage(shown);
    }
    void chooseFile(const char *menu, const QString &path)
    {
        prompts->files.push_back(path);
        item(menu)->trigger();
    }
};

// The editor side of a preview: a text and 40 boxes, counting the writes.
class EditorStub final : public PreviewSource {
public:
    QString text;
    BlinkBoxes boxes{};
    int writes = 0;

    QString editorText() const override { return text; }
    void setEditorText(const QString &t) override
    {
        text = t;
        ++writes;
    }
    BlinkBoxes blinkBoxes() const override { return boxes; }
};

QLabel *cell(const QWidget &window, int i)
{
    return window.findChild<QLabel *>(u"Label%1"_s.arg(i));
}

QStringList cellTexts(const QWidget &window)
{
    QStringList texts;
    for (int i = 1; i <= preview::kCellCount; ++i)
        texts << cell(window, i)->text();
    return texts;
}

// The preview window on screen, when exactly one is.
PreviewWindow *onlyPreview()
{
    QList<PreviewWindow *> open;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<PreviewWindow *>(w); p && p->isVisible())
            open << p;
    return open.size() == 1 ? open.first() : nullptr;
}

// The main window shown, in a session with PLC, nothing said yet.
struct ShownInSession : Fixture {
    ShownInSession()
    {
        window->show();
        newSession("MENU_ED_AVEC");
        prompts->shown.clear();
    }
    void centre() const { click("Commande2"); }
    QStringList checkedItems() const
    {
        QStringList checked;
        for (const char *display : {"MENU_VISU116", "MENU_VISU120", "MENU_VISU216", "MENU_VISU220"})
            if (item(display)->isChecked())
                checked << QString::fromUtf8(display);
        return checked;
    }
};

} // namespace

Q_DECLARE_METATYPE(DisplayType)

class TestUi : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private Q_SLOTS:
    void cleanup()
    {
        // No preview of one test may be seen by the next.
        QTRY_VERIFY(!onlyPreview());
    }

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
        QVERIFY(f.prompts->shown.isEmpty());
    }

    // The editor's wiring to the session: "Nouveau" sets the ranges, the mark and
    // an empty text box, every control enabled; "Valider" shows the next message
    // (its caption with its leading blank) with the boxes cleared, or tells a
    // refusal and cuts a text too long to 40 characters, not one refused for its
    // priority; "Insérer" clears the text box, "Effacer" shows what moved in.
    void editorWiring()
    {
        Fixture f;
        f.text()->setText(u"tapé"_s);
        f.newSession("MENU_ED_SANS", false);
        QVERIFY(f.bar(1)->maximum() == 16 && f.bar(2)->maximum() == 31 && f.bar(3)->maximum() == 16);
        QVERIFY(f.item("MENU_ED_SANS")->isChecked() && !f.item("MENU_ED_AVEC")->isChecked());
        QVERIFY(f.text()->text().isEmpty());
        for (const char *name : kEditorControls)
            QVERIFY2(f.get<QWidget>(name)->isEnabled(), name);
        f.validate(3, 5, 7, u"AB"_s, {2});
        QVERIFY(f.bar(1)->value() == 4 && f.text()->text().isEmpty() && f.ticked() == BlinkBoxes{});
        QCOMPARE(f.caption("Etiquette1"), u" Message n°4"_s);
        const MemoryImage beforeEmpty = f.window->image();
        f.validate(5, 1, 0, QString());
        QVERIFY(f.window->image() == beforeEmpty && f.bar(1)->value() == 6);
        f.bar(1)->setValue(3);
        QCOMPARE(f.text()->text() + f.caption("Etiquette2") + f.caption("Etiquette7"), u"ABUnité 5Priorité 7"_s);
        QCOMPARE(f.ticked(), testing::boxes({1}));
        const QString a45(45, u'a');
        f.validate(9, 6, 7, a45.left(42));
        QCOMPARE(f.prompts->last(),
                 box(validation::refusalText({Refusal::PriorityInUse, 3, 0}), PromptIcon::Exclamation));
        QCOMPARE(f.text()->text(), a45.left(42));
        f.validate(9, 6, 0, a45, {5});
        QVERIFY(f.text()->text() == a45.left(40) && f.ticked()[3] && f.bar(1)->value() == 9);
        f.store(9, u"M9"_s);
        f.prompts->answers = {true, true};
        f.click("Commande1");
        QVERIFY(f.text()->text().isEmpty() && f.window->image()[address::textStart(10)] == 'M');
        f.click("Commande7");
        QVERIFY(f.text()->text() == u"M9"_s && f.window->image()[address::kEmptyCountCell] == 15);
    }

    // "Enregistrer" writes the image as it stands and "Ouvrir" takes it in whole,
    // with the mode its mode cell asks for; a refused file (a short one stands for
    // all) or a failed save change nothing.
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
        QVERIFY(reader.window->image() == before && reader.window->sessionMode() == SessionMode::WithPlc
                && reader.text()->text() == u"en cours"_s);
        reader.chooseFile("MENU_OUVIR", path);
        QCOMPARE(reader.prompts->last(),
                 box(u"Centrale de défauts :\n\rSans automate.\n\r16 messages vides.\n\r"
                     "Lecture terminée avec succés !"_s,
                     PromptIcon::Information));
        QVERIFY(reader.window->image() == writer.window->image());
        QCOMPARE(reader.window->sessionMode(), SessionMode::WithoutPlc);
        QCOMPARE(reader.text()->text(), u"Fin de liste é à ü §"_s);

        // Twenty messages in a set of seventeen: the empty count goes below 0.
        writer.newSession("MENU_ED_AVEC");
        for (int n = 0; n < 20; ++n)
            writer.store(n, u"M"_s);
        writer.newSession("MENU_ED_SANS", false);
        writer.window->refresh();
        writer.chooseFile("MENU_ENREGISTRER", path);
        QCOMPARE(writer.prompts->last(),
                 box(u"Erreur lors de la création de "_s + path + u". Essayer à nouveau"_s, PromptIcon::None));
        QCOMPARE(testing::readFile(path), good);

        // Qt's own dialog as the requests set it up: a name without extension is
        // taken as typed, an existing one replaced without a question, a missing
        // one opened.
        const QList<FileRequest> &requests = reader.prompts->fileRequests;
        QVERIFY(requests.size() == 2 && requests[1].kind == FileRequest::Kind::Open);
        QCOMPARE(requests[1].title, u"Ouvrir un fichier de production"_s);
        QCOMPARE(requests[1].nameFilters, (QStringList{u"Fichiers zel(*.zel)"_s, u"Tous les fichiers (*.*)"_s}));
        QFileDialog dialog;
        QtUserPrompts::configure(dialog, writer.prompts->fileRequests.constFirst());
        QVERIFY(dialog.acceptMode() == QFileDialog::AcceptSave && dialog.defaultSuffix().isEmpty());
        QVERIFY(dialog.selectedNameFilter() == u"Fichiers zel(*.zel)"_s && dialog.fileMode() == QFileDialog::AnyFile);
        QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    }

    // A file given on the command line, or dropped on the window or its listing,
    // opens as "Ouvrir" does: the report, then the listing; a missing one gives
    // the open error. Several files or a folder open nothing and say why.
    void openedFromOutside()
    {
        const QString sample = QStringLiteral(TORSA_SOURCE_DIR "/samples/demo.zel");
        const QString missing = dir_.filePath(u"absent.zel"_s);
        Fixture f;
        f.window->openFromArguments({u"torsa"_s, sample});
        QTRY_VERIFY(f.prompts->lastText().endsWith(u"156 messages vides.\n\rLecture terminée avec succés !"_s));
        f.window->refresh();
        QVERIFY(f.get<QPlainTextEdit>("Texte2")->toPlainText().contains(u" n°003 | U: 02 |  P: 000  | Niveau bas"_s));
        f.window->openFromArguments({u"torsa"_s, missing});
        QTRY_COMPARE(f.prompts->last(), box(u"Erreur d'ouverture de "_s + missing, PromptIcon::None));
        QVERIFY(f.drop({QUrl::fromLocalFile(sample)}, f.get<QPlainTextEdit>("Texte2")->viewport()));
        QTRY_COMPARE(f.prompts->last().second, PromptIcon::Information);
        f.drop({QUrl::fromLocalFile(sample), QUrl::fromLocalFile(missing)});
        QTRY_COMPARE(f.prompts->lastText(), dropped::kSeveralFiles.toString());
        f.drop({QUrl::fromLocalFile(dir_.path())});
        QTRY_COMPARE(f.prompts->lastText(),
                     dir_.path() + u" est un dossier, pas un fichier de production : il n'a pas été ouvert."_s);
    }

    // Quitting asks only when typed messages would be lost, by the close button
    // and the menu alike: "Annuler" stays, "Oui" with a save that fails stays,
    // "Oui" once saved and "Non" end.
    void quitting()
    {
        const testing::Box question = box(u"Les messages ont été modifiés depuis le dernier enregistrement. "
                                          "Enregistrer avant de quitter ?"_s,
                                          PromptIcon::Question);
        const QString path = dir_.filePath(u"avant-de-quitter.zel"_s);
        for (const Answer last : {Answer::Yes, Answer::No}) {
            ShownInSession f;
            f.validate(0, 1, 0, u"Pompe"_s);
            f.prompts->choices = {Answer::Cancel, Answer::Yes, last};
            QVERIFY(!f.window->close() && f.prompts->last() == question);
            f.prompts->files = {dir_.path(), path};
            f.item("MENU_QUITTER")->trigger();
            QVERIFY(f.window->isVisible() && f.prompts->lastText().startsWith(u"Erreur lors de la création"_s));
            f.item("MENU_QUITTER")->trigger();
            QVERIFY(!f.window->isVisible() && f.prompts->choices.empty());
            // Saved, the session has nothing left to lose.
            QCOMPARE(f.window->session().isModified(), last == Answer::No);
            QCOMPARE(testing::readFile(path) == testing::bytesOf(f.window->image()), last == Answer::Yes);
            QFile::remove(path);
        }
        ShownInSession unchanged;
        QVERIFY(unchanged.window->close() && unchanged.prompts->shown.isEmpty());
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

    // The real boxes: the program's title, the icon asked for, Qt's own buttons in French.
    void realBoxes()
    {
        QTranslator translator;
        QVERIFY(installFrenchInterface(translator));
        QtUserPrompts prompts(nullptr);
        const std::pair<PromptIcon, QMessageBox::Icon> icons[] = {{PromptIcon::Question, QMessageBox::Question},
                                                                  {PromptIcon::Exclamation, QMessageBox::Warning},
                                                                  {PromptIcon::Critical, QMessageBox::Critical},
                                                                  {PromptIcon::Information, QMessageBox::Information},
                                                                  {PromptIcon::None, QMessageBox::NoIcon}};
        for (const auto &[icon, qtIcon] : icons) {
            QString seen;
            QTimer::singleShot(0, [&seen] {
                auto *open = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                QAbstractButton *yes = open ? open->button(QMessageBox::Yes) : nullptr;
                seen = open ? u"%1 %2 %3"_s.arg(open->windowTitle()).arg(open->icon()).arg(yes ? yes->text() : u"-"_s)
                            : u"no box"_s;
                if (open)
                    open->done(QMessageBox::Yes);
            });
            QVERIFY(prompts.askYesNo(u"?"_s, icon));
            QCOMPARE(seen.remove(u'&'), u"TORSA %1 Oui"_s.arg(qtIcon));
        }
        QCoreApplication::removeTranslator(&translator);
    }

    void displayWindow_data()
    {
        QTest::addColumn<DisplayType>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("boundary"); // x where a one-line display ends; 0: two lines
        const QString caption = u"Visualisation sur afficheur %1 fois %2 caractères"_s;
        QTest::newRow("1x16") << DisplayType::OneBySixteen << u"V116"_s << caption.arg(1).arg(16) << 272;
        QTest::newRow("1x20") << DisplayType::OneByTwenty << u"V120"_s << caption.arg(1).arg(20) << 336;
        QTest::newRow("2x16") << DisplayType::TwoBySixteen << u"V216"_s << caption.arg(2).arg(16) << 0;
        QTest::newRow("2x20") << DisplayType::TwoByTwenty << u"V220"_s << caption.arg(2).arg(20) << 0;
    }

    // Each window: its design, then a ruler until its first tick, then the blink
    // phases, the shown one first. A text of 40 is left alone (cursor and undo kept).
    void displayWindow()
    {
        QFETCH(DisplayType, type);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(int, boundary);
        EditorStub editor;
        editor.text = QString(40, u'A');
        editor.boxes = testing::boxes({1});
        PreviewWindow window(type, editor);
        QCOMPARE(window.objectName(), name);
        QCOMPARE(window.windowTitle(), caption);
        const auto *timer = window.findChild<QTimer *>(u"Timer1"_s);
        QVERIFY(timer->isActive() && timer->interval() == 500);
        QStringList ruler;
        for (int i = 1; i <= preview::kCellCount; ++i)
            ruler << QString::number(i % 10);
        QCOMPARE(cellTexts(window), ruler);
        window.tick();
        QCOMPARE(cellTexts(window), QStringList(preview::kCellCount, u"A"_s));
        window.tick();
        QVERIFY(cell(window, 1)->text().isEmpty() && cell(window, 2)->text() == u"A"_s && editor.writes == 0);

        // The cells of the display stand inside its frame, line 2 under line 1;
        // characters 33 to 40 of the 2 x 16 display never reach lines 1 and 2.
        const QRect frame = window.findChild<QWidget *>(u"Shape1"_s)->geometry();
        const int width = display::width(type);
        for (int i = 1; i <= width * display::lines(type); ++i)
            QVERIFY2(frame.contains(cell(window, i)->geometry()), qPrintable(QString::number(i)));
        QCOMPARE(cell(window, 40)->isVisibleTo(&window), type != DisplayType::TwoBySixteen);
        auto *marker = window.findChild<QLabel *>(u"Label41"_s);
        if (boundary == 0) {
            QCOMPARE(cell(window, width + 1)->x(), cell(window, 1)->x());
            QVERIFY(cell(window, width + 1)->y() > cell(window, 1)->y() && marker == nullptr);
            return;
        }
        // The marker stands between the last cell of the display and the next one,
        // its caption readable whole.
        QCOMPARE(cell(window, width + 1)->x(), boundary);
        QVERIFY(cell(window, width)->geometry().right() <= boundary);
        QCOMPARE(window.findChild<LimitMarker *>()->lines().front().x1(), boundary);
        QCOMPARE(marker->text(), u"Limite de défilement"_s);
        QVERIFY(QFontMetrics(marker->font()).horizontalAdvance(marker->text()) <= marker->width());
    }

    // Each display item opens its preview and is the only one checked; choosing a
    // display, the same one included, closes the preview open before. Without a
    // display "Centrer" refuses and "Annuler (centrer)" has nothing to give back.
    void onlyOnePreviewEverOpen()
    {
        const ShownInSession f;
        f.text()->setText(u"ABC"_s);
        f.centre();
        QCOMPARE(f.prompts->last(),
                 testing::box(u"Sélectionner un afficheur dans le menu affichage."_s, PromptIcon::Information));
        f.item("MENU_ED_ANNULER")->trigger();
        QCOMPARE(f.text()->text(), QString());

        QPointer<PreviewWindow> previous;
        const std::pair<const char *, DisplayType> choices[] = {{"MENU_VISU220", DisplayType::TwoByTwenty},
                                                                {"MENU_VISU116", DisplayType::OneBySixteen},
                                                                {"MENU_VISU216", DisplayType::TwoBySixteen},
                                                                {"MENU_VISU216", DisplayType::TwoBySixteen},
                                                                {"MENU_VISU120", DisplayType::OneByTwenty}};
        for (const auto &[item, type] : choices) {
            f.item(item)->trigger();
            QCOMPARE(f.checkedItems(), QStringList{QString::fromUtf8(item)});
            QVERIFY(previous.isNull()); // gone, not merely hidden
            previous = onlyPreview();
            QVERIFY(previous && previous->displayType() == type);
        }
        QCOMPARE(f.prompts->shown.size(), 1);
    }

    // The preview shows the editor's text and boxes and cuts the text to 40
    // characters at its tick; a closed preview leaves its display chosen for
    // "Centrer".
    void previewFollowsTheEditorUntilClosed()
    {
        const ShownInSession f;
        f.item("MENU_VISU120")->trigger();
        const QString forty = QString(39, u'X') + u'Z';
        f.get<QCheckBox>("Coche2")->setChecked(true);
        f.text()->setText(forty + u"Y"_s);
        QTRY_COMPARE(f.text()->text(), forty);
        const QPointer<PreviewWindow> open = onlyPreview();
        QVERIFY(open);
        QTRY_COMPARE(cell(*open, 40)->text(), u"Z"_s);
        // The ticked character blinks, its neighbour does not.
        QTRY_COMPARE(cell(*open, 1)->text(), QString());
        QCOMPARE(cell(*open, 2)->text(), u"X"_s);
        QTRY_COMPARE(cell(*open, 1)->text(), u"X"_s);

        QVERIFY(open->close());
        QTRY_VERIFY(open.isNull());
        QCOMPARE(f.checkedItems(), QStringList{u"MENU_VISU120"_s});
        f.text()->setText(u"POMPE 1"_s);
        f.centre();
        QCOMPARE(f.text()->text(), dots("......POMPE.1"));
    }

    // "Centrer" twice, then "Annuler (centrer)": the text centered once for the
    // chosen display, the boxes left where they were, the text typed back; a text
    // that fits no way is refused each time and undo gives the text before the last try.
    void centerTwiceThenUndo_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("centered");
        QTest::newRow("1x16") << u"MENU_VISU116"_s << dots("..ABC") << dots("......ABC");
        QTest::newRow("2x16 impossible") << u"MENU_VISU216"_s << dots("..PRESSION.BASSE.CIRCUIT.PRINCIPAL.")
                                         << dots("PRESSION.BASSE.CIRCUIT.PRINCIPAL");
    }

    void centerTwiceThenUndo()
    {
        QFETCH(QString, item);
        QFETCH(QString, typed);
        QFETCH(QString, centered);
        const ShownInSession f;
        f.item(item.toUtf8().constData())->trigger();
        f.text()->setText(typed);
        f.get<QCheckBox>("Coche3")->setChecked(true);
        f.centre();
        f.centre();
        QCOMPARE(f.text()->text(), centered);
        QCOMPARE(f.ticked(), testing::boxes({2}));
        const bool impossible = QByteArray(QTest::currentDataTag()).endsWith("impossible");
        f.item("MENU_ED_ANNULER")->trigger();
        QCOMPARE(f.text()->text(), impossible ? centered : typed);
        QCOMPARE(f.prompts->shown.size(), impossible ? 2 : 0);
        for (const testing::Shown &box : f.prompts->shown)
            QVERIFY(box.text == u"Centrage automatique impossible."_s && box.icon == PromptIcon::Exclamation);
    }
};

QTEST_MAIN(TestUi)
#include "test_ui.moc"
