#pragma once

// The main window `principal`: the message editor (or the transfer panel during a
// transfer), the status line and the listing of all messages, and every menu
// command. It owns the session (the one memory image, the mode, the current
// message, the display) and the serial port, and shows them: the check marks of
// "Sans automate" and "Avec automate " and the editor follow the session's
// signals. The window keeps the menus, the 600 ms refresh, the wiring between
// the parts, the files dropped on it and the one decision to end the program.

#include "link/LinkPort.h"
#include "link/TransferEngine.h"
#include "session/Session.h"
#include "session/UserPrompts.h"
#include "store/MemoryImage.h"
#include "store/SessionMode.h"

#include <QList>
#include <QMainWindow>
#include <QUrl>

#include <memory>

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QSessionManager;
class QActionGroup;
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

    // The session, the only writer of the image; the window follows its signals.
    Session &session() { return session_; }
    const MemoryImage &image() const { return session_.image(); }

    // The mode in force, which the check mark of `MENU_ED_SANS` or `MENU_ED_AVEC` shows.
    SessionMode sessionMode() const { return session_.mode(); }

    // One tick of the periodic refresh: the counts, the summary block, the mode
    // the image asks for, the status line and the listing.
    void refresh();

    // "Ouvrir" once its dialog has given that name.
    void openProductionFile(const QString &name);
    // The program's arguments: a production file given opens right after
    // start-up, as "Ouvrir" would.
    void openFromArguments(const QStringList &arguments);

protected:
    // The close button, and "Quitter" through it: the one decision to end.
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // The text boxes' own drops of files are the window's.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildClientArea();
    void buildMenus();
    void connectParts();

    void startUp();
    void startNewSession(SessionMode mode);
    // The check marks of the session's mode.
    void showModeMarks(SessionMode mode);

    void chooseAndOpenProductionFile();
    // True when the image reached the file chosen.
    bool saveProductionFile();
    // A drop of files: one opens, anything else is refused with its reason.
    void openDropped(const QList<QUrl> &urls);

    // The program may end: nothing typed would be lost, or the user answered
    // the quit question with "Non" or with "Oui" and a save that reached the disk.
    bool agreeToEnd();
    void quit();
    // The system ending the session asks through the same decision.
    void commitSession(QSessionManager &manager);

    void startTransfer(link::TransferKind kind);
    void startLinkTest();
    void endTransfer(const link::TransferOutcome &outcome);
    // After the final box, once per port opening: the adapter held the answers.
    void tellSlowLink(const link::TransferOutcome &outcome);
    void showTransferPanel(bool shown);
    // Off while a transfer or the link test runs: nothing may start another one,
    // change the port or replace the image under it.
    void setNestingCommandsEnabled(bool enabled);

    void openHelpDocument();

    std::unique_ptr<UserPrompts> prompts_;
    Session session_;
    link::LinkPort port_;
    link::TransferEngine transfer_{port_, session_.image()};
    int slowLinkToldAt_ = 0; // the port opening the slow link was told for

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
    QActionGroup *modeMarks_ = nullptr;    // at most one of the two checked
    QAction *openItem_ = nullptr;          // MENU_OUVIR
    QAction *saveItem_ = nullptr;          // MENU_ENREGISTRER
    QAction *quitItem_ = nullptr;          // MENU_QUITTER
    QAction *undoCenteringItem_ = nullptr; // MENU_ED_ANNULER
    QAction *programItem_ = nullptr;       // MENU_WRITE
    QAction *readItem_ = nullptr;          // MENU_READ
    QAction *verifyItem_ = nullptr;        // MENU_VERIF
    QAction *helpItem_ = nullptr;          // MENU_AIDE

    bool endAgreed_ = false; // asked once: the close that follows "Quitter" asks nothing more
};

} // namespace torsa
