// Random filters and orders over a random table with several keys, each
// view's result checked against a scan, filter and sort worked out here
// from the rows alone.
#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "tests/views/view_fixture.h"

namespace tentaria::views {
namespace {

using storage::KeyDescriptor;
using storage::key_attribute::DUP;
using testing::Component;
using testing::GetSite;
using testing::kNaam;
using testing::kNr;
using testing::kPlaats;
using testing::kPrijs;
using testing::Site;

// Texts compare blank-padded, byte by byte (the built-in collation).
int CompareText(std::string a, std::string b) {
  size_t n = std::max(a.size(), b.size());
  a.resize(n, ' ');
  b.resize(n, ' ');
  return a < b ? -1 : a > b ? 1 : 0;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

struct Condition {
  std::string text;
  std::function<bool(const Site&)> holds;
};

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  std::string Name() {
    std::string name;
    int length = 1 + Pick(4);
    for (int i = 0; i < length; ++i) name.push_back("ABCabc"[Pick(Pick(3) == 0 ? 6 : 3)]);
    return name;
  }

  Condition Comparison() {
    static const char* kOps[] = {"=", "<>", "<", "<=", ">", ">="};
    int op = Pick(6);
    auto test = [op](int order) {
      switch (op) {
        case 0:
          return order == 0;
        case 1:
          return order != 0;
        case 2:
          return order < 0;
        case 3:
          return order <= 0;
        case 4:
          return order > 0;
        default:
          return order >= 0;
      }
    };
    std::string o = kOps[op];
    switch (Pick(6)) {
      case 0: {
        int n = Pick(60);
        return {"S:PRIJS " + o + " " + std::to_string(n),
                [=](const Site& s) { return test(s.prijs < n ? -1 : s.prijs > n); }};
      }
      case 1: {
        int n = Pick(300);
        return {std::to_string(n) + " " + o + " S:NR",
                [=](const Site& s) { return test(n < s.nr ? -1 : n > s.nr); }};
      }
      case 2: {
        std::string name = Name();
        return {"S:NAAM " + o + " '" + name + "'",
                [=](const Site& s) { return test(CompareText(s.naam, name)); }};
      }
      case 3: {
        std::string prefix = Name();
        int length = static_cast<int>(prefix.size()) + (Pick(4) == 0 ? 1 : 0);
        return {"SUB(S:NAAM, 1, " + std::to_string(length) + ") = '" + prefix + "'",
                [=](const Site& s) {
                  std::string naam = s.naam;
                  naam.resize(12, ' ');
                  return CompareText(naam.substr(0, static_cast<size_t>(length)), prefix) == 0;
                }};
      }
      case 4: {
        std::string name = Upper(Name());
        return {"UPPER(S:NAAM) " + o + " '" + name + "'",
                [=](const Site& s) { return test(CompareText(Upper(s.naam), name)); }};
      }
      default: {
        std::string place = std::string(1, "PQR"[Pick(3)]);
        return {"S:PLAATS " + o + " '" + place + "'",
                [=](const Site& s) { return test(CompareText(s.plaats, place)); }};
      }
    }
  }

  Condition Filter(int depth) {
    int kind = depth == 0 ? 0 : Pick(4);
    if (kind == 0) return Comparison();
    if (kind == 1) {
      Condition inner = Filter(depth - 1);
      return {"NOT (" + inner.text + ")", [h = inner.holds](const Site& s) { return !h(s); }};
    }
    Condition a = Filter(depth - 1), b = Filter(depth - 1);
    if (kind == 2) {
      return {"(" + a.text + ") AND (" + b.text + ")",
              [ha = a.holds, hb = b.holds](const Site& s) { return ha(s) && hb(s); }};
    }
    return {"(" + a.text + ") OR (" + b.text + ")",
            [ha = a.holds, hb = b.holds](const Site& s) { return ha(s) || hb(s); }};
  }

  struct Order {
    std::string text;
    std::vector<std::pair<int, bool>> components;  // field, descending
  };
  Order RandomOrder() {
    static const char* kFields[] = {"S:NR", "S:NAAM", "S:PLAATS", "S:PRIJS"};
    Order order;
    int count = Pick(4);
    for (int i = 0; i < count; ++i) {
      int field = Pick(4);
      bool descending = Pick(2) == 1;
      if (!order.text.empty()) order.text += ", ";
      order.text += std::string(descending ? "-" : "") + kFields[field];
      order.components.push_back({field, descending});
    }
    return order;
  }

 private:
  std::mt19937 random_;
};

int CompareField(const Site& a, const Site& b, int field) {
  switch (field) {
    case kNr:
      return a.nr < b.nr ? -1 : a.nr > b.nr;
    case kNaam:
      return CompareText(a.naam, b.naam);
    case kPlaats:
      return CompareText(a.plaats, b.plaats);
    default:
      return a.prijs < b.prijs ? -1 : a.prijs > b.prijs;
  }
}

int CompareInOrder(const Site& a, const Site& b, const Generator::Order& order) {
  for (auto [field, descending] : order.components) {
    int c = CompareField(a, b, field);
    if (c != 0) return descending ? -c : c;
  }
  return 0;
}

class ViewDifferentialTest : public testing::ViewTest {};

TEST_F(ViewDifferentialTest, RandomFiltersAndOrdersMatchAPlainScan) {
  Generator generator(20001208);
  std::vector<Site> rows;
  for (int32_t nr = 1; nr <= 300; ++nr) {
    rows.push_back(
        {nr, generator.Name(), std::string(1, "PQR"[generator.Pick(3)]), generator.Pick(50)});
  }
  std::vector<KeyDescriptor> keys = {
      {"S:K_NR", "", storage::key_attribute::PRIMARY, {Component(kNr)}},
      {"S:K_NAAM", "", DUP, {Component(kNaam)}},
      {"S:K_NAAMNC", "", DUP | storage::key_attribute::NOCASE, {Component(kNaam)}},
      {"S:K_PLAATS", "", DUP, {Component(kPlaats), Component(kNaam, true)}},
      {"S:K_PRIJS", "", DUP, {Component(kPrijs, true), Component(kNr)}}};
  auto sites = MakeSites("SITES", "S", rows, keys);
  std::map<int32_t, Site> by_number;
  for (const Site& site : rows) by_number[site.nr] = site;
  auto view = SingleView(*sites);

  int ranged = 0, sorted = 0, by_key = 0;
  for (int round = 0; round < 150; ++round) {
    Condition filter = generator.Filter(generator.Pick(4));
    Generator::Order order = generator.RandomOrder();
    ASSERT_EQ(view->SetFilter(filter.text), 0) << filter.text;
    ASSERT_EQ(view->SetOrder(order.text), 0) << order.text;
    std::set<int32_t> expected;
    for (const Site& site : rows) {
      if (filter.holds(site)) expected.insert(site.nr);
    }
    for (bool forward : {true, false}) {
      ASSERT_EQ(view->SetView(), 0);
      std::vector<int32_t> got = ReadAll(*view, *sites, forward);
      std::string plan = view->DescribePlan();
      ranged += plan.find("range") != std::string::npos;
      sorted += plan.find("sorting") != std::string::npos;
      by_key += plan.find("delivered by the key") != std::string::npos;
      std::string context = filter.text + " | " + order.text + (forward ? "" : " backwards") +
                            "\n" + view->DescribePlan();
      ASSERT_EQ(std::set<int32_t>(got.begin(), got.end()), expected) << context;
      ASSERT_EQ(got.size(), expected.size()) << context;
      for (size_t i = 1; i < got.size(); ++i) {
        int c = CompareInOrder(by_number[got[i - 1]], by_number[got[i]], order);
        ASSERT_TRUE(forward ? c <= 0 : c >= 0) << context << "\nat " << i;
      }
    }
  }
  // The rounds went through key ranges, sorts and orders read off a key.
  EXPECT_GT(ranged, 20);
  EXPECT_GT(sorted, 20);
  EXPECT_GT(by_key, 20);
}

}  // namespace
}  // namespace tentaria::views
