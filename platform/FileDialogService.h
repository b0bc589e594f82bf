#pragma once

#include <QString>

#include <functional>

class QWidget;

// One service for the program's file dialogs (open and save), so that tests can answer them
// through a hook instead of a real modal dialog.
struct FileDialogRequest {
    enum Kind { Open, Save };
    Kind kind = Open;
    QString initialFolder;
    QString fileName;    // offered name (a path of its own may replace the folder)
    QString filters;     // Qt filter text, ";;" between the filters
    int filterIndex = 1; // 1-based: the filter selected at first
};

struct FileDialogAnswer {
    QString path;        // empty: cancelled
    int filterIndex = 0; // 1-based: the filter selected when the operator confirmed
};

using FileDialogHook = std::function<FileDialogAnswer(const FileDialogRequest &)>;
void setFileDialogHook(FileDialogHook hook);
bool hasFileDialogHook();

FileDialogAnswer askFile(QWidget *parent, const FileDialogRequest &request);
