#include "core/GammaMath.h"

#include <climits>
#include <cmath>

namespace orvel {

namespace {
// Rounds a double-precision intermediate to single precision, where the arithmetic
// keeps a value "as float"; everything else stays double.
inline float AsFloat(double value) { return static_cast<float>(value); }

// Level 0..1 to channel value, truncated toward zero. Outside callers can pass anything, so
// the level may be far outside 0..1, infinite or NaN: it is clamped before the conversion to
// int, which would be undefined for those. NaN gives black.
inline int LevelToValue(double level) {
    const double scaled = level * 255.0;
    if (!(scaled > 0.0)) return 0;
    if (scaled >= 255.0) return 255;
    return static_cast<int>(scaled);
}
}  // namespace

// Positions are widened to double before any arithmetic: outside callers may pass any int.
float ParseGammaParam(int position) {
    const double p = position;
    if (position == 50) return 1.0f;
    if (position < 50) return AsFloat(1.0 / (1.0 - (50.0 - p) / 100.0));
    return AsFloat(1.0 / ((p - 50.0) / 10.0 + 1.0));
}

float ParseContrastParam(int position) { return AsFloat(position / 100.0); }

// Saturates at the ends of int for positions far outside the slider's range.
int ParseBrightnessParam(int position) {
    const double offset = (static_cast<double>(position) - 100.0) / 100.0 * 256.0;
    if (offset >= 2147483647.0) return INT_MAX;
    if (offset <= -2147483648.0) return INT_MIN;
    return static_cast<int>(offset);
}

int ApplyGamma(int value, float gamma) {
    if (std::isnan(gamma)) return clip(value);  // as for contrast
    const float base = AsFloat(value / 255.0);
    const float raised = AsFloat(std::pow(static_cast<double>(base), static_cast<double>(gamma)));
    return LevelToValue(raised);
}

int ApplyBrightness(int value, int offset) {
    // Widened so that extreme offsets cannot overflow before the clip.
    const long long sum = static_cast<long long>(value) + offset;
    return sum > 255 ? 255 : sum < 0 ? 0 : static_cast<int>(sum);
}

int ApplyContrast(int value, float contrast) {
    if (std::isnan(contrast)) return clip(value);
    const double c = contrast > 1.0f ? 1.0 : contrast < -1.0f ? -1.0 : contrast;
    const double x = AsFloat(value / 255.0);
    constexpr double h = 0.5;
    double y = x;
    if (c == 0.0) {
        y = x;
    } else if (c > 0.0 && c < 1.0) {
        // Stretch: [s, 1 - s] is spread over the full range.
        const double s = AsFloat(c * h);
        const double k = AsFloat(h / (h - s));
        const double t = AsFloat(1.0 / k + s);
        if (x <= s) y = 0.0;
        else if (x < t) y = AsFloat((x - s) * k);
        else if (x <= 1.0) y = 1.0;
        else y = x;
    } else if (c == 1.0) {
        if (x < 0.5) y = 0.0;
        else if (x <= 1.0) y = 1.0;
        else y = x;
    } else if (c > -1.0) {
        // Compress: the full range is mapped onto [u, 1 - u].
        const double u = AsFloat(-c * h);
        const double w = AsFloat((h - u) / h);
        y = AsFloat(w * x + u);
    } else {
        y = 0.5;
    }
    return LevelToValue(y);
}

int ApplyClamping(int value, int high, int low) {
    if (value > high) return high;
    if (value < low) return low;
    return value;
}

int clip(int value) { return value > 255 ? 255 : value < 0 ? 0 : value; }

void WidenGammaTable(const std::int32_t* table, DeviceRamp& ramp) {
    for (std::size_t i = 0; i < kGammaTableEntries; ++i) {
        // Unsigned, so that an out-of-range entry shifts without undefined behaviour;
        // the device word keeps the low 16 bits as the wire format defines.
        const auto v = static_cast<std::uint32_t>(table[i]);
        ramp[i] = static_cast<std::uint16_t>((v << 8) | v);
    }
}

void BuildLevelRamp(double red, double green, double blue, DeviceRamp& ramp) {
    const double levels[3] = {red, green, blue};
    for (std::size_t channel = 0; channel < 3; ++channel) {
        const double exponent = std::pow(2.0, (0.5 - levels[channel]) * 4.0);
        for (std::size_t i = 0; i < kGammaChannelSize; ++i) {
            const double entry = std::pow(static_cast<double>(i) / 255.0, exponent) * 65535.0;
            ramp[channel * kGammaChannelSize + i] = static_cast<std::uint16_t>(entry);
        }
    }
}

}  // namespace orvel
