#pragma once

#include "document/KVTFile.h"

#include <memory>
#include <string>
#include <vector>

namespace kovet::bench {

// 1,000 objects over a Letter page: frames, lines, ellipses, texts and fields in turn.
inline TKVT& MixedForm() {
    static const std::unique_ptr<TKVT> form = [] {
        auto f = std::make_unique<TKVT>();
        TKVTFile& file = f->KVTFile();
        for (std::int32_t i = 0; i < 1000; ++i) {
            const std::int16_t left = std::int16_t(20 + (i * 37) % 700), top = std::int16_t(20 + (i * 53) % 980);
            auto place = [&](Bytes r) {
                ObjectRec::Left.set(r, left);
                ObjectRec::Top.set(r, top);
                ObjectRec::Width.set(r, 90);
                ObjectRec::Height.set(r, 22);
            };
            switch (i % 5) {
            case 0: {
                const Bytes r = file.Frames.AddEmpty();
                place(r);
                FrameRec::OuterColor.set(r, 0x5F3A1F);
                FrameRec::InnerColor.set(r, 0xF0F0F0);
                FrameRec::InnerStyle.set(r, fsSolid);
                FrameRec::Thickness.set(r, 1);
                break;
            }
            case 1: {
                const Bytes r = file.Lines.AddEmpty();
                place(r);
                LineRec::Thickness.set(r, 1);
                break;
            }
            case 2: {
                const Bytes r = file.Ellipses.AddEmpty();
                place(r);
                EllipseRec::Thickness.set(r, 1);
                break;
            }
            case 3: {
                const std::string text = "Item " + std::to_string(i);
                std::vector<std::uint8_t> rec(std::size_t(TextItemSize(text.size())));
                ItemHeader::ItemSize.set(rec, TextItemSize(text.size()));
                place(rec);
                TextRec::FontName.set(rec, "Arial");
                TextRec::FontHeight.set(rec, -13);
                TextRec::Text.set(rec, text);
                file.Texts.Add(rec);
                break;
            }
            default: {
                const Bytes r = file.Fields.AddEmpty();
                place(r);
                FieldRec::FontName.set(r, "Courier New");
                FieldRec::FontHeight.set(r, -15);
                FieldRec::Name.set(r, "Field" + std::to_string(i));
                break;
            }
            }
        }
        f->Designing = true; // fields draw as placeholders
        return f;
    }();
    return *form;
}

} // namespace kovet::bench
