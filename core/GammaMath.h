// Gamma arithmetic of the display core, free of Windows headers. The library's exported
// functions delegate here; the widening and the level ramp serve the core itself. Tables are
// composed by the program (gamma/GammaComposer), from the exported steps.
#pragma once

#include "core/CoreTypes.h"

namespace orvel {

// Slider position (0..100, 50 neutral) to gamma exponent; the upper half is ten times steeper.
float ParseGammaParam(int position);
// Slider position (-80..80) to contrast factor: position / 100.
float ParseContrastParam(int position);
// Slider position (80..120, 100 neutral) to brightness offset, truncated toward zero;
// saturates at the ends of int for positions far outside the slider's range.
int ParseBrightnessParam(int position);

// Any value and gamma give 0..255: a negative value or a gamma <= 0 at value 0 saturates
// instead of converting NaN or infinity to int; a NaN gamma leaves the value unchanged.
int ApplyGamma(int value, float gamma);
int ApplyBrightness(int value, int offset);
// c is clamped into -1..1; NaN leaves the value unchanged.
int ApplyContrast(int value, float contrast);
// The upper bound is tested first, so high < low yields high.
int ApplyClamping(int value, int high, int low);
int clip(int value);

// Entry v becomes (v << 8) | v, i.e. 257 * v for v in 0..255.
void WidenGammaTable(const std::int32_t* table, DeviceRamp& ramp);

// Three-level ramp (0.5 neutral, 0 darkest, 1 brightest): exponent 2^((0.5 - level) * 4).
void BuildLevelRamp(double red, double green, double blue, DeviceRamp& ramp);

}  // namespace orvel
