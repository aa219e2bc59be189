#pragma once
// UTF-8 <-> wide text for everything Linux hands us (paths, environment, program output).
// Bytes that are not valid UTF-8 are carried as U+DC80..U+DCFF and written back unchanged,
// so any file name the system gives us can be opened again.

#include <string>

std::string Utf8FromWide(const std::wstring& text);
std::wstring WideFromUtf8(const std::string& bytes);
bool IsValidUtf8(const std::string& bytes);
