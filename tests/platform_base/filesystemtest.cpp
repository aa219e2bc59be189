#include "platform/base/filesystem.h"

#include "support/testfolder.h"

#include "support/scopedenvironment.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::wstring> NamesIn(const std::wstring& folder) {
    std::vector<FileSystem::DirectoryEntry> entries;
    FileSystem::ListDirectory(folder, entries);
    std::vector<std::wstring> names;
    for (const auto& entry : entries)
        names.push_back(entry.name);
    return names;
}

} // namespace

TEST(FileSystem, StatusAndAttributes) {
    TestFolder folder;
    WriteFile(folder / "file.bin", "12345");
    WriteFile(folder / "readonly.txt", "r");
    ::chmod((folder / "readonly.txt").c_str(), 0444);
    std::filesystem::create_directory(folder / "dir");
    std::filesystem::create_directory_symlink(folder / "dir", folder / "dirlink");

    struct Case {
        const char* name;
        bool exists;
        bool isDirectory;
        ULONGLONG size;
        DWORD attributes;
    };
    const Case cases[] = {
        {"file.bin", true, false, 5, FILE_ATTRIBUTE_ARCHIVE},
        {"readonly.txt", true, false, 1, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
        {"dir", true, true, 0, FILE_ATTRIBUTE_DIRECTORY},
        {"dirlink", true, true, 0, FILE_ATTRIBUTE_DIRECTORY},
        {"missing", false, false, 0, INVALID_FILE_ATTRIBUTES},
    };
    for (const auto& c : cases) {
        const std::wstring path = folder.Wide(c.name);
        EXPECT_EQ(FileSystem::Exists(path), c.exists) << c.name;
        EXPECT_EQ(FileSystem::IsDirectory(path), c.isDirectory) << c.name;
        EXPECT_EQ(FileSystem::GetAttributes(path), c.attributes) << c.name;
        FileSystem::Status status;
        ULONGLONG size = 99;
        EXPECT_EQ(FileSystem::GetStatus(path, status), c.exists) << c.name;
        EXPECT_EQ(FileSystem::GetSize(path, size), c.exists) << c.name;
        if (c.exists && !c.isDirectory) {
            EXPECT_EQ(status.size, c.size) << c.name;
            EXPECT_EQ(size, c.size) << c.name;
        }
        if (!c.exists) {
            EXPECT_EQ(errno, ENOENT) << c.name;
        }
    }
}

TEST(FileSystem, OnlyTheReadOnlyAttributeChangesAnything) {
    TestFolder folder;
    WriteFile(folder / "f", "x");
    const std::wstring path = folder.Wide("f");
    const auto mode = [&] {
        struct stat info {};
        ::stat((folder / "f").c_str(), &info);
        return info.st_mode & 0777;
    };
    ::chmod((folder / "f").c_str(), 0664);

    ASSERT_TRUE(FileSystem::SetAttributes(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(mode(), 0444u);
    EXPECT_EQ(FileSystem::GetAttributes(path), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);

    ASSERT_TRUE(FileSystem::SetAttributes(path, FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(mode(), 0644u);

    // Hidden and system cannot be held on Linux; the call succeeds as the archive library expects.
    ASSERT_TRUE(FileSystem::SetAttributes(path, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(mode(), 0644u);
    EXPECT_EQ(FileSystem::GetAttributes(path), FILE_ATTRIBUTE_ARCHIVE);

    EXPECT_FALSE(FileSystem::SetAttributes(folder.Wide("missing"), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(errno, ENOENT);
}

TEST(FileSystem, FileTimesAreSetAndReadBack) {
    TestFolder folder;
    WriteFile(folder / "f", "x");
    const std::wstring path = folder.Wide("f");
    const std::time_t modified = 1000000000, accessed = 1200000000;
    ASSERT_TRUE(FileSystem::SetFileTimes(path, &modified, &accessed));
    std::time_t readModified = 0, readAccessed = 0;
    ASSERT_TRUE(FileSystem::GetFileTimes(path, &readModified, &readAccessed));
    EXPECT_EQ(readModified, modified);
    EXPECT_EQ(readAccessed, accessed);

    // A null time stays as it was.
    const std::time_t later = 1300000000;
    ASSERT_TRUE(FileSystem::SetFileTimes(path, &later, nullptr));
    FileSystem::Status status;
    ASSERT_TRUE(FileSystem::GetStatus(path, status));
    EXPECT_EQ(status.modificationTime, later);
    EXPECT_EQ(status.accessTime, accessed);

    // Stamping through an open descriptor, as an extraction does before closing its file.
    const int fd = ::open((folder / "f").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(FileSystem::SetFileTimes(fd, &modified, nullptr));
    ::close(fd);
    ASSERT_TRUE(FileSystem::GetFileTimes(path, &readModified, nullptr));
    EXPECT_EQ(readModified, modified);

    EXPECT_FALSE(FileSystem::SetFileTimes(folder.Wide("missing"), &modified, nullptr));
    EXPECT_FALSE(FileSystem::GetFileTimes(folder.Wide("missing"), &readModified, nullptr));
}

TEST(FileSystem, ListDirectoryGivesSortedNamesAndKinds) {
    TestFolder folder;
    WriteFile(folder / "b.txt", "");
    WriteFile(folder / "\xEB\x85\xB9\xED\x99\x94.mp4", "");
    std::filesystem::create_directory(folder / "a");
    std::filesystem::create_directory_symlink(folder / "a", folder / "c-link");
    std::filesystem::create_symlink(folder / "nowhere", folder / "d-dangling");

    std::vector<FileSystem::DirectoryEntry> entries;
    ASSERT_TRUE(FileSystem::ListDirectory(folder.Wide(), entries));
    ASSERT_EQ(entries.size(), 5u);
    const std::pair<std::wstring, bool> expected[] = {{L"a", true},
                                                      {L"b.txt", false},
                                                      {L"c-link", true},
                                                      {L"d-dangling", false},
                                                      {L"\uB179\uD654.mp4", false}};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].name, expected[i].first) << i;
        EXPECT_EQ(entries[i].isDirectory, expected[i].second) << i;
    }

    // Read access: folders and dangling links are no readable files; unreadable modes only count
    // for a user the permission bits bind (root reads everything).
    WriteFile(folder / "e-locked", "");
    std::filesystem::permissions(folder / "e-locked", std::filesystem::perms::none);
    ASSERT_TRUE(FileSystem::ListDirectory(folder.Wide(), entries, FileSystem::ListDetail::ReadAccess));
    ASSERT_EQ(entries.size(), 6u);
    const bool rootReadsAll = ::geteuid() == 0;
    const std::pair<std::wstring, bool> readable[] = {{L"a", false},          {L"b.txt", true},
                                                      {L"c-link", false},     {L"d-dangling", false},
                                                      {L"e-locked", rootReadsAll}, {L"\uB179\uD654.mp4", true}};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].name, readable[i].first) << i;
        EXPECT_EQ(entries[i].readableFile, readable[i].second) << i;
    }

    EXPECT_FALSE(FileSystem::ListDirectory(folder.Wide("missing"), entries));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(FileSystem::ListDirectory(folder.Wide("b.txt"), entries));
    EXPECT_EQ(errno, ENOTDIR);
}

TEST(FileSystem, CreateDirectories) {
    TestFolder folder;
    WriteFile(folder / "file", "x");
    struct Case {
        const char* path;
        bool created;
    };
    const Case cases[] = {
        {"x/y/z", true},      {"x/y/z", true},     {"p//q/", true},
        {"x/y/z/../w", true}, {"file/sub", false}, {"file", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileSystem::CreateDirectories(folder.Wide(c.path)), c.created) << c.path;
        if (c.created) {
            EXPECT_TRUE(std::filesystem::is_directory(folder / c.path)) << c.path;
        }
    }
    EXPECT_FALSE(FileSystem::CreateDirectories(L""));

    EXPECT_TRUE(FileSystem::CreateDirectory(folder.Wide("single")));
    EXPECT_FALSE(FileSystem::CreateDirectory(folder.Wide("single")));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(FileSystem::CreateDirectory(folder.Wide("no/parent")));
    EXPECT_EQ(errno, ENOENT);
}

TEST(FileSystem, RenameAndRemove) {
    TestFolder folder;
    WriteFile(folder / "new", "new");
    WriteFile(folder / "old", "old");
    std::filesystem::create_directories(folder / "full" / "inner");
    std::filesystem::create_directory(folder / "empty");

    ASSERT_TRUE(FileSystem::Rename(folder.Wide("new"), folder.Wide("old")));
    EXPECT_EQ(ReadFile(folder / "old"), "new");
    EXPECT_FALSE(std::filesystem::exists(folder / "new"));
    EXPECT_FALSE(FileSystem::Rename(folder.Wide("new"), folder.Wide("other")));
    EXPECT_EQ(errno, ENOENT);

    EXPECT_FALSE(FileSystem::RemoveDirectory(folder.Wide("full")));
    EXPECT_EQ(errno, ENOTEMPTY);
    EXPECT_FALSE(FileSystem::RemoveFile(folder.Wide("empty")));
    EXPECT_TRUE(FileSystem::RemoveDirectory(folder.Wide("empty")));
    EXPECT_FALSE(FileSystem::RemoveDirectory(folder.Wide("old")));
    EXPECT_EQ(errno, ENOTDIR);
    EXPECT_TRUE(FileSystem::RemoveFile(folder.Wide("old")));
    EXPECT_FALSE(FileSystem::RemoveFile(folder.Wide("old")));
    EXPECT_EQ(errno, ENOENT);
}

TEST(FileSystem, CopyFileKeepsContentAndTime) {
    TestFolder folder;
    std::string content(700000, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7);
    WriteFile(folder / "source", content);
    ::chmod((folder / "source").c_str(), 0640);
    const std::time_t stamp = 1234567890;
    ASSERT_TRUE(FileSystem::SetFileTimes(folder.Wide("source"), &stamp, nullptr));

    ASSERT_TRUE(FileSystem::CopyFile(folder.Wide("source"), folder.Wide("copy"), true));
    EXPECT_EQ(ReadFile(folder / "copy"), content);
    std::time_t copied = 0;
    ASSERT_TRUE(FileSystem::GetFileTimes(folder.Wide("copy"), &copied, nullptr));
    EXPECT_EQ(copied, stamp);
    struct stat info {};
    ::stat((folder / "copy").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(NamesIn(folder.Wide()), (std::vector<std::wstring>{L"copy", L"source"}));
}

TEST(FileSystem, CopyFileTargetRules) {
    TestFolder folder;
    WriteFile(folder / "source", "fresh");
    WriteFile(folder / "target", "kept");

    EXPECT_FALSE(FileSystem::CopyFile(folder.Wide("source"), folder.Wide("target"), true));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(ReadFile(folder / "target"), "kept");

    ASSERT_TRUE(FileSystem::CopyFile(folder.Wide("source"), folder.Wide("target"), false));
    EXPECT_EQ(ReadFile(folder / "target"), "fresh");
    EXPECT_EQ(NamesIn(folder.Wide()), (std::vector<std::wstring>{L"source", L"target"}));
}

TEST(FileSystem, FailedCopyLeavesNoFile) {
    TestFolder folder;
    std::filesystem::create_directory(folder / "dir");
    struct Case {
        std::wstring source;
        std::wstring target;
        int error;
    };
    const Case cases[] = {
        {folder.Wide("missing"), folder.Wide("t1"), ENOENT},
        {folder.Wide("dir"), folder.Wide("t2"), EISDIR},
        // Opens and then fails on the first read, like a card pulled out in the middle of a copy.
        {L"/proc/self/mem", folder.Wide("t3"), EIO},
        {L"/proc/self/mem", folder.Wide("no/folder/t4"), ENOENT},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(FileSystem::CopyFile(c.source, c.target, false)) << Utf8FromWide(c.target);
        EXPECT_EQ(errno, c.error) << Utf8FromWide(c.target);
    }
    EXPECT_EQ(NamesIn(folder.Wide()), std::vector<std::wstring>{L"dir"});
}

TEST(FileSystem, ResizeCutsAndExtendsWithZeros) {
    TestFolder folder;
    WriteFile(folder / "f", "abcdef");
    ASSERT_TRUE(FileSystem::Resize(folder.Wide("f"), 9));
    EXPECT_EQ(ReadFile(folder / "f"), std::string("abcdef\0\0\0", 9));
    ASSERT_TRUE(FileSystem::Resize(folder.Wide("f"), 2));
    EXPECT_EQ(ReadFile(folder / "f"), "ab");

    const int fd = ::open((folder / "f").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(FileSystem::Resize(fd, 1));
    ::close(fd);
    EXPECT_EQ(ReadFile(folder / "f"), "a");

    EXPECT_FALSE(FileSystem::Resize(folder.Wide("missing"), 1));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(FileSystem::Resize(folder.Wide("f"), ~0ull));
}

TEST(FileSystem, FindNameNoCase) {
    TestFolder folder;
    for (const char* name :
         {"DRIVEEVENT", "Normal", "NORMAL", "\xC3\x84rger", "\xD0\x92\xD0\xB8\xD0\xB4\xD0\xB5\xD0\xBE"})
        std::filesystem::create_directory(folder / name);
    struct Case {
        const wchar_t* wanted;
        const wchar_t* found;
    };
    const Case cases[] = {
        {L"DriveEvent", L"DRIVEEVENT"},
        {L"driveevent", L"DRIVEEVENT"},
        {L"Normal", L"Normal"},
        {L"NORMAL", L"NORMAL"},
        {L"normal", L"NORMAL"},
        {L"\u00E4RGER", L"\u00C4rger"},
        {L"\u0412\u0418\u0414\u0415\u041E", L"\u0412\u0438\u0434\u0435\u043E"},
        {L"Parking", L""},
        {L"DriveEvent2", L""},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileSystem::FindNameNoCase(folder.Wide(), c.wanted), c.found) << Utf8FromWide(c.wanted);
    EXPECT_EQ(FileSystem::FindNameNoCase(folder.Wide("missing"), L"DriveEvent"), L"");
}

TEST(FileSystem, DocumentsFolderFollowsUserDirs) {
    TestFolder home;
    TestFolder config;
    ScopedEnvironment homeVariable("HOME", home.Path().string());
    ScopedEnvironment configVariable("XDG_CONFIG_HOME", config.Path().string());
    const std::wstring homePath = home.Wide();
    struct Case {
        std::optional<std::string> userDirs;
        std::wstring documents;
    };
    const Case cases[] = {
        {std::nullopt, homePath + L"/Documents"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", homePath + L"/Dokumente"},
        {"# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
         "  XDG_DOCUMENTS_DIR=\"$HOME/\xEB\xAC\xB8\xEC\x84\x9C\"\n",
         homePath + L"/\uBB38\uC11C"},
        {"XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n", L"/srv/docs"},
        {"#XDG_DOCUMENTS_DIR=\"/srv/docs\"\n", homePath + L"/Documents"},
        {"XDG_DOCUMENTS_DIR=\"relative/docs\"\n", homePath + L"/Documents"},
        {"XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"\n", homePath + L"/Documents"},
        {"XDG_DOCUMENTS_DIR=\"/first\"\nXDG_DOCUMENTS_DIR=\"/second\"\n", L"/second"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(config / "user-dirs.dirs");
        if (c.userDirs)
            WriteFile(config / "user-dirs.dirs", *c.userDirs);
        EXPECT_EQ(FileSystem::DocumentsFolder(), c.documents) << c.userDirs.value_or("(no file)");
    }

    // Without XDG_CONFIG_HOME the file is looked for in ~/.config.
    ScopedEnvironment noConfig("XDG_CONFIG_HOME", std::nullopt);
    std::filesystem::create_directory(home / ".config");
    WriteFile(home / ".config" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    EXPECT_EQ(FileSystem::DocumentsFolder(), homePath + L"/Docs");
    EXPECT_EQ(FileSystem::RepairFolder(), homePath + L"/repair");
    EXPECT_FALSE(std::filesystem::exists(home / "Docs"));
    EXPECT_FALSE(std::filesystem::exists(home / "repair"));
}

TEST(FileSystem, ProgramFolderHoldsTheProgram) {
    const std::wstring folder = FileSystem::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), L'/');
    EXPECT_TRUE(FileSystem::Exists(folder + L"/platform_base_tests"));
}

TEST(FileSystem, TemporaryFilesAreNewAndDistinct) {
    TestFolder folder;
    const std::wstring first = FileSystem::CreateTemporaryFile(folder.Wide(), L"res");
    const std::wstring second = FileSystem::CreateTemporaryFile(folder.Wide(), L"res");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(first.compare(0, folder.Wide().size() + 4, folder.Wide() + L"/res"), 0);
    ULONGLONG size = 1;
    EXPECT_TRUE(FileSystem::GetSize(first, size));
    EXPECT_EQ(size, 0u);

    EXPECT_TRUE(FileSystem::CreateTemporaryFile(folder.Wide("missing")).empty());

    ScopedEnvironment temporary("TMPDIR", folder.Path().string());
    EXPECT_EQ(FileSystem::TemporaryFolder(), folder.Wide());
    const std::wstring inDefault = FileSystem::CreateTemporaryFile();
    EXPECT_EQ(inDefault.compare(0, folder.Wide().size() + 1, folder.Wide() + L"/"), 0);
}

TEST(FileSystem, TemporaryFilesAreOwnerOnlyUnlessMeantAsNewFiles) {
    TestFolder folder;
    const auto permissions = [](const std::wstring& path) {
        return std::filesystem::status(Utf8FromWide(path)).permissions() & std::filesystem::perms::all;
    };
    const std::wstring privateFile = FileSystem::CreateTemporaryFile(folder.Wide(), L"p");
    EXPECT_EQ(permissions(privateFile),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    const mode_t previous = umask(027);
    const std::wstring sharedFile =
        FileSystem::CreateTemporaryFile(folder.Wide(), L"s", FileSystem::TemporaryFileAccess::AsNewFile);
    umask(previous);
    using std::filesystem::perms;
    EXPECT_EQ(permissions(sharedFile), perms::owner_read | perms::owner_write | perms::group_read);
}
