#pragma once
// The AT-SPI2 interfaces the program serves, as the bus describes them (the
// parts a screen reader uses), and the text boundaries readers ask for.
#include <string>

#include "orvix/core/Accessible.h"

extern const char kAtspiIntrospection[];

// The interfaces a node serves, in the order GetInterfaces lists them.
std::string AtspiInterfaceList(const Orvix::AccessibleNode& node, bool root);
bool AtspiServes(const Orvix::AccessibleNode& node, bool root, const std::string& interface);

// A piece of `text` around `offset`: [start, end). `granularity` as the Text
// interface's GetStringAtOffset takes it (0 character, 1 word, 2 sentence,
// 3 line, 4 paragraph); the old boundary types of GetTextAtOffset (0 character,
// 1 and 2 word, 3 and 4 sentence, 5 and 6 line) map onto it (TextBoundaryGranularity).
struct TextRange {
    int start = 0;
    int end = 0;
};
TextRange TextAround(const std::wstring& text, int offset, unsigned granularity);
unsigned TextBoundaryGranularity(unsigned boundary);

// What InsertText takes of `text` when told `length` bytes: whole characters
// only; a negative length, or one past the end, takes it all.
std::string InsertedPart(const std::string& text, int length);
