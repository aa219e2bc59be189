#pragma once
// Diagnostics: the program's debugger output. Lines go to stderr when TREVO_TRACE is set;
// tests may install a sink of their own to read them. Safe from any thread.

#include <functional>
#include <string>

void TraceLine(const std::wstring& line);
void TraceLine(const std::string& utf8Line);

using TraceSink = std::function<void(const std::wstring&)>;
// Returns the sink that was installed before; an empty sink restores the default.
TraceSink SetTraceSink(TraceSink sink);
