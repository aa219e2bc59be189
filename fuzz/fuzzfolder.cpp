#include "fuzzfolder.h"

#include "platform/base/unicode.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

FuzzFolder& FuzzFolder::Instance() {
    static FuzzFolder folder;
    return folder;
}

FuzzFolder::FuzzFolder() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/trevo-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
    ::setenv("TREVO_CONFIG_HOME", m_path.c_str(), 1);
}

FuzzFolder::~FuzzFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::wstring FuzzFolder::WidePathOf(const std::string& name) const {
    return WideFromUtf8(PathOf(name));
}

std::string FuzzFolder::Write(const std::string& name, const uint8_t* data, size_t size) const {
    const std::string path = PathOf(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written)
        throw std::runtime_error("cannot write " + path);
    return path;
}

std::string FuzzFolder::Write(const std::string& name, const std::string& bytes) const {
    return Write(name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

void FuzzFolder::Clear() const {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(m_path, ignored))
        std::filesystem::remove_all(entry.path(), ignored);
}
