#include "platform/base/drivetable.h"

#include "platform/base/filesystem.h"

#include <algorithm>

namespace {

constexpr wchar_t kFirstFreeLetter = L'D';
constexpr wchar_t kRepairLetter = L'C';
constexpr const wchar_t* kRepairName = L"repair";

wchar_t NormalLetter(wchar_t letter) {
    if (letter >= L'a' && letter <= L'z')
        return static_cast<wchar_t>(letter - L'a' + L'A');
    return letter >= L'A' && letter <= L'Z' ? letter : 0;
}

std::wstring WithoutTrailingSlashes(std::wstring path) {
    while (path.size() > 1 && path.back() == L'/')
        path.pop_back();
    return path;
}

// Splits at '/', dropping empty and "." parts and resolving ".." lexically; a ".." above the first
// part is dropped, as Windows does at a drive's root.
std::vector<std::wstring> Components(const std::wstring& path, std::vector<std::wstring> start = {}) {
    size_t begin = 0;
    while (begin <= path.size()) {
        size_t end = path.find(L'/', begin);
        if (end == std::wstring::npos)
            end = path.size();
        const std::wstring part = path.substr(begin, end - begin);
        if (part == L"..") {
            if (!start.empty())
                start.pop_back();
        } else if (!part.empty() && part != L".") {
            start.push_back(part);
        }
        begin = end + 1;
    }
    return start;
}

std::wstring Join(const std::wstring& base, const std::vector<std::wstring>& parts, wchar_t separator) {
    std::wstring path = base;
    for (const auto& part : parts) {
        if (path.empty() || path.back() != separator)
            path.push_back(separator);
        path += part;
    }
    return path;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() &&
           FileSystem::FoldNameCase(text.substr(0, prefix.size())) == FileSystem::FoldNameCase(prefix);
}

// The part of the path below the root ("" for the root itself), or nothing when it is not inside.
std::optional<std::wstring> Below(const std::wstring& path, const std::wstring& root) {
    if (root == L"/")
        return path.substr(1);
    if (path.compare(0, root.size(), root) != 0)
        return std::nullopt;
    if (path.size() == root.size())
        return std::wstring();
    if (path[root.size()] != L'/')
        return std::nullopt;
    return path.substr(root.size() + 1);
}

} // namespace

DriveTable& DriveTable::Instance() {
    static DriveTable table;
    return table;
}

wchar_t DriveTable::Register(DriveVolume volume) {
    volume.mountRoot = WithoutTrailingSlashes(volume.mountRoot);
    if (volume.mountRoot.empty() || volume.mountRoot.front() != L'/')
        return 0;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& [letter, known] : m_volumes) {
        if (known.mountRoot == volume.mountRoot)
            return 0;
    }
    if (volume.letter == 0) {
        for (wchar_t letter = kFirstFreeLetter; letter <= L'Z' && volume.letter == 0; ++letter) {
            if (m_volumes.count(letter) == 0)
                volume.letter = letter;
        }
    } else {
        volume.letter = NormalLetter(volume.letter);
        if (m_volumes.count(volume.letter) != 0)
            return 0;
    }
    if (volume.letter == 0)
        return 0;
    const wchar_t letter = volume.letter;
    m_volumes.emplace(letter, std::move(volume));
    return letter;
}

bool DriveTable::Unregister(wchar_t letter) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_volumes.erase(NormalLetter(letter)) != 0;
}

void DriveTable::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_volumes.clear();
}

std::optional<DriveVolume> DriveTable::Find(wchar_t letter) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_volumes.find(NormalLetter(letter));
    if (found == m_volumes.end())
        return std::nullopt;
    return found->second;
}

wchar_t DriveTable::LetterOfRoot(const std::wstring& mountRoot) const {
    const std::wstring root = WithoutTrailingSlashes(mountRoot);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& [letter, volume] : m_volumes) {
        if (volume.mountRoot == root)
            return letter;
    }
    return 0;
}

std::vector<DriveVolume> DriveTable::Volumes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<DriveVolume> volumes;
    for (const auto& [letter, volume] : m_volumes)
        volumes.push_back(volume);
    return volumes;
}

std::optional<std::wstring> DriveTable::RootOf(wchar_t letter) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_volumes.find(NormalLetter(letter));
    if (found == m_volumes.end())
        return std::nullopt;
    return found->second.mountRoot;
}

std::optional<DriveTable::Location> DriveTable::Locate(const std::wstring& linuxPath) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::optional<Location> best;
    for (const auto& [letter, volume] : m_volumes) {
        const auto rest = Below(linuxPath, volume.mountRoot);
        if (rest && (!best || volume.mountRoot.size() > best->mountRoot.size()))
            best = Location{letter, volume.mountRoot, *rest};
    }
    return best;
}

std::wstring TranslatePath(const std::wstring& path) {
    std::wstring text = path;
    std::replace(text.begin(), text.end(), L'\\', L'/');
    if (text.compare(0, 4, L"//?/") == 0) {
        text.erase(0, 4);
        if (StartsWithNoCase(text, L"UNC/"))
            return std::wstring();
    }
    if (text.empty() || text.compare(0, 2, L"//") == 0)
        return std::wstring();

    if (text.size() >= 2 && text[1] == L':' && NormalLetter(text[0]) != 0) {
        const wchar_t letter = NormalLetter(text[0]);
        const std::vector<std::wstring> parts = Components(text.substr(2));
        if (letter == kRepairLetter && !parts.empty() &&
            FileSystem::FoldNameCase(parts.front()) == FileSystem::FoldNameCase(kRepairName)) {
            return Join(FileSystem::RepairFolder(), std::vector<std::wstring>(parts.begin() + 1, parts.end()),
                        L'/');
        }
        const auto root = DriveTable::Instance().RootOf(letter);
        if (!root)
            return std::wstring();
        return Join(*root, parts, L'/');
    }

    if (text.front() == L'/')
        return text;
    const std::wstring program = FileSystem::ProgramFolder();
    return Join(L"/", Components(text, Components(program)), L'/');
}

std::wstring WindowsPathFromLinux(const std::wstring& path) {
    if (path.empty() || path.front() != L'/')
        return std::wstring();
    const std::wstring normal = Join(L"/", Components(path), L'/');
    const auto located = DriveTable::Instance().Locate(normal);
    const std::wstring repairFolder = FileSystem::RepairFolder();
    const auto belowRepair = Below(normal, repairFolder);
    // When a volume and the repair folder both hold the path, the deeper root names it.
    if (belowRepair && (!located || located->mountRoot.size() < repairFolder.size()))
        return Join(std::wstring(1, kRepairLetter) + L":\\" + kRepairName, Components(*belowRepair), L'\\');
    if (!located)
        return std::wstring();
    return Join(std::wstring(1, located->letter) + L":\\", Components(located->rest), L'\\');
}

DWORD GetLogicalDrives() {
    DWORD mask = 0;
    for (const auto& volume : DriveTable::Instance().Volumes())
        mask |= 1u << (volume.letter - L'A');
    return mask;
}

DWORD GetLogicalDriveStringsW(DWORD bufferLength, LPWSTR buffer) {
    std::wstring strings;
    for (const auto& volume : DriveTable::Instance().Volumes()) {
        strings.push_back(volume.letter);
        strings.append(L":\\");
        strings.push_back(L'\0');
    }
    if (strings.empty())
        return 0;
    const auto needed = static_cast<DWORD>(strings.size() + 1);
    if (!buffer || bufferLength < needed)
        return needed;
    std::copy(strings.begin(), strings.end(), buffer);
    buffer[strings.size()] = L'\0';
    return static_cast<DWORD>(strings.size());
}

UINT GetDriveTypeW(LPCWSTR rootPath) {
    if (!rootPath)
        return DRIVE_NO_ROOT_DIR;
    const std::wstring root = rootPath;
    const bool rootForm =
        (root.size() == 2 || (root.size() == 3 && (root[2] == L'\\' || root[2] == L'/'))) && root[1] == L':';
    if (!rootForm)
        return DRIVE_NO_ROOT_DIR;
    const auto volume = DriveTable::Instance().Find(root[0]);
    if (!volume)
        return DRIVE_NO_ROOT_DIR;
    return volume->removable ? DRIVE_REMOVABLE : DRIVE_FIXED;
}
