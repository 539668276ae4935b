#include "gamma/GammaComposer.h"

void ComposeGammaTable(const GammaSetting& s, const GammaArithmetic& a, GammaTable& table) {
    const float gammas[3] = {a.parseGamma(s.R), a.parseGamma(s.G), a.parseGamma(s.B)};
    const float contrast = a.parseContrast(s.Contrast);
    const int brightness = a.parseBrightness(s.Brightness);
    for (int i = 0; i < 256; ++i) {
        for (int k = 0; k < 3; ++k) {
            int v = a.applyGamma(i, gammas[k]);
            v = a.applyBrightness(v, brightness);
            v = a.applyContrast(v, contrast);
            v = a.applyClamping(v, s.HiClamping, s.LoClamping);
            table[static_cast<std::size_t>(k * 256 + i)] = v;
        }
    }
}
