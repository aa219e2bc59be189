// The settings file format: the line grammar, both writers byte for byte, the checksum byte and
// the question before a damaged config.txt is read.
#include "viewer/catalogue/inifile.h"

#include "cataloguetestsupport.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using Record = CIniFile::Record;

Record MakeRecord(const std::string& comments, char commented, const std::string& section,
                  const std::string& key, const std::string& value) {
    Record record;
    record.Comments = comments;
    record.Commented = commented;
    record.Section = section;
    record.Key = key;
    record.Value = value;
    return record;
}

std::string Describe(const std::vector<Record>& records) {
    std::string text;
    for (const Record& r : records)
        text += "{" + r.Comments + "|" + r.Commented + "|" + r.Section + "|" + r.Key + "|" + r.Value + "}";
    return text;
}

std::string WithChecksum(std::string text) {
    unsigned sum = 0;
    for (unsigned char ch : text)
        sum += ch;
    return text + static_cast<char>(sum & 0xFF);
}

class IniFileTest : public testing::Test {
  protected:
    std::string Path(const std::string& name = "config.txt") const { return (m_folder / name).string(); }
    std::vector<Record> LoadText(const std::string& text) {
        WriteBytes(Path(), text);
        std::vector<Record> records;
        EXPECT_TRUE(CIniFile::Load(Path(), records, 1033));
        return records;
    }

    TestFolder m_folder;
};

TEST_F(IniFileTest, LineGrammar) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<Record> expected;
    };
    const Case cases[] = {
        {"comment attaches to the next key",
         "#note\nKey = Value\n",
         {MakeRecord("#note\n", ' ', "", "Key", "Value")}},
        {"commented-out key",
         "#Key=1\n;Other=2\n",
         {MakeRecord("", '#', "", "Key", "1"), MakeRecord("", ';', "", "Other", "2")}},
        {"section header and key",
         "[Video]\nA=1\n",
         {MakeRecord("", ' ', "Video", "", ""), MakeRecord("", ' ', "Video", "A", "1")}},
        {"value keeps later '='", "A=b=c\n", {MakeRecord("", ' ', "", "A", "b=c")}},
        {"garbage without pending comments is a blank record",
         "garbage\nA=1\n",
         {MakeRecord("", ' ', "", "", ""), MakeRecord("", ' ', "", "A", "1")}},
        {"garbage with pending comments is dropped",
         "#c\ngarbage\nA=1\n",
         {MakeRecord("#c\n", ' ', "", "A", "1")}},
        {"brackets inside a value stay in the value",
         "SSID=my[net]x\nB=2\n",
         {MakeRecord("", ' ', "", "SSID", "my[net]x"), MakeRecord("", ' ', "", "B", "2")}},
        {"an open bracket inside a value",
         "Name=ab[c\nB=2\n",
         {MakeRecord("", ' ', "", "Name", "ab[c"), MakeRecord("", ' ', "", "B", "2")}},
        {"a header without ']' keeps the rest",
         "[Open\nA=1\n",
         {MakeRecord("", ' ', "Open", "", ""), MakeRecord("", ' ', "Open", "A", "1")}},
        {"a commented header still opens its section",
         "#[X]\nA=1\n",
         {MakeRecord("", '#', "X", "", ""), MakeRecord("", ' ', "X", "A", "1")}},
        {"comments after the last key are dropped", "A=1\n#tail\n", {MakeRecord("", ' ', "", "A", "1")}},
        {"blanks, CR LF, empty lines and a last line without end",
         "  A = 1 \r\n\r\n\tB=2",
         {MakeRecord("", ' ', "", "A", "1"), MakeRecord("", ' ', "", "B", "2")}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(LoadText(c.text)), Describe(c.expected)) << c.what;
    }
}

TEST_F(IniFileTest, UnreadableFileLeavesTheListAlone) {
    std::vector<Record> records = {MakeRecord("", ' ', "", "Kept", "1")};
    EXPECT_FALSE(CIniFile::Load(Path("missing.txt"), records, 1033));
    EXPECT_FALSE(CIniFile::LoadWithChecksum(Path("missing.txt"), records, 1033));
    EXPECT_EQ(Describe(records), Describe({MakeRecord("", ' ', "", "Kept", "1")}));
    ModelIndexScope model(0);
    EXPECT_TRUE(CIniFile::GetSection("", Path("missing.txt"), 1033).empty());
}

TEST_F(IniFileTest, GetSectionPutsTheSectionFirstAndKeepsOnlyItsKeys) {
    ModelIndexScope model(0);
    WriteBytes(Path(), "A=0\ngarbage\n[Video]\nB=1\n#C=2\n");
    EXPECT_EQ(Describe(CIniFile::GetSection("", Path(), 1033)),
              Describe({MakeRecord("", ' ', "", "", ""), MakeRecord("", ' ', "", "A", "0")}));
    EXPECT_EQ(Describe(CIniFile::GetSection("Video", Path(), 1033)),
              Describe({MakeRecord("", ' ', "Video", "", ""), MakeRecord("", ' ', "Video", "B", "1"),
                        MakeRecord("", '#', "Video", "C", "2")}));
}

TEST_F(IniFileTest, GetValueAndSetValue) {
    std::vector<Record> records = {MakeRecord("", ' ', "", "", ""), MakeRecord("#c\n", '#', "", "A", "1"),
                                   MakeRecord("", ' ', "", "B", "2")};
    // The first match wins, commented out or not.
    EXPECT_EQ(CIniFile::GetValue("A", "", records), "1");
    EXPECT_EQ(CIniFile::GetValue("Z", "", records), "");
    EXPECT_EQ(CIniFile::GetValue("B", "Other", records), "");

    EXPECT_TRUE(CIniFile::SetValue("A", "9", "", records));
    EXPECT_TRUE(CIniFile::SetValue("N", "new", "", records));
    EXPECT_TRUE(CIniFile::SetValue("V", "x", "Video", records));
    EXPECT_EQ(Describe(records),
              Describe({MakeRecord("", ' ', "", "", ""), MakeRecord("", ' ', "", "N", "new"),
                        MakeRecord("#c\n", '#', "", "A", "9"), MakeRecord("", ' ', "", "B", "2"),
                        MakeRecord("", ' ', "Video", "", ""), MakeRecord("", ' ', "Video", "V", "x")}));
}

TEST_F(IniFileTest, TrimSides) {
    struct Case {
        std::string text;
        int side;
        std::string expected;
    };
    const Case cases[] = {
        {" \t a b \r\n", CIniFile::TrimBoth, "a b"},
        {" \t a b \r\n", CIniFile::TrimLeft, "a b \r\n"},
        {" \t a b \r\n", CIniFile::TrimRight, " \t a b"},
        {" \t\r\n", CIniFile::TrimBoth, ""},
        {" \t\r\n", CIniFile::TrimLeft, ""},
        {" \t\r\n", CIniFile::TrimRight, ""},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        CIniFile::Trim(text, " \t\n\r", c.side);
        EXPECT_EQ(text, c.expected) << c.side;
    }
}

TEST_F(IniFileTest, PlainWriterUsesCrLfEverywhereAndNoHeaders) {
    const std::vector<Record> records = LoadText("#note\nA=1\n#Key=1\n[Sec]\n;c\nB=2\n#tail\n");
    ASSERT_TRUE(CIniFile::SavePlain(Path("out.txt"), records));
    EXPECT_EQ(ReadBytes(Path("out.txt")), "#note\r\nA=1\r\n#Key=1\r\n;c\r\nB=2\r\n");
    EXPECT_FALSE(CIniFile::SavePlain(Path("no/such/folder.txt"), records));
}

TEST_F(IniFileTest, ChecksumWriterNeverOverwritesTheText) {
    const std::vector<Record> records = {MakeRecord("#c\n", ' ', "", "A", "1"),
                                         MakeRecord("", ' ', "Video", "", ""),
                                         MakeRecord("", '#', "Video", "B", "2")};
    const std::string text = "#c\nA=1\n[Video]\n#B=2\n";
    struct Case {
        const char* what;
        bool exists;
        size_t oldLength;
        std::string expected;
    };
    const Case cases[] = {
        {"shorter text: line-feed padding", true, 30,
         WithChecksum(text + std::string(30 - text.size() - 1, '\n'))},
        {"old length one more than the text", true, text.size() + 1, WithChecksum(text)},
        {"same length as the text", true, text.size(), WithChecksum(text)},
        {"longer text", true, 3, WithChecksum(text)},
        {"empty file", true, 0, WithChecksum(text)},
        {"missing file is created", false, 0, WithChecksum(text)},
    };
    for (const Case& c : cases) {
        const std::string path = Path("config.txt");
        std::remove(path.c_str());
        if (c.exists)
            WriteBytes(path, std::string(c.oldLength, 'x'));
        ASSERT_TRUE(CIniFile::SaveWithChecksum(path, records)) << c.what;
        EXPECT_EQ(ReadBytes(path), c.expected) << c.what;
        EXPECT_TRUE(VerifyFileChecksum(path)) << c.what;
    }
}

TEST_F(IniFileTest, ChecksumWriterOnAnEmptyListAndAnEmptyFile) {
    WriteBytes(Path(), "");
    ASSERT_TRUE(CIniFile::SaveWithChecksum(Path(), {}));
    EXPECT_EQ(ReadBytes(Path()), std::string(1, '\0'));
    EXPECT_FALSE(CIniFile::SaveWithChecksum(Path("no/such/config.txt"), {}));
}

TEST_F(IniFileTest, LastValueSurvivesASaveThatGrowsTheFile) {
    ModelIndexScope model(3);
    FakeWindowSystem windows;
    WriteBytes(Path(), WithChecksum("A=1\n"));
    std::vector<Record> records = CIniFile::GetSection("", Path(), 1033);
    // Values whose checksum byte would be a printable character read back as part of the value.
    for (const char* value : {"VALUE", "ab", "12345", "x y"}) {
        CIniFile::SetValue("Last", value, "", records);
        ASSERT_TRUE(CIniFile::Save(Path(), records));
        const std::vector<Record> reread = CIniFile::GetSection("", Path(), 1033);
        EXPECT_EQ(CIniFile::GetValue("Last", "", reread), value);
        EXPECT_EQ(CIniFile::GetValue("A", "", reread), "1") << value;
    }
    EXPECT_TRUE(windows.MessageBoxes().empty());
}

TEST_F(IniFileTest, AppendFileChecksum) {
    WriteBytes(Path(), "A=1\n");
    ASSERT_TRUE(AppendFileChecksum(Path(), false));
    EXPECT_EQ(ReadBytes(Path()), WithChecksum("A=1\n"));
    ASSERT_TRUE(AppendFileChecksum(Path(), true));
    EXPECT_EQ(ReadBytes(Path()), WithChecksum("A=1\n"));
    WriteBytes(Path(), "");
    ASSERT_TRUE(AppendFileChecksum(Path(), true));
    EXPECT_EQ(ReadBytes(Path()), std::string(1, '\0'));
    EXPECT_FALSE(AppendFileChecksum(Path("missing.txt"), true));
}

TEST_F(IniFileTest, VerifyFileChecksum) {
    const std::string good = WithChecksum("A=1\n");
    WriteBytes(Path(), good);
    EXPECT_TRUE(VerifyFileChecksum(Path()));
    for (size_t i = 0; i + 1 < good.size(); ++i) {
        std::string bad = good;
        bad[i] ^= 0x01;
        WriteBytes(Path(), bad);
        EXPECT_FALSE(VerifyFileChecksum(Path())) << i;
    }
    WriteBytes(Path(), "");
    EXPECT_FALSE(VerifyFileChecksum(Path()));
    EXPECT_FALSE(VerifyFileChecksum(Path("missing.txt")));
}

TEST_F(IniFileTest, ReadLineKeepsPrintableBytesOnly) {
    WriteBytes(Path(), std::string(250, 'a') + "\nb\x80\xff\r\tc\x7f\n\n\x01\x02");
    std::FILE* file = std::fopen(Path().c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char buffer[200];
    EXPECT_EQ(CIniFile::ReadLine(file, buffer, sizeof buffer), 199);
    EXPECT_EQ(std::string(buffer), std::string(199, 'a'));
    EXPECT_EQ(CIniFile::ReadLine(file, buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer), "b\tc\x7f");
    EXPECT_EQ(CIniFile::ReadLine(file, buffer, sizeof buffer), 0);
    EXPECT_EQ(std::string(buffer), "");
    // Bytes that are all dropped before the end of the file are no line.
    EXPECT_EQ(CIniFile::ReadLine(file, buffer, sizeof buffer), -1);
    std::fclose(file);
}

TEST_F(IniFileTest, ChecksumLoaderDropsHighBytesPlainLoaderKeepsThem) {
    const std::string text = "Name=\xEA\xB0\x80x\n";
    WriteBytes(Path(), WithChecksum(text));
    std::vector<Record> records;
    ASSERT_TRUE(CIniFile::LoadWithChecksum(Path(), records, 1033));
    EXPECT_EQ(CIniFile::GetValue("Name", "", records), "x");
    ASSERT_TRUE(CIniFile::Load(Path(), records, 1033));
    EXPECT_EQ(CIniFile::GetValue("Name", "", records), "\xEA\xB0\x80x");
}

class ChecksumQuestionTest : public IniFileTest {
  protected:
    void SetUp() override { LoadStringLibrary(); }
    ModelIndexScope m_model{3};
    FakeWindowSystem m_windows;
};

TEST_F(ChecksumQuestionTest, DamagedConfigTxtAsksFirst) {
    WriteBytes(Path(), "A=1\nB=2\n");
    m_windows.answer = IDNO;
    EXPECT_TRUE(CIniFile::GetSection("", Path(), 1033).empty());
    m_windows.answer = IDYES;
    EXPECT_EQ(CIniFile::GetSection("", Path(), 1028).size(), 3u);
    ASSERT_EQ(m_windows.events.size(), 2u);
    EXPECT_EQ(m_windows.events[0].type & MB_TYPEMASK, MB_YESNO);
    EXPECT_EQ(m_windows.events[1].text, L"This file has checksum error.\nContinue reading?");
    EXPECT_EQ(m_windows.events[0].text, LoadStringLang(g_hResourceDll, 242, 1033));
}

TEST_F(ChecksumQuestionTest, AsksOnlyForAnExistingDamagedConfigTxt) {
    m_windows.answer = IDNO;
    WriteBytes(Path("CONFIG.TXT"), "A=1\n");
    EXPECT_TRUE(CIniFile::GetSection("", Path("CONFIG.TXT"), 1033).empty());
    EXPECT_EQ(m_windows.MessageBoxes().size(), 1u);

    WriteBytes(Path("settings.ini"), "A=1\n");
    EXPECT_EQ(CIniFile::GetSection("", Path("settings.ini"), 1033).size(), 2u);
    WriteBytes(Path(), WithChecksum("A=1\n"));
    EXPECT_EQ(CIniFile::GetSection("", Path(), 1033).size(), 2u);
    EXPECT_TRUE(CIniFile::GetSection("", Path("sub/config.txt"), 1033).empty());
    EXPECT_EQ(m_windows.MessageBoxes().size(), 1u);
}

} // namespace
