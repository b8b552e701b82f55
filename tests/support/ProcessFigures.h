#pragma once
// What a long-running test watches of its own process: the bytes its heap
// holds (the sanitizer's count in a sanitizer build, malloc's otherwise), its
// resident memory, open descriptors and threads.
#include <malloc.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>

extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

inline size_t LiveHeapBytes() {
    if (__sanitizer_get_current_allocated_bytes) return __sanitizer_get_current_allocated_bytes();
    return mallinfo2().uordblks;
}

// A field of /proc/self/status in kB ("VmRSS") or as a count ("Threads").
inline long ProcessStatus(const std::string& field) {
    std::ifstream in("/proc/self/status");
    std::string name;
    long value = 0;
    while (in >> name) {
        if (name == field + ":") {
            in >> value;
            return value;
        }
        std::getline(in, name);
    }
    return -1;
}

inline long ResidentKiB() {
    return ProcessStatus("VmRSS");
}
inline long ThreadCount() {
    return ProcessStatus("Threads");
}
inline long OpenDescriptors() {
    long count = 0;
    std::error_code error;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", error);
         it != std::filesystem::directory_iterator(); ++it)
        ++count;
    return count;
}
