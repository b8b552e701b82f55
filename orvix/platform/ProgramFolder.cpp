// Linux: the executable is named by /proc/self/exe.
#include "orvix/platform/ProgramFolder.h"

#include <unistd.h>

#include <climits>

#include "base/TextConv.h"

namespace Orvix {

std::wstring ExecutableFolder() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return L"./";
    std::string path(buffer, size_t(n));
    return Utf8ToWide(path.substr(0, path.rfind('/') + 1));
}

}  // namespace Orvix
