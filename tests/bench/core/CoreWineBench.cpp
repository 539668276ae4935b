// Timed runs under Wine (QueryPerformanceCounter, median of many runs):
//  - composing one GammaTable through OrvelCore.dll's exports (768 entries x 4 steps);
//  - one CORE_CMD_SET_GAMMA_RAMP round trip through the core window with a back end that
//    accepts every ramp, so only the channel and the widening are measured;
//  - the same round trip through OrvelCore.dll on the real display, when InitCore succeeds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "core/CCoreLibrary.h"
#include "core/OrvelCore.h"

namespace {

class AcceptingBackEnd final : public orvel::IDisplayBackEnd {
public:
    HRESULT Open(HWND) override { return S_OK; }
    bool CanChangeModes() const override { return true; }
    bool CaptureRamp(DeviceRamp& ramp) override {
        ramp.fill(0);
        return true;
    }
    void ReleaseAll() override {}
    void EnumModes(ModeSink, void*) override {}
    HRESULT SetMode(const DisplayMode&) override { return S_OK; }
    bool RestoreMode() override { return true; }
    bool GetMode(DisplayMode&) override { return false; }
    bool PutBackMode(const DisplayMode&) override { return true; }
    bool ModeInForce(DisplayMode&) override { return false; }
    bool WriteRamp(const DeviceRamp& ramp) override { return ramp[255] != 1; }
    bool ReadRamp(DeviceRamp&) override { return true; }
    void Wait(DWORD) override {}
};

std::unique_ptr<orvel::IDisplayBackEnd> MakeAccepting() { return std::make_unique<AcceptingBackEnd>(); }

double MedianMicroseconds(int runs, int inner, const std::function<void()>& body) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> samples;
    samples.reserve(runs);
    for (int r = 0; r < runs; ++r) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        for (int i = 0; i < inner; ++i) body();
        QueryPerformanceCounter(&end);
        samples.push_back((end.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart / inner);
    }
    std::nth_element(samples.begin(), samples.begin() + runs / 2, samples.end());
    return samples[runs / 2];
}

struct Exports {
    float(__cdecl* parseGamma)(int);
    float(__cdecl* parseContrast)(int);
    int(__cdecl* parseBrightness)(int);
    int(__cdecl* applyGamma)(int, float);
    int(__cdecl* applyBrightness)(int, int);
    int(__cdecl* applyContrast)(int, float);
    int(__cdecl* applyClamping)(int, int, int);
};

template <typename T>
T Get(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

int main() {
    HMODULE module = LoadLibraryW(L"OrvelCore.dll");
    if (module == nullptr) {
        std::printf("OrvelCore.dll not found\n");
        return 1;
    }
    Exports e{Get<decltype(Exports::parseGamma)>(module, "ParseGammaParam"),
              Get<decltype(Exports::parseContrast)>(module, "ParseContrastParam"),
              Get<decltype(Exports::parseBrightness)>(module, "ParseBrightnessParam"),
              Get<decltype(Exports::applyGamma)>(module, "ApplyGamma"),
              Get<decltype(Exports::applyBrightness)>(module, "ApplyBrightness"),
              Get<decltype(Exports::applyContrast)>(module, "ApplyContrast"),
              Get<decltype(Exports::applyClamping)>(module, "ApplyClamping")};

    GammaTable table;
    const double compose = MedianMicroseconds(201, 20, [&] {
        const float g[3] = {e.parseGamma(30), e.parseGamma(60), e.parseGamma(80)};
        const float c = e.parseContrast(40);
        const int o = e.parseBrightness(110);
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < 256; ++i)
                table[k * 256 + i] =
                    e.applyClamping(e.applyContrast(e.applyBrightness(e.applyGamma(i, g[k]), o), c), 240, 10);
    });
    std::printf("compose GammaTable via exports: median %.2f us\n", compose);

    // The channel with an accepting back end, attached the way DllMain attaches the real one.
    orvel::CCoreLibrary& core = orvel::CCoreLibrary::Instance();
    if (core.Attach(GetModuleHandleW(nullptr), &MakeAccepting) && core.Init(nullptr)) {
        const double roundTrip = MedianMicroseconds(201, 50, [&] {
            core.Send(nullptr, CORE_CMD_SET_GAMMA_RAMP, table.data(), static_cast<UINT32>(sizeof(table)));
        });
        std::printf("SET_GAMMA_RAMP round trip, accepting back end: median %.2f us\n", roundTrip);
        core.ClearUp();
    }

    auto init = Get<InitCoreFn>(module, "InitCore");
    auto send = Get<SendCommandFn>(module, "SendCommand");
    auto clearUp = Get<ClearUpCoreFn>(module, "ClearUpCore");
    if (init != nullptr && init(nullptr)) {
        for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<int>(i % 256);
        const double real = MedianMicroseconds(51, 5, [&] {
            send(nullptr, CORE_CMD_SET_GAMMA_RAMP, table.data(), static_cast<UINT32>(sizeof(table)));
        });
        std::printf("SET_GAMMA_RAMP round trip, OrvelCore.dll on the display: median %.2f us\n", real);
        send(nullptr, CORE_CMD_RESTORE_GAMMA, nullptr, 0);
        clearUp();
    } else {
        std::printf("InitCore failed: no figure for the real display\n");
    }
    FreeLibrary(module);
    return 0;
}
