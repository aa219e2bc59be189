#pragma once
// Shared pieces of the zip library's tests: an archive written into a fresh folder, the cause of
// whatever a call throws, and the trace lines a call writes.

#include "zipbuilder.h"

#include "viewer/ziparchive/ziparchive.h"

#include "platform/base/trace.h"
#include "support/testfolder.h"

#include <functional>
#include <string>
#include <vector>

// The cause of the CZipException the call throws; 0 when it returns normally. Any other exception
// fails the test.
int CauseOf(const std::function<void()>& call);

// Every trace line written while the object lives.
class TraceCapture {
  public:
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;
    bool Contains(const std::string& text) const;
    const std::vector<std::string>& Lines() const { return m_lines; }

  private:
    std::vector<std::string> m_lines;
    TraceSink m_previous;
};

// An archive file in a folder of its own, opened read-only as the skin store opens it.
class ArchiveFixture {
  public:
    explicit ArchiveFixture(const std::string& bytes, const std::string& name = "test.zip");
    ~ArchiveFixture();
    ArchiveFixture(const ArchiveFixture&) = delete;
    ArchiveFixture& operator=(const ArchiveFixture&) = delete;

    // Opens with mode 3; exceptions pass through.
    void Open();
    std::wstring Path() const { return m_path; }
    TestFolder& Folder() { return m_folder; }

    CZipArchive archive;

  private:
    TestFolder m_folder;
    std::wstring m_path;
};

// The entry's bytes as ExtractFileInto gives them; the result of the call in ok.
std::string ExtractToString(CZipArchive& archive, WORD index, bool* ok = nullptr);
// Runs python3 with the script and arguments; true when it ends with 0.
bool RunPython(const std::string& script, const std::vector<std::string>& arguments = {});
