#include "FileReport.h"

namespace torsa::filereport {

OpenReport forOpenedImage(const MemoryImage &image)
{
    OpenReport report;
    report.text.append(kHeader);
    report.text.append(kLfCr);
    const int modeCell = image[address::kModeCell];
    if (modeCell == address::kModeLetterWithPlc) {
        report.text.append(kWithPlc);
        report.text.append(kLfCr);
    }
    if (modeCell == address::kModeLetterWithoutPlc) {
        report.text.append(kWithoutPlc);
        report.text.append(kLfCr);
    }
    report.requestedMode = mode::fromLetter(modeCell);
    report.tally = image[address::kEmptyCountCell];
    report.text.append(QString::number(report.tally));
    report.text.append(kEmptyMessages);
    report.text.append(kLfCr);
    return report;
}

QString openedMessage(const OpenReport &report)
{
    QString message = report.text;
    message.append(kSuccess);
    return message;
}

QString saveError(const QString &fileName)
{
    return QStringLiteral("Erreur lors de la création de ") + fileName + QStringLiteral(". Essayer à nouveau");
}

QString openError(const QString &fileName)
{
    return QStringLiteral("Erreur d'ouverture de ") + fileName;
}

} // namespace torsa::filereport
