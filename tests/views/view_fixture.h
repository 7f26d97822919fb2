// Helpers of the view tests: a table of campsites declared as a program
// would, its fields bound under their labels, rows written through the
// driver, a view over one or more files, and a driver that counts reads.
#ifndef TENTARIA_TESTS_VIEWS_VIEW_FIXTURE_H_
#define TENTARIA_TESTS_VIEWS_VIEW_FIXTURE_H_

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/error_state.h"
#include "runtime/value_types.h"
#include "storage/declared_file.h"
#include "storage/tavrin_driver.h"
#include "tests/support/temp_folder.h"
#include "views/name_table.h"
#include "views/view_descriptor.h"
#include "views/view_engine.h"

namespace tentaria::views::testing {

// Fields of a site row: S:NR LONG, S:NAAM STRING(12), S:PLAATS STRING(10),
// S:PRIJS LONG.
inline constexpr int kNr = 0, kNaam = 1, kPlaats = 2, kPrijs = 3;

struct Site {
  int32_t nr = 0;
  std::string naam;
  std::string plaats;
  int32_t prijs = 0;
};

inline storage::FieldDescriptor Field(const std::string& label, runtime::TypeCode type,
                                      uint16_t offset, uint16_t size) {
  storage::FieldDescriptor field;
  field.type = static_cast<uint8_t>(type);
  field.offset = offset;
  field.size = size;
  if (type == runtime::TypeCode::STRING) field.string_length = size;
  field.label = label;
  return field;
}

inline storage::KeyComponent Component(int field, bool descending = false) {
  return {static_cast<uint16_t>(field),
          static_cast<uint16_t>(descending ? storage::kComponentDescending : 0)};
}

// Keys: 0 S:K_NR (NR, unique), 1 S:K_NAAM (NAAM, DUP), 2 S:K_PLAATS
// (PLAATS, NAAM, DUP), 3 S:K_PRIJS (PRIJS, DUP); `keys` replaces them.
inline storage::FileDescriptor SiteDeclaration(const std::string& name, const std::string& prefix,
                                               std::vector<storage::KeyDescriptor> keys = {}) {
  using runtime::TypeCode;
  storage::FileDescriptor file;
  file.prefix = prefix;
  file.name = name;
  file.attributes = storage::file_attribute::CREATE;
  file.layout.record_size = 30;
  file.layout.fields = {Field(prefix + ":NR", TypeCode::LONG, 0, 4),
                        Field(prefix + ":NAAM", TypeCode::STRING, 4, 12),
                        Field(prefix + ":PLAATS", TypeCode::STRING, 16, 10),
                        Field(prefix + ":PRIJS", TypeCode::LONG, 26, 4)};
  if (keys.empty()) {
    using storage::key_attribute::DUP;
    keys = {{prefix + ":K_NR", "", storage::key_attribute::PRIMARY, {Component(kNr)}},
            {prefix + ":K_NAAM", "", DUP, {Component(kNaam)}},
            {prefix + ":K_PLAATS", "", DUP, {Component(kPlaats), Component(kNaam)}},
            {prefix + ":K_PRIJS", "", DUP, {Component(kPrijs)}}};
  }
  file.keys = std::move(keys);
  return file;
}

inline void PutSite(storage::DeclaredFile& file, const Site& site) {
  char* record = file.record().data();
  std::memcpy(record, &site.nr, 4);
  std::string naam = site.naam, plaats = site.plaats;
  naam.resize(12, ' ');
  plaats.resize(10, ' ');
  std::memcpy(record + 4, naam.data(), 12);
  std::memcpy(record + 16, plaats.data(), 10);
  std::memcpy(record + 26, &site.prijs, 4);
}

inline std::string Trimmed(std::string text) {
  size_t end = text.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

inline Site GetSite(storage::DeclaredFile& file) {
  const char* record = file.record().data();
  Site site;
  std::memcpy(&site.nr, record, 4);
  site.naam = Trimmed(std::string(record + 4, 12));
  site.plaats = Trimmed(std::string(record + 16, 10));
  std::memcpy(&site.prijs, record + 26, 4);
  return site;
}

// Binds every field of the file under its label.
inline void BindFields(NameScopes& names, storage::DeclaredFile& file) {
  for (const storage::FieldDescriptor& field : file.block().layout.fields) {
    BoundVariable variable;
    variable.address = file.record().data() + field.offset;
    variable.type = field.type;
    variable.size = field.size;
    names.Bind(field.label, variable);
  }
}

// The Tavrin driver, counting the NEXT and PREVIOUS calls it receives.
inline storage::DriverDescriptor CountingDriver(std::shared_ptr<int64_t> reads) {
  storage::DriverDescriptor driver = storage::TavrinDriver();
  storage::DispatchEntry inner = driver.dispatch;
  driver.dispatch = [inner, reads](int operation, storage::FileControlBlock& block,
                                   const storage::OperationArguments& args) {
    if (operation == storage::op::NEXT || operation == storage::op::PREVIOUS) ++*reads;
    return inner(operation, block, args);
  };
  return driver;
}

// Adds the rows in one transaction, so that the file is written once.
inline void AddAll(storage::DeclaredFile& file, const std::vector<Site>& rows) {
  ASSERT_EQ(file.Call(storage::op::LOGOUT), 0);
  for (const Site& site : rows) {
    PutSite(file, site);
    ASSERT_EQ(file.Add(), 0) << site.nr;
  }
  ASSERT_EQ(file.Call(storage::op::COMMIT), 0);
}

class ViewTest : public ::testing::Test {
 protected:
  // A site table `table` in the test's guide file, open, with the rows.
  std::unique_ptr<storage::DeclaredFile> MakeSites(const std::string& table,
                                                   const std::string& prefix,
                                                   const std::vector<Site>& rows,
                                                   std::vector<storage::KeyDescriptor> keys = {}) {
    auto file = std::make_unique<storage::DeclaredFile>(
        SiteDeclaration(folder_ / (table + ".tvn") + "\\!" + table, prefix, std::move(keys)),
        storage::TavrinDriver());
    EXPECT_EQ(file->Share(), 0);
    AddAll(*file, rows);
    BindFields(names_, *file);
    return file;
  }

  // A view of one file.
  std::unique_ptr<ViewEngine> SingleView(storage::DeclaredFile& file) {
    ViewDescriptor descriptor;
    descriptor.files = {{&file, -1}};
    descriptor.nodes = EncodeViewNodes(ViewNodeSpec());
    auto view = std::make_unique<ViewEngine>(std::move(descriptor), &names_);
    EXPECT_EQ(view->Open(), 0);
    return view;
  }

  // The NR of every record that NEXT (or PREVIOUS) gives until 33.
  std::vector<int32_t> ReadAll(ViewEngine& view, storage::DeclaredFile& file, bool forward = true) {
    std::vector<int32_t> numbers;
    int code = 0;
    while ((code = forward ? view.Next() : view.Previous()) == 0) {
      numbers.push_back(GetSite(file).nr);
    }
    EXPECT_EQ(code, 33);
    return numbers;
  }

  test_support::TempFolder folder_;
  NameScopes names_;
};

}  // namespace tentaria::views::testing

#endif  // TENTARIA_TESTS_VIEWS_VIEW_FIXTURE_H_
