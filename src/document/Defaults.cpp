#include "Defaults.h"

#include "storage/Stream.h"

#include <algorithm>
#include <system_error>

namespace kovet {

void TKVTDefaults::Reset() {
    // Every value of the built-in defaults that is not set below is zero.
    Record.fill(0);

    const Bytes page = Page();
    HeaderRec::PaperSize.set(page, kvtLetter);
    HeaderRec::BorderStyle.set(page, psClear);
    HeaderRec::PageColor.set(page, 0xFFFFFF);

    const Bytes text = Text();
    TextRec::FontSize.set(text, 10);
    TextRec::FontName.set(text, "Arial");
    TextRec::FontHeight.set(text, 13);
    TextRec::Autosize.set(text, 1);
    TextRec::Text.set(text, "Text");

    const Bytes frame = Frame();
    FrameRec::Width.set(frame, 100);
    FrameRec::Height.set(frame, 100);
    FrameRec::InnerColor.set(frame, 0xAAFFFF);
    FrameRec::Thickness.set(frame, 1);

    const Bytes line = Line();
    LineRec::Width.set(line, 100);
    LineRec::Height.set(line, 10);
    LineRec::Thickness.set(line, 1);

    const Bytes ellipse = Ellipse();
    EllipseRec::Width.set(ellipse, 100);
    EllipseRec::Height.set(ellipse, 100);
    EllipseRec::InnerColor.set(ellipse, 0xAAFFFF);
    EllipseRec::Thickness.set(ellipse, 1);

    const Bytes field = Field();
    FieldRec::FontSize.set(field, 11);
    FieldRec::FontName.set(field, "Courier New");
    FieldRec::FontHeight.set(field, -15);
    FieldRec::Name.set(field, "Field");
    FieldRec::Digits.set(field, 8);
    FieldRec::Decimals.set(field, 2);
    FieldRec::MaxLength.set(field, 255);
    FieldRec::ReadOnly.set(field, 1);
    FieldRec::AutoRound.set(field, 1);
    FieldRec::CtlBorder.set(field, 1);
    FieldRec::CtlOutline.set(field, 1);
    FieldRec::CtlColor.set(field, 0xFFFFFF);

    const Bytes options(Record);
    DefaultsRec::PrintShading.set(options, 1);
    DefaultsRec::Version.set(options, DefaultsRec::CurrentVersion);
    DefaultsRec::WordScale.set(options, 0.33f);
}

std::string TKVTDefaults::Load(const std::filesystem::path& file) {
    std::error_code error;
    // Only a file known to be absent means "no defaults yet"; any other doubt goes on to
    // the read, which reports it.
    if (!std::filesystem::exists(file, error) && !error) {
        Reset();
        return {};
    }
    return LoadFromBytes(ReadWholeFile(file));
}

std::string TKVTDefaults::LoadFromBytes(ConstBytes bytes) {
    Record.fill(0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), Record.size()), Record.begin());
    if (DefaultsRec::Version.get(Record) != DefaultsRec::CurrentVersion) {
        Reset();
        return kDefaultsResetMessage;
    }
    return {};
}

void TKVTDefaults::Save(const std::filesystem::path& file) {
    DefaultsRec::Version.set(Record, DefaultsRec::CurrentVersion);
    WriteFileAtomically(file, Record);
}

} // namespace kovet
