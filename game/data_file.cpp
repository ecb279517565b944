// SPDX-License-Identifier: GPL-3.0-or-later
// The one place where the game itself opens files: the POSIX calls that let it look before it
// reads. A FIFO would block open() and read() forever, and a link to an endless device would
// never reach its end, so the file's kind and size are checked first.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>

#include "game/DataFile.h"

namespace quillet {

namespace {

// 64 MiB, 1 GiB: the limits, as a reader of the message thinks of them.
std::string sizeText(std::size_t bytes) {
    if (bytes >= (std::size_t(1) << 30) && bytes % (std::size_t(1) << 30) == 0)
        return std::to_string(bytes >> 30) + " GiB";
    if (bytes >= (std::size_t(1) << 20) && bytes % (std::size_t(1) << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    return std::to_string(bytes) + " bytes";
}

bool isAbsent(int error) { return error == ENOENT || error == ENOTDIR; }

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

DataFile readDataFileAt(const std::string& path, std::size_t limit) {
    DataFile file;
    file.path = path;
    file.limit = limit;
    auto fail = [&file](DataFile::Status status, int error = 0) {
        file.status = status;
        file.error = error;
        file.bytes = {};
        return std::move(file);
    };

    // Looked at before it is opened: opening a device may already do something.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        return isAbsent(error) ? fail(DataFile::Status::missing) : fail(DataFile::Status::open_failed, error);
    }
    if (!S_ISREG(info.st_mode)) return fail(DataFile::Status::not_regular);

    // Non-blocking, so that a FIFO put there since the look above cannot hold the open; the
    // descriptor's own fstat is what counts.
    Descriptor d{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (d.fd < 0) {
        const int error = errno;
        return isAbsent(error) ? fail(DataFile::Status::missing) : fail(DataFile::Status::open_failed, error);
    }
    if (::fstat(d.fd, &info) != 0) return fail(DataFile::Status::read_failed, errno);
    if (!S_ISREG(info.st_mode)) return fail(DataFile::Status::not_regular);
    if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > limit)
        return fail(DataFile::Status::too_big);
    // A regular file; reads from it wait for the disk as usual.
    const int flags = ::fcntl(d.fd, F_GETFL);
    if (flags >= 0) ::fcntl(d.fd, F_SETFL, flags & ~O_NONBLOCK);

    // The size just seen is all that is read: a file growing meanwhile cannot make it more.
    const std::size_t size = static_cast<std::size_t>(info.st_size);
    try {
        file.bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return fail(DataFile::Status::read_failed, ENOMEM);
    }
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(d.fd, file.bytes.data() + got, size - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(DataFile::Status::read_failed, errno);
        }
        if (n == 0) break;  // shrunk meanwhile: what is there
        got += static_cast<std::size_t>(n);
    }
    file.bytes.resize(got);
    file.status = DataFile::Status::read;
    return file;
}

DataFile readDataFile(const std::string& name, const std::string& installed_folder, std::size_t limit) {
    DataFile file = readDataFileAt(name, limit);
    if (file.status != DataFile::Status::missing || installed_folder.empty()) return file;
    DataFile installed = readDataFileAt((std::filesystem::path(installed_folder) / name).string(), limit);
    if (installed.status == DataFile::Status::missing) installed.path = name;
    return installed;
}

std::string describeProblem(const DataFile& file) {
    switch (file.status) {
        case DataFile::Status::not_regular: return "not a regular file";
        case DataFile::Status::too_big: return "larger than " + sizeText(file.limit);
        case DataFile::Status::open_failed:
            return std::string("cannot be opened: ") + std::strerror(file.error);
        case DataFile::Status::read_failed:
            return std::string("cannot be read: ") + std::strerror(file.error);
        case DataFile::Status::read:
        case DataFile::Status::missing: break;
    }
    return std::string();
}

std::string installedDataFolder(const std::string& relative_to_program) {
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || program.empty()) return std::string();
    return (program.parent_path() / relative_to_program).lexically_normal().string();
}

}  // namespace quillet
