#pragma once

// The message editor, frame `Cadre1` of the main window: a view of the
// session's current message, which the number bar shows and moves. Its text,
// blink boxes, unit and priority are edited here and reach the image only
// through "Valider"; the four buttons hand them to the session's operations,
// and the editor follows the session's mode and current message through the
// main window's wiring.

#include "PreviewSource.h"
#include "session/Session.h"
#include "session/UserPrompts.h"
#include "store/BlinkCoding.h"

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
    MessageEditor(Session &session, UserPrompts &prompts, QWidget *parent);

    // Start-up: every control disabled, the three bars at 0.
    void disableAll();
    // A confirmed new session: the unit bar at 0 (the number follows the
    // session's current message).
    void clearForNewSession();
    // The ranges of number and priority of that mode, then every control enabled.
    void showMode(SessionMode mode);

    // That message of the session: its number on the bar (the session is not
    // told again), and its unit, priority, text and blink boxes from the image.
    void showMessage(int number);

    QString editorText() const override;
    void setEditorText(const QString &text) override;
    BlinkBoxes blinkBoxes() const override;

    // "Annuler (centrer)".
    void undoCentering();

    // The last control of the editor's own keyboard order.
    QWidget *lastInFocusChain() const;

private:
    // The four buttons.
    void validate();
    void insertEmptyMessage();
    void eraseMessage();
    void center();

    void clearBlinkBoxes();
    void showBlinkFlags(const BlinkFlags &flags);
    void setEditingEnabled(bool enabled);

    Session &session_;
    UserPrompts &prompts_;

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
