#include "base/AtomicFile.h"
#include "base/ProgramFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vocalix::base;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir() {
        path = fs::temp_directory_path() /
               ("vocalix-pf-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    static inline int counter = 0;
};

std::string Read(const fs::path& p) {
    std::string s;
    ReadFileBytes(p, s);
    return s;
}

} // namespace

TEST(ProgramFolder, WritableExecutableFolderIsTheProgramFolder) {
    TempDir t;
    ProgramFolderEnvironment env;
    env.home = (t.path / "home").string();
    env.isWritable = IsWritableFolder;
    EXPECT_EQ(ResolveProgramFolder(t.path, env), t.path);
    EXPECT_FALSE(fs::exists(t.path / "home")); // nothing created elsewhere
    // The probe file does not stay behind.
    EXPECT_TRUE(fs::is_empty(t.path));
    EXPECT_FALSE(IsWritableFolder(t.path / "missing"));
}

TEST(ProgramFolder, ReadOnlyInstallIsSeededIntoTheUserFolderOnce) {
    TempDir t;
    const fs::path bin = t.path / "opt" / "bin";
    const fs::path share = t.path / "opt" / "share" / "vocalix";
    fs::create_directories(bin);
    fs::create_directories(share / "dic");
    fs::create_directories(share / "sounds");
    ASSERT_TRUE(WriteFileAtomic(share / "dic" / "a.dic", "word=word\r\n"));
    ASSERT_TRUE(WriteFileAtomic(share / "sounds" / "complete.wav", "RIFF"));
    ASSERT_TRUE(WriteFileAtomic(bin / "vocalix", "ELF"));
    fs::permissions(bin / "vocalix", fs::perms::owner_exec, fs::perm_options::add);

    ProgramFolderEnvironment env;
    env.home = (t.path / "home").string();
    env.isWritable = [&](const fs::path& p) { return p != bin && IsWritableFolder(p); };

    const fs::path user = t.path / "home" / ".local" / "share" / "vocalix";
    ASSERT_EQ(ResolveProgramFolder(bin, env), user);
    EXPECT_EQ(Read(user / "dic" / "a.dic"), "word=word\r\n");
    EXPECT_EQ(Read(user / "sounds" / "complete.wav"), "RIFF");

    // The user's own changes survive the next start; files added to the install arrive.
    ASSERT_TRUE(WriteFileAtomic(user / "dic" / "a.dic", "mine\r\n"));
    fs::create_directories(share / "profiles");
    EXPECT_EQ(ResolveProgramFolder(bin, env), user);
    EXPECT_EQ(Read(user / "dic" / "a.dic"), "mine\r\n");
    EXPECT_TRUE(fs::is_directory(user / "profiles"));

    // $XDG_DATA_HOME wins over ~/.local/share when it is absolute.
    env.xdgDataHome = (t.path / "xdg").string();
    EXPECT_EQ(ResolveProgramFolder(bin, env), t.path / "xdg" / "vocalix");
    EXPECT_TRUE(fs::exists(t.path / "xdg" / "vocalix" / "dic" / "a.dic"));
    env.xdgDataHome = "relative/xdg";
    EXPECT_EQ(UserDataFolder(env), user);
}

TEST(ProgramFolder, DataBesideTheExecutableIsSeededWithoutTheExecutables) {
    TempDir t;
    const fs::path opt = t.path / "opt";
    fs::create_directories(opt / "dic");
    ASSERT_TRUE(WriteFileAtomic(opt / "~orfo~", "x"));
    fs::create_directories(opt / "CMakeFiles"); // a read-only build tree
    ASSERT_TRUE(WriteFileAtomic(opt / "CMakeFiles" / "big.o", "obj"));
    ASSERT_TRUE(WriteFileAtomic(opt / "vocalix-cli", "ELF"));
    fs::permissions(opt / "vocalix-cli", fs::perms::owner_exec, fs::perm_options::add);
    EXPECT_EQ(InstalledDataFolder(opt), opt);
    ProgramFolderEnvironment env;
    env.xdgDataHome = (t.path / "xdg").string();
    env.isWritable = [&](const fs::path& p) { return p != opt && IsWritableFolder(p); };
    const fs::path user = ResolveProgramFolder(opt, env);
    EXPECT_TRUE(fs::is_directory(user / "dic"));
    EXPECT_TRUE(fs::exists(user / "~orfo~"));
    EXPECT_FALSE(fs::exists(user / "vocalix-cli"));
    EXPECT_FALSE(fs::exists(user / "CMakeFiles"));
}

TEST(ProgramFolder, InstallationUsesTheUserFolderEvenWhenItsBinIsWritable) {
    TempDir t;
    const fs::path bin = t.path / "usr" / "bin";
    const fs::path share = t.path / "usr" / "share" / "vocalix";
    fs::create_directories(bin);
    fs::create_directories(share / "dic" / "extra");
    fs::create_directories(share / "help");
    ASSERT_TRUE(WriteFileAtomic(share / "dic" / ".gitkeep", ""));
    ASSERT_TRUE(WriteFileAtomic(share / "dic" / "a.dic", "word=word\r\n"));
    ASSERT_TRUE(WriteFileAtomic(share / "help" / "Vocalix.html", "old manual"));
    ASSERT_TRUE(IsInstalledLayout(bin));
    EXPECT_FALSE(IsInstalledLayout(share)); // a folder with its own dic/ is a program folder

    ProgramFolderEnvironment env;
    env.xdgDataHome = (t.path / "xdg").string();
    env.isWritable = IsWritableFolder; // root, or a prefix the user owns
    const fs::path user = t.path / "xdg" / "vocalix";
    ASSERT_EQ(ResolveProgramFolder(bin, env), user);
    EXPECT_TRUE(fs::is_empty(bin));
    EXPECT_EQ(Read(user / "dic" / "a.dic"), "word=word\r\n");
    EXPECT_TRUE(fs::is_directory(user / "dic" / "extra"));
    EXPECT_FALSE(fs::exists(user / "dic" / ".gitkeep"));

    // An upgrade brings a new manual and new files; the user's edits and own files stay.
    ASSERT_TRUE(WriteFileAtomic(user / "dic" / "a.dic", "mine\r\n"));
    ASSERT_TRUE(WriteFileAtomic(user / "dic" / "own.dic", "own\r\n"));
    ASSERT_TRUE(WriteFileAtomic(share / "dic" / "a.dic", "word=newer\r\n"));
    ASSERT_TRUE(WriteFileAtomic(share / "dic" / "extra" / "b.ini", "rule\r\n"));
    ASSERT_TRUE(WriteFileAtomic(share / "help" / "Vocalix.html", "new manual"));
    ASSERT_EQ(ResolveProgramFolder(bin, env), user);
    EXPECT_EQ(Read(user / "dic" / "a.dic"), "mine\r\n");
    EXPECT_EQ(Read(user / "dic" / "own.dic"), "own\r\n");
    EXPECT_EQ(Read(user / "dic" / "extra" / "b.ini"), "rule\r\n");
    EXPECT_EQ(Read(user / "help" / "Vocalix.html"), "new manual");
    // Seeding leaves no temporary files behind.
    for (const auto& e : fs::recursive_directory_iterator(user))
        EXPECT_NE(e.path().filename().string().front(), '.') << e.path();

    // No per-user folder can be made: the installed data is still read from where it lies.
    ASSERT_TRUE(WriteFileAtomic(t.path / "file", "x"));
    env.xdgDataHome = (t.path / "file").string();
    EXPECT_EQ(ResolveProgramFolder(bin, env), share);
}
