#pragma once

// An enhanced metafile held as its bytes, header record first, as the platform's picture
// object holds one. The bytes are kept as given: readers check every size and offset
// against them, so a damaged metafile is harmless to hold.

#include "storage/Bytes.h"
#include "storage/Stream.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace kovet {

// True when the bytes begin with a metafile header: an EMR_HEADER record of at least the
// header's base size, within the bytes, signed " EMF".
bool IsEnhancedMetafile(ConstBytes bytes);

class TMetafile {
public:
    // Replaces the content with the file's bytes; throws EFileError when it cannot be read.
    void LoadFromFile(const std::filesystem::path& path);
    void LoadFromBytes(ConstBytes bytes);
    void LoadFromBytes(std::vector<std::uint8_t>&& bytes);
    // Writes the metafile's bytes at the stream's position; nothing when empty.
    void SaveToStream(TStream& stream) const;
    void Clear();
    bool Empty() const { return bytes_->empty(); }
    ConstBytes Data() const { return *bytes_; }
    // The bytes as they are now, kept alive for the holder even when the metafile is cleared
    // or loaded again meanwhile (a walk whose handler does that goes on over what it began).
    std::shared_ptr<const std::vector<std::uint8_t>> Share() const { return bytes_; }

    // The natural size of the picture in pixels at 96 per inch, from the header's frame
    // (0.01 mm); 0 when the bytes hold no header record.
    std::int32_t Width() const;
    std::int32_t Height() const;

private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_ = std::make_shared<const std::vector<std::uint8_t>>();
};

} // namespace kovet
