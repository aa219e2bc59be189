// The repair workers with a stand-in for the repair program: a script that logs its arguments and
// writes a given number of bytes to its last one, or fails. The view is a fake that logs what the
// worker asks of it.

#include "support/testfolder.h"
#include "uitest.h"

#include "platform/base/unicode.h"
#include "platform/ui/guithread.h"
#include "tools/fixtures/avimaker.h"
#include "tools/fixtures/moviemaker.h"
#include "viewer/ui/recordingrepair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Lines(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class FakeRepairView : public IRepairView {
  public:
    std::wstring LoadRepairText(UINT id, LANGID) override { return L"text" + std::to_wstring(id); }
    void ShowRepairMessage(const std::wstring& text) override { Log("message " + Utf8FromWide(text)); }
    void ShowRepairBox(const RECT&) override { Log("show"); }
    void HideRepairBox() override { Log("hide"); }
    void ReplaceRecordFiles(const std::wstring& newPath, const stringex& oldKey, const stringex& newKey,
                            int row) override {
        rekeyOnGuiThread = IsGuiThread();
        Log("rekey " + Utf8FromWide(newPath) + " " + Utf8FromWide(oldKey) + " " + Utf8FromWide(newKey) + " " +
            std::to_string(row));
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        for (const std::string& entry : log)
            if (entry.rfind("message ", 0) == 0)
                messages.push_back(entry.substr(8));
        return messages;
    }

    std::vector<std::string> log;
    bool rekeyOnGuiThread = false;

  private:
    void Log(const std::string& entry) {
        std::lock_guard<std::mutex> hold(m_lock);
        log.push_back(entry);
    }
    std::mutex m_lock;
};

enum class Program { Writes, Fails, WritesFolder, Missing, NotExecutable };

// A program folder, a card folder and a documents folder of their own.
class Scene {
  public:
    Scene() {
        fs::create_directories(m_folder / "program");
        fs::create_directories(m_folder / "documents");
        fs::create_directories(m_folder / "card");
        places = {m_folder.Wide("program/mp4repair"), m_folder.Wide("program"), m_folder.Wide("documents"),
                  m_folder.Wide("repair")};
    }

    // The stand-in logs one argument a line and leaves `bytes` bytes at its last argument, or a
    // folder there that no copy can read but whose size passes the size check.
    void MakeProgram(Program kind, int bytes = 4096) {
        if (kind == Program::Missing)
            return;
        const fs::path path = m_folder / "program" / "mp4repair";
        std::string script = "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + (m_folder / "arguments").string() +
                             "'\nfor last; do :; done\n";
        if (kind == Program::WritesFolder)
            script +=
                "mkdir \"$last\"\ni=0\nwhile [ $i -lt 300 ]; do : > \"$last/entry-with-a-long-name-$i\"; "
                "i=$((i+1)); done\n";
        else
            script += "head -c " + std::to_string(bytes) + " /dev/zero > \"$last\"\n";
        if (kind == Program::Fails)
            script += "exit 3\n";
        Write(path, script);
        fs::permissions(path, kind == Program::NotExecutable ? fs::perms::owner_read | fs::perms::owner_write
                                                             : fs::perms::owner_all);
    }

    void MakeReference(const std::string& name, bool aac) {
        fixtures::QuietCodecLogs();
        fixtures::MovieOptions options;
        options.audio = aac;
        options.video.frameCount = 2;
        fixtures::MakeMovieRecording(m_folder / "program" / name, options);
    }

    fs::path Card(const std::string& name) const { return m_folder / "card" / name; }
    fs::path Path(const std::string& name) const { return m_folder / name; }
    std::wstring Wide(const std::string& name) const { return m_folder.Wide(name); }
    bool WorkingFilesGone() const { return fs::is_empty(m_folder / "documents"); }

    RepairPlaces places;
    FakeRepairView view;

  private:
    TestFolder m_folder;
};

TEST(RecordingRepairNames, ReferencesByModelAndTheKeyOfACopy) {
    struct Case {
        int model;
        const wchar_t* front;
        const wchar_t* rear;
    };
    for (const Case& c : {Case{0, L"ref.mp4", L"ref.mp4"}, Case{1, L"ref_T310_F.mp4", L"ref_T310_R.mp4"},
                          Case{2, L"ref_T310_F.mp4", L"ref_T310_R.mp4"}}) {
        EXPECT_STREQ(RecordingRepair::GetFrontReferenceName(c.model), c.front) << c.model;
        EXPECT_STREQ(RecordingRepair::GetRearReferenceName(c.model), c.rear) << c.model;
    }
    EXPECT_EQ(RecordingRepair::RepairedKey(L"/home/u/repair/2024_01_02_03_04_05_F_E_1.avi"),
              L"2024_01_02_03_04_05_F__/home/u/repair//E");
}

TEST(RecordingRepairWorker, TheArgumentVectorFollowsTheReferencesSound) {
    struct Case {
        bool aac;
        std::vector<std::string> options;
    };
    for (const Case& c : {Case{true, {"-broken_aac", "aac", "-codec", "copy"}},
                          Case{false, {"-vcodec", "copy", "-acodec", "adpcm_ima_wav"}}}) {
        Scene scene;
        scene.MakeProgram(Program::Writes);
        scene.MakeReference("ref.mp4", c.aac);
        // Quotes, spaces and a shell's substitution reach the program as one plain argument.
        const std::string name = "it's a \"broken\" $(name).mp4";
        Write(scene.Card(name), "broken");
        RecordingRepair repair(scene.view, scene.places);
        ASSERT_EQ(repair.RunFfmpegRepair(scene.Wide("card/" + name), L"ref.mp4", 1033), 0) << c.aac;
        const std::string documents = scene.Path("documents").string();
        std::vector<std::string> expected = {scene.Path("program/mp4repair").string(),
                                             "-y",
                                             "-i",
                                             documents + "/_reference.mov",
                                             "-broken",
                                             documents + "/_broken.mov"};
        expected.insert(expected.end(), c.options.begin(), c.options.end());
        expected.push_back(documents + "/_repair.mov");
        // The program's own path is $0 to the script; the log starts at the first argument.
        expected.erase(expected.begin());
        EXPECT_EQ(Lines(scene.Path("arguments")), expected) << c.aac;
        EXPECT_TRUE(fs::exists(scene.Card("original_" + name)));
    }
}

TEST(RecordingRepairWorker, SuccessKeepsTheOriginalBesideTheRepairAndClearsTheWorkingFiles) {
    Scene scene;
    scene.MakeProgram(Program::Writes, 5000);
    scene.MakeReference("ref.mp4", true);
    Write(scene.Card("a.mp4"), "broken recording");
    RecordingRepair repair(scene.view, scene.places);
    EXPECT_EQ(repair.RunFfmpegRepair(scene.Wide("card/a.mp4"), L"ref.mp4", 1033), 0);
    EXPECT_EQ(Read(scene.Card("original_a.mp4")), "broken recording");
    EXPECT_EQ(Read(scene.Card("a.mp4")), std::string(5000, '\0'));
    EXPECT_TRUE(scene.WorkingFilesGone());
    EXPECT_TRUE(scene.view.log.empty());
}

// Every failure leaves the broken recording where and as it was, with no "original_" copy and no
// working file behind.
TEST(RecordingRepairWorker, FailuresKeepTheRecordingAndTellWhatTheTableSays) {
    struct Case {
        const char* what;
        Program program;
        int bytes;
        bool reference;
        bool broken;
        bool documentsUsable;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"no program", Program::Missing, 0, true, true, true, {"Check 'mp4repair'"}},
        {"no reference", Program::Writes, 4096, false, true, true, {"Check 'ref.mp4'"}},
        {"reference copy", Program::Writes, 4096, true, true, false, {"ref_T310_F.mp4 -> "}},
        {"broken copy", Program::Writes, 4096, true, false, true, {"text215"}},
        {"not startable",
         Program::NotExecutable,
         4096,
         true,
         true,
         true,
         {"CreateProcess failed : repair\n"}},
        {"exit status", Program::Fails, 4096, true, true, true, {}},
        {"short output", Program::Writes, 1023, true, true, true, {}},
        {"empty output", Program::Writes, 0, true, true, true, {}},
        {"final copy", Program::WritesFolder, 0, true, true, true, {"text215"}},
    };
    for (const Case& c : cases) {
        Scene scene;
        Write(scene.Path("blocked"), "a file where a folder should be");
        if (!c.documentsUsable)
            scene.places.documents = scene.Wide("blocked/documents");
        scene.MakeProgram(c.program, c.bytes);
        if (c.reference)
            scene.MakeReference("ref_T310_F.mp4", true);
        if (c.broken)
            Write(scene.Card("a.mp4"), "broken recording");

        RecordingRepair repair(scene.view, scene.places);
        EXPECT_EQ(repair.RunFfmpegRepair(scene.Wide("card/a.mp4"), L"ref_T310_F.mp4", 1033), -1) << c.what;
        std::vector<std::string> expected = c.messages;
        if (!c.documentsUsable)
            expected[0] += scene.Path("blocked/documents/_reference.mov").string();
        EXPECT_EQ(scene.view.Messages(), expected) << c.what;
        if (c.broken) {
            EXPECT_EQ(Read(scene.Card("a.mp4")), "broken recording") << c.what;
        }
        EXPECT_FALSE(fs::exists(scene.Card("original_a.mp4"))) << c.what;
        if (c.program != Program::WritesFolder) {
            EXPECT_TRUE(scene.WorkingFilesGone()) << c.what;
        }
    }
}

// The pair of an MP4/MOV recording: the rear file only after a good front one, one result message,
// and the box hidden before every message and at the end.
TEST(RecordingRepairWorker, APairReportsOnceAndAFailedFrontLeavesTheRearAlone) {
    struct Case {
        const char* what;
        int model;
        std::vector<std::string> references;
        std::vector<std::string> log;
        bool rearRepaired;
    };
    const Case cases[] = {
        {"model 0 shares its reference",
         0,
         {"ref.mp4"},
         {"show", "hide", "show", "rekey", "hide", "message text212", "hide"},
         true},
        {"rear reference missing",
         1,
         {"ref_T310_F.mp4"},
         {"show", "hide", "show", "hide", "message Check 'ref.mp4'", "rekey", "hide", "message text214",
          "hide"},
         false},
        {"front reference missing",
         2,
         {"ref_T310_R.mp4"},
         {"show", "hide", "message Check 'ref.mp4'", "hide", "message text214", "hide"},
         false},
    };
    for (const Case& c : cases) {
        Scene scene;
        scene.MakeProgram(Program::Writes);
        for (const std::string& reference : c.references)
            scene.MakeReference(reference, false);
        Write(scene.Card("a_F.mp4"), "front");
        Write(scene.Card("a_R.mp4"), "rear");
        RepairRequest request;
        request.model = c.model;
        request.frontPath = scene.Wide("card/a_F.mp4");
        request.rearPath = scene.Wide("card/a_R.mp4");
        request.key = L"key";
        request.row = 2;
        RecordingRepair repair(scene.view, scene.places);
        std::atomic<bool> done{false};
        std::thread worker([&] {
            repair.Run(request);
            done = true;
        });
        EXPECT_TRUE(WaitFor([&] { return done.load(); }, 60000)) << c.what;
        worker.join();
        // The catalogue reads the repaired front file anew, on the GUI thread.
        std::vector<std::string> log = scene.view.log;
        for (std::string& entry : log) {
            if (entry.rfind("rekey ", 0) == 0) {
                EXPECT_EQ(entry, "rekey " + scene.Card("a_F.mp4").string() + " key key 2") << c.what;
                EXPECT_TRUE(scene.view.rekeyOnGuiThread) << c.what;
                entry = "rekey";
            }
        }
        EXPECT_EQ(log, c.log) << c.what;
        EXPECT_EQ(fs::exists(scene.Card("original_a_R.mp4")), c.rearRepaired) << c.what;
        if (!c.rearRepaired) {
            EXPECT_EQ(Read(scene.Card("a_R.mp4")), "rear") << c.what;
        }
    }
}

// AVI recordings are rebuilt as copies in the repair folder, the front one re-keyed on the GUI
// thread, the rear partner silently; a recording already in the folder is rebuilt from a copy of
// itself, never read while it is written.
TEST(RecordingRepairWorker, AviRecordingsAreRebuiltInTheRepairFolder) {
    struct Case {
        const char* what;
        bool alreadyInFolder;
        bool rear;
        bool frontBroken;
    };
    const Case cases[] = {
        {"front and rear", false, true, false},
        {"front alone", false, false, false},
        {"already in the folder", true, false, false},
        {"front cannot be rebuilt", false, true, true},
    };
    const std::string front = "2024_01_02_03_04_05_F_E_1.avi";
    const std::string rear = "2024_01_02_03_04_05_R_E_1.avi";
    for (const Case& c : cases) {
        Scene scene;
        fs::create_directories(scene.Path("repair"));
        const std::string home = c.alreadyInFolder ? "repair" : "card";
        fixtures::AviOptions options;
        options.video.frameCount = 4;
        options.damage.dropIndex = true;
        fixtures::MakeAviRecording(scene.Path(home + "/" + front), options);
        if (c.frontBroken)
            Write(scene.Path(home + "/" + front), "not an AVI recording");
        if (c.rear)
            fixtures::MakeAviRecording(scene.Path(home + "/" + rear), options);
        const std::string before = Read(scene.Path(home + "/" + front));

        RepairRequest request;
        request.key = L"old key";
        request.model = 3;
        request.frontPath = scene.Wide(home + "/" + front);
        request.row = 7;
        RecordingRepair repair(scene.view, scene.places);
        std::atomic<bool> done{false};
        std::thread worker([&] {
            repair.Run(request);
            done = true;
        });
        EXPECT_TRUE(WaitFor([&] { return done.load(); }, 60000)) << c.what;
        worker.join();

        const std::string copy = scene.Path("repair/" + front).string();
        std::vector<std::string> log = {"show"};
        if (!c.alreadyInFolder)
            log.push_back("rekey " + copy + " old key 2024_01_02_03_04_05_F__" +
                          scene.Path("repair").string() + "//E 7");
        log.insert(log.end(), {"hide", c.frontBroken ? "message text214" : "message text212", "hide"});
        EXPECT_EQ(scene.view.log, log) << c.what;
        EXPECT_EQ(scene.view.rekeyOnGuiThread, !c.alreadyInFolder) << c.what;
        if (!c.alreadyInFolder) {
            EXPECT_EQ(Read(scene.Card(front)), before) << c.what;
        }
        if (!c.frontBroken) {
            EXPECT_GT(Read(copy).size(), before.size()) << c.what; // an index was added
        }
        EXPECT_EQ(fs::exists(scene.Path("repair/" + rear)), c.rear) << c.what;
        // Nothing but the recordings is left in the folder.
        EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(scene.Path("repair")), {})),
                  c.rear ? 2u : 1u)
            << c.what;
    }
}

} // namespace
