#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
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

// Reads a whole file; throws EFileError when it cannot be opened or read.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path);

// Replaces the file with the given bytes: they are written to a temporary file in the same
// folder, flushed and renamed over the target, so a failed write leaves the old file whole.
// Throws EFileError.
void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// The same for a writer that needs a file name (a printer writing a PDF): `write` fills the
// temporary file it is given, created exclusively beside the target; when it throws, the
// temporary is removed and the target stays as it was.
void ReplaceFileThrough(const std::filesystem::path& path,
                        const std::function<void(const std::filesystem::path& temporary)>& write);

} // namespace kovet
