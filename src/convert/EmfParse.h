#pragma once

// Walks the records of an enhanced metafile and hands each one to OnRecord; on request it
// also writes a plain-text dump of the header and of the record names into Strings.
//
// The walk starts behind the header record (at the header's nSize) and stops at the first
// end-of-file record or when fewer than 8 bytes are left; records behind the end-of-file
// record are ignored. A record whose nSize is below 8 is passed as its 8 header bytes and
// the walk goes on behind them; a record cut off by the end of the data is passed as far
// as the data holds it. A record larger than 65,520 bytes is passed whole: records are
// handed out as views of one copy of the metafile's bytes, so no record is ever copied
// into a fixed buffer and none is read past the data.

#include "platform/emf/Metafile.h"
#include "storage/Bytes.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kovet {

class TEMFParse {
public:
    // `metaptr`: one record, iType and nSize first; valid only during the call.
    using TRecordEvent = std::function<void(TEMFParse& sender, ConstBytes metaptr)>;
    using TMessageEvent = std::function<void(const std::string& message)>;

    static constexpr std::size_t kHeaderCopySize = 88;

    TEMFParse();

    // The metafile to walk and the dump's lines; both owned, created by the constructor.
    // A caller that drops one gets a message from Parse instead of a walk.
    std::unique_ptr<TMetafile> Metafile;
    std::unique_ptr<std::vector<std::string>> Strings;
    bool AddStrings = false;
    TRecordEvent OnRecord;
    // Problems are reported here, for the caller to show to the user.
    TMessageEvent OnMessage;

    // Walks the metafile; with AddStrings the dump is appended to Strings.
    void Parse();

    // The first 88 bytes of the last metafile walked (zeros before the first walk; a walk of
    // fewer bytes replaces only those that came).
    const std::array<std::uint8_t, kHeaderCopySize>& HeaderCopy() const { return header_; }

private:
    void Message(const std::string& text) const;
    void Add(std::string_view line);
    void AddHeaderBlock();

    std::array<std::uint8_t, kHeaderCopySize> header_{};
};

} // namespace kovet
