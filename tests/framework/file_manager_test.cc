#include "framework/file_manager.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "framework/record_fields.h"
#include "platform/fault_injection.h"
#include "storage/error_texts.h"
#include "storage/tavrin_driver.h"
#include "tests/framework/file_manager_fixture.h"

namespace tentaria::framework {
namespace {

using testing::kByCountry;
using testing::kByName;
using testing::kByNumber;
using testing::ManagerTest;
using testing::NameOf;
using testing::NumberOf;
using testing::PlaceDeclaration;
using testing::SetPlace;
using ui::button::kNo;
using ui::button::kOk;
using ui::button::kYes;

// A child process that opens the file in `mode` (and, with `hold`, holds
// its first record), says so through a pipe, and keeps the file until the
// test closes its end of a second pipe.
class HoldingProcess {
 public:
  HoldingProcess(const std::string& path, int mode, bool hold = false) {
    int up[2], down[2];
    if (pipe(up) != 0 || pipe(down) != 0) ADD_FAILURE() << "pipe";
    pid_ = fork();
    if (pid_ == 0) {
      close(up[0]);
      close(down[1]);
      storage::DeclaredFile file(PlaceDeclaration(path));
      bool done = file.Open(mode) == 0 && (!hold || (file.Hold() == 0 && file.Next() == 0));
      char byte = done ? 1 : 0;
      if (write(up[1], &byte, 1) != 1) _exit(2);
      (void)read(down[0], &byte, 1);  // until the test lets go
      _exit(0);
    }
    close(up[1]);
    close(down[0]);
    to_child_ = down[1];
    pollfd entry{up[0], POLLIN, 0};
    char byte = 0;
    opened_ = poll(&entry, 1, 60000) == 1 && read(up[0], &byte, 1) == 1 && byte == 1;
    close(up[0]);
  }
  ~HoldingProcess() {
    close(to_child_);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  bool opened() const { return opened_; }

 private:
  pid_t pid_ = -1;
  int to_child_ = -1;
  bool opened_ = false;
};

class FileManagerTest : public ManagerTest {
 protected:
  // A manager over the place file, with its three keys.
  void Manage(storage::DeclaredFile& file, FileManager& manager) {
    manager.Init(file, errors_);
    manager.AddKey(kByNumber, "Nummer");
    manager.AddKey(kByCountry, "Land en nummer");
    manager.AddKey(kByName, "Naam");
  }
  // Whether another open may have the file to itself.
  bool ExclusivelyOpenable() {
    storage::DeclaredFile other(PlaceDeclaration(PlacePath()));
    bool opened = other.Open(0x12) == 0;
    other.Close();
    return opened;
  }
};

TEST_F(FileManagerTest, FileOpenedTwiceClosesOnlyAfterTheSecondClose) {
  MakePlaces({{"NL", 1, "Epe"}});
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  EXPECT_EQ(manager.FILENAMEVALUE, PlacePath());
  EXPECT_EQ(manager.OPENMODE, 0x42);

  EXPECT_EQ(manager.Open(), SeverityQuiet);
  EXPECT_EQ(manager.Open(), SeverityQuiet);
  // Opening only counted: the file is not open yet.
  EXPECT_EQ(manager.Info().USED, 0);
  EXPECT_EQ(manager.Info().OPENED, 2);
  EXPECT_TRUE(ExclusivelyOpenable());

  EXPECT_EQ(manager.Next(), SeverityQuiet);
  EXPECT_EQ(NameOf(file), "Epe");
  EXPECT_EQ(manager.Info().USED, 1);
  EXPECT_FALSE(ExclusivelyOpenable());

  EXPECT_EQ(manager.Close(), SeverityQuiet);
  EXPECT_EQ(manager.Info().USED, 1);
  EXPECT_FALSE(ExclusivelyOpenable());
  EXPECT_EQ(manager.Close(), SeverityQuiet);
  EXPECT_EQ(manager.Info().USED, 0);
  EXPECT_TRUE(ExclusivelyOpenable());
  // A Close too many changes nothing.
  EXPECT_EQ(manager.Close(), SeverityQuiet);
  EXPECT_TRUE(engine_.messages().empty());
}

TEST_F(FileManagerTest, UsingAFileBeforeOpeningItIsAProgrammingError) {
  MakePlaces({});
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  Answer(kOk);
  EXPECT_EQ(manager.Next(), SeverityFatal);
  EXPECT_EQ(Captions(), std::vector<std::string>{"File Usage Error"});
  EXPECT_EQ(LastText(), "Attempt to use file (" + PlacePath() +
                            ") before it was opened  Press OK to end this application");
  EXPECT_TRUE(engine_.halted());
}

TEST_F(FileManagerTest, MissingFileIsCreatedOnlyWhenCreateIsSet) {
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  manager.LAZYOPEN = 0;
  EXPECT_EQ(manager.Open(), SeverityQuiet);
  EXPECT_EQ(manager.Info().USED, 1);
  EXPECT_EQ(manager.Next(), SeverityNotify);  // created empty
  EXPECT_EQ(manager.Info().ATEOF, 1);
  EXPECT_TRUE(engine_.messages().empty());
  manager.Close();

  // Without CREATE: the Try form notes the fatal message and shows nothing,
  // the plain form shows it and ends the program.
  storage::DeclaredFile missing(PlaceDeclaration(PlacePath("NERGENS.TVN")));
  FileManager without;
  Manage(missing, without);
  without.LAZYOPEN = 0;
  without.CREATE = 0;
  EXPECT_EQ(without.TryOpen(), SeverityNotify);
  EXPECT_EQ(without.Info().LASTERROR, 23);
  EXPECT_EQ(without.Info().OPENED, 0);
  EXPECT_TRUE(engine_.messages().empty());
  Answer(kOk);
  EXPECT_EQ(without.Open(), SeverityFatal);
  EXPECT_EQ(LastText(), "File (" + PlacePath("NERGENS.TVN") +
                            ") could not be opened.  Error: File Not Found (2).  Press OK to end "
                            "this application");
  EXPECT_TRUE(engine_.halted());
  EXPECT_FALSE(std::filesystem::exists(PlacePath("NERGENS.TVN")));
}

TEST_F(FileManagerTest, FileThatCannotBeCreatedIsAFatalCreationError) {
  // The disk takes no more writes.
  platform::FaultInjectionFileSystem fs;
  fs.PowerLossAfterPoint(0);
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()), storage::TavrinDriver(&fs));
  FileManager manager;
  Manage(file, manager);
  manager.LAZYOPEN = 0;
  EXPECT_EQ(manager.TryOpen(), SeverityNotify);
  EXPECT_EQ(manager.Info().LASTERROR, 10);
  EXPECT_TRUE(engine_.messages().empty());
  Answer(kOk);
  manager.Open();
  EXPECT_EQ(Captions(), std::vector<std::string>{"File Creation Error"});
  EXPECT_TRUE(engine_.halted());
}

TEST_F(FileManagerTest, FileLockedByAnotherProcessEndsInFileAccessError) {
  MakePlaces({{"NL", 1, "Epe"}});
  HoldingProcess other(PlacePath(), 0x12);  // read and write, denying all
  ASSERT_TRUE(other.opened());
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  manager.LOCKRECOVER = 1;
  ASSERT_EQ(manager.Open(), SeverityQuiet);

  // Write access is refused, so the file is tried read-only; that is
  // refused too.
  Answer(kOk);
  Answer(kOk);
  EXPECT_EQ(manager.Next(), SeverityFatal);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Access Denied", "File Access Error"}));
  EXPECT_EQ(engine_.messages()[0].box.text,
            "Could not get write access to " + PlacePath() + " so trying read-only.");
  EXPECT_EQ(manager.OPENMODE, 0x40);
  EXPECT_EQ(manager.Info().USED, 0);
}

TEST_F(FileManagerTest, FileOthersWriteProtectIsReadOnly) {
  MakePlaces({{"NL", 1, "Epe"}, {"NL", 2, "Ede"}});
  HoldingProcess other(PlacePath(), 0x22);  // read and write, denying write
  ASSERT_TRUE(other.opened());
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  ASSERT_EQ(manager.Open(), SeverityQuiet);
  Answer(kOk);
  EXPECT_EQ(manager.Next(), SeverityQuiet);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Access Denied"});
  EXPECT_EQ(NameOf(file), "Epe");
  EXPECT_EQ(manager.Next(), SeverityQuiet);
  EXPECT_EQ(NameOf(file), "Ede");

  // Writes fail with the driver's error and their own message.
  SetPlace(file, "BE", 3, "Gent");
  Answer(kOk);
  EXPECT_EQ(manager.Insert(), SeverityNotify);
  EXPECT_EQ(Captions().back(), "Record Insert Error");
  EXPECT_EQ(manager.TryUpdate(), SeverityNotify);
  EXPECT_EQ(manager.Info().LASTERROR, 25);
  EXPECT_FALSE(engine_.halted());
}

TEST_F(FileManagerTest, CorruptFileCannotBeOpened) {
  test_support::WriteTextFile(PlacePath(), std::string(4096, 'x'));
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  manager.LAZYOPEN = 0;
  EXPECT_EQ(manager.TryOpen(), SeverityNotify);
  EXPECT_EQ(manager.Info().LASTERROR, 23);
  Answer(kOk);
  EXPECT_EQ(manager.Open(), SeverityFatal);
  EXPECT_EQ(Captions(), std::vector<std::string>{"File Access Error"});
  // Nothing was created over it.
  EXPECT_EQ(test_support::ReadTextFile(PlacePath()), std::string(4096, 'x'));
}

TEST_F(FileManagerTest, FileWhoseKeysMustBeRebuiltIsRebuiltAndOpened) {
  MakePlaces({{"NL", 1, "Epe"}});
  // A driver that finds the keys out of date at the first open.
  storage::DriverDescriptor driver = storage::TavrinDriver();
  storage::DispatchEntry tavrin = driver.dispatch;
  int opens = 0;
  int builds = 0;
  driver.dispatch = [&](int operation, storage::FileControlBlock& block,
                        const storage::OperationArguments& args) {
    if (operation == storage::op::OPEN && opens++ == 0) {
      runtime::SetFileError(storage::error::kKeyFileMustBeRebuilt, block.name);
      return storage::error::kKeyFileMustBeRebuilt;
    }
    if (operation == storage::op::BUILDfile) ++builds;
    return tavrin(operation, block, args);
  };
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()), driver);
  FileManager manager;
  Manage(file, manager);
  manager.LAZYOPEN = 0;
  EXPECT_EQ(manager.TryOpen(), SeverityNotify);
  EXPECT_EQ(manager.Info().LASTERROR, 27);
  EXPECT_EQ(builds, 0);

  opens = 0;
  Answer(kOk);
  EXPECT_EQ(manager.Open(), SeverityQuiet);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Invalid Key"});
  EXPECT_EQ(LastText(), PlacePath() + " key file is invalid. Key must be rebuilt.");
  EXPECT_EQ(builds, 1);
  EXPECT_EQ(manager.Next(), SeverityQuiet);
  EXPECT_EQ(NameOf(file), "Epe");
}

TEST_F(FileManagerTest, NumbersFollowTheHighestAndStartAgainForANewPrefix) {
  MakePlaces({});
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  manager.Init(file, errors_);
  manager.AddKey(kByNumber, "Nummer", 1);
  manager.AddKey(kByName, "Naam");
  ASSERT_EQ(manager.HASAUTOINC, 1);
  ASSERT_EQ(manager.Open(), SeverityQuiet);

  // An empty file numbers from 1; the numbered record exists at once, and
  // the insert writes the user's values into it.
  SetPlace(file, "NL", 0, "");
  EXPECT_EQ(manager.NumberRecord(), SeverityQuiet);
  EXPECT_EQ(NumberOf(file), 1);
  EXPECT_EQ(manager.Info().AUTOINCDONE, 1);
  SetPlace(file, "NL", 1, "Epe");
  EXPECT_EQ(manager.Insert(), SeverityQuiet);
  EXPECT_EQ(manager.Info().AUTOINCDONE, 0);
  uint32_t count = 0;
  EXPECT_EQ(file.Records(&count), 0);
  EXPECT_EQ(count, 1u);

  // After 41 comes 42, whatever the buffer held.
  SetPlace(file, "NL", 41, "Putten");
  ASSERT_EQ(file.Add(), 0);
  SetPlace(file, "NL", 7, "Ermelo");
  EXPECT_EQ(manager.Insert(), SeverityQuiet);
  EXPECT_EQ(NumberOf(file), 42);
  SetPlace(file, "", 0, "");
  ASSERT_EQ(manager.FetchOrClear(kByName), SeverityNotify);
  SetPlace(file, "", 0, "Ermelo");
  ASSERT_EQ(manager.FetchOrClear(kByName), SeverityQuiet);
  EXPECT_EQ(NumberOf(file), 42);

  // A cancelled insert takes its numbered record away again.
  SetPlace(file, "NL", 0, "Nunspeet");
  EXPECT_EQ(manager.NumberRecord(), SeverityQuiet);
  EXPECT_EQ(NumberOf(file), 43);
  EXPECT_EQ(manager.CancelNumbering(), SeverityQuiet);
  EXPECT_EQ(file.Records(&count), 0);
  EXPECT_EQ(count, 3u);
  EXPECT_TRUE(engine_.messages().empty());
}

TEST_F(FileManagerTest, TwoComponentKeyNumbersWithinItsPrefix) {
  MakePlaces({{"BE", 1, "Gent"},
              {"BE", 2, "Mol"},
              {"NL", 1, "Epe"},
              {"NL", 2, "Ede"},
              {"NL", 3, "Putten"}});
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  manager.Init(file, errors_);
  manager.AddKey(kByCountry, "Land en nummer", 2);
  manager.AddKey(kByName, "Naam");
  ASSERT_EQ(manager.Open(), SeverityQuiet);

  SetPlace(file, "BE", 0, "Lier");
  EXPECT_EQ(manager.Insert(), SeverityQuiet);
  EXPECT_EQ(NumberOf(file), 3);
  SetPlace(file, "NL", 0, "Hattem");
  EXPECT_EQ(manager.Insert(), SeverityQuiet);
  EXPECT_EQ(NumberOf(file), 4);
  // A country that has no place yet starts at 1; so does one that sorts
  // after every other.
  SetPlace(file, "LU", 0, "Vianden");
  EXPECT_EQ(manager.Insert(), SeverityQuiet);
  EXPECT_EQ(NumberOf(file), 1);
  SetPlace(file, "ZZ", 0, "Nergens");
  EXPECT_EQ(manager.Insert(), SeverityQuiet);
  EXPECT_EQ(NumberOf(file), 1);
  SetPlace(file, "AA", 0, "Ergens");
  EXPECT_EQ(manager.Insert(), SeverityQuiet);
  EXPECT_EQ(NumberOf(file), 1);
  EXPECT_TRUE(engine_.messages().empty());
}

TEST_F(FileManagerTest, NumberingOnAFullDiskAsksAfterEveryThreeFailedAdds) {
  MakePlaces({{"NL", 1, "Epe"}});
  platform::FaultInjectionFileSystem fs;
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()), storage::TavrinDriver(&fs));
  FileManager manager;
  manager.Init(file, errors_);
  manager.AddKey(kByNumber, "Nummer", 1);
  ASSERT_EQ(manager.Open(), SeverityQuiet);
  ASSERT_EQ(manager.EnsureOpen(), SeverityQuiet);
  fs.PowerLossAfterPoint(0);  // every write fails from now on

  SetPlace(file, "NL", 0, "Ede");
  EXPECT_EQ(manager.TryNumberRecord(), SeverityNotify);
  EXPECT_EQ(manager.Info().LASTERROR, 32);
  EXPECT_TRUE(engine_.messages().empty());

  Answer(kYes);  // three more tries
  Answer(kNo);
  EXPECT_EQ(manager.Insert(), SeverityNotify);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Auto Increment Error", "Auto Increment Error"}));
  EXPECT_EQ(engine_.messages()[0].box.buttons, kYes | kNo);
  EXPECT_EQ(manager.Info().AUTOINCDONE, 0);

  // Once the disk takes writes again the insert goes through.
  fs.ClearFaults();
  EXPECT_EQ(manager.Insert(), SeverityQuiet);
  EXPECT_EQ(NumberOf(file), 2);
}

TEST_F(FileManagerTest, InsertOnAFullDiskReportsTheDriversError) {
  MakePlaces({});
  platform::FaultInjectionFileSystem fs;
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()), storage::TavrinDriver(&fs));
  FileManager manager;
  manager.Init(file, errors_);
  ASSERT_EQ(manager.Open(), SeverityQuiet);
  ASSERT_EQ(manager.EnsureOpen(), SeverityQuiet);
  fs.PowerLossAfterPoint(0);
  SetPlace(file, "NL", 1, "Epe");
  Answer(kOk);
  EXPECT_EQ(manager.Insert(), SeverityNotify);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Record Insert Error"});
  EXPECT_NE(LastText().find("Error: "), std::string::npos);
  fs.ClearFaults();
  manager.Close();
  // Nothing half-written stays behind.
  storage::DeclaredFile check(PlaceDeclaration(PlacePath()));
  ASSERT_EQ(check.Open(0x40), 0);
  uint32_t count = 1;
  EXPECT_EQ(check.Records(&count), 0);
  EXPECT_EQ(count, 0u);
}

TEST_F(FileManagerTest, DuplicateKeyIsNamedByItsDescription) {
  MakePlaces({{"NL", 1, "Epe"}, {"NL", 2, "Ede"}});
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  ASSERT_EQ(manager.Open(), SeverityQuiet);
  // The current record holds the values the new one repeats.
  SetPlace(file, "", 0, "EDE");
  ASSERT_EQ(manager.TryFetchByKey(kByName), SeverityQuiet);

  SetPlace(file, "BE", 7, "ede");
  EXPECT_EQ(manager.TryInsert(), SeverityNotify);
  EXPECT_EQ(manager.Info().LASTERROR, 13);
  EXPECT_TRUE(engine_.messages().empty());

  Answer(kOk);
  EXPECT_EQ(manager.Insert(), SeverityNotify);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Duplicate Key Error"});
  EXPECT_EQ(LastText(), "Adding this record creates a duplicate entry for the key: Naam");

  SetPlace(file, "NL", 1, "Oss");
  Answer(kOk);
  EXPECT_EQ(manager.Insert(), SeverityNotify);
  EXPECT_EQ(LastText(), "Adding this record creates a duplicate entry for the key: Land en nummer");
}

TEST_F(FileManagerTest, UpdateOfARecordChangedByAnotherStationShowsTheirValues) {
  MakePlaces({{"NL", 1, "Epe"}});
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  manager.PRIMARYKEY = kByCountry + 1;
  ASSERT_EQ(manager.Open(), SeverityQuiet);
  ASSERT_EQ(manager.EnsureOpen(), SeverityQuiet);
  ASSERT_EQ(file.Watch(), 0);
  ASSERT_EQ(manager.Next(), SeverityQuiet);

  storage::DeclaredFile other(PlaceDeclaration(PlacePath()));
  ASSERT_EQ(other.Open(0x42), 0);
  ASSERT_EQ(other.Next(), 0);
  SetPlace(other, "NL", 1, "Emst");
  ASSERT_EQ(other.Put(), 0);

  SetPlace(file, "NL", 1, "Epe aan zee");
  Answer(kOk);
  EXPECT_EQ(manager.Update(2), SeverityNotify);
  EXPECT_EQ(Captions(), std::vector<std::string>{"Record Was Not Updated"});
  EXPECT_NE(LastText().find("Those changes will now be displayed"), std::string::npos);
  EXPECT_EQ(NameOf(file), "Emst");

  // Watched again: another change by the other station is caught too.
  SetPlace(other, "NL", 1, "Vaassen");
  ASSERT_EQ(other.Put(), 0);
  SetPlace(file, "NL", 1, "Epe");
  Answer(kOk);
  EXPECT_EQ(manager.Update(), SeverityNotify);
  EXPECT_EQ(LastText(), "This record was changed by another station.");
  EXPECT_EQ(NameOf(file), "Vaassen");

  // Now the user's change goes through.
  SetPlace(file, "NL", 1, "Epe");
  EXPECT_EQ(manager.Update(), SeverityQuiet);
  ASSERT_EQ(other.SetKey(kByNumber), 0);
  ASSERT_EQ(other.Next(), 0);
  EXPECT_EQ(NameOf(other), "Epe");
}

TEST_F(FileManagerTest, ReadingPastTheEndGivesFiveAndSetsAtEof) {
  MakePlaces({{"NL", 1, "Epe"}, {"NL", 2, "Ede"}});
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  ASSERT_EQ(manager.Open(), SeverityQuiet);
  ASSERT_EQ(manager.EnsureOpen(), SeverityQuiet);
  ASSERT_EQ(file.SetKey(kByName), 0);
  EXPECT_EQ(manager.Next(), SeverityQuiet);
  EXPECT_EQ(NameOf(file), "Ede");
  EXPECT_EQ(manager.TryNext(), SeverityQuiet);
  EXPECT_EQ(manager.Info().ATEOF, 0);
  EXPECT_EQ(manager.Next(), SeverityNotify);
  EXPECT_EQ(manager.Info().ATEOF, 1);
  ASSERT_EQ(file.SetKey(kByName), 0);
  EXPECT_EQ(manager.Previous(), SeverityQuiet);
  EXPECT_EQ(NameOf(file), "Epe");
  EXPECT_EQ(manager.Info().ATEOF, 0);
  EXPECT_EQ(manager.TryPrevious(), SeverityQuiet);
  EXPECT_EQ(manager.TryPrevious(), SeverityNotify);
  EXPECT_EQ(manager.Info().ATEOF, 1);
  EXPECT_TRUE(engine_.messages().empty());
}

TEST_F(FileManagerTest, RecordHeldByAnotherProcessIsReportedOrSkipped) {
  MakePlaces({{"NL", 1, "Epe"}, {"NL", 2, "Ede"}});
  HoldingProcess other(PlacePath(), 0x42, true);
  ASSERT_TRUE(other.opened());
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  ASSERT_EQ(manager.Open(), SeverityQuiet);
  ASSERT_EQ(manager.EnsureOpen(), SeverityQuiet);

  ASSERT_EQ(file.Hold(0), 0);
  EXPECT_EQ(manager.TryNext(), SeverityNotify);
  EXPECT_EQ(manager.Info().LASTERROR, 28);
  Answer(kOk);
  EXPECT_EQ(manager.RaiseNoted(), SeverityNotify);
  EXPECT_EQ(LastText(), "A record held by another station was encountered reading from the " +
                            PlacePath() + " file.");

  manager.SKIPHELDRECORDS = 1;
  ASSERT_EQ(file.SetFile(), 0);
  ASSERT_EQ(file.Hold(0), 0);
  EXPECT_EQ(manager.Next(), SeverityQuiet);
  EXPECT_EQ(NameOf(file), "Ede");
  EXPECT_EQ(engine_.messages().size(), 1u);
}

TEST_F(FileManagerTest, SavedBuffersAndReadingStatesComeBack) {
  MakePlaces({{"NL", 1, "Epe"}, {"NL", 2, "Ede"}, {"NL", 3, "Oss"}});
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  ASSERT_EQ(manager.Open(), SeverityQuiet);
  ASSERT_EQ(manager.EnsureOpen(), SeverityQuiet);
  ASSERT_EQ(file.SetKey(kByNumber), 0);
  ASSERT_EQ(manager.Next(), SeverityQuiet);
  file.memo(0) = "Aan de Veluwe";

  int32_t first = manager.SaveBuffer();
  int32_t second = manager.SaveBuffer();
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 3);  // the memo's copy took number 2
  EXPECT_EQ(manager.EqualBuffer(first), 1);
  file.memo(0) = "Aan zee";
  EXPECT_EQ(manager.EqualBuffer(first), 0);
  file.memo(0) = "Aan de Veluwe";
  SetPlace(file, "NL", 1, "Epe!");
  EXPECT_EQ(manager.EqualBuffer(first), 0);
  manager.RestoreBuffer(first, true);
  EXPECT_EQ(NameOf(file), "Epe");
  EXPECT_EQ(manager.EqualBuffer(first), 0);  // dropped
  EXPECT_EQ(manager.EqualBuffer(second), 1);
  manager.RestoreBuffer(second, false);
  EXPECT_TRUE(manager.BUFFERS.empty());

  // Reading elsewhere in the file between SaveFile and RestoreFile leaves
  // the caller where he was, with his own buffer.
  int32_t state = manager.SaveFile();
  ASSERT_EQ(file.SetKey(kByName), 0);
  ASSERT_EQ(manager.Next(), SeverityQuiet);
  EXPECT_EQ(NameOf(file), "Ede");
  SetPlace(file, "NL", 9, "Mijn buf");
  manager.RestoreFile(state);
  EXPECT_EQ(NameOf(file), "Mijn buf");
  ASSERT_EQ(manager.Next(), SeverityQuiet);
  EXPECT_EQ(NumberOf(file), 2);
  EXPECT_TRUE(manager.SAVED.empty());
}

TEST_F(FileManagerTest, RestoredReadingStateHoldsAndWatchesTheRecordAgain) {
  MakePlaces({{"NL", 1, "Epe"}, {"NL", 2, "Ede"}});
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  ASSERT_EQ(manager.Open(), SeverityQuiet);
  ASSERT_EQ(manager.EnsureOpen(), SeverityQuiet);
  ASSERT_EQ(file.SetKey(kByNumber), 0);
  ASSERT_EQ(file.Hold(), 0);
  ASSERT_EQ(file.Watch(), 0);
  ASSERT_EQ(manager.Next(), SeverityQuiet);
  int32_t state = manager.SaveFile();
  // Reading elsewhere, holding that record, ends the caller's hold and watch.
  ASSERT_EQ(file.Hold(), 0);
  ASSERT_EQ(manager.Next(), SeverityQuiet);
  std::string answer;
  ASSERT_EQ(file.Send("WATCHED", &answer), 0);
  EXPECT_EQ(answer, "OFF");

  manager.RestoreFile(state);
  storage::DeclaredFile other(PlaceDeclaration(PlacePath()));
  ASSERT_EQ(other.Open(0x42), 0);
  ASSERT_EQ(other.SetKey(kByNumber), 0);
  ASSERT_EQ(other.Hold(0), 0);
  EXPECT_EQ(other.Next(), 43);  // still held by the caller
  ASSERT_EQ(file.Release(), 0);
  ASSERT_EQ(other.SetKey(kByNumber), 0);
  ASSERT_EQ(other.Next(), 0);
  SetPlace(other, "NL", 1, "Emst");
  ASSERT_EQ(other.Put(), 0);
  ASSERT_EQ(other.Release(), 0);
  // Still watched: the caller's update notices the other station's change.
  SetPlace(file, "NL", 1, "Epe aan zee");
  Answer(kOk);
  EXPECT_EQ(manager.Update(), SeverityNotify);
  EXPECT_EQ(LastText(), "This record was changed by another station.");
  EXPECT_EQ(NameOf(file), "Emst");
}

// A file whose numbers must lie between 1 and 99.
class CheckedManager : public FileManager {
 public:
  int CheckField(size_t field) override {
    if (field != testing::kNumber) return SeverityQuiet;
    int32_t number = NumberOf(*FILE);
    if (number >= 1 && number <= 99) return SeverityQuiet;
    ERRORS->SetField("Nummer");
    return ERRORS->RaiseWithText(16, "1 and 99");
  }
};

TEST_F(FileManagerTest, FieldCheckRefusesTheWriteAndNamesTheRange) {
  MakePlaces({});
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  CheckedManager manager;
  Manage(file, manager);
  ASSERT_EQ(manager.Open(), SeverityQuiet);
  SetPlace(file, "NL", 100, "Epe");
  size_t failed = 0;
  Answer(kOk);
  EXPECT_EQ(manager.CheckRecord(&failed), SeverityNotify);
  EXPECT_EQ(failed, testing::kNumber);
  EXPECT_EQ(LastText(), "The value of Nummer must be between 1 and 99.");
  Answer(kOk);
  EXPECT_EQ(manager.Insert(), SeverityNotify);
  EXPECT_EQ(manager.CheckFields(testing::kName, testing::kName, &failed), SeverityQuiet);

  // An alias is checked by the file it aliases, on a copy of its buffer.
  storage::DeclaredFile alias_file(PlaceDeclaration(PlacePath()));
  FileManager alias;
  Manage(alias_file, alias);
  alias.ALIASEDFILE = &manager;
  SetPlace(alias_file, "NL", 0, "Ede");
  Answer(kOk);
  EXPECT_EQ(alias.CheckRecord(&failed), SeverityNotify);
  EXPECT_EQ(NameOf(file), "Ede");

  uint32_t count = 1;
  ASSERT_EQ(file.Records(&count), 0);
  EXPECT_EQ(count, 0u);
}

TEST_F(FileManagerTest, FetchOrClearClearsTheBufferWhenNothingIsFound) {
  MakePlaces({{"NL", 1, "Epe"}});
  storage::DeclaredFile file(PlaceDeclaration(PlacePath()));
  FileManager manager;
  Manage(file, manager);
  ASSERT_EQ(manager.Open(), SeverityQuiet);
  SetPlace(file, "NL", 1, "");
  file.memo(0) = "oud";
  EXPECT_EQ(manager.FetchOrClear(kByCountry), SeverityQuiet);
  EXPECT_EQ(NameOf(file), "Epe");
  SetPlace(file, "NL", 2, "");
  file.memo(0) = "oud";
  EXPECT_EQ(manager.FetchOrClear(kByCountry), SeverityNotify);
  EXPECT_EQ(std::string(file.record().data(), 2), "  ");
  EXPECT_EQ(NumberOf(file), 0);
  EXPECT_EQ(NameOf(file), "");
  EXPECT_EQ(file.memo(0), "");
  EXPECT_TRUE(engine_.messages().empty());
}

}  // namespace
}  // namespace tentaria::framework
