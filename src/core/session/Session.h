#pragma once

// The editing session, the one place its state lives: the memory image, the
// mode in force, the message the editor shows and the display the unit carries.
// Every operation of the main window on them is here; the windows show the
// session and hand it what the user typed, and questions and messages go through
// UserPrompts. The command line opens, lists and imports through it as well.

#include "Refresh.h"
#include "UserPrompts.h"
#include "preview/DisplayType.h"
#include "session/Centering.h"
#include "session/Reports.h"
#include "store/MemoryImage.h"
#include "store/SessionMode.h"
#include "store/Validation.h"

#include <QString>

#include <optional>

namespace torsa {

class Session {
public:
    MemoryImage &image() { return image_; }
    const MemoryImage &image() const { return image_; }
    SessionMode mode() const { return mode_; }
    int currentMessage() const { return current_; }
    DisplayType display() const { return display_; }

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
    // asks for is initialised; the report to show.
    OpenReport open(const MemoryImage &opened);
    // After the image was read from the unit: the mode its mode cell asks for.
    void afterRead();

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

private:
    // The mode cell, the mode and the range of the current message.
    void initialiseMode(SessionMode mode);

    MemoryImage image_;
    SessionMode mode_ = SessionMode::None;
    int current_ = 0;
    DisplayType display_ = DisplayType::None;
    CenteringUndo centering_;
};

} // namespace torsa
