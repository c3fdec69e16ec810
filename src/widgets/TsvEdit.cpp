#include "TsvEdit.h"

#include <algorithm>
#include <cmath>

namespace kovet {

TsvEdit::TsvEdit(QWidget* parent) : TKVTEdit(parent) {
    SetOptions(SuperOption(soShowZero));
    // Digits 0 stands for the most the format shows: a 32-bit tag is written out in full.
    SetDigits(0);
    SetFormat(lfoInteger);
    UseFocusColor = false;
}

std::int64_t TsvEdit::Number() {
    Commit();
    // The largest doubles below 2^63 in magnitude: whatever is typed converts safely.
    constexpr double limit = 9223372036854774784.0;
    return std::llround(std::clamp(Value(), -limit, limit));
}

void TsvEdit::SetNumber(std::int64_t number) {
    SetValue(double(number));
}

} // namespace kovet
