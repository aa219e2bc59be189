// The settings editor on any config.txt: the first byte picks the recorder model, the rest is the
// file. Reading the file and writing the items back must reach a fixed point at once: a second
// read and write of what the first wrote changes no key, so a card's values never drift through
// saves that change nothing.
#include "fuzzfolder.h"

#include "platform/base/windowsystem.h"
#include "tests/support/silentopteditorhost.h"
#include "viewer/catalogue/datadirstruct.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/tools/opteditor.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

class Quiet : public IWindowSystem {
  public:
    LRESULT Send(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    bool Post(HWND, UINT, WPARAM, LPARAM) override { return false; }
    int ShowMessageBox(HWND, const std::wstring&, const std::wstring&, UINT) override { return IDYES; }
};

// The registry stays out of it: every save fails at once.
class ClosedStore : public ViewerSettingsStore {
  public:
    bool Open() override { return false; }
};

std::vector<std::pair<std::wstring, std::wstring>> WrittenKeys(const DataDirStruct& catalogue, int model) {
    std::vector<std::pair<std::wstring, std::wstring>> keys;
    for (const OptItem* item : OptItemsWritten(model)) {
        const wchar_t* key = OptKeyFor(*item, model);
        keys.emplace_back(key, catalogue.GetConfigValue(key));
    }
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Quiet quiet;
    SetWindowSystem(&quiet);
    if (size < 1)
        return 0;
    const int model = data[0] % 4;
    SetModelIndex(model);
    const std::string path = FuzzFolder::Instance().Write("config.txt", data + 1, size - 1);
    std::vector<CIniFile::Record> records;
    CIniFile::Load(path, records, 1033);

    static SilentOptEditorHost host;
    static ClosedStore store;
    DataDirStruct catalogue;
    catalogue.SetConfigRecords(records);
    OptEditor editor(host);
    editor.SetSettingsStore(&store);
    editor.SetDataDirStruct(&catalogue);
    editor.ReadConfig(0);
    editor.WriteConfig();
    const auto first = WrittenKeys(catalogue, model);
    editor.ReadConfig(0);
    editor.WriteConfig();
    if (WrittenKeys(catalogue, model) != first)
        std::abort();
    return 0;
}
