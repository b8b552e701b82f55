#pragma once
// Whole-file reads and atomic whole-file replacement, for the small text files
// the program keeps (settings store, language files, XML files).
#include <cstddef>
#include <string>
#include <string_view>

// Reads a whole regular file of at most maxBytes, without blocking on a FIFO or
// device at the path. Returns 0, or the errno value of the failure (EFBIG for a
// file larger than maxBytes, EISDIR for a folder, ENODEV for a FIFO, device or
// socket).
int ReadFileBytes(const std::string& path, std::string& bytes, size_t maxBytes);

// 0 when path is a regular file (links followed), else the errno value as
// ReadFileBytes gives it. For callers that open a data file themselves.
int CheckRegularFile(const std::string& path);

// A failure of the two above in words ("it is a folder, not a file").
std::string DescribeFileError(int error);

// UTF-16 file bytes (without their byte-order mark) as text; a last odd byte is
// dropped.
std::wstring Utf16BytesToWide(std::string_view bytes, bool bigEndian);

// Replaces the file at path by one holding data (owner read/write only): a
// temporary file in the same folder is written and flushed, then renamed over
// the old one, so that a reader sees the old file or the new one, never a part.
bool ReplaceFileAtomically(const std::string& path, std::string_view data);
