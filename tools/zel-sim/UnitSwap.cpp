#include "UnitSwap.h"

#include "SimFiles.h"
#include "UnitSimulator.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace zelsim {

void UnitSwap::takeAway()
{
    if (!unit_.isPresent())
        return;
    // Saved before the next unit can overwrite it.
    if (!options_.saveEachPattern.isEmpty()
        && !saveFile(options_.saveEachPattern.arg(unit_.unitNumber()),
                     QByteArrayView(unit_.eeprom().data(), torsa::address::kImageSize)))
        saveFailed_ = true;
    unit_.takeAway();
    if (options_.verbose)
        complain(u"unit "_s + QString::number(unit_.unitNumber()) + u" taken away"_s);
    if (options_.absentMs)
        QTimer::singleShot(*options_.absentMs, &unit_, [this] { putIn(); });
}

void UnitSwap::putIn()
{
    if (unit_.isPresent())
        return;
    if (const QString error = unit_.putIn(); !error.isEmpty())
        complain(u"cannot load "_s + options_.loadPath + u": "_s + error);
    if (options_.verbose)
        complain(u"unit "_s + QString::number(unit_.unitNumber()) + u" in place"_s);
}

} // namespace zelsim
