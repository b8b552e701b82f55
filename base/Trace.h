#pragma once
// The program's trace hook: silent unless VANTOREL_TRACE=1, then one line per
// call on stderr. Raw reports are printed with TraceHex.
#include <cstddef>
#include <cstdint>

namespace Vantorel {

bool TraceEnabled();
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void TraceHex(const char* label, const uint8_t* data, size_t length);

}  // namespace Vantorel
