// The state folder under attack and in disrepair: links planted where the
// game writes, pipes and folders where it reads, a folder others may write
// in, and the new files of games that were killed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/state_files.h"
#include "tests/test_support.h"

namespace {

class StateFilesTest : public ::testing::Test {
protected:
    TempTree state;
    std::string folder;
    void SetUp() override {
        setenv("XDG_STATE_HOME", state.root.c_str(), 1);
        folder = state.root + "/chessrpg";
    }
    void TearDown() override { unsetenv("XDG_STATE_HOME"); }
    std::string Path(const std::string& name) const { return folder + "/" + name; }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    // Writes the file as the game does; "" when it was written, else why not.
    static std::string WriteState(const std::string& name, const std::string& bytes) {
        char why[512];
        return PlatformWriteStateFile(name.c_str(), bytes.data(), bytes.size(), why, sizeof why) ? "" : why;
    }
    // Opens the file as the game does: its first bytes, or "refused: why".
    static std::string ReadState(const std::string& name) {
        char why[512];
        std::FILE* file = PlatformOpenStateFile(name.c_str(), why, sizeof why);
        if (!file) return std::string("refused: ") + why;
        char bytes[64] = {};
        std::size_t got = std::fread(bytes, 1, sizeof bytes - 1, file);
        std::fclose(file);
        return std::string(bytes, got);
    }
};

TEST_F(StateFilesTest, ALinkPlantedAtTheNewFilesNameNeverLeadsTheWriteElsewhere) {
    state.Write("victim.txt", "the player's own file");
    ASSERT_EQ(WriteState("save.txt", "first"), "");
    const std::string planted = Path("save.txt.tmp-" + std::to_string(getpid()));
    ASSERT_EQ(symlink((state.root + "/victim.txt").c_str(), planted.c_str()), 0);

    EXPECT_EQ(WriteState("save.txt", "second"), "");
    EXPECT_EQ(Read(state.root + "/victim.txt"), "the player's own file");
    EXPECT_EQ(Read(Path("save.txt")), "second");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(planted)));
}

TEST_F(StateFilesTest, PipesFoldersAndLinksAtAStateFilesNameAreNotRegularFilesAndNeverWaitedOn) {
    std::filesystem::create_directories(folder);
    ASSERT_EQ(mkfifo(Path("pipe.txt").c_str(), 0600), 0);
    std::filesystem::create_directories(Path("folder.txt"));
    state.Write("elsewhere.txt", "not in the state folder");
    ASSERT_EQ(symlink((state.root + "/elsewhere.txt").c_str(), Path("link.txt").c_str()), 0);

    EXPECT_EQ(ReadState("pipe.txt"), "refused: cannot read " + Path("pipe.txt") + ": not a regular file");
    EXPECT_EQ(ReadState("folder.txt"), "refused: cannot read " + Path("folder.txt") + ": not a regular file");
    EXPECT_EQ(ReadState("link.txt"), "refused: cannot read " + Path("link.txt") + ": not a regular file (a link)");
    EXPECT_EQ(ReadState("missing.txt"), "refused: ");
    // The lock is a state file like the others.
    char why[512];
    EXPECT_EQ(PlatformLockStateFile("pipe.txt", why, sizeof why), StateLock::kUnavailable);
}

TEST_F(StateFilesTest, AFolderOthersMayWriteInIsNotUsed) {
    ASSERT_EQ(WriteState("save.txt", "mine"), "");
    ASSERT_EQ(chmod(folder.c_str(), 0777), 0);
    const std::string why = "cannot use the folder " + folder + ": others may write in it (chmod 700 makes it yours alone)";
    EXPECT_EQ(WriteState("save.txt", "changed"), why);
    EXPECT_EQ(ReadState("save.txt"), "refused: " + why);
    ASSERT_EQ(chmod(folder.c_str(), 0700), 0);
    EXPECT_EQ(ReadState("save.txt"), "mine");
}

TEST_F(StateFilesTest, TheNewFilesOfGamesThatAreGoneAreRemovedAtTheNextWrite) {
    pid_t child = fork();
    if (child == 0) _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);  // its number now names no process
    std::filesystem::create_directories(folder);
    const std::string dead = "save.txt.tmp-" + std::to_string(child);
    const std::string living = "save.txt.tmp-" + std::to_string(getppid());
    const std::string otherSave = "other.txt.tmp-" + std::to_string(child);
    for (const std::string& name : {dead, living, otherSave}) state.Write("chessrpg/" + name, "half a save");

    ASSERT_EQ(WriteState("save.txt", "whole"), "");
    EXPECT_FALSE(std::filesystem::exists(Path(dead)));
    EXPECT_TRUE(std::filesystem::exists(Path(living))) << "its writer may still rename it";
    EXPECT_TRUE(std::filesystem::exists(Path(otherSave))) << "another save's";
}

}  // namespace
