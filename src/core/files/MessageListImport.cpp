#include "MessageListImport.h"

#include "MessageList.h"
#include "MessageListCsv.h"
#include "session/Session.h"
#include "store/CharCodes.h"
#include "store/Validation.h"

#include <array>
#include <optional>

namespace torsa::messagelist {
namespace {

constexpr int kLastUnit = address::kUnitMask;

struct NumberColumn {
    Column column;
    QStringView name;
    QStringView missing; // agreed in gender with the name
};

constexpr NumberColumn kNumberColumn{Column::Number, u"numéro", u"numéro manquant"};
constexpr NumberColumn kUnitColumn{Column::Unit, u"unité", u"unité manquante"};
constexpr NumberColumn kPriorityColumn{Column::Priority, u"priorité", u"priorité manquante"};

class RowJudge {
public:
    RowJudge(Session &session, ImportResult &result) : session_(session), mode_(session.mode()), result_(result) {}

    void judge(const csv::Record &row)
    {
        row_ = row.row;
        const auto before = result_.refusals.size();
        if (!row.problem.isEmpty()) {
            refuse(QStringLiteral("ligne illisible : %1").arg(row.problem));
            return;
        }
        if (csv::isBlank(row)) {
            refuse(QStringLiteral("ligne vide au milieu de la liste : supprimez-la ou complétez-la"));
            return;
        }
        if (!hasItsColumns(row))
            return;

        const auto number = integer(row, kNumberColumn, mode::lastMessage(mode_), true);
        const auto unit = integer(row, kUnitColumn, kLastUnit, false);
        const auto priority = integer(row, kPriorityColumn, mode::lastMessage(mode_), true);
        if (number) {
            auto &firstRow = rowOfNumber_.at(static_cast<std::size_t>(*number));
            if (firstRow != 0)
                refuse(QStringLiteral("le message n°%1 est déjà donné ligne %2").arg(*number).arg(firstRow));
            else
                firstRow = row_;
        }
        const QString text = cell(row, Column::Text);
        MaskReading mask;
        if (text.isEmpty()) {
            refuse(QStringLiteral(
                "texte vide : « Valider » n'enregistrerait rien ; supprimez la ligne ou donnez un texte"));
        } else {
            mask = boxesFromMask(cell(row, Column::Blink), charcodes::characterCount(text));
            if (!mask.problem.isEmpty())
                refuse(mask.problem);
        }
        if (result_.refusals.size() != before)
            return;

        session_.setCurrentMessage(*number);
        const Verdict verdict = session_.validate(*unit, *priority, text, mask.boxes);
        if (!verdict.accepted()) {
            refuse(validation::refusalText(verdict));
            return;
        }
        ++result_.storedCount;
    }

private:
    void refuse(const QString &text) { result_.refusals.push_back({row_, text}); }

    bool hasItsColumns(const csv::Record &row)
    {
        qsizetype filled = row.fields.size();
        while (filled > 0 && row.fields[filled - 1].trimmed().isEmpty())
            --filled;
        const QString expected = headerFields().join(csv::kSeparator);
        if (row.fields.size() < kRequiredColumns) {
            refuse(QStringLiteral("%1 colonne(s) au lieu de %2 (%3)")
                       .arg(row.fields.size())
                       .arg(kColumnCount)
                       .arg(expected));
            return false;
        }
        if (filled > kColumnCount) {
            refuse(QStringLiteral("colonne en trop : %1 colonnes remplies au lieu de %2 (%3)")
                       .arg(filled)
                       .arg(kColumnCount)
                       .arg(expected));
            return false;
        }
        return true;
    }

    // The whole number of a column, 0 to last; refuses the row otherwise.
    std::optional<int> integer(const csv::Record &row, const NumberColumn &column, int last, bool rangeOfMode)
    {
        const QString value = cell(row, column.column).trimmed();
        if (value.isEmpty()) {
            refuse(column.missing.toString());
            return std::nullopt;
        }
        bool ok = false;
        const int n = value.toInt(&ok);
        if (!ok) {
            refuse(QStringLiteral("%1 « %2 » : un nombre entier est attendu").arg(column.name, value));
            return std::nullopt;
        }
        if (n < 0 || n > last) {
            const QString range = rangeOfMode
                ? QStringLiteral("de la plage du mode %1 (0 à %2)").arg(modeName(mode_)).arg(last)
                : QStringLiteral("de la plage 0 à %1").arg(last);
            refuse(QStringLiteral("%1 %2 hors %3").arg(column.name).arg(n).arg(range));
            return std::nullopt;
        }
        return n;
    }

    Session &session_;
    SessionMode mode_;
    ImportResult &result_;
    int row_ = 0;
    std::array<int, address::kSlotCount> rowOfNumber_{}; // 0: number not given yet
};

} // namespace

ImportResult importRows(SessionMode mode, std::span<const csv::Record> rows)
{
    ImportResult result;
    // "Nouveau" then Yes.
    Session session;
    session.begin(mode);
    RowJudge judge(session, result);
    for (const csv::Record &row : rows)
        judge.judge(row);
    session.tick();
    result.image = session.image();
    return result;
}

MaskReading boxesFromMask(QStringView mask, qsizetype textLength)
{
    MaskReading reading;
    const QList<uint> marks = mask.toUcs4();
    const auto isMark = [&marks](qsizetype i, QChar mark) { return marks[i] == mark.unicode(); };
    for (qsizetype i = 0; i < marks.size(); ++i) {
        if (!isMark(i, kSteady) && !isMark(i, kBlinking)) {
            const char32_t shown = marks[i];
            reading.problem = QStringLiteral("clignotement : « %1 » en position %2 ; seuls l'espace (fixe) et « %3 » "
                                             "(clignotant) sont permis")
                                  .arg(QString::fromUcs4(&shown, 1))
                                  .arg(i + 1)
                                  .arg(kBlinking);
            return reading;
        }
    }
    if (marks.size() > textLength) {
        reading.problem = QStringLiteral("clignotement : le masque a %1 positions, le texte seulement %2 caractère(s)")
                              .arg(marks.size())
                              .arg(textLength);
        return reading;
    }
    for (qsizetype i = 0; i < marks.size() && i < kBlinkBoxCount; ++i)
        reading.boxes[static_cast<std::size_t>(i)] = isMark(i, kBlinking);
    const bool lastBox = reading.boxes.back();
    for (qsizetype i = kBlinkBoxCount; i < marks.size(); ++i) {
        if (isMark(i, kBlinking) != lastBox) {
            reading.problem = QStringLiteral("clignotement : la position %1 n'a pas de case à cocher, elle clignote "
                                             "comme la position %2 (« %3 » aux deux ou à aucune)")
                                  .arg(i + 1)
                                  .arg(kBlinkBoxCount)
                                  .arg(kBlinking);
            return reading;
        }
    }
    return reading;
}

} // namespace torsa::messagelist
