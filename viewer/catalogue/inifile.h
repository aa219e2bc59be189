#pragma once
// The recorder's settings file config.txt and the other ini-style files the viewer reads: key lines
// "Key=Value", optional "[Section]" headers and '#'/';' comments, all 8-bit text kept byte for byte.
// Models 0-2 write the file with CR LF line ends; the AVI model (3) writes LF line ends and a
// checksum byte as the file's last byte. Paths are the file system's bytes (UTF-8).

#include "platform/base/wintypes.h"

#include <cstdio>
#include <string>
#include <vector>

class CIniFile {
  public:
    // One line of the file that carries a section or a key.
    struct Record {
        std::string Comments; // the comment lines before this one, each ending in '\n'
        char Commented = ' '; // '#' or ';' for a commented-out key or section line
        std::string Section;
        std::string Key;
        std::string Value;
    };

    // The file's records of that section, behind a record that stands for the section itself;
    // empty when the file cannot be read. The loader follows the model (checksum for model 3).
    static std::vector<Record> GetSection(const std::string& section, const std::string& path,
                                          LANGID language);

    // Both leave the list as it was when the file cannot be read.
    static bool Load(const std::string& path, std::vector<Record>& content, LANGID language);
    // Asks the user first when a config.txt fails its checksum; anything but Yes reads nothing.
    static bool LoadWithChecksum(const std::string& path, std::vector<Record>& content, LANGID language);
    // One line of at most size - 1 bytes; only tab and 0x20-0x7F are kept, the rest of the line is
    // consumed. -1 when the file ended before a byte was kept.
    static int ReadLine(std::FILE* file, char* buffer, int size);

    // The writer follows the model, as GetSection's reader does.
    static bool Save(const std::string& path, const std::vector<Record>& content);
    // CR LF line ends; section headers are not written.
    static bool SavePlain(const std::string& path, const std::vector<Record>& content);
    // LF line ends with section headers, then line-feed padding up to the old length, then the
    // checksum byte as the last byte. The text itself is never overwritten.
    static bool SaveWithChecksum(const std::string& path, const std::vector<Record>& content);

    static std::string GetValue(const std::string& key, const std::string& section,
                                const std::vector<Record>& content);
    // Changes the key, inserts it after the section's first record, or appends section and key.
    static bool SetValue(const std::string& key, const std::string& value, const std::string& section,
                         std::vector<Record>& content);

    enum TrimSide { TrimBoth = 0, TrimLeft = 1, TrimRight = 2 };
    static void Trim(std::string& text, const std::string& characters, int side = TrimBoth);
};

// The checksum is the sum of all bytes but the last, modulo 256, stored as the last byte. With
// replace the last byte is overwritten (an empty file gets the byte appended), else appended.
bool AppendFileChecksum(const std::string& path, bool replace);
// False for an empty or unreadable file.
bool VerifyFileChecksum(const std::string& path);
