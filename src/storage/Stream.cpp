#include "Stream.h"

#include "Exception.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kovet {

namespace {

// The new position of a seek, kept within 0 .. size. Offsets may come from untrusted data,
// so the arithmetic must stay defined.
std::size_t seekTarget(std::size_t pos, std::size_t size, std::int64_t offset, TStream::Origin origin) {
    std::int64_t base = 0;
    if (origin == TStream::Origin::Current) base = std::int64_t(pos);
    if (origin == TStream::Origin::End) base = std::int64_t(size);
    std::int64_t target;
    if (__builtin_add_overflow(base, offset, &target)) target = offset < 0 ? 0 : std::int64_t(size);
    return std::size_t(std::clamp<std::int64_t>(target, 0, std::int64_t(size)));
}

std::size_t readAt(std::span<const std::uint8_t> bytes, std::size_t& pos, void* buffer, std::size_t count) {
    const std::size_t n = pos < bytes.size() ? std::min(count, bytes.size() - pos) : 0;
    if (n > 0) std::memcpy(buffer, bytes.data() + pos, n);
    pos += n;
    return n;
}

std::string describeErrno(const std::string& what, const std::filesystem::path& path) {
    return what + " \"" + path.string() + "\". " + std::strerror(errno);
}

class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

} // namespace

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    return readAt(data_, pos_, buffer, count);
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (pos_ == data_.size()) {
        data_.insert(data_.end(), bytes, bytes + count); // appending: no zero fill first
    } else {
        if (pos_ + count > data_.size()) data_.resize(pos_ + count);
        std::memcpy(data_.data() + pos_, bytes, count);
    }
    pos_ += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, Origin origin) {
    pos_ = seekTarget(pos_, data_.size(), offset, origin);
    return std::int64_t(pos_);
}

std::size_t TBytesStream::Read(void* buffer, std::size_t count) {
    return readAt(bytes_, pos_, buffer, count);
}

std::int64_t TBytesStream::Seek(std::int64_t offset, Origin origin) {
    pos_ = seekTarget(pos_, bytes_.size(), offset, origin);
    return std::int64_t(pos_);
}

void TMemoryStream::SetSize(std::size_t size) {
    data_.resize(size);
    pos_ = std::min(pos_, size);
}

void TMemoryStream::Clear() {
    data_.clear();
    pos_ = 0;
}

std::vector<std::uint8_t> TMemoryStream::TakeBytes() {
    pos_ = 0;
    return std::exchange(data_, {});
}

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
    FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throw EFileError(describeErrno("Cannot open file", path));
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFileError(describeErrno("Cannot read file", path));
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

namespace {

// A temporary file beside `target`, created exclusively under an unpredictable name, removed
// again unless Commit renames it over the target.
class TemporaryBeside {
public:
    explicit TemporaryBeside(const std::filesystem::path& target)
        : target_(target), path_(pattern(target)), fd_(::mkostemp(path_.data(), O_CLOEXEC)) {
        if (fd_.get() >= 0) return;
        path_.clear();
        fail("Cannot create file");
    }
    ~TemporaryBeside() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TemporaryBeside(const TemporaryBeside&) = delete;
    TemporaryBeside& operator=(const TemporaryBeside&) = delete;

    std::filesystem::path Path() const { return path_; }
    int Fd() const { return fd_.get(); }

    // Flushes the content to disk, gives it the permissions of the file it replaces (a new
    // file the usual ones; the temporary was created readable by its owner only) and renames
    // it over the target.
    void Commit() {
        if (::fsync(fd_.get()) != 0) fail("Cannot write file");
        struct stat old {};
        if (::stat(target_.c_str(), &old) == 0) {
            ::fchmod(fd_.get(), old.st_mode & 07777);
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(fd_.get(), 0666 & ~mask);
        }
        if (::close(fd_.release()) != 0) fail("Cannot write file");
        if (::rename(path_.c_str(), target_.c_str()) != 0) fail("Cannot create file");
        path_.clear();
    }

    [[noreturn]] void fail(const char* what) const { throw EFileError(describeErrno(what, target_)); }

private:
    static std::string pattern(const std::filesystem::path& target) {
        const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
        return (folder / target.filename()).string() + ".XXXXXX";
    }

    std::filesystem::path target_;
    std::string path_;
    FileHandle fd_;
};

} // namespace

void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    TemporaryBeside temporary(path);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(temporary.Fd(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            temporary.fail("Cannot write file");
        }
        done += std::size_t(n);
    }
    temporary.Commit();
}

void ReplaceFileThrough(const std::filesystem::path& path,
                        const std::function<void(const std::filesystem::path& temporary)>& write) {
    TemporaryBeside temporary(path);
    write(temporary.Path());
    temporary.Commit();
}

} // namespace kovet
