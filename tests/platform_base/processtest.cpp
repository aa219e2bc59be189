#include "platform/base/process.h"

#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string OwnStandardOutput() {
    char target[4096] = {};
    const ssize_t length = ::readlink("/proc/self/fd/1", target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<size_t>(length)) : std::string();
}

} // namespace

TEST(Process, ExitCodes) {
    struct Case {
        std::vector<std::wstring> arguments;
        int exitCode;
    };
    const Case cases[] = {
        {{L"true"}, 0},
        {{L"false"}, 1},
        {{L"/bin/sh", L"-c", L"exit 7"}, 7},
        {{L"/bin/sh", L"-c", L"kill -9 $$"}, 128 + 9},
    };
    for (const auto& c : cases) {
        int exitCode = -1;
        EXPECT_TRUE(RunProcessAndWait(c.arguments, ProcessOutput::Hidden, exitCode))
            << Utf8FromWide(c.arguments.back());
        EXPECT_EQ(exitCode, c.exitCode) << Utf8FromWide(c.arguments.back());
    }
}

TEST(Process, ArgumentsArriveVerbatim) {
    TestFolder folder;
    const std::vector<std::wstring> passed = {L"two words",
                                              L"$HOME",
                                              L"*",
                                              L"\"quoted\" 'single'",
                                              L"",
                                              L"a;b|c>d",
                                              L"\uB179\uD654 \uD30C\uC77C.mp4"};
    std::vector<std::wstring> arguments = {L"/bin/sh", L"-c", L"printf '%s\\n' \"$@\" > \"$0\"",
                                           folder.Wide("out")};
    arguments.insert(arguments.end(), passed.begin(), passed.end());
    int exitCode = -1;
    ASSERT_TRUE(RunProcessAndWait(arguments, ProcessOutput::Hidden, exitCode));
    EXPECT_EQ(exitCode, 0);
    std::string expected;
    for (const auto& argument : passed)
        expected += Utf8FromWide(argument) + "\n";
    EXPECT_EQ(ReadFile(folder / "out"), expected);
}

TEST(Process, HiddenOutputGoesNowhere) {
    TestFolder folder;
    // The shell keeps copies of the streams it was given and names them into a file of its own.
    const std::wstring script =
        L"exec 3>\"$0\" 4<&0 5>&1 6>&2; readlink /proc/self/fd/4 /proc/self/fd/5 /proc/self/fd/6 >&3";
    int exitCode = -1;
    ASSERT_TRUE(RunProcessAndWait({L"/bin/sh", L"-c", script, folder.Wide("hidden")}, ProcessOutput::Hidden,
                                  exitCode));
    EXPECT_EQ(ReadFile(folder / "hidden"), "/dev/null\n/dev/null\n/dev/null\n");

    ASSERT_TRUE(RunProcessAndWait({L"/bin/sh", L"-c", script, folder.Wide("shared")}, ProcessOutput::Shared,
                                  exitCode));
    const std::string shared = ReadFile(folder / "shared");
    const size_t first = shared.find('\n');
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(shared.substr(first + 1, shared.find('\n', first + 1) - first - 1), OwnStandardOutput());
}

TEST(Process, ProgramsThatCannotStartFail) {
    TestFolder folder;
    std::ofstream(folder / "not-executable") << "#!/bin/sh\nexit 0\n";
    ::chmod((folder / "not-executable").c_str(), 0644);
    struct Case {
        std::vector<std::wstring> arguments;
        int error;
    };
    const Case cases[] = {
        {{L"/no/such/program"}, ENOENT},
        {{L"trevo-no-such-program-anywhere", L"-y"}, ENOENT},
        {{folder.Wide("not-executable")}, EACCES},
        {{}, EINVAL},
        {{L""}, EINVAL},
    };
    for (const auto& c : cases) {
        const std::string what = c.arguments.empty() ? "(none)" : Utf8FromWide(c.arguments.front());
        int exitCode = -1;
        EXPECT_FALSE(RunProcessAndWait(c.arguments, ProcessOutput::Hidden, exitCode)) << what;
        EXPECT_EQ(errno, c.error) << what;
        EXPECT_EQ(exitCode, -1) << what;
    }
}
