#pragma once
// Stand-ins for what the catalogue talks to: the recordings list, the main view's window and the
// user answering message boxes; and the recorder model and string library it reads.

#include "platform/base/listcontrol.h"
#include "platform/base/resourcemodule.h"
#include "platform/base/unicode.h"
#include "platform/base/windowsystem.h"
#include "viewer/app/globals.h"
#include "viewer/catalogue/sharedhelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

class FakeListControl : public IListControl {
  public:
    struct Row {
        std::map<int, std::wstring> texts;
        std::wstring key;
    };

    BOOL DeleteAllItems() override {
        rows.clear();
        return TRUE;
    }
    int GetItemCount() const override { return static_cast<int>(rows.size()); }
    int InsertItem(int item, const std::wstring& text) override {
        if (item < 0 || item > GetItemCount())
            return -1;
        Row row;
        row.texts[0] = text;
        rows.insert(rows.begin() + item, row);
        return item;
    }
    BOOL SetItemText(int item, int subItem, const std::wstring& text) override {
        if (item < 0 || item >= GetItemCount())
            return FALSE;
        rows[static_cast<size_t>(item)].texts[subItem] = text;
        return TRUE;
    }
    BOOL SetItemKey(int item, const std::wstring& key) override {
        if (item < 0 || item >= GetItemCount())
            return FALSE;
        rows[static_cast<size_t>(item)].key = key;
        return TRUE;
    }
    std::wstring GetItemKey(int item) const override {
        return item < 0 || item >= GetItemCount() ? std::wstring() : rows[static_cast<size_t>(item)].key;
    }

    std::wstring Text(size_t row, int column) const {
        const auto found = rows.at(row).texts.find(column);
        return found == rows.at(row).texts.end() ? std::wstring() : found->second;
    }

    std::vector<Row> rows;
};

// Installs itself as the window system and gives the main view a window, both undone at the end.
class FakeWindowSystem : public IWindowSystem {
  public:
    struct Event {
        UINT message = 0; // 0 for a message box
        WPARAM wParam = 0;
        std::wstring text;
        UINT type = 0;
    };

    FakeWindowSystem() : m_before(SetWindowSystem(this)), m_viewBefore(g_hViewWnd) {
        g_hViewWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234));
    }
    ~FakeWindowSystem() override {
        g_hViewWnd = m_viewBefore;
        SetWindowSystem(m_before);
    }
    FakeWindowSystem(const FakeWindowSystem&) = delete;
    FakeWindowSystem& operator=(const FakeWindowSystem&) = delete;

    LRESULT Send(HWND, UINT message, WPARAM wParam, LPARAM) override {
        events.push_back({message, wParam, L"", 0});
        if (onSend)
            onSend(message);
        return 0;
    }
    bool Post(HWND, UINT message, WPARAM wParam, LPARAM) override {
        events.push_back({message, wParam, L"", 0});
        return true;
    }
    int ShowMessageBox(HWND, const std::wstring& text, const std::wstring&, UINT type) override {
        events.push_back({0, 0, text, type});
        return answer;
    }

    std::vector<std::wstring> MessageBoxes() const {
        std::vector<std::wstring> texts;
        for (const Event& event : events) {
            if (event.message == 0)
                texts.push_back(event.text);
        }
        return texts;
    }
    std::vector<UINT> Messages() const {
        std::vector<UINT> messages;
        for (const Event& event : events) {
            if (event.message != 0)
                messages.push_back(event.message);
        }
        return messages;
    }

    std::vector<Event> events;
    int answer = IDOK;
    std::function<void(UINT)> onSend;

  private:
    IWindowSystem* m_before;
    HWND m_viewBefore;
};

class ModelIndexScope {
  public:
    explicit ModelIndexScope(int model) : m_before(GetModelIndex()) { SetModelIndex(model); }
    ~ModelIndexScope() { SetModelIndex(m_before); }
    ModelIndexScope(const ModelIndexScope&) = delete;
    ModelIndexScope& operator=(const ModelIndexScope&) = delete;

  private:
    int m_before;
};

// The program's own string library, loaded once for the whole test program.
inline void LoadStringLibrary() {
    if (!g_hResourceDll)
        g_hResourceDll =
            LoadLibraryExW(WideFromUtf8(TREVO_RES_PATH).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(g_hResourceDll, nullptr);
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline std::wstring Wide(const std::filesystem::path& path) {
    return WideFromUtf8(path.string());
}
