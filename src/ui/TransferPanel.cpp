#include "TransferPanel.h"

#include "DesignedControls.h"
#include "link/TransferTexts.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace torsa {
namespace {

constexpr int kProgressMaximum = 8195;
// The status light is the background of the percentage.
constexpr QRgb kLightRunning = qRgb(192, 192, 192);
constexpr QRgb kLightFailed = qRgb(255, 0, 0);
constexpr QRgb kLightDone = qRgb(0, 255, 0);

} // namespace

TransferPanel::TransferPanel(link::TransferEngine &engine, QWidget *parent) : QGroupBox(parent), engine_(engine)
{
    using design::place;
    setObjectName(QStringLiteral("Cadre2"));
    setGeometry(twips::rect(120, 120, 7575, 1935));
    activity_ = place(new QLineEdit(this), u"Texte3", 1560, 240, 4335, 375);
    percent_ = place(new QLineEdit(this), u"Texte5", 2280, 840, 2895, 375);
    progress_ = place(new QProgressBar(this), u"ProgressBar1", 120, 1440, 7335, 375);
    progress_->setRange(0, kProgressMaximum);
    progress_->setValue(0);
    // The percentage is Texte5's; the bar shows the address alone.
    progress_->setTextVisible(false);
    activity_->setReadOnly(true);
    percent_->setReadOnly(true);
    percent_->setAutoFillBackground(true);
    times_ = place(new QLabel(this), u"Etiquette8", 120, 1215, 7335, 225);
    times_->setAlignment(Qt::AlignCenter);
    stopButton_ = place(new QPushButton(QStringLiteral("Arrêter"), this), u"Commande8", 6240, 780, 1095, 495);
    setTabOrder(activity_, percent_);

    connect(&engine_, &link::TransferEngine::progress, this, &TransferPanel::showProgress);
    connect(stopButton_, &QPushButton::clicked, &engine_, &link::TransferEngine::requestStop);
}

void TransferPanel::reset()
{
    setLight(kLightRunning);
    activity_->clear();
    percent_->clear();
    times_->clear();
}

void TransferPanel::begin()
{
    stopButton_->setEnabled(true);
}

void TransferPanel::end(bool succeeded)
{
    stopButton_->setEnabled(false);
    setLight(succeeded ? kLightDone : kLightFailed);
}

QWidget *TransferPanel::firstInFocusChain() const
{
    return activity_;
}

void TransferPanel::showProgress(int address)
{
    progress_->setValue(address);
    activity_->setText(link::text::activity(engine_.kind()));
    percent_->setText(link::text::percent(address));
    times_->setText(link::text::timeProgress(engine_.elapsedMs(), address));
}

void TransferPanel::setLight(QRgb colour)
{
    QPalette palette = percent_->palette();
    palette.setColor(QPalette::Base, QColor(colour));
    percent_->setPalette(palette);
}

} // namespace torsa
