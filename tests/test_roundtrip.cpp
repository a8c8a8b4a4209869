// Round trips that must give back exactly what went in, over many generated
// cases (a fixed seed, so that a failure repeats): a message stored and shown
// again, in the store and through the main window; an image saved and opened;
// an image programmed into zel-sim and read back.

#include "support/ScriptedPrompts.h"
#include "support/ShownText.h"
#include "support/SimProcess.h"

#include "editor/MainWindow.h"
#include "files/ProductionFile.h"
#include "link/LinkPort.h"
#include "link/TransferEngine.h"
#include "store/AddressMap.h"
#include "store/BlinkCoding.h"
#include "store/CharCodes.h"
#include "store/MemoryImage.h"
#include "store/MessageText.h"
#include "store/SessionMode.h"
#include "store/Validation.h"

#include <QAction>
#include <QCheckBox>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

// Characters a technician can store: printable ASCII, the Windows-1252
// characters of 128 to 159, the unit's seventeen letters, and the characters
// whose codes the unit takes for its letters (DEL and U+0081 among them).
QList<char32_t> storableCharacters()
{
    QList<char32_t> chars;
    for (char32_t c = 32; c < 127; ++c)
        chars.append(c);
    for (int code = 128; code < 160; ++code) {
        const char32_t c = charcodes::fromWindows1252(code);
        if (charcodes::windows1252Code(c) == code)
            chars.append(c);
    }
    for (const auto &[typed, letter] : testing::kAliasedCharacters) {
        chars.append(typed);
        chars.append(letter);
    }
    std::sort(chars.begin(), chars.end());
    chars.erase(std::unique(chars.begin(), chars.end()), chars.end());
    return chars;
}

// Boxes of three kinds: none, a few zones, or each box at random.
BlinkBoxes randomBoxes(QRandomGenerator &random)
{
    BlinkBoxes boxes{};
    switch (random.bounded(3)) {
    case 0:
        break;
    case 1:
        for (int zones = random.bounded(1, 4); zones > 0; --zones) {
            const int first = random.bounded(kBlinkBoxCount);
            const int last = std::min(kBlinkBoxCount - 1, first + random.bounded(8));
            std::fill(boxes.begin() + first, boxes.begin() + last + 1, true);
        }
        break;
    default:
        for (bool &box : boxes)
            box = random.bounded(2) == 1;
        break;
    }
    return boxes;
}

// A message that the rules accept in an image holding no other priority:
// length plus toggles within the 42 text cells, storable characters only.
EditedMessage randomMessage(QRandomGenerator &random, const QList<char32_t> &chars, SessionMode mode)
{
    EditedMessage m;
    const int last = mode::lastMessage(mode);
    m.number = random.bounded(last + 1);
    m.unit = random.bounded(32);
    m.priority = random.bounded(2) == 0 ? 0 : random.bounded(last + 1);
    m.blink = randomBoxes(random);
    const int room = kMaxTextLength - blink::toggleCount(m.blink);
    const int length = random.bounded(1, room + 1);
    for (int i = 0; i < length; ++i) {
        const char32_t c = chars.at(random.bounded(chars.size()));
        m.text.append(QString::fromUcs4(&c, 1));
    }
    return m;
}

// The flags shown must be the boxes under the text's characters; positions 41
// and 42 keep the state of position 40.
BlinkFlags expectedFlags(const EditedMessage &m)
{
    BlinkFlags flags{};
    const auto length = static_cast<int>(charcodes::characterCount(m.text));
    for (int k = 1; k <= std::min(length, kMaxTextLength); ++k)
        flags[static_cast<std::size_t>(k)] = m.blink[static_cast<std::size_t>(std::min(k, kBlinkBoxCount) - 1)];
    return flags;
}

MemoryImage randomImage(QRandomGenerator &random)
{
    MemoryImage image;
    for (int a = 0; a < address::kImageSize; ++a)
        image.set(a, random.bounded(256));
    return image;
}

QByteArray bytesOf(const MemoryImage &image)
{
    QByteArray out;
    for (const int cell : image.cells())
        out.append(static_cast<char>(cell));
    return out;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::optional<link::TransferOutcome> runTransfer(link::TransferEngine &engine, link::TransferKind kind)
{
    constexpr int kTransferWaitMs = 120000;
    std::optional<link::TransferOutcome> outcome;
    QEventLoop loop;
    const auto done = QObject::connect(&engine, &link::TransferEngine::finished, &loop,
                                       [&](const link::TransferOutcome &o) {
                                           outcome = o;
                                           loop.quit();
                                       });
    QTimer::singleShot(kTransferWaitMs, &loop, &QEventLoop::quit);
    if (engine.start(kind))
        loop.exec();
    QObject::disconnect(done);
    return outcome;
}

template <typename T>
T *child(const QObject &parent, const QString &name)
{
    T *widget = parent.findChild<T *>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

constexpr quint32 kSeed = 20240611;

} // namespace

class TestRoundTrip : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Thousands of accepted messages stored one after the other into one
    // session, each shown again at once: the text typed (up to the unit's
    // letters), the boxes ticked under it, the unit and the priority; no cell
    // outside the slot changes.
    void storeThenShow_data()
    {
        QTest::addColumn<SessionMode>("mode");
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("cases");
        QTest::newRow("with PLC") << SessionMode::WithPlc << kSeed << 3000;
        QTest::newRow("without PLC") << SessionMode::WithoutPlc << kSeed + 1 << 1000;
    }

    void storeThenShow()
    {
        QFETCH(SessionMode, mode);
        QFETCH(quint32, seed);
        QFETCH(int, cases);
        QRandomGenerator random(seed);
        const QList<char32_t> chars = storableCharacters();
        MemoryImage image;
        for (int i = 0; i < cases; ++i) {
            EditedMessage m = randomMessage(random, chars, mode);
            Verdict verdict = validation::check(image, m);
            if (verdict.refusal == Refusal::PriorityInUse) {
                m.priority = 0;
                verdict = validation::check(image, m);
            }
            QVERIFY2(verdict.accepted(), qPrintable(u"case %1 refused: "_s.arg(i) + validation::refusalText(verdict)));

            const MemoryImage before = image;
            validation::store(image, m);
            const int first = address::slotStart(m.number);
            for (int a = 0; a < address::kImageSize; ++a) {
                if (a < first || a >= address::slotStart(m.number + 1))
                    QCOMPARE(image[a], before[a]);
            }
            QCOMPARE(text::decode(image, m.number), testing::shownText(m.text));
            QCOMPARE(blink::decodeFlags(image, m.number), expectedFlags(m));
            QVERIFY(image.isPresent(m.number));
            QCOMPARE(image.unit(m.number), m.unit);
            QCOMPARE(image.priority(m.number), m.priority);
        }
    }

    // The same through the main window: typed into Texte1 with the boxes
    // ticked and the bars set, "Valider", then back to that number: the
    // editor shows the text and ticks the boxes again.
    void storeThenShowInTheWindow()
    {
        constexpr int kCases = 300;
        auto owned = std::make_unique<testing::ScriptedPrompts>();
        testing::ScriptedPrompts &prompts = *owned;
        MainWindow window(std::move(owned));
        auto *number = child<QScrollBar>(window, u"DéfilementH1"_s);
        auto *unit = child<QScrollBar>(window, u"DéfilementH2"_s);
        auto *priority = child<QScrollBar>(window, u"DéfilementH3"_s);
        auto *text = child<QLineEdit>(window, u"Texte1"_s);
        auto *valider = child<QPushButton>(window, u"Commande6"_s);
        std::array<QCheckBox *, kBlinkBoxCount> boxes{};
        for (int k = 0; k < kBlinkBoxCount; ++k)
            boxes[static_cast<std::size_t>(k)] = child<QCheckBox>(window, u"Coche%1"_s.arg(k + 2));

        prompts.answers.push_back(true);
        child<QAction>(window, u"MENU_ED_AVEC"_s)->trigger();
        QCOMPARE(window.sessionMode(), SessionMode::WithPlc);
        prompts.shown.clear();

        QRandomGenerator random(kSeed + 2);
        const QList<char32_t> chars = storableCharacters();
        for (int i = 0; i < kCases; ++i) {
            const EditedMessage m = randomMessage(random, chars, SessionMode::WithPlc);
            number->setValue(m.number);
            unit->setValue(m.unit);
            // A priority in use elsewhere would be refused: none is used here.
            priority->setValue(0);
            text->setText(m.text);
            for (int k = 0; k < kBlinkBoxCount; ++k)
                boxes[static_cast<std::size_t>(k)]->setChecked(m.blink[static_cast<std::size_t>(k)]);
            valider->click();
            QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.shown.isEmpty() ? QString() : prompts.shown.constLast().text));

            number->setValue(m.number == 0 ? 1 : 0);
            number->setValue(m.number);
            QCOMPARE(text->text(), testing::shownText(m.text));
            const BlinkFlags expected = expectedFlags(m);
            for (int k = 0; k < kBlinkBoxCount; ++k)
                QCOMPARE(boxes[static_cast<std::size_t>(k)]->isChecked(), expected[static_cast<std::size_t>(k + 1)]);
            QCOMPARE(unit->value(), m.unit);
        }
    }

    // Any image saved and opened again gives back the same 8192 bytes, and
    // the file holds exactly those bytes.
    void saveThenOpen()
    {
        constexpr int kCases = 200;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"image.zel"_s);
        QRandomGenerator random(kSeed + 3);
        for (int i = 0; i < kCases; ++i) {
            MemoryImage image = randomImage(random);
            if (i == 0)
                image.clear();
            if (i == 1) {
                for (int a = 0; a < address::kImageSize; ++a)
                    image.set(a, 255);
            }
            QVERIFY(productionfile::write(path, image));
            QCOMPARE(readFile(path), bytesOf(image));
            const std::optional<MemoryImage> opened = productionfile::read(path);
            QVERIFY(opened);
            QVERIFY2(*opened == image, qPrintable(u"case %1"_s.arg(i)));
        }
    }

    // Any image programmed into the simulator and read back gives the same
    // bytes, and the unit's EEPROM holds them.
    void programThenRead_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("random bytes") << 0;
        QTest::newRow("all 255") << 1;
        QTest::newRow("the protocol's own bytes 2, 3, 6") << 2;
    }

    void programThenRead()
    {
        QFETCH(int, kind);
        QRandomGenerator random(kSeed + 4);
        MemoryImage image = randomImage(random);
        constexpr std::array<int, 3> kProtocolBytes{2, 3, 6};
        for (int a = 0; a < address::kImageSize; ++a) {
            if (kind == 1)
                image.set(a, 255);
            if (kind == 2)
                image.set(a, kProtocolBytes.at(static_cast<std::size_t>(a) % kProtocolBytes.size()));
        }
        const MemoryImage sent = image;

        QTemporaryDir dir;
        const QString saved = dir.filePath(u"unit.zel"_s);
        SimProcess sim;
        QVERIFY(sim.start({u"--save"_s, saved}));
        link::LinkPort port;
        QVERIFY(port.open(sim.path()).ok());
        link::TransferEngine engine(port, image);

        const auto programmed = runTransfer(engine, link::TransferKind::Program);
        QVERIFY(programmed);
        QVERIFY(programmed->succeeded());
        image.clear();
        const auto read = runTransfer(engine, link::TransferKind::Read);
        QVERIFY(read);
        QVERIFY(read->succeeded());
        QVERIFY(image == sent);

        port.close();
        QVERIFY(sim.stop());
        QCOMPARE(readFile(saved), bytesOf(sent));
    }
};

QTEST_MAIN(TestRoundTrip)
#include "test_roundtrip.moc"
