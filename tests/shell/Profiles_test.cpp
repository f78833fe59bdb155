#include "base/AtomicFile.h"
#include "shell/Profiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vocalix;
namespace fs = std::filesystem;

TEST(Profiles, CopyKeepsTheLinesAndRefusesWhatIsNoSettingsFile) {
    const fs::path dir =
        fs::temp_directory_path() / ("vocalix-profiles-" + std::to_string(::getpid()));
    fs::create_directories(dir / "profiles");
    const fs::path settings = dir / "$.ini";
    ASSERT_TRUE(base::WriteFileAtomic(settings, "[Text]\r\nScale=120\r\n\r\n"));
    EXPECT_EQ(shell::ProfilesFolder(dir), dir / "profiles");

    std::string error;
    const fs::path profile = dir / "profiles" / "big.ini";
    ASSERT_TRUE(shell::CopySettingsFile(settings, profile, &error)) << error;
    std::string bytes;
    ASSERT_TRUE(base::ReadFileBytes(profile, bytes));
    EXPECT_EQ(bytes, "[Text]\r\nScale=120\r\n\r\n");

    // A hand-made profile with LF line ends and no final line end.
    ASSERT_TRUE(base::WriteFileAtomic(profile, "[Form]\nWidth=900"));
    ASSERT_TRUE(shell::CopySettingsFile(profile, settings, &error));
    ASSERT_TRUE(base::ReadFileBytes(settings, bytes));
    EXPECT_EQ(bytes, "[Form]\r\nWidth=900\r\n");

    // Not a settings file, or missing: refused with a message, the target untouched.
    ASSERT_TRUE(base::WriteFileAtomic(dir / "notes.txt", "just some text\r\n"));
    EXPECT_FALSE(shell::CopySettingsFile(dir / "notes.txt", settings, &error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(shell::CopySettingsFile(dir / "missing.ini", settings, &error));
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(base::ReadFileBytes(settings, bytes));
    EXPECT_EQ(bytes, "[Form]\r\nWidth=900\r\n");
    fs::remove_all(dir);
}
