// Slider arithmetic of the gamma page as pure functions: the seven ranges, keeping a setting
// inside them, the linked RGB slider, and the value label texts. No Windows header.
#pragma once

#include <array>
#include <cstddef>

#include "gamma/GammaSetting.h"

// The seven sliders in the order of the GammaSetting fields.
enum class GammaSlider : int { R, G, B, Contrast, Brightness, HiClamping, LoClamping };
inline constexpr std::size_t kGammaSliderCount = 7;

struct SliderRange {
    int min = 0;
    int max = 0;
    friend bool operator==(const SliderRange&, const SliderRange&) = default;
};

// LoClamping stays at most 127 and HiClamping at least 128, so low never passes high.
inline constexpr std::array<SliderRange, kGammaSliderCount> kGammaSliderRanges{{
    {0, 100}, {0, 100}, {0, 100}, {-80, 80}, {80, 120}, {128, 255}, {0, 127},
}};

// The linked slider before its first re-range.
inline constexpr SliderRange kLinkedSliderInitialRange{0, 100};

using GammaPositions = std::array<int, kGammaSliderCount>;

GammaPositions ToPositions(const GammaSetting& setting);
GammaSetting FromPositions(const GammaPositions& positions);

// Where a trackbar of that range puts the value: the nearest end when outside.
int ClampToRange(int value, SliderRange range);
// Every field brought into its slider's range, as positioning the sliders does.
GammaSetting ClampToSliderRanges(const GammaSetting& setting);

// The linked slider's range: an offset inside it keeps R, G and B within 0..100.
SliderRange LinkedSliderRange(int r, int g, int b);

struct RgbPositions {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const RgbPositions&, const RgbPositions&) = default;
};

// R, G and B moved together by the linked slider's offset, each kept inside 0..100.
RgbPositions LinkedMove(RgbPositions rgb, int offset);

// Value label: "50%" for R, G, B, Contrast and Brightness, plain "255" for the clamping values.
// A fixed buffer, so writing labels allocates nothing.
using SliderLabel = std::array<wchar_t, 16>;
SliderLabel FormatSliderLabel(GammaSlider slider, int value);
