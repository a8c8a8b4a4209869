#include "TileWidget.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace torsa::station {

using namespace Qt::StringLiterals;
using production::TileView;

namespace {

QString background(TileView::State state)
{
    switch (state) {
    case TileView::State::Waiting: return u"#d9d9d9"_s;
    case TileView::State::Unavailable: return u"#bfbfbf"_s;
    case TileView::State::Running: return u"#b9d3f5"_s;
    case TileView::State::Good: return u"#7ed37e"_s;
    case TileView::State::Failed: break;
    }
    return u"#f06a6a"_s;
}

QLabel *tileLabel(const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return label;
}

constexpr int kPercentMax = 100;

} // namespace

TileWidget::TileWidget(const QString &port, QWidget *parent)
    : QFrame(parent)
    , port_(tileLabel(u"port"_s, this))
    , unit_(tileLabel(u"unite"_s, this))
    , status_(tileLabel(u"etat"_s, this))
    , detail_(tileLabel(u"detail"_s, this))
    , time_(tileLabel(u"temps"_s, this))
    , warning_(tileLabel(u"avertissement"_s, this))
    , progress_(new QProgressBar(this))
{
    setObjectName(u"tuile "_s + port);
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    progress_->setRange(0, kPercentMax);
    progress_->setTextVisible(false);
    warning_->setStyleSheet(u"color: #7a3d00;"_s);
    auto *layout = new QVBoxLayout(this);
    for (QWidget *part : std::initializer_list<QWidget *>{port_, unit_, status_, progress_, detail_, time_, warning_})
        layout->addWidget(part);
    port_->setText(port);
    showTile(TileView{TileView::State::Waiting, port, {}, {}, {}, {}, {}, -1});
}

void TileWidget::showTile(const TileView &tile)
{
    // A style sheet is costly to apply: only when the colour changes.
    if (tile.state != state_ || styleSheet().isEmpty())
        setStyleSheet(
            u"torsa--station--TileWidget { background: %1; border: 1px solid #606060; }"_s.arg(background(tile.state)));
    state_ = tile.state;
    unit_->setText(tile.unit);
    status_->setText(tile.status);
    detail_->setText(tile.detail);
    time_->setText(tile.time);
    warning_->setText(tile.warning);
    warning_->setVisible(!tile.warning.isEmpty());
    progress_->setVisible(tile.percent >= 0);
    progress_->setValue(std::max(tile.percent, 0));
}

void TileWidget::setScale(int pointSize)
{
    QFont base = font();
    base.setPointSize(pointSize);
    for (QLabel *label : {unit_, detail_, time_, warning_})
        label->setFont(base);
    QFont large = base;
    large.setBold(true);
    large.setPointSize(pointSize * 3 / 2);
    port_->setFont(large);
    status_->setFont(large);
}

} // namespace torsa::station
