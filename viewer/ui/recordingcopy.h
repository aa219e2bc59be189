#pragma once
// Copying the open recording into a folder of the user's choice (the capture menu's copy items).
// A recording of the MP4/MOV family, or an AVI file tagged as one camera's, is copied file by file;
// an AVI file holding all cameras is rewritten with the chosen channels only. A copy never writes
// onto its source and appears under its name only when complete; the completion message is shown
// only when everything was copied, a failure is reported with its reason.

#include "platform/base/windowsystem.h"
#include "platform/base/wintypes.h"

#include <array>
#include <string>

class PlaybackTransport;

class IRecordingCopyView {
  public:
    // Owner of the message boxes.
    virtual HWND GetViewWindow() = 0;
    virtual std::wstring LoadText(UINT id) = 0;
    // The folder browser owned by the view; false when cancelled.
    virtual bool BrowseForFolder(const std::wstring& title, std::wstring& folder) = 0;

  protected:
    ~IRecordingCopyView() = default;
};

class RecordingCopy {
  public:
    static constexpr int kChannelCount = 4;
    // The question whether to copy the playing file (only the Korean and Japanese tables hold it).
    static constexpr UINT kStringCopyQuestion = 234;
    // The folder browser's title.
    static constexpr UINT kStringSelectFolder = 160;

    // The channels an AVI copy keeps and the tag letter its name gets.
    struct AviSelection {
        std::array<int, kChannelCount> keep{};
        wchar_t letter = L'S';
    };
    // mode 0 "File Copy": every open channel; 1 front only; 2 front and the open side channels
    // 2 and 3; 3 front and channel 1 when open.
    static AviSelection SelectChannels(int mode, const std::array<bool, kChannelCount>& open);
    // The destination path with the tag letter (the 7th character from the end, before "_N.avi")
    // replaced; unchanged when the name is too short or carries no tag letter there.
    static std::wstring WithTagLetter(const std::wstring& path, wchar_t letter);

    RecordingCopy(PlaybackTransport& transport, IRecordingCopyView& view);

    // Pauses, asks, lets the user choose the folder and copies. Playback stays paused.
    void Run(int mode);

  private:
    bool CopyWholeFile(const std::wstring& source, const std::wstring& destination);
    bool CopyChannels(const std::wstring& source, const std::wstring& destination,
                      const AviSelection& selection);
    void Message(const std::wstring& text, UINT type);
    // The failure, naming the file, with the reason when there is one.
    void ReportFailure(const std::wstring& file, const std::wstring& reason);

    PlaybackTransport& m_transport;
    IRecordingCopyView& m_view;
};
