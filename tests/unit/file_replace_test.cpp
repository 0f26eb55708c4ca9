// The program's one writer on its own: what it does with links, folders, new files and the
// temporary files that killed processes leave behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "../e2e/script_run.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

class FileReplace : public testing_support::TempDirTest {
  protected:
    FileReplace() : TempDirTest("zuva-replace") {}
    std::string p(const std::string& name) const { return (fs::path(dir) / name).string(); }
    int entries() const {
        int n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
            ++n;
        return n;
    }
};

TEST_F(FileReplace, ALinkStaysALinkAndItsFileGetsTheText) {
    ASSERT_TRUE(write_file_bytes(p("real.txt"), "stare"));
    fs::create_symlink("real.txt", p("link.txt"));
    ASSERT_TRUE(write_file_bytes(p("link.txt"), "nowe"));
    EXPECT_TRUE(fs::is_symlink(p("link.txt")));
    EXPECT_EQ(read_file_bytes(p("real.txt")), std::optional<std::string>("nowe"));
    EXPECT_EQ(entries(), 2);
}

TEST_F(FileReplace, AFolderOrAMissingFolderIsAFailureThatLeavesNothing) {
    fs::create_directory(p("kat"));
    std::string why;
    EXPECT_FALSE(write_file_bytes(p("kat"), "x", why));
    EXPECT_EQ(why, "to jest katalog");
    EXPECT_FALSE(write_file_bytes(p("brak/plik.txt"), "x", why));
    EXPECT_EQ(why, "katalog nie istnieje");
    EXPECT_EQ(entries(), 1);
}

TEST_F(FileReplace, ANewFileGetsTheModeOfTheUmask) {
    mode_t old = umask(027);
    ASSERT_TRUE(write_file_bytes(p("nowy.txt"), "x"));
    umask(old);
    struct stat st {};
    ASSERT_EQ(stat(p("nowy.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// A temporary file of a process that has ended goes at the next write of the same file; one of
// a running process, and those of other files, stay.
TEST_F(FileReplace, OnlyTheTemporaryFilesOfEndedProcessesAreRemoved) {
    pid_t child = fork();
    if (child == 0) _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    const std::string dead = ".A.txt.zapis-" + std::to_string(child) + "-abcdef";
    const std::string live = ".A.txt.zapis-" + std::to_string(getpid()) + "-abcdef";
    const std::string other = ".B.txt.zapis-" + std::to_string(child) + "-abcdef";
    for (const auto& n : {dead, live, other})
        ASSERT_TRUE(write_file_bytes(p(n), "resztka"));
    ASSERT_TRUE(write_file_bytes(p("A.txt"), "nowe"));
    EXPECT_FALSE(fs::exists(p(dead)));
    EXPECT_TRUE(fs::exists(p(live)));
    EXPECT_TRUE(fs::exists(p(other)));
}

}  // namespace
}  // namespace zuva
