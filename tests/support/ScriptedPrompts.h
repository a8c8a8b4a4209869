#pragma once

// Prompts for window tests: every box is recorded with its icon, questions take
// the next scripted answer, file dialogs the next scripted name.

#include "UserPrompts.h"

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
    bool question;
};

// The text and icon of a box, compared in one go.
using Box = std::pair<QString, PromptIcon>;
inline Box box(const QString &text, PromptIcon icon)
{
    return {text, icon};
}

class ScriptedPrompts final : public UserPrompts {
public:
    QList<Shown> shown;                       // every box, in order
    std::deque<bool> answers;                 // Yes/No answers, in order
    std::deque<std::optional<QString>> files; // chosen files; nullopt = Cancel
    QList<FileRequest> fileRequests;
    std::function<void()> duringQuestion; // runs while a question is open

    bool askYesNo(const QString &text, PromptIcon icon) override
    {
        shown.append({text, icon, true});
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

    void tell(const QString &text, PromptIcon icon) override { shown.append({text, icon, false}); }

    std::optional<QString> chooseFile(const FileRequest &request) override
    {
        fileRequests.append(request);
        if (files.empty())
            return std::nullopt;
        // Taken apart rather than copied whole: g++ -O2 warns that a copied
        // optional<QString> may be used uninitialised.
        const bool chosen = files.front().has_value();
        QString name = files.front().value_or(QString());
        files.pop_front();
        if (!chosen)
            return std::nullopt;
        return name;
    }

    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    Box last() const { return shown.isEmpty() ? Box{} : Box{shown.last().text, shown.last().icon}; }
};

} // namespace torsa::testing
