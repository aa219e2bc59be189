#include "ziptestsupport.h"

#include "viewer/ziparchive/deflatecompressor.h"

#include "platform/base/filesystem.h"

#include <gtest/gtest.h>

namespace {

std::string Pattern(size_t size, int seed) {
    std::string bytes(size, '\0');
    uint32_t state = static_cast<uint32_t>(seed) * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        // Half text-like, half noise: deflate gets both kinds of block.
        bytes[i] = (i / 4096) % 2 ? static_cast<char>(state >> 24) : "<item id=\"1\"/>\n"[i % 15];
    }
    return bytes;
}

ZipBuilderEntry Entry(const std::string& name, const std::string& data, uint16_t method = 8) {
    ZipBuilderEntry entry;
    entry.name = name;
    entry.data = data;
    entry.method = method;
    return entry;
}

struct ReadCase {
    const char* label;
    ZipBuilderEntry entry;
};

std::vector<ReadCase> ReadCases() {
    std::vector<ReadCase> cases;
    cases.push_back({"stored", Entry("stored.txt", "plain stored bytes", 0)});
    cases.push_back({"deflated", Entry("deflated.xml", Pattern(20000, 1))});
    cases.push_back({"empty stored", Entry("empty0.txt", "", 0)});
    ZipBuilderEntry emptyDeflated = Entry("empty8.txt", "");
    emptyDeflated.rawData = std::string("\x03\x00", 2);
    cases.push_back({"empty deflated", emptyDeflated});
    ZipBuilderEntry descriptor = Entry("descriptor.bmp", Pattern(70000, 2));
    descriptor.dataDescriptor = true;
    cases.push_back({"data descriptor", descriptor});
    ZipBuilderEntry bareDescriptor = Entry("bare.bmp", Pattern(3000, 3), 0);
    bareDescriptor.dataDescriptor = true;
    bareDescriptor.descriptorSignature = false;
    cases.push_back({"descriptor without signature", bareDescriptor});
    cases.push_back({"large deflated", Entry("large.bmp", Pattern(600000, 4))});
    cases.push_back({"large stored", Entry("large0.bmp", Pattern(300000, 5), 0)});
    return cases;
}

} // namespace

TEST(ZipArchiveRead, EveryKindOfEntryGivesItsExactBytes) {
    const std::vector<ReadCase> cases = ReadCases();
    std::vector<ZipBuilderEntry> entries;
    for (const ReadCase& row : cases)
        entries.push_back(row.entry);
    ArchiveFixture fixture(BuildZip(entries));
    fixture.Open();
    ASSERT_EQ(fixture.archive.GetCount(), cases.size());

    // Also through transfer buffers of one byte and without tracking zlib's blocks.
    ZipLib::CDeflateCompressor::COptions tiny;
    tiny.m_bufferSize = 1;
    tiny.m_trackLibraryBlocks = false;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1)
            fixture.archive.SetCompressionOptions(tiny);
        for (const ReadCase& row : cases) {
            const WORD index = fixture.archive.FindFile(WideFromUtf8(row.entry.name));
            ASSERT_NE(index, CZipArchive::kNotFound) << row.label;
            CZipFileHeader* header = fixture.archive[index];
            ASSERT_NE(header, nullptr);
            EXPECT_EQ(header->m_uncompressedSize, row.entry.data.size()) << row.label;
            bool ok = false;
            EXPECT_EQ(ExtractToString(fixture.archive, index, &ok), row.entry.data)
                << row.label << " pass " << pass;
            EXPECT_TRUE(ok) << row.label;
        }
    }
}

TEST(ZipArchiveRead, EncryptedEntriesNeedTheirPassword) {
    ZipBuilderEntry stored = Entry("secret0.txt", "stored secret", 0);
    stored.password = "pw";
    ZipBuilderEntry deflated = Entry("secret8.txt", Pattern(5000, 6));
    deflated.password = "pw";
    ZipBuilderEntry descriptor = Entry("secretdd.txt", Pattern(5000, 7));
    descriptor.password = "pw";
    descriptor.dataDescriptor = true;
    ArchiveFixture fixture(BuildZip({stored, deflated, descriptor, Entry("open.txt", "open")}));
    fixture.Open();

    for (WORD index = 0; index < 3; ++index) {
        TraceCapture trace;
        ASSERT_TRUE(fixture.archive.SetPassword(L"", CZipArchive::kDefaultCodePage));
        EXPECT_EQ(CauseOf([&] { ExtractToString(fixture.archive, index); }), 213);
        EXPECT_TRUE(trace.Contains("Password not set for the encrypted file."));
        ASSERT_TRUE(fixture.archive.SetPassword(L"wrong"));
        EXPECT_EQ(CauseOf([&] { ExtractToString(fixture.archive, index); }), 213);
        ASSERT_TRUE(fixture.archive.SetPassword(L"pw"));
        bool ok = false;
        const std::string expected = index == 0 ? stored.data : index == 1 ? deflated.data : descriptor.data;
        EXPECT_EQ(ExtractToString(fixture.archive, index, &ok), expected);
        EXPECT_TRUE(ok);
    }

    // A password on an entry without encryption is ignored.
    TraceCapture trace;
    bool ok = false;
    EXPECT_EQ(ExtractToString(fixture.archive, 3, &ok), "open");
    EXPECT_TRUE(ok);
    EXPECT_TRUE(trace.Contains("Password set for a not encrypted file. Ignoring password."));
}

TEST(ZipArchiveRead, CrcMismatchIsReportedAfterEveryByteArrived) {
    ZipBuilderEntry bad = Entry("bad.xml", Pattern(10000, 8));
    bad.crc = Crc32(bad.data) ^ 1;
    ArchiveFixture fixture(BuildZip({bad, Entry("good.txt", "good")}));
    fixture.Open();

    CZipMemFile memory(1024);
    EXPECT_EQ(CauseOf([&] { fixture.archive.ExtractFileInto(0, memory, false, 0x10000); }), 202);
    ASSERT_EQ(memory.GetLength(), bad.data.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(memory.GetData()), bad.data.size()), bad.data);

    // The entry stays open until the owner closes it after the exception.
    EXPECT_FALSE(fixture.archive.OpenFile(1));
    EXPECT_EQ(fixture.archive.CloseFile(nullptr, true), CZipArchive::closeFileDone);
    EXPECT_EQ(ExtractToString(fixture.archive, 1), "good");

    const std::wstring target = fixture.Folder().Wide("bad.xml");
    EXPECT_EQ(CauseOf([&] { fixture.archive.ExtractFile(0, target, false, nullptr, 0, 0x10000); }), 202);
    EXPECT_EQ(ReadFileBytes((fixture.Folder() / "bad.xml").string()), bad.data);
    // Closing the archive with the entry still open abandons it without raising the CRC again.
    EXPECT_EQ(fixture.archive.Close(), fixture.Path());
}

TEST(ZipArchiveRead, ShortEntriesAndEarlyStops) {
    // The deflate stream ends before the size the headers claim.
    ZipBuilderEntry shorter = Entry("short.xml", Pattern(4000, 9));
    shorter.uncompressedSize = 5000;
    ArchiveFixture fixture(BuildZip({shorter, Entry("whole.xml", Pattern(4000, 10))}));
    fixture.Open();
    EXPECT_EQ(CauseOf([&] { ExtractToString(fixture.archive, 0); }), 201);
    EXPECT_EQ(CauseOf([&] {
                  fixture.archive.ExtractFile(0, fixture.Folder().Wide("short.xml"), false, nullptr, 0,
                                              0x10000);
              }),
              201);

    // A caller that stops early gets -1 and no CRC verdict.
    ASSERT_TRUE(fixture.archive.OpenFile(1));
    char head[100];
    EXPECT_EQ(fixture.archive.ReadFile(head, sizeof head), sizeof head);
    EXPECT_EQ(fixture.archive.CloseFile(), CZipArchive::closeFileUnfinished);
    EXPECT_EQ(ExtractToString(fixture.archive, 1), Pattern(4000, 10));
}

TEST(ZipArchiveRead, UnsupportedMethodsAreRefusedQuietly) {
    ZipBuilderEntry bzip2 = Entry("b.bin", "bzip2 data", 12);
    ZipBuilderEntry lzma = Entry("l.bin", "lzma data", 14);
    ArchiveFixture fixture(BuildZip({bzip2, lzma, Entry("ok.txt", "fine")}));
    fixture.Open();
    for (WORD index : {0, 1}) {
        TraceCapture trace;
        EXPECT_EQ(CauseOf([&] { EXPECT_FALSE(fixture.archive.OpenFile(index)); }), 0);
        EXPECT_TRUE(trace.Contains("The compression method is not supported."));
        CZipMemFile memory(1024);
        EXPECT_FALSE(fixture.archive.ExtractFileInto(index, memory, true, 0x10000));
        EXPECT_FALSE(
            fixture.archive.ExtractFile(index, fixture.Folder().Wide("x.bin"), false, nullptr, 0, 0x10000));
    }
    EXPECT_EQ(ExtractToString(fixture.archive, 2), "fine");
}

// Sizes that the stored bytes cannot give do not refuse the archive: the entry fails when it is
// extracted, with cause 201 raised after the entry was closed and its bytes were written.
TEST(ZipArchiveRead, ImpossibleSizesFailAtTheirOwnExtraction) {
    ZipBuilderEntry storedLarger = Entry("larger.bmp", Pattern(1000, 11), 0);
    storedLarger.uncompressedSize = 10;
    ZipBuilderEntry storedSmaller = Entry("smaller.bmp", Pattern(100, 12), 0);
    storedSmaller.uncompressedSize = 5000;
    ZipBuilderEntry beyondDeflate = Entry("beyond.xml", std::string(3000, 'a'));
    beyondDeflate.uncompressedSize = static_cast<uint32_t>(1032 * RawDeflate(beyondDeflate.data).size() + 1);
    const std::vector<ZipBuilderEntry> damaged = {storedLarger, storedSmaller, beyondDeflate};
    std::vector<ZipBuilderEntry> entries = damaged;
    entries.push_back(Entry("good.txt", "good"));
    ArchiveFixture fixture(BuildZip(entries));
    fixture.Open();
    ASSERT_EQ(fixture.archive.GetCount(), 4);

    for (WORD index = 0; index < damaged.size(); ++index) {
        const ZipBuilderEntry& entry = damaged[index];
        SCOPED_TRACE(entry.name);
        CZipMemFile memory(1024);
        EXPECT_EQ(CauseOf([&] { fixture.archive.ExtractFileInto(index, memory, false, 0x10000); }), 201);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(memory.GetData()), memory.GetLength()),
                  entry.data);
        // Nothing is left open: the next entry needs no clean-up first.
        EXPECT_EQ(ExtractToString(fixture.archive, 3), "good");

        const std::wstring target = fixture.Folder().Wide("damaged.bin");
        EXPECT_EQ(CauseOf([&] { fixture.archive.ExtractFile(index, target, false, nullptr, 0, 0x10000); }),
                  201);
        EXPECT_EQ(ReadFileBytes((fixture.Folder() / "damaged.bin").string()), entry.data);
        EXPECT_EQ(ExtractToString(fixture.archive, 3), "good");
    }
}

// Memory sized for an entry from its headers never exceeds what the archive can fill, for every
// method; a sound entry gets exactly its size.
TEST(ZipArchiveRead, ExtractableSizeIsBoundedByTheArchive) {
    ZipBuilderEntry encrypted = Entry("secret.xml", Pattern(5000, 13));
    encrypted.password = "pw";
    ZipBuilderEntry hugeStored = Entry("huge0.bmp", "BM", 0);
    hugeStored.compressedSize = hugeStored.uncompressedSize = 0xFFFFFFFF;
    ZipBuilderEntry hugeDeflated = Entry("huge8.xml", "<cfg/>");
    hugeDeflated.uncompressedSize = 0xFFFFFFFF;
    ZipBuilderEntry unsupported = Entry("huge12.bin", "", 12);
    unsupported.uncompressedSize = 0xFFFFFFFF;
    ZipBuilderEntry farAway = Entry("far.bmp", "BM", 0);
    farAway.localHeaderOffset = 0x7FFFFFF0;
    const std::vector<ZipBuilderEntry> entries = {
        Entry("stored.bmp", Pattern(3000, 14), 0),
        Entry("deflated.xml", Pattern(20000, 15)),
        Entry("empty.txt", "", 0),
        encrypted,
        hugeStored,
        hugeDeflated,
        unsupported,
        farAway,
    };
    const std::string bytes = BuildZip(entries);
    ArchiveFixture fixture(bytes);
    EXPECT_EQ(fixture.archive.GetExtractableSize(0), 0u);
    fixture.Open();
    const auto sizeOf = [&](const std::string& name) {
        return fixture.archive.GetExtractableSize(fixture.archive.FindFile(WideFromUtf8(name)));
    };
    for (const char* sound : {"stored.bmp", "deflated.xml", "empty.txt", "secret.xml"})
        EXPECT_EQ(sizeOf(sound),
                  fixture.archive[fixture.archive.FindFile(WideFromUtf8(sound))]->m_uncompressedSize)
            << sound;
    EXPECT_LE(sizeOf("huge0.bmp"), bytes.size());
    EXPECT_LE(sizeOf("huge8.xml"), 1032 * bytes.size());
    EXPECT_EQ(sizeOf("huge12.bin"), 0u);
    EXPECT_EQ(sizeOf("far.bmp"), 0u);
    EXPECT_EQ(fixture.archive.GetExtractableSize(CZipArchive::kNotFound), 0u);
}

// The smallest archive with an entry of a method the library cannot read, claiming 4 GiB: sized the
// way the skin store sizes its memory, nothing is reserved, and extraction refuses it quietly.
TEST(ZipArchiveRead, UnsupportedMethodReservesNothing) {
    ZipBuilderEntry entry = Entry("a", "", 12);
    entry.uncompressedSize = 0xFFFFFFFF;
    const std::string bytes = BuildZip({entry});
    EXPECT_EQ(bytes.size(), 100u);
    ArchiveFixture fixture(bytes);
    fixture.Open();
    CZipMemFile memory(1024);
    memory.SetLength(fixture.archive.GetExtractableSize(0));
    EXPECT_EQ(memory.GetBufferSize(), 0u);
    bool extracted = true;
    EXPECT_EQ(CauseOf([&] { extracted = fixture.archive.ExtractFileInto(0, memory, true, 0x10000); }), 0);
    EXPECT_FALSE(extracted);
}

TEST(ZipArchiveRead, FindFileLookups) {
    ArchiveFixture fixture(BuildZip({Entry("cfg/cfg.xml", "c"), Entry("skin1/skin.xml", "s"),
                                     Entry("skin1/Play.bmp", "p"), Entry("default/def_config.txt", "d")}));
    {
        TraceCapture trace;
        EXPECT_EQ(fixture.archive.FindFile(L"cfg\\cfg.xml"), CZipArchive::kNotFound);
        EXPECT_TRUE(trace.Contains("Archive is closed."));
    }
    fixture.Open();
    CZipArchive& archive = fixture.archive;
    const struct {
        const wchar_t* name;
        int caseMode;
        bool nameOnly;
        const char* expected;
    } cases[] = {
        {L"cfg\\cfg.xml", 0, false, "c"},
        {L"CFG\\CFG.XML", 0, false, "c"},
        {L"skin1\\play.bmp", 0, false, "p"},
        {L"skin1\\play.bmp", 1, false, nullptr},
        {L"skin1\\Play.bmp", 1, false, "p"},
        {L"SKIN1\\SKIN.XML", 2, false, "s"},
        {L"def_config.txt", 0, true, "d"},
        {L"DEF_CONFIG.TXT", 1, true, nullptr},
        {L"cfg/cfg.xml", 0, false, nullptr},
        {L"!before-everything", 0, false, nullptr},
        {L"zzz-after-everything", 0, false, nullptr},
    };
    for (const auto& row : cases) {
        const WORD index = archive.FindFile(row.name, row.caseMode, row.nameOnly);
        if (!row.expected) {
            EXPECT_EQ(index, CZipArchive::kNotFound) << Utf8FromWide(row.name) << " mode " << row.caseMode;
            continue;
        }
        ASSERT_NE(index, CZipArchive::kNotFound) << Utf8FromWide(row.name) << " mode " << row.caseMode;
        EXPECT_EQ(ExtractToString(archive, index), row.expected);
    }
    EXPECT_EQ(archive.GetFileInfo(4), nullptr);
    EXPECT_EQ(archive.GetFileInfo(0)->GetFileName(), L"cfg\\cfg.xml");
}

TEST(ZipArchiveRead, NamesThatDifferOnlyInCaseAreBothReachable) {
    ArchiveFixture fixture(BuildZip({Entry("a.txt", "lower"), Entry("A.TXT", "upper")}));
    fixture.Open();
    const WORD any = fixture.archive.FindFile(L"a.TXT");
    ASSERT_NE(any, CZipArchive::kNotFound);
    EXPECT_EQ(ExtractToString(fixture.archive, fixture.archive.FindFile(L"A.TXT", 1)), "upper");
    EXPECT_EQ(ExtractToString(fixture.archive, fixture.archive.FindFile(L"a.txt", 1)), "lower");
}

TEST(ZipArchiveRead, StateRulesAndTraces) {
    ArchiveFixture fixture(BuildZip({Entry("a.txt", "alpha"), Entry("b.txt", "beta")}));
    CZipArchive& archive = fixture.archive;
    {
        TraceCapture trace;
        EXPECT_EQ(archive.Close(), L"");
        EXPECT_TRUE(trace.Contains("Archive is already closed."));
        EXPECT_EQ(archive.GetFileInfo(0), nullptr);
        EXPECT_FALSE(archive.OpenFile(0));
        EXPECT_TRUE(archive.SetPassword(L"early"));
        EXPECT_TRUE(trace.Contains("Setting the password for a closed archive has no effect."));
    }
    fixture.Open();
    {
        TraceCapture trace;
        EXPECT_FALSE(archive.Open(fixture.Path(), 3, 0));
        EXPECT_TRUE(trace.Contains("Archive already opened."));
        // Opening released the early password: no trace about ignoring one.
        EXPECT_EQ(ExtractToString(archive, 0), "alpha");
        EXPECT_FALSE(trace.Contains("Ignoring password"));
    }
    {
        TraceCapture trace;
        char byte;
        EXPECT_EQ(archive.ReadFile(&byte, 1), 0u);
        EXPECT_TRUE(trace.Contains("Current file must be opened."));
        EXPECT_EQ(archive.CloseFile(), CZipArchive::closeFileNone);
        EXPECT_TRUE(trace.Contains("There is no opened file."));
    }
    {
        TraceCapture trace;
        ASSERT_TRUE(archive.SetPassword(L"kept"));
        ASSERT_TRUE(archive.OpenFile(0));
        EXPECT_FALSE(archive.SetPassword(nullptr));
        EXPECT_TRUE(trace.Contains("Zip library cannot change the password when a file is opened."));
        EXPECT_FALSE(archive.OpenFile(1));
        EXPECT_TRUE(trace.Contains("A file already opened."));
        char bytes[16];
        EXPECT_EQ(archive.ReadFile(nullptr, 5), 0u);
        EXPECT_EQ(archive.ReadFile(bytes, sizeof bytes), 5u);
        EXPECT_EQ(archive.ReadFile(bytes, sizeof bytes), 0u);
        EXPECT_EQ(archive.CloseFile(), CZipArchive::closeFileDone);
        EXPECT_TRUE(trace.Contains("Ignoring password"));
        EXPECT_TRUE(archive.SetPassword(nullptr));
    }
    EXPECT_EQ(archive.Close(0, false), fixture.Path());
    EXPECT_TRUE(archive.IsClosed());
    EXPECT_FALSE(archive.Open(fixture.Path(), 4, 0));
    EXPECT_FALSE(archive.Open(fixture.Path(), 0x103, 0));
}

TEST(ZipArchiveRead, ExtractFileIntoRewinds) {
    ArchiveFixture fixture(BuildZip({Entry("a.txt", "0123456789")}));
    fixture.Open();
    CZipMemFile memory(1024);
    memory.SetLength(10);
    memory.SeekToBegin();
    ASSERT_TRUE(fixture.archive.ExtractFileInto(0, memory, true, 0x10000));
    EXPECT_EQ(memory.GetPosition(), 0u);
    EXPECT_EQ(memory.GetLength(), 10u);

    CZipMemFile appended(1024);
    appended.Write("head:", 5);
    ASSERT_TRUE(fixture.archive.ExtractFileInto(0, appended, true, 3));
    EXPECT_EQ(appended.GetPosition(), 5u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(appended.GetData()), 15), "head:0123456789");
    ASSERT_TRUE(fixture.archive.ExtractFileInto(0, appended, false, 0x10000));
    EXPECT_EQ(appended.GetPosition(), 15u);
    EXPECT_FALSE(fixture.archive.ExtractFileInto(0, appended, false, 0));
}

TEST(ZipArchiveExtract, ReplacesTargetsAndCreatesFolders) {
    ZipBuilderEntry readOnly = Entry("ro.txt", "read only", 0);
    readOnly.versionMadeBy = 0x0314;
    readOnly.externalAttributes = 0100444u << 16;
    ZipBuilderEntry marked = Entry("marked.txt", "hidden system archive", 0);
    marked.externalAttributes = 0x27;
    ZipBuilderEntry folder = Entry("skin1/", "", 0);
    folder.externalAttributes = 0x10;
    ArchiveFixture fixture(
        BuildZip({Entry("default/def_config.txt", "key=value\r\n"), readOnly, marked, folder}));
    fixture.Open();
    CZipArchive& archive = fixture.archive;
    TestFolder& root = fixture.Folder();

    // The skin store's way: an empty temporary file is replaced at exactly its path.
    WriteFileBytes((root / "v1234.tmp").string(), "");
    ASSERT_TRUE(archive.ExtractFile(0, root.Wide("v1234.tmp"), false, nullptr, 0, 0x10000));
    EXPECT_EQ(ReadFileBytes((root / "v1234.tmp").string()), "key=value\r\n");
    std::time_t modified = 0;
    ASSERT_TRUE(FileSystem::GetFileTimes(root.Wide("v1234.tmp"), &modified, nullptr));
    EXPECT_EQ(modified, archive[0]->GetModificationTime());

    ASSERT_TRUE(archive.ExtractFile(0, root.Wide("new/levels/out.txt"), true, L"ignored.txt", 0, 7));
    EXPECT_EQ(ReadFileBytes((root / "new/levels/out.txt").string()), "key=value\r\n");
    EXPECT_FALSE(FileSystem::Exists(root.Wide("new/levels/ignored.txt")));

    ASSERT_TRUE(archive.ExtractFile(1, root.Wide("ro.txt"), false, nullptr, 0, 0x10000));
    EXPECT_EQ(FileSystem::GetAttributes(root.Wide("ro.txt")) & 0x01, 0x01u);
    // Hidden, system and archive bits mean nothing here and do not fail the extraction.
    EXPECT_TRUE(archive.ExtractFile(2, root.Wide("marked.txt"), false, nullptr, 0, 0x10000));

    // A directory entry makes the directory without opening the entry.
    ASSERT_TRUE(archive[3]->IsDirectory());
    TraceCapture trace;
    ASSERT_TRUE(archive.ExtractFile(3, root.Wide("made/skin1"), false, nullptr, 0, 0x10000));
    EXPECT_TRUE(FileSystem::IsDirectory(root.Wide("made/skin1")));
    EXPECT_TRUE(trace.Lines().empty());
    CZipMemFile memory(1024);
    EXPECT_FALSE(archive.ExtractFileInto(3, memory, true, 0x10000));

    EXPECT_FALSE(archive.ExtractFile(0, L"", false, nullptr, 0, 0x10000));
    EXPECT_FALSE(archive.ExtractFile(0, root.Wide("x"), false, nullptr, 0, 0));
    EXPECT_FALSE(archive.ExtractFile(9, root.Wide("x"), false, nullptr, 0, 0x10000));
}

TEST(ZipArchiveExtract, OnlyOlderFilesAreOverwrittenWhenAsked) {
    ArchiveFixture fixture(BuildZip({Entry("a.txt", "from the archive")}));
    fixture.Open();
    const std::wstring target = fixture.Folder().Wide("a.txt");
    WriteFileBytes((fixture.Folder() / "a.txt").string(), "newer on disk");
    const std::time_t entryTime = fixture.archive[0]->GetModificationTime();
    const std::time_t newer = entryTime + 60;
    ASSERT_TRUE(FileSystem::SetFileTimes(target, &newer, nullptr));
    ASSERT_TRUE(
        fixture.archive.ExtractFile(0, target, false, nullptr, CZipArchive::overwriteOnlyOlder, 0x10000));
    EXPECT_EQ(ReadFileBytes((fixture.Folder() / "a.txt").string()), "newer on disk");

    const std::time_t older = entryTime - 60;
    ASSERT_TRUE(FileSystem::SetFileTimes(target, &older, nullptr));
    ASSERT_TRUE(
        fixture.archive.ExtractFile(0, target, false, nullptr, CZipArchive::overwriteOnlyOlder, 0x10000));
    EXPECT_EQ(ReadFileBytes((fixture.Folder() / "a.txt").string()), "from the archive");
}

TEST(ZipArchiveRead, HeaderTimesAttributesAndComments) {
    ZipBuilderEntry ntfs = Entry("ntfs.txt", "n", 0);
    const uint64_t fileTime = 116444736000000000ull + 1700000000ull * 10000000ull;
    ntfs.centralExtra = ExtraRecord(0x000A, Le32(0) + Le16(1) + Le16(24) + Le64(fileTime) +
                                                Le64(fileTime + 10000000) + Le64(fileTime + 20000000));
    ZipBuilderEntry zeroNtfs = Entry("zero.txt", "z", 0);
    zeroNtfs.centralExtra = ExtraRecord(0x000A, Le32(0) + Le16(1) + Le16(24) + Le64(0) + Le64(0) + Le64(0)) +
                            ExtraRecord(0xCAFE, "keep");
    zeroNtfs.comment = "entry comment";
    ZipBuilderEntry slashed = Entry("folder/", "", 0);
    slashed.externalAttributes = 0;
    ZipBuilderOptions options;
    options.comment = "archive comment";
    ArchiveFixture fixture(BuildZip({ntfs, zeroNtfs, slashed}, options));
    fixture.Open();
    CZipArchive& archive = fixture.archive;
    EXPECT_EQ(archive.GetGlobalComment(), L"archive comment");
    EXPECT_EQ(archive[0]->GetModificationTime(), 1700000000);
    EXPECT_EQ(archive[0]->GetLastAccessTime(), 1700000001);
    EXPECT_EQ(archive[0]->GetCreationTime(), 1700000002);
    EXPECT_EQ(archive[0]->m_centralExtra.GetCount(), 0u);

    std::tm calendar{};
    calendar.tm_year = 125;
    calendar.tm_mon = 0;
    calendar.tm_mday = 1;
    calendar.tm_hour = 12;
    calendar.tm_isdst = -1;
    EXPECT_EQ(archive[1]->GetModificationTime(), std::mktime(&calendar));
    ASSERT_EQ(archive[1]->m_centralExtra.GetCount(), 1u);
    EXPECT_EQ(archive[1]->m_centralExtra.GetAt(0).m_headerId, 0xCAFE);
    EXPECT_EQ(archive[1]->GetComment(), L"entry comment");
    EXPECT_TRUE(archive[2]->IsDirectory());
    EXPECT_FALSE(archive[1]->IsDirectory());
}

TEST(ZipArchiveRead, DataDescriptorsAreComparedWhenAsked) {
    ZipBuilderEntry good = Entry("good.bin", Pattern(3000, 11));
    good.dataDescriptor = true;
    ZipBuilderEntry bad = Entry("bad.bin", Pattern(3000, 12));
    bad.dataDescriptor = true;
    std::string bytes = BuildZip({good, bad});
    // Spoil the second entry's descriptor: its CRC follows "PK\7\8".
    const size_t descriptor = bytes.rfind("PK\x07\x08");
    bytes[descriptor + 4] ^= 0x55;
    ArchiveFixture fixture(bytes);
    fixture.Open();
    // By default the descriptor is not compared.
    EXPECT_EQ(ExtractToString(fixture.archive, 1), bad.data);
    fixture.archive.SetIgnoredConsistencyChecks(CZipCentralDir::checkVolumeEntries);
    EXPECT_EQ(ExtractToString(fixture.archive, 0), good.data);
    EXPECT_EQ(CauseOf([&] { ExtractToString(fixture.archive, 1); }), 201);
}

TEST(ZipArchiveRead, ClosingAReadOnlyArchiveWritesNothing) {
    ArchiveFixture fixture(BuildZip({Entry("a.txt", "alpha")}));
    const std::string before = ReadFileBytes(Utf8FromWide(fixture.Path()));
    std::time_t modifiedBefore = 0;
    ASSERT_TRUE(FileSystem::GetFileTimes(fixture.Path(), &modifiedBefore, nullptr));
    fixture.Open();
    EXPECT_EQ(ExtractToString(fixture.archive, 0), "alpha");
    EXPECT_EQ(fixture.archive.Close(0, false), fixture.Path());
    std::time_t modifiedAfter = 0;
    ASSERT_TRUE(FileSystem::GetFileTimes(fixture.Path(), &modifiedAfter, nullptr));
    EXPECT_EQ(ReadFileBytes(Utf8FromWide(fixture.Path())), before);
    EXPECT_EQ(modifiedAfter, modifiedBefore);
}

namespace {

// Keeps the compressor the archive takes, to look at zlib's block bookkeeping.
class WatchedArchive : public CZipArchive {
  public:
    ZipLib::CDeflateCompressor* compressor = nullptr;

  protected:
    CZipCompressor* CreateCompressor(WORD method) override {
        compressor = dynamic_cast<ZipLib::CDeflateCompressor*>(CZipArchive::CreateCompressor(method));
        return compressor;
    }
};

} // namespace

TEST(ZipArchiveRead, ZlibBlocksAreTrackedAndFreed) {
    TestFolder folder;
    WriteFileBytes((folder / "a.zip").string(),
                   BuildZip({Entry("a.xml", Pattern(50000, 13)), Entry("b.xml", "b")}));
    WatchedArchive archive;
    ASSERT_TRUE(archive.Open(folder.Wide("a.zip"), 3, 0));
    ASSERT_TRUE(archive.OpenFile(0));
    ASSERT_NE(archive.compressor, nullptr);
    EXPECT_GT(archive.compressor->GetTrackedBlockCount(), 0u);
    char some[100];
    EXPECT_EQ(archive.ReadFile(some, sizeof some), sizeof some);
    // Abandoned after an exception: every block zlib took is given back.
    EXPECT_EQ(archive.CloseFile(nullptr, true), CZipArchive::closeFileDone);
    EXPECT_EQ(archive.compressor->GetTrackedBlockCount(), 0u);

    ZipLib::CDeflateCompressor::COptions untracked;
    untracked.m_trackLibraryBlocks = false;
    archive.SetCompressionOptions(untracked);
    ASSERT_TRUE(archive.OpenFile(0));
    EXPECT_EQ(archive.compressor->GetTrackedBlockCount(), 0u);
    EXPECT_EQ(archive.CloseFile(), CZipArchive::closeFileUnfinished);
    EXPECT_EQ(ExtractToString(archive, 0), Pattern(50000, 13));
    archive.Close();
}
