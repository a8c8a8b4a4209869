#pragma once

// The main window `principal`: the message editor (or the transfer panel during a
// transfer), the status line and the listing of all messages, and every menu
// command. It owns the one memory image; every command works on it in place.

#include "Centering.h"
#include "UserPrompts.h"
#include "link/LinkPort.h"
#include "link/TransferEngine.h"
#include "preview/DisplayType.h"
#include "preview/PreviewHolder.h"
#include "preview/PreviewSource.h"
#include "store/BlinkCoding.h"
#include "store/MemoryImage.h"
#include "store/SessionMode.h"

#include <QColor>
#include <QMainWindow>
#include <QString>

#include <array>
#include <memory>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTimer;

namespace torsa {

class MainWindow : public QMainWindow, public PreviewSource {
    Q_OBJECT

public:
    // Without prompts, the window asks through real message boxes and file dialogs.
    explicit MainWindow(std::unique_ptr<UserPrompts> prompts = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    MemoryImage &image() { return image_; }
    const MemoryImage &image() const { return image_; }

    // The mode in force: the check mark of `MENU_ED_SANS` or `MENU_ED_AVEC`.
    SessionMode sessionMode() const;
    // The message tally of the last recount.
    int messageTally() const { return tally_; }
    // The 40 blink boxes as they stand.
    BlinkBoxes blinkBoxes() const override;
    // What the preview reads and cuts: the text of `Texte1`.
    QString editorText() const override;
    void setEditorText(const QString &text) override;
    // The display chosen: the one "&Affichage" item with the check mark.
    DisplayType displayType() const;
    // The edited blink flags of the message shown (entries 1 to 42).
    const BlinkFlags &editedBlinkFlags() const { return blinkFlags_; }

public Q_SLOTS:
    void Form_Load();
    void Commande6_Click();
    void Commande2_Click();
    void Commande1_Click();
    void Commande7_Click();
    void DefilementH1_Change();
    void DefilementH2_Change();
    void DefilementH3_Change();
    void Timer1_Timer();

    void MENU_ED_SANS_Click();
    void MENU_ED_AVEC_Click();
    void MENU_OUVIR_Click();
    void MENU_ENREGISTRER_Click();
    void MENU_QUITTER_Click();
    void MENU_ED_ANNULER_Click();
    void MENU_VISU116_Click();
    void MENU_VISU120_Click();
    void MENU_VISU216_Click();
    void MENU_VISU220_Click();
    void Menu_COM1_Click();
    void Menu_COM2_Click();
    void Menu_COM3_Click();
    void Menu_COM4_Click();
    void Menu_test_Click();
    void MENU_WRITE_Click();
    void MENU_READ_Click();
    void MENU_VERIF_Click();
    void MENU_AIDE_Click();

private:
    void buildEditorFrame();
    void buildTransferPanel();
    void buildStatusAndListing();
    void buildMenus();
    void connectSignals();

    void INIT_AVEC();
    void INIT_SANS();
    void initialiseMode(SessionMode mode);
    void startNewSession(SessionMode mode);
    void CLEAR_COCHE_CLI();
    void Affiche_coche_cli();
    int Nombre_ZoneCLI_fois_2() const;
    void CENTRE116();
    void CENTRE120();
    void CENTRE216();
    void CENTRE220();
    void centerOnOneLine(int width);
    void centerOnTwoLines(int width);
    void chooseDisplay(DisplayType type);

    // The device link.
    void chooseCom(int comNumber);
    void OUVERTURE_DU_COM();
    std::array<QAction *, 4> comItems() const;   // Menu_COM1 to Menu_COM4
    int checkedComNumber() const;   // 0 when no port item is checked
    void updateComStatusTips();
    void startTransfer(link::TransferKind kind);
    void showTransferProgress(int address);
    void endTransfer(const link::TransferOutcome &outcome);
    void setStatusLight(QRgb colour);
    // Off while a transfer or the link test runs: nothing may start another one,
    // change the port or replace the image under it.
    void enableNestingCommands(bool enabled);

    std::unique_ptr<UserPrompts> prompts_;
    MemoryImage image_;
    int tally_ = 0;
    BlinkFlags blinkFlags_{};
    CenteringUndo centering_;  // TEXTE_AVANT_CENTRAGE, TEXTE_CENTRE
    PreviewHolder preview_;    // the open preview window, if any

    // Editor frame.
    QGroupBox *Cadre1 = nullptr;
    QPushButton *Commande6 = nullptr;
    QPushButton *Commande2 = nullptr;
    QPushButton *Commande1 = nullptr;
    QPushButton *Commande7 = nullptr;
    std::array<QCheckBox *, kBlinkBoxCount> Coche{};  // Coche2 to Coche41
    QLineEdit *Texte1 = nullptr;
    QScrollBar *DefilementH3 = nullptr;
    QScrollBar *DefilementH2 = nullptr;
    QScrollBar *DefilementH1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Etiquette7 = nullptr;
    QLabel *Etiquette2 = nullptr;
    QLabel *Etiquette1 = nullptr;

    // Transfer panel, over the editor frame during transfers.
    QGroupBox *Cadre2 = nullptr;
    QLineEdit *Texte3 = nullptr;
    QLineEdit *Texte5 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *Commande8 = nullptr;   // "Arrêter": stops after the byte in progress
    QLabel *Etiquette8 = nullptr;       // elapsed time and time left
    link::LinkPort port_;               // MSComm1
    link::TransferEngine transfer_{port_, image_};

    // Status line and listing.
    QPlainTextEdit *Texte2 = nullptr;
    QLabel *Etiquette4 = nullptr;
    QLabel *Etiquette3 = nullptr;
    QTimer *Timer1 = nullptr;

    // Menus.
    QAction *MENU_ED_SANS = nullptr;
    QAction *MENU_ED_AVEC = nullptr;
    QAction *MENU_OUVIR = nullptr;
    QAction *MENU_ENREGISTRER = nullptr;
    QAction *MENU_QUITTER = nullptr;
    QAction *MENU_ED_ANNULER = nullptr;
    QAction *MENU_VISU116 = nullptr;
    QAction *MENU_VISU120 = nullptr;
    QAction *MENU_VISU216 = nullptr;
    QAction *MENU_VISU220 = nullptr;
    QAction *Menu_COM1 = nullptr;
    QAction *Menu_COM2 = nullptr;
    QAction *Menu_COM3 = nullptr;
    QAction *Menu_COM4 = nullptr;
    QAction *Menu_test = nullptr;
    QAction *MENU_WRITE = nullptr;
    QAction *MENU_READ = nullptr;
    QAction *MENU_VERIF = nullptr;
    QAction *MENU_AIDE = nullptr;
    QAction *MENU_PLUS = nullptr;
};

} // namespace torsa
