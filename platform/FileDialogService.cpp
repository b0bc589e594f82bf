#include "platform/FileDialogService.h"

#include <QApplication>
#include <QFileDialog>

namespace
{
FileDialogHook hook;
}

void setFileDialogHook(FileDialogHook h)
{
    hook = std::move(h);
}

bool hasFileDialogHook()
{
    return static_cast<bool>(hook);
}

FileDialogAnswer askFile(QWidget *parent, const FileDialogRequest &request)
{
    if (hook)
        return hook(request);
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return {};

    QFileDialog dialog(parent);
    const bool save = request.kind == FileDialogRequest::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.initialFolder.isEmpty())
        dialog.setDirectory(request.initialFolder);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    const QStringList filters = request.filters.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(request.filterIndex - 1, filters.first()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    return {dialog.selectedFiles().first(), chosen < 0 ? 1 : static_cast<int>(chosen) + 1};
}
