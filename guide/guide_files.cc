#include "guide/guide_files.h"

#include <span>

#include "guide/dictionary.h"
#include "guide/relations.h"
#include "guide/validation_rules.h"
#include "storage/tavrin_driver.h"

namespace tentaria::guide {

int GuideFileManager::CheckField(size_t field) {
  std::span<char> record = Record();
  return guide::CheckField(
      file_, field, {reinterpret_cast<const uint8_t*>(record.data()), record.size()}, *ERRORS);
}

Status GuideFiles::StartUp(framework::ErrorManager& errors) {
  return StartUp(errors, storage::TavrinDriver());
}

Status GuideFiles::StartUp(framework::ErrorManager& errors, storage::DriverDescriptor driver) {
  ShutDown();
  Status made = MakeWorkingFolder();
  if (!made.ok()) return made;
  for (GuideFile file : kGuideFiles) {
    const storage::FileDescriptor& declaration = Descriptor(file);
    const FileSettings& settings = Settings(file);
    Managed& entry = Entry(file);
    entry.file = std::make_unique<storage::DeclaredFile>(declaration, driver);
    std::span<uint8_t> buffer = Buffer(file);
    entry.file->block().record = {reinterpret_cast<char*>(buffer.data()), buffer.size()};
    entry.file->block().name = settings.FILENAMEVALUE;
    entry.manager = std::make_unique<GuideFileManager>(file);
    GuideFileManager& manager = *entry.manager;
    manager.Init(*entry.file, errors);
    manager.CREATE = settings.CREATE ? 1 : 0;
    manager.LOCKRECOVER = settings.LOCKRECOVER;
    for (size_t key = 0; key < declaration.keys.size(); ++key) {
      const std::string& label = declaration.keys[key].label;
      manager.AddKey(key, label, label == settings.auto_increment_key ? 1 : 0);
    }
  }
  for (GuideFile file : kGuideFiles) {
    framework::FileRelations& relations = Relations(file);
    relations.Init(Manager(file), false);
    for (const Relation& relation : RelationsOf(file)) {
      const storage::FileDescriptor& his = Descriptor(relation.FILE);
      relations.AddRelation(Relations(relation.FILE), static_cast<uint8_t>(relation.UPDATEMODE),
                            static_cast<uint8_t>(relation.DELETEMODE),
                            KeyNumber(his, relation.HISKEY).value());
      relations.AddLink(FieldNumber(Descriptor(file), relation.LEFT).value(),
                        FieldNumber(his, relation.RIGHT).value());
    }
  }
  started_ = true;
  return Status::Ok();
}

void GuideFiles::ShutDown() {
  if (!started_) return;
  for (Managed& entry : files_) entry.relations.Release();
  for (Managed& entry : files_) {
    entry.manager->Release();
    entry.manager.reset();
    entry.file.reset();
  }
  started_ = false;
}

}  // namespace tentaria::guide
