#pragma once

// Prompts for window tests: every box is recorded with its icon, questions take
// the next scripted answer, file dialogs the next scripted name.

#include "session/UserPrompts.h"

#include <QList>
#include <QString>
#include <QtTest/QTest>

#include <deque>
#include <functional>
#include <optional>
#include <utility>

namespace torsa::testing {

struct Shown {
    QString text;
    PromptIcon icon;
};

// The text and icon of a box, compared in one go.
using Box = std::pair<QString, PromptIcon>;
inline Box box(const QString &text, PromptIcon icon)
{
    return {text, icon};
}

class ScriptedPrompts final : public UserPrompts {
public:
    QList<Shown> shown;         // every box, in order
    std::deque<bool> answers;   // Yes/No answers, in order
    std::deque<Answer> choices; // Yes/No/Cancel answers, in order
    std::deque<QString> files;  // chosen files; none left: Cancel
    QList<FileRequest> fileRequests;
    std::function<void()> duringQuestion; // runs while a question is open

    bool askYesNo(const QString &text, PromptIcon icon) override
    {
        shown.append({text, icon});
        if (duringQuestion)
            duringQuestion();
        if (answers.empty()) {
            QTest::qFail("a question was asked that the test did not expect", __FILE__, __LINE__);
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // No answer left: Cancel, and the test sees the question in shown.
    Answer askYesNoCancel(const QString &text, PromptIcon icon) override
    {
        shown.append({text, icon});
        const Answer answer = choices.empty() ? Answer::Cancel : choices.front();
        if (!choices.empty())
            choices.pop_front();
        return answer;
    }

    void tell(const QString &text, PromptIcon icon) override { shown.append({text, icon}); }

    std::optional<QString> chooseFile(const FileRequest &request) override
    {
        fileRequests.append(request);
        if (files.empty())
            return std::nullopt;
        QString chosen = std::move(files.front());
        files.pop_front();
        return chosen;
    }

    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    Box last() const { return shown.isEmpty() ? Box{} : Box{shown.last().text, shown.last().icon}; }
};

} // namespace torsa::testing
