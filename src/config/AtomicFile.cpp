// Whole-file writes through a temporary file and a rename.
#include "config/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kvn {
namespace {

std::string systemMessage(int error) {
    return std::generic_category().message(error);
}

// Makes what was written to `file` durable before it replaces the old file.
bool flushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) {
        return false;
    }
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// After the rename, the folder entry itself is flushed where the system allows it.
void flushFolder([[maybe_unused]] const std::filesystem::path& folder) {
#if !defined(_WIN32)
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
#endif
}

// Creates a temporary file next to `target` that no other write uses at the same time.
std::FILE* createTemporary(const std::filesystem::path& target, std::filesystem::path& name,
                           int& error) {
    constexpr int kAttempts = 100;
    for (int i = 0; i < kAttempts; ++i) {
        name = target;
        name += ".~" + std::to_string(i) + ".tmp";
        if (std::FILE* file = std::fopen(name.string().c_str(), "wbx")) {
            return file;
        }
        error = errno;
        if (error != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

}  // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::string& error) {
    namespace fs = std::filesystem;
    fs::path temporary;
    int code = 0;
    std::FILE* file = createTemporary(path, temporary, code);
    if (file == nullptr) {
        error = systemMessage(code);
        return false;
    }
    errno = 0;
    const bool written =
        (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size()) &&
        flushToDisk(file);
    code = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        code = code != 0 ? code : errno;
        std::error_code ignored;
        fs::remove(temporary, ignored);
        error = systemMessage(code != 0 ? code : EIO);
        return false;
    }

    std::error_code ec;
    const fs::perms old = fs::status(path, ec).permissions();
    if (!ec && old != fs::perms::unknown) {
        fs::permissions(temporary, old, ec);
    }
    fs::rename(temporary, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        error = ec.message();
        return false;
    }
    flushFolder(path.parent_path());
    return true;
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view text,
                         std::string& error) {
    return writeFileAtomically(
        path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), error);
}

std::optional<std::vector<std::uint8_t>> readSmallFile(const std::filesystem::path& path,
                                                       std::size_t maxBytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path.filename().string();
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.insert(bytes.end(), buffer, buffer + in.gcount());
        if (bytes.size() > maxBytes) {
            error =
                path.filename().string() + " is longer than " + std::to_string(maxBytes) + " bytes";
            return std::nullopt;
        }
    }
    if (in.bad()) {
        error = "cannot read " + path.filename().string();
        return std::nullopt;
    }
    return bytes;
}

}  // namespace kvn
