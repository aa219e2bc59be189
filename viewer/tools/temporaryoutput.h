#pragma once
// An output file that appears under its name only when it is complete: it is written under a
// temporary name in the target's folder and renamed onto the target at the end. Until then an
// existing target stays as it was, and an unfinished file is removed with the object.

#include "platform/base/file.h"

#include <string>

class TemporaryOutput {
  public:
    explicit TemporaryOutput(const std::wstring& target);
    ~TemporaryOutput();
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;

    // False when no file can be created in the target's folder.
    bool Open();
    CFile& File() { return m_file; }

    // Writes the data out, closes the file and gives it the target's name. Throws CFileException
    // when the data cannot be written; false when the rename fails.
    bool Commit();

  private:
    std::wstring m_target;
    std::wstring m_path; // of the unfinished file; empty once it is committed
    CFile m_file;
};
