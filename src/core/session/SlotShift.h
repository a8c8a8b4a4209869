#pragma once

// "Insérer" and "Effacer": whole slots move one number up or down between the
// current message and the last one of the mode, cells copied as they are.

#include "store/MemoryImage.h"
#include "store/SessionMode.h"

#include <QString>

namespace torsa::slotshift {

// The last message number: 16 when "Sans automate" is in force, else 180.
int lastMessage(SessionMode mode);

// The insert question; a second line warns when the last slot's unit cell is not 0
// (a mere test for 0, not the presence test).
QString insertQuestion(const MemoryImage &image, SessionMode mode);

// The erase question for message n.
QString eraseQuestion(int message);

// Slots n to last - 1 move one up (the last one's content is lost), slot n becomes
// all 0. False, and nothing changed, when n lies outside 0 to last.
bool insertEmpty(MemoryImage &image, int message, SessionMode mode);

// Slots n + 1 to last move one down, the last slot becomes all 0. The caller
// recounts. False, and nothing changed, when n lies outside 0 to last.
bool erase(MemoryImage &image, int message, SessionMode mode);

} // namespace torsa::slotshift
