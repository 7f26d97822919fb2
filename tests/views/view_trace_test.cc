// The view trace switched on in the user profile: each operation of a view
// on its own line, the first line preceded by the view's description; and
// the record files' own traces while a view reads them.
#include <gtest/gtest.h>

#include "platform/profile.h"
#include "storage/driver_trace.h"
#include "tests/support/temp_folder.h"
#include "tests/views/view_fixture.h"

namespace tentaria::views {
namespace {

class ViewTraceTest : public test_support::TempHomeTest {
 protected:
  std::unique_ptr<ViewEngine> OpenView() {
    sites_ = std::make_unique<storage::DeclaredFile>(
        testing::SiteDeclaration(folder_ / "sites.tvn", "S"), storage::TavrinDriver());
    EXPECT_EQ(sites_->Share(), 0);
    testing::AddAll(*sites_, {{1, "Een", "Ede", 1}});
    ViewDescriptor descriptor;
    descriptor.files = {{sites_.get(), -1}};
    descriptor.nodes = EncodeViewNodes(ViewNodeSpec());
    return std::make_unique<ViewEngine>(std::move(descriptor), &names_);
  }

  test_support::TempFolder folder_;
  NameScopes names_;
  std::unique_ptr<storage::DeclaredFile> sites_;
};

TEST_F(ViewTraceTest, OperationsGoToTheTraceFileWhenProfiling) {
  ASSERT_TRUE(platform::WriteProfileString("RTVIEW", "Profile", "1"));
  ASSERT_TRUE(platform::WriteProfileString("RTVIEW", "TraceFile", "VIEWS.LOG"));
  auto view = OpenView();
  ASSERT_EQ(view->Open(), 0);
  ASSERT_EQ(view->Next(), 0);
  EXPECT_EQ(view->Next(), 33);
  ASSERT_EQ(view->Close(), 0);
  std::string trace = test_support::ReadTextFile(storage::TraceFileHostPath("VIEWS.LOG"));
  std::string identity = trace.substr(0, trace.find(':', 5) + 1);
  ASSERT_TRUE(identity.starts_with("VIEW:")) << trace;
  EXPECT_EQ(trace.find(identity + "VIEW(FILE)\r\nEND\r\n" + identity + "OPEN "), 0u) << trace;
  EXPECT_NE(trace.find(identity + "NEXT "), std::string::npos) << trace;
  EXPECT_NE(trace.find("Error: Record Not Available Time Taken: "), std::string::npos) << trace;
  EXPECT_NE(trace.find(identity + "CLOSE "), std::string::npos) << trace;
}

// Lines of a trace that record the operation `name`.
int TracedOperations(const std::string& trace, const std::string& name) {
  int lines = 0;
  size_t at = 0;
  while (at < trace.size()) {
    if (trace.compare(at, name.size() + 1, name + " ") == 0) ++lines;
    size_t end = trace.find('\n', at);
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return lines;
}

TEST_F(ViewTraceTest, FileTracesAreSilentWhileTheViewHasAPlan) {
  ASSERT_TRUE(platform::WriteProfileString("RTTAVRIN", "Profile", "1"));
  ASSERT_TRUE(platform::WriteProfileString("RTTAVRIN", "TraceFile", "FILES.LOG"));
  auto view = OpenView();
  ASSERT_EQ(view->Open(), 0);
  ASSERT_EQ(view->Next(), 0);
  ASSERT_EQ(view->Next(), 33);
  std::string path = storage::TraceFileHostPath("FILES.LOG");
  std::string during = test_support::ReadTextFile(path);
  EXPECT_EQ(TracedOperations(during, "ADD"), 1) << during;
  EXPECT_EQ(TracedOperations(during, "SETfile"), 0) << during;
  EXPECT_EQ(TracedOperations(during, "NEXT"), 0) << during;
  // Without the plan the file speaks for itself again.
  ASSERT_EQ(view->Close(), 0);
  ASSERT_EQ(sites_->SetFile(), 0);
  ASSERT_EQ(sites_->Next(), 0);
  std::string after = test_support::ReadTextFile(path);
  EXPECT_EQ(TracedOperations(after, "NEXT"), 1) << after;
}

TEST_F(ViewTraceTest, TraceIntoFilesKeepsTheFileTracesOfTheViewsReads) {
  ASSERT_TRUE(platform::WriteProfileString("RTTAVRIN", "Profile", "1"));
  ASSERT_TRUE(platform::WriteProfileString("RTTAVRIN", "TraceFile", "FILES.LOG"));
  ASSERT_TRUE(platform::WriteProfileString("RTVIEW", "TraceIntoFiles", "1"));
  auto view = OpenView();
  ASSERT_EQ(view->Open(), 0);
  ASSERT_EQ(view->Next(), 0);
  ASSERT_EQ(view->Next(), 33);
  std::string trace = test_support::ReadTextFile(storage::TraceFileHostPath("FILES.LOG"));
  EXPECT_EQ(TracedOperations(trace, "NEXT"), 2) << trace;
}

TEST_F(ViewTraceTest, NothingIsWrittenWithoutProfile) {
  auto view = OpenView();
  ASSERT_EQ(view->Open(), 0);
  ASSERT_EQ(view->Next(), 0);
  EXPECT_FALSE(std::filesystem::exists(storage::TraceFileHostPath("VIEW.LOG")));
}

}  // namespace
}  // namespace tentaria::views
