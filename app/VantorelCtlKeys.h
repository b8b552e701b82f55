#pragma once
// The configuration keys vantorelctl reads and writes: what each one means, the
// values a page lets it take, and the readable form of a stored value ("1000 Hz"
// for report_rate 3). The readable forms are fixed English words, like the rest of
// the tool's output, so that scripts may rely on them.
#include <string>
#include <vector>

#include "features/SettingRanges.h"

struct CtlKey {
    std::string key;
    std::string meaning;
    bool settable = false;  // "version" is the store's, not a setting
    SettingRange range;     // when settable
};

// Every configuration key of a profile, in the store's order, with its range for
// the model (`deviceType`) and the profile's number of DPI levels.
std::vector<CtlKey> ListCtlKeys(int deviceType, int dpiCount);

// The readable form of `value` of `key` ("1000 Hz", "2 mm", "on", "#FF0000"); empty
// when the number says all there is.
std::string ReadableValue(const std::string& key, int value);

// The values of a key that have names of their own (report_rate, lightmode, the
// switches, ...), in value order; empty for keys of plain numbers.
std::vector<int> NamedValues(const std::string& key);
