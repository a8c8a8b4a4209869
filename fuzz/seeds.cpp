// Writes the seed corpora of the fuzz targets (fuzz/corpus/<target>/) with the
// program's own code: production files saved from sessions built through
// "Valider" and the refresh tick, the unit's answers as the byte protocol
// shapes them, typed messages and the worked examples of "Centrer".
//
//   fuzz_seeds DIR      (DIR is fuzz/corpus)

#include "files/ProductionFile.h"
#include "link/Protocol.h"
#include "session/Refresh.h"
#include "store/AddressMap.h"
#include "store/MemoryImage.h"
#include "store/SessionMode.h"
#include "store/Validation.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <initializer_list>

using namespace torsa;
using namespace Qt::StringLiterals;

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray bytesOf(const MemoryImage &image)
{
    QByteArray out;
    for (const int cell : image.cells())
        out.append(static_cast<char>(cell));
    return out;
}

BlinkBoxes boxes(std::initializer_list<int> positions)
{
    BlinkBoxes b{};
    for (const int p : positions)
        b[static_cast<std::size_t>(p - 1)] = true;
    return b;
}

MemoryImage session(SessionMode mode, std::initializer_list<EditedMessage> messages)
{
    MemoryImage image;
    image.set(address::kModeCell, mode::letter(mode));
    for (const EditedMessage &m : messages) {
        if (validation::check(image, m).accepted())
            validation::store(image, m);
    }
    refresh::tick(image, mode);
    return image;
}

bool productionFiles(const QDir &dir)
{
    const MemoryImage withPlc = session(SessionMode::WithPlc,
                                        {{0, 1, 1, u"DEFAUT POMPE 1"_s, boxes({1, 2, 3})},
                                         {12, 3, 7, u"Bonjour"_s, {}},
                                         {47, 31, 180, u"Défaut été § ü"_s, boxes({5, 6, 10})},
                                         {180, 0, 0, QString(42, u'X'), {}},
                                         {90, 4, 0, QString(40, u'Z'), boxes({40})}});
    const MemoryImage withoutPlc =
        session(SessionMode::WithoutPlc, {{0, 2, 16, u"NIVEAU HAUT CUVE"_s, {}}, {16, 9, 3, u"PORTE"_s, boxes({2})}});

    // Cells the editor never writes: a unit cell of 255 and of 5, a slot 181,
    // text cells without end marker, control values among the characters.
    MemoryImage odd = withPlc;
    odd.set(address::unitCell(3), 255);
    odd.set(address::unitCell(4), 5);
    odd.set(address::unitCell(address::kSlotCount), 200);
    for (int i = 0; i < address::kTextCells; ++i)
        odd.set(address::textStart(3) + i, (i * 37 + 1) % 256);
    odd.set(address::kModeCell, 255);

    const auto save = [&dir](const QString &name, const MemoryImage &image) {
        return productionfile::write(dir.filePath(name), image) == files::SaveResult::Saved;
    };
    bool ok = save(u"with-plc.zel"_s, withPlc) && save(u"without-plc.zel"_s, withoutPlc)
        && save(u"odd-cells.zel"_s, odd) && save(u"new-session.zel"_s, session(SessionMode::WithPlc, {}));
    ok = ok && writeFile(dir.filePath(u"short-100.bin"_s), bytesOf(withPlc).left(100));
    ok = ok && writeFile(dir.filePath(u"long-8300.bin"_s), bytesOf(withoutPlc) + QByteArray(108, '\x05'));
    return ok;
}

QByteArray bytes(std::initializer_list<char> list)
{
    return QByteArray(list.begin(), static_cast<qsizetype>(list.size()));
}

// Command byte (bit 0: read), data byte, then pieces: length, bytes.
QByteArray answer(bool read, char data, std::initializer_list<QByteArray> pieces)
{
    QByteArray out;
    out.append(read ? '\1' : '\0');
    out.append(data);
    for (const QByteArray &piece : pieces) {
        out.append(static_cast<char>(piece.size()));
        out.append(piece);
    }
    return out;
}

bool linkAnswers(const QDir &dir)
{
    using namespace torsa::link;
    const QByteArray ack = bytes({kStx, kAck, kEtx});
    const struct {
        const char *name;
        QByteArray bytes;
    } seeds[] = {
        {"write-ack", answer(false, 0, {ack})},
        {"write-ack-split", answer(false, 0, {QByteArray(1, kStx), bytes({kAck, kEtx})})},
        {"write-junk-first", answer(false, 0, {"UUU"_ba, ack})},
        {"write-no-ack", answer(false, 0, {"\x02\x06\x02\x03"_ba})},
        {"read-answer", answer(true, 0, {bytes({kStx, '\xab', kEtx})})},
        {"read-no-stx", answer(true, 7, {"ABC"_ba})},
        {"read-late-stx", answer(true, 9, {QByteArray(1, kStx), bytes({'\x41', kEtx, kStx, '\x42', kEtx})})},
        {"read-two-bytes", answer(true, 0, {bytes({kStx, '\x10'})})},
    };
    for (const auto &seed : seeds) {
        if (!writeFile(dir.filePath(QString::fromLatin1(seed.name)), seed.bytes))
            return false;
    }
    return true;
}

// The same answers for the byte command on a pseudo-terminal: options (bit 0:
// read, bit 1: the first piece comes before the frame), data, address high and
// low, then the pieces.
bool byteCommands(const QDir &dir)
{
    using namespace torsa::link;
    const auto command = [](int options, char data, int address, std::initializer_list<QByteArray> pieces) {
        QByteArray out;
        out.append(static_cast<char>(options));
        out.append(data);
        out.append(static_cast<char>(address / 256));
        out.append(static_cast<char>(address % 256));
        for (const QByteArray &piece : pieces) {
            out.append(static_cast<char>(piece.size()));
            out.append(piece);
        }
        return out;
    };
    const QByteArray ack = bytes({kStx, kAck, kEtx});
    const struct {
        const char *name;
        QByteArray bytes;
    } seeds[] = {
        {"write-ack", command(0, 0, 0, {ack})},
        {"write-ack-split", command(0, 3, 8191, {bytes({kStx}), bytes({kAck, kEtx})})},
        {"write-stale-ack-first", command(2, 6, 256, {ack, "UU"_ba, ack})},
        {"read-answer", command(1, 0, 100, {bytes({kStx, '\xab', kEtx})})},
        {"read-stale-answer-first", command(3, 0, 7, {bytes({kStx, '\x11', kEtx}), bytes({kStx, '\x22', kEtx})})},
        {"read-no-stx", command(1, 9, 4096, {"ABC"_ba})},
        {"read-in-pieces", command(1, 1, 2, {bytes({kStx}), bytes({'\x44'}), bytes({kEtx})})},
    };
    for (const auto &seed : seeds) {
        if (!writeFile(dir.filePath(QString::fromLatin1(seed.name)), seed.bytes))
            return false;
    }
    return true;
}

// 5 bytes of boxes, unit, priority, number, old cell value, options, other
// slot's priority, then the text.
QByteArray typed(const BlinkBoxes &blink, int unit, int priority, int number, const QString &text, bool utf16 = false)
{
    QByteArray out(5, '\0');
    for (std::size_t i = 0; i < blink.size(); ++i) {
        if (blink[i])
            out[static_cast<qsizetype>(i / 8)] = static_cast<char>(out[static_cast<qsizetype>(i / 8)] | (1 << (i % 8)));
    }
    out.append(static_cast<char>(unit));
    out.append(static_cast<char>(priority));
    out.append(static_cast<char>(number));
    out.append('\xff');
    out.append(utf16 ? '\1' : '\0');
    out.append('\7');
    if (utf16)
        out.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    else
        out.append(text.toUtf8());
    return out;
}

bool messages(const QDir &dir)
{
    const struct {
        const char *name;
        QByteArray bytes;
    } seeds[] = {
        {"ab-first-blinks", typed(boxes({1}), 5, 0, 3, u"AB"_s)},
        {"accents", typed({}, 1, 0, 9, u"Défaut été"_s)},
        {"forty-two", typed({}, 0, 0, 180, QString(42, u'M'))},
        {"zone-to-forty", typed(boxes({40}), 2, 3, 4, QString(41, u'Q'))},
        {"aliases-utf16", typed(boxes({2, 3}), 7, 0, 1, u"\u201a\u007f\u0081\u2014 x"_s, true)},
        {"refused-e-acute-capital", typed({}, 0, 0, 0, u"ABCDÉ"_s)},
        {"refused-tab", typed({}, 0, 0, 0, u"A\tB"_s)},
        {"priority-in-use", typed({}, 0, 7, 4, u"PRIO"_s)},
    };
    for (const auto &seed : seeds) {
        if (!writeFile(dir.filePath(QString::fromLatin1(seed.name)), seed.bytes))
            return false;
    }
    return true;
}

bool centering(const QDir &dir)
{
    // Display (0: 1x16, 1: 1x20, 2: 2x16, 3: 2x20), then the text.
    const struct {
        const char *name;
        char display;
        QString text;
    } seeds[] = {
        {"1x16-defaut", 0, u"DEFAUT"_s},
        {"1x20-pompe", 1, u"POMPE 1"_s},
        {"1x16-spaces", 0, u"  PORTE OUVERTE  "_s},
        {"2x16-split", 2, u"ALARME POMPE NUMERO 2"_s},
        {"2x16-split-at-w", 2, u"SURCHARGE MOTEUR VENTILATION"_s},
        {"2x20-split", 3, u"TEMPERATURE HAUTE FOUR 3"_s},
        {"2x16-impossible", 2, u"PRESSION BASSE CIRCUIT PRINCIPAL"_s},
        {"2x16-no-space", 2, u"ABCDEFGHIJKLMNOPQ"_s},
    };
    for (const auto &seed : seeds) {
        if (!writeFile(dir.filePath(QString::fromLatin1(seed.name)), QByteArray(1, seed.display) + seed.text.toUtf8()))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: fuzz_seeds CORPUS_DIR\n", stderr);
        return 64;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const auto sub = [&root](const QString &name) {
        root.mkpath(name);
        return QDir(root.filePath(name));
    };
    const bool ok = productionFiles(sub(u"fuzz_production_file"_s)) && linkAnswers(sub(u"fuzz_link_answers"_s))
        && byteCommands(sub(u"fuzz_byte_command"_s)) && messages(sub(u"fuzz_message_roundtrip"_s))
        && centering(sub(u"fuzz_centering"_s));
    if (!ok)
        std::fputs("fuzz_seeds: cannot write the corpus\n", stderr);
    return ok ? 0 : 1;
}
