#include "imagesupport.h"

#include "platform/base/process.h"
#include "platform/base/unicode.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

void CreateImage(const fs::path& path, ULONGLONG length, ULONGLONG patternBytes) {
    { std::ofstream create(path, std::ios::binary | std::ios::trunc); }
    fs::resize_file(path, length);
    if (patternBytes == 0)
        return;
    std::vector<char> pattern(static_cast<size_t>(patternBytes));
    for (size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<char>(Pattern(i));
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.write(pattern.data(), static_cast<std::streamsize>(pattern.size()));
}

BYTE Pattern(ULONGLONG offset) {
    return static_cast<BYTE>(1 + (offset * 7 + offset / 509) % 251);
}

std::optional<ULONGLONG> FirstPatternMismatch(const fs::path& path, ULONGLONG offset, ULONGLONG length) {
    const std::vector<BYTE> bytes = ReadBytes(path, offset, static_cast<size_t>(length));
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != Pattern(offset + i))
            return offset + i;
    }
    if (bytes.size() != length)
        return offset + bytes.size();
    return std::nullopt;
}

std::vector<BYTE> ReadBytes(const fs::path& path, ULONGLONG offset, size_t length) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(offset));
    std::vector<BYTE> bytes(length);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
    bytes.resize(static_cast<size_t>(file.gcount()));
    return bytes;
}

std::vector<BYTE> ReadSector(const fs::path& path, ULONGLONG sector, DWORD bytesPerSector) {
    return ReadBytes(path, sector * bytesPerSector, bytesPerSector);
}

bool AllZero(const std::vector<BYTE>& bytes) {
    for (const BYTE byte : bytes) {
        if (byte != 0)
            return false;
    }
    return true;
}

DWORD Little32(const std::vector<BYTE>& bytes, size_t offset) {
    return Little16(bytes, offset) | (Little16(bytes, offset + 2) << 16);
}

DWORD Little16(const std::vector<BYTE>& bytes, size_t offset) {
    return static_cast<DWORD>(bytes.at(offset)) | (static_cast<DWORD>(bytes.at(offset + 1)) << 8);
}

std::optional<std::string> FindTool(const std::string& name) {
    std::vector<fs::path> folders;
    if (const char* path = std::getenv("PATH")) {
        std::istringstream entries(path);
        for (std::string entry; std::getline(entries, entry, ':');) {
            if (!entry.empty())
                folders.emplace_back(entry);
        }
    }
    folders.insert(folders.end(), {"/usr/sbin", "/sbin", "/usr/bin", "/bin"});
    for (const fs::path& folder : folders) {
        std::error_code error;
        if (fs::is_regular_file(folder / name, error))
            return (folder / name).string();
    }
    return std::nullopt;
}

ToolRun RunTool(const std::vector<std::string>& arguments) {
    std::random_device random;
    const fs::path output = fs::temp_directory_path() /
                            ("trevo-formatter-tool-" + std::to_string(random()) + std::to_string(random()));
    // The shell only sends the output to the file: the program gets its arguments as they are.
    std::vector<std::wstring> command = {L"/bin/sh", L"-c", L"\"$@\" >\"$0\" 2>&1",
                                         WideFromUtf8(output.string())};
    for (const std::string& argument : arguments)
        command.push_back(WideFromUtf8(argument));
    ToolRun run;
    if (!RunProcessAndWait(command, ProcessOutput::Hidden, run.exitCode))
        run.exitCode = -1;
    std::ifstream file(output, std::ios::binary);
    run.output.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    std::error_code ignored;
    fs::remove(output, ignored);
    return run;
}
