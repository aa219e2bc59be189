#pragma once
// The skin store: reads the skin archive ResStorage.dat once (settings, the chosen language's
// component records with all their images, the recorder-model table and the default recorder
// settings) and answers the windows' lookups afterwards. It is the one owner of every skin image:
// the handles it hands out stay valid until it is destroyed and are never deleted by anyone else.

#include "viewer/catalogue/inifile.h"
#include "viewer/skin/componentinfo.h"
#include "viewer/ziparchive/ziparchive.h"
#include "viewer/ziparchive/zipmemfile.h"

#include "platform/base/wintypes.h"
#include "platform/ui/bmpbatchdecoder.h"
#include "platform/ui/rect.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// Receives the progress texts of a load; the main view shows them in its loading box.
class ISkinLoadProgress {
  public:
    virtual void SetLoadingMessage(const std::wstring& text) = 0;

  protected:
    ~ISkinLoadProgress() = default;
};

class ResStorage {
  public:
    // String of the progress caption in the string library.
    static constexpr UINT kProgressCaptionString = 169;
    // The number of items a skin is expected to hold; the progress percentage counts against it.
    static constexpr int kExpectedItemCount = 400;
    static constexpr size_t kSkinFolderUnits = 256;

    // Chooses the language from the registry value "LanguageID".
    ResStorage();
    virtual ~ResStorage();
    ResStorage(const ResStorage&) = delete;
    ResStorage& operator=(const ResStorage&) = delete;

    // 1 when everything was loaded, 0 on any failure, a missing or damaged archive included (the
    // caller then tells the user the resource file is damaged). The path is in the program's form:
    // ".\ResStorage.dat" is the archive beside the program. The progress receiver may be null.
    int LoadSkin(const std::wstring& path, ISkinLoadProgress* view);

    LANGID GetLanguageId() const { return m_languageId; }
    int GetPasswordCheck() const { return m_passwordCheck; }
    // -1 until a row of the language table was chosen.
    int GetLanguageIndex() const { return m_languageIndex; }
    // The archive folder of the current language's skin.
    std::wstring GetSkinFolder() const { return m_skinFolder; }

    // The component's rectangle with the origin's left and top as (0, 0); empty for an unknown id.
    CRect GetComponentRect(eComponentID id, CRect origin) const;
    // The component's images in record order; all null for an unknown id.
    ComponentImages GetComponentInfo(eComponentID id) const;
    // Background for which == 1, text colour for any other value; 0 when the id is no combo box.
    COLORREF GetComboHighlightColor(eComponentID id, int which) const;
    COLORREF GetComboNormalColor(eComponentID id, int which) const;
    // The first model with both ids, in table order; valid as long as the store.
    const sDeviceInfo* FindDeviceByVidPid(int vid, int pid) const;
    const std::vector<sDeviceInfo>& GetDevices() const { return m_devices; }
    // A copy: changing it leaves the store's defaults as they are.
    std::vector<CIniFile::Record> GetDefaultConfig() const { return m_defaultConfig; }

    // A BMP file of the skin folder as a bitmap owned by the caller; null when the entry is absent
    // or no sound bottom-up 16-, 24- or 32-bit BMP.
    HBITMAP LoadArchiveBitmap(const char* name);

    // The eight keys that the model-1 recorder's defaults leave out.
    static bool IsResolutionOrFrameKey(const std::string& key);

  private:
    int LoadSkinFromArchive(const std::wstring& path, ISkinLoadProgress* view);
    bool ExtractToMemory(const std::wstring& entryName, CZipMemFile& memory);
    bool ExtractToMemory(const std::wstring& entryName, std::string& text);
    bool LoadSettings();
    bool LoadComponents(ISkinLoadProgress* view);
    bool LoadDevices();
    bool LoadDefaultConfig();

    template <class Record>
    static const Record* Find(const std::map<eComponentID, Record>& map, eComponentID id);

    std::wstring m_archivePath;
    std::wstring m_skinFolder;
    int m_languageIndex = 0;
    LANGID m_languageId = 1033;
    CZipArchive m_archive;
    // Set while a skin loads.
    std::unique_ptr<BmpBatchDecoder> m_bitmapDecoder;
    std::map<eComponentID, sButtonInfo> m_buttons;
    std::map<eComponentID, sSliderInfo> m_sliders;
    std::map<eComponentID, sStaticInfo> m_statics;
    std::map<eComponentID, sListInfo> m_lists;
    std::map<eComponentID, sDummyInfo> m_dummies;
    std::map<eComponentID, sComboBoxInfo> m_comboBoxes;
    std::vector<CIniFile::Record> m_defaultConfig;
    std::vector<sDeviceInfo> m_devices;
    int m_passwordCheck = 0;
};
