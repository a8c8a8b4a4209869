// `torsa-cli list` on a full production file, as a whole process.

#include "files/ProductionFile.h"
#include "store/AddressMap.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace torsa;

namespace {

constexpr int kRuns = 100;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    MemoryImage image;
    for (int n = 0; n < address::kSlotCount; ++n) {
        image.set(address::unitCell(n), address::kPresenceFlag + n % 32);
        image.set(address::priorityCell(n), n);
        for (int i = 0; i < address::kTextCells; ++i)
            image.set(address::textStart(n) + i, 'A' + (n + i) % 26);
    }
    image.set(address::kModeCell, address::kModeLetterWithPlc);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plein.zel"));
    if (productionfile::write(path, image) != files::SaveResult::Saved) {
        std::fputs("cannot write the production file\n", stderr);
        return 1;
    }

    std::vector<double> millis;
    QElapsedTimer timer;
    qsizetype outputSize = 0;
    for (int i = 0; i < kRuns; ++i) {
        QProcess process;
        timer.start();
        process.start(QStringLiteral(TORSA_CLI_PATH), {QStringLiteral("list"), path});
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            std::fputs("torsa-cli list failed\n", stderr);
            return 1;
        }
        millis.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        outputSize = process.readAllStandardOutput().size();
    }
    std::sort(millis.begin(), millis.end());
    std::printf("torsa-cli list, full file (%lld bytes out)   median %6.2f ms   p99 %6.2f ms   (%d runs)\n",
                static_cast<long long>(outputSize), millis[millis.size() / 2], millis[millis.size() * 99 / 100], kRuns);
    return 0;
}
