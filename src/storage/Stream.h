#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace kovet {

// A byte stream with a position, as the record list and the form objects read and write
// them. Reads return how many bytes arrived; a short read is how callers see the end.
class TStream {
public:
    enum class Origin { Begin, Current, End };

    virtual ~TStream() = default;
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Returns the new position, clamped to 0 .. Size().
    virtual std::int64_t Seek(std::int64_t offset, Origin origin) = 0;
    virtual std::int64_t Position() const = 0;
    virtual std::int64_t Size() const = 0;

    // Bytes left between the position and the end.
    std::int64_t Remaining() const { return Size() - Position(); }

    // For streams held in memory: the bytes from the position to the end, so that readers
    // can walk them directly. Other streams return false.
    virtual bool Contiguous(std::span<const std::uint8_t>& rest) const {
        (void)rest;
        return false;
    }
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {}
    explicit TMemoryStream(std::span<const std::uint8_t> bytes) : data_(bytes.begin(), bytes.end()) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, Origin origin) override;
    std::int64_t Position() const override { return std::int64_t(pos_); }
    std::int64_t Size() const override { return std::int64_t(data_.size()); }
    bool Contiguous(std::span<const std::uint8_t>& rest) const override {
        rest = std::span<const std::uint8_t>(data_).subspan(pos_);
        return true;
    }

    // Changes the size; bytes added are zero. The position is kept within the new size.
    void SetSize(std::size_t size);
    void Reserve(std::size_t capacity) { data_.reserve(capacity); }
    void Clear();

    const std::vector<std::uint8_t>& Bytes() const { return data_; }
    std::vector<std::uint8_t> TakeBytes();
    std::uint8_t* Memory() { return data_.data(); }

private:
    std::vector<std::uint8_t> data_;
    std::size_t pos_ = 0;
};

// A read-only stream over bytes the caller keeps alive; writing is refused (writes 0).
class TBytesStream : public TStream {
public:
    explicit TBytesStream(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, Origin origin) override;
    std::int64_t Position() const override { return std::int64_t(pos_); }
    std::int64_t Size() const override { return std::int64_t(bytes_.size()); }
    bool Contiguous(std::span<const std::uint8_t>& rest) const override {
        rest = bytes_.subspan(pos_);
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

// The largest file ReadWholeFile reads: far above any form, field data file, metafile or
// defaults file, far below what would exhaust memory.
inline constexpr std::uint64_t kMaxFileSize = 64u << 20;

// Reads a whole regular file of at most kMaxFileSize bytes; throws EFileError when it cannot
// be opened or read, is no regular file (a device, a pipe, a folder) or is larger.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path);

// A file name's extension in ASCII lower case (".kvt"); empty when it has none.
std::string LowerExtension(const std::filesystem::path& path);

// Replaces the file with the given bytes, so that the target is always either the old file
// or the new one whole: the bytes go to a temporary file in the target's folder that has no
// name while it is written (or, where the file system cannot do that, an exclusive one of
// the form ".NAME.kovet-PID-XXXXXX", which later writes of the same target clear once PID
// has ended); every write and the flush to disk are checked; then it is renamed over the
// target. A target that is a symbolic link keeps the link: the file it leads to is replaced.
// Throws EFileError, leaving the target as it was and no temporary behind.
void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

} // namespace kovet
