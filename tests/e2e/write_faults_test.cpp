// Every writer of the program over an existing file, with writes, flushes and renames made
// to fail by a preloaded library (tests/fault_shim), and with the program killed between
// writing and renaming: the old file must stay byte for byte, with nothing left beside it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "script_run.h"
#include "text/codec.h"
#include "text/file_io.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

const std::string kOld = "stara treść\r\nnie do stracenia\r\n";

struct Writer {
    const char* name;
    std::string target;
    std::vector<std::string> answers;  // they end right after the file is written
    bool writes_bytes = true;          // false: a new base or description is an empty file
};

// A base that a forward run goes through without a question, then the summary question.
const std::vector<std::string> kToSummary = {"10064", "REX.BEN", "Nie", "Nie", "10164", "1", "NIE", "1"};

std::vector<std::string> plus(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<Writer> kWriters = {
    {"report", "R.RPT", plus(kToSummary, {"NIE", "Tak", "R.RPT", "Tak"})},
    {"summary", "S.txt", plus(kToSummary, {"TAK", "S.txt", "TAK"})},
    {"askable", "D.txt", {"10064", "REX.BEN", "Nie", "Nie", "10160", "D.txt", "Tak"}},
    {"base", "REY.BEN", {"10071", "REY.BEN", "Tak"}, false},
    {"description", "X.opi", {"10155", "X.opi", "Tak"}, false},
};

class WriteFaults : public testing_support::AnswerScriptTest {
  protected:
    WriteFaults() : AnswerScriptTest("zuva-faults") {}
    void SetUp() override {
#ifdef ZUVA_SANITIZED_BUILD
        GTEST_SKIP() << "the fault library is preloaded before the sanitizer runtime, which the "
                        "sanitizer refuses; these faults are tested in the normal build";
#endif
        AnswerScriptTest::SetUp();
        ASSERT_TRUE(write_file_bytes(
            path("REX.BEN"),
            utf8_to_cp1250_lossy("fakt(\"a\",\"1.0\")\nreguła(1,\"c\",[\"a\"],1,\"0.8\")\n")));
    }

    // The program on the answers, with ZUVA_FAULT set to `fault` ("" for none) and the fault
    // library preloaded; its exit status (128 + signal when killed).
    int run_with(const std::vector<std::string>& answers, const std::string& fault) {
        std::string text;
        for (const auto& a : answers)
            text += a + "\n";
        EXPECT_TRUE(write_file_bytes(path("odp.txt"), text));
        std::string env = fault.empty() ? "" : "ZUVA_FAULT='" + fault + "' LD_PRELOAD='" ZUVA_FAULT_SHIM "' ";
        std::string cmd = "cd '" + path("") + "' && " + env +
                          "timeout 60 '" ZUVA_BINARY "' --answers odp.txt >out.txt 2>err.txt";
        int rc = std::system(cmd.c_str());
        out = file("out.txt");
        err = file("err.txt");
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }

    // The temporary files of the writer in the folder.
    std::vector<std::string> temps_of(const std::string&) const {
        std::vector<std::string> found;
        for (const auto& e : fs::directory_iterator(path("")))
            if (e.path().filename().string().rfind(".zapis-", 0) == 0)
                found.push_back(e.path().filename().string());
        return found;
    }

    void put_old(const Writer& w) {
        ASSERT_TRUE(write_file_bytes(path(w.target), kOld));
        fs::permissions(path(w.target),
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    }
};

// Each writer: with the write cut short, the flush failing or the rename failing, the old
// file stays and the user is told; without a fault the same answers replace the file and
// it keeps its permissions.
TEST_F(WriteFaults, EveryWriterKeepsTheOldFileWhenWritingFails) {
    for (const auto& w : kWriters) {
        for (const std::string fault : {"write-bytes:7", "fsync:1", "rename:1"}) {
            if (!w.writes_bytes && fault.rfind("write-bytes", 0) == 0) continue;
            SCOPED_TRACE(std::string(w.name) + " under " + fault);
            put_old(w);
            EXPECT_EQ(run_with(w.answers, fault), 0) << err;
            EXPECT_EQ(file(w.target), kOld);
            EXPECT_TRUE(temps_of(w.target).empty());
            EXPECT_TRUE(has("[note] Uwaga błąd!\n")) << out;
        }
        SCOPED_TRACE(std::string(w.name) + " without a fault");
        put_old(w);
        EXPECT_EQ(run_with(w.answers, ""), 0) << err;
        EXPECT_NE(file(w.target), kOld);
        EXPECT_FALSE(has("[note] Uwaga błąd!\n")) << out;
        EXPECT_EQ(fs::status(path(w.target)).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        EXPECT_TRUE(temps_of(w.target).empty());
    }
}

// The reasons the user is told: a full disk is named as such.
TEST_F(WriteFaults, AFullDiskIsNamedInTheReportMessage) {
    const Writer& w = kWriters[0];
    put_old(w);
    EXPECT_EQ(run_with(w.answers, "write-bytes:0"), 0) << err;
    EXPECT_TRUE(has("Nie można zapisać pliku raportu\n   R.RPT\n(brak miejsca na dysku).")) << out;
    EXPECT_EQ(file(w.target), kOld);
}

// Killed after writing and before renaming: the old file is whole, and the temporary file the
// process left is removed by a later write once it is old enough to have no writer.
TEST_F(WriteFaults, AKilledWriteLeavesTheOldFileAndItsTemporaryFileIsCleanedNextTime) {
    for (const auto& w : {kWriters[0], kWriters[1], kWriters[3]}) {
        SCOPED_TRACE(w.name);
        put_old(w);
        EXPECT_EQ(run_with(w.answers, "kill-at-rename:1"), 128 + SIGKILL);
        EXPECT_EQ(file(w.target), kOld);
        const auto left = temps_of(w.target);
        ASSERT_EQ(left.size(), 1u);
        // Young, it may still be some writer's: it stays.
        EXPECT_EQ(run_with(w.answers, ""), 0) << err;
        EXPECT_EQ(temps_of(w.target), left);
        fs::last_write_time(path(left[0]), fs::file_time_type::clock::now() - std::chrono::hours(2));
        EXPECT_EQ(run_with(w.answers, ""), 0) << err;
        EXPECT_NE(file(w.target), kOld);
        EXPECT_TRUE(temps_of(w.target).empty());
    }
}

// Killed at the first byte of the new text: the temporary file already has the mode and owner
// of the file it replaces, so the text of a private file is never readable by another user.
TEST_F(WriteFaults, ATemporaryFileIsAsPrivateAsItsTargetBeforeTheFirstByte) {
    const Writer& w = kWriters[1];
    put_old(w);
    fs::permissions(path(w.target), fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(path(""), fs::perms::all & ~(fs::perms::group_write | fs::perms::others_write));
    const bool root = geteuid() == 0;
    const uid_t owner = 65534;  // another user's file, where the test may give it away
    if (root) {
        ASSERT_EQ(chown(path(w.target).c_str(), owner, owner), 0);
    }
    EXPECT_EQ(run_with(w.answers, "kill-at-write:1"), 128 + SIGKILL);
    EXPECT_EQ(file(w.target), kOld);
    const auto left = temps_of(w.target);
    ASSERT_EQ(left.size(), 1u);
    struct stat st {};
    ASSERT_EQ(stat(path(left[0]).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    if (!root) return;
    EXPECT_EQ(st.st_uid, owner);
    // A third user cannot open it.
    pid_t child = fork();
    if (child == 0) {
        if (setgid(65533) != 0 || setuid(65533) != 0) _exit(3);
        _exit(open(path(left[0]).c_str(), O_RDONLY) < 0 && errno == EACCES ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
}  // namespace zuva
