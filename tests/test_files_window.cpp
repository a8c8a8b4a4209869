// The main window's refresh, "Enregistrer" and "Ouvrir" with scripted prompts and
// real files, and the file dialog as the real prompts set it up.

#include "editor/MainWindow.h"
#include "editor/QtUserPrompts.h"
#include "files/ProductionFile.h"
#include "store/AddressMap.h"
#include "store/Validation.h"
#include "support/WindowUnderTest.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest/QTest>

#include <memory>

using namespace torsa;

namespace {

const QString kSuccess = QStringLiteral("Lecture terminée avec succés !");

struct Fixture : testing::WindowUnderTest {
    QPlainTextEdit *listing() const { return get<QPlainTextEdit>("Texte2"); }
    QString caption(const char *name) const { return get<QLabel>(name)->text(); }
    QString editorText() const { return get<QLineEdit>("Texte1")->text(); }
    // What the window shows, in the form `torsa-cli list` prints it.
    QString shownAsListed() const
    {
        QString listed = listing()->toPlainText();
        listed.replace(u'\n', QStringLiteral("\r\n"));
        return caption("Etiquette3") + QStringLiteral("\r\n") + caption("Etiquette4") + QStringLiteral("\r\n") + listed;
    }

    void save(const QString &path)
    {
        prompts->files.emplace_back(path);
        get<QAction>("MENU_ENREGISTRER")->trigger();
    }
    void open(const QString &path)
    {
        prompts->files.emplace_back(path);
        get<QAction>("MENU_OUVIR")->trigger();
    }
    void store(int number, int unit, int priority, const QString &text)
    {
        EditedMessage message;
        message.number = number;
        message.unit = unit;
        message.priority = priority;
        message.text = text;
        validation::store(window->image(), message);
    }
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray imageBytes(const MemoryImage &image)
{
    QByteArray out;
    for (const int cell : image.cells())
        out.append(static_cast<char>(cell));
    return out;
}

} // namespace

class FilesWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstTickShowsTheHeader();
    void saveThenOpenInAFreshWindow();
    void openModeCell_data();
    void openModeCell();
    void refusedOpenKeepsEverything_data();
    void refusedOpenKeepsEverything();
    void failedSaveKeepsTheOldFile();
    void cancelOrEmptyNameDoesNothing();
    void dialogSetUp_data();
    void dialogSetUp();
    void listingKeepsItsPlace();

private:
    QTemporaryDir dir_;
};

void FilesWindowTest::firstTickShowsTheHeader()
{
    Fixture f;
    f.window->Timer1_Timer();
    QCOMPARE(f.caption("Etiquette3"), QStringLiteral("Centrale de défauts :"));
    QCOMPARE(f.caption("Etiquette4"), QStringLiteral(" Aucun message"));
    QCOMPARE(f.listing()->toPlainText(),
             QStringLiteral("Numéro | Unité | Priorité |                 MESSAGE\n"
                            "--------------------------------------------------------------------\n"));
    QCOMPARE(f.window->image()[address::kEmptyCountCell], 181);
}

void FilesWindowTest::saveThenOpenInAFreshWindow()
{
    Fixture writer;
    writer.newSession("MENU_ED_AVEC");
    writer.store(12, 3, 7, QStringLiteral("Bonjour"));
    writer.store(180, 31, 180, QStringLiteral("Fin de liste é à ü §"));
    // Bytes that a text file would mangle, in cells of no meaning.
    const int cellsOfNoMeaning = address::slotStart(address::kSlotCount);
    const QList<int> awkward{0, 10, 13, 26, 128, 200, 255};
    for (qsizetype i = 0; i < awkward.size(); ++i)
        writer.window->image().set(cellsOfNoMeaning + 2 + static_cast<int>(i), awkward.at(i));
    writer.window->Timer1_Timer();
    const QString path = dir_.filePath(QStringLiteral("aller-retour.zel"));
    writer.save(path);
    QVERIFY(writer.prompts->shown.size() == 1);   // the new-session question only
    QCOMPARE(fileBytes(path), imageBytes(writer.window->image()));

    Fixture reader;
    reader.window->Timer1_Timer();
    reader.open(path);
    QCOMPARE(reader.prompts->shown.size(), 1);
    QCOMPARE(reader.prompts->lastIcon(), PromptIcon::Information);
    QCOMPARE(reader.prompts->lastText(),
             QStringLiteral("Centrale de défauts :\n\rAvec automate.\n\r179 messages vides.\n\r") + kSuccess);
    QVERIFY(reader.window->image() == writer.window->image());
    QCOMPARE(reader.window->sessionMode(), SessionMode::WithPlc);
    QCOMPARE(reader.window->messageTally(), 179);
    QVERIFY(reader.get<QLineEdit>("Texte1")->isEnabled());
    QCOMPARE(reader.get<QScrollBar>("DéfilementH1")->maximum(), 180);

    // The same file saved again is the same bytes; what the window lists after a
    // tick is what the command line prints.
    reader.window->Timer1_Timer();
    const QString again = dir_.filePath(QStringLiteral("encore.zel"));
    reader.save(again);
    QCOMPARE(fileBytes(again), fileBytes(path));
    QProcess cli;
    cli.start(QStringLiteral(TORSA_CLI_PATH), {QStringLiteral("list"), path});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()), reader.shownAsListed());
}

void FilesWindowTest::openModeCell_data()
{
    QTest::addColumn<int>("modeCell");
    QTest::addColumn<QByteArray>("session");      // started before opening, or empty
    QTest::addColumn<int>("modeAfter");
    QTest::addColumn<QString>("report");

    const QString header = QStringLiteral("Centrale de défauts :\n\r");
    QTest::newRow("65 into no session") << 65 << QByteArray() << static_cast<int>(SessionMode::WithPlc)
        << header + QStringLiteral("Avec automate.\n\r0 messages vides.\n\r") + kSuccess;
    QTest::newRow("83 into with PLC") << 83 << QByteArray("MENU_ED_AVEC") << static_cast<int>(SessionMode::WithoutPlc)
        << header + QStringLiteral("Sans automate.\n\r0 messages vides.\n\r") + kSuccess;
    QTest::newRow("0 into without PLC") << 0 << QByteArray("MENU_ED_SANS") << static_cast<int>(SessionMode::WithoutPlc)
        << header + QStringLiteral("0 messages vides.\n\r") + kSuccess;
    QTest::newRow("255 into no session") << 255 << QByteArray() << static_cast<int>(SessionMode::None)
        << header + QStringLiteral("0 messages vides.\n\r") + kSuccess;
}

void FilesWindowTest::openModeCell()
{
    QFETCH(int, modeCell);
    QFETCH(QByteArray, session);
    QFETCH(int, modeAfter);
    QFETCH(QString, report);

    MemoryImage image;
    image.set(address::kModeCell, modeCell);
    const QString path = dir_.filePath(QStringLiteral("mode.zel"));
    QVERIFY(productionfile::write(path, image));

    Fixture f;
    if (!session.isEmpty())
        f.newSession(session.constData());
    f.open(path);
    QCOMPARE(f.prompts->lastText(), report);
    QCOMPARE(static_cast<int>(f.window->sessionMode()), modeAfter);
    QCOMPARE(f.get<QLineEdit>("Texte1")->isEnabled(), modeAfter != static_cast<int>(SessionMode::None));
    // The mode cell keeps the file's value unless a session rewrites it at the next tick.
    QCOMPARE(f.window->image()[address::kModeCell], modeCell);
}

void FilesWindowTest::refusedOpenKeepsEverything_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");   // -1: no such file, -2: a directory
    QTest::newRow("100 bytes") << QStringLiteral("court.zel") << 100;
    QTest::newRow("no such file") << QStringLiteral("absent.zel") << -1;
    QTest::newRow("a directory") << QStringLiteral("dossier.zel") << -2;
}

void FilesWindowTest::refusedOpenKeepsEverything()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    const QString path = dir_.filePath(name);
    if (size >= 0) {
        MemoryImage other;
        other.set(address::kModeCell, address::kModeLetterWithoutPlc);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(imageBytes(other).left(size));
    } else if (size == -2) {
        QVERIFY(QDir(dir_.path()).mkpath(name));
    }

    Fixture f;
    f.newSession("MENU_ED_AVEC");
    f.store(0, 1, 2, QStringLiteral("Reste"));
    f.get<QLineEdit>("Texte1")->setText(QStringLiteral("en cours"));
    const MemoryImage before = f.window->image();
    f.open(path);
    QCOMPARE(f.prompts->lastText(), QStringLiteral("Erreur d'ouverture de ") + path);
    QCOMPARE(f.prompts->lastIcon(), PromptIcon::None);
    QVERIFY(f.window->image() == before);
    QCOMPARE(f.window->sessionMode(), SessionMode::WithPlc);
    QCOMPARE(f.editorText(), QStringLiteral("en cours"));
}

void FilesWindowTest::failedSaveKeepsTheOldFile()
{
    const QString path = dir_.filePath(QStringLiteral("dernier-bon.zel"));
    Fixture f;
    f.newSession("MENU_ED_SANS");
    f.store(0, 1, 1, QStringLiteral("Bon"));
    f.window->Timer1_Timer();
    f.save(path);
    const QByteArray good = fileBytes(path);
    QCOMPARE(good.size(), address::kImageSize);

    // Twenty messages in a set of seventeen: the empty count goes below 0.
    for (int n = 0; n < 20; ++n)
        f.store(n, 0, 0, QStringLiteral("M"));
    f.window->Timer1_Timer();
    QCOMPARE(f.window->image()[address::kEmptyCountCell], -3);
    QCOMPARE(f.caption("Etiquette4"), QStringLiteral("-3 message vide.  "));
    f.save(path);
    QCOMPARE(f.prompts->lastText(),
             QStringLiteral("Erreur lors de la création de ") + path + QStringLiteral(". Essayer à nouveau"));
    QCOMPARE(f.prompts->lastIcon(), PromptIcon::None);
    QCOMPARE(fileBytes(path), good);
}

void FilesWindowTest::cancelOrEmptyNameDoesNothing()
{
    Fixture f;
    f.newSession("MENU_ED_AVEC");
    f.store(3, 1, 1, QStringLiteral("Garde"));
    const MemoryImage before = f.window->image();
    const auto shown = f.prompts->shown.size();
    const QStringList filesBefore = QDir(dir_.path()).entryList(QDir::Files);
    for (const std::optional<QString> &choice : {std::optional<QString>{}, std::optional<QString>{QString()}}) {
        f.prompts->files.push_back(choice);
        f.get<QAction>("MENU_OUVIR")->trigger();
        f.prompts->files.push_back(choice);
        f.get<QAction>("MENU_ENREGISTRER")->trigger();
    }
    QCOMPARE(f.prompts->shown.size(), shown);
    QVERIFY(f.window->image() == before);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), filesBefore);
}

void FilesWindowTest::dialogSetUp_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("title");
    QTest::newRow("Enregistrer") << true << QStringLiteral("Enregistrer un fichier de production");
    QTest::newRow("Ouvrir") << false << QStringLiteral("Ouvrir un fichier de production");
}

void FilesWindowTest::dialogSetUp()
{
    QFETCH(bool, save);
    QFETCH(QString, title);

    // The request the window makes...
    Fixture f;
    f.get<QAction>(save ? "MENU_ENREGISTRER" : "MENU_OUVIR")->trigger();
    QCOMPARE(f.prompts->fileRequests.size(), 1);
    const FileRequest request = f.prompts->fileRequests.first();
    QCOMPARE(request.kind, save ? FileRequest::Kind::Save : FileRequest::Kind::Open);
    QCOMPARE(request.title, title);
    QCOMPARE(request.nameFilters,
             (QStringList{QStringLiteral("Fichiers zel(*.zel)"), QStringLiteral("Tous les fichiers (*.*)")}));
    QCOMPARE(request.selectedFilter, 0);

    // ...and Qt's own dialog set up from it.
    QFileDialog dialog;
    QtUserPrompts::configure(dialog, request);
    QCOMPARE(dialog.windowTitle(), title);
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
    QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(dialog.acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
    QCOMPARE(dialog.defaultSuffix(), QString());
    QCOMPARE(dialog.nameFilters(), request.nameFilters);
    QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("Fichiers zel(*.zel)"));

    // A name typed without extension is taken as typed; an existing file is taken
    // without a question (save), a missing one is taken too (open).
    QTemporaryDir where;
    QFile existing(QDir(where.path()).filePath(QStringLiteral("existe")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    for (const QString &name : {QStringLiteral("sans_extension"), QStringLiteral("existe")}) {
        dialog.setDirectory(where.path());
        dialog.selectFile(name);
        QVERIFY(QMetaObject::invokeMethod(&dialog, "accept", Qt::DirectConnection));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.selectedFiles(), QStringList{QDir(where.path()).filePath(name)});
        dialog.setResult(QDialog::Rejected);
    }
}

void FilesWindowTest::listingKeepsItsPlace()
{
    Fixture f;
    f.window->resize(800, 600);
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.newSession("MENU_ED_AVEC");
    for (int n = 0; n < 120; ++n)
        f.store(n, n % 32, 0, QStringLiteral("Message %1").arg(n));
    f.window->Timer1_Timer();

    QPlainTextEdit *box = f.listing();
    QScrollBar *vertical = box->verticalScrollBar();
    QVERIFY(vertical->maximum() > 40);
    vertical->setValue(40);
    QTextCursor selection = box->textCursor();
    selection.setPosition(3000);
    selection.setPosition(3050, QTextCursor::KeepAnchor);
    box->setTextCursor(selection);
    vertical->setValue(40);

    // Nothing changed: the box is not rewritten.
    QSignalSpy rewritten(box, &QPlainTextEdit::textChanged);
    f.window->Timer1_Timer();
    QCOMPARE(rewritten.count(), 0);

    // A new message: rewritten, in the same place with the same selection.
    f.store(150, 1, 0, QStringLiteral("Nouveau"));
    f.window->Timer1_Timer();
    QVERIFY(rewritten.count() > 0);
    QVERIFY(box->toPlainText().contains(QStringLiteral(" n°150 | U: 01 |  P: 000  | Nouveau")));
    QCOMPARE(vertical->value(), 40);
    QCOMPARE(box->textCursor().anchor(), 3000);
    QCOMPARE(box->textCursor().position(), 3050);

    // Text typed into the listing lasts until the next tick.
    box->appendPlainText(QStringLiteral("note"));
    f.window->Timer1_Timer();
    QVERIFY(!box->toPlainText().contains(QStringLiteral("note")));
}

QTEST_MAIN(FilesWindowTest)
#include "test_files_window.moc"
