#pragma once
// The capture menu's snapshots: the current picture of every open channel saved as image files
// (one per channel, never over an existing file) or printed (one job per channel). The view
// offers its dialogs and capture buffers through ISnapshotView.

#include "platform/base/wintypes.h"
#include "platform/ui/bitmap.h"
#include "viewer/ui/printbitmap.h"

#include <string>

class IPlayerEngine;
class PlaybackTransport;

class ISnapshotView {
  public:
    // Owner of the message boxes.
    virtual HWND GetViewWindow() = 0;
    virtual std::wstring LoadText(UINT id) = 0;
    // The save dialog with ImageSaveName's filter: false on cancel; else the chosen path and
    // filter entry (counted from 1).
    virtual bool ChooseSnapshotName(std::wstring& path, int& filterIndex) = 0;
    // One picture as one print job, with its own print dialog.
    virtual PrintOutcome PrintPicture(CBitmap& bitmap, const BITMAP& info) = 0;
    // The channel's capture buffer and the bytes each buffer holds.
    virtual BYTE* GetFrameBuffer(int channel) = 0;
    virtual size_t GetFrameBufferSize() const = 0;

  protected:
    ~ISnapshotView() = default;
};

class ChannelSnapshots {
  public:
    static constexpr int kChannelCount = 4;
    // "File aleary exists." in the English tables, followed by " (" + the name + ")".
    static constexpr UINT kStringFileExists = 205;

    ChannelSnapshots(PlaybackTransport& transport, IPlayerEngine& engine, ISnapshotView& view);

    // Pauses, asks for a name until none of the channels' files exists (or the user cancels), then
    // saves each open channel's picture. A channel that gave no picture and a file that could not
    // be written are reported together once the others are saved.
    void CaptureToFile();
    // Pauses and prints each open channel's picture as its own job; channels without a picture
    // and failed jobs are reported at the end.
    void CaptureToPrinter();

  private:
    // The channel's picture as a bitmap; null when the engine gave none that fits the buffer.
    HBITMAP Capture(int channel);
    void Report(const std::wstring& problems);

    PlaybackTransport& m_transport;
    IPlayerEngine& m_engine;
    ISnapshotView& m_view;
};
