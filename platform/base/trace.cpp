#include "platform/base/trace.h"

#include "platform/base/unicode.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex& TraceMutex() {
    static std::mutex mutex;
    return mutex;
}

TraceSink& InstalledSink() {
    static TraceSink sink;
    return sink;
}

} // namespace

void TraceLine(const std::wstring& line) {
    std::lock_guard<std::mutex> lock(TraceMutex());
    if (InstalledSink()) {
        InstalledSink()(line);
        return;
    }
    static const bool enabled = std::getenv("TREVO_TRACE") != nullptr;
    if (!enabled)
        return;
    std::string bytes = Utf8FromWide(line);
    if (bytes.empty() || bytes.back() != '\n')
        bytes.push_back('\n');
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

void TraceLine(const std::string& utf8Line) { TraceLine(WideFromUtf8(utf8Line)); }

TraceSink SetTraceSink(TraceSink sink) {
    std::lock_guard<std::mutex> lock(TraceMutex());
    TraceSink previous = std::move(InstalledSink());
    InstalledSink() = std::move(sink);
    return previous;
}
