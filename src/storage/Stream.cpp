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

void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    std::string pattern = (folder / path.filename()).string();
    pattern.append(".XXXXXX");
    const int raw = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (raw < 0) throw EFileError(describeErrno("Cannot create file", path));
    const std::filesystem::path temp = pattern;
    FileHandle fd(raw);

    auto fail = [&](const char* what) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        throw EFileError(describeErrno(what, path));
    };

    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("Cannot write file");
        }
        done += std::size_t(n);
    }
    if (::fsync(fd.get()) != 0) fail("Cannot write file");
    // Keep the permissions of the file being replaced; a new file gets the usual ones
    // (the temporary file was created readable by its owner only).
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        ::fchmod(fd.get(), old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd.get(), 0666 & ~mask);
    }
    if (::close(fd.release()) != 0) fail("Cannot write file");
    if (::rename(temp.c_str(), path.c_str()) != 0) fail("Cannot create file");
}

} // namespace kovet
