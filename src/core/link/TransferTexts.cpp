#include "TransferTexts.h"

#include "store/AddressMap.h"
#include "store/LineEnds.h"

namespace torsa::link::text {

using namespace Qt::StringLiterals;

namespace {

constexpr int kPercentScale = 100;
constexpr std::int64_t kMsPerSecond = 1000;
constexpr std::int64_t kSecondsPerMinute = 60;

QString minutesSeconds(std::int64_t ms)
{
    const std::int64_t seconds = (ms + kMsPerSecond / 2) / kMsPerSecond;
    return u"%1:%2"_s.arg(seconds / kSecondsPerMinute).arg(seconds % kSecondsPerMinute, 2, 10, QLatin1Char('0'));
}

} // namespace

QString portOpened(const QString &portName)
{
    return u"Ouverture du port "_s + portName + u" effectuée avec succès."_s;
}

QString portOpenFailed(const QString &portName, LinkPort::OpenError error, Platform platform)
{
    QString text = u"L'ouverture du port "_s + portName + u" à échouée !"_s;
    if (error != LinkPort::OpenError::PermissionDenied)
        return text;
    switch (platform) {
    case Platform::Windows:
        // Windows has no dialout group: it refuses a port another program holds.
        return text + kCrLf + u"Accès refusé : le port est pris par un autre programme."_s;
    case Platform::Linux: break;
    }
    return text + kCrLf
        + u"Accès refusé : l'utilisateur doit être membre du groupe dialout "
          "(puis se reconnecter), ou le port est pris par un autre programme."_s;
}

QString selectPortFirst()
{
    return u"Sélectionner le port série (COM) "_s + kCrLf + u"dans le menu Configuration."_s;
}

QString confirmation(TransferKind kind)
{
    switch (kind) {
    case TransferKind::Program: return u"Commencer la programmation ?"_s;
    case TransferKind::Read: return u" Commencer la lecture ? "_s;
    case TransferKind::Verify: return u"Commencer la vérification ? "_s;
    case TransferKind::LinkTest: break;
    }
    return {};
}

QString activity(TransferKind kind)
{
    switch (kind) {
    case TransferKind::Program: return u" Programmation en cours..."_s;
    case TransferKind::Read: return u"    Lecture en cours..."_s;
    case TransferKind::Verify: return u" Vérification en cours..."_s;
    case TransferKind::LinkTest: break;
    }
    return {};
}

int percentNumber(int address)
{
    return kPercentScale * address / address::kLastAddress;
}

QString percent(int address)
{
    return u"  "_s + QString::number(percentNumber(address)) + u"%  effectuée"_s;
}

QString timeProgress(std::int64_t elapsedMs, int address, int passesAfter)
{
    QString left = u"--:--"_s;
    if (address > 0) {
        const std::int64_t remaining =
            elapsedMs * (address::kImageSize - address + std::int64_t{passesAfter} * address::kImageSize) / address;
        left = minutesSeconds(remaining);
    }
    return u"Temps écoulé %1, reste %2"_s.arg(minutesSeconds(elapsedMs), left);
}

QString communicationFailure()
{
    return u"Problème de communication !"_s + kCrLf + u"Essayez à nouveau ."_s;
}

QString verificationFailure(int address)
{
    return u"Erreur Vérification !"_s + kCrLf + u"Reprogrammez à nouveau ."_s + u"(Err: "_s + QString::number(address)
        + u")"_s;
}

QString linkTestFailure()
{
    return u"Problème de connexion !"_s + kCrLf + u"Vérifier le câble et le port COM choisi ."_s;
}

QString linkTestSuccess()
{
    return u"Vérification terminé avec succés !"_s;
}
QString programmingSuccess()
{
    return u"Programmation terminée avec succés !"_s;
}
QString verificationSuccess()
{
    return u"Vérification terminée avec succés !"_s;
}
QString stopped()
{
    return u"Transfert interrompu."_s;
}

QString refusedCell(int address, int value)
{
    return u"Programmation impossible : la cellule %1 vaut %2, hors de 0 à 255."_s.arg(address).arg(value) + kCrLf
        + u"Aucun octet n'a été envoyé."_s;
}

} // namespace torsa::link::text
