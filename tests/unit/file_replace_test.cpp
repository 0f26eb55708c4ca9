// The program's one writer on its own: what it does with links, folders, new files and the
// temporary files that killed processes leave behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// A dangling link is written through: the file it names is created and the link stays; a
// circle of links is refused and leaves nothing.
TEST_F(FileReplace, ADanglingLinkIsWrittenThroughAndACircleIsRefused) {
    fs::create_directory(p("kat"));
    fs::create_symlink("kat/cel.txt", p("link.txt"));
    ASSERT_TRUE(write_file_bytes(p("link.txt"), "nowe"));
    EXPECT_TRUE(fs::is_symlink(p("link.txt")));
    EXPECT_EQ(read_file_bytes(p("kat/cel.txt")), std::optional<std::string>("nowe"));
    fs::create_symlink("b", p("a"));
    fs::create_symlink("a", p("b"));
    int err = 0;
    EXPECT_FALSE(replace_file(p("a"), "x", err));
    EXPECT_EQ(err, ELOOP);
    EXPECT_TRUE(fs::is_symlink(p("a")));
    EXPECT_EQ(entries(), 4);
}

// Names up to the longest a folder takes are written; the temporary name does not lengthen them.
TEST_F(FileReplace, NamesNearTheLongestAllowedAreWritten) {
    for (std::size_t length : {245u, 255u}) {
        const std::string name = std::string(length - 4, 'a') + ".txt";
        std::string why;
        EXPECT_TRUE(write_file_bytes(p(name), "tekst", why)) << length << ": " << why;
        EXPECT_EQ(read_file_bytes(p(name)), std::optional<std::string>("tekst"));
    }
}

// A temporary file goes only when it is old and no writer holds it, wherever that writer runs:
// one held from another PID namespace (its PID means nothing here) stays, as does a young one
// and a file that is not the writer's.
TEST_F(FileReplace, OnlyOldTemporaryFilesThatNoWriterHoldsAreRemoved) {
    pid_t child = fork();
    if (child == 0) _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    const std::string dead =
        ".A.txt.zapis-" + std::to_string(child) + "-abcdef";  // as earlier versions named them
    const std::string held = ".A.txt.zapis-" + std::to_string(child) + "-ghijkl";
    const std::string young = ".zapis-abcdefghijkl";
    const std::string other = ".B.txt";
    for (const auto& n : {dead, held, young, other})
        std::ofstream(p(n)) << "resztka";
    const auto past = fs::file_time_type::clock::now() - std::chrono::hours(2);
    for (const auto& n : {dead, held, other})
        fs::last_write_time(p(n), past);
    // The holder: in a PID namespace of its own where the test may make one, else a child.
    const std::string holder = "exec flock -n '" + p(held) + "' sleep 30";
    const std::string namespaced = "unshare --pid --fork --kill-child sh -c \"" + holder + "\"";
    pid_t h = fork();
    if (h == 0) {
        if (std::system("unshare --pid --fork true 2>/dev/null") == 0)
            execl("/bin/sh", "sh", "-c", ("exec " + namespaced).c_str(), nullptr);
        execl("/bin/sh", "sh", "-c", holder.c_str(), nullptr);
        _exit(127);
    }
    ASSERT_GT(h, 0);
    bool locked = false;
    for (int i = 0; i < 500 && !locked; ++i) {
        int fd = open(p(held).c_str(), O_RDONLY);
        locked = flock(fd, LOCK_EX | LOCK_NB) != 0;
        close(fd);
        if (!locked) usleep(10000);
    }
    ASSERT_TRUE(locked);
    EXPECT_TRUE(write_file_bytes(p("A.txt"), "nowe"));
    kill(h, SIGKILL);
    waitpid(h, nullptr, 0);
    EXPECT_FALSE(fs::exists(p(dead)));
    EXPECT_TRUE(fs::exists(p(held)));
    EXPECT_TRUE(fs::exists(p(young)));
    EXPECT_TRUE(fs::exists(p(other)));
}

}  // namespace
}  // namespace zuva
