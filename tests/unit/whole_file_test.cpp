// The one whole-file reader, and the script reader's checks on top of it.
#include "support/whole_file.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/source_file.hpp"

namespace vormel {
namespace {

class WholeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "vormel-file-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string write(const std::string& name, const std::string& bytes) {
    std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::filesystem::path folder_;
};

TEST_F(WholeFileTest, ReadsEveryByte) {
  const std::string bytes = std::string("a\0b\xff", 4) + std::string(200000, 'x');
  std::string read;
  EXPECT_EQ(read_whole_file(write("data", bytes), read), 0);
  EXPECT_EQ(read, bytes);
}

TEST_F(WholeFileTest, FailuresGiveTheErrorAndLeaveTheTextAlone) {
  std::string read = "kept";
  EXPECT_EQ(read_whole_file((folder_ / "missing").string(), read), ENOENT);
  EXPECT_EQ(read_whole_file(folder_.string(), read), EISDIR);
  // The name before the NUL exists, but the name as a whole does not.
  std::string path = write("real", "text");
  EXPECT_EQ(read_whole_file(path + std::string(1, '\0') + "x", read), ENOENT);
  EXPECT_EQ(read, "kept");
}

TEST_F(WholeFileTest, ScriptsMustBeUtf8) {
  std::string text;
  std::string failure;
  EXPECT_TRUE(read_script(write("good.vl", "print(\"é\")\n"), text, failure));
  EXPECT_EQ(text, "print(\"é\")\n");
  EXPECT_FALSE(read_script(write("bad.vl", "\xff"), text, failure));
  EXPECT_EQ(failure, "stream did not contain valid UTF-8");
  EXPECT_FALSE(read_script(folder_.string(), text, failure));
  EXPECT_EQ(failure, std::strerror(EISDIR));
}

}  // namespace
}  // namespace vormel
