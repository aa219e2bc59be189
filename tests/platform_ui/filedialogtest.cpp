// The open dialog and the folder browser on Qt's file dialog, driven as a user would once it runs:
// whatever is chosen comes back whole, however many names and however long.

#include "uitest.h"

#include "platform/ui/filedialog.h"
#include "platform/ui/folderdialog.h"
#include "platform/ui/qtaccess.h"

#include "support/testfolder.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Once the modal dialog that starts next runs, hands the visible file dialog to the call.
void WhenDialogRuns(std::function<void(QFileDialog&)> call) {
    QTimer::singleShot(0, qApp, [call = std::move(call)] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog != nullptr && dialog->isVisible()) {
                call(*dialog);
                return;
            }
        }
        ADD_FAILURE() << "no file dialog runs";
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            modal->reject();
    });
}

// Chooses the names of the folder as a user types them, quoted, into the name field.
void Choose(QFileDialog& dialog, const fs::path& folder, const std::vector<std::string>& names) {
    dialog.setDirectory(QString::fromStdString(folder.string()));
    QString typed;
    for (const std::string& name : names)
        typed += QLatin1Char('"') + QString::fromStdString(name) + QStringLiteral("\" ");
    dialog.selectFile(typed.trimmed());
    static_cast<QDialog&>(dialog).accept();
}

std::vector<std::wstring> ChosenPaths(const CFileDialog& dialog) {
    std::vector<std::wstring> paths;
    for (POSITION position = dialog.GetStartPosition(); position != nullptr;)
        paths.push_back(std::wstring(dialog.GetNextPathName(position)));
    return paths;
}

fs::path DeepFolder(const fs::path& base) {
    fs::path deep = base;
    for (char part = 'a'; part < 'g'; ++part)
        deep /= std::string(200, part);
    fs::create_directories(deep);
    return deep;
}

std::wstring Wide(const fs::path& path) {
    return QString::fromStdString(path.string()).toStdWString();
}

constexpr DWORD kMultiSelect = OFN_HIDEREADONLY | OFN_NOVALIDATE | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST |
                               OFN_NOREADONLYRETURN | OFN_LONGNAMES;

} // namespace

TEST(FileDialog, FiltersAreReadFromTheClassLibrarysForm) {
    const struct {
        const wchar_t* filter;
        const wchar_t* fileName;
        QStringList filters;
        QString selected;
    } cases[] = {
        {L"MP4 File (*.mp4)|*.mp4|MOV File (*.mov)|*.mov|INI File (*.ini)|*.ini||",
         L"*.mov",
         {"MP4 File (*.mp4)", "MOV File (*.mov)", "INI File (*.ini)"},
         "MOV File (*.mov)"},
        {L"AVI File (*.avi)|*.avi|INI File (*.ini)|*.ini||",
         L"*.avi",
         {"AVI File (*.avi)", "INI File (*.ini)"},
         "AVI File (*.avi)"},
        {L"Pictures|*.bmp;*.jpg|Text (*.txt)|*.text||",
         nullptr,
         {"Pictures (*.bmp *.jpg)", "Text (*.txt) (*.text)"},
         "Pictures (*.bmp *.jpg)"},
    };
    TestWindow owner;
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 300, 200)));
    for (const auto& test : cases) {
        SCOPED_TRACE(QString::fromWCharArray(test.filter).toStdString());
        CFileDialog dialog(TRUE, L"*.avi", test.fileName, kMultiSelect, test.filter, &owner);
        QStringList filters;
        QString selected;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        QString suffix;
        QWidget* parent = nullptr;
        WhenDialogRuns([&](QFileDialog& shown) {
            filters = shown.nameFilters();
            selected = shown.selectedNameFilter();
            mode = shown.fileMode();
            suffix = shown.defaultSuffix();
            parent = shown.parentWidget();
            shown.reject();
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(filters, test.filters);
        EXPECT_EQ(selected, test.selected);
        EXPECT_EQ(mode, QFileDialog::ExistingFiles);
        EXPECT_EQ(suffix, QStringLiteral("avi"));
        EXPECT_EQ(parent, WidgetFromHandle(owner.m_hWnd));
        // A cancel leaves no path.
        EXPECT_EQ(dialog.GetStartPosition(), nullptr);
        EXPECT_TRUE(dialog.GetPathName().IsEmpty());
    }
}

TEST(FileDialog, SaveDialogGivesTheChosenFilterAndItsExtensionToANameWithoutOne) {
    const wchar_t* const filter = L"JPEG File (*.jpg)|*.jpg|Bitmap File (*.bmp)|*.bmp|PNG File (*.png)|*.png||";
    const struct {
        int chosenFilter; // 0: the one the dialog starts with
        std::string typed;
        std::string returned;
        int filterIndex;
    } cases[] = {
        {0, "crash", "crash.jpg", 1},
        {3, "crash", "crash.png", 3},
        {2, "crash.JPEG", "crash.JPEG", 2},
    };
    TestFolder folder;
    for (const auto& test : cases) {
        SCOPED_TRACE(test.typed);
        CFileDialog dialog(FALSE, L".jpg", L"*.jpg", OFN_HIDEREADONLY | OFN_NOREADONLYRETURN | OFN_LONGNAMES, filter);
        WhenDialogRuns([&](QFileDialog& shown) {
            if (test.chosenFilter != 0) {
                // As the user picks it from the list of types.
                auto* types = shown.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                ASSERT_NE(types, nullptr);
                types->setCurrentIndex(test.chosenFilter - 1);
                emit types->activated(test.chosenFilter - 1);
                emit types->textActivated(types->currentText());
            }
            Choose(shown, folder.Path(), {test.typed});
        });
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(std::wstring(dialog.GetPathName()), folder.Wide(test.returned));
        EXPECT_EQ(dialog.GetFilterIndex(), test.filterIndex);
    }
}

TEST(FileDialog, EveryChosenFileComesBackWholeInTheDialogsOrder) {
    TestFolder folder;
    // Far more than a name buffer of 5000 characters held, in a folder deeper than 1023 characters.
    const fs::path deep = DeepFolder(folder.Path());
    std::vector<std::string> names;
    for (int i = 0; i < 150; ++i) {
        names.push_back(std::string(60, 'r') + std::to_string(1000 + i) + ".avi");
        std::ofstream(deep / names.back()).put('x');
    }
    std::vector<std::wstring> expected;
    size_t characters = 0;
    for (const std::string& name : names) {
        expected.push_back(Wide(deep / name));
        characters += expected.back().size() + 1;
    }
    ASSERT_GT(expected.front().size(), 1023u);
    ASSERT_GT(characters, 100000u);

    CFileDialog dialog(TRUE, L"*.avi", L"*.avi", kMultiSelect,
                       L"AVI File (*.avi)|*.avi|INI File (*.ini)|*.ini||");
    WhenDialogRuns([&](QFileDialog& shown) { Choose(shown, deep, names); });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(ChosenPaths(dialog), expected);
    EXPECT_EQ(std::wstring(dialog.GetPathName()), expected.front());

    // One file alone.
    WhenDialogRuns([&](QFileDialog& shown) { Choose(shown, deep, {names[7]}); });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(ChosenPaths(dialog), std::vector<std::wstring>{expected[7]});
}

TEST(FolderDialog, TheChosenFolderComesBackWhole) {
    TestFolder folder;
    const fs::path deep = DeepFolder(folder.Path());
    ASSERT_GT(deep.string().size(), 1023u);
    TestWindow owner;
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 300, 200)));

    CFolderDialog dialog(L"Select...", &owner);
    QString title;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    bool foldersOnly = false;
    QWidget* parent = nullptr;
    WhenDialogRuns([&](QFileDialog& shown) {
        title = shown.windowTitle();
        mode = shown.fileMode();
        foldersOnly = shown.testOption(QFileDialog::ShowDirsOnly);
        parent = shown.parentWidget();
        shown.setDirectory(QString::fromStdString(deep.parent_path().string()));
        shown.selectFile(QString::fromStdString(deep.filename().string()));
        static_cast<QDialog&>(shown).accept();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(std::wstring(dialog.GetFolderPath()), Wide(deep));
    EXPECT_EQ(title, QStringLiteral("Select..."));
    EXPECT_EQ(mode, QFileDialog::Directory);
    EXPECT_TRUE(foldersOnly);
    EXPECT_EQ(parent, WidgetFromHandle(owner.m_hWnd));

    WhenDialogRuns([](QFileDialog& shown) { shown.reject(); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(dialog.GetFolderPath().IsEmpty());
}
