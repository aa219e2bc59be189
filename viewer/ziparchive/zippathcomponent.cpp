#include "viewer/ziparchive/zippathcomponent.h"

#include "viewer/ziparchive/zipcompatibility.h"

#include <algorithm>
#include <cwctype>

using ZipCompatibility::IsPathSeparator;

void CZipPathComponent::SetFullPath(const std::wstring& fullPath) {
    std::wstring path = fullPath;
    const int prefixLength = GetPrefixLength(path);
    if (prefixLength == 2 || prefixLength == 4 || prefixLength == 8) {
        m_prefix = path.substr(0, prefixLength);
        path.erase(0, prefixLength);
    } else {
        m_prefix.clear();
    }

    m_drive.clear();
    if (path.size() >= 2 && path[1] == L':') {
        m_drive = path.substr(0, 2);
        path.erase(0, 2);
    }

    size_t nameStart = 0;
    for (size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1])) {
            nameStart = i;
            break;
        }
    }
    std::wstring directory = path.substr(0, nameStart);
    const std::wstring name = path.substr(nameStart);

    // The root stays: dropping it would turn "/tmp/a" into "tmp/a" and "C:\Skin" into "C:Skin",
    // both relative to whatever the current folder happens to be.
    const bool rooted = !directory.empty() && IsPathSeparator(directory.front());
    const wchar_t root = rooted ? directory.front() : L'\0';
    size_t first = 0;
    while (first < directory.size() && IsPathSeparator(directory[first]))
        ++first;
    size_t last = directory.size();
    while (last > first && IsPathSeparator(directory[last - 1]))
        --last;
    m_directory = directory.substr(first, last - first);
    if (rooted)
        m_directory.insert(m_directory.begin(), root);

    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) {
        m_fileTitle = name;
        SetExtension(L"");
    } else {
        m_fileTitle = name.substr(0, dot);
        SetExtension(name.substr(dot));
    }
}

void CZipPathComponent::SetExtension(const std::wstring& extension) {
    size_t start = 0;
    while (start < extension.size() && extension[start] == L'.')
        ++start;
    m_extension = extension.substr(start);
}

std::wstring CZipPathComponent::GetFileName() const {
    return m_extension.empty() ? m_fileTitle : m_fileTitle + L"." + m_extension;
}

std::wstring CZipPathComponent::GetFilePath() const {
    return m_prefix + m_drive + m_directory;
}

int CZipPathComponent::GetPrefixLength(const std::wstring& path) {
    const std::wstring prefix = g_zipUncPrefix;
    const size_t count = std::min(prefix.size(), path.size());
    int agreeing = 0;
    for (size_t i = 0; i < count; ++i) {
        if (static_cast<wchar_t>(std::towlower(path[i])) != prefix[i])
            break;
        ++agreeing;
    }
    return agreeing;
}

void CZipPathComponent::TrimTrailingSeparators(std::wstring& path) {
    while (path.size() > 1 && IsPathSeparator(path.back()))
        path.pop_back();
}
