#include "MainWindow.h"

#include "QtUserPrompts.h"
#include "Twips.h"
#include "editor/Refresh.h"
#include "editor/SlotShift.h"
#include "files/FileDialogSettings.h"
#include "files/FileReport.h"
#include "files/ProductionFile.h"
#include "link/PortNames.h"
#include "link/TransferTexts.h"
#include "store/CharCodes.h"
#include "store/MessageText.h"
#include "store/Validation.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <limits>

namespace torsa {
namespace {

constexpr QRect kClientArea = twips::rect(0, 0, 7785, 4440);
constexpr int kRefreshIntervalMs = 600;
constexpr int kUnitMaximum = 31;
constexpr int kMessageBarDesignMaximum = 189;
constexpr int kPriorityBarDesignMaximum = 180;
constexpr int kProgressMaximum = 8195;
constexpr int kBlinkBoxFirstLeft = 2580;    // twips, Coche2
constexpr int kBlinkBoxPitch = 120;         // twips, one Courier New character
constexpr int kShownMessageCharacters = 40; // what a refusal leaves in the text box
// Status light of the transfer panel (background of Texte5).
constexpr QRgb kLightRunning = qRgb(192, 192, 192);
constexpr QRgb kLightFailed = qRgb(255, 0, 0);
constexpr QRgb kLightDone = qRgb(0, 255, 0);

const QString kSansSerif = QStringLiteral("MS Sans Serif");
const QString kCourier = QStringLiteral("Courier New");
const QString kHelpDocument = QStringLiteral("AIDE_TORSA.DOC");

template <typename Widget>
Widget *place(Widget *widget, const char16_t *name, const QRect &geometry)
{
    widget->setObjectName(QString::fromUtf16(name));
    widget->setGeometry(geometry);
    return widget;
}

QAction *menuItem(QMenu *menu, const char16_t *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromUtf16(name));
    return action;
}

QMenu *subMenu(QWidget *parent, const char16_t *name, const QString &caption)
{
    auto *menu = new QMenu(caption, parent);
    menu->setObjectName(QString::fromUtf16(name));
    menu->menuAction()->setObjectName(QString::fromUtf16(name));
    return menu;
}

// Every character of the text box exactly one box wide, whatever the font's own advance.
QFont monospacedToPitch(QFont font, int pitch)
{
    const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('M'));
    font.setLetterSpacing(QFont::AbsoluteSpacing, pitch - advance);
    return font;
}

QScrollBar *horizontalBar(QWidget *parent, int maximum)
{
    auto *bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setRange(0, maximum);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    return bar;
}

// The production-file dialogs: title, the zel filter first and selected.
FileRequest productionFileRequest(FileRequest::Kind kind)
{
    FileRequest request;
    request.kind = kind;
    request.title = (kind == FileRequest::Kind::Save ? filedialog::kSaveTitle : filedialog::kOpenTitle).toString();
    for (const QStringView filter : filedialog::kNameFilters)
        request.nameFilters.append(filter.toString());
    request.selectedFilter = filedialog::kFilterIndex - 1;
    return request;
}

// Replaces the listing only when it differs from what the box shows (the box keeps
// lines without their CR), keeping the scroll position and the selection, so that
// the 600 ms refresh neither flickers nor moves the reader's place.
void showListing(QPlainTextEdit &box, const QString &listing)
{
    QString shown = listing;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
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
    : QMainWindow(parent), prompts_(std::move(prompts))
{
    if (!prompts_)
        prompts_ = std::make_unique<QtUserPrompts>(this);

    setObjectName(QStringLiteral("principal"));
    setWindowTitle(QStringLiteral(" TORSA"));
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(kClientArea.size());
    client->setAutoFillBackground(true);
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, QColor(224, 224, 224));
    client->setPalette(palette);
    client->setFont(twips::font(kSansSerif, 8.25, false));
    setCentralWidget(client);

    buildEditorFrame();
    buildTransferPanel();
    buildStatusAndListing();
    buildMenus();
    connectSignals();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    Form_Load();
    Timer1->start();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildEditorFrame()
{
    QWidget *client = centralWidget();
    Cadre1 = place(new QGroupBox(QStringLiteral("Edition message"), client), u"Cadre1", twips::rect(120, 120, 7575, 1935));

    Etiquette1 = place(new QLabel(QStringLiteral(" Message n°000"), Cadre1), u"Etiquette1", twips::rect(120, 360, 2295, 375));
    Etiquette1->setFont(twips::font(kCourier, 12, true));
    DefilementH1 = place(horizontalBar(Cadre1, kMessageBarDesignMaximum), u"DéfilementH1", twips::rect(120, 840, 2295, 255));
    Etiquette2 = place(new QLabel(QStringLiteral("Unité 0"), Cadre1), u"Etiquette2", twips::rect(120, 1200, 1095, 255));
    Etiquette2->setFont(twips::font(kSansSerif, 8.25, true));
    Etiquette7 = place(new QLabel(QStringLiteral("Priorité 0"), Cadre1), u"Etiquette7", twips::rect(1200, 1200, 1215, 255));
    Etiquette7->setFont(twips::font(kSansSerif, 8.25, true));
    DefilementH2 = place(horizontalBar(Cadre1, kUnitMaximum), u"DéfilementH2", twips::rect(120, 1440, 1095, 255));
    DefilementH3 = place(horizontalBar(Cadre1, kPriorityBarDesignMaximum), u"DéfilementH3", twips::rect(1200, 1440, 1215, 255));

    Texte1 = place(new QLineEdit(Cadre1), u"Texte1", twips::rect(2550, 360, 4935, 375));
    Texte1->setFont(monospacedToPitch(twips::font(kCourier, 9.75, true), twips::toPixels(kBlinkBoxPitch)));
    Texte1->setMaxLength(std::numeric_limits<int>::max());
    // A thin border and no padding put the first character over Coche2.
    Texte1->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid #808080; padding: 0px; background: white; }"));
    Label1 = place(new QLabel(QStringLiteral("( Cocher les cases des caractères clignotants si nécessaire )"), Cadre1),
                   u"Label1", twips::rect(2760, 840, 4455, 255));

    // The boxes overlap the lower edge of the text box, one under each character.
    for (int k = 2; k <= kBlinkBoxCount + 1; ++k) {
        auto *box = new QCheckBox(QStringLiteral("Check1"), Cadre1);
        box->setObjectName(QStringLiteral("Coche%1").arg(k));
        box->setGeometry(twips::rect(kBlinkBoxFirstLeft + kBlinkBoxPitch * (k - 2), 660, 135, 195));
        box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 0px; }"
                                          "QCheckBox::indicator { width: 7px; height: 7px; }"));
        Coche[static_cast<std::size_t>(k - 2)] = box;
    }

    Commande7 = place(new QPushButton(QStringLiteral("Effacer"), Cadre1), u"Commande7", twips::rect(2880, 1200, 975, 495));
    Commande1 = place(new QPushButton(QStringLiteral("Insérer"), Cadre1), u"Commande1", twips::rect(3960, 1200, 975, 495));
    Commande2 = place(new QPushButton(QStringLiteral("Centrer"), Cadre1), u"Commande2", twips::rect(5040, 1200, 975, 495));
    Commande6 = place(new QPushButton(QStringLiteral("Valider"), Cadre1), u"Commande6", twips::rect(6240, 1200, 1095, 495));
    for (QPushButton *button : {Commande7, Commande1, Commande2})
        button->setFont(twips::font(kSansSerif, 9.75, true));
    Commande6->setFont(twips::font(kSansSerif, 12, true));
}

void MainWindow::buildTransferPanel()
{
    QWidget *client = centralWidget();
    Cadre2 = place(new QGroupBox(client), u"Cadre2", twips::rect(120, 120, 7575, 1935));
    Texte3 = place(new QLineEdit(Cadre2), u"Texte3", twips::rect(1560, 240, 4335, 375));
    Texte5 = place(new QLineEdit(Cadre2), u"Texte5", twips::rect(2280, 840, 2895, 375));
    ProgressBar1 = place(new QProgressBar(Cadre2), u"ProgressBar1", twips::rect(120, 1440, 7335, 375));
    ProgressBar1->setRange(0, kProgressMaximum);
    ProgressBar1->setValue(0);
    // The percentage is Texte5's; the bar shows the address alone.
    ProgressBar1->setTextVisible(false);
    Texte3->setReadOnly(true);
    Texte5->setReadOnly(true);
    Texte5->setAutoFillBackground(true);
    Etiquette8 = place(new QLabel(Cadre2), u"Etiquette8", twips::rect(120, 1215, 7335, 225));
    Etiquette8->setAlignment(Qt::AlignCenter);
    Commande8 = place(new QPushButton(QStringLiteral("Arrêter"), Cadre2), u"Commande8", twips::rect(6240, 780, 1095, 495));
}

void MainWindow::buildStatusAndListing()
{
    QWidget *client = centralWidget();
    Texte2 = place(new QPlainTextEdit(client), u"Texte2", twips::rect(120, 2400, 7575, 1935));
    Texte2->setFont(twips::font(kCourier, 8.25, false));
    Texte2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Texte2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Etiquette4 = place(new QLabel(client), u"Etiquette4", twips::rect(4560, 2160, 3135, 255));
    Etiquette3 = place(new QLabel(client), u"Etiquette3", twips::rect(120, 2160, 4455, 255));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kRefreshIntervalMs);

    // Keyboard focus order of the window's design.
    QWidget *previous = Texte2;
    const auto chain = [&previous](QWidget *next) { setTabOrder(previous, next); previous = next; };
    for (QWidget *w : std::initializer_list<QWidget *>{DefilementH1, DefilementH2, DefilementH3, Texte1})
        chain(w);
    for (QCheckBox *box : Coche)
        chain(box);
    for (QWidget *w : std::initializer_list<QWidget *>{Commande7, Commande1, Commande2, Commande6, Texte3, Texte5})
        chain(w);
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();

    QMenu *fichier = subMenu(bar, u"MENU_FICHIERS", QStringLiteral("&Fichier"));
    QMenu *nouveau = subMenu(fichier, u"MENU_NOUVEAU", QStringLiteral("Nouveau"));
    MENU_ED_SANS = menuItem(nouveau, u"MENU_ED_SANS", QStringLiteral("Sans automate"));
    MENU_ED_AVEC = menuItem(nouveau, u"MENU_ED_AVEC", QStringLiteral("Avec automate "));
    fichier->addMenu(nouveau);
    MENU_OUVIR = menuItem(fichier, u"MENU_OUVIR", QStringLiteral("Ouvrir"));
    MENU_ENREGISTRER = menuItem(fichier, u"MENU_ENREGISTRER", QStringLiteral("Enregistrer"));
    MENU_QUITTER = menuItem(fichier, u"MENU_QUITTER", QStringLiteral("Quitter"));
    bar->addMenu(fichier);

    QMenu *edition = subMenu(bar, u"MENU_EDITION", QStringLiteral("&Edition"));
    MENU_ED_ANNULER = menuItem(edition, u"MENU_ED_ANNULER", QStringLiteral("Annuler (centrer)"));
    bar->addMenu(edition);

    QMenu *visu = subMenu(bar, u"MENU_VISU", QStringLiteral("&Affichage"));
    MENU_VISU116 = menuItem(visu, u"MENU_VISU116", QStringLiteral("Afficheur 1 fois 16 caractères"));
    MENU_VISU120 = menuItem(visu, u"MENU_VISU120", QStringLiteral("Afficheur 1 fois 20 caractères"));
    MENU_VISU216 = menuItem(visu, u"MENU_VISU216", QStringLiteral("Afficheur 2 fois 16 caractères"));
    MENU_VISU220 = menuItem(visu, u"MENU_VISU220", QStringLiteral("Afficheur 2 fois 20 caractères"));
    bar->addMenu(visu);

    QMenu *configuration = subMenu(bar, u"Menu_configuration", QStringLiteral("&Configurer"));
    Menu_COM1 = menuItem(configuration, u"Menu_COM1", QStringLiteral("COM1"));
    Menu_COM2 = menuItem(configuration, u"Menu_COM2", QStringLiteral("COM2"));
    Menu_COM3 = menuItem(configuration, u"Menu_COM3", QStringLiteral("COM3"));
    Menu_COM4 = menuItem(configuration, u"Menu_COM4", QStringLiteral("COM4"));
    Menu_test = menuItem(configuration, u"Menu_test", QStringLiteral("Test liaison série"));
    bar->addMenu(configuration);

    QMenu *transfert = subMenu(bar, u"MENU_OPTION", QStringLiteral("&Transfert"));
    MENU_WRITE = menuItem(transfert, u"MENU_WRITE", QStringLiteral("Programmation PC -> ZEL"));
    MENU_READ = menuItem(transfert, u"MENU_READ", QStringLiteral("Lecture ZEL -> PC"));
    MENU_VERIF = menuItem(transfert, u"MENU_VERIF", QStringLiteral("Vérification"));
    bar->addMenu(transfert);

    QMenu *information = subMenu(bar, u"Menu_information", QStringLiteral("&?"));
    MENU_AIDE = menuItem(information, u"MENU_AIDE", QStringLiteral("&Aide"));
    MENU_PLUS = menuItem(information, u"MENU_PLUS", QStringLiteral("&En savoir plus"));
    MENU_PLUS->setEnabled(false);
    bar->addMenu(information);

    // Items that carry a check mark at run time.
    for (QAction *item : {MENU_ED_SANS, MENU_ED_AVEC, MENU_VISU116, MENU_VISU120, MENU_VISU216, MENU_VISU220,
                          Menu_COM1, Menu_COM2, Menu_COM3, Menu_COM4})
        item->setCheckable(true);
}

void MainWindow::connectSignals()
{
    connect(Commande6, &QPushButton::clicked, this, &MainWindow::Commande6_Click);
    connect(Commande2, &QPushButton::clicked, this, &MainWindow::Commande2_Click);
    connect(Commande1, &QPushButton::clicked, this, &MainWindow::Commande1_Click);
    connect(Commande7, &QPushButton::clicked, this, &MainWindow::Commande7_Click);
    connect(DefilementH1, &QScrollBar::valueChanged, this, &MainWindow::DefilementH1_Change);
    connect(DefilementH2, &QScrollBar::valueChanged, this, &MainWindow::DefilementH2_Change);
    connect(DefilementH3, &QScrollBar::valueChanged, this, &MainWindow::DefilementH3_Change);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1_Timer);

    connect(MENU_ED_SANS, &QAction::triggered, this, &MainWindow::MENU_ED_SANS_Click);
    connect(MENU_ED_AVEC, &QAction::triggered, this, &MainWindow::MENU_ED_AVEC_Click);
    connect(MENU_OUVIR, &QAction::triggered, this, &MainWindow::MENU_OUVIR_Click);
    connect(MENU_ENREGISTRER, &QAction::triggered, this, &MainWindow::MENU_ENREGISTRER_Click);
    connect(MENU_QUITTER, &QAction::triggered, this, &MainWindow::MENU_QUITTER_Click);
    connect(MENU_ED_ANNULER, &QAction::triggered, this, &MainWindow::MENU_ED_ANNULER_Click);
    connect(MENU_VISU116, &QAction::triggered, this, &MainWindow::MENU_VISU116_Click);
    connect(MENU_VISU120, &QAction::triggered, this, &MainWindow::MENU_VISU120_Click);
    connect(MENU_VISU216, &QAction::triggered, this, &MainWindow::MENU_VISU216_Click);
    connect(MENU_VISU220, &QAction::triggered, this, &MainWindow::MENU_VISU220_Click);
    connect(Menu_COM1, &QAction::triggered, this, &MainWindow::Menu_COM1_Click);
    connect(Menu_COM2, &QAction::triggered, this, &MainWindow::Menu_COM2_Click);
    connect(Menu_COM3, &QAction::triggered, this, &MainWindow::Menu_COM3_Click);
    connect(Menu_COM4, &QAction::triggered, this, &MainWindow::Menu_COM4_Click);
    connect(Menu_test, &QAction::triggered, this, &MainWindow::Menu_test_Click);
    connect(MENU_WRITE, &QAction::triggered, this, &MainWindow::MENU_WRITE_Click);
    connect(MENU_READ, &QAction::triggered, this, &MainWindow::MENU_READ_Click);
    connect(MENU_VERIF, &QAction::triggered, this, &MainWindow::MENU_VERIF_Click);
    connect(MENU_AIDE, &QAction::triggered, this, &MainWindow::MENU_AIDE_Click);

    connect(Commande8, &QPushButton::clicked, &transfer_, &link::TransferEngine::requestStop);
    connect(&transfer_, &link::TransferEngine::progress, this, &MainWindow::showTransferProgress);
    connect(&transfer_, &link::TransferEngine::finished, this, &MainWindow::endTransfer);
    if (auto *configuration = qobject_cast<QMenu *>(Menu_COM1->parent())) {
        // The window has no status bar: the device an item stands for shows as its tool tip.
        configuration->setToolTipsVisible(true);
        connect(configuration, &QMenu::aboutToShow, this, &MainWindow::updateComStatusTips);
    }
    // A child, so that tests can follow it.
    transfer_.setObjectName(QStringLiteral("transfer"));
    transfer_.setParent(this);
    updateComStatusTips();
}

// ---------------------------------------------------------------- store state

SessionMode MainWindow::sessionMode() const
{
    if (MENU_ED_SANS->isChecked())
        return SessionMode::WithoutPlc;
    if (MENU_ED_AVEC->isChecked())
        return SessionMode::WithPlc;
    return SessionMode::None;
}

BlinkBoxes MainWindow::blinkBoxes() const
{
    BlinkBoxes boxes{};
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i] = Coche[i]->checkState() == Qt::Checked;
    return boxes;
}

void MainWindow::Form_Load()
{
    Cadre1->setVisible(true);
    Cadre2->setVisible(false);
    for (QWidget *w : std::initializer_list<QWidget *>{Texte1, Etiquette1, Etiquette2, Etiquette7,
                                                       DefilementH1, DefilementH2, DefilementH3})
        w->setEnabled(false);
    Texte2->setVisible(true);
    for (QPushButton *button : {Commande1, Commande2, Commande6, Commande7})
        button->setEnabled(false);
    image_.clear();
    tally_ = 0;
    DefilementH1->setValue(0);
    DefilementH2->setValue(0);
    DefilementH3->setValue(0);
}

void MainWindow::INIT_AVEC() { initialiseMode(SessionMode::WithPlc); }

void MainWindow::INIT_SANS() { initialiseMode(SessionMode::WithoutPlc); }

void MainWindow::initialiseMode(SessionMode mode)
{
    const int last = mode::lastMessage(mode);
    DefilementH1->setMaximum(last);
    DefilementH1->setMinimum(0);
    DefilementH3->setMaximum(last);
    DefilementH3->setMinimum(0);
    image_.set(address::kModeCell, mode::letter(mode));
    MENU_ED_AVEC->setChecked(mode == SessionMode::WithPlc);
    MENU_ED_SANS->setChecked(mode == SessionMode::WithoutPlc);
    for (QWidget *w : std::initializer_list<QWidget *>{Texte1, Etiquette1, Etiquette2, Etiquette7, DefilementH1,
                                                       DefilementH2, DefilementH3, Commande1, Commande2, Commande6,
                                                       Commande7})
        w->setEnabled(true);
}

void MainWindow::MENU_ED_AVEC_Click() { startNewSession(SessionMode::WithPlc); }

void MainWindow::MENU_ED_SANS_Click() { startNewSession(SessionMode::WithoutPlc); }

void MainWindow::startNewSession(SessionMode mode)
{
    const QString question = QStringLiteral("Voulez vous commencer une nouvelle session ?\n\r"
                                            "(tout les messages en mémoire seront effacés)");
    if (prompts_->askYesNo(question, PromptIcon::Exclamation)) {
        MENU_ED_AVEC->setChecked(false);
        MENU_ED_SANS->setChecked(false);
        for (QWidget *w : std::initializer_list<QWidget *>{Texte1, Etiquette1, Etiquette2, DefilementH1,
                                                           DefilementH2, Commande6})
            w->setEnabled(false);
        image_.clear();
        tally_ = 0;
        DefilementH1->setValue(0);
        DefilementH2->setValue(0);
    }
    initialiseMode(mode);
    Texte1->clear();
}

// ------------------------------------------------------------- editor display

void MainWindow::DefilementH1_Change()
{
    const int n = DefilementH1->value();
    Etiquette1->setText(QStringLiteral(" Message n°%1").arg(n));
    CLEAR_COCHE_CLI();
    blinkFlags_ = {};
    DefilementH2->setValue(image_.unit(n));
    // A priority above the bar's maximum is shown at the maximum; the cell is not changed.
    DefilementH3->setValue(image_.priority(n));
    Texte1->setText(text::decode(image_, n));
    blinkFlags_ = blink::decodeFlags(image_, n);
    Affiche_coche_cli();
}

void MainWindow::DefilementH2_Change()
{
    Etiquette2->setText(QStringLiteral("Unité %1").arg(DefilementH2->value()));
}

void MainWindow::DefilementH3_Change()
{
    Etiquette7->setText(QStringLiteral("Priorité %1").arg(DefilementH3->value()));
}

void MainWindow::CLEAR_COCHE_CLI()
{
    for (QCheckBox *box : Coche)
        box->setCheckState(Qt::Unchecked);
}

void MainWindow::Affiche_coche_cli()
{
    for (std::size_t k = 1; k <= Coche.size(); ++k) {
        if (blinkFlags_[k])
            Coche[k - 1]->setCheckState(Qt::Checked);
    }
}

int MainWindow::Nombre_ZoneCLI_fois_2() const
{
    return blink::toggleCount(blinkBoxes());
}

// ------------------------------------------------------------------ "Valider"

void MainWindow::Commande6_Click()
{
    const EditedMessage message{DefilementH1->value(), DefilementH2->value(), DefilementH3->value(),
                                Texte1->text(), blinkBoxes()};
    const Verdict verdict = validation::check(image_, message);
    if (!verdict.accepted()) {
        prompts_->tell(validation::refusalText(verdict), PromptIcon::Exclamation);
        if (verdict.refusal != Refusal::PriorityInUse
            && charcodes::characterCount(message.text) > kShownMessageCharacters)
            Texte1->setText(charcodes::firstCharacters(message.text, kShownMessageCharacters));
        return;
    }
    if (!message.text.isEmpty()) {
        validation::store(image_, message);
        CLEAR_COCHE_CLI();
        tally_ = recount(image_, sessionMode());
    }
    DefilementH1->setValue(validation::nextMessageNumber(message.number, sessionMode()));
    DefilementH1_Change();
}

// ------------------------------------------------------------ refresh, files

void MainWindow::Timer1_Timer()
{
    const RefreshTick tick = refresh::tick(image_, sessionMode());
    tally_ = tick.tally;
    if (tick.requestedMode == SessionMode::WithPlc)
        INIT_AVEC();
    if (tick.requestedMode == SessionMode::WithoutPlc)
        INIT_SANS();
    Etiquette3->setText(tick.statusCaption);
    Etiquette4->setText(tick.countCaption);
    showListing(*Texte2, tick.listing);
}

void MainWindow::MENU_OUVIR_Click()
{
    const auto name = prompts_->chooseFile(productionFileRequest(FileRequest::Kind::Open));
    if (!name || name->isEmpty())
        return;
    // The whole file is checked first: a refused file leaves the image, the mode
    // and the editor as they were.
    const auto opened = productionfile::read(*name);
    if (!opened) {
        prompts_->tell(filereport::openError(*name), PromptIcon::None);
        return;
    }
    image_ = *opened;
    const OpenReport report = filereport::forOpenedImage(image_);
    if (report.requestedMode == SessionMode::WithPlc)
        INIT_AVEC();
    if (report.requestedMode == SessionMode::WithoutPlc)
        INIT_SANS();
    tally_ = report.tally;
    prompts_->tell(filereport::openedMessage(report), PromptIcon::Information);
    DefilementH1_Change();
}

void MainWindow::MENU_ENREGISTRER_Click()
{
    const auto name = prompts_->chooseFile(productionFileRequest(FileRequest::Kind::Save));
    if (!name || name->isEmpty())
        return;
    if (!productionfile::write(*name, image_))
        prompts_->tell(filereport::saveError(*name), PromptIcon::None);
}

void MainWindow::Commande1_Click()
{
    const SessionMode mode = sessionMode();
    if (!prompts_->askYesNo(slotshift::insertQuestion(image_, mode), PromptIcon::Question))
        return;
    Texte1->clear();
    slotshift::insertEmpty(image_, DefilementH1->value(), mode);
}

void MainWindow::Commande7_Click()
{
    const SessionMode mode = sessionMode();
    const int n = DefilementH1->value();
    if (!prompts_->askYesNo(slotshift::eraseQuestion(n), PromptIcon::Question))
        return;
    Texte1->clear();
    slotshift::erase(image_, n, mode);
    tally_ = recount(image_, mode);
    DefilementH1_Change();
}

// ------------------------------------------------------- centering, previews

QString MainWindow::editorText() const
{
    return Texte1->text();
}

void MainWindow::setEditorText(const QString &text)
{
    Texte1->setText(text);
}

DisplayType MainWindow::displayType() const
{
    if (MENU_VISU116->isChecked())
        return DisplayType::OneBySixteen;
    if (MENU_VISU120->isChecked())
        return DisplayType::OneByTwenty;
    if (MENU_VISU216->isChecked())
        return DisplayType::TwoBySixteen;
    if (MENU_VISU220->isChecked())
        return DisplayType::TwoByTwenty;
    return DisplayType::None;
}

void MainWindow::Commande2_Click()
{
    switch (displayType()) {
    case DisplayType::OneBySixteen: CENTRE116(); return;
    case DisplayType::OneByTwenty: CENTRE120(); return;
    case DisplayType::TwoBySixteen: CENTRE216(); return;
    case DisplayType::TwoByTwenty: CENTRE220(); return;
    case DisplayType::None: break;
    }
    prompts_->tell(centering::kNoDisplayMessage.toString(), PromptIcon::Information);
}

void MainWindow::CENTRE116()
{
    centerOnOneLine(display::kNarrowWidth);
}

void MainWindow::CENTRE120()
{
    centerOnOneLine(display::kWideWidth);
}

void MainWindow::CENTRE216()
{
    centerOnTwoLines(display::kNarrowWidth);
}

void MainWindow::CENTRE220()
{
    centerOnTwoLines(display::kWideWidth);
}

void MainWindow::centerOnOneLine(int width)
{
    const centering::Result result = centering_.center(Texte1->text(), width, 1);
    // A text too long is left exactly as typed, cursor included.
    if (result.outcome == centering::Outcome::Centered)
        Texte1->setText(result.text);
}

void MainWindow::centerOnTwoLines(int width)
{
    const centering::Result result = centering_.center(Texte1->text(), width, 2);
    if (result.failed())
        prompts_->tell(centering::kImpossibleMessage.toString(), PromptIcon::Exclamation);
    Texte1->setText(result.text);
}

void MainWindow::MENU_ED_ANNULER_Click()
{
    Texte1->setText(centering_.textBeforeCentering());
}

void MainWindow::MENU_VISU116_Click()
{
    chooseDisplay(DisplayType::OneBySixteen);
}

void MainWindow::MENU_VISU120_Click()
{
    chooseDisplay(DisplayType::OneByTwenty);
}

void MainWindow::MENU_VISU216_Click()
{
    chooseDisplay(DisplayType::TwoBySixteen);
}

void MainWindow::MENU_VISU220_Click()
{
    chooseDisplay(DisplayType::TwoByTwenty);
}

void MainWindow::chooseDisplay(DisplayType type)
{
    preview_.closeAll();
    MENU_VISU116->setChecked(type == DisplayType::OneBySixteen);
    MENU_VISU120->setChecked(type == DisplayType::OneByTwenty);
    MENU_VISU216->setChecked(type == DisplayType::TwoBySixteen);
    MENU_VISU220->setChecked(type == DisplayType::TwoByTwenty);
    preview_.open(type, *this);
}

// ------------------------------------------------------------------ the link

void MainWindow::Menu_COM1_Click() { chooseCom(1); }

void MainWindow::Menu_COM2_Click() { chooseCom(2); }

void MainWindow::Menu_COM3_Click() { chooseCom(3); }

void MainWindow::Menu_COM4_Click() { chooseCom(4); }

std::array<QAction *, 4> MainWindow::comItems() const
{
    return {Menu_COM1, Menu_COM2, Menu_COM3, Menu_COM4};
}

void MainWindow::chooseCom(int comNumber)
{
    const auto items = comItems();
    for (std::size_t i = 0; i < items.size(); ++i)
        items[i]->setChecked(static_cast<int>(i) + link::kFirstCom == comNumber);
    OUVERTURE_DU_COM();
}

int MainWindow::checkedComNumber() const
{
    const auto items = comItems();
    int number = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i]->isChecked())
            number = static_cast<int>(i) + link::kFirstCom;
    }
    return number;
}

void MainWindow::OUVERTURE_DU_COM()
{
    const int number = std::max(checkedComNumber(), link::kFirstCom);
    port_.close();
    const QString device = link::comDevice(number);
    const link::LinkPort::OpenResult opened =
        device.isEmpty() ? link::LinkPort::OpenResult{link::LinkPort::OpenError::NotFound, {}} : port_.open(device);
    if (!opened.ok()) {
        prompts_->tell(link::text::portOpenFailed(number, opened.error), PromptIcon::Critical);
        comItems().at(static_cast<std::size_t>(number - link::kFirstCom))->setChecked(false);
        return;
    }
    prompts_->tell(link::text::portOpened(number), PromptIcon::Information);
}

void MainWindow::updateComStatusTips()
{
    const auto items = comItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int number = static_cast<int>(i) + link::kFirstCom;
        const QString tip = link::comStatusTip(number);
        items[i]->setStatusTip(tip);
        items[i]->setToolTip(tip);
    }
}

void MainWindow::Menu_test_Click()
{
    if (transfer_.isRunning())
        return;
    if (checkedComNumber() == 0) {
        prompts_->tell(link::text::selectPortFirst(), PromptIcon::Exclamation);
        return;
    }
    enableNestingCommands(false);
    transfer_.start(link::TransferKind::LinkTest);
}

void MainWindow::MENU_WRITE_Click() { startTransfer(link::TransferKind::Program); }

void MainWindow::MENU_READ_Click() { startTransfer(link::TransferKind::Read); }

void MainWindow::MENU_VERIF_Click() { startTransfer(link::TransferKind::Verify); }

void MainWindow::startTransfer(link::TransferKind kind)
{
    if (transfer_.isRunning())
        return;
    setStatusLight(kLightRunning);
    Texte3->clear();
    Texte5->clear();
    Etiquette8->clear();
    if (checkedComNumber() == 0) {
        prompts_->tell(link::text::selectPortFirst(), PromptIcon::Exclamation);
        return;
    }
    // A cell that does not fit a byte (a negative empty count) cannot be sent:
    // refused before anything goes out, so no unit is left half-programmed.
    if (const int bad = image_.firstCellOutOfByteRange(); kind == link::TransferKind::Program && bad >= 0) {
        prompts_->tell(link::text::refusedCell(bad, image_.at(bad)), PromptIcon::Exclamation);
        return;
    }
    if (!prompts_->askYesNo(link::text::confirmation(kind), PromptIcon::Question))
        return;
    Cadre1->setVisible(false);
    Cadre2->setVisible(true);
    Commande8->setEnabled(true);
    enableNestingCommands(false);
    transfer_.start(kind);
}

void MainWindow::showTransferProgress(int address)
{
    ProgressBar1->setValue(address);
    Texte3->setText(link::text::activity(transfer_.kind()));
    Texte5->setText(link::text::percent(address));
    Etiquette8->setText(link::text::timeProgress(transfer_.elapsedMs(), address));
}

void MainWindow::endTransfer(const link::TransferOutcome &outcome)
{
    using link::TransferKind;
    Commande8->setEnabled(false);
    const bool panel = outcome.kind != TransferKind::LinkTest;
    if (panel)
        setStatusLight(outcome.succeeded() ? kLightDone : kLightFailed);
    const link::text::Report report = link::text::outcomeReport(outcome, image_);
    if (outcome.succeeded() && outcome.kind == TransferKind::Read) {
        const SessionMode mode = mode::fromLetter(image_.at(address::kModeCell));
        if (mode == SessionMode::WithPlc)
            INIT_AVEC();
        if (mode == SessionMode::WithoutPlc)
            INIT_SANS();
    }
    PromptIcon icon = PromptIcon::Information;
    if (report.severity == link::text::Severity::Warning)
        icon = PromptIcon::Exclamation;
    else if (report.severity == link::text::Severity::Critical)
        icon = PromptIcon::Critical;
    prompts_->tell(report.text, icon);
    if (outcome.succeeded() && (outcome.kind == TransferKind::Program || outcome.kind == TransferKind::Read))
        DefilementH1_Change();
    if (panel) {
        Cadre1->setVisible(true);
        Cadre2->setVisible(false);
    }
    enableNestingCommands(true);
}

void MainWindow::setStatusLight(QRgb colour)
{
    QPalette palette = Texte5->palette();
    palette.setColor(QPalette::Base, QColor(colour));
    Texte5->setPalette(palette);
}

void MainWindow::enableNestingCommands(bool enabled)
{
    for (QAction *item : {MENU_ED_SANS, MENU_ED_AVEC, MENU_OUVIR, MENU_WRITE, MENU_READ, MENU_VERIF, Menu_COM1,
                          Menu_COM2, Menu_COM3, Menu_COM4, Menu_test})
        item->setEnabled(enabled);
}

// ------------------------------------------------------------- help and quit

void MainWindow::MENU_AIDE_Click()
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

void MainWindow::MENU_QUITTER_Click()
{
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

} // namespace torsa
