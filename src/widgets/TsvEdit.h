#pragma once

// TsvEdit: the designer's integer box. It is the run-time field editor in its integer format:
// only digits, the minus sign, the decimal point and backspace can be typed, and Enter is
// reported (OnReturn). Unlike a field it shows zero, keeps the keyboard where it is on Enter and keeps
// the window's colours when it has the focus.

#include "display/KVTEdit.h"

#include <cstdint>

namespace kovet {

class TsvEdit : public TKVTEdit {
public:
    explicit TsvEdit(QWidget* parent = nullptr);

    // The number as typed so far, a decimal part rounded away; numbers beyond 64 bits end at
    // the nearest 64-bit value. The box shows it as it reads it.
    std::int64_t Number();
    void SetNumber(std::int64_t number);
};

} // namespace kovet
