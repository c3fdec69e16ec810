#include "Stream.h"

#include "Exception.h"

#include <algorithm>
#include <cstring>
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

} // namespace kovet
