#include "Stream.h"

#include "Exception.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <random>
#include <string>
#include <utility>
#include <unistd.h>

namespace kovet {

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    const std::size_t n = pos_ < data_.size() ? std::min(count, data_.size() - pos_) : 0;
    if (n > 0) std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    if (pos_ + count > data_.size()) data_.resize(pos_ + count);
    std::memcpy(data_.data() + pos_, buffer, count);
    pos_ += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, Origin origin) {
    std::int64_t base = 0;
    if (origin == Origin::Current) base = std::int64_t(pos_);
    if (origin == Origin::End) base = std::int64_t(data_.size());
    // Offsets come from untrusted data; keep the arithmetic defined.
    std::int64_t target;
    if (__builtin_add_overflow(base, offset, &target)) target = offset < 0 ? 0 : Size();
    pos_ = std::size_t(std::clamp<std::int64_t>(target, 0, Size()));
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

namespace {

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
    std::random_device entropy;
    std::filesystem::path temp;
    int raw = -1;
    for (int attempt = 0; attempt < 16 && raw < 0; ++attempt) {
        temp = folder / ("." + path.filename().string() + "." + std::to_string(entropy()) + ".tmp");
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST) break;
    }
    if (raw < 0) throw EFileError(describeErrno("Cannot create file", path));
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
    // Keep the permissions of the file being replaced.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) ::fchmod(fd.get(), old.st_mode & 07777);
    if (::close(fd.release()) != 0) fail("Cannot write file");
    if (::rename(temp.c_str(), path.c_str()) != 0) fail("Cannot create file");
}

} // namespace kovet
