#pragma once

// The message editor, frame `Cadre1` of the main window: the message shown is
// the one of the number bar; its text, blink boxes, unit and priority are edited
// here and reach the image only through "Valider". "Insérer", "Effacer" and
// "Centrer" work on the image and the text in place. What depends on the session
// mode or the display takes it as an argument: the main window holds both.

#include "PreviewSource.h"
#include "UserPrompts.h"
#include "preview/DisplayType.h"
#include "session/Centering.h"
#include "store/BlinkCoding.h"
#include "store/MemoryImage.h"
#include "store/SessionMode.h"

#include <QGroupBox>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace torsa {

class MessageEditor : public QGroupBox, public PreviewSource {
    Q_OBJECT

public:
    MessageEditor(MemoryImage &image, UserPrompts &prompts, QWidget *parent);

    // Start-up: every control disabled, the three bars at 0.
    void disableAll();
    // A confirmed new session: the editing controls off, number and unit at 0,
    // which shows message 0 when the number moves.
    void clearForNewSession();
    // The mode's ranges of number and priority, then every control enabled.
    void enterMode(SessionMode mode);

    int currentMessage() const;
    // Unit, priority, text and blink boxes of the current message, from the image.
    void showCurrentMessage();

    QString editorText() const override;
    void setEditorText(const QString &text) override;
    BlinkBoxes blinkBoxes() const override;

    // "Valider": the four rules, then the message into its slot, the empty count
    // and the next number; a refusal is told and nothing is stored.
    void validate(SessionMode mode);
    // "Insérer" and "Effacer", each after its question.
    void insertEmptyMessage(SessionMode mode);
    void eraseMessage(SessionMode mode);
    // "Centrer" for the chosen display, and "Annuler (centrer)".
    void center(DisplayType display);
    void undoCentering();

    // The last control of the editor's own keyboard order.
    QWidget *lastInFocusChain() const;

Q_SIGNALS:
    void validateClicked();
    void centerClicked();
    void insertClicked();
    void eraseClicked();

private:
    void clearBlinkBoxes();
    void showBlinkFlags(const BlinkFlags &flags);
    void setEditingEnabled(bool enabled);

    MemoryImage &image_;
    UserPrompts &prompts_;
    CenteringUndo centering_;

    QLabel *numberLabel_ = nullptr;
    QLabel *unitLabel_ = nullptr;
    QLabel *priorityLabel_ = nullptr;
    QScrollBar *numberBar_ = nullptr;
    QScrollBar *unitBar_ = nullptr;
    QScrollBar *priorityBar_ = nullptr;
    QLineEdit *text_ = nullptr;
    std::array<QCheckBox *, kBlinkBoxCount> blinkBoxes_{};
    QPushButton *eraseButton_ = nullptr;
    QPushButton *insertButton_ = nullptr;
    QPushButton *centerButton_ = nullptr;
    QPushButton *validateButton_ = nullptr;
};

} // namespace torsa
