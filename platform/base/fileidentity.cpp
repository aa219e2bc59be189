#include "platform/base/fileidentity.h"

#include "platform/base/unicode.h"

#include <sys/stat.h>

namespace FileSystem {

bool IsSameFile(const std::wstring& first, const std::wstring& second) {
    struct stat a {};
    struct stat b {};
    if (::stat(Utf8FromWide(first).c_str(), &a) != 0 || ::stat(Utf8FromWide(second).c_str(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace FileSystem
