#include "StationWindow.h"

#include "TileWidget.h"

#include "ImageHash.h"
#include "RunTexts.h"
#include "StationTile.h"

#include "files/FileTexts.h"
#include "link/SerialPorts.h"
#include "store/AddressMap.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <chrono>
#include <cmath>
#include <utility>

namespace torsa::station {

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using production::ProductionRun;
using production::RunPort;

namespace {

constexpr auto kRedrawInterval = 250ms;
constexpr int kModeWithPlc = 65;
constexpr int kModeWithoutPlc = 83;
constexpr int kTotalPointSize = 28;
// The tiles' text from one tile a row to four and more.
constexpr int kLargestTileText = 22;
constexpr int kSmallestTileText = 10;

QString modeName(int modeCell)
{
    if (modeCell == kModeWithPlc)
        return u"Avec automate"_s;
    if (modeCell == kModeWithoutPlc)
        return u"Sans automate"_s;
    return u"sans mode"_s;
}

// "ligne3.zel : 8192 octets, Avec automate, 25 messages" and its SHA-256.
QString fileFacts(const production::JobFile &file)
{
    const int messages = file.image.presentCount();
    return u"%1 : %2 octets, %3, %4 message%5\nSHA-256 %6"_s.arg(QFileInfo(file.path).fileName())
        .arg(file.size)
        .arg(modeName(file.image.at(address::kModeCell)))
        .arg(messages)
        .arg(messages > 1 ? u"s"_s : QString())
        .arg(QString::fromLatin1(file.sha256));
}

QLabel *totalLabel(const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(u"0"_s, parent);
    label->setObjectName(objectName);
    QFont font = label->font();
    font.setPointSize(kTotalPointSize);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

int columnsFor(std::size_t tiles)
{
    return std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(tiles)))));
}

} // namespace

StationWindow::StationWindow(StationArguments given, QWidget *parent) : QMainWindow(parent), given_(std::move(given))
{
    setObjectName(u"station"_s);
    setWindowTitle(u"TORSA - Station de production"_s);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    job_ = buildJob();
    layout->addWidget(job_);
    auto *buttons = new QHBoxLayout;
    startButton_ = new QPushButton(u"Démarrer"_s, central);
    startButton_->setObjectName(u"Démarrer"_s);
    stopButton_ = new QPushButton(u"Arrêter"_s, central);
    stopButton_->setObjectName(u"Arrêter"_s);
    stopButton_->setEnabled(false);
    message_ = new QLabel(central);
    message_->setObjectName(u"message"_s);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    buttons->addWidget(startButton_);
    buttons->addWidget(stopButton_);
    buttons->addWidget(message_, 1);
    layout->addLayout(buttons);
    layout->addWidget(buildTotals());
    auto *scroll = new QScrollArea(central);
    scroll->setWidgetResizable(true);
    tileArea_ = new QWidget(scroll);
    tileGrid_ = new QGridLayout(tileArea_);
    scroll->setWidget(tileArea_);
    layout->addWidget(scroll, 1);
    setCentralWidget(central);
    redraw_.setInterval(kRedrawInterval);
    listPorts();
    lockGiven();
    connectParts();
    checkFile();
    if (!given_.problem.isEmpty())
        say(given_.problem + u'\n' + stationUsage(), true);
    else if (given_.startsAtOnce())
        QTimer::singleShot(0, this, &StationWindow::start);
}

StationWindow::~StationWindow() = default;

QWidget *StationWindow::buildJob()
{
    auto *box = new QGroupBox(u"Travail"_s, this);
    auto *form = new QFormLayout(box);
    fileEdit_ = new QLineEdit(given_.file, box);
    fileEdit_->setObjectName(u"fichier"_s);
    fileButton_ = new QPushButton(u"Choisir..."_s, box);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(fileEdit_, 1);
    fileRow->addWidget(fileButton_);
    form->addRow(u"Fichier de production :"_s, fileRow);
    fileFacts_ = new QLabel(box);
    fileFacts_->setObjectName(u"empreinte"_s);
    fileFacts_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QString(), fileFacts_);
    expectedEdit_ = new QLineEdit(given_.expectedSha256, box);
    expectedEdit_->setObjectName(u"sha256"_s);
    form->addRow(u"SHA-256 attendu :"_s, expectedEdit_);
    logEdit_ = new QLineEdit(given_.log, box);
    logEdit_->setObjectName(u"journal"_s);
    logButton_ = new QPushButton(u"Choisir..."_s, box);
    auto *logRow = new QHBoxLayout;
    logRow->addWidget(logEdit_, 1);
    logRow->addWidget(logButton_);
    form->addRow(u"Journal :"_s, logRow);
    portList_ = new QListWidget(box);
    portList_->setObjectName(u"ports"_s);
    constexpr int kPortRowsShown = 4;
    portList_->setFixedHeight(portList_->fontMetrics().height() * kPortRowsShown * 3 / 2);
    form->addRow(u"Ports :"_s, portList_);
    return box;
}

QWidget *StationWindow::buildTotals()
{
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    good_ = totalLabel(u"bonnes"_s, box);
    failed_ = totalLabel(u"echecs"_s, box);
    running_ = totalLabel(u"en cours"_s, box);
    for (const auto &[caption, figure] :
         {std::pair{u"Bonnes"_s, good_}, std::pair{u"En échec"_s, failed_}, std::pair{u"En cours"_s, running_}}) {
        auto *column = new QVBoxLayout;
        auto *name = new QLabel(caption, box);
        name->setAlignment(Qt::AlignCenter);
        column->addWidget(name);
        column->addWidget(figure);
        row->addLayout(column);
    }
    good_->setStyleSheet(u"color: #1e7b1e;"_s);
    failed_->setStyleSheet(u"color: #b01e1e;"_s);
    return box;
}

void StationWindow::connectParts()
{
    connect(startButton_, &QPushButton::clicked, this, &StationWindow::start);
    connect(stopButton_, &QPushButton::clicked, this, &StationWindow::stop);
    connect(fileButton_, &QPushButton::clicked, this, &StationWindow::chooseFile);
    connect(logButton_, &QPushButton::clicked, this, &StationWindow::chooseLog);
    connect(fileEdit_, &QLineEdit::editingFinished, this, &StationWindow::checkFile);
    connect(expectedEdit_, &QLineEdit::editingFinished, this, &StationWindow::checkFile);
    connect(&redraw_, &QTimer::timeout, this, &StationWindow::refresh);
    // SIGINT and SIGTERM from a script end the station as closing it does.
    connect(&interrupts_, &production::Interrupts::requested, this, &StationWindow::close);
}

void StationWindow::lockGiven()
{
    const bool fileGiven = !given_.file.isEmpty();
    fileEdit_->setReadOnly(fileGiven);
    fileButton_->setEnabled(!fileGiven);
    expectedEdit_->setReadOnly(!given_.expectedSha256.isEmpty() || fileGiven);
    logEdit_->setReadOnly(!given_.log.isEmpty());
    logButton_->setEnabled(given_.log.isEmpty());
    portList_->setEnabled(given_.ports.isEmpty());
}

void StationWindow::listPorts()
{
    QStringList names;
    for (const link::PresentPort &present : link::presentPorts())
        names << present.name;
    // A port given that the system does not list (a pseudo-terminal, an
    // adapter not yet plugged in) has its line too.
    for (const QString &port : given_.ports) {
        if (!names.contains(port))
            names << port;
    }
    for (const QString &name : names) {
        auto *item = new QListWidgetItem(name, portList_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(given_.ports.contains(name) ? Qt::Checked : Qt::Unchecked);
    }
}

void StationWindow::chooseFile()
{
    const QString chosen = QFileDialog::getOpenFileName(this, u"Fichier de production"_s, fileEdit_->text(),
                                                        u"Fichiers de production (*.zel)"_s);
    if (chosen.isEmpty())
        return;
    fileEdit_->setText(chosen);
    checkFile();
}

void StationWindow::chooseLog()
{
    const QString chosen = QFileDialog::getSaveFileName(this, u"Journal"_s, logEdit_->text(), u"Journal (*.csv)"_s,
                                                        nullptr, QFileDialog::DontConfirmOverwrite);
    if (!chosen.isEmpty())
        logEdit_->setText(chosen);
}

void StationWindow::checkFile()
{
    const QString path = fileEdit_->text();
    const QString expected = expectedEdit_->text().trimmed().toLower();
    file_ = path.isEmpty() ? production::JobFileCheck{} : production::checkJobFile(path, expected);
    if (file_.file && !file_.exactSize) {
        file_.refusal =
            u"Le fichier %1 n'a pas %2 octets : %3 octets."_s.arg(path).arg(address::kImageSize).arg(file_.file->size);
        file_.file.reset();
    }
    if (!expected.isEmpty() && !production::isSha256Hex(expected)) {
        file_.refusal = u"Le SHA-256 attendu a 64 chiffres hexadécimaux."_s;
        file_.file.reset();
    }
    fileFacts_->setText(file_.file ? fileFacts(*file_.file) : file_.refusal.trimmed());
    fileFacts_->setStyleSheet(file_.file ? QString() : u"color: #b01e1e;"_s);
}

QStringList StationWindow::tickedPorts() const
{
    QStringList ports;
    for (int row = 0; row < portList_->count(); ++row) {
        if (portList_->item(row)->checkState() == Qt::Checked)
            ports << portList_->item(row)->text();
    }
    return ports;
}

void StationWindow::say(const QString &text, bool failure)
{
    message_->setText(text);
    message_->setStyleSheet(failure ? u"color: #b01e1e; font-weight: bold;"_s : QString());
}

void StationWindow::start()
{
    if (isRunning())
        return;
    checkFile();
    if (!file_.file) {
        say(file_.refusal.isEmpty() ? u"Choisir le fichier de production."_s : file_.refusal.trimmed(), true);
        return;
    }
    const production::RunPorts ports = production::runPorts(tickedPorts());
    if (!ports.refusal.isEmpty() || ports.ports.empty()) {
        say(ports.ports.empty() && ports.refusal.isEmpty() ? u"Cocher au moins un port."_s : ports.refusal, true);
        return;
    }
    // A record that cannot be kept stops the station before any unit is reached.
    log_ = std::make_unique<production::RunLog>();
    if (!logEdit_->text().isEmpty() && !log_->open(logEdit_->text())) {
        say(filetexts::saveError(logEdit_->text()), true);
        return;
    }
    const production::UnitRun::Job job{link::TransferKind::Program, true, file_.file->path, file_.file->image};
    run_ = std::make_unique<ProductionRun>(job, ports.ports, ProductionRun::Shape::UnitAfterUnit,
                                           log_->isOpen() ? log_.get() : nullptr);
    connect(run_.get(), &ProductionRun::unavailable, this,
            [this](const RunPort &port, const QString &text) { unavailable_[&port] = text; });
    connect(run_.get(), &ProductionRun::unitStarted, this, &StationWindow::refresh);
    connect(run_.get(), &ProductionRun::unitFinished, this, &StationWindow::refresh);
    connect(run_.get(), &ProductionRun::finished, this, &StationWindow::onFinished);
    unavailable_.clear();
    layTiles();
    job_->setEnabled(false);
    startButton_->setEnabled(false);
    stopButton_->setEnabled(true);
    say(u"En attente des unités."_s, false);
    run_->start();
    redraw_.start();
    refresh();
}

void StationWindow::stop()
{
    if (!isRunning())
        return;
    stopButton_->setEnabled(false);
    say(u"Arrêt après l'octet en cours..."_s, false);
    run_->stop();
}

void StationWindow::closeEvent(QCloseEvent *event)
{
    // The window closes once every unit has ended and has its rows in the log.
    if (isRunning()) {
        closeWhenStopped_ = true;
        stop();
        event->ignore();
        return;
    }
    event->accept();
}

void StationWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layTiles();
}

void StationWindow::layTiles()
{
    if (run_ == nullptr)
        return;
    const auto &ports = run_->ports();
    if (tiles_.size() != ports.size()) {
        for (TileWidget *tile : tiles_)
            delete tile;
        tiles_.clear();
        const int columns = columnsFor(ports.size());
        for (std::size_t i = 0; i < ports.size(); ++i) {
            auto *tile = new TileWidget(ports[i]->port().given, tileArea_);
            tileGrid_->addWidget(tile, static_cast<int>(i) / columns, static_cast<int>(i) % columns);
            tiles_.push_back(tile);
        }
    }
    // Fewer tiles a row, larger texts: the tile's width decides.
    const int columns = columnsFor(tiles_.size());
    const int tileWidth = tileArea_->width() / columns;
    constexpr int kPixelsPerPoint = 40;
    const int pointSize = std::clamp(tileWidth / kPixelsPerPoint, kSmallestTileText, kLargestTileText);
    for (TileWidget *tile : tiles_)
        tile->setScale(pointSize);
}

void StationWindow::refresh()
{
    if (run_ == nullptr)
        return;
    const auto &ports = run_->ports();
    int running = 0;
    for (std::size_t i = 0; i < ports.size() && i < tiles_.size(); ++i) {
        const RunPort &port = *ports[i];
        const auto unavailable = unavailable_.find(&port);
        const production::TileView tile = production::tileOf(
            port, run_->numbersOnPort(port), unavailable != unavailable_.end() ? unavailable->second : QString());
        tiles_[i]->showTile(tile);
        running += tile.state == production::TileView::State::Running ? 1 : 0;
    }
    good_->setText(QString::number(run_->goodUnits()));
    failed_->setText(QString::number(run_->failedUnits()));
    running_->setText(QString::number(running));
}

void StationWindow::onFinished()
{
    redraw_.stop();
    refresh();
    QString verdict = production::text::verdictLine(run_->verdicts());
    if (run_->logFailed())
        verdict += u'\n' + filetexts::saveError(log_->path());
    say(verdict, run_->failedUnits() > 0 || run_->logFailed());
    job_->setEnabled(true);
    startButton_->setEnabled(true);
    stopButton_->setEnabled(false);
    if (closeWhenStopped_)
        close();
}

} // namespace torsa::station
