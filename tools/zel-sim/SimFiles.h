#pragma once

// What zel-sim says and saves: its complaints on stderr, and the files it
// writes when it ends or a unit is taken away.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace zelsim {

void complain(const QString &text);

// False, said on stderr, when the file did not reach the disk whole.
bool saveFile(const QString &path, QByteArrayView bytes);

// The gap log's lines: one gap a line, in microseconds.
QByteArray gapLines(const std::vector<qint64> &gapsNs);

} // namespace zelsim
