#include "platform/base/registry.h"

#include "platform/base/trace.h"
#include "support/testfolder.h"

#include "support/scopedenvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace {

const wchar_t* const kConfKey = L"SOFTWARE\\TREVO_VIEWER\\conf";


std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Every test gets a store folder of its own and starts as a freshly started program.
class RegistryTest : public testing::Test {
  protected:
    RegistryTest() : m_configHome("TREVO_CONFIG_HOME", m_folder.Path().string()) {}
    void SetUp() override { RegReloadStore(); }
    void TearDown() override { RegReloadStore(); }

    HKEY OpenConf(REGSAM access = KEY_ALL_ACCESS) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kConfKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }

    static LSTATUS Query(HKEY key, const wchar_t* name, DWORD& type, std::vector<BYTE>& data) {
        DWORD size = 0;
        LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS)
            return status;
        data.assign(size, 0);
        status = RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
        data.resize(size);
        return status;
    }

    static LSTATUS SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
        const auto bytes = RegStringBytes(text, false);
        return RegSetValueExW(key, name, 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size()));
    }

    std::filesystem::path StoreFile() const { return m_folder / "registry.dat"; }

    TestFolder m_folder;
    ScopedEnvironment m_configHome;
};

struct TypedValue {
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<TypedValue> SampleValues() {
    return {
        // The viewer's own settings are written without a terminator: two bytes per character.
        {L"LanguageID", REG_SZ, RegStringBytes(L"0", false)},
        {L"RearCamSync", REG_SZ, RegStringBytes(L"-1.5", false)},
        {L"Title", REG_SZ, RegStringBytes(L"\uBE14\uB799\uBC15\uC2A4", true)},
        // The lock keeps inverted 8-bit text in a text value: odd sizes and high bytes must survive.
        {L"USER_PASSWORD", REG_SZ, {0x9E, 0x9D, 0x9C, 0xFF, 0x00}},
        {L"Count", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {L"Blob", REG_BINARY, {0x00, 0x01, 0x00, 0x00, 0xFF, 0x00}},
        {L"Empty", REG_BINARY, {}},
        {nullptr, REG_SZ, RegStringBytes(L"default", true)},
    };
}

// A store file as the program writes it, for building damaged ones with a correct checksum.
class StoreImage {
  public:
    StoreImage(std::uint32_t version, std::uint32_t keyCount) : m_bytes("TREVOREG") {
        Number(version);
        Number(keyCount);
    }
    StoreImage& Number(std::uint32_t number) {
        for (int shift = 0; shift < 32; shift += 8)
            m_bytes.push_back(static_cast<char>((number >> shift) & 0xFF));
        return *this;
    }
    StoreImage& Text(const std::string& text) {
        Number(static_cast<std::uint32_t>(text.size()));
        m_bytes += text;
        return *this;
    }
    StoreImage& Raw(const std::string& bytes) {
        m_bytes += bytes;
        return *this;
    }
    std::string Sealed() const {
        std::uint32_t crc = 0xFFFFFFFFu;
        for (unsigned char byte : m_bytes) {
            crc ^= byte;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
        StoreImage sealed = *this;
        sealed.Number(crc ^ 0xFFFFFFFFu);
        return sealed.m_bytes;
    }

  private:
    std::string m_bytes;
};

} // namespace

TEST_F(RegistryTest, EachTypeIsKeptByteForByteAcrossRestarts) {
    HKEY key = OpenConf();
    for (const auto& value : SampleValues()) {
        EXPECT_EQ(RegSetValueExW(key, value.name, 0, value.type, value.data.data(),
                                 static_cast<DWORD>(value.data.size())),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    for (int round = 0; round < 2; ++round) {
        key = OpenConf(KEY_READ);
        for (const auto& value : SampleValues()) {
            const std::string name = value.name ? Utf8FromWide(value.name) : "(default)";
            DWORD type = REG_NONE;
            std::vector<BYTE> data;
            ASSERT_EQ(Query(key, value.name, type, data), ERROR_SUCCESS) << name;
            EXPECT_EQ(type, value.type) << name;
            EXPECT_EQ(data, value.data) << name;
        }
        RegCloseKey(key);
        RegReloadStore();
    }
}

TEST_F(RegistryTest, QueryBufferSizeContract) {
    HKEY key = OpenConf();
    const std::vector<BYTE> value = RegStringBytes(L"Settting", true);
    ASSERT_EQ(value.size(), 18u);
    ASSERT_EQ(RegSetValueExW(key, L"Text", 0, REG_SZ, value.data(), 18), ERROR_SUCCESS);

    DWORD type = REG_NONE, size = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 18u);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(RegQueryValueExW(key, L"Text", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);

    struct Case {
        DWORD capacity;
        LSTATUS status;
    };
    for (const Case c : {Case{0, ERROR_MORE_DATA}, Case{17, ERROR_MORE_DATA}, Case{18, ERROR_SUCCESS},
                         Case{256, ERROR_SUCCESS}}) {
        std::vector<BYTE> buffer(c.capacity + 1, 0xAA);
        size = c.capacity;
        EXPECT_EQ(RegQueryValueExW(key, L"Text", nullptr, nullptr, buffer.data(), &size), c.status)
            << c.capacity;
        EXPECT_EQ(size, 18u) << c.capacity;
        if (c.status == ERROR_SUCCESS) {
            EXPECT_TRUE(std::equal(value.begin(), value.end(), buffer.begin())) << c.capacity;
            EXPECT_EQ(buffer[18], 0xAA) << c.capacity;
        } else {
            EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xAA), static_cast<long>(buffer.size()));
        }
    }

    BYTE buffer[32];
    DWORD reserved = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"Text", nullptr, nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExW(key, L"Text", &reserved, nullptr, buffer, &size), ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST_F(RegistryTest, MissingValuesKeysAndBadHandles) {
    HKEY key = OpenConf();
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"LanguageID", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueW(key, L"LanguageID"), ERROR_FILE_NOT_FOUND);

    HKEY other = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Nobody", 0, KEY_READ, &other),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kConfKey, 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);

    const HKEY bogus = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7777));
    const BYTE byte = 1;
    EXPECT_EQ(RegQueryValueExW(bogus, L"x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExW(bogus, L"x", 0, REG_BINARY, &byte, 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);

    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExW(key, L"x", 0, REG_BINARY, &byte, 1), ERROR_INVALID_HANDLE);

    // A key opened for reading refuses changes, as on the platform.
    HKEY reading = OpenConf(KEY_READ);
    EXPECT_EQ(RegSetValueExW(reading, L"x", 0, REG_BINARY, &byte, 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueW(reading, L"x"), ERROR_ACCESS_DENIED);
    RegCloseKey(reading);
    HKEY writing = OpenConf();
    EXPECT_EQ(RegSetValueExW(writing, L"x", 0, REG_BINARY, nullptr, 1), ERROR_INVALID_PARAMETER);
    RegCloseKey(writing);
}

TEST_F(RegistryTest, KeyPathsAndValueNamesIgnoreCase) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kConfKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    ASSERT_EQ(SetText(key, L"LanguageID", L"4"), ERROR_SUCCESS);
    RegCloseKey(key);

    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"software\\trevo_viewer\\CONF", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);

    // Keys above a created key exist too, and keys open relative to an open key.
    HKEY software = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &software), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExW(software, L"Trevo_Viewer\\Conf", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_EQ(Query(key, L"LANGUAGEid", type, data), ERROR_SUCCESS);
    EXPECT_EQ(RegStringFromBytes(data.data(), static_cast<DWORD>(data.size())), L"4");
    RegCloseKey(key);
    RegCloseKey(software);
}

TEST_F(RegistryTest, DeletedValuesStayDeleted) {
    HKEY key = OpenConf();
    ASSERT_EQ(SetText(key, L"UnitOfSpeed", L"1"), ERROR_SUCCESS);
    ASSERT_EQ(SetText(key, L"NumberOfChannel", L"2"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key, L"unitofspeed"), ERROR_SUCCESS);
    RegCloseKey(key);
    RegReloadStore();

    key = OpenConf();
    DWORD type = 0;
    std::vector<BYTE> data;
    EXPECT_EQ(Query(key, L"UnitOfSpeed", type, data), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Query(key, L"NumberOfChannel", type, data), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryTest, StoreFileLocation) {
    TestFolder home, xdg;
    ScopedEnvironment homeVariable("HOME", home.Path().string());
    struct Case {
        std::optional<std::string> trevoConfigHome;
        std::optional<std::string> xdgConfigHome;
        std::filesystem::path file;
    };
    const Case cases[] = {
        {m_folder.Path().string(), xdg.Path().string(), m_folder / "registry.dat"},
        {std::nullopt, xdg.Path().string(), xdg / "TREVO_VIEWER" / "registry.dat"},
        {std::string(), xdg.Path().string(), xdg / "TREVO_VIEWER" / "registry.dat"},
        {std::nullopt, std::nullopt, home / ".config" / "TREVO_VIEWER" / "registry.dat"},
    };
    for (const auto& c : cases) {
        ScopedEnvironment trevo("TREVO_CONFIG_HOME", c.trevoConfigHome);
        ScopedEnvironment config("XDG_CONFIG_HOME", c.xdgConfigHome);
        RegReloadStore();
        EXPECT_EQ(RegStoreFilePath(), WideFromUtf8(c.file.string()));
        EXPECT_EQ(SetText(HKEY_CURRENT_USER, L"Probe", L"1"), ERROR_SUCCESS);
        EXPECT_TRUE(std::filesystem::is_regular_file(c.file)) << c.file;
        std::filesystem::remove(c.file);
    }
}

TEST_F(RegistryTest, DamagedStoreStartsEmpty) {
    HKEY key = OpenConf();
    for (const auto& value : SampleValues())
        RegSetValueExW(key, value.name, 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
    const std::string good = ReadFile(StoreFile());
    ASSERT_GT(good.size(), 100u);

    std::string flippedMiddle = good;
    flippedMiddle[good.size() / 2] ^= 0x10;
    std::string flippedLast = good;
    flippedLast.back() ^= 0x01;
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty file", ""},
        {"text", "LanguageID=0\n"},
        {"cut in half", good.substr(0, good.size() / 2)},
        {"cut before checksum", good.substr(0, good.size() - 4)},
        {"byte flipped", flippedMiddle},
        {"checksum flipped", flippedLast},
        {"other version", StoreImage(2, 0).Sealed()},
        {"endless key count", StoreImage(1, 0xFFFFFFFFu).Sealed()},
        {"endless key path", StoreImage(1, 1).Number(0xFFFFFFF0u).Sealed()},
        {"endless value",
         StoreImage(1, 1).Text("A").Number(1).Text("v").Number(REG_BINARY).Number(1000).Raw("xy").Sealed()},
        {"bytes after the keys", StoreImage(1, 1).Text("A").Number(0).Raw("?").Sealed()},
    };
    for (const auto& c : cases) {
        WriteFile(StoreFile(), c.bytes);
        RegReloadStore();
        std::vector<std::wstring> traced;
        const TraceSink previous = SetTraceSink([&](const std::wstring& line) { traced.push_back(line); });
        key = OpenConf();
        SetTraceSink(previous);
        DWORD type = 0;
        std::vector<BYTE> data;
        EXPECT_EQ(Query(key, L"LanguageID", type, data), ERROR_FILE_NOT_FOUND) << c.what;
        ASSERT_EQ(traced.size(), 1u) << c.what;
        EXPECT_NE(traced[0].find(L"damaged"), std::wstring::npos) << c.what;

        // The next change writes a sound file again.
        EXPECT_EQ(SetText(key, L"LanguageID", L"2"), ERROR_SUCCESS) << c.what;
        RegCloseKey(key);
        RegReloadStore();
        key = OpenConf();
        EXPECT_EQ(Query(key, L"LanguageID", type, data), ERROR_SUCCESS) << c.what;
        RegCloseKey(key);
    }
}

TEST_F(RegistryTest, ReadsTheFileFormatItWrites) {
    const std::string utf16Three("3\0", 2);
    WriteFile(StoreFile(), StoreImage(1, 1)
                               .Text("SOFTWARE\\TREVO_VIEWER\\conf")
                               .Number(1)
                               .Text("LanguageID")
                               .Number(REG_SZ)
                               .Text(utf16Three)
                               .Sealed());
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"software", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    key = OpenConf(KEY_READ);
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_EQ(Query(key, L"LanguageID", type, data), ERROR_SUCCESS);
    EXPECT_EQ(std::string(data.begin(), data.end()), utf16Three);
    RegCloseKey(key);
}

TEST_F(RegistryTest, SavesLeaveOnlyTheStoreFile) {
    HKEY key = OpenConf();
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(SetText(key, (L"Value" + std::to_wstring(i)).c_str(), std::to_wstring(i)), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueW(key, L"Value3"), ERROR_SUCCESS);
    RegCloseKey(key);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"registry.dat"});
    // The lock's values live here: only the user may read them.
    struct stat info {};
    ASSERT_EQ(::stat(StoreFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(RegistryTest, UnsavableChangeIsRefusedAndForgotten) {
    WriteFile(m_folder / "blocker", "a file where the store folder should be");
    ScopedEnvironment blocked("TREVO_CONFIG_HOME", (m_folder / "blocker" / "sub").string());
    RegReloadStore();
    const TraceSink previous = SetTraceSink([](const std::wstring&) {});
    HKEY key = nullptr;
    EXPECT_NE(
        RegCreateKeyExW(HKEY_CURRENT_USER, kConfKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    EXPECT_NE(SetText(HKEY_CURRENT_USER, L"LanguageID", L"1"), ERROR_SUCCESS);
    SetTraceSink(previous);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(HKEY_CURRENT_USER, L"LanguageID", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kConfKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, ConcurrentWritersAllPersist) {
    constexpr int kThreads = 8, kEach = 10;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            HKEY key = OpenConf();
            for (int i = 0; i < kEach; ++i) {
                const std::wstring name = L"T" + std::to_wstring(t) + L"_" + std::to_wstring(i);
                EXPECT_EQ(SetText(key, name.c_str(), name), ERROR_SUCCESS);
            }
            RegCloseKey(key);
        });
    }
    for (auto& thread : threads)
        thread.join();
    RegReloadStore();
    HKEY key = OpenConf(KEY_READ);
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kEach; ++i) {
            const std::wstring name = L"T" + std::to_wstring(t) + L"_" + std::to_wstring(i);
            DWORD type = 0;
            std::vector<BYTE> data;
            ASSERT_EQ(Query(key, name.c_str(), type, data), ERROR_SUCCESS) << Utf8FromWide(name);
            EXPECT_EQ(RegStringFromBytes(data.data(), static_cast<DWORD>(data.size())), name);
        }
    }
    RegCloseKey(key);
}

TEST(RegistryText, Utf16Bytes) {
    struct Case {
        std::wstring text;
        bool terminator;
        std::vector<BYTE> bytes;
    };
    const Case cases[] = {
        {L"", false, {}},
        {L"", true, {0, 0}},
        {L"0", false, {0x30, 0}},
        {L"-1", true, {0x2D, 0, 0x31, 0, 0, 0}},
        {L"A\uAC00", false, {0x41, 0, 0x00, 0xAC}},
        {L"\U0001F600", false, {0x3D, 0xD8, 0x00, 0xDE}},
        // A byte that was not valid UTF-8 in a file name keeps its stand-in unit.
        {L"\xDC80", false, {0x80, 0xDC}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RegStringBytes(c.text, c.terminator), c.bytes) << Utf8FromWide(c.text);
        EXPECT_EQ(RegStringFromBytes(c.bytes.data(), static_cast<DWORD>(c.bytes.size())), c.text)
            << Utf8FromWide(c.text);
    }
    const BYTE stopped[] = {0x41, 0, 0, 0, 0x42, 0, 0x43};
    EXPECT_EQ(RegStringFromBytes(stopped, sizeof stopped), L"A");
    EXPECT_EQ(RegStringFromBytes(stopped + 4, 3), L"B");
    EXPECT_EQ(RegStringFromBytes(nullptr, 4), L"");
}
