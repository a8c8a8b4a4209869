#include "LimitMarker.h"

#include <QPainter>
#include <QPen>

namespace torsa {
namespace {
constexpr int kPenWidth = 2;
}

LimitMarker::LimitMarker(const std::array<QLine, 6> &lines, const QColor &colour, QWidget *parent)
    : QWidget(parent)
    , lines_(lines)
    , colour_(colour)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void LimitMarker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour_, kPenWidth);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.drawLines(lines_.data(), static_cast<int>(lines_.size()));
}

} // namespace torsa
