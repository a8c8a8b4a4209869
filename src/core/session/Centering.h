#pragma once

// "Centrer": the editor text rewritten to stand centered on the chosen display,
// split over two lines at a space on the two-line displays, and the two texts
// that let "Annuler (centrer)" give back the user's own text.

#include <QString>
#include <QStringView>

namespace torsa {

namespace centering {

inline constexpr QStringView kNoDisplayMessage = u"Sélectionner un afficheur dans le menu affichage.";
inline constexpr QStringView kImpossibleMessage = u"Centrage automatique impossible.";

enum class Outcome {
    Centered,   // text holds the centered text
    LeftAsIs,   // one-line display, text too long: text is the input, untouched
    Impossible, // two-line display, line 2 too long: text is the trimmed input
};

struct Result {
    QString text;
    Outcome outcome = Outcome::Centered;

    bool failed() const { return outcome == Outcome::Impossible; }
};

// Leading and trailing spaces removed (the space only, not other blanks).
QString trimSpaces(const QString &text);

// The text centered for a display of `lines` lines (1 or 2) of `width` characters.
Result center(const QString &text, int width, int lines);

} // namespace centering

// The undo texts of "Centrer" for the whole run of the main window.
class CenteringUndo {
public:
    // One "Centrer" on the editor text `current`: the undo text is saved first,
    // whatever follows, unless `current` is still the result of the last
    // centering; the result is what the text box must hold afterwards.
    centering::Result center(const QString &current, int width, int lines);

    // What "Annuler (centrer)" puts back.
    const QString &textBeforeCentering() const { return beforeCentering_; }
    // The text the last successful centering left.
    const QString &centeredText() const { return centered_; }

private:
    QString beforeCentering_;
    QString centered_;
};

} // namespace torsa
