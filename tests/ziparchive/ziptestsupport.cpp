#include "ziptestsupport.h"

#include "platform/base/process.h"
#include "platform/base/unicode.h"

#include <gtest/gtest.h>

int CauseOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const CZipException& error) {
        return error.m_cause;
    }
    return 0;
}

TraceCapture::TraceCapture() {
    m_previous = SetTraceSink([this](const std::wstring& line) { m_lines.push_back(Utf8FromWide(line)); });
}

TraceCapture::~TraceCapture() {
    SetTraceSink(m_previous);
}

bool TraceCapture::Contains(const std::string& text) const {
    for (const std::string& line : m_lines) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

ArchiveFixture::ArchiveFixture(const std::string& bytes, const std::string& name)
    : m_path(m_folder.Wide(name)) {
    WriteFileBytes((m_folder / name).string(), bytes);
}

ArchiveFixture::~ArchiveFixture() {
    archive.Close(CZipArchive::closeAfterException);
}

void ArchiveFixture::Open() {
    ASSERT_TRUE(archive.Open(m_path, CZipArchive::zipOpenReadOnly, 0));
}

std::string ExtractToString(CZipArchive& archive, WORD index, bool* ok) {
    CZipMemFile memory(1024);
    const bool extracted = archive.ExtractFileInto(index, memory, true, 0x10000);
    if (ok)
        *ok = extracted;
    const BYTE* data = memory.GetData();
    return data ? std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(memory.GetLength()))
                : std::string();
}

bool RunPython(const std::string& script, const std::vector<std::string>& arguments) {
    std::vector<std::wstring> command = {L"python3", L"-c", WideFromUtf8(script)};
    for (const std::string& argument : arguments)
        command.push_back(WideFromUtf8(argument));
    int exitCode = -1;
    return RunProcessAndWait(command, ProcessOutput::Hidden, exitCode) && exitCode == 0;
}
