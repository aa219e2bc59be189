#pragma once
// The catalogue of the recordings of one card or folder: a record per recording under a key made
// from its file name, the rows of the recordings list, and the card's settings records. The main
// view owns one; it runs on the user-interface thread only.

#include "platform/base/listcontrol.h"
#include "platform/base/wintypes.h"
#include "viewer/catalogue/inifile.h"
#include "viewer/catalogue/recfileinfo.h"
#include "viewer/catalogue/sharedhelpers.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class DataDirStruct {
  public:
    // Keys are the first 22 characters of the file name (prefix included), "_", the folder path
    // with its trailing '/', and "/E": their order is the order of the recordings in time.
    using RecordMap = std::map<stringex, std::unique_ptr<RecFileInfo>>;

    DataDirStruct() = default;
    virtual ~DataDirStruct() = default;
    DataDirStruct(const DataDirStruct&) = delete;
    DataDirStruct& operator=(const DataDirStruct&) = delete;

    // The language of the list texts and of the settings loader's questions.
    void SetLanguageId(LANGID languageId) { m_languageId = languageId; }
    // Forgets the settings path, and unless keepRecords every recording.
    void Clear(int keepRecords);

    // Reads a recorder card: its settings file, then the recordings of "Drive", "DriveEvent",
    // "Parking" and "ParkingEvent". 0, changing nothing, when the root is not a card (it needs
    // readable "Drive" and "DriveEvent"). With configOnly the recordings stay and only the
    // settings are read again.
    int ScanFolders(const std::wstring& root, int configOnly);
    // Adds every file of a plain folder through AddFile; 0 when the folder cannot be read.
    int AddFolder(const std::wstring& folder, IListControl* list);
    // Adds one file: a settings file "config.txt" becomes the settings, a recording gets a row.
    // 1 when a recording (or a rear file) was taken.
    int AddFile(const std::wstring& path, IListControl* list);
    // 0 rejected, 1 an existing record's front file replaced, 2 a rear camera's file, else the
    // recording's type code. Creates or updates the recording's record; `key` gets the key of a
    // record it created.
    int ParseFileName(const std::wstring& path, int unused, stringex* key = nullptr);
    // The type code of a name's kind token under the current model; 0 for none.
    static int TypeFromToken(const std::string& token);

    // Rebuilds the rows: every recording of the type (9 for all), oldest first for order 1,
    // newest first otherwise. Each row's key is its recording's key.
    void FillListByType(IListControl* list, int type, int order);

    // Unknown keys do nothing, give 0 or null.
    void LoadMetadata(const stringex& key);
    // 1 signature intact, 0 not (or unknown key), -1 the file cannot be opened.
    int VerifyRecording(const stringex& key);
    int GetFrameCount(const stringex& key) const;
    // The record's value when above 0; 0 for an unknown key.
    int GetRecordValue(const stringex& key) const;
    // Every held or unknown key passes: the recorder's files carry nothing more to check a record by.
    int CheckRecord(const stringex& key) const;
    // Channel 1: the front (or only) file; any other: the rear file of a pair. Null when absent.
    const wchar_t* GetFilePath(const stringex& key, int channel) const;
    const GpsRecord* GetGpsRecords(const stringex& key, int* count) const;
    const GsensorSample* GetGsensorSamples(const stringex& key, int* count) const;
    const char* GetCarNumber(const stringex& key) const;
    const RecFileInfo* GetRecord(const stringex& key) const;
    size_t GetRecordCount() const { return m_recordings.size(); }

    // 1 when the key was held and is gone; the caller removes the row.
    int RemoveRecord(const stringex& key);
    // After a repair: the old key's record takes the new front file and its "_R_" partner when
    // that exists, forgets what it read from the old files, moves to the new key (replacing whatever was held there) and the row follows.
    // 0, changing nothing, when the old key is not held.
    int ReplaceRecordFiles(std::wstring newPath, const stringex& oldKey, const stringex& newKey,
                           IListControl* list, int row);

    // The card's settings file, its records and single keys (8-bit in the file, wide here).
    int SetConfigRecords(const std::vector<CIniFile::Record>& records);
    // Keeps the file's records and path when it holds at least one key; else tells the user the
    // file does not suit the current model and keeps what was held. 1 either way: the user has
    // been told, and the held settings are still valid. 0 only without a path.
    int LoadConfigFile(const std::wstring& path);
    std::wstring GetConfigValue(const std::wstring& key) const;
    bool SetConfigValue(const std::wstring& key, const std::wstring& value);
    // False, writing nothing, without a settings path.
    bool SaveConfig() const;
    void SetConfigPath(const std::wstring& path) { m_configPath = path; }
    // Null when no path is held.
    const wchar_t* GetConfigPath() const { return m_configPath.empty() ? nullptr : m_configPath.c_str(); }

  private:
    struct FolderListing;
    int ParseName(const std::wstring& path, stringex* key, FolderListing* listing);
    RecFileInfo* Find(const stringex& key) const;
    void LoadConfigRecords(const std::wstring& path);
    std::wstring TypeText(int type) const;
    void WriteRow(IListControl& list, int row, const stringex& key, const RecFileInfo& record) const;

    RecordMap m_recordings;
    std::wstring m_configPath;
    LANGID m_languageId = 0;
    std::vector<CIniFile::Record> m_configRecords;
};
