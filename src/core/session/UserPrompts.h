#pragma once

// Every message box and file dialog of the main window goes through this
// interface, so that tests can read the exact text and icon and answer.

#include <QString>
#include <QStringList>

#include <optional>

namespace torsa {

enum class PromptIcon { None, Information, Question, Exclamation, Critical };

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
    // A message with the OK button only.
    virtual void tell(const QString &text, PromptIcon icon) = 0;
    // The chosen file name; nullopt when the dialog is cancelled.
    virtual std::optional<QString> chooseFile(const FileRequest &request) = 0;
};

} // namespace torsa
