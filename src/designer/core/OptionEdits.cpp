#include "OptionEdits.h"

namespace kovet::designer {

TOptionValues ReadOptions(TKVTDefaults& defaults) {
    const auto& record = defaults.Record;
    TOptionValues v;
    v.RulerUnits = DefaultsRec::RulerUnits.get(record);
    v.StartMaximized = DefaultsRec::StartMaximized.get(record) != 0;
    v.PrintInColor = DefaultsRec::PrintInColor.get(record) != 0;
    v.PrintShading = DefaultsRec::PrintShading.get(record) != 0;
    v.PrintExactDPI = DefaultsRec::PrintExactDPI.get(record) != 0;
    v.PrintExactMargins = DefaultsRec::PrintExactMargins.get(record) != 0;
    v.WordScale = DefaultsRec::WordScale.get(record);
    ReadObjectValues(kvtHeaderType, defaults.Page(), v.Objects);
    ReadObjectValues(kvtTextType, defaults.Text(), v.Objects);
    ReadObjectValues(kvtFrameType, defaults.Frame(), v.Objects);
    ReadObjectValues(kvtLineType, defaults.Line(), v.Objects);
    ReadObjectValues(kvtEllipseType, defaults.Ellipse(), v.Objects);
    ReadObjectValues(kvtFieldType, defaults.Field(), v.Objects);
    v.FrameHeight = ObjectRec::Height.get(defaults.Frame());
    v.FrameWidth = ObjectRec::Width.get(defaults.Frame());
    v.LineHeight = ObjectRec::Height.get(defaults.Line());
    v.LineWidth = ObjectRec::Width.get(defaults.Line());
    v.EllipseHeight = ObjectRec::Height.get(defaults.Ellipse());
    v.EllipseWidth = ObjectRec::Width.get(defaults.Ellipse());
    return v;
}

void StoreOptions(TKVTDefaults& defaults, const TOptionValues& v) {
    auto& record = defaults.Record;
    DefaultsRec::RulerUnits.set(record, std::uint8_t(v.RulerUnits));
    DefaultsRec::StartMaximized.set(record, v.StartMaximized ? 1 : 0);
    DefaultsRec::PrintInColor.set(record, v.PrintInColor ? 1 : 0);
    DefaultsRec::PrintShading.set(record, v.PrintShading ? 1 : 0);
    DefaultsRec::PrintExactDPI.set(record, v.PrintExactDPI ? 1 : 0);
    DefaultsRec::PrintExactMargins.set(record, v.PrintExactMargins ? 1 : 0);
    DefaultsRec::WordScale.set(record, ClampedWordScale(v.WordScale));
    StoreObjectValues(kvtHeaderType, defaults.Page(), v.Objects);
    StoreObjectValues(kvtTextType, defaults.Text(), v.Objects);
    StoreObjectValues(kvtFrameType, defaults.Frame(), v.Objects);
    StoreObjectValues(kvtLineType, defaults.Line(), v.Objects);
    StoreObjectValues(kvtEllipseType, defaults.Ellipse(), v.Objects);
    StoreObjectValues(kvtFieldType, defaults.Field(), v.Objects);
    ObjectRec::Height.set(defaults.Frame(), std::int16_t(v.FrameHeight));
    ObjectRec::Width.set(defaults.Frame(), std::int16_t(v.FrameWidth));
    ObjectRec::Height.set(defaults.Line(), std::int16_t(v.LineHeight));
    ObjectRec::Width.set(defaults.Line(), std::int16_t(v.LineWidth));
    ObjectRec::Height.set(defaults.Ellipse(), std::int16_t(v.EllipseHeight));
    ObjectRec::Width.set(defaults.Ellipse(), std::int16_t(v.EllipseWidth));
}

float ClampedWordScale(double scale) {
    // Written so that a scale that is no number at all becomes the smallest.
    if (!(scale > kMinWordScale)) return kMinWordScale;
    if (scale > kMaxWordScale) return kMaxWordScale;
    return float(scale);
}

} // namespace kovet::designer
