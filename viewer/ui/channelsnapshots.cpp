#include "viewer/ui/channelsnapshots.h"

#include "platform/base/filesystem.h"
#include "platform/base/windowsystem.h"
#include "platform/ui/image.h"
#include "viewer/ui/imagesavename.h"
#include "viewer/ui/playbacktransport.h"
#include "viewer/ui/playerengine.h"

namespace {

// The string library holds no text for these; English is what most of its tables hold.
std::wstring NoPictureText(int channel) {
    return L"Channel " + std::to_wstring(channel + 1) + L" has no picture to capture.\n";
}

} // namespace

ChannelSnapshots::ChannelSnapshots(PlaybackTransport& transport, IPlayerEngine& engine, ISnapshotView& view)
    : m_transport(transport), m_engine(engine), m_view(view) {}

HBITMAP ChannelSnapshots::Capture(int channel) {
    BYTE* buffer = m_view.GetFrameBuffer(channel);
    int width = 0;
    int height = 0;
    int pitch = 0;
    const size_t capacity = m_view.GetFrameBufferSize();
    if (buffer == nullptr || m_engine.PlayerCaptureFrame(m_transport.GetChannel(channel), buffer, capacity,
                                                         &width, &height, &pitch) != S_OK) {
        return nullptr;
    }
    // The bitmap reads width * 4 bytes a row: only a picture that lies whole in the buffer is taken.
    if (width <= 0 || height <= 0 || pitch != width * 4 ||
        static_cast<size_t>(width) * static_cast<size_t>(height) * 4 > capacity) {
        return nullptr;
    }
    return CreateBitmap(width, height, 1, 32, buffer);
}

void ChannelSnapshots::Report(const std::wstring& problems) {
    if (!problems.empty()) {
        MessageBox(m_view.GetViewWindow(), problems, L"", MB_OK | MB_ICONWARNING);
    }
}

void ChannelSnapshots::CaptureToFile() {
    if (!m_transport.IsAnyChannelOpen()) {
        return;
    }
    m_transport.Pause();
    for (;;) {
        std::wstring chosen;
        int filterIndex = 0;
        if (!m_view.ChooseSnapshotName(chosen, filterIndex)) {
            return;
        }
        const ImageSaveName name(chosen, filterIndex);
        std::wstring existing;
        for (int channel = 0; channel < kChannelCount && existing.empty(); ++channel) {
            if (m_transport.GetChannel(channel) != nullptr &&
                FileSystem::Exists(name.PathOfChannel(channel))) {
                existing = name.PathOfChannel(channel);
            }
        }
        if (!existing.empty()) {
            MessageBox(m_view.GetViewWindow(), m_view.LoadText(kStringFileExists) + L" (" + existing + L")",
                       L"", MB_OK);
            continue;
        }
        std::wstring problems;
        for (int channel = 0; channel < kChannelCount; ++channel) {
            if (m_transport.GetChannel(channel) == nullptr) {
                continue;
            }
            CImage image;
            image.Attach(Capture(channel));
            if (image.IsNull()) {
                problems += NoPictureText(channel);
            } else if (image.Save(name.PathOfChannel(channel).c_str(), name.Format()) != S_OK) {
                problems += L"The snapshot could not be saved as " + name.PathOfChannel(channel) + L".\n";
            }
        }
        Report(problems);
        return;
    }
}

void ChannelSnapshots::CaptureToPrinter() {
    if (!m_transport.IsAnyChannelOpen()) {
        return;
    }
    m_transport.Pause();
    std::wstring problems;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (m_transport.GetChannel(channel) == nullptr) {
            continue;
        }
        CBitmap bitmap;
        bitmap.Attach(Capture(channel));
        BITMAP info;
        if (bitmap.m_hObject == nullptr || bitmap.GetBitmap(&info) == 0) {
            problems += NoPictureText(channel);
        } else if (m_view.PrintPicture(bitmap, info) == PrintOutcome::Failed) {
            problems +=
                L"The picture of channel " + std::to_wstring(channel + 1) + L" could not be printed.\n";
        }
    }
    Report(problems);
}
