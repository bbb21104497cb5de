#pragma once
// The look the windows share: centred navy labels.

#include "Tables.h"

inline constexpr std::uint32_t kNavy = 0x000080;

inline fw::StaticTextSettings NavyLabel(const char* name, std::int32_t left, std::int32_t top, std::int32_t width,
                                        std::int32_t height, std::int32_t tabIndex, const char* text,
                                        std::int32_t size)
{
    auto s = fw::Placed<fw::StaticTextSettings>(name, left, top, width, height, tabIndex);
    s.text = text;
    s.textAlign = 1;
    s.textColor = kNavy;
    s.multiline = true;
    s.textSize = size;
    return s;
}
