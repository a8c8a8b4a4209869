// Round trips that must give back exactly what went in, over many generated
// cases (a fixed seed, so that a failure repeats): a message stored through
// the main window and shown again, an image saved and opened. Programming and
// reading back an image runs in test_link_transfer.

#include "support/FileBytes.h"
#include "support/ShownText.h"
#include "support/WindowUnderTest.h"

#include "files/ProductionFile.h"
#include "store/AddressMap.h"
#include "store/BlinkCoding.h"
#include "store/CharCodes.h"
#include "store/Validation.h"

#include <QCheckBox>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest/QTest>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

constexpr quint32 kSeed = 20240611;

// Characters a technician can store: those of the codes 32 to 159 that come
// back to their code, and the characters whose codes the unit takes for its
// letters (DEL and U+0081 among them).
QStringList storableCharacters()
{
    QStringList chars;
    for (int code = 32; code < 160; ++code) {
        const char32_t c = charcodes::fromWindows1252(code);
        if (charcodes::windows1252Code(c) == code)
            chars << QString::fromUcs4(&c, 1);
    }
    for (const auto &[typed, letter] : testing::kAliasedCharacters)
        chars << QString::fromUcs4(&typed, 1);
    return chars;
}

// A message the rules accept: length plus blink toggles within the 42 text
// cells; no boxes, or each box at random.
EditedMessage randomMessage(QRandomGenerator &random, const QStringList &chars, SessionMode mode)
{
    const int last = mode::lastMessage(mode);
    // Braced initialisers run in order: number, unit, then priority.
    EditedMessage m{random.bounded(last + 1), random.bounded(32), random.bounded(2) == 0 ? 0 : random.bounded(last + 1),
                    {}, {}};
    const bool blinks = random.bounded(2) == 1;
    for (bool &box : m.blink)
        box = blinks && random.bounded(2) == 1;
    const int length = random.bounded(1, kMaxTextLength - blink::toggleCount(m.blink) + 1);
    for (int i = 0; i < length; ++i)
        m.text += chars.at(random.bounded(chars.size()));
    return m;
}

} // namespace

class TestRoundTrip : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Accepted messages typed into the editor one after the other, "Valider",
    // then shown again: the text typed (up to the unit's letters), the boxes
    // ticked under its characters, the unit and the priority.
    void storeThenShow_data()
    {
        QTest::addColumn<QByteArray>("session");
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("cases");
        QTest::newRow("with PLC") << QByteArray("MENU_ED_AVEC") << kSeed << 600;
        QTest::newRow("without PLC") << QByteArray("MENU_ED_SANS") << kSeed + 1 << 300;
    }

    void storeThenShow()
    {
        QFETCH(QByteArray, session);
        QFETCH(quint32, seed);
        QFETCH(int, cases);
        testing::WindowUnderTest w;
        auto *number = w.get<QScrollBar>("DéfilementH1");
        auto *unit = w.get<QScrollBar>("DéfilementH2");
        auto *priority = w.get<QScrollBar>("DéfilementH3");
        QList<QCheckBox *> boxes;
        for (int k = 0; k < kBlinkBoxCount; ++k)
            boxes.append(w.get<QCheckBox>(u"Coche%1"_s.arg(k + 2)));
        w.newSession(session.constData());
        w.prompts->shown.clear();
        const SessionMode mode = w.window->sessionMode();

        QRandomGenerator random(seed);
        const QStringList chars = storableCharacters();
        for (int i = 0; i < cases; ++i) {
            EditedMessage m = randomMessage(random, chars, mode);
            if (validation::check(w.window->image(), m).refusal == Refusal::PriorityInUse)
                m.priority = 0;
            number->setValue(m.number);
            unit->setValue(m.unit);
            priority->setValue(m.priority);
            w.text()->setText(m.text);
            for (int k = 0; k < kBlinkBoxCount; ++k)
                boxes.at(k)->setChecked(m.blink.at(static_cast<std::size_t>(k)));
            w.click("Commande6");
            QVERIFY2(w.prompts->shown.isEmpty(), qPrintable(u"case %1: "_s.arg(i) + w.prompts->lastText()));

            number->setValue(m.number == 0 ? 1 : 0);
            number->setValue(m.number);
            QCOMPARE(w.text()->text(), testing::shownText(m.text));
            const int length = static_cast<int>(charcodes::characterCount(m.text));
            for (int k = 0; k < kBlinkBoxCount; ++k) {
                const bool under = k < length && m.blink.at(static_cast<std::size_t>(k));
                if (boxes.at(k)->isChecked() != under)
                    QFAIL(qPrintable(u"case %1: box %2"_s.arg(i).arg(k + 1)));
            }
            QCOMPARE(unit->value(), m.unit);
            QCOMPARE(priority->value(), m.priority);
        }
    }

    // Any image saved and opened again gives back the same 8192 bytes, and
    // the file holds exactly those bytes.
    void saveThenOpen()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"image.zel"_s);
        QRandomGenerator random(kSeed + 3);
        for (int i = 0; i < 200; ++i) {
            MemoryImage image;
            for (int a = 0; a < address::kImageSize; ++a)
                image.set(a, i == 0 ? 0 : i == 1 ? 255 : random.bounded(256));
            QVERIFY(productionfile::write(path, image));
            QCOMPARE(testing::readFile(path), testing::bytesOf(image));
            const std::optional<MemoryImage> opened = productionfile::read(path);
            QVERIFY2(opened && *opened == image, qPrintable(u"case %1"_s.arg(i)));
        }
    }
};

QTEST_MAIN(TestRoundTrip)
#include "test_roundtrip.moc"
