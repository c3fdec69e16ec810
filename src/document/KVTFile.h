#pragma once

#include "KVTRec.h"

#include "storage/Geometry.h"
#include "storage/RecList.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kovet {

class EKVTException : public Exception {
public:
    using Exception::Exception;
};

// A typed wrapper per record type; they add nothing to the generic wrapper.
class TRecObj_KVTHeader : public TCustomRecordListObject {
public:
    explicit TRecObj_KVTHeader(TCustomRecordList& l) : TCustomRecordListObject(l, kvtHeaderType, kHeaderSize) {}
};
class TRecObj_KVTFrame : public TCustomRecordListObject {
public:
    explicit TRecObj_KVTFrame(TCustomRecordList& l) : TCustomRecordListObject(l, kvtFrameType, kFrameSize) {}
};
class TRecObj_KVTLine : public TCustomRecordListObject {
public:
    explicit TRecObj_KVTLine(TCustomRecordList& l) : TCustomRecordListObject(l, kvtLineType, kLineSize) {}
};
class TRecObj_KVTEllipse : public TCustomRecordListObject {
public:
    explicit TRecObj_KVTEllipse(TCustomRecordList& l) : TCustomRecordListObject(l, kvtEllipseType, kEllipseSize) {}
};
class TRecObj_KVTText : public TCustomRecordListObject {
public:
    explicit TRecObj_KVTText(TCustomRecordList& l) : TCustomRecordListObject(l, kvtTextType, kTextMaxSize) {}
};
class TRecObj_KVTLogo : public TCustomRecordListObject {
public:
    explicit TRecObj_KVTLogo(TCustomRecordList& l) : TCustomRecordListObject(l, kvtLogoType, kLogoMaxSize) {}
};

class TRecObj_KVTField : public TCustomRecordListObject {
public:
    explicit TRecObj_KVTField(TCustomRecordList& l) : TCustomRecordListObject(l, kvtFieldType, kFieldSize) {}
    // The I-th field record in list order (a 16-bit index, as the form's users pass it).
    Bytes Fields(std::int16_t i) { return Items(i); }
};

// The record list of one form, with one typed wrapper per record type.
class TKVTFile : public TCustomRecordList {
public:
    TKVTFile();

    TRecObj_KVTHeader Header;
    TRecObj_KVTFrame Frames;
    TRecObj_KVTLine Lines;
    TRecObj_KVTEllipse Ellipses;
    TRecObj_KVTText Texts;
    TRecObj_KVTField Fields;
    TRecObj_KVTLogo Logos;
};

using THeaderBytes = std::array<std::uint8_t, kHeaderSize>;

// The header record of a new form: Letter portrait, version 5, white page, clear border.
THeaderBytes DefaultHeader();

// The form document shared by the designer and the display component.
class TKVT {
public:
    using TNotifyEvent = std::function<void(TKVT& sender)>;

    TKVT();
    ~TKVT();
    TKVT(const TKVT&) = delete;
    TKVT& operator=(const TKVT&) = delete;

    TKVTFile& KVTFile() { return *file_; }
    const TKVTFile& KVTFile() const { return *file_; }

    void Reset();
    void Clear();
    bool IsEmpty() const;
    void GetHeader(THeaderBytes& header);
    THeaderBytes GetHeader();
    TRect PageRect();
    // Drawing scale for a target rectangle: its width over the page width, or 1 when the
    // page width is not positive.
    float ScaleFor(const TRect& rect);
    void Assign(const TKVT& source);
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void SaveToFile(const std::filesystem::path& fileName) const;

    // The "KVTData" property: the same bytes as a form file.
    std::vector<std::uint8_t> KVTData() const;
    void SetKVTData(std::span<const std::uint8_t> bytes);

    bool FieldExists(std::string_view name) const;
    void NewFieldName(std::string& name) const;
    std::int32_t NextTabOrder() const;
    static std::int32_t CountSpaces(std::string_view s);

    TNotifyEvent OnChange;
    bool Shading = true;
    bool Designing = false;
    std::uint32_t DashColor = 0xC0C0C0; // clSilver

private:
    void changed();

    std::unique_ptr<TKVTFile> file_;
};

} // namespace kovet
