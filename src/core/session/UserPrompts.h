#pragma once

// Every message box and file dialog of the main window goes through this
// interface, so that tests can read the exact text and icon and answer.

#include <QString>
#include <QStringList>

#include <optional>

namespace torsa {

enum class PromptIcon { None, Information, Question, Exclamation, Critical };

enum class Answer { Yes, No, Cancel };

struct FileRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString title;
    QStringList nameFilters; // "Label (*.ext)" entries, in order
    int selectedFilter = 0;  // index into nameFilters
};

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // A Yes/No question; true for Yes.
    virtual bool askYesNo(const QString &text, PromptIcon icon) = 0;
    // A question with Yes, No and Cancel.
    virtual Answer askYesNoCancel(const QString &text, PromptIcon icon) = 0;
    // A message with the OK button only.
    virtual void tell(const QString &text, PromptIcon icon) = 0;
    // The chosen file name; nullopt when the dialog is cancelled.
    virtual std::optional<QString> chooseFile(const FileRequest &request) = 0;
};

// No one to ask or tell (the command line's listing, a benchmark): every
// question is answered No or Cancel and nothing is shown.
class UnattendedPrompts final : public UserPrompts {
public:
    bool askYesNo(const QString &, PromptIcon) override { return false; }
    Answer askYesNoCancel(const QString &, PromptIcon) override { return Answer::Cancel; }
    void tell(const QString &, PromptIcon) override {}
    std::optional<QString> chooseFile(const FileRequest &) override { return std::nullopt; }
};

} // namespace torsa
