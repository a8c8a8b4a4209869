// Any bytes as a spreadsheet list, through the whole import as `torsa-cli
// import` makes it: the encoding, the records, the mode and header rows, each
// row through the rules of "Valider", the refresh. A list that is not one says
// why; every refusal names its row and a problem that row really has; every row
// not refused is stored as typed; an accepted list exported and imported again
// gives the same session and the same bytes.

#include "ShownText.h"

#include "files/MessageList.h"
#include "files/MessageListCsv.h"
#include "files/MessageListImport.h"
#include "store/AddressMap.h"
#include "store/MessageText.h"
#include "store/SessionMode.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace torsa;
using namespace torsa::messagelist;

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

std::optional<int> wholeNumber(const csv::Record &row, Column column)
{
    bool ok = false;
    const int n = cell(row, column).trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

bool inRange(const csv::Record &row, Column column, int last)
{
    const auto n = wholeNumber(row, column);
    return n && *n >= 0 && *n <= last;
}

// Whether the row has the problem a refusal names, judged from the row alone
// (and the rows before it), apart from the import's code.
bool hasProblem(const QString &refusal, const csv::Record &row, const ListFile &list)
{
    const int last = mode::lastMessage(list.mode);
    const auto starts = [&refusal](const char *text) { return refusal.startsWith(QString::fromUtf8(text)); };
    if (starts("ligne illisible"))
        return !row.problem.isEmpty();
    if (starts("ligne vide"))
        return csv::isBlank(row);
    if (refusal.contains(u"colonne(s) au lieu de"))
        return row.fields.size() < kRequiredColumns;
    if (starts("colonne en trop"))
        return row.fields.size() > kColumnCount;
    if (refusal.endsWith(u"manquant") || refusal.endsWith(u"manquante")) {
        const Column column = starts("numéro") ? Column::Number : starts("unité") ? Column::Unit : Column::Priority;
        return cell(row, column).trimmed().isEmpty();
    }
    if (refusal.endsWith(u"un nombre entier est attendu")) {
        const Column column = starts("numéro") ? Column::Number : starts("unité") ? Column::Unit : Column::Priority;
        return !wholeNumber(row, column);
    }
    if (refusal.contains(u" hors de la plage")) {
        if (starts("numéro"))
            return !inRange(row, Column::Number, last);
        return starts("unité") ? !inRange(row, Column::Unit, address::kUnitMask)
                               : !inRange(row, Column::Priority, last);
    }
    if (refusal.contains(u"est déjà donné ligne")) {
        const int first = refusal.section(u' ', -1).toInt();
        const auto earlier =
            std::find_if(list.rows.begin(), list.rows.end(), [first](const csv::Record &r) { return r.row == first; });
        return first < row.row && earlier != list.rows.end()
            && wholeNumber(*earlier, Column::Number) == wholeNumber(row, Column::Number);
    }
    if (starts("texte vide"))
        return cell(row, Column::Text).isEmpty();
    if (starts("clignotement"))
        return !cell(row, Column::Blink).isEmpty();
    // The texts of "Valider": only on a row that passed every check of its own.
    return inRange(row, Column::Number, last) && inRange(row, Column::Unit, address::kUnitMask)
        && inRange(row, Column::Priority, last) && !cell(row, Column::Text).isEmpty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ListFile list = readCsv(bytes);
    if (!list.isList()) {
        check(list.rows.empty(), "a file that is not a list has no rows");
        return 0;
    }
    check(list.mode == SessionMode::WithPlc || list.mode == SessionMode::WithoutPlc, "a list has a mode");

    const ImportResult result = importRows(list.mode, list.rows);
    int previousRow = 0;
    std::vector<int> refusedRows;
    for (const RowRefusal &refusal : result.refusals) {
        check(refusal.row >= previousRow, "refusals in row order");
        previousRow = refusal.row;
        const auto row = std::find_if(list.rows.begin(), list.rows.end(),
                                      [&refusal](const csv::Record &r) { return r.row == refusal.row; });
        check(row != list.rows.end(), "a refusal names a row of the list");
        check(hasProblem(refusal.text, *row, list), "a refusal names a problem the row has");
        refusedRows.push_back(refusal.row);
    }

    int stored = 0;
    for (const csv::Record &row : list.rows) {
        if (std::find(refusedRows.begin(), refusedRows.end(), row.row) != refusedRows.end())
            continue;
        ++stored;
        const int number = *wholeNumber(row, Column::Number);
        check(result.image.isPresent(number), "a row not refused is stored");
        check(result.image.unit(number) == *wholeNumber(row, Column::Unit), "its unit");
        check(result.image.priority(number) == *wholeNumber(row, Column::Priority), "its priority");
        check(messagetext::decode(result.image, number) == testing::shownText(cell(row, Column::Text)), "its text");
    }
    check(result.storedCount == stored, "the count of stored rows");
    if (!result.accepted())
        return 0;

    const QByteArray exported = toCsv(fromImage(result.image));
    const ListFile back = readCsv(exported);
    check(back.isList() && back.mode == list.mode, "the export is a list of the same mode");
    const ImportResult again = importRows(back.mode, back.rows);
    check(again.accepted() && again.image == result.image, "the export imports as the same session");
    check(toCsv(fromImage(again.image)) == exported, "and exports as the same bytes");
    return 0;
}
