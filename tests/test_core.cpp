// The core without any window, by folder: the store (character codes, text
// decoding, blink coding, the rules of "Valider"), the session (the periodic
// refresh, the reports, "Insérer" and "Effacer", "Centrer") and the files
// (production files, message lists and their import's refusals).

#include "files/MessageList.h"
#include "files/MessageListCsv.h"
#include "files/MessageListImport.h"
#include "files/ProductionFile.h"
#include "session/Centering.h"
#include "session/Refresh.h"
#include "session/Reports.h"
#include "session/Session.h"
#include "session/SlotShift.h"
#include "store/AddressMap.h"
#include "store/BlinkCoding.h"
#include "store/CharCodes.h"
#include "store/MemoryImage.h"
#include "store/MessageText.h"
#include "store/Validation.h"
#include "support/FileBytes.h"
#include "support/MessageSets.h"
#include "support/ScriptedPrompts.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <vector>

using namespace torsa;
using centering::Outcome;
using namespace torsa::testing;
using namespace Qt::StringLiterals;

namespace {

std::vector<int> cellsOf(int repeated, int count, std::initializer_list<int> tail)
{
    std::vector<int> cells(static_cast<std::size_t>(count), repeated);
    cells.insert(cells.end(), tail);
    return cells;
}

// A message as the editor stores it: unit cell, priority, ASCII text, end marker.
void putMessage(MemoryImage &image, int n, int unitCell, int priority, const QByteArray &text)
{
    image.set(address::unitCell(n), unitCell);
    image.set(address::priorityCell(n), priority);
    int a = address::textStart(n);
    for (const char c : text)
        image.set(a++, static_cast<unsigned char>(c));
    if (text.size() < address::kTextCells)
        image.set(a, address::kEndMarker);
}

bool inSummary(int a)
{
    return a >= address::kSummaryCountStart && a < address::kSummaryTextStart + address::kSummaryTextLength;
}

// Every cell tells where it came from; every slot present.
MemoryImage patterned()
{
    MemoryImage image;
    for (int a = 0; a < address::kImageSize; ++a)
        image.set(a, (a * 7 + a / address::kSlotSize) % 256);
    for (int n = 0; n < address::kSlotCount; ++n)
        image.set(address::unitCell(n), 128 + n % 32);
    return image;
}

// The first cell of `after` that is not as in `before` with slot s taken from
// slot source(s), or cleared when that is -1; -1 when none is, so that a failure
// names the cell.
int firstWrongCell(const MemoryImage &after, const MemoryImage &before, const std::function<int(int)> &source)
{
    for (int a = 0; a < address::kImageSize; ++a) {
        const int from = source(a / address::kSlotSize);
        if (after[a] != (from < 0 ? 0 : before[address::slotStart(from) + a % address::kSlotSize]))
            return a;
    }
    return -1;
}

// Byte k is k mod 256: every byte value, 0, 10, 13, 26 and 128 to 255 among them.
MemoryImage everyByteValue()
{
    MemoryImage image;
    for (int k = 0; k < address::kImageSize; ++k)
        image.set(k, k % 256);
    return image;
}

const QByteArray kBom("\xEF\xBB\xBF");

QByteArray listFile(const QString &modeName, const QString &rows)
{
    return kBom + (u"Mode;"_s + modeName + u"\r\nNuméro;Texte;Unité;Priorité;Clignotement\r\n"_s + rows).toUtf8();
}

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestCore : public QObject {
    Q_OBJECT

    QString path(const QString &name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;

private Q_SLOTS:
    void encoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<BlinkBoxes>("checked");
        QTest::addColumn<std::vector<int>>("cells");
        QTest::addColumn<QString>("shown"); // empty: the text itself
        QTest::newRow("unit letters") << QStringLiteral("§üéâäàçêëèïîôöòûùA") << BlinkBoxes{}
                                      << std::vector<int>{127, 129, 130, 131, 132, 133, 135, 136, 137, 138,
                                                          139, 140, 147, 148, 149, 150, 151, 65,  3}
                                      << QString();
        // The Windows-1252 signs whose codes the unit takes for its letters show as
        // those letters; the euro sign keeps 128.
        QTest::newRow("Windows-1252 signs") << QStringLiteral("‚…€™") << BlinkBoxes{}
                                            << std::vector<int>{130, 133, 128, 153, 3} << QStringLiteral("éà€™");
        QTest::newRow("first blinks") << QStringLiteral("AB") << boxes({1}) << std::vector<int>{5, 65, 5, 66, 3}
                                      << QString();
        QTest::newRow("last blinks: closing toggle")
            << QStringLiteral("AB") << boxes({2}) << std::vector<int>{65, 5, 66, 5, 3} << QString();
        // Codes Windows-1252 leaves undefined stand for the C1 controls of the same number.
        QTest::newRow("undefined codes") << QString::fromUtf16(u"\u008D\u008F\u0090\u009D") << BlinkBoxes{}
                                         << std::vector<int>{141, 143, 144, 157, 3} << QString();
        // Toggle, 40th character and closing toggle fill the 42 cells: no end marker.
        QTest::newRow("40 characters, last blinks")
            << QString(40, u'a') << boxes({40}) << cellsOf('a', 39, {5, 'a', 5}) << QString();
        // Character 41 blinks with 40, no room to close.
        QTest::newRow("41 characters, zone to 40")
            << QString(41, u'a') << boxes({40}) << cellsOf('a', 39, {5, 'a', 'a'}) << QString();
        QTest::newRow("42 characters") << QString(42, u'z') << BlinkBoxes{} << std::vector<int>(42, 'z') << QString();
    }

    // Message 8, unit 5, priority 7: its cells, nothing past its end marker nor
    // in the next slot touched, and the text shown again.
    void encoding()
    {
        QFETCH(QString, text);
        QFETCH(BlinkBoxes, checked);
        QFETCH(std::vector<int>, cells);
        QFETCH(QString, shown);
        MemoryImage image;
        image.set(address::unitCell(9), 0x55);
        for (int a = address::textStart(8); a < address::slotStart(9); ++a)
            image.set(a, 0x77);
        const EditedMessage message{8, 5, 7, text, checked};
        QVERIFY(validation::check(image, message).accepted());
        validation::store(image, message);
        QVERIFY(image[address::unitCell(8)] == 133 && image[address::priorityCell(8)] == 7);
        const int end = address::textStart(8) + static_cast<int>(cells.size());
        QCOMPARE(std::vector<int>(image.cells().begin() + address::textStart(8), image.cells().begin() + end), cells);
        for (int a = end; a < address::slotStart(9); ++a)
            QCOMPARE(image[a], 0x77);
        QCOMPARE(image[address::unitCell(9)], 0x55); // the next slot untouched
        QCOMPARE(messagetext::decode(image, 8), shown.isEmpty() ? text : shown);
    }

    // After "Valider" on the last message of a set the editor stays there (the
    // window's suite shows it moving on, and stopping at 16 without PLC).

    void refusals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<BlinkBoxes>("checked");
        QTest::addColumn<int>("priority");
        QTest::addColumn<QString>("message");
        const QString tooMany =
            QStringLiteral("Nombre de zones de clignotement trop important !\n\r Réduisez le nombre de zones .");
        const QString below = QStringLiteral("Caractère ASCII inférieur à &H20 ! \n\rVeuillez modifier le message.");
        const auto above = [](const char *code) {
            return QStringLiteral("Caractère ASCII supérieur à &H9F ! %1\n\rVeuillez modifier le message.")
                .arg(QLatin1String(code));
        };
        QTest::newRow("42 characters and a box") << QString(42, u'x') << boxes({40}) << 0 << tooMany;
        QTest::newRow("41 characters and a box: 42 cells") << QString(41, u'x') << boxes({40}) << 0 << QString();
        QTest::newRow("two zones too many") << QString(39, u'x') << boxes({1, 3}) << 0 << tooMany;
        QTest::newRow("tab") << QStringLiteral("A\tB") << BlinkBoxes{} << 0 << below;
        QTest::newRow("no Windows-1252 code") << QStringLiteral("Ω") << BlinkBoxes{} << 0 << above("3A9");
        QTest::newRow("outside the BMP") << QStringLiteral("A😀") << BlinkBoxes{} << 0 << above("1F600");
        // ... and it counts as one character of the 42.
        QTest::newRow("42nd character outside the BMP")
            << QString(41, u'x') + QStringLiteral("😀") << BlinkBoxes{} << 0 << above("1F600");
        QTest::newRow("first bad character reported") << QStringLiteral("°\t") << BlinkBoxes{} << 0 << above("B0");
        // A priority clashes with any other slot's cell, 181 included, never with its own.
        QTest::newRow("own priority") << QStringLiteral("x") << BlinkBoxes{} << 5 << QString();
        QTest::newRow("priority in the cell past the last slot")
            << QStringLiteral("x") << BlinkBoxes{} << 9
            << QStringLiteral("Le message n°181 à le même degrés de priorité\n\rCorriger le degrés de priorité.");
        // Order: the length limit before the priority, the priority before the characters.
        QTest::newRow("43 characters, before priority") << QString(43, u'x') << BlinkBoxes{} << 7 << tooMany;
        QTest::newRow("priority before characters")
            << QStringLiteral("°") << BlinkBoxes{} << 7
            << QStringLiteral("Le message n°12 à le même degrés de priorité\n\rCorriger le degrés de priorité.");
    }

    void refusals()
    {
        QFETCH(QString, text);
        QFETCH(BlinkBoxes, checked);
        QFETCH(int, priority);
        QFETCH(QString, message);
        MemoryImage image;
        image.set(address::priorityCell(3), 5);
        image.set(address::priorityCell(12), 7);
        image.set(address::priorityCell(181), 9);
        const Verdict verdict = validation::check(image, {3, 4, priority, text, checked});
        QCOMPARE(validation::refusalText(verdict), message);
        QCOMPARE(verdict.accepted(), message.isEmpty());
    }

    void listedVersusCounted()
    {
        MemoryImage image;
        putMessage(image, 12, 128 + 3, 7, "Bonjour");
        putMessage(image, 1, 128, 1, QByteArray(42, 'z')); // shown whole
        putMessage(image, 7, 5, 180, "Pas stocke");        // listed, not counted
        putMessage(image, 9, 0, 0, "Jamais stocke");       // neither
        // Cell 7964 is no message of the set, but listed: its text cells run into
        // the summary block the tick has just written.
        image.set(address::slotStart(address::kSlotCount), 200);
        const RefreshTick tick = refresh::tick(image, SessionMode::WithPlc);
        QCOMPARE(tick.countCaption, QStringLiteral("179 messages vides."));
        QCOMPARE(tick.listing,
                 QStringLiteral("Numéro | Unité | Priorité |                 MESSAGE\r\n") + QString(68, u'-')
                     + QStringLiteral("\r\n n°001 | U: 00 |  P: 001  | ") + QString(42, u'z')
                     + QStringLiteral("\r\n n°007 | U: 05 |  P: 180  | Pas stocke") + QString(30, u' ')
                     + QStringLiteral("\r\n n°012 | U: 03 |  P: 007  | Bonjour") + QString(33, u' ')
                     + QStringLiteral("\r\n n°181 | U: 08 |  P: 000  | 002VALIDE KOR") + QString(27, u' ')
                     + QStringLiteral("\r\n"));
    }

    // Messages 0 to present - 1 stored, then a tick with a mode cell and a mode in
    // force. The empty count uses the total of the mode in force, before the
    // initialisation the mode cell asks for; a cell other than 65 or 83 keeps the
    // mode in force. The tick writes only the summary block and the empty count.
    void tick_data()
    {
        QTest::addColumn<int>("present");
        QTest::addColumn<int>("modeCell");
        QTest::addColumn<SessionMode>("inForce");
        QTest::addColumn<SessionMode>("after");
        QTest::addColumn<QString>("captions");
        const auto row = [](const char *tag, int present, int modeCell, SessionMode inForce, SessionMode after,
                            const char *captions) {
            QTest::newRow(tag) << present << modeCell << inForce << after << QString::fromUtf8(captions);
        };
        const SessionMode none = SessionMode::None;
        const SessionMode sans = SessionMode::WithoutPlc;
        const SessionMode avec = SessionMode::WithPlc;
        row("16 without PLC", 16, 83, sans, sans, "Centrale de défauts :Sans automate.  \n1 message vide.  ");
        row("20 without PLC: negative", 20, 83, sans, sans,
            "Centrale de défauts :Sans automate.  \n-3 message vide.  ");
        row("all 181 with PLC", 181, 65, avec, avec, "Centrale de défauts :Avec automate.  \n0 message vide.  ");
        row("65, no session yet", 1, 65, none, avec, "Centrale de défauts :Avec automate.  \n180 messages vides.");
        row("83, with PLC in force", 1, 83, avec, sans, "Centrale de défauts :Sans automate.  \n180 messages vides.");
        row("65, without PLC in force", 1, 65, sans, avec, "Centrale de défauts :Avec automate.  \n16 messages vides.");
        row("0, no session", 1, 0, none, none, "Centrale de défauts :\n Aucun message");
        row("255, with PLC stays", 1, 255, avec, avec, "Centrale de défauts :\n180 messages vides.");
    }

    void tick()
    {
        QFETCH(int, present);
        QFETCH(int, modeCell);
        QFETCH(SessionMode, inForce);
        QFETCH(SessionMode, after);
        QFETCH(QString, captions);
        MemoryImage image;
        for (int n = 0; n < present; ++n)
            putMessage(image, n, 128 + n % 32, 0, "M");
        image.set(address::kModeCell, modeCell);
        const MemoryImage before = image;
        const RefreshTick tick = refresh::tick(image, inForce);
        QCOMPARE(tick.modeAfter, after);
        QCOMPARE(tick.statusCaption + u'\n' + tick.countCaption, captions);
        QCOMPARE(bytesOf(image).sliced(address::kSummaryCountStart,
                                       address::kSummaryCountDigits + address::kSummaryTextLength),
                 QByteArray::number(present).rightJustified(3, '0') + "VALIDE KOR");
        if (after != SessionMode::None)
            QCOMPARE(image[address::kEmptyCountCell], tick.countCaption.section(u' ', 0, 0).toInt());
        for (int a = 0; a < address::kImageSize; ++a) {
            if (!inSummary(a) && a != address::kEmptyCountCell && image[a] != before[a])
                QFAIL(qPrintable(QStringLiteral("cell %1 holds %2").arg(a).arg(image[a])));
        }
    }

    // The reports of an image taken in whole: from the unit, singular up to 1 and
    // the success line right behind the count; from a file the count is always
    // plural and the empty count becomes the tally.
    void reports()
    {
        const auto image = [](int mode, int emptyCount) {
            MemoryImage image;
            image.set(address::kModeCell, mode);
            image.set(address::kEmptyCountCell, emptyCount);
            return image;
        };
        const QString head = QStringLiteral("Centrale de défauts :\n\r");
        const QString done = QStringLiteral("Lecture terminée avec succés !");
        QCOMPARE(reports::readingReport(image(83, 1)),
                 head + QStringLiteral("Sans automate.\n\r1 message vide.  ") + done);
        QCOMPARE(reports::readingReport(image(0, 176)), head + QStringLiteral("176 messages vides.") + done);
        QCOMPARE(reports::openedMessage(reports::forOpenedImage(image(83, 1))),
                 head + QStringLiteral("Sans automate.\n\r1 messages vides.\n\r") + done);
    }

    void shiftSlots_data()
    {
        QTest::addColumn<SessionMode>("mode");
        QTest::addColumn<int>("n");
        for (const int n : {0, 16})
            QTest::addRow("without PLC, %d", n) << SessionMode::WithoutPlc << n;
        for (const int n : {77, 180})
            QTest::addRow("with PLC, %d", n) << SessionMode::WithPlc << n;
    }

    // Slots after the number move one up (the last one's content lost) or one down
    // (the last one cleared); the others stay.
    void shiftSlots()
    {
        QFETCH(SessionMode, mode);
        QFETCH(int, n);
        const int last = mode::lastMessage(mode);
        const MemoryImage before = patterned();
        MemoryImage inserted = before;
        MemoryImage erased = before;
        QVERIFY(slotshift::insertEmpty(inserted, n, mode) && slotshift::erase(erased, n, mode));
        QCOMPARE(firstWrongCell(inserted, before, [&](int s) { return s < n || s > last ? s : (s == n ? -1 : s - 1); }),
                 -1);
        QCOMPARE(
            firstWrongCell(erased, before, [&](int s) { return s < n || s > last ? s : (s == last ? -1 : s + 1); }),
            -1);
    }

    void questions()
    {
        const QString insert = QStringLiteral(" Insérer un nouveau message ?  \n\r");
        MemoryImage image;
        QCOMPARE(slotshift::insertQuestion(image, SessionMode::WithoutPlc), insert);
        image.set(address::unitCell(16), 5); // a test for 0, not for presence
        QCOMPARE(slotshift::insertQuestion(image, SessionMode::WithoutPlc),
                 insert + QStringLiteral("( Le message n° 16 sera écrasé)"));
        image.set(address::unitCell(180), 128);
        QCOMPARE(slotshift::insertQuestion(image, SessionMode::WithPlc),
                 insert + QStringLiteral("( Le message n° 180 sera écrasé)"));
        QCOMPARE(slotshift::eraseQuestion(180), QStringLiteral(" Effacer le message n°180 ? \n\r"));
    }

    // The session's operations without a window: "Nouveau" asks under the mode
    // still in force (a tick while the question is open counts with it) and sets
    // the mode whatever the answer; "Valider" at its boundaries (42 cells, the
    // last code the unit shows, the last message) moves on only when accepted;
    // the current message stays within the mode; "Insérer", "Effacer" and
    // "Centrer" tell and ask with their own texts and icons.
    void sessionOperations()
    {
        ScriptedPrompts prompts;
        Session session;
        QString countDuringQuestion;
        prompts.duringQuestion = [&] { countDuringQuestion = session.tick().countCaption; };
        prompts.answers = {false};
        QVERIFY(!session.startNew(SessionMode::WithPlc, prompts));
        QCOMPARE(prompts.last(),
                 box(u"Voulez vous commencer une nouvelle session ?\n\r"
                     "(tout les messages en mémoire seront effacés)"_s,
                     PromptIcon::Exclamation));
        QCOMPARE(countDuringQuestion, u" Aucun message"_s);
        QVERIFY(session.mode() == SessionMode::WithPlc && session.image()[address::kModeCell] == 65);

        session.setCurrentMessage(200);
        QVERIFY(session.currentMessage() == 180 && session.validate(1, 0, QString(42, u'x'), {}).accepted());
        QCOMPARE(session.currentMessage(), 180);
        session.setCurrentMessage(5);
        QVERIFY(session.validate(2, 3, u"Ÿ"_s, {}).accepted()); // Windows-1252 159
        QVERIFY(session.image()[address::textStart(5)] == 159 && session.currentMessage() == 6);
        QCOMPARE(session.validate(2, 0, u"\u00A0"_s, {}).refusal, Refusal::CharacterAboveRange); // 160
        QCOMPARE(session.validate(2, 0, QString(43, u'x'), {}).refusal, Refusal::TooManyBlinkZones);
        QVERIFY(session.currentMessage() == 6 && session.image()[address::kEmptyCountCell] == 179);

        session.setCurrentMessage(100);
        prompts.answers = {false};
        session.startNew(SessionMode::WithoutPlc, prompts);
        QVERIFY(countDuringQuestion == u"179 messages vides."_s && session.currentMessage() == 16);
        session.setCurrentMessage(5);
        prompts.answers = {true, false};
        QVERIFY(session.insertEmpty(prompts) && session.image()[address::unitCell(6)] == 130);
        QCOMPARE(prompts.last().second, PromptIcon::Question);
        QVERIFY(!session.erase(prompts) && session.image()[address::unitCell(6)] == 130);
        QCOMPARE(prompts.last(), box(u" Effacer le message n°5 ? \n\r"_s, PromptIcon::Question));
        QVERIFY(!session.center(u"Pompe"_s, prompts));
        QCOMPARE(prompts.last(), box(u"Sélectionner un afficheur dans le menu affichage."_s, PromptIcon::Information));

        prompts.answers = {true};
        QVERIFY(session.startNew(SessionMode::WithoutPlc, prompts));
        QVERIFY(session.currentMessage() == 0 && session.image() == newSession(SessionMode::WithoutPlc));
        MemoryImage withPlc;
        withPlc.set(address::kModeCell, 65);
        QCOMPARE(session.open(withPlc, prompts).requestedMode, SessionMode::WithPlc);
        QVERIFY(session.mode() == SessionMode::WithPlc && !session.isModified());
    }

    // Each real change is announced once, in its order, and nothing else: a
    // tick that changes nothing, a refused "Valider", a number set again. The
    // image is modified until it reaches a file or a unit, the refresh's own
    // cells aside; a read's bytes and the link-test cell come in through it.
    void sessionSignals()
    {
        ScriptedPrompts prompts;
        prompts.answers = {true, false};
        Session session;
        QStringList seen;
        QObject::connect(&session, &Session::imageChanged, [&] { seen << u"image"_s; });
        QObject::connect(&session, &Session::modeChanged, [&](SessionMode) { seen << u"mode"_s; });
        QObject::connect(&session, &Session::currentMessageChanged, [&](int n) { seen << u"n°%1"_s.arg(n); });
        QObject::connect(&session, &Session::modifiedChanged, [&](bool m) { seen << (m ? u"modified"_s : u"kept"_s); });
        link::TransferOutcome read{.kind = link::TransferKind::Read, .readImage = newSession(SessionMode::WithoutPlc)};
        read.readImage->set(address::kLinkTestCell, 7);
        link::TransferOutcome linkTest;
        link::TransferOutcome programmed;
        linkTest.kind = link::TransferKind::LinkTest;
        const std::function<void()> steps[] = {[&] { session.startNew(SessionMode::WithPlc, prompts); },
                                               [&] { session.tick(); },
                                               [&] { session.tick(); },
                                               [&] { session.setCurrentMessage(4); },
                                               [&] { session.setCurrentMessage(4); },
                                               [&] { session.validate(1, 0, u"A"_s, {}); },
                                               [&] { session.validate(1, 0, u"\u00A0"_s, {}); },
                                               [&] { session.markSaved(); },
                                               [&] { session.tick(); },
                                               [&] { session.finishTransfer(read, prompts); },
                                               [&] { session.finishTransfer(linkTest, prompts); },
                                               [&] { session.finishTransfer(programmed, prompts); },
                                               [&] { session.startNew(SessionMode::WithPlc, prompts); }};
        for (const auto &step : steps) {
            seen << u"|"_s;
            step();
        }
        QCOMPARE(seen.join(u' '),
                 u"| image mode | image | | n°4 | | image n°5 modified | | kept | image | image mode n°5 "
                 "| image modified | kept n°5 | image mode modified"_s);
        QCOMPARE(prompts.shown.at(1).text, reports::readingReport(*read.readImage));
        QCOMPARE(session.image()[address::kLinkTestCell], 0);
    }

    void center_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<Outcome>("outcome");
        const auto row = [](const char *name, int width, int lines, const char *text, const char *expected,
                            Outcome outcome = Outcome::Centered) {
            QTest::newRow(name) << width << lines << dots(text) << dots(expected) << outcome;
        };
        // The worked examples.
        row("1x16 DEFAUT", 16, 1, "DEFAUT", ".....DEFAUT");
        row("1x16 trimmed first", 16, 1, "..PORTE.OUVERTE..", ".PORTE.OUVERTE");
        row("1x16 16 characters", 16, 1, "NIVEAU.HAUT.CUVE", "NIVEAU.HAUT.CUVE", Outcome::LeftAsIs);
        row("2x16 16 characters", 16, 2, "..NIVEAU.HAUT.CUVE", "NIVEAU.HAUT.CUVE");
        row("2x16 split at rightmost space", 16, 2, "ALARME.POMPE.NUMERO.2", "..ALARME.POMPE......NUMERO.2");
        row("2x16 split on position 17", 16, 2, "SURCHARGE.MOTEUR.VENTILATION", "SURCHARGE.MOTEUR..VENTILATION");
        row("2x20 split on position 20", 20, 2, "ALARME.POMPE.NUMERO.2", "ALARME.POMPE.NUMERO..........2");
        row("2x20 odd surplus", 20, 2, "TEMPERATURE.HAUTE.FOUR.3", ".TEMPERATURE.HAUTE.........FOUR.3");
        row("2x16 line 2 too long", 16, 2, "PRESSION.BASSE.CIRCUIT.PRINCIPAL", "PRESSION.BASSE.CIRCUIT.PRINCIPAL",
            Outcome::Impossible);
        // Edges.
        row("1x16 too long is left untrimmed", 16, 1, "..NIVEAU.HAUT.CUVE.", "..NIVEAU.HAUT.CUVE.", Outcome::LeftAsIs);
        row("2x16 spaces around the split", 16, 2, "ALARME...POMPE...NUMERO", ".ALARME...POMPE......NUMERO");
        row("2x16 space at position 1 only", 16, 2, "A.BCDEFGHIJKLMNOPQRSTU", "A.BCDEFGHIJKLMNOPQRSTU",
            Outcome::Impossible);
        row("2x16 failure gives the trimmed text", 16, 2, "..ABCDEFGHIJKLMNOPQ..", "ABCDEFGHIJKLMNOPQ",
            Outcome::Impossible);
        // Only the space is trimmed; a tab is a character of the text.
        row("1x16 leading tab kept", 16, 1, "\tX", ".......\tX");
        // A character outside the Basic Multilingual Plane counts once.
        row("1x16 one wide character", 16, 1, "\U0001D11E", ".......\U0001D11E");
    }

    void center()
    {
        QFETCH(int, width);
        QFETCH(int, lines);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(Outcome, outcome);
        const centering::Result result = centering::center(text, width, lines);
        QCOMPARE(result.text, expected);
        QVERIFY(result.outcome == outcome && result.failed() == (outcome == Outcome::Impossible));
    }

    // Saved over a longer file, which must not keep its tail, and opened again. The
    // save puts a whole new file in place of the old one, never rewrites it (a
    // failure midway would leave half a file): a second name of the old file
    // keeps the old bytes. The file keeps its permissions. Anything short of 8192
    // bytes is refused; a longer file gives its first 8192.
    void productionFilesWhole()
    {
        QVERIFY(writeFile(path(u"tout.zel"_s), QByteArray(20000, 'x')));
        QVERIFY(QFile::setPermissions(path(u"tout.zel"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        const auto permissions = QFile::permissions(path(u"tout.zel"_s));
        std::filesystem::create_hard_link(path(u"tout.zel"_s).toStdU16String(), path(u"ancien.zel"_s).toStdU16String());
        QVERIFY(productionfile::write(path(u"tout.zel"_s), everyByteValue()) == files::SaveResult::Saved);
        QCOMPARE(readFile(path(u"tout.zel"_s)), bytesOf(everyByteValue()));
        QCOMPARE(readFile(path(u"ancien.zel"_s)), QByteArray(20000, 'x'));
        QCOMPARE(QFile::permissions(path(u"tout.zel"_s)), permissions);
        const QByteArray longer = bytesOf(everyByteValue()) + QByteArray(1000, '\xff');
        for (const int size : {address::kImageSize, address::kImageSize - 1, 0, address::kImageSize + 1000}) {
            QVERIFY(writeFile(path(u"f.zel"_s), longer.left(size)));
            const auto opened = productionfile::read(path(u"f.zel"_s));
            QCOMPARE(opened.has_value(), size >= address::kImageSize);
            QVERIFY(!opened || *opened == everyByteValue());
        }
        QVERIFY(!productionfile::read(dir_.path()));
    }

    void exactLayout()
    {
        MemoryImage image = newSession(SessionMode::WithoutPlc);
        QVERIFY(type(image, SessionMode::WithoutPlc, edited(12, 3, 7, u"Défaut pompe"_s, {8, 9, 10, 11, 12})));
        QVERIFY(type(image, SessionMode::WithoutPlc, edited(2, 31, 0, u" \"A\";B "_s)));
        QVERIFY(type(image, SessionMode::WithoutPlc, edited(5, 0, 0, u"Fin "_s)));
        refreshTick(image, SessionMode::WithoutPlc);
        QCOMPARE(messagelist::toCsv(messagelist::fromImage(image)),
                 listFile(u"Sans automate"_s,
                          u"2;\" \"\"A\"\";B \";31;0;\"       \"\r\n"
                          "5;\"Fin \";0;0;\"    \"\r\n"
                          "12;Défaut pompe;3;7;\"       ^^^^^\"\r\n"_s));
    }

    // Every refused row is reported with its row, in row order, and a refused message
    // claims no priority ("Valider" stores nothing for it).
    void importRefusals_data()
    {
        QTest::addColumn<QString>("modeName");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QStringList>("refusals"); // "row text"
        const auto valider = [](int row, Refusal refusal, int other = 0, char32_t code = 0) {
            return u"%1 "_s.arg(row) + validation::refusalText({refusal, other, code});
        };
        // Positions 41 and 42 have no box of their own: they blink as position 40 does.
        const QString forty = u"0123456789"_s.repeated(4);
        const QString rule = u"n'a pas de case à cocher, elle clignote comme la position 40 "
                             "(« ^ » aux deux ou à aucune)"_s;

        QTest::newRow("Valider's rules, with PLC")
            << u"Avec automate"_s
            << u"12;A;0;7;\r\n5;B;0;7;\r\n181;A;0;0;\r\n"_s
                + u"10;%1X;0;0;%2^\r\n11;%1XY;0;0;%3^^ \r\n"_s.arg(forty, QString(40, u' '), QString(39, u' '))
            << QStringList{valider(4, Refusal::PriorityInUse, 12),
                           u"5 numéro 181 hors de la plage du mode Avec automate (0 à 180)"_s,
                           u"6 clignotement : la position 41 "_s + rule, u"7 clignotement : la position 42 "_s + rule};
        QTest::newRow("ranges, without PLC")
            << u"Sans automate"_s << u"17;A;0;0;\r\n3;A;32;17;\r\n"_s
            << QStringList{u"3 numéro 17 hors de la plage du mode Sans automate (0 à 16)"_s,
                           u"4 unité 32 hors de la plage 0 à 31"_s,
                           u"4 priorité 17 hors de la plage du mode Sans automate (0 à 16)"_s};
        QTest::newRow("rows a spreadsheet gets wrong")
            << u"Avec automate"_s
            << u"x;A;0;0;\r\n4;A;0;0;\r\n4;B;0;0;\r\n;;;;\r\n1;A;0\r\n3;;0;0;\r\n5;AB;0;0;\"^^ \"\r\n"_s
            << QStringList{
                   u"3 numéro « x » : un nombre entier est attendu"_s,
                   u"5 le message n°4 est déjà donné ligne 4"_s,
                   u"6 ligne vide au milieu de la liste : supprimez-la ou complétez-la"_s,
                   u"7 3 colonne(s) au lieu de 5 (Numéro;Texte;Unité;Priorité;Clignotement)"_s,
                   u"8 texte vide : « Valider » n'enregistrerait rien ; supprimez la ligne ou donnez un texte"_s,
                   u"9 clignotement : le masque a 3 positions, le texte seulement 2 caractère(s)"_s};
        QTest::newRow("blank rows at the end")
            << u"Avec automate"_s << u"1;A;0;0;\r\n;;;;\r\n\r\n;;\r\n"_s << QStringList{};
    }

    void importRefusals()
    {
        QFETCH(QString, modeName);
        QFETCH(QString, rows);
        QFETCH(QStringList, refusals);
        QStringList got;
        const messagelist::ListFile file = messagelist::readCsv(listFile(modeName, rows));
        QVERIFY(file.isList());
        for (const RowRefusal &r : messagelist::importRows(file.mode, file.rows).refusals)
            got << u"%1 %2"_s.arg(r.row).arg(r.text);
        QCOMPARE(got, refusals);
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "test_core.moc"
