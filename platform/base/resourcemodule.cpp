#include "platform/base/resourcemodule.h"

#include "platform/base/unicode.h"
#include "stringlib/trevores.h"

#include <atomic>
#include <dlfcn.h>
#include <filesystem>
#include <memory>
#include <utility>

namespace {

// Until the program has chosen its language, texts come from the table it would choose
// when nothing is set.
std::atomic<LANGID> userInterfaceLanguage{1033};

std::string ProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string() + "/";
}

using LibraryHandle = std::unique_ptr<void, int (*)(void*)>;

std::string ModulePath(const std::wstring& name) {
    std::string path = Utf8FromWide(name);
    if (path.find('/') != std::string::npos) {
        return path;
    }
    const std::string suffix = ".dll";
    if (path.size() >= suffix.size() &&
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0) {
        path.replace(path.size() - suffix.size(), suffix.size(), ".so");
    }
    const std::string folder = ProgramFolder();
    return folder.empty() ? std::string() : folder + path;
}

} // namespace

// Everything is copied out at load, so the library itself need not stay mapped.
struct ResourceModule {
    // Decoded once; the string loads of a window are many and small.
    std::map<std::pair<LANGID, UINT>, std::wstring> strings;
    std::optional<ModuleVersion> version;
};

HMODULE LoadLibraryExW(const wchar_t* fileName, void*, DWORD flags) {
    if (fileName == nullptr || (flags & LOAD_LIBRARY_AS_DATAFILE) == 0) {
        return nullptr;
    }
    const std::string path = ModulePath(fileName);
    if (path.empty()) {
        return nullptr;
    }
    const LibraryHandle library(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL), dlclose);
    if (!library) {
        return nullptr;
    }
    void* handle = library.get();
    const auto* table = static_cast<const TrevoResString*>(dlsym(handle, "TrevoResStrings"));
    const auto* count = static_cast<const unsigned int*>(dlsym(handle, "TrevoResStringCount"));
    if (table == nullptr || count == nullptr) {
        return nullptr;
    }
    auto module = std::make_unique<ResourceModule>();
    for (unsigned int i = 0; i < *count; ++i) {
        module->strings.emplace(std::make_pair(LANGID(table[i].language), UINT(table[i].id)),
                                WideFromUtf8(table[i].text));
    }
    if (const auto* exported = static_cast<const TrevoResVersion*>(dlsym(handle, "TrevoResVersionInfo"))) {
        ModuleVersion version;
        for (int i = 0; i < 4; ++i) {
            version.fileVersion[i] = exported->fileVersion[i];
            version.productVersion[i] = exported->productVersion[i];
        }
        version.language = exported->language;
        version.codePage = exported->codePage;
        for (unsigned int i = 0; i < exported->valueCount; ++i) {
            version.values.emplace(WideFromUtf8(exported->values[i].key),
                                   WideFromUtf8(exported->values[i].value));
        }
        module->version = std::move(version);
    }
    return module.release();
}

BOOL FreeLibrary(HMODULE module) {
    if (module == nullptr) {
        return FALSE;
    }
    delete module;
    return TRUE;
}

std::wstring LoadStringLang(HMODULE module, UINT id, LANGID language) {
    if (module == nullptr) {
        return std::wstring();
    }
    const auto found = module->strings.find(std::make_pair(language, id));
    return found == module->strings.end() ? std::wstring() : found->second;
}

std::wstring LoadStringDefault(HMODULE module, UINT id) {
    return LoadStringLang(module, id, GetUserInterfaceLanguage());
}

void SetUserInterfaceLanguage(LANGID language) {
    userInterfaceLanguage = language;
}

LANGID GetUserInterfaceLanguage() {
    return userInterfaceLanguage;
}

std::optional<ModuleVersion> GetModuleVersion(HMODULE module) {
    return module == nullptr ? std::nullopt : module->version;
}
