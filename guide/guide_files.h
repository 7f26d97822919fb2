// The dictionary's start-up and shut-down: one declared file, file manager
// and relation manager per guide file, made once before the first window
// opens and released after the last one has closed.
//
// Each file's record is the guide's own record buffer (records.h), so that
// every procedure sees the current record of a file in one place.  Each
// manager gets its file's keys in the dictionary's order (the numbered key
// of FileSettings numbers new records), the dictionary's settings, and the
// field rules of validation_rules.h; each relation manager gets the file's
// relations from either end of each link.  The working files' folder is
// made at start-up, so that they can be created there.
#ifndef TENTARIA_GUIDE_GUIDE_FILES_H_
#define TENTARIA_GUIDE_GUIDE_FILES_H_

#include <array>
#include <memory>

#include "framework/error_manager.h"
#include "framework/file_manager.h"
#include "framework/file_relations.h"
#include "guide/file_descriptors.h"
#include "platform/status.h"
#include "storage/declared_file.h"
#include "storage/file_interface.h"

namespace tentaria::guide {

// A guide file's manager: the base policy, and its field rules.
class GuideFileManager : public framework::FileManager {
 public:
  explicit GuideFileManager(GuideFile file) : file_(file) {}
  int CheckField(size_t field) override;

 private:
  GuideFile file_;
};

class GuideFiles {
 public:
  GuideFiles() = default;
  GuideFiles(const GuideFiles&) = delete;
  GuideFiles& operator=(const GuideFiles&) = delete;
  ~GuideFiles() { ShutDown(); }

  // Makes every file's managers, reaching the files through `driver`.  The
  // error manager outlives them.  Fails only when the working folder
  // cannot be made; nothing is opened yet.
  Status StartUp(framework::ErrorManager& errors, storage::DriverDescriptor driver);
  Status StartUp(framework::ErrorManager& errors);
  // Releases every relation and file manager, closing every file still
  // open.
  void ShutDown();
  bool started() const { return started_; }

  storage::DeclaredFile& File(GuideFile file) { return *Entry(file).file; }
  GuideFileManager& Manager(GuideFile file) { return *Entry(file).manager; }
  framework::FileRelations& Relations(GuideFile file) { return Entry(file).relations; }

 private:
  struct Managed {
    std::unique_ptr<storage::DeclaredFile> file;
    std::unique_ptr<GuideFileManager> manager;
    framework::FileRelations relations;
  };
  Managed& Entry(GuideFile file) { return files_[static_cast<size_t>(file)]; }

  std::array<Managed, kGuideFileCount> files_;
  bool started_ = false;
};

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_GUIDE_FILES_H_
