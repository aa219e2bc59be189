#pragma once
// The repair of a broken recording, run on the view's repair worker. A recording of the MP4/MOV
// recorders is rebuilt by our repair program from a copy in the documents folder, with an intact
// reference recording of the same recorder; it then replaces the broken file, which stays beside
// it as "original_" plus its name. An AVI recording is copied into the repair folder and rebuilt
// there; the catalogue entry and the list row then point at the copy.
//
// The worker reports to the user itself. Everything it touches that the GUI thread also owns (the
// wait box, message boxes, the catalogue and the list) is reached through the view, which runs
// those calls on the GUI thread while the worker waits. A request carries everything it needs by
// value, so an offer made while a repair runs never changes that repair.

#include "platform/base/wintypes.h"
#include "viewer/catalogue/sharedhelpers.h"

#include <string>
#include <vector>

struct RepairRequest {
    stringex key;
    // The recorder model at the offer: below 3 the MP4/MOV family.
    int model = 0;
    // The recording's own file, and its rear file (empty when there is none).
    std::wstring frontPath;
    std::wstring rearPath;
    // The view's window rectangle at the offer: the wait box is centred over it.
    RECT viewRect{};
    LANGID language = 0;
    // The list row that was opened.
    int row = -1;
};

// Where the repair finds its program and references and where it works.
struct RepairPlaces {
    std::wstring program;
    std::wstring referenceFolder;
    std::wstring documents;
    std::wstring repairFolder;

    // The program and the references beside the viewer's own program, the user's documents
    // folder and the repair folder in the home folder.
    static RepairPlaces Installed();
};

class IRepairView {
  public:
    virtual std::wstring LoadRepairText(UINT id, LANGID language) = 0;
    // Any thread: each returns once the GUI thread has done it (or could not, at shut-down).
    virtual void ShowRepairMessage(const std::wstring& text) = 0;
    virtual void ShowRepairBox(const RECT& over) = 0;
    virtual void HideRepairBox() = 0;
    // GUI thread: points the catalogue entry and the list row at the repaired copy.
    virtual void ReplaceRecordFiles(const std::wstring& newPath, const stringex& oldKey,
                                    const stringex& newKey, int row) = 0;

  protected:
    ~IRepairView() = default;
};

class RecordingRepair {
  public:
    static constexpr UINT kStringComplete = 212;
    static constexpr UINT kStringFailed = 214;
    static constexpr UINT kStringFileInUse = 215;
    // The repair program's file, beside the viewer's.
    static constexpr const wchar_t* kProgramName = L"mp4repair";
    // Below this size the program's output holds no recording.
    static constexpr unsigned long long kSmallestOutput = 1024;

    RecordingRepair(IRepairView& view, RepairPlaces places);

    static const wchar_t* GetFrontReferenceName(int model);
    static const wchar_t* GetRearReferenceName(int model);
    // The program's argument vector: the line that copies the sound when the reference has AAC
    // sound, else the line that asks for IMA ADPCM sound.
    static std::vector<std::wstring> CommandLine(const std::wstring& program, const std::wstring& reference,
                                                 const std::wstring& broken, const std::wstring& output,
                                                 bool aac);
    // The catalogue key of a recording copied to the path: the name's first 22 characters, "_",
    // its folder with the separator and "/E".
    static stringex RepairedKey(const std::wstring& path);

    // The whole repair of one request, messages included.
    void Run(const RepairRequest& request);
    // 0 when the broken file was rebuilt in place, -1 otherwise (with a message where one is due).
    int RunFfmpegRepair(const std::wstring& broken, const wchar_t* reference, LANGID language);
    // The string id of the result: 212 or 214.
    UINT CopyAndRepairAvi(const std::wstring& path, const RepairRequest& request);

  private:
    void RepairMovie(const RepairRequest& request);
    void RepairAviPair(const RepairRequest& request);
    // The box is hidden before every message.
    void Message(const std::wstring& text);
    int RunProgram(const std::wstring& broken, const wchar_t* reference, LANGID language,
                   const std::wstring& referenceCopy, const std::wstring& brokenCopy,
                   const std::wstring& output);

    IRepairView& m_view;
    RepairPlaces m_places;
};
