#include "platform/path.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/support/temp_folder.h"

namespace tentaria::platform {
using test_support::TempFolder;
using test_support::TempHomeTest;
using test_support::WriteTextFile;
namespace {

bool IsFolder(const std::string& path) { return std::filesystem::is_directory(path); }

class PathTest : public TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    saved_current_ = CurrentFolder();
    SetCurrentFolder(guide_.path());
  }
  void TearDown() override { SetCurrentFolder(saved_current_); }

  TempFolder guide_;
  std::string saved_current_;
};

TEST_F(PathTest, XdgFoldersAreCreatedOnDemand) {
  EXPECT_EQ(ConfigFolder(), home_ / "config/tentaria");
  EXPECT_EQ(StateFolder(), home_ / "state/tentaria");
  EXPECT_EQ(DataFolder(), home_ / "data/tentaria");
  EXPECT_TRUE(IsFolder(home_ / "config/tentaria"));
  EXPECT_TRUE(IsFolder(home_ / "state/tentaria"));
  EXPECT_TRUE(IsFolder(home_ / "data/tentaria"));
}

TEST_F(PathTest, XdgFallBacksUnderHome) {
  unsetenv("XDG_CONFIG_HOME");
  setenv("XDG_STATE_HOME", "relative/is/ignored", 1);
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(ConfigFolder(), home_ / "home/.config/tentaria");
  EXPECT_EQ(StateFolder(), home_ / "home/.local/state/tentaria");
  EXPECT_EQ(DataFolder(), home_ / "home/.local/share/tentaria");
  EXPECT_TRUE(IsFolder(home_ / "home/.local/share/tentaria"));
}

TEST_F(PathTest, DefaultDriveAndOverride) {
  EXPECT_EQ(DriveFolder('C'), home_ / "data/tentaria/C");
  EXPECT_EQ(DriveFolder('c'), home_ / "data/tentaria/C");
  EXPECT_TRUE(IsFolder(home_ / "data/tentaria/C"));
  TempFolder other;
  setenv("TENTARIA_DRIVE_D", other.path().c_str(), 1);
  EXPECT_EQ(DriveFolder('d'), other.path());
  EXPECT_EQ(HostPath("D:\\X.TVN"), other / "X.TVN");
  unsetenv("TENTARIA_DRIVE_D");
}

TEST_F(PathTest, DriveNamesMapIntoTheDriveFolder) {
  std::string drive = DriveFolder('C');
  EXPECT_EQ(HostPath("C:\\OKV\\TA2000\\WENSEN.TVN"), drive + "/OKV/TA2000/WENSEN.TVN");
  EXPECT_EQ(HostPath("c:/OKV/TA2000/"), drive + "/OKV/TA2000");
  EXPECT_EQ(HostPath("C:FILE"), drive + "/FILE");
}

TEST_F(PathTest, ExistingComponentsAreFoundWithoutRegardToCase) {
  std::string drive = DriveFolder('C');
  std::filesystem::create_directories(drive + "/okv/Ta2000");
  WriteTextFile(drive + "/okv/Ta2000/wensen.tvn", "x");
  EXPECT_EQ(HostPath("C:\\OKV\\TA2000\\WENSEN.TVN"), drive + "/okv/Ta2000/wensen.tvn");
  // A new file in an existing folder keeps the name as written.
  EXPECT_EQ(HostPath("C:\\OKV\\TA2000\\NIEUW.TVN"), drive + "/okv/Ta2000/NIEUW.TVN");
  // Below a missing folder everything is as written.
  EXPECT_EQ(HostPath("C:\\OKV\\NEW\\Sub\\F"), drive + "/okv/NEW/Sub/F");
}

TEST_F(PathTest, ExactMatchIsPreferredThenFirstInSortedOrder) {
  WriteTextFile(guide_ / "data.tvn", "1");
  WriteTextFile(guide_ / "DATA.TVN", "2");
  WriteTextFile(guide_ / "Data.tvn", "3");
  EXPECT_EQ(HostPath("Data.tvn"), guide_ / "Data.tvn");
  EXPECT_EQ(HostPath("data.tvn"), guide_ / "data.tvn");
  // "DATA.TVN" < "Data.tvn" < "data.tvn" in byte order.
  EXPECT_EQ(HostPath("dAtA.TvN"), guide_ / "DATA.TVN");
}

TEST_F(PathTest, RelativeNamesComeFromTheCurrentFolder) {
  std::filesystem::create_directories(guide_ / "Foto");
  WriteTextFile(guide_ / "Foto/A1218.jpg", "x");
  EXPECT_EQ(CurrentFolder(), guide_.path());
  EXPECT_EQ(HostPath("GEZNAW.TVN"), guide_ / "GEZNAW.TVN");
  EXPECT_EQ(HostPath("FOTO\\a1218.JPG"), guide_ / "Foto/A1218.jpg");
  EXPECT_EQ(HostPath(".\\foto\\.\\A1218.JPG"), guide_ / "Foto/A1218.jpg");
  EXPECT_EQ(HostPath("foto\\..\\foto\\A1218.jpg"), guide_ / "Foto/A1218.jpg");
}

TEST_F(PathTest, RootedNamesAreHostPaths) {
  WriteTextFile(guide_ / "Mixed.Txt", "x");
  EXPECT_EQ(HostPath(guide_ / "MIXED.TXT"), guide_ / "Mixed.Txt");
  EXPECT_EQ(HostPath("/"), "/");
}

TEST_F(PathTest, AccentedNamesBecomeUtf8AndMatchWithoutRegardToCase) {
  WriteTextFile(guide_ / "caf\xC3\xA9.txt", "x");  // café.txt on the host
  // The runtime's names are Windows-1252: "CAFÉ.TXT".
  EXPECT_EQ(HostPath("CAF\xC9.TXT"), guide_ / "caf\xC3\xA9.txt");
  EXPECT_EQ(HostPath("NA\xEFVE"), guide_ / "NA\xC3\xAFVE");  // new name, as UTF-8
}

TEST_F(PathTest, NamesBelowAHostFolder) {
  TempFolder folder;
  WriteTextFile(folder / "Tentaria2000.ini", "x");
  EXPECT_EQ(HostPathIn(folder.path(), "TENTARIA2000.INI"), folder / "Tentaria2000.ini");
  EXPECT_EQ(HostPathIn(folder.path(), "new.ini"), folder / "new.ini");
}

TEST(PathNameTest, AddDefaultExtension) {
  EXPECT_EQ(AddDefaultExtension("GEZNAW", ".TVN"), "GEZNAW.TVN");
  EXPECT_EQ(AddDefaultExtension("GEZNAW.DAT", ".TVN"), "GEZNAW.DAT");
  EXPECT_EQ(AddDefaultExtension("C:\\OKV.1\\WENSEN", ".TVN"), "C:\\OKV.1\\WENSEN.TVN");
  EXPECT_EQ(AddDefaultExtension("dir.x/file", ".TVN"), "dir.x/file.TVN");
  EXPECT_EQ(AddDefaultExtension("C:FILE", ".TVN"), "C:FILE.TVN");
  EXPECT_EQ(AddDefaultExtension("FILE", "TVN"), "FILE.TVN");
}

TEST(PathNameTest, ReplaceExtension) {
  EXPECT_EQ(ReplaceExtension("C:\\PROG\\TENTARIA.EXE", ".ENV"), "C:\\PROG\\TENTARIA.ENV");
  EXPECT_EQ(ReplaceExtension("TENTARIA", ".ENV"), "TENTARIA.ENV");
  EXPECT_EQ(ReplaceExtension("a.b\\TENTARIA", ".ENV"), "a.b\\TENTARIA.ENV");
  EXPECT_EQ(ReplaceExtension("x.tar.gz", ".ZIP"), "x.tar.ZIP");
  EXPECT_EQ(ReplaceExtension("x.old", ""), "x");
}

}  // namespace
}  // namespace tentaria::platform
