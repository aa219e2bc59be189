// The settings-file reader on any bytes as a card's config.txt: the plain reader of models 0-2,
// and the AVI model's reader, first on the bytes as they are (a checksum that fails is answered
// Yes, so the text is read all the same), then with the right checksum byte appended, which must
// pass without a question.
#include "fuzzfolder.h"

#include "viewer/catalogue/inifile.h"
#include "viewer/catalogue/sharedhelpers.h"

#include "platform/base/windowsystem.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Answers every question with the answer set, and counts the questions.
class Answers : public IWindowSystem {
  public:
    LRESULT Send(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    bool Post(HWND, UINT, WPARAM, LPARAM) override { return false; }
    int ShowMessageBox(HWND, const std::wstring&, const std::wstring&, UINT) override {
        ++questions;
        return answer;
    }
    int answer = IDYES;
    int questions = 0;
};

constexpr LANGID kEnglish = 1033;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Answers answers;
    SetWindowSystem(&answers);
    const std::string path = FuzzFolder::Instance().Write("config.txt", data, size);

    std::vector<CIniFile::Record> content;
    CIniFile::Load(path, content, kEnglish);
    CIniFile::GetValue("Volume", "", content);
    CIniFile::SetValue("Volume", "3", "", content);
    SetModelIndex(0);
    CIniFile::GetSection("", path, kEnglish);

    answers.answer = IDYES;
    CIniFile::LoadWithChecksum(path, content, kEnglish);
    SetModelIndex(3);
    CIniFile::GetSection("", path, kEnglish);

    if (!AppendFileChecksum(path, false) || !VerifyFileChecksum(path))
        std::abort();
    answers.answer = IDNO;
    answers.questions = 0;
    if (!CIniFile::LoadWithChecksum(path, content, kEnglish) || answers.questions != 0)
        std::abort();
    return 0;
}
