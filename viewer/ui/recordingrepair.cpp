#include "viewer/ui/recordingrepair.h"

#include "platform/base/cstring.h"
#include "platform/base/fileidentity.h"
#include "platform/base/filesystem.h"
#include "platform/base/process.h"
#include "platform/ui/guithread.h"
#include "viewer/catalogue/moviesimpleparser.h"
#include "viewer/catalogue/recordingnames.h"
#include "viewer/tools/repairavi.h"

#include <utility>

namespace {

constexpr const wchar_t* kReferenceCopy = L"_reference.mov";
constexpr const wchar_t* kBrokenCopy = L"_broken.mov";
constexpr const wchar_t* kRepairOutput = L"_repair.mov";

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() || folder.back() == L'/' ? folder + name : folder + L"/" + name;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring NameOf(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The rear partner of an AVI recording: only the file name says which camera it holds.
std::wstring RearPartner(const std::wstring& front) {
    std::wstring name = NameOf(front);
    for (size_t at = name.find(L"_F_"); at != std::wstring::npos; at = name.find(L"_F_", at))
        name.replace(at, 3, L"_R_");
    return FolderOf(front) + name;
}

// Whether the path lies in the folder or below it, however either is spelled.
bool LiesIn(const std::wstring& path, const std::wstring& folder) {
    const std::wstring canonicalPath = FileSystem::CanonicalPath(path);
    const std::wstring canonicalFolder = FileSystem::CanonicalPath(folder);
    if (canonicalPath.empty() || canonicalFolder.empty())
        return false;
    const std::wstring prefix = Join(canonicalFolder, L"");
    return canonicalPath.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

RepairPlaces RepairPlaces::Installed() {
    const std::wstring programFolder = FileSystem::ProgramFolder();
    return RepairPlaces{Join(programFolder, RecordingRepair::kProgramName), programFolder,
                        FileSystem::DocumentsFolder(), FileSystem::RepairFolder()};
}

RecordingRepair::RecordingRepair(IRepairView& view, RepairPlaces places)
    : m_view(view), m_places(std::move(places)) {}

const wchar_t* RecordingRepair::GetFrontReferenceName(int model) {
    return model == 0 ? L"ref.mp4" : L"ref_T310_F.mp4";
}

const wchar_t* RecordingRepair::GetRearReferenceName(int model) {
    return model == 0 ? L"ref.mp4" : L"ref_T310_R.mp4";
}

std::vector<std::wstring> RecordingRepair::CommandLine(const std::wstring& program,
                                                       const std::wstring& reference,
                                                       const std::wstring& broken, const std::wstring& output,
                                                       bool aac) {
    if (aac)
        return {program,        L"-y",  L"-i",     reference, L"-broken", broken,
                L"-broken_aac", L"aac", L"-codec", L"copy",   output};
    return {program,    L"-y",   L"-i",      reference,        L"-broken", broken,
            L"-vcodec", L"copy", L"-acodec", L"adpcm_ima_wav", output};
}

stringex RecordingRepair::RepairedKey(const std::wstring& path) {
    return NameOf(path).substr(0, kNameStampLength) + L"_" + FolderOf(path) + L"/E";
}

void RecordingRepair::Run(const RepairRequest& request) {
    if (request.model < 3)
        RepairMovie(request);
    else
        RepairAviPair(request);
}

void RecordingRepair::Message(const std::wstring& text) {
    m_view.HideRepairBox();
    m_view.ShowRepairMessage(text);
}

void RecordingRepair::RepairMovie(const RepairRequest& request) {
    m_view.ShowRepairBox(request.viewRect);
    if (RunFfmpegRepair(request.frontPath, GetFrontReferenceName(request.model), request.language) != 0) {
        Message(m_view.LoadRepairText(kStringFailed, request.language));
        m_view.HideRepairBox();
        return;
    }
    int rear = 0;
    if (!request.rearPath.empty()) {
        m_view.HideRepairBox();
        m_view.ShowRepairBox(request.viewRect);
        rear = RunFfmpegRepair(request.rearPath, GetRearReferenceName(request.model), request.language);
    }
    // The catalogue read the broken file; the recording must be read anew to play.
    RunOnGuiThread(
        [&] { m_view.ReplaceRecordFiles(request.frontPath, request.key, request.key, request.row); }, true);
    Message(m_view.LoadRepairText(rear == 0 ? kStringComplete : kStringFailed, request.language));
    m_view.HideRepairBox();
}

int RecordingRepair::RunFfmpegRepair(const std::wstring& broken, const wchar_t* reference, LANGID language) {
    const std::wstring referenceCopy = Join(m_places.documents, kReferenceCopy);
    const std::wstring brokenCopy = Join(m_places.documents, kBrokenCopy);
    const std::wstring output = Join(m_places.documents, kRepairOutput);
    const int result = RunProgram(broken, reference, language, referenceCopy, brokenCopy, output);
    for (const std::wstring* working : {&referenceCopy, &brokenCopy, &output}) {
        if (FileSystem::Exists(*working))
            FileSystem::RemoveFile(*working);
    }
    return result;
}

int RecordingRepair::RunProgram(const std::wstring& broken, const wchar_t* reference, LANGID language,
                                const std::wstring& referenceCopy, const std::wstring& brokenCopy,
                                const std::wstring& output) {
    FileSystem::Status status;
    if (!FileSystem::GetStatus(m_places.program, status)) {
        Message(L"Check '" + std::wstring(kProgramName) + L"'");
        return -1;
    }
    const std::wstring referencePath = Join(m_places.referenceFolder, reference);
    if (!FileSystem::GetStatus(referencePath, status)) {
        Message(L"Check 'ref.mp4'");
        return -1;
    }
    // The documents folder of a fresh account may not exist yet.
    FileSystem::CreateDirectories(m_places.documents);
    if (!FileSystem::CopyFile(referencePath, referenceCopy, false)) {
        CString text;
        text.Format(L"%s -> %s", reference, referenceCopy.c_str());
        Message(text.GetString());
        return -1;
    }
    const bool aac = HasAudioTrack(referenceCopy);
    if (!FileSystem::CopyFile(broken, brokenCopy, false)) {
        Message(m_view.LoadRepairText(kStringFileInUse, language));
        return -1;
    }
    int exitCode = 0;
    if (!RunProcessAndWait(CommandLine(m_places.program, referenceCopy, brokenCopy, output, aac),
                           ProcessOutput::Hidden, exitCode)) {
        Message(L"CreateProcess failed : repair\n");
        return -1;
    }
    ULONGLONG size = 0;
    if (exitCode != 0 || !FileSystem::GetSize(output, size) || size < kSmallestOutput)
        return -1;
    const std::wstring original = FolderOf(broken) + L"original_" + NameOf(broken);
    if (!FileSystem::Rename(broken, original))
        return -1;
    if (!FileSystem::CopyFile(output, broken, false)) {
        // The recording is never left missing from its place.
        FileSystem::Rename(original, broken);
        Message(m_view.LoadRepairText(kStringFileInUse, language));
        return -1;
    }
    return 0;
}

void RecordingRepair::RepairAviPair(const RepairRequest& request) {
    m_view.ShowRepairBox(request.viewRect);
    const std::wstring& front = request.frontPath;
    const std::wstring rear = RearPartner(front);
    FileSystem::CreateDirectories(m_places.repairFolder);
    if (rear != front && FileSystem::Exists(rear))
        CopyAndRepairAvi(rear, request);
    const UINT result = CopyAndRepairAvi(front, request);
    Message(m_view.LoadRepairText(result, request.language));
    m_view.HideRepairBox();
}

UINT RecordingRepair::CopyAndRepairAvi(const std::wstring& path, const RepairRequest& request) {
    std::wstring output = path;
    if (!LiesIn(path, m_places.repairFolder)) {
        output = Join(m_places.repairFolder, NameOf(path));
        if (!FileSystem::CopyFile(path, output, false))
            return kStringFailed;
        if (NameOf(output).find(L"_R_") == std::wstring::npos && FileSystem::CanRead(output)) {
            // The catalogue and the list belong to the GUI thread, which reads them all the time.
            RunOnGuiThread(
                [&] { m_view.ReplaceRecordFiles(output, request.key, RepairedKey(output), request.row); },
                true);
        }
    }
    // The repair never reads the file it writes: a recording that already is its own output is
    // rebuilt from a temporary copy.
    std::wstring input = path;
    std::wstring temporary;
    if (FileSystem::IsSameFile(input, output)) {
        temporary = FileSystem::CreateTemporaryFile(m_places.repairFolder, L"repair");
        if (temporary.empty() || !FileSystem::CopyFile(path, temporary, false)) {
            if (!temporary.empty())
                FileSystem::RemoveFile(temporary);
            return kStringFailed;
        }
        input = temporary;
    }
    const int result = RepairAvi(input, output);
    if (!temporary.empty())
        FileSystem::RemoveFile(temporary);
    return result == 0 ? kStringComplete : kStringFailed;
}
