#pragma once
// File encodings of the XML document: byte-order marks, the declared encoding, the
// table of encoding names with their code page numbers, and the conversions
// (UTF-8 and UTF-16 directly, everything else through iconv).
#include <string>
#include <string_view>

// Code page numbers with a meaning of their own.
constexpr int kCodePageAnsi = 0;  // the system's ANSI code page; Windows-1252 here
constexpr int kCodePageUtf16 = 1200;
constexpr int kCodePageUtf16Be = 1201;
constexpr int kCodePageUtf8 = 65001;

// Code page of an encoding name (compared after turning A to Z into lower case);
// -1 for a name the table does not hold.
int CodePageFromName(std::wstring_view name);

// Decodes the bytes of a file into the document string. Appends the result
// entries ("endian_swap", "utf8_detection", "converted_from", "nulls_removed",
// "truncation_error", "conversion_loss") to `result`.
std::wstring DecodeXmlBytes(std::string_view bytes, std::wstring& result);

// Encodes the document string as its declaration says: UTF-8 without a mark when
// it names UTF-8 or nothing, UTF-16 with a mark when it names UTF-16, any other
// known code page through iconv. Returns false when characters could not be
// represented (they are written as "?"); appends "converted_to" and
// "conversion_loss" entries to `result`.
bool EncodeXmlText(std::wstring_view text, std::string& bytes, std::wstring& result);
