// Reading and replacing whole files, the only way the project touches the file system.

#include "Exception.h"
#include "Stream.h"
#include "Text1252.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kovet {
namespace {

std::string describeErrno(const std::string& what, const std::filesystem::path& path) {
    return what + " \"" + path.string() + "\". " + std::strerror(errno);
}

class FileHandle {
public:
    explicit FileHandle(int fd = -1) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

// The file a write of `path` replaces: where `path` is a symbolic link, the file it leads to
// (whether it exists yet or not), so that the link stays.
std::filesystem::path replacedFile(std::filesystem::path path) {
    // As many links in a row as the system itself follows.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error)) break;
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error) break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

// ".NAME.kovet-": the start of a named temporary's name for the target NAME.
std::string temporaryPrefix(const std::filesystem::path& target) {
    return "." + target.filename().string() + ".kovet-";
}

// Named temporaries of `target` left by writers that were killed: those whose process has
// ended. Another writer's temporary in the middle of its write stays.
void clearStaleTemporaries(int folder, const std::filesystem::path& target) {
    const int listFd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) return;
    DIR* list = ::fdopendir(listFd);
    if (list == nullptr) {
        ::close(listFd);
        return;
    }
    const std::string prefix = temporaryPrefix(target);
    while (const dirent* entry = ::readdir(list)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH) ::unlinkat(folder, name.c_str(), 0);
    }
    ::closedir(list);
}

// A temporary file in the target's folder. Preferably it has no name until it is complete
// (O_TMPFILE), so that a writer killed outright leaves nothing behind; file systems without
// that get a named one that later writes clear. Removed unless Commit puts it in place.
class TemporaryBeside {
public:
    explicit TemporaryBeside(const std::filesystem::path& path) : target_(replacedFile(path)) {
        const std::filesystem::path folder = target_.has_parent_path() ? target_.parent_path() : ".";
        folder_.reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder_.get() < 0) fail("Cannot create file");
        clearStaleTemporaries(folder_.get(), target_);
        file_.reset(::openat(folder_.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
        if (file_.get() >= 0) return;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) fail("Cannot create file");
        name_ = uniqueName();
        file_.reset(::openat(folder_.get(), name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (file_.get() < 0) {
            name_.clear();
            fail("Cannot create file");
        }
    }
    ~TemporaryBeside() {
        if (!name_.empty()) ::unlinkat(folder_.get(), name_.c_str(), 0);
    }
    TemporaryBeside(const TemporaryBeside&) = delete;
    TemporaryBeside& operator=(const TemporaryBeside&) = delete;

    int Fd() const { return file_.get(); }

    // Flushes the content to disk, gives it the permissions of the file it replaces (a new
    // file the usual ones) and renames it over the target.
    void Commit() {
        if (::fsync(file_.get()) != 0) fail("Cannot write file");
        struct stat old {};
        if (::stat(target_.c_str(), &old) == 0) {
            ::fchmod(file_.get(), old.st_mode & 07777);
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(file_.get(), 0666 & ~mask);
        }
        if (name_.empty()) {
            // Named only for the moment before the rename; a kill in between leaves a name
            // that later writes clear.
            const std::string self = "/proc/self/fd/" + std::to_string(file_.get());
            name_ = uniqueName();
            if (::linkat(AT_FDCWD, self.c_str(), folder_.get(), name_.c_str(), AT_SYMLINK_FOLLOW) != 0) {
                name_.clear();
                fail("Cannot create file");
            }
        }
        if (::close(file_.release()) != 0) fail("Cannot write file");
        if (::renameat(folder_.get(), name_.c_str(), folder_.get(), target_.filename().c_str()) != 0)
            fail("Cannot create file");
        name_.clear();
        // The rename itself reaches the disk with the folder.
        ::fsync(folder_.get());
    }

    [[noreturn]] void fail(const char* what) const { throw EFileError(describeErrno(what, target_)); }

private:
    // ".NAME.kovet-PID-" and six random letters and digits, not yet in the folder.
    std::string uniqueName() const {
        static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        std::random_device entropy;
        std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
        for (;;) {
            std::string name = temporaryPrefix(target_) + std::to_string(::getpid()) + "-";
            for (int i = 0; i < 6; ++i)
                name += kLetters[pick(entropy)];
            struct stat existing {};
            if (::fstatat(folder_.get(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) != 0) return name;
        }
    }

    std::filesystem::path target_;
    FileHandle folder_, file_;
    std::string name_;
};

} // namespace

std::string LowerExtension(const std::filesystem::path& path) {
    return AsciiLower(path.extension().string());
}

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
    // Without blocking, so that a pipe with no writer is refused instead of waited for.
    FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) throw EFileError(describeErrno("Cannot open file", path));
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) throw EFileError(describeErrno("Cannot read file", path));
    if (!S_ISREG(info.st_mode)) throw EFileError("Cannot read file \"" + path.string() + "\". Not a regular file");
    const auto tooLarge = [&] {
        return EFileError("Cannot read file \"" + path.string() + "\". Larger than " +
                          std::to_string(kMaxFileSize >> 20) + " MiB, more than any form holds");
    };
    if (std::uint64_t(info.st_size) > kMaxFileSize) throw tooLarge();
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::size_t(info.st_size));
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFileError(describeErrno("Cannot read file", path));
        }
        if (n == 0) break;
        // The file may grow while it is read.
        if (bytes.size() + std::size_t(n) > kMaxFileSize) throw tooLarge();
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    TemporaryBeside temporary(path);
    if (!writeAll(temporary.Fd(), bytes)) temporary.fail("Cannot write file");
    temporary.Commit();
}

} // namespace kovet
