// A temporary folder for a test, removed with everything in it afterwards,
// and a fixture that points HOME and the XDG folders into one so that no
// test writes to the real home.
#ifndef TENTARIA_TESTS_SUPPORT_TEMP_FOLDER_H_
#define TENTARIA_TESTS_SUPPORT_TEMP_FOLDER_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tentaria::test_support {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tentaria-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (made == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

inline std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// HOME, XDG_CONFIG_HOME, XDG_STATE_HOME and XDG_DATA_HOME point into a
// fresh temporary folder for the length of each test.
class TempHomeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("HOME", (home_ / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home_ / "config").c_str(), 1);
    setenv("XDG_STATE_HOME", (home_ / "state").c_str(), 1);
    setenv("XDG_DATA_HOME", (home_ / "data").c_str(), 1);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      unsetenv((std::string("TENTARIA_DRIVE_") + letter).c_str());
    }
  }

  TempFolder home_;
};

}  // namespace tentaria::test_support

#endif  // TENTARIA_TESTS_SUPPORT_TEMP_FOLDER_H_
