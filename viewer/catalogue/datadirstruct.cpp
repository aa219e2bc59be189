#include "viewer/catalogue/datadirstruct.h"

#include "platform/base/codepage.h"
#include "platform/base/cstring.h"
#include "platform/base/file.h"
#include "platform/base/filesystem.h"
#include "platform/base/resourcemodule.h"
#include "platform/base/unicode.h"
#include "platform/base/windowsystem.h"
#include "viewer/app/globals.h"
#include "viewer/catalogue/cardsettings.h"
#include "viewer/catalogue/recordingcheck.h"
#include "viewer/catalogue/recordingnames.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string_view>
#include <utility>

namespace {

constexpr UINT kBadNameTextId = 171;
// The list's signs are Greek capitals, as the skin's font draws them.
const wchar_t* const kSignPresent = L"\u039F";
const wchar_t* const kSignAbsent = L"\u03A7";

// The longest token the name grammar looks at.
constexpr size_t kTokenLength = 9;
// A ".mov" name carries a prefix and a token: its extension lies at least this far in.
constexpr size_t kMovExtensionIndex = 29;

std::wstring WithoutTrailingSlashes(std::wstring path) {
    while (path.size() > 1 && path.back() == L'/')
        path.pop_back();
    return path;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    return folder == L"/" ? folder + name : folder + L"/" + name;
}

// A path below the root whose fixed names ("Parameter", "config.txt") are looked up without
// regard to case; a name that is not there keeps the spelling asked for.
std::wstring ResolveNoCase(const std::wstring& root, const std::wstring& relative) {
    std::wstring path = root;
    size_t start = 0;
    while (start < relative.size()) {
        size_t end = relative.find(L'/', start);
        if (end == std::wstring::npos)
            end = relative.size();
        const std::wstring name = relative.substr(start, end - start);
        if (!name.empty()) {
            const std::wstring found = FileSystem::FindNameNoCase(path, name);
            path = JoinPath(path, found.empty() ? name : found);
        }
        start = end + 1;
    }
    return path;
}

// The recorder's read probe: the file exists, is no folder and can be opened for reading.
bool OpensForReading(const std::wstring& path) {
    return !FileSystem::IsDirectory(path) && FileSystem::CanRead(path);
}

bool IsDigit(wchar_t ch) {
    return ch >= L'0' && ch <= L'9';
}

// Two digits at the position, or -1.
int TwoDigits(std::wstring_view text, size_t at) {
    if (!IsDigit(text[at]) || !IsDigit(text[at + 1]))
        return -1;
    return (text[at] - L'0') * 10 + (text[at + 1] - L'0');
}

// Tokens are ASCII; any other character only has to stay unequal to all of them.
std::string NarrowToken(std::wstring_view token) {
    std::string narrow;
    for (wchar_t ch : token)
        narrow += ch >= 0 && ch < 0x80 ? static_cast<char>(ch) : '\x80';
    return narrow;
}

bool HasRecordingExtension(const std::wstring& name) {
    if (!ModelIndexBelow3())
        return name.find(L".mp4") != std::wstring::npos;
    return name.find(L".mov") != std::wstring::npos || name.find(L".mp4") != std::wstring::npos ||
           name.find(L".avi") != std::wstring::npos;
}

} // namespace

// What a card scan already knows of the folder it reads: its sorted listing with each file's read
// access, and the entry being read. A card holds thousands of files: the listing spares the file
// system every question while the names are parsed.
struct DataDirStruct::FolderListing {
    explicit FolderListing(const std::vector<FileSystem::DirectoryEntry>& listed) : entries(listed) {}

    bool OpensCurrent() const { return entries[current].readableFile; }
    bool OpensNamed(const std::wstring& name) const {
        const auto found = std::lower_bound(entries.begin(), entries.end(), name,
                                            [](const FileSystem::DirectoryEntry& entry,
                                               const std::wstring& wanted) { return entry.name < wanted; });
        return found != entries.end() && found->name == name && found->readableFile;
    }

    size_t current = 0;

  private:
    const std::vector<FileSystem::DirectoryEntry>& entries;
};

void DataDirStruct::Clear(int keepRecords) {
    if (!keepRecords)
        m_recordings.clear();
    m_configPath.clear();
}

int DataDirStruct::ScanFolders(const std::wstring& rootPath, int configOnly) {
    if (rootPath.empty())
        return 0;
    const std::wstring root = WithoutTrailingSlashes(rootPath);

    // Read access is enough for a card: a locked card or a read-only mount is viewed like any
    // other; saving the settings then fails on its own.
    std::vector<std::vector<FileSystem::DirectoryEntry>> listings(std::size(kCardFolders));
    std::vector<std::wstring> folders(std::size(kCardFolders));
    if (!configOnly) {
        for (size_t i = 0; i < std::size(kCardFolders); ++i) {
            const std::wstring name = FileSystem::FindNameNoCase(root, kCardFolders[i]);
            if (name.empty())
                continue;
            folders[i] = JoinPath(root, name);
            if (!FileSystem::ListDirectory(folders[i], listings[i], FileSystem::ListDetail::ReadAccess))
                folders[i].clear();
        }
        if (folders[0].empty() || folders[1].empty())
            return 0;
    }

    SendMessage(g_hViewWnd, WM_PLAYER_READ_ERROR, 0, 0);
    Clear(configOnly);
    LoadConfigRecords(ResolveNoCase(root, GetConfigFilePath()));
    if (configOnly)
        return 1;
    for (size_t i = 0; i < folders.size(); ++i) {
        if (folders[i].empty())
            continue;
        FolderListing listing(listings[i]);
        for (listing.current = 0; listing.current < listings[i].size(); ++listing.current) {
            const FileSystem::DirectoryEntry& entry = listings[i][listing.current];
            if (!entry.isDirectory)
                ParseName(JoinPath(folders[i], entry.name), nullptr, &listing);
        }
    }
    return 1;
}

int DataDirStruct::AddFolder(const std::wstring& folder, IListControl* list) {
    std::vector<FileSystem::DirectoryEntry> entries;
    if (folder.empty() || !FileSystem::ListDirectory(folder, entries))
        return 0;
    const std::wstring base = WithoutTrailingSlashes(folder);
    for (const FileSystem::DirectoryEntry& entry : entries)
        AddFile(JoinPath(base, entry.name), list);
    return 1;
}

int DataDirStruct::AddFile(const std::wstring& path, IListControl* list) {
    if (path.empty() || !OpensForReading(path))
        return 0;
    const std::wstring name = RecordingFileName(path);
    if (name == L"." || name == L"..")
        return 0;
    if (name == RecordingFileName(GetConfigFilePath())) {
        LoadConfigRecords(path);
        SendMessage(g_hViewWnd, WM_CONFIG_FILE_ADDED, 0, 0);
        return 0;
    }
    if (!list)
        return 0;

    stringex key;
    const int result = ParseFileName(path, 1, &key);
    if (result == 0) {
        if (HasRecordingExtension(name)) {
            const std::wstring text = LoadStringLang(g_hResourceDll, kBadNameTextId, m_languageId);
            MessageBox(g_hViewWnd, text + L" (" + path + L" )", L"", MB_OK);
        }
        return 0;
    }
    if (result == 1)
        return 0;
    if (result == 2)
        return 1;
    const RecFileInfo* record = key.empty() ? nullptr : Find(key);
    if (!record)
        return 0;
    WriteRow(*list, list->GetItemCount(), key, *record);
    return 1;
}

int DataDirStruct::ParseFileName(const std::wstring& path, int, stringex* key) {
    return ParseName(path, key, nullptr);
}

int DataDirStruct::ParseName(const std::wstring& path, stringex* key, FolderListing* listing) {
    // The name is read before the file is touched: a card holds thousands of files, and a name
    // that fails costs nothing then. Every test rejects without side effects, so the order does
    // not change the result.
    const std::wstring name = RecordingFileName(path);
    if (name.size() < kNameStampLength)
        return 0;
    size_t extension;
    if (ModelIndexBelow3()) {
        extension = name.find(L".mov");
        if (extension == std::wstring::npos || extension < kMovExtensionIndex)
            extension = name.find(L".mp4");
    } else {
        extension = name.find(L".avi");
    }
    if (extension == std::wstring::npos || extension < kNameStampLength)
        return 0;
    const int untagged = LacksFrontRearTag(name);

    const size_t prefix = name.compare(0, 2, L"R_") == 0 || name.compare(0, 2, L"T_") == 0 ? 2 : 0;
    const std::wstring_view stamp = std::wstring_view(name).substr(prefix);
    if (stamp.size() < kNameStampLength)
        return 0;
    // A hidden file (a leading dot on Linux) never gets past its first digit.
    for (size_t at : {0, 2, 5, 8, 11, 14, 17}) {
        if (TwoDigits(stamp, at) < 0)
            return 0;
    }
    const wchar_t channel = stamp[kChannelLetterIndex];
    const size_t dot = stamp.find(L'.', kNameStampLength);
    const size_t tokenEnd = dot == std::wstring_view::npos ? stamp.size() : dot;
    const std::wstring_view token =
        stamp.substr(kNameStampLength, std::min(tokenEnd - kNameStampLength, kTokenLength));
    const int type = TypeFromToken(NarrowToken(token));
    if (type == RECORD_TYPE_NONE)
        return 0;
    const int year = TwoDigits(stamp, 0) * 100 + TwoDigits(stamp, 2);
    const int month = TwoDigits(stamp, 5);
    const int day = TwoDigits(stamp, 8);
    const int hour = TwoDigits(stamp, 11);
    const int minute = TwoDigits(stamp, 14);
    const int second = TwoDigits(stamp, 17);
    if (month > 12 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return 0;

    const std::wstring folderPart = path.substr(0, path.size() - name.size());
    if (!(listing ? listing->OpensCurrent() : OpensForReading(path)))
        return 0;

    const stringex recordKey = name.substr(0, kNameStampLength) + L"_" + folderPart + L"/E";
    const bool holdsFront = untagged || channel == L'F';
    // A folder's names come in order, so a new key mostly belongs at the end.
    auto found = m_recordings.end();
    if (!m_recordings.empty() && !(std::prev(found)->first < recordKey))
        found = m_recordings.lower_bound(recordKey);
    if (found != m_recordings.end() && !(recordKey < found->first)) {
        if (holdsFront) {
            found->second->frontPath = path;
            return 1;
        }
    } else if (holdsFront) {
        auto record = std::make_unique<RecFileInfo>();
        record->frontPath = path;
        if (!untagged) {
            // The rear file differs in the camera letter alone; changing that letter rather than
            // the path's last 'F' keeps a token with a capital F intact.
            std::wstring partnerName = name;
            partnerName[prefix + kChannelLetterIndex] = L'R';
            if (listing ? listing->OpensNamed(partnerName) : OpensForReading(folderPart + partnerName))
                record->secondPath = folderPart + partnerName;
        }
        record->type = type;
        record->year = year;
        record->month = month;
        record->day = day;
        record->hour = hour;
        record->minute = minute;
        record->second = second;
        m_recordings.emplace_hint(found, recordKey, std::move(record));
        if (key)
            *key = recordKey;
    }
    return channel == L'R' ? 2 : type;
}

int DataDirStruct::TypeFromToken(const std::string& token) {
    if (ModelIndexBelow3()) {
        static const std::pair<const char*, int> prefixes[] = {
            {"norm", RECORD_TYPE_NORMAL}, {"moti", RECORD_TYPE_MOTION_EVENT},
            {"even", RECORD_TYPE_EVENT},  {"park", RECORD_TYPE_PARKING_EVENT},
            {"manu", RECORD_TYPE_MANUAL}, {"pinf", RECORD_TYPE_PARKING_NORMAL},
        };
        for (const auto& [prefix, type] : prefixes) {
            if (token.size() >= 4 && token.compare(0, 4, prefix) == 0)
                return type;
        }
        return RECORD_TYPE_NONE;
    }
    static const std::pair<const char*, int> tokens[] = {
        {"N", RECORD_TYPE_NORMAL},       {"E", RECORD_TYPE_EVENT},  {"M", RECORD_TYPE_EVENT},
        {"P", RECORD_TYPE_MOTION_EVENT}, {"S", RECORD_TYPE_MANUAL}, {"L", RECORD_TYPE_TIMELAPSE},
    };
    for (const auto& [text, type] : tokens) {
        if (token == text)
            return type;
    }
    return RECORD_TYPE_NONE;
}

void DataDirStruct::FillListByType(IListControl* list, int type, int order) {
    if (!list)
        return;
    list->DeleteAllItems();
    int row = 0;
    auto add = [&](const RecordMap::value_type& element) {
        if (type == RECORD_TYPE_ALL || element.second->type == type)
            WriteRow(*list, row++, element.first, *element.second);
    };
    if (order == 1)
        std::for_each(m_recordings.begin(), m_recordings.end(), add);
    else
        std::for_each(m_recordings.rbegin(), m_recordings.rend(), add);
}

void DataDirStruct::LoadMetadata(const stringex& key) {
    RecFileInfo* record = Find(key);
    if (!record)
        return;
    if (!ModelIndexBelow3()) {
        if (!record->frontPath.empty())
            record->metadata.ParseAvi(record->frontPath);
        return;
    }
    if (!record->frontPath.empty())
        record->metadata.ParseMovie(record->frontPath);
    // The rear file is read only when the front file gave no GPS, G-sensor or ENCY payload.
    if (!record->secondPath.empty())
        record->metadata.ParseMovie(record->secondPath);
}

int DataDirStruct::VerifyRecording(const stringex& key) {
    const RecFileInfo* record = Find(key);
    if (!record)
        return 0;
    std::wstring file = record->frontPath;
    if (file.empty() && !LacksFrontRearTag(record->frontPath))
        file = record->secondPath;
    return VerifyRecordingFile(file);
}

int DataDirStruct::GetFrameCount(const stringex& key) const {
    const RecFileInfo* record = Find(key);
    return record && record->metadata.frameCount > 0 ? record->metadata.frameCount : 0;
}

int DataDirStruct::GetRecordValue(const stringex& key) const {
    const RecFileInfo* record = Find(key);
    return record && record->recordValue > 0 ? record->recordValue : 0;
}

int DataDirStruct::CheckRecord(const stringex&) const {
    return 1;
}

const wchar_t* DataDirStruct::GetFilePath(const stringex& key, int channel) const {
    const RecFileInfo* record = Find(key);
    if (!record)
        return nullptr;
    if (channel == 1)
        return record->frontPath.empty() ? nullptr : record->frontPath.c_str();
    if (record->secondPath.empty() || LacksFrontRearTag(record->frontPath))
        return nullptr;
    return record->secondPath.c_str();
}

const GpsRecord* DataDirStruct::GetGpsRecords(const stringex& key, int* count) const {
    const RecFileInfo* record = Find(key);
    if (!record || !count || record->metadata.gpsRecords.empty())
        return nullptr;
    *count = static_cast<int>(record->metadata.gpsRecords.size());
    return record->metadata.gpsRecords.data();
}

const GsensorSample* DataDirStruct::GetGsensorSamples(const stringex& key, int* count) const {
    const RecFileInfo* record = Find(key);
    if (!record || !count || record->metadata.gsensorSamples.empty())
        return nullptr;
    *count = static_cast<int>(record->metadata.gsensorSamples.size());
    return record->metadata.gsensorSamples.data();
}

const char* DataDirStruct::GetCarNumber(const stringex& key) const {
    const RecFileInfo* record = Find(key);
    return record && !record->metadata.carNumber.empty() ? record->metadata.carNumber.c_str() : nullptr;
}

const RecFileInfo* DataDirStruct::GetRecord(const stringex& key) const {
    return Find(key);
}

int DataDirStruct::RemoveRecord(const stringex& key) {
    return m_recordings.erase(key) > 0 ? 1 : 0;
}

int DataDirStruct::ReplaceRecordFiles(std::wstring newPath, const stringex& oldKey, const stringex& newKey,
                                      IListControl* list, int row) {
    const auto old = m_recordings.find(oldKey);
    if (old == m_recordings.end() || newKey.empty())
        return 0;
    std::unique_ptr<RecFileInfo> record = std::move(old->second);
    m_recordings.erase(old);

    record->frontPath = newPath;
    record->secondPath.clear();
    // What was read from the broken files says nothing of the repaired ones.
    record->metadata = MovieSimpleParser();
    // Only the file name says which camera it holds; a folder called "_F_" stays as it is.
    const std::wstring name = RecordingFileName(newPath);
    if (name.find(L"_F_") != std::wstring::npos) {
        std::wstring partnerName = name;
        for (size_t at = partnerName.find(L"_F_"); at != std::wstring::npos;
             at = partnerName.find(L"_F_", at))
            partnerName.replace(at, 3, L"_R_");
        const std::wstring partner = newPath.substr(0, newPath.size() - name.size()) + partnerName;
        if (FileSystem::Exists(partner))
            record->secondPath = partner;
    }
    // A recording already held under the new key is the same file: the repaired record takes its
    // place rather than being dropped.
    m_recordings[newKey] = std::move(record);
    if (list && row >= 0 && row < list->GetItemCount())
        list->SetItemKey(row, newKey);
    return 1;
}

int DataDirStruct::SetConfigRecords(const std::vector<CIniFile::Record>& records) {
    m_configRecords = records;
    return 1;
}

int DataDirStruct::LoadConfigFile(const std::wstring& path) {
    if (path.empty())
        return 0;
    std::vector<CIniFile::Record> records = CIniFile::GetSection("", Utf8FromWide(path), m_languageId);
    // The section's own record comes back from any readable file; only keys make it a settings file.
    const bool hasKeys = std::any_of(records.begin(), records.end(),
                                     [](const CIniFile::Record& record) { return !record.Key.empty(); });
    if (!hasKeys) {
        CString text;
        text.Format(L"Config file is incorrect.\nCurrnet model is %s.", GetModelName(GetModelIndex()));
        MessageBox(g_hViewWnd, text.GetString(), L"", MB_OK);
        return 1;
    }
    m_configRecords = std::move(records);
    m_configPath = path;
    return 1;
}

std::wstring DataDirStruct::GetConfigValue(const std::wstring& key) const {
    return WideFromAnsi(CIniFile::GetValue(AnsiFromWide(key), "", m_configRecords));
}

bool DataDirStruct::SetConfigValue(const std::wstring& key, const std::wstring& value) {
    return CIniFile::SetValue(AnsiFromWide(key), AnsiFromWide(value), "", m_configRecords);
}

bool DataDirStruct::SaveConfig() const {
    if (m_configPath.empty())
        return false;
    return CIniFile::Save(Utf8FromWide(m_configPath), m_configRecords);
}

RecFileInfo* DataDirStruct::Find(const stringex& key) const {
    if (key.empty())
        return nullptr;
    const auto found = m_recordings.find(key);
    return found == m_recordings.end() ? nullptr : found->second.get();
}

void DataDirStruct::LoadConfigRecords(const std::wstring& path) {
    m_configRecords = CIniFile::GetSection("", Utf8FromWide(path), m_languageId);
    m_configPath = path;
}

std::wstring DataDirStruct::TypeText(int type) const {
    UINT id = 0;
    switch (type) {
    case RECORD_TYPE_NORMAL:
        id = 165;
        break;
    case RECORD_TYPE_EVENT:
        id = 166;
        break;
    case RECORD_TYPE_PARKING_EVENT:
        id = 203;
        break;
    case RECORD_TYPE_MOTION_EVENT:
        id = 209;
        break;
    case RECORD_TYPE_MANUAL:
        id = 167;
        break;
    case RECORD_TYPE_PARKING_NORMAL:
        id = 228;
        break;
    case RECORD_TYPE_TIMELAPSE:
        id = 329;
        break;
    default:
        return std::wstring();
    }
    return LoadStringLang(g_hResourceDll, id, m_languageId);
}

void DataDirStruct::WriteRow(IListControl& list, int row, const stringex& key,
                             const RecFileInfo& record) const {
    const std::wstring typeText = TypeText(record.type);
    const int item = list.InsertItem(row, typeText);
    if (item < 0)
        return;
    CString time;
    time.Format(L"%04d-%02d-%02d %02d:%02d:%02d", record.year, record.month, record.day, record.hour,
                record.minute, record.second);
    const bool hasSecond = LacksFrontRearTag(record.frontPath) ? GetFileTagCode(record.frontPath, 2) != 0
                                                               : !record.secondPath.empty();
    list.SetItemText(item, 1, typeText);
    list.SetItemKey(item, key);
    list.SetItemText(item, 2, time.GetString());
    list.SetItemText(item, 3, record.frontPath.empty() ? kSignAbsent : kSignPresent);
    list.SetItemText(item, 4, hasSecond ? kSignPresent : kSignAbsent);
}
