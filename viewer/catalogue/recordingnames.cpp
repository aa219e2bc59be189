#include "viewer/catalogue/recordingnames.h"

#include "platform/base/filesystem.h"
#include "viewer/catalogue/sharedhelpers.h"

namespace {

bool Contains(const std::wstring& text, const wchar_t* part) {
    return text.find(part) != std::wstring::npos;
}

// How many cameras beyond the first a one-file AVI name holds, by its tag; the later test wins as
// the recorder's own tools read it.
int FurtherCameras(const std::wstring& name) {
    int cameras = 0;
    if (Contains(name, L"_D_"))
        cameras = 1;
    if (Contains(name, L"_T_"))
        cameras = 2;
    if (Contains(name, L"_Q_"))
        cameras = 3;
    return cameras;
}

} // namespace

std::wstring RecordingFileName(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

int LacksFrontRearTag(std::wstring name) {
    if (GetModelIndex() != 3)
        return 0;
    // Only the name speaks: a folder called "_F_" must not make a one-file recording look paired.
    const std::wstring fileName = RecordingFileName(name);
    return !Contains(fileName, L"_F_") && !Contains(fileName, L"_R_") ? 1 : 0;
}

int GetFileTagCode(const std::wstring& path, int channel) {
    if (!FileSystem::Exists(path))
        return 0;
    const std::wstring name = RecordingFileName(path);
    if (LacksFrontRearTag(name))
        return channel == 2 ? FurtherCameras(name) : 3;
    if (channel == 2)
        return Contains(name, L"_R_") ? 1 : 0;
    return Contains(name, L"_F_") ? 1 : 0;
}

bool HasChannelTag(const std::wstring& path, const std::wstring& letter) {
    int asked = 0;
    if (letter == L"D")
        asked = 1;
    else if (letter == L"T")
        asked = 2;
    else if (letter == L"Q")
        asked = 3;
    if (asked == 0 || !FileSystem::Exists(path))
        return false;
    const std::wstring name = RecordingFileName(path);
    return LacksFrontRearTag(name) && FurtherCameras(name) >= asked;
}
