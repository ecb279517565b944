// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files beside the game (the opening book and the four sounds), read whole into memory with
// bounded time and memory: only a regular file is opened (never a FIFO, folder or device), and one
// larger than the caller's limit is refused before anything is read.

#include <cstddef>
#include <cstdint>
#include <streambuf>
#include <string>
#include <vector>

namespace quillet {

struct DataFile {
    enum class Status {
        read,         // bytes hold the whole file
        missing,      // no file of that name
        not_regular,  // a FIFO, a folder, a device, a socket
        too_big,      // larger than the limit
        open_failed,  // error holds errno
        read_failed,  // error holds errno
    };
    Status status = Status::missing;
    std::string path;  // where it was looked for last (the place it was found, when it was)
    std::vector<std::uint8_t> bytes;
    int error = 0;
    std::size_t limit = 0;  // the limit it was read with
};

// Reads the file at path whole, if it is a regular file of at most limit bytes.
DataFile readDataFileAt(const std::string& path, std::size_t limit);

// The game's lookup of a data file by its bare name: the current directory first, exactly as
// the game always did; only when no file of that name is there, installed_folder (unless it is
// empty). A name that exists in the current directory but cannot be read is not looked for
// elsewhere: the user put it there.
DataFile readDataFile(const std::string& name, const std::string& installed_folder, std::size_t limit);

// Why a file that is there cannot be read, in plain English (empty for a file read or missing).
std::string describeProblem(const DataFile& file);

// A read-only stream buffer over bytes that stay alive as long as it is used.
class ByteStream : public std::streambuf {
public:
    explicit ByteStream(const std::vector<std::uint8_t>& bytes) {
        char* begin = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
        setg(begin, begin, begin + bytes.size());
    }
};

// The folder the installed game's data files lie in: relative_to_program taken from the folder of
// the running executable. Empty when the executable cannot be found.
std::string installedDataFolder(const std::string& relative_to_program);

}  // namespace quillet
