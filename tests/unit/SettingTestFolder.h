// A fresh folder for file tests, removed with everything in it at the end of the test.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class SettingTestFolder {
public:
    SettingTestFolder()
    {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path() /
                 ("zr_settings_" + std::to_string(stamp) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(m_path);
    }
    ~SettingTestFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    SettingTestFolder(const SettingTestFolder&) = delete;
    SettingTestFolder& operator=(const SettingTestFolder&) = delete;

    std::filesystem::path Path(const char* name) const { return m_path / name; }
    std::wstring File(const char* name) const { return Path(name).wstring(); }

    void WriteBytes(const char* name, const std::string& bytes) const
    {
        std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string ReadBytes(const char* name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const char* name) const { return std::filesystem::exists(Path(name)); }

private:
    std::filesystem::path m_path;
};
