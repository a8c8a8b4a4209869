#include "Diagnostic.h"

#include "link/TransferVerdict.h"
#include "store/MemoryImage.h"

namespace torsa::production {

using namespace Qt::StringLiterals;
using link::TransferVerdict;

std::optional<Diagnostic> diagnosticOf(const link::TransferOutcome &outcome, const MemoryImage &image)
{
    switch (link::verdictOf(outcome)) {
    case TransferVerdict::Mismatch: return Diagnostic{outcome.address, image.at(outcome.address), outcome.readValue};
    case TransferVerdict::NoAnswer: return Diagnostic{outcome.address, std::nullopt, std::nullopt};
    case TransferVerdict::Success:
    case TransferVerdict::Stopped:
    case TransferVerdict::CellRefused:
    case TransferVerdict::PortRefused:
    case TransferVerdict::LinkTestFailed:
    case TransferVerdict::FileNotWritten: break;
    }
    return std::nullopt;
}

QString diagnosticText(const Diagnostic &diagnostic)
{
    if (diagnostic.expected && diagnostic.read)
        return u"Adresse %1 : octet attendu %2, octet lu %3"_s.arg(diagnostic.address)
            .arg(*diagnostic.expected)
            .arg(*diagnostic.read);
    return u"L'unité ne répond plus à l'adresse %1"_s.arg(diagnostic.address);
}

} // namespace torsa::production
