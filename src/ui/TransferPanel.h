#pragma once

// The transfer panel, frame `Cadre2`, shown over the editor while a transfer
// runs: what is being done, the percentage on its status light, the progress
// bar (the address in transfer), the elapsed time and the time left, and
// "Arrêter", which ends the transfer after the byte in progress.

#include "link/TransferEngine.h"

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace torsa {

class TransferPanel : public QGroupBox {
    Q_OBJECT

public:
    TransferPanel(link::TransferEngine &engine, QWidget *parent);

    // The start of every transfer: texts empty, the light grey.
    void reset();
    // A transfer goes out: "Arrêter" on.
    void begin();
    // The light green or red, "Arrêter" off.
    void end(bool succeeded);

    QWidget *firstInFocusChain() const;

private:
    void showProgress(int address);
    void setLight(QRgb colour);

    link::TransferEngine &engine_;
    QLineEdit *activity_ = nullptr;
    QLineEdit *percent_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QLabel *times_ = nullptr;
    QPushButton *stopButton_ = nullptr;
};

} // namespace torsa
