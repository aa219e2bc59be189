#include "viewer/catalogue/inifile.h"

#include "platform/base/resourcemodule.h"
#include "platform/base/windowsystem.h"
#include "viewer/app/globals.h"
#include "viewer/catalogue/sharedhelpers.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <memory>

namespace {

constexpr UINT kChecksumQuestionId = 242;
constexpr int kChecksumLineSize = 200;
const char* const kLineBlanks = " \t\n\r";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

FilePointer OpenFile(const std::string& path, const char* mode) {
    return FilePointer(std::fopen(path.c_str(), mode));
}

// Closes and tells whether everything written reached the file.
bool CloseWritten(FilePointer file) {
    const bool flushed = std::fflush(file.get()) == 0 && !std::ferror(file.get());
    return std::fclose(file.release()) == 0 && flushed;
}

bool ReadAll(const std::string& path, std::string& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

BYTE ByteSum(const char* bytes, size_t count) {
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += static_cast<BYTE>(bytes[i]);
    return static_cast<BYTE>(sum);
}

bool EndsWithConfigTxt(const std::string& path) {
    static const std::string name = "config.txt";
    if (path.size() < name.size())
        return false;
    // Cards copied from a recorder may spell it in capitals; the file is the same.
    return std::equal(name.begin(), name.end(), path.end() - static_cast<std::ptrdiff_t>(name.size()),
                      [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b); });
}

// The line grammar both loaders share.
class LineReader {
  public:
    explicit LineReader(std::vector<CIniFile::Record>& content) : m_content(content) {}

    void Read(std::string line) {
        CIniFile::Trim(line, kLineBlanks);
        if (line.empty())
            return;
        CIniFile::Record record;
        if (line[0] == '#' || line[0] == ';') {
            if (line.find_first_of("[=") == std::string::npos) {
                m_comments += line + "\n";
                return;
            }
            record.Commented = line[0];
            line.erase(0, 1);
            CIniFile::Trim(line, kLineBlanks);
        }
        // Only a line that begins with '[' is a header: a value holding brackets (a network name,
        // a car number) must not swallow the keys after it into a section of its own.
        if (!line.empty() && line[0] == '[') {
            line.erase(0, 1);
            const size_t close = line.find(']');
            if (close != std::string::npos)
                line.erase(close);
            record.Comments = TakeComments();
            record.Section = line;
            m_section = line;
        }
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            record.Comments += TakeComments();
            record.Section = m_section;
            record.Key = line.substr(0, equals);
            record.Value = line.substr(equals + 1);
            CIniFile::Trim(record.Key, kLineBlanks);
            CIniFile::Trim(record.Value, kLineBlanks);
        }
        if (m_comments.empty())
            m_content.push_back(std::move(record));
    }

  private:
    std::string TakeComments() {
        std::string comments;
        comments.swap(m_comments);
        return comments;
    }

    std::vector<CIniFile::Record>& m_content;
    std::string m_comments;
    std::string m_section;
};

std::string KeyLine(const CIniFile::Record& record, const char* lineEnd) {
    std::string line;
    if (record.Commented != ' ')
        line += record.Commented;
    return line + record.Key + "=" + record.Value + lineEnd;
}

} // namespace

std::vector<CIniFile::Record> CIniFile::GetSection(const std::string& section, const std::string& path,
                                                   LANGID language) {
    std::vector<Record> content;
    const bool loaded =
        ModelIndexBelow3() ? Load(path, content, language) : LoadWithChecksum(path, content, language);
    std::vector<Record> result;
    if (!loaded)
        return result;
    Record header;
    header.Section = section;
    result.push_back(header);
    for (Record& record : content) {
        if (record.Section == section && !record.Key.empty())
            result.push_back(std::move(record));
    }
    return result;
}

bool CIniFile::Load(const std::string& path, std::vector<Record>& content, LANGID) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    content.clear();
    LineReader reader(content);
    std::string line;
    while (std::getline(file, line))
        reader.Read(line);
    return true;
}

bool CIniFile::LoadWithChecksum(const std::string& path, std::vector<Record>& content, LANGID language) {
    FilePointer file = OpenFile(path, "rb");
    // A missing file is not a damaged one: no question about a checksum of nothing.
    if (!file)
        return false;
    if (EndsWithConfigTxt(path) && !VerifyFileChecksum(path)) {
        const std::wstring question = LoadStringLang(g_hResourceDll, kChecksumQuestionId, language);
        if (MessageBox(g_hViewWnd, question, L"", MB_YESNO) != IDYES)
            return false;
    }
    content.clear();
    LineReader reader(content);
    char buffer[kChecksumLineSize];
    while (ReadLine(file.get(), buffer, kChecksumLineSize) != -1)
        reader.Read(buffer);
    return true;
}

int CIniFile::ReadLine(std::FILE* file, char* buffer, int size) {
    int kept = 0;
    bool any = false;
    for (;;) {
        const int ch = std::fgetc(file);
        if (ch == EOF || ch == '\n') {
            if (ch == '\n')
                any = true;
            break;
        }
        if ((ch == '\t' || (ch >= 0x20 && ch <= 0x7F)) && kept < size - 1) {
            buffer[kept++] = static_cast<char>(ch);
            any = true;
        }
    }
    if (size > 0)
        buffer[kept] = '\0';
    return any ? kept : -1;
}

bool CIniFile::Save(const std::string& path, const std::vector<Record>& content) {
    return ModelIndexBelow3() ? SavePlain(path, content) : SaveWithChecksum(path, content);
}

bool CIniFile::SavePlain(const std::string& path, const std::vector<Record>& content) {
    std::string text;
    for (const Record& record : content) {
        // The recorder reads CR LF lines, the stored comments included.
        for (char ch : record.Comments) {
            if (ch == '\n')
                text += '\r';
            text += ch;
        }
        if (!record.Key.empty())
            text += KeyLine(record, "\r\n");
    }
    FilePointer file = OpenFile(path, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    return CloseWritten(std::move(file)) && written;
}

bool CIniFile::SaveWithChecksum(const std::string& path, const std::vector<Record>& content) {
    std::string text;
    for (const Record& record : content) {
        text += record.Comments;
        if (!record.Key.empty())
            text += KeyLine(record, "\n");
        else if (!record.Section.empty())
            text += "[" + record.Section + "]\n";
    }
    FilePointer file = OpenFile(path, "r+b");
    if (!file && errno == ENOENT)
        file = OpenFile(path, "w+b");
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return false;
    const long oldLength = std::ftell(file.get());
    if (oldLength < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return false;
    // The recorder expects the file never to shrink: the text, line feeds up to the old length,
    // and the checksum as one byte of its own behind them.
    const size_t length = std::max(static_cast<size_t>(oldLength), text.size() + 1);
    text.resize(length - 1, '\n');
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    if (!CloseWritten(std::move(file)) || !written)
        return false;
    return AppendFileChecksum(path, static_cast<size_t>(oldLength) == length);
}

std::string CIniFile::GetValue(const std::string& key, const std::string& section,
                               const std::vector<Record>& content) {
    for (const Record& record : content) {
        if (record.Key == key && record.Section == section)
            return record.Value;
    }
    return std::string();
}

bool CIniFile::SetValue(const std::string& key, const std::string& value, const std::string& section,
                        std::vector<Record>& content) {
    Record added;
    added.Section = section;
    added.Key = key;
    added.Value = value;
    const auto first = std::find_if(content.begin(), content.end(),
                                    [&](const Record& record) { return record.Section == section; });
    if (first == content.end()) {
        Record header;
        header.Section = section;
        content.push_back(header);
        content.push_back(added);
        return true;
    }
    for (Record& record : content) {
        if (record.Key == key && record.Section == section) {
            record.Value = value;
            return true;
        }
    }
    content.insert(first + 1, added);
    return true;
}

void CIniFile::Trim(std::string& text, const std::string& characters, int side) {
    if (side != TrimLeft) {
        const size_t last = text.find_last_not_of(characters);
        text.erase(last == std::string::npos ? 0 : last + 1);
    }
    if (side != TrimRight)
        text.erase(0, std::min(text.find_first_not_of(characters), text.size()));
}

bool AppendFileChecksum(const std::string& path, bool replace) {
    FilePointer file = OpenFile(path, "r+b");
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return false;
    const long length = std::ftell(file.get());
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return false;
    // An empty file has no last byte to replace: the checksum is then its only byte.
    const size_t summed = static_cast<size_t>(replace && length > 0 ? length - 1 : length);
    std::string bytes(summed, '\0');
    if (std::fread(bytes.data(), 1, summed, file.get()) != summed)
        return false;
    const BYTE checksum = ByteSum(bytes.data(), summed);
    if (std::fseek(file.get(), static_cast<long>(summed), SEEK_SET) != 0)
        return false;
    const bool written = std::fputc(checksum, file.get()) != EOF;
    return CloseWritten(std::move(file)) && written;
}

bool VerifyFileChecksum(const std::string& path) {
    std::string bytes;
    if (!ReadAll(path, bytes) || bytes.empty())
        return false;
    return ByteSum(bytes.data(), bytes.size() - 1) == static_cast<BYTE>(bytes.back());
}
