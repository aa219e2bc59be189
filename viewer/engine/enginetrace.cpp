#include "viewer/engine/enginetrace.h"

#include "platform/base/trace.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

std::string FormatLine(const char* format, va_list arguments) {
    char buffer[2048];
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    std::string line(buffer);
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line;
}

} // namespace

void EngineTrace(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::string line = FormatLine(format, arguments);
    va_end(arguments);
    TraceLine(line);
}

void EngineError(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::string line = FormatLine(format, arguments);
    va_end(arguments);
    std::fprintf(stderr, "%s\n", line.c_str());
    TraceLine(line);
}
