// Damaged archives: every one ends in a CZipException or a false result, never in a crash, a hang
// or a read outside a buffer (the sanitizer build runs these too).
#include "ziptestsupport.h"

#include "platform/base/filesystem.h"
#include "platform/base/unicode.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string Text(size_t size) {
    std::string text;
    while (text.size() < size)
        text += "<item><type>button</type><id>10000" + std::to_string(text.size() % 97) + "</id></item>\n";
    text.resize(size);
    return text;
}

std::vector<ZipBuilderEntry> BaseEntries() {
    ZipBuilderEntry xml;
    xml.name = "skin1/skin.xml";
    xml.data = Text(3000);
    ZipBuilderEntry bitmap;
    bitmap.name = "skin1/a.bmp";
    bitmap.method = 0;
    bitmap.data = "BM" + std::string(1000, '\x7F');
    ZipBuilderEntry descriptor;
    descriptor.name = "default/def_config.txt";
    descriptor.data = Text(500);
    descriptor.dataDescriptor = true;
    return {xml, bitmap, descriptor};
}

// Deflate gives at most 1032 bytes for each byte of its input.
constexpr ULONGLONG kLargestDeflateRatio = 1032;

// All a memory file sized for an entry of this archive may reserve, whatever its headers claim.
ULONGLONG ReservationBound(const std::string& bytes) {
    return kLargestDeflateRatio * bytes.size() + 1024;
}

struct Outcome {
    int cause = 0;
    int falseResults = 0;
    bool opened = false;
    // The largest buffer reserved for an entry before its extraction.
    ULONGLONG reserved = 0;
    bool Failed() const { return cause != 0 || falseResults != 0; }
};

// Everything the program would do with the archive: open it, then for each entry size a memory
// file for it, extract into it, and extract onto disk. Stops at the first exception.
Outcome ReadEverything(const std::string& bytes) {
    Outcome outcome;
    ArchiveFixture fixture(bytes);
    CZipArchive& archive = fixture.archive;
    outcome.cause = CauseOf([&] {
        if (!archive.Open(fixture.Path(), 3, 0)) {
            ++outcome.falseResults;
            return;
        }
        outcome.opened = true;
        archive.SetPassword(L"", CZipArchive::kDefaultCodePage);
        for (WORD index = 0; index < archive.GetCount(); ++index) {
            CZipMemFile memory(1024);
            memory.SetLength(archive.GetExtractableSize(index));
            outcome.reserved = std::max<ULONGLONG>(outcome.reserved, memory.GetBufferSize());
            memory.SeekToBegin();
            if (!archive.ExtractFileInto(index, memory, true, 0x10000))
                ++outcome.falseResults;
            if (!archive.ExtractFile(index, fixture.Folder().Wide("out.bin"), false, nullptr, 0, 0x10000))
                ++outcome.falseResults;
        }
    });
    return outcome;
}

struct EntryOutcome {
    int cause = 0;
    bool extracted = false;
    std::string data;
};

// Opens the archive and extracts each entry, found by its name, as the skin store does: an entry
// that an exception left open is released before the next one.
std::vector<EntryOutcome> ReadEachEntry(const std::string& bytes,
                                        const std::vector<ZipBuilderEntry>& entries) {
    ArchiveFixture fixture(bytes);
    CZipArchive& archive = fixture.archive;
    std::vector<EntryOutcome> outcomes(entries.size());
    EXPECT_EQ(CauseOf([&] { fixture.Open(); }), 0);
    if (archive.IsClosed())
        return outcomes;
    archive.SetPassword(L"", CZipArchive::kDefaultCodePage);
    for (size_t position = 0; position < entries.size(); ++position) {
        std::string name = entries[position].name;
        std::replace(name.begin(), name.end(), '/', '\\');
        const WORD index = archive.FindFile(WideFromUtf8(name));
        EXPECT_NE(index, CZipArchive::kNotFound) << entries[position].name;
        EntryOutcome& outcome = outcomes[position];
        CZipMemFile memory(1024);
        outcome.cause = CauseOf([&] {
            memory.SetLength(archive.GetExtractableSize(index));
            memory.SeekToBegin();
            outcome.extracted = archive.ExtractFileInto(index, memory, true, 0x10000);
        });
        if (outcome.cause != 0)
            archive.CloseFile(nullptr, true);
        if (const BYTE* data = memory.GetData())
            outcome.data.assign(reinterpret_cast<const char*>(data), static_cast<size_t>(memory.GetLength()));
    }
    return outcomes;
}

using Mutation = void (*)(std::vector<ZipBuilderEntry>& entries, ZipBuilderOptions& options);

// Where a damage shows: somewhere, when the archive is opened (before any entry is read or any
// memory is sized for it), or only when one entry (by its position in BaseEntries) is extracted.
enum Where { anywhere, atOpen, inEntry0, inEntry1, inEntry2 };

struct DamageCase {
    const char* label;
    Mutation mutate;
    // The expected cause; -1 when any failure will do.
    int cause;
    Where where = anywhere;
};

const DamageCase kDamageCases[] = {
    {"wrong crc", [](auto& e, auto&) { e[0].crc = 0x12345678; }, 202, inEntry0},
    {"local offset past the end", [](auto& e, auto&) { e[1].localHeaderOffset = 0x7FFFFFF0; }, 201, inEntry1},
    {"local offset into data", [](auto& e, auto&) { e[1].localHeaderOffset = 40; }, 201, inEntry1},
    {"two entries on one local header", [](auto& e, auto&) { e[2].localHeaderOffset = 0; }, 201, atOpen},
    {"more entries than records", [](auto&, auto& o) { o.totalEntries = o.volumeEntries = 9; }, 201},
    {"all 65535 entries claimed", [](auto&, auto& o) { o.totalEntries = o.volumeEntries = 0xFFFE; }, 201},
    {"directory offset past the end", [](auto&, auto& o) { o.centralDirOffset = 0x7FFFFFFF; }, 201},
    // 0xFFFFFF00 + 0x200 wraps to 0x100 in 32 bits.
    {"directory offset and size wrap",
     [](auto&, auto& o) {
         o.centralDirOffset = 0xFFFFFF00;
         o.centralDirSize = 0x200;
     },
     201, atOpen},
    {"directory larger than the file", [](auto&, auto& o) { o.centralDirSize = 0x10000; }, 201},
    {"huge uncompressed size", [](auto& e, auto&) { e[0].uncompressedSize = 0xFFFFFFF0; }, 201, inEntry0},
    {"huge compressed size", [](auto& e, auto&) { e[0].compressedSize = 0xFFFFFFF0; }, 201, inEntry0},
    {"huge stored sizes", [](auto& e, auto&) { e[1].compressedSize = e[1].uncompressedSize = 0x7FFFFFFF; },
     201, inEntry1},
    {"stored sizes that disagree", [](auto& e, auto&) { e[1].uncompressedSize = 10; }, 201, inEntry1},
    {"deflated size beyond what deflate can give",
     [](auto& e, auto&) {
         e[2].uncompressedSize =
             static_cast<uint32_t>(kLargestDeflateRatio * RawDeflate(e[2].data).size() + 1);
     },
     201, inEntry2},
    {"unsupported method claiming 4 GiB",
     [](auto& e, auto&) {
         e[1].method = 12;
         e[1].uncompressedSize = 0xFFFFFFFF;
     },
     -1, inEntry1},
    {"bytes between directory and end record", [](auto&, auto& o) { o.betweenDirectoryAndEnd = "garbage!"; },
     201},
    {"local method differs", [](auto& e, auto&) { e[0].localMethod = 0; }, 201, inEntry0},
    {"local flags differ", [](auto& e, auto&) { e[0].localFlags = 0x0002; }, 201, inEntry0},
    {"local crc differs", [](auto& e, auto&) { e[0].localCrc = 1; }, 201, inEntry0},
    {"extra field of 3 bytes", [](auto& e, auto&) { e[0].centralExtra = "abc"; }, 201, atOpen},
    {"extra record longer than the field",
     [](auto& e, auto&) { e[0].centralExtra = Le16(0x4242) + Le16(10) + "sixby"; }, 201},
    {"local extra record longer than the field",
     [](auto& e, auto&) { e[0].localExtra = Le16(0x4242) + Le16(99); }, 201, inEntry0},
    {"invalid deflate block", [](auto& e, auto&) { e[0].rawData = std::string(200, '\xFF'); }, 504, inEntry0},
    {"deflate stream cut short",
     [](auto& e, auto&) {
         const std::string whole = RawDeflate(e[0].data);
         e[0].rawData = whole.substr(0, whole.size() / 2);
     },
     -1, inEntry0},
    {"more data than the size says", [](auto& e, auto&) { e[0].uncompressedSize = 2000; }, -1, inEntry0},
    // Read without a password, as the skin store reads.
    {"encrypted entry shorter than its header",
     [](auto& e, auto&) {
         e[1].password = "pw";
         e[1].rawData = "tiny";
         e[1].compressedSize = 4;
     },
     213, inEntry1},
    {"winzip aes",
     [](auto& e, auto&) {
         e[1].password = "pw";
         e[1].method = 99;
         e[1].rawData = std::string(1015, 'a');
     },
     223, inEntry1},
    {"zip64 locator",
     [](auto&, auto& o) {
         o.zip64Locator = true;
         o.totalEntries = o.volumeEntries = 0xFFFF;
     },
     222, atOpen},
    {"another volume", [](auto&, auto& o) { o.lastVolume = 3; }, 201, atOpen},
};

} // namespace

TEST(ZipDamage, UndamagedBaseArchiveReadsCleanly) {
    const Outcome outcome = ReadEverything(BuildZip(BaseEntries()));
    EXPECT_EQ(outcome.cause, 0);
    EXPECT_EQ(outcome.falseResults, 0);
}

TEST(ZipDamage, EachDamageEndsInItsError) {
    for (const DamageCase& row : kDamageCases) {
        std::vector<ZipBuilderEntry> entries = BaseEntries();
        ZipBuilderOptions options;
        row.mutate(entries, options);
        const std::string bytes = BuildZip(entries, options);
        const Outcome outcome = ReadEverything(bytes);
        if (row.cause < 0) {
            EXPECT_TRUE(outcome.Failed()) << row.label;
        } else {
            EXPECT_EQ(outcome.cause, row.cause) << row.label;
        }
        if (row.where == atOpen) {
            EXPECT_FALSE(outcome.opened) << row.label;
        }
        EXPECT_LE(outcome.reserved, ReservationBound(bytes)) << row.label;
    }
}

// Sizes and offsets are judged when an entry is read: the archive opens, the damaged entry fails
// with its cause, and every other entry still gives its exact bytes.
TEST(ZipDamage, DamageToOneEntryCostsOnlyThatEntry) {
    for (const DamageCase& row : kDamageCases) {
        if (row.where < inEntry0)
            continue;
        SCOPED_TRACE(row.label);
        std::vector<ZipBuilderEntry> entries = BaseEntries();
        ZipBuilderOptions options;
        row.mutate(entries, options);
        const std::vector<EntryOutcome> outcomes = ReadEachEntry(BuildZip(entries, options), entries);
        const size_t damaged = static_cast<size_t>(row.where - inEntry0);
        for (size_t position = 0; position < entries.size(); ++position) {
            const EntryOutcome& outcome = outcomes[position];
            if (position == damaged) {
                EXPECT_TRUE(outcome.cause != 0 || !outcome.extracted);
                if (row.cause > 0) {
                    EXPECT_EQ(outcome.cause, row.cause);
                }
                continue;
            }
            EXPECT_EQ(outcome.cause, 0) << entries[position].name;
            EXPECT_TRUE(outcome.extracted) << entries[position].name;
            EXPECT_EQ(outcome.data, entries[position].data) << entries[position].name;
        }
    }
}

TEST(ZipDamage, EveryTruncationFails) {
    ZipBuilderOptions options;
    options.comment = "tail";
    const std::string bytes = BuildZip(BaseEntries(), options);
    for (size_t length = 0; length < bytes.size(); ++length)
        EXPECT_TRUE(ReadEverything(bytes.substr(0, length)).Failed()) << length;
}

// Any single damaged byte: whatever the result, it is reached without a crash or a foreign
// exception; a read that succeeds delivers the right bytes (names may differ, data may not).
TEST(ZipDamage, EverySingleByteDamageIsSurvived) {
    const std::vector<ZipBuilderEntry> entries = BaseEntries();
    const std::string bytes = BuildZip(entries);
    for (size_t at = 0; at < bytes.size(); ++at) {
        std::string damaged = bytes;
        damaged[at] = static_cast<char>(damaged[at] ^ 0xA5);
        ArchiveFixture fixture(damaged);
        CauseOf([&] {
            if (!fixture.archive.Open(fixture.Path(), 3, 0))
                return;
            for (WORD index = 0; index < fixture.archive.GetCount(); ++index) {
                bool ok = false;
                const std::string data = ExtractToString(fixture.archive, index, &ok);
                if (ok && fixture.archive[index]->m_uncompressedSize == entries[index].data.size()) {
                    EXPECT_EQ(data, entries[index].data) << "byte " << at << " entry " << index;
                }
            }
        });
    }
}

// Entry names never become paths: whatever a name says, extraction writes the target it is given.
TEST(ZipDamage, EntryNamesCannotLeadOutOfTheTarget) {
    const char* names[] = {"..\\..\\escape1.txt", "../../escape2.txt", "/tmp/trevo-escape3.txt",
                           "C:\\Windows\\escape4.txt", "skin1/../../../escape5/"};
    std::vector<ZipBuilderEntry> entries;
    for (const char* name : names) {
        ZipBuilderEntry entry;
        entry.name = name;
        entry.data = entry.name.back() == '/' ? "" : "payload";
        entry.method = 0;
        if (entry.name.back() == '/')
            entry.externalAttributes = 0x10;
        entries.push_back(entry);
    }
    ArchiveFixture fixture(BuildZip(entries));
    fixture.Open();
    TestFolder& folder = fixture.Folder();
    const std::filesystem::path outside = folder.Path().parent_path();
    for (WORD index = 0; index < fixture.archive.GetCount(); ++index) {
        const std::wstring target = folder.Wide("inside/target" + std::to_string(index));
        ASSERT_TRUE(fixture.archive.ExtractFile(index, target, true, nullptr, 0, 0x10000)) << names[index];
        EXPECT_TRUE(FileSystem::Exists(target)) << names[index];
    }
    for (const char* escaped : {"escape1.txt", "escape2.txt", "escape5"})
        EXPECT_FALSE(std::filesystem::exists(outside / escaped)) << escaped;
    EXPECT_FALSE(std::filesystem::exists("/tmp/trevo-escape3.txt"));
    std::vector<FileSystem::DirectoryEntry> inside;
    ASSERT_TRUE(FileSystem::ListDirectory(folder.Wide("inside"), inside));
    EXPECT_EQ(inside.size(), std::size(names));
}
