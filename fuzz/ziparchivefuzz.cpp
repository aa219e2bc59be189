// The zip reader on any bytes: open, list every entry, and extract each one into memory (sized as
// the skin store sizes it) and onto disk, once without a password and once with one. Damage may
// end only in a CZipException or a false result: anything else escaping is a fault.
#include "fuzzfolder.h"

#include "viewer/ziparchive/ziparchive.h"

#include <cstddef>
#include <cstdint>

namespace {

void ReadEverything(const std::wstring& archivePath, const std::wstring& targetPath,
                    const wchar_t* password) {
    CZipArchive archive;
    try {
        if (!archive.Open(archivePath, CZipArchive::zipOpenReadOnly, 0))
            return;
        archive.SetPassword(password);
        archive.GetGlobalComment();
        for (WORD index = 0; index < archive.GetCount(); ++index) {
            if (CZipFileHeader* header = archive.GetFileInfo(index)) {
                const std::wstring name = header->GetFileName();
                header->GetComment();
                header->GetModificationTime();
                header->IsDirectory();
                archive.FindFile(name, CZipArchive::caseInsensitive);
            }
            // An entry that fails leaves the others readable.
            try {
                CZipMemFile memory(1024);
                memory.SetLength(archive.GetExtractableSize(index));
                memory.SeekToBegin();
                archive.ExtractFileInto(index, memory, true, 0x10000);
                archive.ExtractFile(index, targetPath, false, nullptr, 0, 0x10000);
            } catch (const CZipException&) {
                archive.CloseFile(nullptr, true);
            }
        }
        archive.Close();
    } catch (const CZipException&) {
        archive.Close(CZipArchive::closeAfterException);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzFolder& folder = FuzzFolder::Instance();
    folder.Write("input.zip", data, size);
    const std::wstring archivePath = folder.WidePathOf("input.zip");
    const std::wstring targetPath = folder.WidePathOf("entry.bin");
    ReadEverything(archivePath, targetPath, nullptr);
    ReadEverything(archivePath, targetPath, L"secret");
    return 0;
}
