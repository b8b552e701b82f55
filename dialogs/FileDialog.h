#pragma once
// The desktop's file chooser for opening and saving files: the XDG desktop
// portal's FileChooser over D-Bus when a portal answers, `zenity` when it is
// installed, otherwise a small path dialog drawn by the toolkit. Runs on the UI
// thread and keeps the window's messages flowing while the chooser is open.
#include <functional>
#include <string>
#include <vector>

#include "orvix/platform/WinTypes.h"

struct FileDialogFilter {
    std::wstring name;                   // "Application"
    std::vector<std::wstring> patterns;  // "*.desktop"; "*" for any file
};

struct FileDialogRequest {
    bool save = false;
    std::wstring title;
    std::vector<FileDialogFilter> filters;
    std::wstring suggestedName;   // save: the file name offered
    Orvix::HWND owner = nullptr;  // the window the chooser belongs to
};

// True with the chosen path; false when the user cancelled or no chooser could be shown.
bool ChooseFile(const FileDialogRequest& request, std::wstring& path);

// Tests answer instead of a chooser (null restores the real choosers).
using FileDialogAnswer = std::function<bool(const FileDialogRequest& request, std::wstring& path)>;
void SetFileDialogAnswer(FileDialogAnswer answer);

// Which choosers are tried, in order (tests restrict them).
enum class FileChooserKind { Portal, Zenity, Toolkit };
void SetFileChooserOrder(std::vector<FileChooserKind> order);
