#include "base/Trace.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace Vantorel {

namespace {
std::mutex g_traceLock;

double Seconds() {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return duration<double>(steady_clock::now() - start).count();
}
}  // namespace

bool TraceEnabled() {
    static const bool enabled = [] {
        const char* v = std::getenv("VANTOREL_TRACE");
        return v && std::strcmp(v, "0") != 0 && *v;
    }();
    return enabled;
}

void Trace(const char* format, ...) {
    if (!TraceEnabled()) return;
    char line[1024];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(line, sizeof line, format, ap);
    va_end(ap);
    std::lock_guard<std::mutex> lock(g_traceLock);
    std::fprintf(stderr, "[%9.3f] %s\n", Seconds(), line);
}

void TraceHex(const char* label, const uint8_t* data, size_t length) {
    if (!TraceEnabled()) return;
    std::string hex;
    hex.reserve(length * 3);
    char b[4];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(b, sizeof b, i ? " %02X" : "%02X", data[i]);
        hex += b;
    }
    Trace("%s %s", label, hex.c_str());
}

}  // namespace Vantorel
