#pragma once
// Whole-file reads and atomic whole-file replacement, for the small text files
// the program keeps (settings store, language files, XML files).
#include <cstddef>
#include <string>
#include <string_view>

// Reads a whole file of at most maxBytes. Returns 0, or the errno value of the
// failure (EFBIG for a file larger than maxBytes, EISDIR for a folder).
int ReadFileBytes(const std::string& path, std::string& bytes, size_t maxBytes);

// UTF-16 file bytes (without their byte-order mark) as text; a last odd byte is
// dropped.
std::wstring Utf16BytesToWide(std::string_view bytes, bool bigEndian);

// Replaces the file at path by one holding data (owner read/write only): a
// temporary file in the same folder is written and flushed, then renamed over
// the old one, so that a reader sees the old file or the new one, never a part.
bool ReplaceFileAtomically(const std::string& path, std::string_view data);
