#pragma once

// The main window `principal`: the message editor (or the transfer panel during a
// transfer), the status line and the listing of all messages, and every menu
// command. It owns the one memory image and the serial port; its parts work on
// them in place. The session mode is the check mark of "Sans automate" or
// "Avec automate "; the window keeps the menus, the 600 ms refresh and the
// wiring between the parts.

#include "UserPrompts.h"
#include "link/LinkPort.h"
#include "link/TransferEngine.h"
#include "store/MemoryImage.h"
#include "store/SessionMode.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QLabel;
class QPlainTextEdit;
class QTimer;

namespace torsa {

class DisplayMenu;
class MessageEditor;
class PortMenu;
class TransferPanel;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Without prompts, the window asks through real message boxes and file dialogs.
    explicit MainWindow(std::unique_ptr<UserPrompts> prompts = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    MemoryImage &image() { return image_; }
    const MemoryImage &image() const { return image_; }

    // The mode in force: the check mark of `MENU_ED_SANS` or `MENU_ED_AVEC`.
    SessionMode sessionMode() const;

    // One tick of the periodic refresh: the counts, the summary block, the mode
    // the image asks for, the status line and the listing.
    void refresh();

private:
    void buildClientArea();
    void buildMenus();
    void connectParts();

    void startUp();
    void startNewSession(SessionMode mode);
    // INIT_AVEC / INIT_SANS: the editor's ranges, the mode cell, the check marks.
    void initialiseMode(SessionMode mode);
    // The initialisation an image's mode cell asks for, if any.
    void applyRequestedMode(SessionMode requested);

    void openProductionFile();
    void saveProductionFile();

    void startTransfer(link::TransferKind kind);
    void startLinkTest();
    void endTransfer(const link::TransferOutcome &outcome);
    void showTransferPanel(bool shown);
    // Off while a transfer or the link test runs: nothing may start another one,
    // change the port or replace the image under it.
    void setNestingCommandsEnabled(bool enabled);

    void openHelpDocument();

    std::unique_ptr<UserPrompts> prompts_;
    MemoryImage image_;
    link::LinkPort port_; // the serial control MSComm1
    link::TransferEngine transfer_{port_, image_};

    MessageEditor *editor_ = nullptr;    // Cadre1
    TransferPanel *panel_ = nullptr;     // Cadre2
    QPlainTextEdit *listing_ = nullptr;  // Texte2
    QLabel *countLabel_ = nullptr;       // Etiquette4
    QLabel *statusLabel_ = nullptr;      // Etiquette3
    QTimer *refreshTimer_ = nullptr;     // Timer1
    PortMenu *portMenu_ = nullptr;       // Menu_configuration
    DisplayMenu *displayMenu_ = nullptr; // MENU_VISU

    QAction *newWithoutPlcItem_ = nullptr; // MENU_ED_SANS
    QAction *newWithPlcItem_ = nullptr;    // MENU_ED_AVEC
    QAction *openItem_ = nullptr;          // MENU_OUVIR
    QAction *saveItem_ = nullptr;          // MENU_ENREGISTRER
    QAction *quitItem_ = nullptr;          // MENU_QUITTER
    QAction *undoCenteringItem_ = nullptr; // MENU_ED_ANNULER
    QAction *programItem_ = nullptr;       // MENU_WRITE
    QAction *readItem_ = nullptr;          // MENU_READ
    QAction *verifyItem_ = nullptr;        // MENU_VERIF
    QAction *helpItem_ = nullptr;          // MENU_AIDE
};

} // namespace torsa
