#include "gamma/GammaSliders.h"

#include <algorithm>

GammaPositions ToPositions(const GammaSetting& s) {
    return {s.R, s.G, s.B, s.Contrast, s.Brightness, s.HiClamping, s.LoClamping};
}

GammaSetting FromPositions(const GammaPositions& p) {
    return {p[0], p[1], p[2], p[3], p[4], p[5], p[6]};
}

int ClampToRange(int value, SliderRange range) {
    return std::clamp(value, range.min, range.max);
}

GammaSetting ClampToSliderRanges(const GammaSetting& setting) {
    GammaPositions positions = ToPositions(setting);
    for (std::size_t i = 0; i < kGammaSliderCount; ++i) {
        positions[i] = ClampToRange(positions[i], kGammaSliderRanges[i]);
    }
    return FromPositions(positions);
}

SliderRange LinkedSliderRange(int r, int g, int b) {
    return {-std::min({r, g, b}), 100 - std::max({r, g, b})};
}

RgbPositions LinkedMove(RgbPositions rgb, int offset) {
    const SliderRange channel = kGammaSliderRanges[0];
    return {ClampToRange(rgb.r + offset, channel), ClampToRange(rgb.g + offset, channel),
            ClampToRange(rgb.b + offset, channel)};
}

SliderLabel FormatSliderLabel(GammaSlider slider, int value) {
    SliderLabel text{};
    std::size_t n = 0;
    // Digits are produced from the unsigned magnitude so that INT_MIN cannot overflow.
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    if (value < 0) {
        text[n++] = L'-';
    }
    wchar_t digits[10];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0) {
        text[n++] = digits[--count];
    }
    if (slider != GammaSlider::HiClamping && slider != GammaSlider::LoClamping) {
        text[n++] = L'%';
    }
    text[n] = L'\0';
    return text;
}
