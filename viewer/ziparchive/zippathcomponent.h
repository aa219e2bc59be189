#pragma once
// A path split into long-path prefix, drive, directory, title and extension. Both '\' and '/'
// separate; a rooted directory keeps its root, so the folder part of "/tmp/a/b.txt" is "/tmp/a"
// and that of "C:\Skin\a.bmp" is "C:\Skin", never a path relative to the current folder.

#include <string>

class CZipPathComponent {
  public:
    CZipPathComponent() = default;
    explicit CZipPathComponent(const std::wstring& fullPath) { SetFullPath(fullPath); }
    virtual ~CZipPathComponent() = default;

    void SetFullPath(const std::wstring& fullPath);
    // Stored without leading dots.
    void SetExtension(const std::wstring& extension);

    const std::wstring& GetFileTitle() const { return m_fileTitle; }
    const std::wstring& GetFileExt() const { return m_extension; }
    const std::wstring& GetFileDrive() const { return m_drive; }
    const std::wstring& GetPrefix() const { return m_prefix; }
    const std::wstring& GetDirectory() const { return m_directory; }
    // Title and extension.
    std::wstring GetFileName() const;
    // Prefix, drive and directory: the folder that holds the file.
    std::wstring GetFilePath() const;

    // How many leading characters agree with the long-path prefix "\\?\unc\": 2 for a UNC path,
    // 4 for the local long-path prefix, 8 for the UNC one, 0 for a drive path.
    static int GetPrefixLength(const std::wstring& path);
    // Removes every trailing '\' and '/', but never the root of a rooted path.
    static void TrimTrailingSeparators(std::wstring& path);

  private:
    std::wstring m_directory;
    std::wstring m_fileTitle;
    std::wstring m_extension;
    std::wstring m_drive;
    std::wstring m_prefix;
};

// The process-wide long-path prefix text; its first four characters form the local prefix.
inline constexpr wchar_t g_zipUncPrefix[] = L"\\\\?\\unc\\";
