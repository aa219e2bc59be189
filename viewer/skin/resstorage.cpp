#include "viewer/skin/resstorage.h"

#include "viewer/app/globals.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/skin/languagetable.h"

#include "platform/base/codepage.h"
#include "platform/base/drivetable.h"
#include "platform/base/file.h"
#include "platform/base/filesystem.h"
#include "platform/base/registry.h"
#include "platform/base/resourcemodule.h"
#include "platform/base/trace.h"
#include "platform/base/unicode.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/bmpbatchdecoder.h"
#include "platform/ui/gdiobj.h"

#include <tinyxml.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <type_traits>
#include <utility>

namespace {

constexpr DWORD kExtractBufferSize = 65536;
constexpr size_t kImageNameUnits = 255;
constexpr size_t kEntryNameUnits = 1023;

template <class Record, size_t Count>
using ImageSlots = std::array<std::pair<const char*, HBITMAP Record::*>, Count>;

// The image children of each item type, in record order.
template <class Record> struct RecordTraits;

template <> struct RecordTraits<sButtonInfo> {
    static constexpr ImageSlots<sButtonInfo, BUTTON_IMAGE_COUNT> slots{{
        {"normal", &sButtonInfo::normal},
        {"hover", &sButtonInfo::hover},
        {"press", &sButtonInfo::press},
        {"disable", &sButtonInfo::disable},
        {"mask", &sButtonInfo::mask},
    }};
};

template <> struct RecordTraits<sSliderInfo> {
    static constexpr ImageSlots<sSliderInfo, SLIDER_IMAGE_COUNT> slots{{
        {"thumb_normal", &sSliderInfo::thumb_normal},
        {"thumb_hover", &sSliderInfo::thumb_hover},
        {"thumb_press", &sSliderInfo::thumb_press},
        {"thumb_disable", &sSliderInfo::thumb_disable},
        {"blank", &sSliderInfo::blank},
    }};
};

template <> struct RecordTraits<sStaticInfo> {
    static constexpr ImageSlots<sStaticInfo, STATIC_IMAGE_COUNT> slots{{
        {"start", &sStaticInfo::start},
        {"middle", &sStaticInfo::middle},
        {"end", &sStaticInfo::end},
    }};
};

template <> struct RecordTraits<sListInfo> {
    static constexpr ImageSlots<sListInfo, LIST_IMAGE_COUNT> slots{{
        {"col_hdr_start", &sListInfo::col_hdr_start},
        {"col_hdr_span", &sListInfo::col_hdr_span},
        {"col_hdr_end", &sListInfo::col_hdr_end},
        {"hor_scrollbar_left_arrow", &sListInfo::hor_scrollbar_left_arrow},
        {"hor_scrollbar_right_arrow", &sListInfo::hor_scrollbar_right_arrow},
        {"hor_scrollbar_thumb", &sListInfo::hor_scrollbar_thumb},
        {"hor_scrollbar_span", &sListInfo::hor_scrollbar_span},
        {"ver_scrollbar_top", &sListInfo::ver_scrollbar_top},
        {"ver_scrollbar_bottom", &sListInfo::ver_scrollbar_bottom},
        {"ver_scrollbar_up_arrow", &sListInfo::ver_scrollbar_up_arrow},
        {"ver_scrollbar_down_arrow", &sListInfo::ver_scrollbar_down_arrow},
        {"ver_scrollbar_span", &sListInfo::ver_scrollbar_span},
        {"ver_scrollbar_thumb", &sListInfo::ver_scrollbar_thumb},
    }};
};

template <> struct RecordTraits<sDummyInfo> {
    static constexpr ImageSlots<sDummyInfo, DUMMY_IMAGE_COUNT> slots{{
        {"bg", &sDummyInfo::bg},
    }};
};

template <> struct RecordTraits<sComboBoxInfo> {
    static constexpr ImageSlots<sComboBoxInfo, COMBOBOX_IMAGE_COUNT> slots{{
        {"combo_left", &sComboBoxInfo::combo_left},
        {"combo_center", &sComboBoxInfo::combo_center},
        {"combo_right", &sComboBoxInfo::combo_right},
        {"list_top", &sComboBoxInfo::list_top},
        {"list_left", &sComboBoxInfo::list_left},
        {"list_right", &sComboBoxInfo::list_right},
        {"list_bottom", &sComboBoxInfo::list_bottom},
    }};
};

template <class Record> void FreeImages(Record& record) {
    for (const auto& slot : RecordTraits<Record>::slots) {
        if (record.*slot.second != nullptr) {
            ::DeleteObject(record.*slot.second);
            record.*slot.second = nullptr;
        }
    }
}

template <class Record> void FreeAll(std::map<eComponentID, Record>& records) {
    for (auto& entry : records) {
        FreeImages(entry.second);
    }
    records.clear();
}

template <class Record> ComponentImages CopyImages(const Record& record) {
    ComponentImages images;
    int index = 0;
    for (const auto& slot : RecordTraits<Record>::slots) {
        images.images[index++] = record.*slot.second;
    }
    return images;
}

template <class Record> CRect RectOf(const Record& record, const CRect& origin) {
    return CRect(record.x - origin.left, record.y - origin.top, record.x + record.width - origin.left,
                 record.y + record.height - origin.top);
}

// The text of a child element; null when the child or its text is missing.
const char* ChildText(const TiXmlElement* parent, const char* name) {
    const TiXmlElement* child = parent != nullptr ? parent->FirstChildElement(name) : nullptr;
    return child != nullptr ? child->GetText() : nullptr;
}

bool ReadDecimal(const TiXmlElement* parent, const char* name, int& value) {
    const char* text = ChildText(parent, name);
    return text != nullptr && std::sscanf(text, "%d", &value) == 1;
}

bool ReadHex(const TiXmlElement* parent, const char* name, unsigned& value) {
    const char* text = ChildText(parent, name);
    return text != nullptr && std::sscanf(text, "%x", &value) == 1;
}

COLORREF ReadColor(const TiXmlElement* colors, const char* name) {
    const TiXmlElement* color = colors != nullptr ? colors->FirstChildElement(name) : nullptr;
    BYTE channel[3] = {0, 0, 0};
    if (color != nullptr) {
        const char* attributes[3] = {"r", "g", "b"};
        for (int index = 0; index < 3; ++index) {
            if (const char* value = color->Attribute(attributes[index])) {
                channel[index] = static_cast<BYTE>(std::atoi(value) & 0xFF);
            }
        }
    }
    return RGB(channel[0], channel[1], channel[2]);
}

void Trace(const std::wstring& text) {
    TraceLine(L"ResStorage: " + text);
}

} // namespace

ResStorage::ResStorage() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\TREVO_VIEWER\\conf", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, &disposition) != ERROR_SUCCESS) {
        m_languageIndex = LANGUAGE_INDEX_NONE;
        return;
    }
    // The settings window writes the value without a terminator, so the text ends at the size
    // the query answers.
    std::optional<std::wstring> value;
    BYTE buffer[256] = {};
    DWORD size = sizeof(buffer);
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key, L"LanguageID", nullptr, &type, buffer, &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        value = RegStringFromBytes(buffer, size);
    }
    RegCloseKey(key);
    const LanguageChoice choice = ChooseLanguage(value);
    m_languageIndex = choice.index;
    m_languageId = choice.languageId;
}

ResStorage::~ResStorage() {
    try {
        m_archive.Close();
    } catch (...) {
        // Closing a read-only archive writes nothing; whatever failed is of no use to anyone now.
        Trace(L"closing the archive failed");
    }
    FreeAll(m_buttons);
    FreeAll(m_sliders);
    FreeAll(m_statics);
    FreeAll(m_lists);
    FreeAll(m_dummies);
    FreeAll(m_comboBoxes);
}

int ResStorage::LoadSkin(const std::wstring& path, ISkinLoadProgress* view) {
    // The pictures are converted on worker threads while the archive is read; all of them are
    // converted when the load returns, however it ends.
    m_bitmapDecoder = std::make_unique<BmpBatchDecoder>();
    struct FinishPictures {
        std::unique_ptr<BmpBatchDecoder>& decoder;
        ~FinishPictures() { decoder.reset(); }
    } finishPictures{m_bitmapDecoder};
    // A missing or damaged archive must not end the program: the caller tells the user instead.
    try {
        return LoadSkinFromArchive(path, view);
    } catch (const CZipException& exception) {
        Trace(L"damaged archive: " + WideFromUtf8(exception.what()));
    } catch (const CFileException&) {
        Trace(L"the archive cannot be opened: " + path);
    }
    // An entry left open by the failure would refuse every later extraction.
    if (!m_archive.IsClosed()) {
        m_archive.CloseFile(nullptr, true);
    }
    return 0;
}

int ResStorage::LoadSkinFromArchive(const std::wstring& path, ISkinLoadProgress* view) {
    const std::wstring archivePath = TranslatePath(path);
    if (archivePath.empty()) {
        return 0;
    }
    const bool opened = m_archive.Open(archivePath, CZipArchive::zipOpenReadOnly, 0);
    m_archive.SetPassword(L"", CZipArchive::kDefaultCodePage);
    if (!opened) {
        return 0;
    }
    m_archivePath = path;
    if (!LoadSettings() || !LoadComponents(view) || !LoadDevices() || !LoadDefaultConfig()) {
        return 0;
    }
    return 1;
}

bool ResStorage::ExtractToMemory(const std::wstring& entryName, CZipMemFile& memory) {
    const WORD index = m_archive.FindFile(entryName, CZipArchive::caseDefault, false);
    if (index == CZipArchive::kNotFound) {
        Trace(L"missing entry " + entryName);
        return false;
    }
    // The entry's size, as far as the archive can fill it: a damaged size fails at extraction
    // below, and must not have reserved gigabytes by then.
    memory.SetLength(m_archive.GetExtractableSize(index));
    memory.Seek(0, CZipAbstractFile::begin);
    if (!m_archive.ExtractFileInto(index, memory, true, kExtractBufferSize)) {
        Trace(L"cannot extract " + entryName);
        return false;
    }
    return true;
}

bool ResStorage::ExtractToMemory(const std::wstring& entryName, std::string& text) {
    CZipMemFile memory(1024);
    if (!ExtractToMemory(entryName, memory)) {
        return false;
    }
    // A string keeps the text terminated for the parser.
    const BYTE* data = memory.GetData();
    text.assign(data != nullptr ? reinterpret_cast<const char*>(data) : "",
                data != nullptr ? static_cast<size_t>(memory.GetLength()) : 0);
    return true;
}

bool ResStorage::LoadSettings() {
    std::string text;
    if (!ExtractToMemory(L"cfg\\cfg.xml", text)) {
        return false;
    }
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    const TiXmlElement* root = document.FirstChildElement("cfg");
    if (root == nullptr) {
        // Nothing applies: the skin is then looked up in the empty folder and not found.
        return true;
    }
    if (m_languageIndex == LANGUAGE_INDEX_NONE) {
        const char* language = ChildText(root, "language");
        m_languageIndex = language != nullptr ? std::atoi(language) : 1;
    }
    const LanguageTableRow* row = FindLanguageRow(m_languageIndex);
    if (row == nullptr) {
        Trace(L"language index out of range");
        return false;
    }
    m_languageId = row->languageId;
    const char* folder = ChildText(root, row->skinElement);
    std::wstring folderText = folder != nullptr ? WideFromAnsi(folder) : std::wstring();
    if (folderText.size() > kSkinFolderUnits - 1) {
        folderText.resize(kSkinFolderUnits - 1);
    }
    m_skinFolder = folderText;
    if (const char* passwordCheck = ChildText(root, "passwordCheck")) {
        m_passwordCheck = std::atoi(passwordCheck);
    }
    // The password lock is not offered in this edition, whatever the archive says.
    m_passwordCheck = 0;
    return true;
}

namespace {

// Reads the geometry and images of one item; false when the item lacks its id or geometry.
template <class Record> bool ReadItem(const TiXmlElement* item, Record& record, ResStorage& store) {
    unsigned id = 0;
    const TiXmlElement* location = item->FirstChildElement("location");
    const TiXmlElement* size = item->FirstChildElement("size");
    if (!ReadHex(item, "id", id) || !ReadDecimal(location, "x", record.x) ||
        !ReadDecimal(location, "y", record.y) || !ReadDecimal(size, "width", record.width) ||
        !ReadDecimal(size, "height", record.height)) {
        return false;
    }
    record.id = static_cast<eComponentID>(id);
    const TiXmlElement* image = item->FirstChildElement("image");
    for (const auto& slot : RecordTraits<Record>::slots) {
        const char* name = ChildText(image, slot.first);
        record.*slot.second = name != nullptr ? store.LoadArchiveBitmap(name) : nullptr;
    }
    return true;
}

template <class Record>
void StoreItem(const TiXmlElement* item, std::map<eComponentID, Record>& records, ResStorage& store) {
    Record record;
    if (!ReadItem(item, record, store)) {
        Trace(L"skipping an item without id, location or size");
        return;
    }
    if constexpr (std::is_same_v<Record, sComboBoxInfo>) {
        const TiXmlElement* colors = item->FirstChildElement("color");
        record.highlight_bg = ReadColor(colors, "highlight_bg");
        record.highlight_fg = ReadColor(colors, "highlight_fg");
        record.normal_bg = ReadColor(colors, "normal_bg");
        record.normal_fg = ReadColor(colors, "normal_fg");
    }
    const eComponentID id = record.id;
    if (!records.emplace(id, record).second) {
        // The first record of an id wins.
        FreeImages(record);
    }
}

} // namespace

bool ResStorage::LoadComponents(ISkinLoadProgress* view) {
    std::string text;
    if (!ExtractToMemory(m_skinFolder + L"\\skin.xml", text)) {
        return false;
    }
    const std::wstring caption = LoadStringLang(g_hResourceDll, kProgressCaptionString, m_languageId);
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    const TiXmlElement* root = document.FirstChildElement("component");
    if (root == nullptr) {
        return true;
    }
    int count = 0;
    for (const TiXmlElement* item = root->FirstChildElement("item"); item != nullptr;
         item = item->NextSiblingElement()) {
        ++count;
        const char* type = ChildText(item, "type");
        const std::string typeText = type != nullptr ? type : "";
        void (*store)(ResStorage&, const TiXmlElement*) = nullptr;
        if (typeText == "slider") {
            store = [](ResStorage& self, const TiXmlElement* element) {
                StoreItem(element, self.m_sliders, self);
            };
        } else if (typeText == "static") {
            store = [](ResStorage& self, const TiXmlElement* element) {
                StoreItem(element, self.m_statics, self);
            };
        } else if (typeText == "button") {
            store = [](ResStorage& self, const TiXmlElement* element) {
                StoreItem(element, self.m_buttons, self);
            };
        } else if (typeText == "dummy") {
            store = [](ResStorage& self, const TiXmlElement* element) {
                StoreItem(element, self.m_dummies, self);
            };
        } else if (typeText == "list") {
            store = [](ResStorage& self, const TiXmlElement* element) {
                StoreItem(element, self.m_lists, self);
            };
        } else if (typeText == "combobox") {
            store = [](ResStorage& self, const TiXmlElement* element) {
                StoreItem(element, self.m_comboBoxes, self);
            };
        }
        if (store == nullptr) {
            continue;
        }
        if (view != nullptr) {
            const int percent = count * 100 / kExpectedItemCount - 2;
            view->SetLoadingMessage(caption + L" " + std::to_wstring(percent) + L"%");
        }
        store(*this, item);
    }
    return true;
}

bool ResStorage::LoadDevices() {
    std::string text;
    if (!ExtractToMemory(L"cfg\\pidinfo.xml", text)) {
        return false;
    }
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    const TiXmlElement* root = document.FirstChildElement("pidinfo");
    if (root == nullptr) {
        return true;
    }
    for (const TiXmlElement* model = root->FirstChildElement("model"); model != nullptr;
         model = model->NextSiblingElement()) {
        const char* name = ChildText(model, "name");
        unsigned vid = 0;
        unsigned pid = 0;
        const char* vidText = ChildText(model, "vid");
        const char* pidText = ChildText(model, "pid");
        if (name == nullptr || vidText == nullptr || pidText == nullptr ||
            std::sscanf(vidText, "%X", &vid) != 1 || std::sscanf(pidText, "%X", &pid) != 1) {
            Trace(L"skipping a model without name, vid or pid");
            continue;
        }
        sDeviceInfo device;
        const std::wstring wideName = WideFromAnsi(name);
        // The last unit stays zero, so the name is always terminated.
        const size_t units = std::min(wideName.size(), DEVICE_NAME_UNITS - 1);
        for (size_t index = 0; index < units; ++index) {
            device.name[index] = wideName[index];
        }
        device.vid = static_cast<int>(vid);
        device.pid = static_cast<int>(pid);
        m_devices.push_back(device);
    }
    return true;
}

bool ResStorage::LoadDefaultConfig() {
    const std::wstring entryName =
        ModelIndexBelow3() ? L"default\\default_r4.ini" : L"default\\def_config.txt";
    const WORD index = m_archive.FindFile(entryName, CZipArchive::caseDefault, false);
    if (index == CZipArchive::kNotFound) {
        Trace(L"missing entry " + entryName);
        return false;
    }
    // The name must not end in "config.txt": the checksum question is for a card's own file.
    const std::wstring temporary = FileSystem::CreateTemporaryFile(L"", L"v");
    if (temporary.empty()) {
        return false;
    }
    bool extracted = false;
    try {
        extracted = m_archive.ExtractFile(index, temporary, false, nullptr, 0, kExtractBufferSize);
    } catch (...) {
        FileSystem::RemoveFile(temporary);
        throw;
    }
    if (extracted) {
        m_defaultConfig = CIniFile::GetSection("", Utf8FromWide(temporary), m_languageId);
    }
    FileSystem::RemoveFile(temporary);
    if (!extracted) {
        return false;
    }
    if (GetModelIndex() == 1) {
        std::vector<CIniFile::Record> kept;
        for (CIniFile::Record& record : m_defaultConfig) {
            if (!IsResolutionOrFrameKey(record.Key)) {
                kept.push_back(std::move(record));
            }
        }
        m_defaultConfig = std::move(kept);
    }
    return true;
}

bool ResStorage::IsResolutionOrFrameKey(const std::string& key) {
    static const char* const keys[] = {
        "Driving ResolutionF", "Driving ResolutionR", "Parking ResolutionF", "Parking ResolutionR",
        "Driving Mode FrameF", "Driving Mode FrameR", "Parking Mode FrameF", "Parking Mode FrameR",
    };
    for (const char* candidate : keys) {
        if (key == candidate) {
            return true;
        }
    }
    return false;
}

HBITMAP ResStorage::LoadArchiveBitmap(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    std::wstring wideName = WideFromAnsi(name);
    if (wideName.size() > kImageNameUnits) {
        wideName.resize(kImageNameUnits);
    }
    std::wstring entryName = m_skinFolder + L"\\" + wideName;
    if (entryName.size() > kEntryNameUnits) {
        entryName.resize(kEntryNameUnits);
    }
    // A damaged image costs only its own picture; the load goes on.
    try {
        CZipMemFile memory(1024);
        if (!ExtractToMemory(entryName, memory)) {
            return nullptr;
        }
        const size_t size = static_cast<size_t>(memory.GetLength());
        HBITMAP bitmap = nullptr;
        if (m_bitmapDecoder != nullptr) {
            bitmap = m_bitmapDecoder->Decode(std::shared_ptr<const unsigned char>(memory.Detach(), std::free),
                                             size);
        } else {
            bitmap = LoadBitmapFromBmpData(memory.GetData(), size);
        }
        if (bitmap == nullptr) {
            Trace(L"not a usable BMP: " + entryName);
        }
        return bitmap;
    } catch (const CZipException& exception) {
        Trace(L"cannot extract " + entryName + L": " + WideFromUtf8(exception.what()));
        m_archive.CloseFile(nullptr, true);
    }
    return nullptr;
}

template <class Record>
const Record* ResStorage::Find(const std::map<eComponentID, Record>& map, eComponentID id) {
    const auto found = map.find(id);
    return found != map.end() ? &found->second : nullptr;
}

CRect ResStorage::GetComponentRect(eComponentID id, CRect origin) const {
    if (const auto* record = Find(m_buttons, id)) {
        return RectOf(*record, origin);
    }
    if (const auto* record = Find(m_sliders, id)) {
        return RectOf(*record, origin);
    }
    if (const auto* record = Find(m_statics, id)) {
        return RectOf(*record, origin);
    }
    if (const auto* record = Find(m_lists, id)) {
        return RectOf(*record, origin);
    }
    if (const auto* record = Find(m_dummies, id)) {
        return RectOf(*record, origin);
    }
    if (const auto* record = Find(m_comboBoxes, id)) {
        return RectOf(*record, origin);
    }
    return CRect(0, 0, 0, 0);
}

ComponentImages ResStorage::GetComponentInfo(eComponentID id) const {
    // Statics come before sliders here, unlike the rectangle query.
    if (const auto* record = Find(m_buttons, id)) {
        return CopyImages(*record);
    }
    if (const auto* record = Find(m_statics, id)) {
        return CopyImages(*record);
    }
    if (const auto* record = Find(m_sliders, id)) {
        return CopyImages(*record);
    }
    if (const auto* record = Find(m_lists, id)) {
        return CopyImages(*record);
    }
    if (const auto* record = Find(m_dummies, id)) {
        return CopyImages(*record);
    }
    if (const auto* record = Find(m_comboBoxes, id)) {
        return CopyImages(*record);
    }
    return ComponentImages();
}

COLORREF ResStorage::GetComboHighlightColor(eComponentID id, int which) const {
    const sComboBoxInfo* record = Find(m_comboBoxes, id);
    if (record == nullptr) {
        return 0;
    }
    return which == 1 ? record->highlight_bg : record->highlight_fg;
}

COLORREF ResStorage::GetComboNormalColor(eComponentID id, int which) const {
    const sComboBoxInfo* record = Find(m_comboBoxes, id);
    if (record == nullptr) {
        return 0;
    }
    return which == 1 ? record->normal_bg : record->normal_fg;
}

const sDeviceInfo* ResStorage::FindDeviceByVidPid(int vid, int pid) const {
    for (const sDeviceInfo& device : m_devices) {
        if (device.vid == vid && device.pid == pid) {
            return &device;
        }
    }
    return nullptr;
}
