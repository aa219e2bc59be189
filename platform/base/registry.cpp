#include "platform/base/registry.h"

#include "platform/base/filesystem.h"
#include "platform/base/trace.h"
#include "platform/base/unicode.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// File layout, all numbers little-endian 32-bit:
//   "TREVOREG", version, key count,
//   per key: path length, path (UTF-8), value count,
//     per value: name length, name (UTF-8), type, data length, data;
//   CRC-32 of everything before it.
// Names are UTF-8 of the wide text, which keeps even undecodable bytes (unicode.h).
constexpr char kMagic[8] = {'T', 'R', 'E', 'V', 'O', 'R', 'E', 'G'};
constexpr std::uint32_t kVersion = 1;
constexpr const char* kStoreFileName = "registry.dat";
constexpr ULONG_PTR kCurrentUser = 0x80000001u;
constexpr ULONG_PTR kFirstHandle = 0x100;

struct Value {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct Key {
    std::wstring path;
    // By folded name.
    std::map<std::wstring, Value> values;
};

// By folded path; the root of the current user is the empty path and always exists.
using Keys = std::map<std::wstring, Key>;

struct OpenKey {
    std::wstring path;
    REGSAM access = 0;
};

std::uint32_t Crc32(const std::string& bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t crc = i;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
            entries[i] = crc;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes)
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PutNumber(std::string& out, std::uint32_t number) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((number >> shift) & 0xFF));
}

void PutBytes(std::string& out, const std::string& bytes) {
    PutNumber(out, static_cast<std::uint32_t>(bytes.size()));
    out += bytes;
}

std::string Serialize(const Keys& keys) {
    std::string out(kMagic, sizeof kMagic);
    PutNumber(out, kVersion);
    PutNumber(out, static_cast<std::uint32_t>(keys.size()));
    for (const auto& [folded, key] : keys) {
        PutBytes(out, Utf8FromWide(key.path));
        PutNumber(out, static_cast<std::uint32_t>(key.values.size()));
        for (const auto& [foldedName, value] : key.values) {
            PutBytes(out, Utf8FromWide(value.name));
            PutNumber(out, value.type);
            PutBytes(out, std::string(value.data.begin(), value.data.end()));
        }
    }
    PutNumber(out, Crc32(out));
    return out;
}

// Reads the file's fields with every length checked against what is left, so that no damage can
// make it read past the end or allocate more than the file holds.
class Reader {
  public:
    Reader(const std::string& bytes, size_t position) : m_bytes(bytes), m_position(position) {}
    bool Number(std::uint32_t& number) {
        if (m_bytes.size() - m_position < 4)
            return false;
        number = 0;
        for (int i = 0; i < 4; ++i)
            number |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_bytes[m_position + i]))
                      << (8 * i);
        m_position += 4;
        return true;
    }
    bool Bytes(std::string& bytes) {
        std::uint32_t length = 0;
        if (!Number(length) || m_bytes.size() - m_position < length)
            return false;
        bytes = m_bytes.substr(m_position, length);
        m_position += length;
        return true;
    }
    size_t Left() const { return m_bytes.size() - m_position; }

  private:
    const std::string& m_bytes;
    size_t m_position;
};

std::vector<std::wstring> SplitKeyPath(const std::wstring& path) {
    std::vector<std::wstring> parts;
    std::wstring part;
    for (wchar_t ch : path) {
        if (ch == L'\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part.push_back(ch);
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

std::wstring JoinKeyPath(const std::wstring& parent, LPCWSTR subKey) {
    std::wstring path = parent;
    for (const auto& part : SplitKeyPath(subKey ? subKey : L"")) {
        if (!path.empty())
            path += L"\\";
        path += part;
    }
    return path;
}

// Adds the key and every key above it that is missing; returns whether the key itself was new.
bool AddKeyChain(Keys& keys, const std::wstring& path) {
    std::wstring prefix;
    bool added = false;
    for (const auto& part : SplitKeyPath(path)) {
        prefix = prefix.empty() ? part : prefix + L"\\" + part;
        added = keys.emplace(FileSystem::FoldNameCase(prefix), Key{prefix, {}}).second;
    }
    return added;
}

std::optional<Keys> Parse(const std::string& bytes, std::wstring& problem) {
    if (bytes.size() < sizeof kMagic + 12 || bytes.compare(0, sizeof kMagic, kMagic, sizeof kMagic) != 0) {
        problem = L"not a registry file";
        return std::nullopt;
    }
    const std::string body = bytes.substr(0, bytes.size() - 4);
    std::uint32_t storedCrc = 0;
    Reader(bytes, bytes.size() - 4).Number(storedCrc);
    if (Crc32(body) != storedCrc) {
        problem = L"checksum mismatch";
        return std::nullopt;
    }
    Reader fields(body, sizeof kMagic);
    std::uint32_t version = 0, keyCount = 0;
    fields.Number(version);
    fields.Number(keyCount);
    if (version != kVersion) {
        problem = L"unknown version " + std::to_wstring(version);
        return std::nullopt;
    }
    Keys keys;
    for (std::uint32_t k = 0; k < keyCount; ++k) {
        std::string path;
        std::uint32_t valueCount = 0;
        if (!fields.Bytes(path) || !fields.Number(valueCount)) {
            problem = L"truncated key";
            return std::nullopt;
        }
        const std::wstring widePath = JoinKeyPath(std::wstring(), WideFromUtf8(path).c_str());
        AddKeyChain(keys, widePath);
        Key& key = keys[FileSystem::FoldNameCase(widePath)];
        for (std::uint32_t v = 0; v < valueCount; ++v) {
            std::string name, data;
            std::uint32_t type = 0;
            if (!fields.Bytes(name) || !fields.Number(type) || !fields.Bytes(data)) {
                problem = L"truncated value";
                return std::nullopt;
            }
            Value value{WideFromUtf8(name), type, std::vector<BYTE>(data.begin(), data.end())};
            key.values[FileSystem::FoldNameCase(value.name)] = std::move(value);
        }
    }
    if (fields.Left() != 0) {
        problem = L"unexpected bytes after the last key";
        return std::nullopt;
    }
    return keys;
}

LSTATUS StatusFromErrno(int error) {
    return error == EACCES || error == EPERM || error == EROFS ? ERROR_ACCESS_DENIED : ERROR_WRITE_FAULT;
}

class Store {
  public:
    static Store& Instance() {
        static Store store;
        return store;
    }

    std::mutex mutex;

    void Reload() {
        m_loaded = false;
        m_keys.clear();
    }

    Keys& Loaded() {
        if (!m_loaded) {
            m_path = StorePath();
            m_keys = Load(m_path);
            m_loaded = true;
        }
        return m_keys;
    }

    // Writes the whole store next to its file and moves it into place, so that a crash leaves
    // either the old file or the new one.
    LSTATUS Save() {
        const std::string path = Utf8FromWide(m_path);
        const std::wstring folder = m_path.substr(0, m_path.find_last_of(L'/'));
        if (!FileSystem::CreateDirectories(folder))
            return Failed(L"cannot create " + folder);
        std::string temporary = path + ".XXXXXX";
        const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
        if (fd < 0)
            return Failed(L"cannot create a file in " + folder);
        const std::string bytes = Serialize(m_keys);
        size_t done = 0;
        bool written = true;
        while (written && done < bytes.size()) {
            const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (put < 0 && errno == EINTR)
                continue;
            written = put > 0;
            if (put == 0)
                errno = ENOSPC;
            if (written)
                done += static_cast<size_t>(put);
        }
        written = written && ::fsync(fd) == 0;
        const int writeError = errno;
        written = (::close(fd) == 0 || errno == EINTR) && written;
        if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
            const int error = written ? errno : writeError;
            ::unlink(temporary.c_str());
            errno = error;
            return Failed(L"cannot write " + m_path);
        }
        const int folderFd = ::open(Utf8FromWide(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd >= 0) {
            ::fsync(folderFd);
            ::close(folderFd);
        }
        return ERROR_SUCCESS;
    }

    std::optional<OpenKey> Resolve(HKEY handle) const {
        const auto value = reinterpret_cast<ULONG_PTR>(handle);
        if (value == kCurrentUser)
            return OpenKey{std::wstring(), KEY_ALL_ACCESS};
        const auto found = m_handles.find(value);
        if (found == m_handles.end())
            return std::nullopt;
        return found->second;
    }

    HKEY NewHandle(const std::wstring& path, REGSAM access) {
        const ULONG_PTR value = m_nextHandle;
        m_nextHandle += 4;
        m_handles[value] = OpenKey{path, access};
        return reinterpret_cast<HKEY>(value);
    }

    bool CloseHandle(HKEY handle) { return m_handles.erase(reinterpret_cast<ULONG_PTR>(handle)) != 0; }

    static std::wstring StorePath() {
        const char* own = std::getenv("TREVO_CONFIG_HOME");
        if (own && *own)
            return WideFromUtf8(own) + L"/" + WideFromUtf8(kStoreFileName);
        const char* config = std::getenv("XDG_CONFIG_HOME");
        const std::wstring configHome =
            config && *config == '/' ? WideFromUtf8(config) : FileSystem::HomeFolder() + L"/.config";
        return configHome + L"/TREVO_VIEWER/" + WideFromUtf8(kStoreFileName);
    }

  private:
    Store() = default;

    static Keys Load(const std::wstring& path) {
        const std::string bytesPath = Utf8FromWide(path);
        const int fd = ::open(bytesPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errno != ENOENT)
                TraceLine(L"Registry: cannot read " + path + L"; starting empty");
            return Keys();
        }
        std::string bytes;
        char buffer[65536];
        bool readable = true;
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                readable = got == 0;
                break;
            }
            bytes.append(buffer, static_cast<size_t>(got));
        }
        ::close(fd);
        std::wstring problem = L"cannot be read";
        std::optional<Keys> keys;
        if (readable)
            keys = Parse(bytes, problem);
        if (!keys) {
            TraceLine(L"Registry: " + path + L" is damaged (" + problem + L"); starting empty");
            return Keys();
        }
        return *keys;
    }

    LSTATUS Failed(const std::wstring& what) {
        const int error = errno;
        TraceLine(L"Registry: " + what + L": " + WideFromUtf8(std::strerror(error)));
        return StatusFromErrno(error);
    }

    bool m_loaded = false;
    std::wstring m_path;
    Keys m_keys;
    std::map<ULONG_PTR, OpenKey> m_handles;
    ULONG_PTR m_nextHandle = kFirstHandle;
};

// Applies a change and saves it; a change that cannot be saved is taken back, so that what the
// program reads always matches the file.
template <typename Change> LSTATUS ChangeAndSave(Store& store, Change change) {
    Keys& keys = store.Loaded();
    Keys before = keys;
    if (!change(keys))
        return ERROR_SUCCESS;
    const LSTATUS status = store.Save();
    if (status != ERROR_SUCCESS)
        keys = std::move(before);
    return status;
}

} // namespace

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM access, const void*,
                        PHKEY result, LPDWORD disposition) {
    if (!result || !subKey)
        return ERROR_INVALID_PARAMETER;
    Store& store = Store::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    const auto parent = store.Resolve(key);
    if (!parent)
        return ERROR_INVALID_HANDLE;
    const std::wstring path = JoinKeyPath(parent->path, subKey);
    bool created = false;
    const LSTATUS status = ChangeAndSave(store, [&](Keys& keys) {
        created = !path.empty() && AddKeyChain(keys, path);
        return created;
    });
    if (status != ERROR_SUCCESS)
        return status;
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = store.NewHandle(path, access);
    return ERROR_SUCCESS;
}

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM access, PHKEY result) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    Store& store = Store::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    const auto parent = store.Resolve(key);
    if (!parent)
        return ERROR_INVALID_HANDLE;
    const std::wstring path = JoinKeyPath(parent->path, subKey);
    const Keys& keys = store.Loaded();
    if (!path.empty() && keys.count(FileSystem::FoldNameCase(path)) == 0)
        return ERROR_FILE_NOT_FOUND;
    *result = store.NewHandle(path, access);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    Store& store = Store::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    if (reinterpret_cast<ULONG_PTR>(key) == kCurrentUser)
        return ERROR_SUCCESS;
    return store.CloseHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize) {
    if (reserved || (data && !dataSize))
        return ERROR_INVALID_PARAMETER;
    Store& store = Store::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    const auto open = store.Resolve(key);
    if (!open)
        return ERROR_INVALID_HANDLE;
    if (!(open->access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    const Keys& keys = store.Loaded();
    const auto foundKey = keys.find(FileSystem::FoldNameCase(open->path));
    if (foundKey == keys.end())
        return ERROR_FILE_NOT_FOUND;
    const auto& values = foundKey->second.values;
    const auto found = values.find(FileSystem::FoldNameCase(valueName ? valueName : L""));
    if (found == values.end())
        return ERROR_FILE_NOT_FOUND;
    const Value& value = found->second;
    const auto size = static_cast<DWORD>(value.data.size());
    if (type)
        *type = value.type;
    if (!data) {
        if (dataSize)
            *dataSize = size;
        return ERROR_SUCCESS;
    }
    if (*dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (size != 0)
        std::memcpy(data, value.data.data(), size);
    *dataSize = size;
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
    if (!data && dataSize != 0)
        return ERROR_INVALID_PARAMETER;
    Store& store = Store::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    const auto open = store.Resolve(key);
    if (!open)
        return ERROR_INVALID_HANDLE;
    if (!(open->access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    const std::wstring name = valueName ? valueName : L"";
    std::vector<BYTE> bytes(data, data + dataSize);
    return ChangeAndSave(store, [&](Keys& keys) {
        AddKeyChain(keys, open->path);
        auto& values = keys[FileSystem::FoldNameCase(open->path)].values;
        const auto [entry, added] = values.emplace(FileSystem::FoldNameCase(name), Value{name, type, bytes});
        if (added)
            return true;
        if (entry->second.type == type && entry->second.data == bytes)
            return false;
        entry->second.type = type;
        entry->second.data = std::move(bytes);
        return true;
    });
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR valueName) {
    Store& store = Store::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    const auto open = store.Resolve(key);
    if (!open)
        return ERROR_INVALID_HANDLE;
    if (!(open->access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    const std::wstring folded = FileSystem::FoldNameCase(valueName ? valueName : L"");
    bool found = false;
    const LSTATUS status = ChangeAndSave(store, [&](Keys& keys) {
        const auto foundKey = keys.find(FileSystem::FoldNameCase(open->path));
        found = foundKey != keys.end() && foundKey->second.values.erase(folded) != 0;
        return found;
    });
    if (status != ERROR_SUCCESS)
        return status;
    return found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

std::vector<BYTE> RegStringBytes(const std::wstring& text, bool withTerminator) {
    std::vector<BYTE> bytes;
    bytes.reserve(text.size() * 2 + 2);
    const auto putUnit = [&](std::uint32_t unit) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>(unit >> 8));
    };
    for (wchar_t ch : text) {
        const auto codePoint = static_cast<std::uint32_t>(ch);
        if (codePoint >= 0x10000 && codePoint <= 0x10FFFF) {
            putUnit(0xD800 + ((codePoint - 0x10000) >> 10));
            putUnit(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            putUnit(codePoint > 0x10FFFF ? 0xFFFD : codePoint);
        }
    }
    if (withTerminator)
        putUnit(0);
    return bytes;
}

std::wstring RegStringFromBytes(const BYTE* data, DWORD size) {
    std::wstring text;
    if (!data)
        return text;
    const DWORD units = size / 2;
    const auto unitAt = [&](DWORD i) {
        return static_cast<std::uint32_t>(data[2 * i] | (data[2 * i + 1] << 8));
    };
    for (DWORD i = 0; i < units; ++i) {
        const std::uint32_t unit = unitAt(i);
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units && unitAt(i + 1) >= 0xDC00 &&
            unitAt(i + 1) <= 0xDFFF) {
            text.push_back(
                static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00)));
            ++i;
        } else {
            text.push_back(static_cast<wchar_t>(unit));
        }
    }
    return text;
}

void RegReloadStore() {
    Store& store = Store::Instance();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.Reload();
}

std::wstring RegStoreFilePath() {
    return Store::StorePath();
}
