#pragma once

// The editing session, the one place its state lives and the one writer of its
// memory image: the image, the mode in force, the message the editor shows and
// the display the unit carries. Every operation of the main window on them is
// here; the windows follow the session's signals and hand it what the user typed,
// and questions and messages go through UserPrompts. The command line opens,
// lists and imports through it as well.

#include "Refresh.h"
#include "UserPrompts.h"
#include "link/TransferOutcome.h"
#include "preview/DisplayType.h"
#include "session/Centering.h"
#include "session/Reports.h"
#include "store/MemoryImage.h"
#include "store/SessionMode.h"
#include "store/Validation.h"

#include <QObject>
#include <QString>

#include <optional>

namespace torsa {

class Session : public QObject {
    Q_OBJECT

public:
    explicit Session(QObject *parent = nullptr);

    const MemoryImage &image() const { return image_; }
    SessionMode mode() const { return mode_; }
    int currentMessage() const { return current_; }
    DisplayType display() const { return display_; }
    // The image differs from the last one that reached a file or a unit, or
    // that "Nouveau" made, in a cell the refresh does not derive: quitting
    // now would lose it.
    bool isModified() const;

    // The message the editor shows, kept within the mode's numbers.
    void setCurrentMessage(int number);
    // The display chosen in "&Affichage"; read by "Centrer".
    void setDisplay(DisplayType display) { display_ = display; }

    // "Nouveau" > a mode: after the question, Yes clears the image and goes
    // back to message 0; the mode is initialised whatever the answer. True
    // when the image was cleared.
    bool startNew(SessionMode mode, UserPrompts &prompts);
    // A new session of that mode without the question (an import).
    void begin(SessionMode mode);
    // An image taken in whole from a production file: the mode its mode cell
    // asks for is initialised, the report told, then the current message shown
    // from the new image.
    OpenReport open(const MemoryImage &opened, UserPrompts &prompts);
    // The image has just reached that file whole.
    void markSaved();
    // The end of a transfer or the link test: a read's bytes taken in with the
    // mode they ask for, the link-test cell left at 0, the report told, and the
    // current message shown again after programming or reading.
    void finishTransfer(const link::TransferOutcome &outcome, UserPrompts &prompts);

    // "Valider" of the current message: on a refusal nothing changes (the
    // caller shows validation::refusalText); an accepted text is stored, the
    // empty count updated and the next message made current (an empty text
    // stores nothing but moves on).
    Verdict validate(int unit, int priority, const QString &text, const BlinkBoxes &blink);
    // "Insérer" and "Effacer" at the current message, each after its question;
    // true when done.
    bool insertEmpty(UserPrompts &prompts);
    bool erase(UserPrompts &prompts);
    // "Centrer" of the editor's text for the display chosen; what the text box
    // must hold afterwards, nothing when it stays as it is.
    std::optional<QString> center(const QString &typed, UserPrompts &prompts);
    // "Annuler (centrer)": the text before the last centering.
    QString textBeforeCentering() const { return centering_.textBeforeCentering(); }

    // One tick of the periodic refresh; the mode its mode cell asks for is then
    // in force.
    RefreshTick tick();

Q_SIGNALS:
    // Each emitted once per real change, in this order, after the operation.
    void imageChanged();
    void modeChanged(torsa::SessionMode mode);
    // The editor must show this message from the image: its number moved, or
    // an operation rewrote or replaced what it shows ("Valider", "Effacer", an
    // image opened, read or programmed).
    void currentMessageChanged(int number);
    void modifiedChanged(bool modified);

private:
    struct State {
        MemoryImage image;
        SessionMode mode = SessionMode::None;
        int current = 0;
        bool modified = false;
    };
    enum class Show { IfMoved, Again, Later };

    State state() const { return {image_, mode_, current_, isModified()}; }
    // Emits what differs from before; the current message also when shown
    // again, not at all when shown later by the operation itself.
    void announceSince(const State &before, Show show);
    // The mode cell, the mode and the range of the current message.
    void initialiseMode(SessionMode mode);
    void takeModeOfImage();

    MemoryImage image_;
    MemoryImage kept_; // the last image that reached a file or a unit
    SessionMode mode_ = SessionMode::None;
    int current_ = 0;
    DisplayType display_ = DisplayType::None;
    CenteringUndo centering_;
};

} // namespace torsa
