// Archives made by the tools people actually use: Info-ZIP's zip and Python's zipfile, made fresh
// by makearchives.py for this run.
#include "ziptestsupport.h"

#include "viewer/ziparchive/zipcompatibility.h"

#include "platform/base/filesystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

class RealArchives : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_folder = new TestFolder();
        s_made = RunPython(ReadFileBytes(TREVO_ZIP_TEST_SCRIPT), {s_folder->Path().string()});
    }
    static void TearDownTestSuite() {
        delete s_folder;
        s_folder = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_made) << "makearchives.py failed"; }

    static std::wstring Archive(const std::string& name) { return s_folder->Wide(name); }
    static std::string Source(const std::string& name) {
        return ReadFileBytes((s_folder->Path() / "src" / name).string());
    }

    // Every source file is found by its name in the Windows form and gives its exact bytes.
    static void ExpectAllSources(CZipArchive& archive) {
        const char* names[] = {"a.txt", "b.bin", "sub/c.xml", "empty.txt", "\xEC\x8A\xA4\xED\x82\xA8.xml"};
        for (const char* name : names) {
            std::wstring lookup = WideFromUtf8(name);
            ZipCompatibility::ConvertSlashes(lookup, true);
            const WORD index = archive.FindFile(lookup);
            ASSERT_NE(index, CZipArchive::kNotFound) << name;
            bool ok = false;
            EXPECT_EQ(ExtractToString(archive, index, &ok), Source(name)) << name;
            EXPECT_TRUE(ok) << name;
        }
    }

    static TestFolder* s_folder;
    static bool s_made;
};

TestFolder* RealArchives::s_folder = nullptr;
bool RealArchives::s_made = false;

} // namespace

TEST_F(RealArchives, InfoZipPlainAndPiped) {
    for (const char* name : {"infozip-plain.zip", "infozip-pipe.zip"}) {
        CZipArchive archive;
        ASSERT_TRUE(archive.Open(Archive(name), 3, 0)) << name;
        EXPECT_EQ(archive.GetSystemCompatibility(), 3) << name;
        EXPECT_EQ(archive.GetCount(), 5);
        ExpectAllSources(archive);
        EXPECT_EQ(archive.Close(), Archive(name));
    }
}

TEST_F(RealArchives, InfoZipPipedDescriptorsMatchWhenChecked) {
    CZipArchive archive;
    ASSERT_TRUE(archive.Open(Archive("infozip-pipe.zip"), 3, 0));
    for (WORD i = 0; i < archive.GetCount(); ++i)
        EXPECT_TRUE(archive[i]->IsDataDescriptor());
    archive.SetIgnoredConsistencyChecks(0);
    ExpectAllSources(archive);
    archive.Close();
}

TEST_F(RealArchives, InfoZipPassword) {
    CZipArchive archive;
    ASSERT_TRUE(archive.Open(Archive("infozip-password.zip"), 3, 0));
    // Info-ZIP sets the descriptor flag on encrypted entries: the check byte is the time's.
    EXPECT_EQ(archive[0]->m_flags & 0x9, 0x9);
    archive.SetPassword(L"", CZipArchive::kDefaultCodePage);
    EXPECT_EQ(CauseOf([&] { ExtractToString(archive, 0); }), 213);
    archive.SetPassword(L"not it");
    EXPECT_EQ(CauseOf([&] { ExtractToString(archive, 0); }), 213);
    archive.SetPassword(L"pw");
    ExpectAllSources(archive);
    archive.Close();
}

TEST_F(RealArchives, PythonStoredAndDeflatedWithFoldersAndComment) {
    for (const char* name : {"python-stored.zip", "python-deflated.zip"}) {
        CZipArchive archive;
        ASSERT_TRUE(archive.Open(Archive(name), 3, 0)) << name;
        EXPECT_EQ(archive.GetGlobalComment(), L"made by python zipfile");
        EXPECT_EQ(archive.GetCount(), 7);
        ExpectAllSources(archive);
        for (const wchar_t* folder : {L"folder\\", L"folder\\inner\\"}) {
            const WORD index = archive.FindFile(folder);
            ASSERT_NE(index, CZipArchive::kNotFound);
            EXPECT_TRUE(archive[index]->IsDirectory());
            TestFolder target;
            EXPECT_TRUE(archive.ExtractFile(index, target.Wide("made"), false, nullptr, 0, 0x10000));
            EXPECT_TRUE(FileSystem::IsDirectory(target.Wide("made")));
        }
        archive.Close();
    }
}

TEST_F(RealArchives, Zip64IsRefusedWithItsOwnCause) {
    CZipArchive archive;
    EXPECT_EQ(CauseOf([&] { archive.Open(Archive("infozip-zip64.zip"), 3, 0); }), 222);
    EXPECT_TRUE(archive.IsClosed());
}

// The skin store's calls in their order: open mode 3, empty password, lookups by backslash names,
// extraction into a memory file sized from the header and into a temporary file, close.
TEST_F(RealArchives, SkinStoreCallSequence) {
    CZipArchive archive;
    const std::wstring path = Archive("ResStorage.dat");
    const bool opened = archive.Open(path, 3, 0);
    ASSERT_TRUE(archive.SetPassword(L"", 0xFFFFFFFF));
    ASSERT_TRUE(opened);

    CZipMemFile memory(1024);
    const auto extractToMemory = [&](const wchar_t* name) {
        const WORD index = archive.FindFile(name, 0, false);
        EXPECT_NE(index, 65535) << Utf8FromWide(name);
        if (index == 65535)
            return std::string();
        CZipFileHeader* header = archive[index];
        memory.ReInit(1024);
        memory.SetLength(header->m_uncompressedSize);
        memory.SeekToBegin();
        EXPECT_TRUE(archive.ExtractFileInto(index, memory, true, 0x10000));
        EXPECT_EQ(memory.GetPosition(), 0u);
        const ULONGLONG length = memory.GetLength();
        std::unique_ptr<BYTE, decltype(&std::free)> bytes(memory.Detach(), &std::free);
        return std::string(reinterpret_cast<const char*>(bytes.get()), static_cast<size_t>(length));
    };

    EXPECT_NE(extractToMemory(L"cfg\\cfg.xml").find("<skin1>skin1</skin1>"), std::string::npos);
    EXPECT_NE(extractToMemory(L"skin1\\skin.xml").find("b19.bmp"), std::string::npos);
    for (int i = 0; i < 20; ++i) {
        const std::string bitmap = extractToMemory((L"skin1\\b" + std::to_wstring(i) + L".bmp").c_str());
        ASSERT_GE(bitmap.size(), 54u);
        EXPECT_EQ(bitmap.substr(0, 2), "BM");
        EXPECT_EQ(bitmap.size(), 54u + (16u + i) * 16u * 3u);
    }
    EXPECT_EQ(extractToMemory(L"skin1\\raw.bmp"), "BMraw");
    EXPECT_NE(extractToMemory(L"cfg\\pidinfo.xml").find("<name>T310</name>"), std::string::npos);
    EXPECT_EQ(archive.FindFile(L"skin1\\missing.bmp", 0, false), 65535);

    const WORD settings = archive.FindFile(L"default\\default_r4.ini", 0, false);
    ASSERT_NE(settings, 65535);
    TestFolder temporary;
    const std::wstring temporaryName = FileSystem::CreateTemporaryFile(temporary.Wide(), L"v");
    ASSERT_FALSE(temporaryName.empty());
    ASSERT_TRUE(archive.ExtractFile(settings, temporaryName, false, nullptr, 0, 65536));
    EXPECT_EQ(ReadFileBytes(Utf8FromWide(temporaryName)), "Driving ResolutionF=1\r\nVolume=3\r\n");

    EXPECT_EQ(archive.Close(0, false), path);
    EXPECT_TRUE(archive.IsClosed());
}
