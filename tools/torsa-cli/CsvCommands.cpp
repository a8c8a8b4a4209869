#include "CsvCommands.h"

#include "CommandTable.h"
#include "Output.h"

#include "files/FileSaving.h"
#include "files/FileTexts.h"
#include "files/MessageListCsv.h"
#include "files/MessageListImport.h"
#include "files/MessageListLoss.h"
#include "files/ProductionFile.h"
#include "store/LineEnds.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace torsa::cli {

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView kExport = u"export";
// "Valider" texts separate their lines with LF CR.

struct Request {
    QString input;
    QString output; // empty: stdout (export only)
};

// INPUT and -o/--output PATH, in any order.
std::optional<Request> parseRequest(const QStringList &arguments)
{
    Request request;
    bool haveOutput = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == u"-o" || a == u"--output") {
            if (haveOutput || i + 1 >= arguments.size() || arguments[i + 1].isEmpty())
                return std::nullopt;
            request.output = arguments[++i];
            haveOutput = true;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return std::nullopt;
        } else {
            if (!request.input.isEmpty() || a.isEmpty())
                return std::nullopt;
            request.input = a;
        }
    }
    if (request.input.isEmpty())
        return std::nullopt;
    return request;
}

// A refusal on its row, continuation lines aligned under the first.
QString refusalLines(const QString &listName, const RowRefusal &refusal)
{
    const QString prefix = u"%1, ligne %2 : "_s.arg(listName).arg(refusal.row);
    const QStringList lines = refusal.text.split(QString(kLfCr));
    QString out = prefix + lines.first();
    for (qsizetype i = 1; i < lines.size(); ++i)
        out += u'\n' + QString(prefix.size(), u' ') + lines[i];
    return out;
}

qsizetype refusedRowCount(const std::vector<RowRefusal> &refusals)
{
    QList<int> rows;
    for (const RowRefusal &refusal : refusals) {
        if (rows.isEmpty() || rows.last() != refusal.row)
            rows.append(refusal.row);
    }
    return rows.size();
}

// The export is imported again on the spot: whatever does not come back the same
// is named, so that nobody takes the list for the whole file.
void warnAboutLosses(const Request &request, const MemoryImage &image, const QByteArray &csvBytes)
{
    const messagelist::ListFile back = messagelist::readCsv(csvBytes);
    const ImportResult rebuilt = messagelist::importRows(back.mode, back.rows);
    const std::vector<LostCells> lost = messagelist::lostCells(image, rebuilt.image);
    if (rebuilt.accepted() && lost.empty())
        return;
    const QString listName = request.output.isEmpty() ? u"(sortie)"_s : request.output;
    say(u"Attention : la liste ne porte pas tout %1 ; importée, elle ne redonnera pas le même fichier."_s.arg(
        request.input));
    for (const RowRefusal &refusal : rebuilt.refusals)
        say(refusalLines(listName, refusal));
    for (const LostCells &cells : lost)
        say(u"  "_s + messagelist::describe(cells));
}

int runExport(const Request &request)
{
    const auto image = productionfile::read(request.input);
    if (!image) {
        sayUnreadableProductionFile(request.input);
        return kExitUnreadableFile;
    }
    const MessageList list = messagelist::fromImage(*image);
    if (list.mode == SessionMode::None) {
        say(u"%1 : la cellule de mode %2 vaut %3, ni %4 (« %5 ») ni %6 (« %7 ») ; rien n'est exporté."_s
                .arg(request.input)
                .arg(address::kModeCell)
                .arg((*image)[address::kModeCell])
                .arg(address::kModeLetterWithPlc)
                .arg(messagelist::modeName(SessionMode::WithPlc))
                .arg(address::kModeLetterWithoutPlc)
                .arg(messagelist::modeName(SessionMode::WithoutPlc)));
        return kExitDataRefused;
    }
    const QByteArray csvBytes = messagelist::toCsv(list);
    warnAboutLosses(request, *image, csvBytes);
    if (request.output.isEmpty())
        return write(stdout, csvBytes) ? kExitSuccess : kExitOutputFailed;
    if (!saved(request.output, files::saveWhole(request.output, csvBytes)))
        return kExitUnreadableFile;
    return kExitSuccess;
}

std::optional<QByteArray> readList(const QString &path)
{
    if (QFileInfo(path).isDir())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // One byte past the limit is enough to know the file is too big.
    QByteArray bytes = file.read(csv::kMaxListBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

int runImport(const Request &request)
{
    const auto bytes = readList(request.input);
    if (!bytes) {
        say(filetexts::openError(request.input));
        return kExitUnreadableFile;
    }
    const messagelist::ListFile list = messagelist::readCsv(*bytes);
    if (!list.isList()) {
        say(u"%1 : %2 ; %3 n'est pas écrit."_s.arg(request.input, list.failure, request.output));
        return kExitDataRefused;
    }
    if (list.encoding == csv::SourceEncoding::Windows1252)
        say(u"%1 n'est pas en UTF-8 : il est lu comme un fichier Windows-1252, l'encodage des tableurs "
            "sous Windows."_s.arg(request.input));
    const ImportResult result = messagelist::importRows(list.mode, list.rows);
    if (!result.accepted()) {
        for (const RowRefusal &refusal : result.refusals)
            say(refusalLines(request.input, refusal));
        say(u"%1 refus sur %2 ligne(s) : %3 n'est pas écrit."_s.arg(result.refusals.size())
                .arg(refusedRowCount(result.refusals))
                .arg(request.output));
        return kExitDataRefused;
    }
    if (!saved(request.output, productionfile::write(request.output, result.image)))
        return kExitUnreadableFile;
    say(u"%1 écrit : %2 message(s), %3."_s.arg(request.output)
            .arg(result.storedCount)
            .arg(messagelist::modeName(list.mode)));
    return kExitSuccess;
}

} // namespace

int runCsvCommand(const QString &command, const QStringList &arguments)
{
    const auto request = parseRequest(arguments);
    const bool isExport = command == kExport;
    if (!request || (!isExport && request->output.isEmpty())) {
        print(stderr, usageText(command));
        return kExitUsage;
    }
    return isExport ? runExport(*request) : runImport(*request);
}

} // namespace torsa::cli
