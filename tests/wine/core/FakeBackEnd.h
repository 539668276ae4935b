// A scripted display back end (modes, refusals, failing steps) that logs every call in order, and
// the fixture of the tests that drive the core in this process through its command channel.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/CCoreLibrary.h"
#include "core/GammaMath.h"
#include "core/IDisplayBackEnd.h"
#include "tests/wine/core/ReplyRecorder.h"

struct FakeScript {
    // Open: the result, and whether modes can be used afterwards.
    HRESULT openResult = S_OK;
    bool modesAfterOpen = true;
    bool gammaControl = true;
    DeviceRamp startupRamp{};
    std::vector<DisplayMode> modes;
    std::vector<DisplayMode> refusedModes;
    bool refuseRamp = false;
    bool readFails = false;
    // The mode in force: a mode SetMode accepts becomes it, RestoreMode returns to the first.
    DisplayMode current{1280, 1024, 32, 60};
    bool restoreModeFails = false;
    // What the device holds once a ramp was written (or set here, as the system would); before
    // that it reads back the start-up ramp.
    DeviceRamp device{};
    bool deviceWritten = false;
    // Called as a mode or a ramp is about to reach the screen.
    std::function<void()> beforeChange;

    std::vector<std::string> calls;
    std::vector<DeviceRamp> writes;
    int modesOffered = 0;
    int waits = 0;
    DWORD waited = 0;
};

class FakeBackEnd final : public orvel::IDisplayBackEnd {
public:
    explicit FakeBackEnd(FakeScript& script) : m_script(script) {}
    ~FakeBackEnd() override { m_script.calls.push_back("destroy"); }

    HRESULT Open(HWND) override {
        m_script.calls.push_back("open");
        m_modes = m_script.modesAfterOpen;
        return m_script.openResult;
    }
    bool CanChangeModes() const override { return m_modes; }
    bool CaptureRamp(DeviceRamp& ramp) override {
        m_script.calls.push_back("capture");
        if (!m_script.gammaControl) return false;
        ramp = m_script.startupRamp;
        return true;
    }
    void ReleaseAll() override {
        m_script.calls.push_back("release");
        m_modes = false;
    }
    void EnumModes(ModeSink sink, void* context) override {
        m_script.calls.push_back("enum");
        for (const auto& mode : m_script.modes) {
            ++m_script.modesOffered;
            if (!sink(mode, context)) break;
        }
    }
    HRESULT SetMode(const DisplayMode& mode) override {
        m_script.calls.push_back("setmode " + Text(mode));
        if (m_script.beforeChange) m_script.beforeChange();
        const auto& refused = m_script.refusedModes;
        if (std::find(refused.begin(), refused.end(), mode) != refused.end()) return kRefused;
        if (!m_changed) m_startup = m_script.current;
        m_changed = true;
        m_script.current = mode;
        return S_OK;
    }
    bool RestoreMode() override {
        m_script.calls.push_back("restoremode");
        if (m_script.restoreModeFails) return false;
        if (m_changed) m_script.current = m_startup;
        m_changed = false;
        return true;
    }
    bool GetMode(DisplayMode& mode) override {
        m_script.calls.push_back("getmode");
        mode = m_script.current;
        return true;
    }
    bool PutBackMode(const DisplayMode& mode) override {
        m_script.calls.push_back("putback " + Text(mode));
        m_script.current = mode;
        return true;
    }
    bool ModeInForce(DisplayMode& mode) override {
        mode = m_script.current;
        return true;
    }
    bool WriteRamp(const DeviceRamp& ramp) override {
        m_script.calls.push_back("write");
        if (m_script.beforeChange) m_script.beforeChange();
        m_script.writes.push_back(ramp);
        if (m_script.refuseRamp) return false;
        m_script.device = ramp;
        m_script.deviceWritten = true;
        return true;
    }
    bool ReadRamp(DeviceRamp& ramp) override {
        m_script.calls.push_back("read");
        ramp = m_script.deviceWritten ? m_script.device : m_script.startupRamp;
        return !m_script.readFails;
    }
    void Wait(DWORD milliseconds) override {
        ++m_script.waits;
        m_script.waited += milliseconds;
    }

    static std::string Text(const DisplayMode& mode) {
        return std::to_string(mode.width) + "x" + std::to_string(mode.height) + "x" + std::to_string(mode.bpp) + "@" +
               std::to_string(mode.refresh_rate);
    }

private:
    // What Wine answers for a mode the adapter does not have (E_NOTIMPL).
    static constexpr HRESULT kRefused = static_cast<HRESULT>(0x80004001L);
    FakeScript& m_script;
    bool m_modes = false;
    bool m_changed = false;
    DisplayMode m_startup{};
};

// gtest's way of printing a mode.
inline void PrintTo(const DisplayMode& mode, std::ostream* out) { *out << FakeBackEnd::Text(mode); }

// Entry i of every channel is step * i + offset.
inline DeviceRamp RampOf(int step, int offset) {
    DeviceRamp ramp;
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint16_t>(step * (i % 256) + offset);
    return ramp;
}

// A table the gamma page could send (each entry half its index), and the ramp it becomes.
inline GammaTable DimTable() {
    GammaTable table;
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::int32_t>((i % 256) / 2);
    return table;
}
inline DeviceRamp DimRamp() {
    DeviceRamp ramp;
    orvel::WidenGammaTable(DimTable().data(), ramp);
    return ramp;
}

// The core in this process, attached by each test with its scripted displays the way DllMain
// attaches it, answering into a reply recorder, and cleared up after each test.
class CoreTest : public ::testing::Test {
protected:
    void TearDown() override { orvel::CCoreLibrary::Instance().ClearUp(); }

    bool Init() { return orvel::CCoreLibrary::Instance().Init(m_recorder.Handle()); }
    LRESULT Send(std::uint32_t code, const void* payload = nullptr, std::uint32_t size = 0) {
        return orvel::CCoreLibrary::Instance().Send(m_recorder.Handle(), code, payload, size);
    }

    ReplyRecorder m_recorder;
};
