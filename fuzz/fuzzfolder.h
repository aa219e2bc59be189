#pragma once
// Everything a fuzz target writes lives in one temporary folder of its process: the inputs that the
// parsers can only read as files, what the parsers write, and the settings store
// (TREVO_CONFIG_HOME), so that fuzzing never touches the user's files. The folder goes when the
// process exits normally.

#include <cstddef>
#include <cstdint>
#include <string>

class FuzzFolder {
  public:
    // Made on first use, also setting TREVO_CONFIG_HOME to it.
    static FuzzFolder& Instance();

    FuzzFolder(const FuzzFolder&) = delete;
    FuzzFolder& operator=(const FuzzFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string PathOf(const std::string& name) const { return m_path + "/" + name; }
    std::wstring WidePathOf(const std::string& name) const;
    // Replaces the named file with the bytes; returns its path.
    std::string Write(const std::string& name, const uint8_t* data, size_t size) const;
    std::string Write(const std::string& name, const std::string& bytes) const;
    // Empties the folder.
    void Clear() const;

  private:
    FuzzFolder();
    ~FuzzFolder();

    std::string m_path;
};
