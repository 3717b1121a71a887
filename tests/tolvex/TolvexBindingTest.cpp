// Loading real copies of the library (and of stand-ins for older versions) from the
// program's folder and from "libs" beside it.

#include "directory/Tolvex.h"

#include "tests/tolvex/TolvexTestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

using directory::TolvexLibrary;
using tolvex_test::ReadFile;
using tolvex_test::TempFolder;
using tolvex_test::WriteFile;
namespace fs = std::filesystem;

namespace {

// A program folder "bin" in a fresh folder, with "libs" beside it.
class TolvexBinding : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(ProgramFolder());
        fs::create_directory(LibsFolder());
    }
    void TearDown() override { directory::FreeHelperDll(); }

    fs::path ProgramFolder() const { return root_.Path() / "bin"; }
    fs::path LibsFolder() const { return root_.Path() / "libs"; }
    static void Install(const char* builtFile, const fs::path& folder) {
        fs::copy_file(builtFile, folder / directory::kTolvexFileName);
    }

    TempFolder root_;
};

} // namespace

TEST_F(TolvexBinding, LoadsFromTheProgramFolderFirst) {
    Install(TOLVEX_LIBRARY_FILE, ProgramFolder());
    Install(TOLVEX_STUB_V1_FILE, LibsFolder());
    auto library = TolvexLibrary::Load(ProgramFolder());
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->Folder(), ProgramFolder().string() + "/");
    EXPECT_EQ(library->Version(), 3);
    ASSERT_TRUE(library->SetSettingValue("TREES", "ACME", "O=ACME"));
    EXPECT_EQ(ReadFile(ProgramFolder() / "Tolvex.ini"), "[TREES]\r\nACME=O=ACME\r\n");
    EXPECT_EQ(library->GetSettingValue("trees", "acme", "[root]"), "O=ACME");
}

TEST_F(TolvexBinding, FallsBackToLibsBesideTheProgramFolder) {
    Install(TOLVEX_LIBRARY_FILE, LibsFolder());
    for (const fs::path& given : {ProgramFolder(), fs::path(ProgramFolder().string() + "/")}) {
        auto library = TolvexLibrary::Load(given);
        ASSERT_NE(library, nullptr) << given;
        EXPECT_EQ(library->Folder(), LibsFolder().string() + "/");
        ASSERT_TRUE(library->SetSettingValue("S", "K", "v"));
        EXPECT_TRUE(fs::exists(LibsFolder() / "Tolvex.ini"));
        EXPECT_FALSE(fs::exists(ProgramFolder() / "Tolvex.ini"));
    }
}

TEST_F(TolvexBinding, MissingLibraryIsReportedAndTheProgramBindingAnswersSafely) {
    EXPECT_EQ(TolvexLibrary::Load(ProgramFolder()), nullptr);
    EXPECT_EQ(TolvexLibrary::Load(root_.Path() / "no" / "such" / "folder"), nullptr);
    EXPECT_FALSE(directory::LoadHelperDll(ProgramFolder()));
    EXPECT_EQ(directory::HelperDll(), nullptr);
    EXPECT_STREQ(directory::kTolvexMissingMessage, "Error: can't find Tolvex.dll");
    EXPECT_EQ(directory::HelperDllVersion(), 0);
    EXPECT_NE(directory::GetIconsImage(), 0);
    EXPECT_EQ(directory::GetIcons(), nullptr);
    EXPECT_LT(directory::GetIconNumber("Tree"), 0);
    EXPECT_EQ(directory::GetSettingValue("TREES", "ACME", "[root]"), "[root]");
    EXPECT_FALSE(directory::SetSettingValue("TREES", "ACME", "O=ACME"));
}

TEST_F(TolvexBinding, UnloadableFileInTheProgramFolderIsNotPassedOver) {
    WriteFile(ProgramFolder() / directory::kTolvexFileName, "not a library");
    Install(TOLVEX_LIBRARY_FILE, LibsFolder());
    EXPECT_EQ(TolvexLibrary::Load(ProgramFolder()), nullptr);
}

TEST_F(TolvexBinding, ProgramBindingServesIconsAndSettingsUntilFreed) {
    Install(TOLVEX_LIBRARY_FILE, ProgramFolder());
    ASSERT_TRUE(directory::LoadHelperDll(ProgramFolder()));
    EXPECT_EQ(directory::HelperDllVersion(), 3);
    EXPECT_EQ(directory::GetIcons(), nullptr); // a fresh copy: nothing prepared yet
    ASSERT_EQ(directory::GetIconsImage(), 0);
    const TolvexIconStrip* strip = directory::GetIcons();
    ASSERT_NE(strip, nullptr);
    int locator = directory::GetIconNumber("dnip:locator");
    EXPECT_GE(locator, 0);
    EXPECT_LT(locator, strip->count);
    EXPECT_LT(directory::GetIconNumber("No Such Class"), 0);

    const std::string longest(TOLVEX_VALUE_BUFFER - 1, 'v');
    EXPECT_TRUE(directory::SetSettingValue("TREES", "ACME", longest));
    EXPECT_EQ(directory::GetSettingValue("TREES", "ACME", "[root]"), longest);
    EXPECT_FALSE(directory::SetSettingValue("TREES", "ACME", longest + "v"));
    EXPECT_EQ(directory::GetSettingValue("TREES", "OTHER", "[root]"), "[root]");

    directory::FreeHelperDll();
    EXPECT_EQ(directory::HelperDllVersion(), 0);
    EXPECT_LT(directory::GetIconNumber("dnip:locator"), 0);
}

TEST_F(TolvexBinding, VersionOneHasNoSettingsStore) {
    Install(TOLVEX_STUB_V1_FILE, ProgramFolder());
    auto library = TolvexLibrary::Load(ProgramFolder());
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->Version(), 1);
    EXPECT_FALSE(library->HasSettingsStore());
    EXPECT_EQ(library->GetSettingValue("TREES", "ACME", "[root]"), "[root]");
    EXPECT_FALSE(library->SetSettingValue("TREES", "ACME", "O=ACME"));
    EXPECT_EQ(library->GetIconsImage(), 7); // the library's own error code comes through
}

TEST_F(TolvexBinding, LibraryIsToldTheFolderItWasLoadedFrom) {
    Install(TOLVEX_STUB_V1_FILE, LibsFolder());
    auto library = TolvexLibrary::Load(ProgramFolder());
    ASSERT_NE(library, nullptr);
    void* handle = ::dlopen((LibsFolder() / directory::kTolvexFileName).c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    auto lastPath = reinterpret_cast<const char* (*)()>(::dlsym(handle, "stub_last_path"));
    ASSERT_NE(lastPath, nullptr);
    EXPECT_EQ(std::string(lastPath()), LibsFolder().string() + "/");
    ::dlclose(handle);
}

TEST_F(TolvexBinding, UnterminatedSettingValueIsNeverReadPastTheBuffer) {
    Install(TOLVEX_STUB_V2_FILE, ProgramFolder());
    auto library = TolvexLibrary::Load(ProgramFolder());
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->Version(), 2);
    EXPECT_EQ(library->GetSettingValue("S", "K", "-"), std::string(TOLVEX_VALUE_BUFFER - 1, 'x'));
}

TEST_F(TolvexBinding, LibraryLackingAnEntryItsVersionPromisesIsRefused) {
    Install(TOLVEX_STUB_V3_WITHOUT_IMAGES_FILE, ProgramFolder());
    EXPECT_EQ(TolvexLibrary::Load(ProgramFolder()), nullptr);
}

TEST(TolvexFreshCopy, SettingsNeedTheFolderFirst) {
    TempFolder folder;
    fs::copy_file(TOLVEX_LIBRARY_FILE, folder.Path() / directory::kTolvexFileName);
    void* handle = ::dlopen((folder.Path() / directory::kTolvexFileName).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr);
    auto setValue = reinterpret_cast<tolvex_set_value_fn>(::dlsym(handle, "set_value"));
    auto getValue = reinterpret_cast<tolvex_get_value_fn>(::dlsym(handle, "get_value"));
    ASSERT_NE(setValue, nullptr);
    ASSERT_NE(getValue, nullptr);
    EXPECT_EQ(setValue("S", "K", "v"), TOLVEX_ERROR_NO_PATH);
    char result[TOLVEX_VALUE_BUFFER];
    EXPECT_EQ(getValue("S", "K", "dflt", result), 1);
    EXPECT_STREQ(result, "dflt");
    ::dlclose(handle);
}
