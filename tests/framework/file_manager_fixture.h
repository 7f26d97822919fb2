// Helpers of the file and relation manager tests: a small declared file of
// places (country, number, name, a memo), an error manager showing its
// messages through a headless engine whose answers the test gives, and a
// fresh folder per test.
#ifndef TENTARIA_TESTS_FRAMEWORK_FILE_MANAGER_FIXTURE_H_
#define TENTARIA_TESTS_FRAMEWORK_FILE_MANAGER_FIXTURE_H_

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/error_manager.h"
#include "framework/file_manager.h"
#include "runtime/error_state.h"
#include "runtime/value_types.h"
#include "storage/declared_file.h"
#include "storage/table_definition.h"
#include "tests/support/temp_folder.h"
#include "ui/headless_engine.h"

namespace tentaria::framework::testing {

// Keys of the place file.
inline constexpr size_t kByNumber = 0;   // DUP on P:NR
inline constexpr size_t kByCountry = 1;  // unique on P:LAND, P:NR
inline constexpr size_t kByName = 2;     // unique NOCASE on P:NAAM
// Fields.
inline constexpr size_t kCountry = 0;
inline constexpr size_t kNumber = 1;
inline constexpr size_t kName = 2;

inline storage::FieldDescriptor Field(runtime::TypeCode type, uint16_t offset, uint16_t size,
                                      std::string label) {
  storage::FieldDescriptor field;
  field.type = static_cast<uint8_t>(type);
  field.offset = offset;
  field.size = size;
  if (type == runtime::TypeCode::STRING) field.string_length = size;
  field.label = std::move(label);
  return field;
}

// P:LAND STRING(2), P:NR LONG, P:NAAM STRING(10); memo P:OPMERK.
inline storage::FileDescriptor PlaceDeclaration(const std::string& name) {
  storage::FileDescriptor file;
  file.prefix = "P";
  file.name = name;
  file.layout.record_size = 16;
  file.layout.fields = {Field(runtime::TypeCode::STRING, 0, 2, "P:LAND"),
                        Field(runtime::TypeCode::LONG, 2, 4, "P:NR"),
                        Field(runtime::TypeCode::STRING, 6, 10, "P:NAAM")};
  file.keys = {{"P:BY_NR", "", storage::key_attribute::DUP, {{1, 0}}},
               {"P:BY_LAND", "", 0, {{0, 0}, {1, 0}}},
               {"P:BY_NAAM", "", storage::key_attribute::NOCASE, {{2, 0}}}};
  file.memos = {{"P:OPMERK", "", 200, 0}};
  return file;
}

inline void SetPlace(storage::DeclaredFile& file, std::string country, int32_t number,
                     std::string name) {
  country.resize(2, ' ');
  name.resize(10, ' ');
  std::memcpy(file.record().data(), country.data(), 2);
  std::memcpy(file.record().data() + 2, &number, 4);
  std::memcpy(file.record().data() + 6, name.data(), 10);
}

inline int32_t NumberOf(storage::DeclaredFile& file) {
  int32_t number = 0;
  std::memcpy(&number, file.record().data() + 2, 4);
  return number;
}

inline std::string NameOf(storage::DeclaredFile& file) {
  std::string name(file.record().data() + 6, 10);
  return name.substr(0, name.find_last_not_of(' ') + 1);
}

class ManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_.set_input(&input_);
    errors_.Init(engine_);
    runtime::ClearError();
  }
  void TearDown() override { runtime::ClearError(); }

  std::string PlacePath(const std::string& name = "PLAATS.TVN") const { return folder_ / name; }

  // Makes the place file with these rows (country, number, name).
  void MakePlaces(const std::vector<std::tuple<std::string, int32_t, std::string>>& rows,
                  const std::string& name = "PLAATS.TVN") {
    storage::DeclaredFile file(PlaceDeclaration(PlacePath(name)));
    ASSERT_EQ(file.Create(), 0);
    ASSERT_EQ(file.Open(0x12), 0);
    for (const auto& [country, number, place] : rows) {
      SetPlace(file, country, number, place);
      ASSERT_EQ(file.Add(), 0) << number;
    }
    ASSERT_EQ(file.Close(), 0);
  }

  // The user answers the next message box with `button`.
  void Answer(int button) {
    input_.Add([button](ui::HeadlessEngine& e) { ASSERT_TRUE(e.AnswerMessage(button).ok()); });
  }
  // The captions of the boxes shown so far.
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const ui::ShownMessage& shown : engine_.messages()) captions.push_back(shown.box.caption);
    return captions;
  }
  const std::string& LastText() const { return engine_.messages().back().box.text; }

  test_support::TempFolder folder_;
  ui::HeadlessEngine engine_;
  ui::ActionInput input_;
  ErrorManager errors_;
};

}  // namespace tentaria::framework::testing

#endif  // TENTARIA_TESTS_FRAMEWORK_FILE_MANAGER_FIXTURE_H_
