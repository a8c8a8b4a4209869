#pragma once

#include "session/UserPrompts.h"

class QFileDialog;
class QWidget;

namespace torsa {

// The program's prompts: QMessageBox with the application's default title,
// "TORSA", and Qt's own file dialog.
class QtUserPrompts final : public UserPrompts {
public:
    explicit QtUserPrompts(QWidget *parent) : parent_(parent) {}

    bool askYesNo(const QString &text, PromptIcon icon) override;
    Answer askYesNoCancel(const QString &text, PromptIcon icon) override;
    void tell(const QString &text, PromptIcon icon) override;
    std::optional<QString> chooseFile(const FileRequest &request) override;

    // Qt's own dialog, set up as the production-file commands need it: no default
    // suffix, no overwrite question, and an open dialog that accepts any name.
    static void configure(QFileDialog &dialog, const FileRequest &request);

private:
    QWidget *parent_;
};

} // namespace torsa
