#include "MainWindow.h"

#include "DesignedControls.h"
#include "DisplayMenu.h"
#include "MessageEditor.h"
#include "PortMenu.h"
#include "QtUserPrompts.h"
#include "TransferPanel.h"
#include "files/DroppedFiles.h"
#include "files/FileTexts.h"
#include "files/ProductionFile.h"
#include "link/LinkPlatform.h"
#include "link/SlowLinkTexts.h"
#include "link/TransferTexts.h"
#include "session/Refresh.h"
#include "session/Reports.h"
#include "session/TransferReport.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSessionManager>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace torsa {
namespace {

constexpr int kRefreshIntervalMs = 600;
constexpr QSize kClientArea(twips::toPixels(7785), twips::toPixels(4440));
const QString kHelpDocument = QStringLiteral("AIDE_TORSA.DOC");
const QString kQuitQuestion =
    QStringLiteral("Les messages ont été modifiés depuis le dernier enregistrement. Enregistrer avant de quitter ?");

// The production-file dialogs: their title, the zel filter first and selected
// (Qt takes the pattern from the parentheses that end a label); no default
// suffix, no initial directory, no overwrite question, no existence check.
FileRequest productionFileRequest(FileRequest::Kind kind)
{
    FileRequest request;
    request.kind = kind;
    request.title = kind == FileRequest::Kind::Save ? QStringLiteral("Enregistrer un fichier de production")
                                                    : QStringLiteral("Ouvrir un fichier de production");
    request.nameFilters = {QStringLiteral("Fichiers zel(*.zel)"), QStringLiteral("Tous les fichiers (*.*)")};
    request.selectedFilter = 0;
    return request;
}

// Replaces the listing only when it differs from what the box shows (the box keeps
// lines without their CR), keeping the scroll position and the selection, so that
// the 600 ms refresh neither flickers nor moves the reader's place.
void showListing(QPlainTextEdit &box, const QString &listing)
{
    QString shown = listing;
    shown.replace(kCrLf, QStringLiteral("\n"));
    if (box.toPlainText() == shown)
        return;
    const int vertical = box.verticalScrollBar()->value();
    const int horizontal = box.horizontalScrollBar()->value();
    // Positions, not the cursor: a cursor follows the document through the rewrite.
    const int anchor = box.textCursor().anchor();
    const int position = box.textCursor().position();
    box.setPlainText(shown);
    const int end = static_cast<int>(shown.size());
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(std::min(anchor, end));
    cursor.setPosition(std::min(position, end), QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    box.verticalScrollBar()->setValue(vertical);
    box.horizontalScrollBar()->setValue(horizontal);
}

} // namespace

MainWindow::MainWindow(std::unique_ptr<UserPrompts> prompts, QWidget *parent)
    : QMainWindow(parent)
    , prompts_(std::move(prompts))
{
    if (!prompts_)
        prompts_ = std::make_unique<QtUserPrompts>(this);
    setObjectName(QStringLiteral("principal"));
    setWindowTitle(QStringLiteral(" TORSA"));
    // A child, so that tests can follow it.
    transfer_.setObjectName(QStringLiteral("transfer"));
    transfer_.setParent(this);

    buildClientArea();
    buildMenus();
    connectParts();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setAcceptDrops(true);
    for (QObject *box : {static_cast<QObject *>(findChild<QWidget *>(QStringLiteral("Texte1"))),
                         static_cast<QObject *>(listing_->viewport())})
        box->installEventFilter(this);
    startUp();
    refreshTimer_->start();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildClientArea()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(kClientArea);
    client->setAutoFillBackground(true);
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, QColor(224, 224, 224));
    client->setPalette(palette);
    client->setFont(twips::captionFont(8.25, false));
    setCentralWidget(client);

    editor_ = new MessageEditor(session_, *prompts_, client);
    panel_ = new TransferPanel(transfer_, client);
    listing_ = design::place(new QPlainTextEdit(client), u"Texte2", 120, 2400, 7575, 1935);
    listing_->setFont(twips::fixedFont(8.25, false));
    listing_->setLineWrapMode(QPlainTextEdit::NoWrap);
    listing_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    countLabel_ = design::place(new QLabel(client), u"Etiquette4", 4560, 2160, 3135, 255);
    statusLabel_ = design::place(new QLabel(client), u"Etiquette3", 120, 2160, 4455, 255);
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setObjectName(QStringLiteral("Timer1"));
    refreshTimer_->setInterval(kRefreshIntervalMs);

    // Keyboard order of the design: the listing, the editor, then the panel.
    setTabOrder(listing_, editor_);
    setTabOrder(editor_->lastInFocusChain(), panel_->firstInFocusChain());
}

void MainWindow::buildMenus()
{
    using design::menu;
    using design::menuItem;
    QMenuBar *bar = menuBar();

    QMenu *file = menu(bar, u"MENU_FICHIERS", QStringLiteral("&Fichier"));
    QMenu *newSession = menu(file, u"MENU_NOUVEAU", QStringLiteral("Nouveau"));
    newWithoutPlcItem_ = menuItem(newSession, u"MENU_ED_SANS", QStringLiteral("Sans automate"), true);
    newWithPlcItem_ = menuItem(newSession, u"MENU_ED_AVEC", QStringLiteral("Avec automate "), true);
    modeMarks_ = new QActionGroup(this);
    modeMarks_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    modeMarks_->addAction(newWithoutPlcItem_);
    modeMarks_->addAction(newWithPlcItem_);
    file->addMenu(newSession);
    openItem_ = menuItem(file, u"MENU_OUVIR", QStringLiteral("Ouvrir"));
    saveItem_ = menuItem(file, u"MENU_ENREGISTRER", QStringLiteral("Enregistrer"));
    quitItem_ = menuItem(file, u"MENU_QUITTER", QStringLiteral("Quitter"));
    bar->addMenu(file);

    QMenu *edit = menu(bar, u"MENU_EDITION", QStringLiteral("&Edition"));
    undoCenteringItem_ = menuItem(edit, u"MENU_ED_ANNULER", QStringLiteral("Annuler (centrer)"));
    bar->addMenu(edit);

    displayMenu_ = new DisplayMenu(session_, *editor_, bar);
    bar->addMenu(displayMenu_);
    portMenu_ = new PortMenu(port_, *prompts_, bar);
    bar->addMenu(portMenu_);

    QMenu *transfer = menu(bar, u"MENU_OPTION", QStringLiteral("&Transfert"));
    programItem_ = menuItem(transfer, u"MENU_WRITE", QStringLiteral("Programmation PC -> ZEL"));
    readItem_ = menuItem(transfer, u"MENU_READ", QStringLiteral("Lecture ZEL -> PC"));
    verifyItem_ = menuItem(transfer, u"MENU_VERIF", QStringLiteral("Vérification"));
    bar->addMenu(transfer);

    QMenu *information = menu(bar, u"Menu_information", QStringLiteral("&?"));
    helpItem_ = menuItem(information, u"MENU_AIDE", QStringLiteral("&Aide"));
    menuItem(information, u"MENU_PLUS", QStringLiteral("&En savoir plus"))->setEnabled(false);
    bar->addMenu(information);
}

void MainWindow::connectParts()
{
    using link::TransferKind;
    connect(undoCenteringItem_, &QAction::triggered, editor_, &MessageEditor::undoCentering);
    connect(refreshTimer_, &QTimer::timeout, this, &MainWindow::refresh);

    connect(newWithoutPlcItem_, &QAction::triggered, this, [this] { startNewSession(SessionMode::WithoutPlc); });
    connect(newWithPlcItem_, &QAction::triggered, this, [this] { startNewSession(SessionMode::WithPlc); });
    connect(openItem_, &QAction::triggered, this, &MainWindow::chooseAndOpenProductionFile);
    connect(saveItem_, &QAction::triggered, this, &MainWindow::saveProductionFile);
    connect(quitItem_, &QAction::triggered, this, &MainWindow::quit);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::commitSession, Qt::DirectConnection);
    connect(helpItem_, &QAction::triggered, this, &MainWindow::openHelpDocument);

    connect(programItem_, &QAction::triggered, this, [this] { startTransfer(TransferKind::Program); });
    connect(readItem_, &QAction::triggered, this, [this] { startTransfer(TransferKind::Read); });
    connect(verifyItem_, &QAction::triggered, this, [this] { startTransfer(TransferKind::Verify); });
    connect(portMenu_, &PortMenu::linkTestRequested, this, &MainWindow::startLinkTest);
    connect(&transfer_, &link::TransferEngine::finished, this, &MainWindow::endTransfer);

    // The views follow the session: the marks, then the editor's ranges.
    connect(&session_, &Session::modeChanged, this, &MainWindow::showModeMarks);
    connect(&session_, &Session::modeChanged, editor_, &MessageEditor::showMode);
    connect(&session_, &Session::currentMessageChanged, editor_, &MessageEditor::showMessage);
}

// ------------------------------------------------------------- the session

void MainWindow::startUp()
{
    showTransferPanel(false);
    editor_->disableAll();
    listing_->setVisible(true);
}

void MainWindow::startNewSession(SessionMode mode)
{
    if (session_.startNew(mode, *prompts_))
        editor_->clearForNewSession();
    editor_->setEditorText(QString());
}

void MainWindow::showModeMarks(SessionMode mode)
{
    newWithPlcItem_->setChecked(mode == SessionMode::WithPlc);
    newWithoutPlcItem_->setChecked(mode == SessionMode::WithoutPlc);
}

void MainWindow::refresh()
{
    const RefreshTick tick = session_.tick();
    statusLabel_->setText(tick.statusCaption);
    countLabel_->setText(tick.countCaption);
    showListing(*listing_, tick.listing);
}

// ------------------------------------------------------------------- files

void MainWindow::chooseAndOpenProductionFile()
{
    const auto name = prompts_->chooseFile(productionFileRequest(FileRequest::Kind::Open));
    if (name && !name->isEmpty())
        openProductionFile(*name);
}

void MainWindow::openProductionFile(const QString &name)
{
    // The whole file is checked first: a refused file leaves the image, the mode
    // and the editor as they were.
    const auto opened = productionfile::read(name);
    if (!opened) {
        prompts_->tell(filetexts::openError(name), PromptIcon::None);
        return;
    }
    session_.open(*opened, *prompts_);
}

void MainWindow::openFromArguments(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return;
    // Once the window is on screen, so that the report stands over it.
    QMetaObject::invokeMethod(
        this, [this, name = arguments.at(1)] { openProductionFile(name); }, Qt::QueuedConnection);
}

bool MainWindow::saveProductionFile()
{
    const auto name = prompts_->chooseFile(productionFileRequest(FileRequest::Kind::Save));
    if (!name || name->isEmpty())
        return false;
    if (productionfile::write(*name, session_.image()) != files::SaveResult::Saved) {
        prompts_->tell(filetexts::saveError(*name), PromptIcon::None);
        return false;
    }
    session_.markSaved();
    return true;
}

void MainWindow::openDropped(const QList<QUrl> &urls)
{
    if (transfer_.isRunning())
        return;
    const dropped::Choice choice = dropped::choose(urls);
    if (choice.file.isEmpty())
        prompts_->tell(choice.refusal, PromptIcon::None);
    else
        openProductionFile(choice.file);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    // Refused while a transfer runs, as "Ouvrir" is.
    if (event->mimeData()->hasUrls() && !transfer_.isRunning())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls() || transfer_.isRunning())
        return;
    event->acceptProposedAction();
    // After the drop has ended, so that the file manager is not kept waiting
    // by the report.
    QMetaObject::invokeMethod(
        this, [this, urls = event->mimeData()->urls()] { openDropped(urls); }, Qt::QueuedConnection);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    const bool dragOrDrop =
        event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || event->type() == QEvent::Drop;
    if (!dragOrDrop || !static_cast<QDropEvent *>(event)->mimeData()->hasUrls())
        return QMainWindow::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    if (event->type() == QEvent::Drop)
        dropEvent(drop);
    else if (!transfer_.isRunning())
        drop->acceptProposedAction();
    else
        drop->ignore();
    return true;
}

// --------------------------------------------------------------- quitting

bool MainWindow::agreeToEnd()
{
    if (endAgreed_ || !session_.isModified())
        return true;
    switch (prompts_->askYesNoCancel(kQuitQuestion, PromptIcon::Question)) {
    case Answer::Yes: endAgreed_ = saveProductionFile(); break;
    case Answer::No: endAgreed_ = true; break;
    case Answer::Cancel: break;
    }
    return endAgreed_;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (agreeToEnd())
        event->accept();
    else
        event->ignore();
}

void MainWindow::quit()
{
    // Every open window closes with the program, the previews included.
    if (!close())
        return;
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void MainWindow::commitSession(QSessionManager &manager)
{
    // Without leave to ask, nothing is asked and nothing saved.
    if (!manager.allowsInteraction())
        return;
    const bool ends = agreeToEnd();
    manager.release();
    if (!ends)
        manager.cancel();
}

// --------------------------------------------------------------- the link

void MainWindow::startTransfer(link::TransferKind kind)
{
    if (transfer_.isRunning())
        return;
    panel_->reset();
    if (!portMenu_->hasChosenPort()) {
        prompts_->tell(link::text::selectPortFirst(), PromptIcon::Exclamation);
        return;
    }
    // Refused before the question, as nothing would be sent.
    if (const auto refused = link::TransferEngine::refusalBeforeStart(kind, session_.image())) {
        const reports::TransferReport report = reports::forTransfer(*refused, session_.image());
        prompts_->tell(report.text, report.icon);
        return;
    }
    if (!prompts_->askYesNo(link::text::confirmation(kind), PromptIcon::Question))
        return;
    showTransferPanel(true);
    panel_->begin();
    setNestingCommandsEnabled(false);
    transfer_.start(kind);
}

void MainWindow::startLinkTest()
{
    if (transfer_.isRunning())
        return;
    if (!portMenu_->hasChosenPort()) {
        prompts_->tell(link::text::selectPortFirst(), PromptIcon::Exclamation);
        return;
    }
    setNestingCommandsEnabled(false);
    transfer_.start(link::TransferKind::LinkTest);
}

void MainWindow::endTransfer(const link::TransferOutcome &outcome)
{
    using link::TransferKind;
    const bool withPanel = outcome.kind != TransferKind::LinkTest;
    if (withPanel)
        panel_->end(outcome.succeeded());
    session_.finishTransfer(outcome, *prompts_);
    if (withPanel)
        showTransferPanel(false);
    tellSlowLink(outcome);
    setNestingCommandsEnabled(true);
}

void MainWindow::tellSlowLink(const link::TransferOutcome &outcome)
{
    const QString name = portMenu_->chosenPortName();
    const auto slow = link::text::slowLink(name, outcome.medianCommandUs, port_.adapter());
    if (!slow || slowLinkToldAt_ == port_.openings())
        return;
    slowLinkToldAt_ = port_.openings();
    // Windows with an FTDI adapter: offered at once, through the elevation prompt.
    if (link::adviceFor(link::currentPlatform(), port_.adapter()) != link::SlowLinkAdvice::LowerRegistryTimer) {
        prompts_->tell(*slow, PromptIcon::Information);
        return;
    }
    constexpr int kLowestMs = 1;
    if (prompts_->askYesNo(*slow + QStringLiteral("\n\n") + link::text::lowerLatencyOffer(name),
                           PromptIcon::Information)
        && !link::platform::writeLatencyTimerElevated(name, kLowestMs))
        prompts_->tell(link::text::lowerLatencyNotStarted(), PromptIcon::Exclamation);
}

void MainWindow::showTransferPanel(bool shown)
{
    editor_->setVisible(!shown);
    panel_->setVisible(shown);
}

void MainWindow::setNestingCommandsEnabled(bool enabled)
{
    for (QAction *item : {newWithoutPlcItem_, newWithPlcItem_, openItem_, programItem_, readItem_, verifyItem_})
        item->setEnabled(enabled);
    portMenu_->setItemsEnabled(enabled);
}

// -------------------------------------------------------------------- help

void MainWindow::openHelpDocument()
{
    // The document is looked for in the current directory, then beside the program
    // (a build tree), then in the program's data folders (an installed program:
    // /usr/share/torsa). Nothing is said when it cannot be opened.
    QFileInfo document(QDir::current().absoluteFilePath(kHelpDocument));
    if (!document.exists())
        document = QFileInfo(QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(kHelpDocument));
    if (!document.exists())
        document = QFileInfo(QStandardPaths::locate(QStandardPaths::AppDataLocation, kHelpDocument));
    if (document.isFile())
        QDesktopServices::openUrl(QUrl::fromLocalFile(document.absoluteFilePath()));
}

} // namespace torsa
