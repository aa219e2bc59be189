#pragma once
// Whether two paths name one file, however they are spelled: relative or absolute, through
// symbolic or hard links, or through a second mount of the same folder. Tools that write one file
// from another ask this before they create their output, so they never empty their own input.

#include <string>

namespace FileSystem {

// True only when both paths exist and lead to the same device and inode (links are followed).
// A path that does not exist names no file, so it is never the same as another.
bool IsSameFile(const std::wstring& first, const std::wstring& second);

} // namespace FileSystem
