// Any bytes opened as a production file, then everything the window does with
// the image it got: the refresh tick in each mode (summary block, empty count,
// captions, listing), the report of the opening, and showing every message
// number 0 to 181 in the editor (text and blink flags).

#include "files/FileTexts.h"
#include "files/ProductionFile.h"
#include "session/Listing.h"
#include "session/Refresh.h"
#include "session/Reports.h"
#include "store/AddressMap.h"
#include "store/BlinkCoding.h"
#include "store/MemoryImage.h"
#include "store/MessageText.h"
#include "store/SessionMode.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

using namespace torsa;

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// The bytes go through the same path as a file the user opens: a file of the
// file system, read by the production-file code.
const QString &fuzzFilePath()
{
    static const QString path = [] {
        const int fd = ::memfd_create("fuzz.zel", 0);
        check(fd >= 0, "memfd_create");
        return QStringLiteral("/proc/self/fd/%1").arg(fd);
    }();
    return path;
}

bool putBytes(const std::uint8_t *data, std::size_t size)
{
    const int fd = fuzzFilePath().mid(QStringLiteral("/proc/self/fd/").size()).toInt();
    if (::ftruncate(fd, 0) != 0)
        return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool isDerivedCell(int a)
{
    return (a >= address::kSummaryCountStart && a < address::kSummaryTextStart + address::kSummaryTextLength)
        || a == address::kEmptyCountCell;
}

void checkTick(const MemoryImage &opened, SessionMode inForce)
{
    MemoryImage image = opened;
    const RefreshTick tick = refresh::tick(image, inForce);

    int tally = 0;
    for (int n = 0; n < address::kSlotCount; ++n)
        tally += opened[address::unitCell(n)] > 127 ? 1 : 0;
    check(tick.tally == tally, "tally counts unit cells above 127");
    for (int a = 0; a < address::kImageSize; ++a)
        check(isDerivedCell(a) || image[a] == opened[a], "the tick writes only the summary and the empty count");
    check(image[address::kEmptyCountCell] == mode::total(inForce) - tally, "empty count");
    const QString digits = QString::number(tally).rightJustified(address::kSummaryCountDigits, u'0');
    for (int i = 0; i < address::kSummaryCountDigits; ++i)
        check(image[address::kSummaryCountStart + i] == digits.at(i).unicode(), "summary digits");
    for (int i = 0; i < address::kSummaryTextLength; ++i)
        check(image[address::kSummaryTextStart + i] == address::kSummaryText[i], "summary text");
    check(tick.requestedMode == mode::fromLetter(opened[address::kModeCell]), "mode asked by the mode cell");
    check(tick.statusCaption.startsWith(reports::kHeader), "status caption");

    // The listing: the two header lines, then one line per slot whose unit
    // cell is not 0, each the slot's own line, every line ended by CR LF.
    check(tick.listing.endsWith(kCrLf), "listing ends with CR LF");
    const QStringList lines = tick.listing.split(QString(kCrLf));
    int listed = 0;
    for (int n = 0; n < address::kScannedSlotCount; ++n) {
        if (image[address::unitCell(n)] == 0)
            continue;
        const qsizetype line = 2 + listed;
        check(line < lines.size() && lines.at(line) == listing::slotLine(image, n), "slot line in order");
        check(lines.at(line).size() >= listing::kSlotLineWidth, "slot line width");
        ++listed;
    }
    check(lines.size() == 2 + listed + 1, "one line per listed slot");
    check(lines.at(0) == listing::kHeader && lines.at(1) == listing::kRule, "listing header");

    // A second tick finds nothing left to change.
    MemoryImage again = image;
    const RefreshTick second = refresh::tick(again, inForce);
    check(again == image, "a second tick changes no cell");
    check(second.listing == tick.listing && second.countCaption == tick.countCaption, "a second tick shows the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!putBytes(data, size))
        return 0;
    const std::optional<MemoryImage> opened = productionfile::read(fuzzFilePath());
    check(opened.has_value() == (size >= static_cast<std::size_t>(address::kImageSize)),
          "a file opens exactly when it holds 8192 bytes or more");
    if (!opened)
        return 0;
    for (int a = 0; a < address::kImageSize; ++a)
        check((*opened)[a] == data[a], "cell k is byte k");

    const OpenReport report = reports::forOpenedImage(*opened);
    check(report.tally == (*opened)[address::kEmptyCountCell], "tally from the empty-count cell");
    check(reports::openedMessage(report).endsWith(reports::kReadSuccess), "open message");

    for (const SessionMode inForce : {SessionMode::None, SessionMode::WithoutPlc, SessionMode::WithPlc})
        checkTick(*opened, inForce);

    // Showing each message in the editor, one past the last slot included.
    for (int n = 0; n < address::kScannedSlotCount; ++n) {
        const QString text = messagetext::decode(*opened, n);
        check(text.size() <= address::kTextCells, "at most 42 characters");
        for (const QChar c : text)
            check(c.unicode() >= 32, "no control character shown");
        const BlinkFlags flags = blink::decodeFlags(*opened, n);
        check(!flags[0], "flag 0 is never set");
    }
    return 0;
}
