#pragma once
// What the macro and profile file commands share: the file chooser for an
// import (and the check that the file is there) or an export (with the name it
// offers), and the messages that say why a file was not taken or not written.
#include <string>
#include <vector>

class MainPageHost;

// "{file} could not be written.", for the callers' own message.
inline constexpr int kTextNotWritten = 1022;

// The chooser titled `titleId` for an XML file to import; false when none was
// chosen, or the chosen one is not there (the message says so).
bool ChooseImportFile(MainPageHost& host, int titleId, const wchar_t* filterName, std::wstring& path);
// The chooser titled `titleId` for the file to export `name` to (offered as its
// file name, characters a file name cannot hold made "_"); false when none was chosen.
bool ChooseExportFile(MainPageHost& host, int titleId, const wchar_t* filterName, const std::wstring& name,
                      std::wstring& path);
// `text` with every "{field}" replaced by `value`.
std::wstring ReplaceField(std::wstring text, const std::wstring& field, const std::wstring& value);
// Message box titled `titleId` with text `messageId`, "{file}" replaced by the path.
void ShowFileMessage(MainPageHost& host, int titleId, int messageId, const std::wstring& path);
// An import refused: the entries that kept the file out, or messageId when none is named.
void ShowFileRefusal(MainPageHost& host, int titleId, int messageId, const std::wstring& path,
                     const std::vector<std::wstring>& badEntries);
