#include "CsvEncoding.h"

#include "store/CharCodes.h"

#include <QStringDecoder>

#include <optional>

namespace torsa::csv {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16LeBom[] = "\xFF\xFE";
constexpr char kUtf16BeBom[] = "\xFE\xFF";

std::optional<QString> strictUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        const char32_t ch = charcodes::fromWindows1252(static_cast<unsigned char>(b));
        text.append(QString::fromUcs4(&ch, 1));
    }
    return text;
}

} // namespace

DecodedText decode(const QByteArray &bytes)
{
    DecodedText result;
    if (bytes.isEmpty()) {
        result.failure = QStringLiteral("le fichier est vide");
        return result;
    }
    if (bytes.size() > kMaxListBytes) {
        result.failure =
            QStringLiteral("le fichier est bien trop grand pour une liste de messages (%1 octets)").arg(bytes.size());
        return result;
    }
    if (bytes.startsWith(kUtf16LeBom) || bytes.startsWith(kUtf16BeBom)) {
        result.failure = QStringLiteral("le fichier est en UTF-16 (« Texte Unicode ») ; "
                                        "enregistrez-le au format « CSV UTF-8 » (séparateur : point-virgule)");
        return result;
    }
    if (bytes.contains('\0')) {
        result.failure = QStringLiteral("ce n'est pas un fichier CSV : il contient des octets binaires "
                                        "(un fichier de production .zel, peut-être)");
        return result;
    }
    if (bytes.startsWith(kUtf8Bom)) {
        const auto text = strictUtf8(QByteArrayView(bytes).sliced(sizeof(kUtf8Bom) - 1));
        if (!text) {
            result.failure = QStringLiteral("le fichier commence par la marque UTF-8 mais son contenu "
                                            "n'est pas en UTF-8 valide");
            return result;
        }
        result.text = *text;
        result.encoding = SourceEncoding::Utf8WithBom;
        return result;
    }
    if (const auto text = strictUtf8(bytes)) {
        result.text = *text;
        result.encoding = SourceEncoding::Utf8;
        return result;
    }
    result.text = fromWindows1252(bytes);
    result.encoding = SourceEncoding::Windows1252;
    return result;
}

QByteArray encode(const QString &text)
{
    QByteArray bytes(kUtf8Bom);
    bytes.append(text.toUtf8());
    return bytes;
}

QString encodingName(SourceEncoding encoding)
{
    return encoding == SourceEncoding::Windows1252 ? QStringLiteral("Windows-1252") : QStringLiteral("UTF-8");
}

} // namespace torsa::csv
