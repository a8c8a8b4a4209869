#include "QtUserPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace torsa {
namespace {

// The application's default title, which no message of the program changes.
const QString kBoxTitle = QStringLiteral("TORSA");

QMessageBox::Icon toQt(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Exclamation: return QMessageBox::Warning;
    case PromptIcon::Critical: return QMessageBox::Critical;
    case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

bool QtUserPrompts::askYesNo(const QString &text, PromptIcon icon)
{
    QMessageBox box(toQt(icon), kBoxTitle, text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

Answer QtUserPrompts::askYesNoCancel(const QString &text, PromptIcon icon)
{
    QMessageBox box(toQt(icon), kBoxTitle, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

void QtUserPrompts::tell(const QString &text, PromptIcon icon)
{
    QMessageBox box(toQt(icon), kBoxTitle, text, QMessageBox::Ok, parent_);
    box.exec();
}

void QtUserPrompts::configure(QFileDialog &dialog, const FileRequest &request)
{
    const bool save = request.kind == FileRequest::Kind::Save;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString());
    dialog.setWindowTitle(request.title);
    dialog.setNameFilters(request.nameFilters);
    if (request.selectedFilter >= 0 && request.selectedFilter < request.nameFilters.size())
        dialog.selectNameFilter(request.nameFilters.at(request.selectedFilter));
    dialog.selectFile(QString());
}

std::optional<QString> QtUserPrompts::chooseFile(const FileRequest &request)
{
    QFileDialog dialog(parent_);
    configure(dialog, request);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

} // namespace torsa
