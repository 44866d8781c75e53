#include "headless/output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

// The mode fopen would create a new file with: everyone's read and write, less the umask.
mode_t created_mode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Runs write on file and closes it; false, with why, when either failed. errno is read at once:
// the close may change it.
bool write_and_close(FILE* file, const std::function<bool(FILE*)>& write, std::string* why) {
    errno = 0;
    bool written = write(file) && std::fflush(file) == 0;
    if (!written) {
        *why = errno != 0 ? std::strerror(errno) : "write failed";
    }
    if (std::fclose(file) != 0 && written) {
        *why = std::strerror(errno);
        written = false;
    }
    return written;
}

} // namespace

bool output_write(const char* path, const std::function<bool(FILE*)>& write, std::string* why) {
    struct stat was {};
    const bool exists = stat(path, &was) == 0;
    if (exists && !S_ISREG(was.st_mode)) {
        // A device or a pipe cannot be replaced by a rename, and removing it is not ours to do.
        FILE* file = std::fopen(path, "wb");
        if (file == nullptr) {
            *why = std::strerror(errno);
            return false;
        }
        return write_and_close(file, write, why);
    }
    // Beside the file a link points to, so that the rename replaces the file and keeps the link.
    std::string target = path;
    if (exists) {
        std::error_code error;
        const std::filesystem::path real = std::filesystem::canonical(path, error);
        if (!error) {
            target = real.string();
        }
    }
    std::string temporary = target + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        *why = std::strerror(errno);
        return false;
    }
    // mkstemp makes the file private; the output should read as any file the user writes.
    fchmod(descriptor, exists ? was.st_mode & 07777 : created_mode());
    FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr) {
        *why = std::strerror(errno);
        close(descriptor);
        unlink(temporary.c_str());
        return false;
    }
    bool written = write_and_close(file, write, why);
    if (written && std::rename(temporary.c_str(), target.c_str()) != 0) {
        *why = std::strerror(errno);
        written = false;
    }
    if (!written) {
        unlink(temporary.c_str());
        if (exists) {
            *why += "; the file is left as it was";
        }
    }
    return written;
}
