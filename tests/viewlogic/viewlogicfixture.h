#pragma once
// The main view's logic wired to the stand-ins, with recordings whose files exist in a folder of
// their own (the transport looks at the files themselves, and at their names).

#include "support/testfolder.h"
#include "viewer/ui/listfilter.h"
#include "viewer/ui/playbacktransport.h"
#include "viewer/ui/viewcommands.h"
#include "viewlogicfakes.h"

#include <gtest/gtest.h>

class ViewLogicTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // An empty file of that name in the folder; its wide path.
    std::wstring MakeFile(const std::string& name);
    // The folder as the engine is given it, with its trailing '/'.
    std::string FolderText() const;
    // A recording under the key whose files are made (a rear name of "" gives none).
    FakeRecording& AddRecording(const std::wstring& key, const std::string& front,
                                const std::string& rear = "");
    // Rows for every recording, oldest first; forgets every call made so far.
    void ShowAll();
    // Opens the row and forgets every call made so far.
    void OpenRow(int row);
    void ClearLogs();
    // The calls whose text begins with one of the prefixes, in order.
    Log Calls(const std::vector<std::string>& prefixes) const { return Only(calls, prefixes); }

    TestFolder folder;
    Log calls;
    FakeEngine engine{calls};
    FakeCatalogue catalogue{calls};
    FakeList list;
    FakeView view{calls};
    FakeMessageBoxes boxes{calls};
    PlaybackTransport transport{engine, catalogue, list, view};
    ListFilter filter{catalogue, list};
    ViewCommands commands{transport, filter, engine, view, view};
};

// Recorder names of the two families.
std::string Mp4Name(int second, char camera);
std::string AviName(int second, char camera);
