// tvn query, run as a real process on a real file: filters, orders,
// positioning, reading backwards, limits, the plan, and what it says about
// a filter or order that does not compile.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_folder.h"
#include "tests/tools/tvn_run.h"

namespace {

using tentaria::test_support::TempFolder;
using tentaria::test_support::WriteTextFile;
using tentaria::tvn_test::ProgramRun;
using tentaria::tvn_test::Quote;
using tentaria::tvn_test::Tvn;

const char kDeclaration[] =
    "C FILE,DRIVER('TAVRIN'),CREATE\r\n"
    "K_NR KEY(+C:NR),PRIMARY\r\n"
    "K_NAAM KEY(+C:NAAM),DUP,NOCASE\r\n"
    "K_PLAATS KEY(+C:PLAATS,-C:PRIJS),DUP\r\n"
    "RECORD\r\n"
    "C:NR LONG\r\n"
    "C:NAAM STRING(20)\r\n"
    "C:PLAATS STRING(12)\r\n"
    "C:PRIJS LONG\r\n"
    "END\r\n"
    "END\r\n";

const char kRows[] =
    "C:NR,C:NAAM,C:PLAATS,C:PRIJS\n"
    "1,Zonneweide,Ede,25\n"
    "2,Bosrand,Putten,18\n"
    "3,Meerzicht,Ede,30\n"
    "4,Heidezicht,Ermelo,22\n"
    "5,Akkerhof,Putten,15\n";

class TvnQueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteTextFile(folder_ / "c.decl", kDeclaration);
    WriteTextFile(folder_ / "rows.csv", kRows);
    ProgramRun import = Tvn("import " + table_ + " --decl " + Quote(folder_ / "c.decl") + " < " +
                            Quote(folder_ / "rows.csv"));
    ASSERT_EQ(import.status, 0) << import.out;
  }
  ProgramRun Query(const std::string& options) { return Tvn("query " + table_ + " " + options); }

  TempFolder folder_;
  std::string table_ = Quote(folder_ / "GIDS.TVN" + "\\!CAMPINGS");
};

TEST_F(TvnQueryTest, FilterAndOrderGiveCsvRows) {
  ProgramRun run = Query("--filter " + Quote("C:PRIJS >= 20") + " --order " + Quote("-C:PRIJS"));
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out,
            "C:NR,C:NAAM,C:PLAATS,C:PRIJS\r\n"
            "3,Meerzicht,Ede,30\r\n"
            "1,Zonneweide,Ede,25\r\n"
            "4,Heidezicht,Ermelo,22\r\n");
}

TEST_F(TvnQueryTest, KeyFromValuesBackwardAndLimit) {
  ProgramRun by_key = Query("--key K_NAAM --limit 2");
  ASSERT_EQ(by_key.status, 0) << by_key.out;
  EXPECT_EQ(by_key.out,
            "C:NR,C:NAAM,C:PLAATS,C:PRIJS\r\n5,Akkerhof,Putten,15\r\n2,Bosrand,Putten,18\r\n");
  ProgramRun from = Query("--order " + Quote("C:PLAATS, -C:PRIJS") + " --from " + Quote("Ermelo"));
  ASSERT_EQ(from.status, 0) << from.out;
  EXPECT_EQ(from.out,
            "C:NR,C:NAAM,C:PLAATS,C:PRIJS\r\n4,Heidezicht,Ermelo,22\r\n"
            "2,Bosrand,Putten,18\r\n5,Akkerhof,Putten,15\r\n");
  ProgramRun backward = Query("--order C:NR --backward --limit 1");
  ASSERT_EQ(backward.status, 0) << backward.out;
  EXPECT_EQ(backward.out, "C:NR,C:NAAM,C:PLAATS,C:PRIJS\r\n5,Akkerhof,Putten,15\r\n");
}

TEST_F(TvnQueryTest, PlanShowsTheKeyAndTheRange) {
  ProgramRun run =
      Query("--order C:PLAATS --filter " + Quote("SUB(C:PLAATS, 1, 2) = 'Ed'") + " --plan");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("KeyScan"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("key K_PLAATS forward"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("range C:PLAATS from 'Ed' to 'Ee'"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("condition"), std::string::npos) << run.out;
}

TEST_F(TvnQueryTest, FilterOrOrderThatDoesNotCompileIsReported) {
  ProgramRun unbound = Query("--filter " + Quote("C:ONBEKEND = 1"));
  EXPECT_EQ(unbound.status, 1);
  EXPECT_NE(unbound.out.find("error 801: No BIND on variable (C:ONBEKEND)"), std::string::npos)
      << unbound.out;
  ProgramRun syntax = Query("--filter " + Quote("C:NR >"));
  EXPECT_EQ(syntax.status, 1);
  EXPECT_NE(syntax.out.find("does not compile"), std::string::npos) << syntax.out;
  ProgramRun order = Query("--order " + Quote("C:NR, C:ONBEKEND"));
  EXPECT_EQ(order.status, 1);
  EXPECT_NE(order.out.find("error 801"), std::string::npos) << order.out;
  EXPECT_EQ(Query("--limit x").status, 2);
}

}  // namespace
