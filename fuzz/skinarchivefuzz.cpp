// The skin store's whole load on any bytes as ResStorage.dat: settings, components with their
// images, the model table and the default settings, then the lookups the windows make. A damaged
// archive must give 0 from LoadSkin, never end the program.
#include "fuzzfolder.h"

#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/skin/resstorage.h"

#include "platform/ui/gdiobj.h"

#include <cstddef>
#include <cstdint>

namespace {

class Progress : public ISkinLoadProgress {
  public:
    void SetLoadingMessage(const std::wstring& text) override { last = text; }
    std::wstring last;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzFolder& folder = FuzzFolder::Instance();
    folder.Write("ResStorage.dat", data, size);
    // The model from the input's length: every model's default settings file is read, and no byte
    // of the archive is spent on choosing it.
    SetModelIndex(static_cast<int>(size % 4));
    ResStorage store;
    Progress progress;
    if (store.LoadSkin(folder.WidePathOf("ResStorage.dat"), &progress)) {
        for (eComponentID id : {CID_MAIN_EXIT, CID_MAIN_VOLUME, CID_MAIN_SLIDER_PLATE, CID_MAIN_WINDOW}) {
            store.GetComponentRect(id, CRect(0, 0, 0, 0));
            store.GetComponentInfo(id);
            store.GetComboHighlightColor(id, 1);
        }
        for (const sDeviceInfo& device : store.GetDevices())
            store.FindDeviceByVidPid(device.vid, device.pid);
        store.GetDefaultConfig();
    }
    if (HBITMAP bitmap = store.LoadArchiveBitmap("normal.bmp"))
        ::DeleteObject(bitmap);
    return 0;
}
