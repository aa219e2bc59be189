#pragma once
// A fresh folder under the system's temporary folder, removed with the object.

#include "platform/base/unicode.h"

#include <filesystem>
#include <random>
#include <string>

class TestFolder {
public:
    TestFolder() {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() /
                 ("trevo-test-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    // The wide path the program's own calls take (std::filesystem would convert through the C locale).
    std::wstring Wide(const std::string& name = "") const {
        return WideFromUtf8((name.empty() ? m_path : m_path / name).string());
    }

private:
    std::filesystem::path m_path;
};
