#include "base/FileUtil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/TextConv.h"

namespace {

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

int ReadFileBytes(const std::string& path, std::string& bytes, size_t maxBytes) {
    bytes.clear();
    // Non-blocking, so that a FIFO without a writer or a device in place of a
    // data file cannot hold the open; only regular files are then read.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errno;
    int error = 0;
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        error = errno;
    } else if (S_ISDIR(st.st_mode)) {
        error = EISDIR;
    } else if (!S_ISREG(st.st_mode)) {
        error = ENODEV;
    } else {
        char buf[8192];
        for (;;) {
            ssize_t n = read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) error = errno;
            if (n <= 0) break;
            if (bytes.size() + static_cast<size_t>(n) > maxBytes) {
                error = EFBIG;
                break;
            }
            bytes.append(buf, static_cast<size_t>(n));
        }
    }
    close(fd);
    if (error) bytes.clear();
    return error;
}

std::wstring Utf16BytesToWide(std::string_view bytes, bool bigEndian) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(bytes[2 * i]);
        const auto b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
    }
    return Orvix::Utf16ToWide(units);
}

int CheckRegularFile(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    return S_ISREG(st.st_mode) ? 0 : ENODEV;
}

std::string DescribeFileError(int error) {
    switch (error) {
        case EISDIR:
            return "it is a folder, not a file";
        case ENODEV:
            return "it is a device, FIFO or socket, not a file";
        case EFBIG:
            return "it is too large";
        default:
            return std::strerror(error);
    }
}

bool ReplaceFileAtomically(const std::string& path, std::string_view data) {
    std::string temp = path + ".XXXXXX";
    // Close-on-exec like every other descriptor of the program: a program started
    // from another thread meanwhile must not inherit it.
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = fchmod(fd, 0600) == 0 && WriteAll(fd, data) && fsync(fd) == 0;
    if (close(fd) != 0 || !written || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}
