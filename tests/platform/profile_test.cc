#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/path.h"
#include "tests/support/temp_folder.h"

namespace tentaria::platform {
using test_support::ReadTextFile;
using test_support::TempFolder;
using test_support::TempHomeTest;
using test_support::WriteTextFile;
namespace {

class ProfileTest : public TempHomeTest {};

TEST_F(ProfileTest, Paths) {
  EXPECT_EQ(UserProfilePath(), home_ / "config/tentaria/win.ini");
  EXPECT_EQ(PrivateProfilePath("tentaria2000.INI"), home_ / "config/tentaria/tentaria2000.INI");
  WriteTextFile(home_ / "config/tentaria/Tentaria2000.ini", "");
  EXPECT_EQ(PrivateProfilePath("TENTARIA2000.INI"), home_ / "config/tentaria/Tentaria2000.ini");
  EXPECT_EQ(PrivateProfilePath("C:\\X\\A.INI"), DriveFolder('C') + "/X/A.INI");
}

TEST_F(ProfileTest, MissingFileGivesDefaults) {
  EXPECT_EQ(ReadProfileString("intl", "sDate", "-"), "-");
  EXPECT_EQ(ReadProfileInt("intl", "iDate", 7), 7);
  EXPECT_EQ(ReadPrivateProfileString("S", "K", "def", "none.ini"), "def");
  EXPECT_EQ(ReadPrivateProfileInt("S", "K", -3, "none.ini"), -3);
}

TEST_F(ProfileTest, ReadsWithoutRegardToCaseAndTrims) {
  WriteTextFile(UserProfilePath(),
                "; comment\r\n"
                "[intl]\r\n"
                "  sDate  =  -  \r\n"
                "iDate=1\r\n"
                "sQuoted=\"  a b  \"\r\n"
                "sHalf=\"x\r\n"
                "\r\n"
                "[RTTAVRIN]\r\n"
                "Profile=12abc\r\n"
                "Details=x1\r\n"
                "Neg= -42\r\n"
                "Big=99999999999\r\n"
                "Empty=\r\n");
  EXPECT_EQ(ReadProfileString("INTL", "SDATE", "?"), "-");
  EXPECT_EQ(ReadProfileString(" intl ", "sdate", "?"), "-");
  EXPECT_EQ(ReadProfileString("intl", "sQuoted", "?"), "  a b  ");
  EXPECT_EQ(ReadProfileString("intl", "sHalf", "?"), "\"x");
  EXPECT_EQ(ReadProfileInt("intl", "iDate", 5), 1);
  EXPECT_EQ(ReadProfileInt("rttavrin", "profile", 0), 12);
  EXPECT_EQ(ReadProfileInt("rttavrin", "details", 5), 0);  // not a number
  EXPECT_EQ(ReadProfileInt("rttavrin", "neg", 5), -42);
  EXPECT_EQ(ReadProfileInt("rttavrin", "big", 5), 2147483647);
  EXPECT_EQ(ReadProfileString("rttavrin", "empty", "?"), "");
  EXPECT_EQ(ReadProfileInt("rttavrin", "empty", 5), 0);
  EXPECT_EQ(ReadProfileString("rttavrin", "sDate", "?"), "?");  // other section
  EXPECT_EQ(ReadProfileString("RTVIEW", "Profile", "?"), "?");
}

TEST_F(ProfileTest, CommentsAndUnreadableLinesAreSkipped) {
  WriteTextFile(UserProfilePath(),
                "key=before any section\n"
                "[s]\n"
                ";a=commented\n"
                "no equals sign\n"
                "[broken\n"
                "a=1\n");
  EXPECT_EQ(ReadProfileString("s", "a", "?"), "1");
  EXPECT_EQ(ReadProfileString("s", ";a", "?"), "?");
  EXPECT_EQ(ReadProfileString("", "key", "?"), "?");
}

TEST_F(ProfileTest, FirstSectionAndKeyWin) {
  WriteTextFile(UserProfilePath(), "[s]\na=1\na=2\n[S]\na=3\nb=4\n");
  EXPECT_EQ(ReadProfileString("s", "a", "?"), "1");
  EXPECT_EQ(ReadProfileString("s", "b", "?"), "?");
}

TEST_F(ProfileTest, WriteCreatesFileFolderAndSection) {
  std::filesystem::remove_all(home_ / "config");
  ASSERT_TRUE(WritePrivateProfileString("TENTA006", "X", "10", "tentaria2000.INI"));
  EXPECT_EQ(ReadTextFile(home_ / "config/tentaria/tentaria2000.INI"), "[TENTA006]\nX=10\n");
  EXPECT_EQ(ReadPrivateProfileInt("tenta006", "x", 0, "TENTARIA2000.ini"), 10);
  ASSERT_TRUE(WritePrivateProfileString("TENTA006", "Y", "20", "tentaria2000.INI"));
  ASSERT_TRUE(WritePrivateProfileString("TENTA007", "X", "30", "tentaria2000.INI"));
  ASSERT_TRUE(WritePrivateProfileString("tenta006", "x", "11", "tentaria2000.INI"));
  EXPECT_EQ(ReadTextFile(home_ / "config/tentaria/tentaria2000.INI"),
            "[TENTA006]\nX=11\nY=20\n[TENTA007]\nX=30\n");
}

TEST_F(ProfileTest, WritePreservesOtherContent) {
  const std::string original =
      "; window positions\r\n"
      "[A]\r\n"
      "  Key = old  \r\n"
      "; keep me\r\n"
      "Other=1\r\n"
      "garbage line\r\n"
      "\r\n"
      "[B]\r\n"
      "Z=9\r\n";
  WriteTextFile(UserProfilePath(), original);
  ASSERT_TRUE(WriteProfileString("a", "KEY", "new"));
  EXPECT_EQ(ReadTextFile(UserProfilePath()),
            "; window positions\r\n"
            "[A]\r\n"
            "Key=new\r\n"
            "; keep me\r\n"
            "Other=1\r\n"
            "garbage line\r\n"
            "\r\n"
            "[B]\r\n"
            "Z=9\r\n");
  // A new key goes after the section's last line, before the blank line.
  ASSERT_TRUE(WriteProfileString("A", "Added", "x y"));
  EXPECT_EQ(ReadTextFile(UserProfilePath()),
            "; window positions\r\n"
            "[A]\r\n"
            "Key=new\r\n"
            "; keep me\r\n"
            "Other=1\r\n"
            "garbage line\r\n"
            "Added=x y\r\n"
            "\r\n"
            "[B]\r\n"
            "Z=9\r\n");
  EXPECT_EQ(ReadProfileString("a", "added", "?"), "x y");
  EXPECT_EQ(ReadProfileString("b", "z", "?"), "9");
}

TEST_F(ProfileTest, FileWithoutFinalNewline) {
  WriteTextFile(UserProfilePath(), "[A]\nX=1");
  EXPECT_EQ(ReadProfileInt("A", "X", 0), 1);
  ASSERT_TRUE(WriteProfileString("B", "Y", "2"));
  EXPECT_EQ(ReadTextFile(UserProfilePath()), "[A]\nX=1\n[B]\nY=2\n");
  WriteTextFile(UserProfilePath(), "[A]\nX=1");
  ASSERT_TRUE(WriteProfileString("A", "X", "3"));
  EXPECT_EQ(ReadTextFile(UserProfilePath()), "[A]\nX=3");
}

TEST_F(ProfileTest, RefusesWhatWouldBreakTheFile) {
  EXPECT_FALSE(WriteProfileString("A", "X", "two\nlines"));
  EXPECT_FALSE(WriteProfileString("A", "", "v"));
  EXPECT_FALSE(WriteProfileString("A", "a=b", "v"));
  EXPECT_FALSE(WriteProfileString("A]", "k", "v"));
  EXPECT_FALSE(std::filesystem::exists(UserProfilePath()));
}

TEST_F(ProfileTest, WindowsTextIsKeptAsBytes) {
  ASSERT_TRUE(WriteProfileString("intl", "sCountry", "Belgi\xEB"));
  EXPECT_EQ(ReadProfileString("INTL", "SCOUNTRY", ""), "Belgi\xEB");
  // Sections compare without regard to case for accented letters too.
  ASSERT_TRUE(WriteProfileString("\xC9t\xE9", "k", "1"));
  EXPECT_EQ(ReadProfileInt("\xE9T\xC9", "K", 0), 1);
}

TEST_F(ProfileTest, NoTemporaryFilesAreLeft) {
  ASSERT_TRUE(WriteProfileString("A", "X", "1"));
  ASSERT_TRUE(WriteProfileString("A", "X", "2"));
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ConfigFolder())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(ProfileTest, ConcurrentWritersLoseNothing) {
  constexpr int kProcesses = 4;
  constexpr int kKeys = 25;
  std::string file = home_ / "shared.ini";
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      bool ok = true;
      for (int k = 0; k < kKeys; ++k) {
        ok = WritePrivateProfileString("S", "K" + std::to_string(p) + "_" + std::to_string(k),
                                       std::to_string(k), file) &&
             ok;
      }
      _exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int p = 0; p < kProcesses; ++p) {
    for (int k = 0; k < kKeys; ++k) {
      EXPECT_EQ(
          ReadPrivateProfileInt("S", "K" + std::to_string(p) + "_" + std::to_string(k), -1, file),
          k);
    }
  }
}

}  // namespace
}  // namespace tentaria::platform
