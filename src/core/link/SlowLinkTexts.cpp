#include "SlowLinkTexts.h"

#include "LinkPace.h"

namespace torsa::link::text {

using namespace Qt::StringLiterals;

namespace {

constexpr double kUsPerMs = 1000.0;
constexpr double kMsPerSecond = 1000.0;

// One decimal, with a decimal comma.
QString decimal(double value)
{
    return QString::number(value, 'f', 1).replace(u'.', u',');
}

} // namespace

QString slowLinkFigures(std::int64_t medianCommandUs)
{
    return u"Liaison lente : %1 ms par commande au lieu de %2 ms au rythme de la ligne, soit %3 s par passe "
           "au lieu de %4 s."_s.arg(decimal(static_cast<double>(medianCommandUs) / kUsPerMs),
                                    decimal(static_cast<double>(lineCommandUs()) / kUsPerMs),
                                    decimal(static_cast<double>(passMsAt(medianCommandUs)) / kMsPerSecond),
                                    decimal(static_cast<double>(passMsAt(lineCommandUs())) / kMsPerSecond));
}

QString slowLinkAdvice(const QString &portName, const AdapterTimer &adapter, SlowLinkAdvice advice)
{
    const int timerMs = adapter.timerMs.value_or(0);
    switch (advice) {
    case SlowLinkAdvice::LowerRegistryTimer:
        return u"L'adaptateur USB FTDI de %1 retient les réponses : son temps de latence est de %2 ms (%3, "
               "LatencyTimer).\nUn administrateur le met à 1 ms par « torsa-cli latency %1 1 », ou dans le "
               "Gestionnaire de périphériques > Ports (COM et LPT) > %1 > Paramètres du port > Avancé > "
               "Temps de latence (ms) ; puis débrancher et rebrancher l'adaptateur."_s.arg(portName)
                   .arg(timerMs)
                   .arg(adapter.where);
    case SlowLinkAdvice::UdevRule:
        return u"Le pilote de l'adaptateur USB de %1 a refusé la basse latence : son temps de latence est de %2 ms "
               "(%3).\nUn administrateur le met à 1 ms par une règle udev, par exemple dans "
               "/etc/udev/rules.d/99-latence-usb-serie.rules : ACTION==\"add\", SUBSYSTEM==\"usb-serial\", "
               "DRIVER==\"ftdi_sio\", ATTR{latency_timer}=\"1\" ; puis rebrancher l'adaptateur."_s.arg(portName)
                   .arg(timerMs)
                   .arg(adapter.where);
    case SlowLinkAdvice::SlowAdapter: break;
    }
    return u"L'adaptateur de %1 est lent en lui-même (les CH340, CP210x et PL2303 n'ont pas de temps de latence "
           "à régler) : un adaptateur FTDI, ou un port série du PC, va au rythme de la ligne."_s.arg(portName);
}

std::optional<QString> slowLink(const QString &portName, std::optional<std::int64_t> medianCommandUs,
                                const AdapterTimer &adapter, Platform platform)
{
    if (!medianCommandUs || !holdsAnswers(*medianCommandUs))
        return std::nullopt;
    return slowLinkFigures(*medianCommandUs) + u'\n' + slowLinkAdvice(portName, adapter, adviceFor(platform, adapter));
}

QString lowerLatencyOffer(const QString &portName)
{
    return u"Mettre le temps de latence de %1 à 1 ms maintenant ?\nWindows demandera l'accord d'un "
           "administrateur ; l'adaptateur sera ensuite à débrancher et rebrancher."_s.arg(portName);
}

QString lowerLatencyNotStarted()
{
    return u"Le changement du temps de latence n'a pas pu être lancé."_s;
}

QString latencyWriteResult(const QString &portName, int ms, platform::LatencyWrite result, Platform platform)
{
    switch (result) {
    case platform::LatencyWrite::Written:
        return u"Temps de latence de %1 mis à %2 ms : "_s.arg(portName).arg(ms)
            + (platform == Platform::Windows
                   ? u"pris en compte quand l'adaptateur sera débranché et rebranché."_s
                   : u"pris en compte aussitôt, jusqu'à ce que l'adaptateur soit débranché."_s);
    case platform::LatencyWrite::NoTimer:
        return u"%1 n'a pas de temps de latence à régler (ce n'est pas un adaptateur FTDI)."_s.arg(portName);
    case platform::LatencyWrite::NotPermitted:
        return u"Il faut les droits d'administrateur pour changer le temps de latence de %1 : rien n'a changé."_s.arg(
            portName);
    case platform::LatencyWrite::Failed: break;
    }
    return u"Le temps de latence de %1 n'a pas pu être écrit."_s.arg(portName);
}

} // namespace torsa::link::text
