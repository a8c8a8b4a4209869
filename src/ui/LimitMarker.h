#pragma once

// The marker of a one-line preview (Line1 to Line6): where the physical display
// ends inside the row of 40 cells. Drawn above the cells, it lets clicks through.

#include <QColor>
#include <QLine>
#include <QWidget>

#include <array>

namespace torsa {

class LimitMarker : public QWidget {
    Q_OBJECT

public:
    // lines in pixels of the parent's client area.
    LimitMarker(const std::array<QLine, 6> &lines, const QColor &colour, QWidget *parent);

    const std::array<QLine, 6> &lines() const { return lines_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::array<QLine, 6> lines_;
    QColor colour_;
};

} // namespace torsa
