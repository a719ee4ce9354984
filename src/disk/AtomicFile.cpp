#include "disk/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {
bool failed(std::string* why, const std::string& what, int error)
{
    if (why)
        *why = what + ": " + std::strerror(error);
    return false;
}

// Writes everything, going on after interruptions and short writes.
bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
}

bool AtomicFile::write(const std::filesystem::path& target, const std::string& contents, std::string* why)
{
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return failed(why, "cannot make " + folder.string(), error.value());

    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return failed(why, "cannot write in " + folder.string(), errno);
    ::fchmod(fd, 0644);
    if (!writeAll(fd, contents.data(), contents.size()) || ::fsync(fd) != 0) {
        const int saved = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        return failed(why, "cannot write " + target.string(), saved);
    }
    if (::close(fd) != 0) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        return failed(why, "cannot write " + target.string(), saved);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temporary.c_str());
        return failed(why, "cannot replace " + target.string(), saved);
    }
    // The rename itself is only durable once the folder is on the disk.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
