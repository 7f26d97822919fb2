// The page cache: its table of pages, the order in which it drops pages,
// pages reused for later loads, and the key heads of index pages.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "storage/page.h"
#include "storage/page_image.h"
#include "storage/page_map.h"
#include "storage/page_store.h"
#include "tests/storage/test_util.h"

namespace tentaria::storage {
namespace {

using testing::OpenFile;
using testing::Problems;
using testing::RowKey;
using testing::RowRecord;
using testing::TempDir;

TEST(PageMapTest, MatchesAnOrderedMapUnderRandomChanges) {
  PageMap map;
  std::map<int32_t, Page*> model;
  std::mt19937 random(3);
  // Neighbouring references, provisional negative ones, and a narrow
  // range that makes long runs of colliding entries.
  auto any_ref = [&random]() {
    switch (random() % 3) {
      case 0:
        return static_cast<int32_t>(random() % 5000);
      case 1:
        return -static_cast<int32_t>(random() % 300) - 2;
      default:
        return static_cast<int32_t>(random() % 64) * 1024;
    }
  };
  for (int step = 0; step < 20000; ++step) {
    int32_t ref = any_ref();
    bool present = model.count(ref) != 0;
    switch (random() % 4) {
      case 0:
      case 1:
        if (!present) {
          auto page = std::make_unique<Page>(ref, 0);
          model[ref] = page.get();
          map.Insert(ref, std::move(page));
        }
        break;
      case 2: {
        std::unique_ptr<Page> page = map.Erase(ref);
        ASSERT_EQ(page.get(), present ? model[ref] : nullptr);
        model.erase(ref);
        break;
      }
      default: {
        int32_t to = any_ref();
        if (!present || model.count(to) != 0) break;
        map.Find(ref)->used = 77;
        map.Rekey(ref, to);
        model[to] = model[ref];
        model.erase(ref);
        ASSERT_EQ(map.Find(to)->used, 77u);
        break;
      }
    }
    if (step % 1000 == 0 || step > 19900) {
      ASSERT_EQ(map.size(), model.size());
      for (const auto& [key, page] : model) {
        PageMap::Entry* entry = map.Find(key);
        ASSERT_NE(entry, nullptr) << key;
        ASSERT_EQ(entry->page.get(), page);
      }
      size_t visited = 0;
      map.ForEach([&](const PageMap::Entry& entry) {
        ++visited;
        EXPECT_EQ(model.at(entry.ref), entry.page.get());
      });
      ASSERT_EQ(visited, model.size());
    }
  }
  map.Clear();
  EXPECT_EQ(map.size(), 0u);
  EXPECT_EQ(map.Find(model.begin()->first), nullptr);
}

// Pages as a flush leaves them: given places, clean, each holding one
// record of `bytes` bytes.
std::vector<Page*> CleanPages(PageStore* store, int count, size_t bytes) {
  std::vector<Page*> pages;
  for (int i = 0; i < count; ++i) {
    Page* page = store->NewPage(0);
    page->Insert(0, std::string(bytes, static_cast<char>('a' + i % 26)), 4);
    store->Rekey(page, i + 1);
    pages.push_back(page);
  }
  store->MarkAllClean();
  return pages;
}

bool Cached(PageStore* store, int32_t ref) {
  Page* page = nullptr;
  return store->Get(ref, &page).ok();
}

TEST(PageStoreTest, DropsTheLeastRecentlyUsedCleanPagesOnly) {
  BlockFile file(nullptr, "");
  PageStore store(&file);
  std::vector<Page*> pages = CleanPages(&store, 100, 1000);
  // Pages 1 to 10 used again; page 50 changed.
  for (int32_t ref = 10; ref >= 1; --ref) ASSERT_TRUE(Cached(&store, ref));
  store.MarkDirty(pages[49]);
  size_t budget = store.clean_bytes() / 2;
  store.Trim(budget);
  EXPECT_LE(store.clean_bytes(), budget - budget / 8);
  EXPECT_GT(store.clean_bytes(), budget - budget / 8 - pages[0]->memory_size());

  // A miss while loads are refused says so and loads nothing.
  store.set_cached_only(true);
  size_t cached = store.cached_pages();
  for (int32_t ref = 1; ref <= 10; ++ref) EXPECT_TRUE(Cached(&store, ref)) << ref;
  EXPECT_TRUE(Cached(&store, 50));
  Page* page = nullptr;
  EXPECT_EQ(store.Get(11, &page).code(), kNotCachedCode);
  EXPECT_EQ(store.cached_pages(), cached);
  // What is left of the others is the most recently used (made last) of them.
  std::vector<int32_t> kept;
  for (int32_t ref = 11; ref <= 100; ++ref) {
    if (ref != 50 && Cached(&store, ref)) kept.push_back(ref);
  }
  ASSERT_FALSE(kept.empty());
  EXPECT_EQ(kept.back() - kept.front() + 1 - (kept.front() < 50 ? 1 : 0),
            static_cast<int32_t>(kept.size()));
  EXPECT_EQ(kept.back(), 100);
  EXPECT_EQ(store.cached_pages(), 10 + 1 + kept.size());
  // Dropped pages wait as spares for a quarter of the budget at most.
  size_t page_bytes = pages[0]->memory_size();
  EXPECT_EQ(store.spare_pages(), budget / 4 / page_bytes);

  // Forgotten and cleared pages are gone, spares with them.
  store.Forget(pages[0]);
  EXPECT_FALSE(Cached(&store, 1));
  store.Clear();
  EXPECT_EQ(store.cached_pages(), 0u);
  EXPECT_EQ(store.spare_pages(), 0u);
  EXPECT_EQ(store.clean_bytes(), 0u);
}

// Records from a few bytes to some kilobytes make pages of very different
// sizes, so that each load reuses a page that held another size.
TEST(PageStoreTest, LoadsIntoReusedPagesOfOtherSizes) {
  TempDir dir;
  RecordFileOptions options;
  options.cache_bytes = 24000;
  auto file = OpenFile(dir.File("reuse.tvn"), testing::kExclusive, options);
  std::mt19937 random(11);
  std::map<uint32_t, size_t> lengths;
  for (uint32_t row = 0; row < 3000; ++row) {
    size_t length = row % 7 == 0 ? 2000 + random() % 4000 : random() % 300;
    lengths[row] = length;
    ASSERT_TRUE(file->Insert(RowRecord(row, length), 9).ok());
  }
  ASSERT_TRUE(file->Flush().ok());
  std::string record;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 4000; ++i) {
      auto row = static_cast<uint32_t>(random() % 3000);
      ASSERT_TRUE(file->Get(RowKey(row), &record).ok());
      ASSERT_EQ(record, RowRecord(row, lengths[row])) << row;
      if (i % 50 == 0) {
        lengths[row] = random() % 5000;
        ASSERT_TRUE(file->Put(RowRecord(row, lengths[row]), 9).ok());
      }
    }
    ASSERT_TRUE(file->Flush().ok());
  }
  EXPECT_EQ(Problems(file.get()), std::vector<std::string>{});
  auto cursor = file->NewCursor();
  uint32_t row = 0;
  for (Status s = cursor->SeekToFirst(); s.ok() && cursor->Valid(); s = cursor->Next(), ++row) {
    ASSERT_EQ(cursor->record(), RowRecord(row, lengths[row]));
  }
  EXPECT_EQ(row, 3000u);
}

// The child an index page names for key, found by looking at every entry.
size_t PlainChildFor(const Page& page, const std::string& key) {
  size_t child = 0;
  for (size_t i = 0; i < page.size(); ++i) {
    if (CompareKeys(page.key(i), key) <= 0) child = i;
  }
  return child;
}

void ExpectChildrenAsPlainSearch(const Page& page, const std::vector<std::string>& probes) {
  for (const std::string& probe : probes) {
    ASSERT_EQ(page.ChildFor(probe), PlainChildFor(page, probe))
        << "probe of " << probe.size() << " bytes in a page of " << page.size();
  }
}

// Keys sharing long leading parts, differing at or near the eighth byte
// after them, and some shorter than what the others share.
std::string IndexKey(std::mt19937& random) {
  std::string key = random() % 5 == 0 ? "tab" : "table-0001/";
  size_t tail = random() % 12;
  for (size_t i = 0; i < tail; ++i) key.push_back(static_cast<char>(random() % 4 ? 'k' : 0xF3));
  return key;
}

TEST(PageHeadsTest, IndexPagesFindChildrenAsAPlainSearchDoes) {
  std::mt19937 random(5);
  Page page(1, 1);
  std::vector<std::string> probes = {"", "t", "ta", "table-0001", "table-0001/", "zzz"};
  for (int step = 0; step < 3000; ++step) {
    std::string key = IndexKey(random);
    probes.push_back(key);
    std::string near = key;
    near.push_back('\0');
    probes.push_back(near);
    size_t at = page.LowerBound(key);
    bool exists = at < page.size() && page.key(at) == key;
    switch (random() % 5) {
      case 0:
      case 1:
        if (!exists) page.Insert(at, key, key.size(), step);
        break;
      case 2:
        if (page.size() != 0) page.Erase(random() % page.size());
        break;
      case 3:
        // A key replaced by another that keeps the order.
        if (exists) page.Replace(at, key + "\x01", key.size() + 1, step);
        break;
      default:
        if (page.size() > 40) {
          Page tail(2, 1);
          page.MoveTail(page.size() / 2, &tail);
          ExpectChildrenAsPlainSearch(tail, probes);
        }
        break;
    }
    if (step % 50 == 0) ExpectChildrenAsPlainSearch(page, probes);
  }
  ExpectChildrenAsPlainSearch(page, probes);

  // The same after a round trip through the stored image, loaded into a
  // page that was a leaf.
  std::string image;
  ASSERT_TRUE(EncodePageImage(page, static_cast<uint32_t>(BlockOffset(9)), &image).ok());
  Page loaded(3, 0);
  loaded.Insert(0, std::string(500, 'q'), 3);
  ASSERT_TRUE(
      DecodePageImage(reinterpret_cast<const uint8_t*>(image.data()), image.size(), 9, &loaded)
          .ok());
  ASSERT_EQ(loaded.size(), page.size());
  ExpectChildrenAsPlainSearch(loaded, probes);

  // A root taking a child's entries, and going down to a leaf and back.
  Page root(4, 2);
  root.TakeAll(&loaded);
  root.set_level(1);
  ExpectChildrenAsPlainSearch(root, probes);
  root.set_level(0);
  root.set_level(1);
  ExpectChildrenAsPlainSearch(root, probes);
}

}  // namespace
}  // namespace tentaria::storage
