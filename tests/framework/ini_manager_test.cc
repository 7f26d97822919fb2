#include "framework/ini_manager.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_folder.h"

namespace tentaria::framework {
namespace {

using test_support::ReadTextFile;
using test_support::WriteTextFile;

constexpr char kIni[] = "tentaria2000.INI";

class IniManagerTest : public test_support::TempHomeTest {
 protected:
  std::string IniPath() { return home_ / "config/tentaria/tentaria2000.INI"; }

  // One run of the program: a window as designed, restored, moved by the
  // user, then saved.
  static void SaveWindow(const ui::Window& window, bool resizable) {
    IniManager ini;
    ini.Init(kIni);
    ASSERT_TRUE(ini.Update("TENTA006", window, resizable).ok());
    ini.Kill();
  }

  static void RestoreWindow(ui::Window* window, bool resizable) {
    IniManager ini;
    ini.Init(kIni);
    ini.Fetch("TENTA006", *window, resizable);
  }
};

TEST_F(IniManagerTest, WindowPlaceSurvivesARun) {
  ui::Window first("Campings");
  first.x = 12;
  first.y = 34;
  first.width = 321;
  first.height = 123;
  SaveWindow(first, true);
  EXPECT_TRUE(std::filesystem::exists(IniPath()));

  ui::Window second("Campings");
  second.width = 100;
  second.height = 50;
  RestoreWindow(&second, true);
  EXPECT_FALSE(second.maximized);
  EXPECT_EQ(second.x, 12);
  EXPECT_EQ(second.y, 34);
  EXPECT_EQ(second.width, 321);
  EXPECT_EQ(second.height, 123);
}

TEST_F(IniManagerTest, MaximizedCloseKeepsTheEarlierPlace) {
  ui::Window window("Campings");
  window.x = 5;
  window.y = 6;
  window.width = 200;
  window.height = 100;
  SaveWindow(window, true);
  window.maximized = true;
  window.x = 0;
  window.y = 0;
  window.width = 999;
  SaveWindow(window, true);

  IniManager ini;
  ini.Init(kIni);
  EXPECT_EQ(ini.Fetch("TENTA006", "Maximize"), "Yes");
  EXPECT_EQ(ini.Fetch("TENTA006", "XPos"), "5");
  EXPECT_EQ(ini.Fetch("TENTA006", "YPos"), "6");
  EXPECT_EQ(ini.Fetch("TENTA006", "Width"), "200");

  ui::Window next("Campings");
  RestoreWindow(&next, true);
  EXPECT_TRUE(next.maximized);
}

TEST_F(IniManagerTest, FixedSizeWindowKeepsItsDesignedSize) {
  ui::Window window("Info");
  window.x = 7;
  window.width = 300;
  window.height = 200;
  SaveWindow(window, false);
  IniManager ini;
  ini.Init(kIni);
  EXPECT_EQ(ini.TryFetch("TENTA006", "Width"), kIniUnknown);

  // Even a size written by hand is not applied to a window that cannot be
  // resized.
  ASSERT_TRUE(ini.Update("TENTA006", "Width", "500").ok());
  ui::Window next("Info");
  next.width = 80;
  RestoreWindow(&next, false);
  EXPECT_EQ(next.x, 7);
  EXPECT_EQ(next.width, 80);
}

TEST_F(IniManagerTest, SavedSizeComesBackWithinTheWindowsLimits) {
  ui::Window window("Campings");
  window.width = 500;
  window.height = 40;
  SaveWindow(window, true);
  ui::Window limited("Campings");
  limited.min_height = 60;
  limited.max_width = 400;
  RestoreWindow(&limited, true);
  EXPECT_EQ(limited.width, 400);
  EXPECT_EQ(limited.height, 60);

  // A window the user may not resize neither takes a size nor saves one,
  // whatever the procedure asks.
  ui::Window fixed("Campings");
  fixed.resizable = false;
  fixed.width = 90;
  RestoreWindow(&fixed, true);
  EXPECT_EQ(fixed.width, 90);
  fixed.width = 95;
  SaveWindow(fixed, true);
  IniManager ini;
  ini.Init(kIni);
  EXPECT_EQ(ini.Fetch("TENTA006", "Width"), "500");
}

TEST_F(IniManagerTest, MissingAndUnreadableEntriesLeaveTheDesign) {
  IniManager ini;
  ini.Init(kIni);
  EXPECT_EQ(ini.TryFetch("TENTA006", "XPos"), "---Unknown---");
  EXPECT_EQ(ini.Fetch("TENTA006", "XPos"), "");

  std::filesystem::create_directories(home_ / "config/tentaria");
  WriteTextFile(IniPath(), "[tenta006]\nxpos=abc\nYPos=-15\nWidth=-40\nHeight=12x\n");
  ui::Window window("Campings");
  window.x = 1;
  window.y = 2;
  window.width = 3;
  window.height = 4;
  ini.Fetch("TENTA006", window, true);
  EXPECT_EQ(window.x, 1);
  EXPECT_EQ(window.y, -15);  // a window may lie partly off the screen
  EXPECT_EQ(window.width, 3);
  EXPECT_EQ(window.height, 4);
}

TEST_F(IniManagerTest, UpdateKeepsOtherSectionsAndReportsAFailedWrite) {
  std::filesystem::create_directories(home_ / "config/tentaria");
  WriteTextFile(IniPath(), "; kept\n[Other]\nKey=Value\n");
  ui::Window window("Campings");
  SaveWindow(window, true);
  std::string text = ReadTextFile(IniPath());
  EXPECT_NE(text.find("; kept"), std::string::npos);
  EXPECT_NE(text.find("Key=Value"), std::string::npos);

  // A configuration folder that is a file: nothing can be written.
  std::filesystem::remove_all(home_ / "config/tentaria");
  WriteTextFile(home_ / "config/tentaria", "");
  IniManager ini;
  ini.Init(kIni);
  EXPECT_FALSE(ini.Update("TENTA006", window, true).ok());
}

}  // namespace
}  // namespace tentaria::framework
