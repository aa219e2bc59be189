#include "viewer/ui/recordingcopy.h"

#include "platform/base/fileidentity.h"
#include "platform/base/filesystem.h"
#include "platform/base/unicode.h"
#include "platform/base/windowsystem.h"
#include "viewer/catalogue/recordingnames.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/tools/copyavichannels.h"
#include "viewer/ui/playbacktransport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cwctype>

namespace {

constexpr const wchar_t* kTagLetters = L"_SDTQ";
constexpr size_t kTagFromEnd = 7;
constexpr const wchar_t* kCompleted = L"コピーが完了しました。\n";

bool ContainsAviNoCase(const std::wstring& name) {
    std::wstring lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); });
    return lower.find(L".avi") != std::wstring::npos;
}

} // namespace

RecordingCopy::AviSelection RecordingCopy::SelectChannels(int mode,
                                                          const std::array<bool, kChannelCount>& open) {
    AviSelection selection;
    selection.keep[0] = 1;
    selection.keep[1] = open[1] && (mode == 3 || mode == 0) ? 1 : 0;
    selection.keep[2] = open[2] && (mode == 2 || mode == 0) ? 1 : 0;
    selection.keep[3] = open[3] && (mode == 2 || mode == 0) ? 1 : 0;
    const int count = selection.keep[0] + selection.keep[1] + selection.keep[2] + selection.keep[3];
    selection.letter = kTagLetters[count];
    return selection;
}

std::wstring RecordingCopy::WithTagLetter(const std::wstring& path, wchar_t letter) {
    std::wstring renamed(path);
    if (renamed.size() >= kTagFromEnd) {
        wchar_t& tag = renamed[renamed.size() - kTagFromEnd];
        if (tag != L'_' && std::wcschr(kTagLetters, tag) != nullptr) {
            tag = letter;
        }
    }
    return renamed;
}

RecordingCopy::RecordingCopy(PlaybackTransport& transport, IRecordingCopyView& view)
    : m_transport(transport), m_view(view) {}

void RecordingCopy::Message(const std::wstring& text, UINT type) {
    MessageBox(m_view.GetViewWindow(), text, L"", type);
}

void RecordingCopy::ReportFailure(const std::wstring& file, const std::wstring& reason) {
    // The string library holds no text for this; English is what most of its tables hold.
    Message(L"The recording could not be copied:\n" + file + (reason.empty() ? L"" : L"\n(" + reason + L")"),
            MB_OK | MB_ICONWARNING);
}

bool RecordingCopy::CopyWholeFile(const std::wstring& source, const std::wstring& destination) {
    if (FileSystem::IsSameFile(source, destination)) {
        ReportFailure(destination, L"It is the recording itself.");
        return false;
    }
    if (!FileSystem::CopyFile(source, destination, false)) {
        ReportFailure(destination, WideFromUtf8(std::strerror(errno)));
        return false;
    }
    return true;
}

bool RecordingCopy::CopyChannels(const std::wstring& source, const std::wstring& destination,
                                 const AviSelection& selection) {
    if (FileSystem::IsSameFile(source, destination)) {
        ReportFailure(destination, L"It is the recording itself.");
        return false;
    }
    if (!CopyAviChannels(destination, source, selection.keep[0], selection.keep[1], selection.keep[2],
                         selection.keep[3])) {
        ReportFailure(destination, L"");
        return false;
    }
    return true;
}

void RecordingCopy::Run(int mode) {
    m_transport.Pause();
    const std::wstring frontPath = m_transport.GetFrontPath();
    const std::wstring rearPath = m_transport.GetRearPath();
    if (frontPath.empty()) {
        return;
    }
    if (MessageBox(m_view.GetViewWindow(), m_view.LoadText(kStringCopyQuestion), L"", MB_YESNO) != IDYES) {
        return;
    }
    std::wstring folder;
    if (!m_view.BrowseForFolder(m_view.LoadText(kStringSelectFolder), folder) || folder.empty()) {
        return;
    }

    std::wstring frontName = m_transport.GetFrontName();
    std::wstring rearName = m_transport.GetRearName();
    const bool aviModel = ModelIndexBelow3() == 0;
    if (aviModel && !ContainsAviNoCase(frontName)) {
        frontName += L".avi";
        if (!rearName.empty()) {
            rearName += L".avi";
        }
    }
    const std::wstring base = folder.back() == L'/' ? folder : folder + L"/";

    // One AVI file with every camera: only the chosen channels are copied. Everything else is
    // copied as it is, whether or not the recording has a rear file.
    if (aviModel && LacksFrontRearTag(m_transport.GetFrontName()) != 0) {
        std::array<bool, kChannelCount> open{};
        for (int channel = 0; channel < kChannelCount; ++channel) {
            open[channel] = m_transport.GetChannel(channel) != nullptr;
        }
        const AviSelection selection = SelectChannels(mode, open);
        if (CopyChannels(frontPath, WithTagLetter(base + frontName, selection.letter), selection)) {
            Message(kCompleted + frontName, MB_OK);
        }
        return;
    }
    if (!CopyWholeFile(frontPath, base + frontName)) {
        return;
    }
    if (rearPath.empty()) {
        Message(kCompleted + frontName, MB_OK);
        return;
    }
    if (CopyWholeFile(rearPath, base + rearName)) {
        Message(kCompleted + frontName + L"\n" + rearName, MB_OK);
    }
}
