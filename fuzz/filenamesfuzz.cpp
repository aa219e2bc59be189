// The recording-name parser on any names, under every recorder model: each line of the input is a
// file name. The names are made as empty files of a card's Drive folder, then read as a card scan
// reads them and one by one as files added by hand, and the catalogue they give is listed.
#include "fuzzfolder.h"

#include "viewer/catalogue/datadirstruct.h"
#include "viewer/catalogue/recordingnames.h"

#include "platform/base/listcontrol.h"
#include "platform/base/unicode.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Enough names for a front file, its rear file and a few neighbours.
constexpr size_t kMostNames = 16;
constexpr size_t kLongestName = 255;

class Rows : public IListControl {
  public:
    BOOL DeleteAllItems() override {
        m_keys.clear();
        return TRUE;
    }
    int GetItemCount() const override { return static_cast<int>(m_keys.size()); }
    int InsertItem(int item, const std::wstring&) override {
        if (item < 0 || static_cast<size_t>(item) > m_keys.size())
            return -1;
        m_keys.insert(m_keys.begin() + item, std::wstring());
        return item;
    }
    BOOL SetItemText(int item, int, const std::wstring&) override { return Has(item); }
    BOOL SetItemKey(int item, const std::wstring& key) override {
        if (!Has(item))
            return FALSE;
        m_keys[item] = key;
        return TRUE;
    }
    std::wstring GetItemKey(int item) const override { return Has(item) ? m_keys[item] : std::wstring(); }

  private:
    bool Has(int item) const { return item >= 0 && static_cast<size_t>(item) < m_keys.size(); }
    std::vector<std::wstring> m_keys;
};

std::vector<std::string> Lines(const uint8_t* data, size_t size) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < size && lines.size() <= kMostNames; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back().push_back(static_cast<char>(data[i]));
    }
    if (lines.size() > kMostNames)
        lines.resize(kMostNames);
    return lines;
}

bool CanBeFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.size() <= kLongestName &&
           name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

void ListAll(DataDirStruct& catalogue, Rows& rows) {
    for (int order : {0, 1}) {
        catalogue.FillListByType(&rows, RECORD_TYPE_ALL, order);
        for (int row = 0; row < rows.GetItemCount(); ++row) {
            const stringex key = rows.GetItemKey(row);
            catalogue.GetFilePath(key, 1);
            catalogue.GetFilePath(key, 2);
            catalogue.GetRecord(key);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzFolder& folder = FuzzFolder::Instance();
    const std::vector<std::string> names = Lines(data, size);
    const std::string card = folder.PathOf("card");
    const std::string drive = card + "/Drive";
    folder.Clear();
    std::filesystem::create_directories(drive);
    std::filesystem::create_directories(card + "/DriveEvent");
    std::vector<std::wstring> paths;
    for (const std::string& name : names) {
        const std::string path = drive + "/" + name;
        if (CanBeFileName(name))
            if (std::FILE* file = std::fopen(path.c_str(), "wb"))
                std::fclose(file);
        paths.push_back(WideFromUtf8(path));
    }

    for (int model = 0; model < 4; ++model) {
        SetModelIndex(model);
        Rows rows;
        DataDirStruct scanned;
        scanned.ScanFolders(WideFromUtf8(card), 0);
        ListAll(scanned, rows);

        DataDirStruct added;
        for (const std::wstring& path : paths) {
            LacksFrontRearTag(path);
            GetFileTagCode(path, 1);
            GetFileTagCode(path, 2);
            HasChannelTag(path, L"T");
            stringex key;
            added.ParseFileName(path, 1, &key);
            added.AddFile(path, &rows);
        }
        ListAll(added, rows);
    }
    return 0;
}
