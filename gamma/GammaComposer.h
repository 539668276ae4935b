// Composition of a 768-entry gamma table from a GammaSetting: the one composition, used by the
// gamma page, the tests and the benchmarks. The arithmetic itself belongs to the core library;
// the page hands in its exported functions, the tests the functions behind them, or fakes.
#pragma once

#include "core/CoreTypes.h"
#include "gamma/GammaSetting.h"

struct GammaArithmetic {
    float (*parseGamma)(int position);
    float (*parseContrast)(int position);
    int (*parseBrightness)(int position);
    int (*applyGamma)(int value, float gamma);
    int (*applyBrightness)(int value, int offset);
    int (*applyContrast)(int value, float contrast);
    int (*applyClamping)(int value, int high, int low);
};

// Every entry starts from the identity ramp (entry i = i), never from the ramp on the screen,
// and goes through gamma, brightness, contrast and clamping in this fixed order.
void ComposeGammaTable(const GammaSetting& setting, const GammaArithmetic& arithmetic, GammaTable& table);
