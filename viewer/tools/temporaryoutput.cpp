#include "viewer/tools/temporaryoutput.h"

#include "platform/base/filesystem.h"

namespace {

// The folder part of a path: the temporary file must lie on the target's volume to be renamed.
std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'/');
    if (slash == std::wstring::npos)
        return L".";
    return slash == 0 ? L"/" : path.substr(0, slash);
}

std::wstring NameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace

TemporaryOutput::TemporaryOutput(const std::wstring& target) : m_target(target) {}

TemporaryOutput::~TemporaryOutput() {
    m_file.Abort();
    if (!m_path.empty())
        FileSystem::RemoveFile(m_path);
}

bool TemporaryOutput::Open() {
    m_path = FileSystem::CreateTemporaryFile(FolderOf(m_target), L"." + NameOf(m_target) + L".",
                                             FileSystem::TemporaryFileAccess::AsNewFile);
    return !m_path.empty() && m_file.Open(m_path, CFile::modeWrite | CFile::typeBinary);
}

bool TemporaryOutput::Commit() {
    m_file.Flush();
    m_file.Close();
    if (!FileSystem::Rename(m_path, m_target))
        return false;
    m_path.clear();
    return true;
}
