// Temporary folders and base files for the tests: a fresh folder per test (or per object), the
// files written into it as the program finds them on disk, and everything removed afterwards,
// read-only folders included.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "text/codec.h"
#include "text/file_io.h"

namespace zuva::testing_support {

// Removes the folder and all it holds; folders a test made read-only are opened first.
inline void remove_tree(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(root, ec))) {
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
        for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_directory(ec) && !it->is_symlink(ec)) remove_tree(it->path());
    }
    fs::remove_all(root, ec);
}

// A fresh folder under the system's temporary folder (named `prefix`-XXXXXX), removed with
// everything in it when the object goes.
class TempDir {
  public:
    explicit TempDir(const std::string& prefix = "zuva") {
        std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (mkdtemp(tmpl.data()) == nullptr) ADD_FAILURE() << "no temporary folder " << tmpl;
        path_ = tmpl;
    }
    ~TempDir() { remove_tree(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The path of `rel` inside the folder.
    std::string path(const std::string& rel) const { return (std::filesystem::path(path_) / rel).string(); }
    // Writes the bytes to `rel` (its folders made as needed); returns the file's path.
    std::string write(const std::string& rel, std::string_view bytes) const {
        std::filesystem::path p = std::filesystem::path(path_) / rel;
        std::error_code ec;
        std::filesystem::create_directories(p.parent_path(), ec);
        EXPECT_TRUE(write_file_bytes(p.string(), bytes)) << p;
        return p.string();
    }
    // Writes UTF-8 text as a Windows-1250 file, as base files are kept; returns its path.
    std::string write_cp1250(const std::string& rel, const std::string& utf8) const {
        return write(rel, utf8_to_cp1250_lossy(utf8));
    }

  private:
    std::string path_;
};

// A temporary folder made before each test (`dir`, named after `prefix`) and removed after it.
class TempDirTest : public ::testing::Test {
  protected:
    explicit TempDirTest(std::string prefix = "zuva") : prefix_(std::move(prefix)) {}
    void SetUp() override {
        temp_ = std::make_unique<TempDir>(prefix_);
        dir = temp_->path();
    }
    void TearDown() override { temp_.reset(); }

    std::string path(const std::string& rel) const { return temp_->path(rel); }
    std::string write(const std::string& rel, std::string_view bytes) const {
        return temp_->write(rel, bytes);
    }
    std::string write_cp1250(const std::string& rel, const std::string& utf8) const {
        return temp_->write_cp1250(rel, utf8);
    }

    std::string dir;

  private:
    std::string prefix_;
    std::unique_ptr<TempDir> temp_;
};

// A folder named `tag` inside one temporary folder of the test process, made on first use and
// kept (with what is written there) until the process ends, which removes it; for helpers that
// are not fixtures.
inline std::string scratch_dir(const std::string& tag) {
    static TempDir root("zuva-" + std::to_string(::getpid()));
    std::filesystem::path p = std::filesystem::path(root.path()) / tag;
    std::filesystem::create_directories(p);
    return p.string();
}

}  // namespace zuva::testing_support
