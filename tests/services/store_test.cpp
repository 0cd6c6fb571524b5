#include "services/store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "services/temp_dir.h"

namespace linkmill::services {
namespace {

using testing::TempDir;

constexpr const char* kBdhdHash = "016E2D91F30162F17D6AE5B19F19F09C";
constexpr const char* kEd2kHash = "0123456789ABCDEF0123456789ABCDEF";
constexpr const char* kQvodHash = "EB2F5E6BE05074D8D2229C9B778D1CFA618E4421";
// The name is GBK for 中文.rmvb.
const std::string kLink = "bdhd://161941792|AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA|\xD6\xD0\xCE\xC4.rmvb";

Mappings OneOfEach() {
  Mappings m;
  m.bdhd.push_back({kBdhdHash, kEd2kHash});
  m.qvod.push_back({kQvodHash, kLink});
  return m;
}

std::unique_ptr<Store> OpenOrFail(const std::string& path) {
  std::string error;
  std::unique_ptr<Store> store = Store::Open(path, &error);
  EXPECT_TRUE(store) << error;
  return store;
}

TEST(Store, FindsWhatWasImportedAndNothingElse) {
  TempDir dir;
  auto store = OpenOrFail(dir.File("m.db"));
  ASSERT_TRUE(store);
  std::string error;
  ASSERT_TRUE(store->Import(OneOfEach(), &error)) << error;

  LookupResult ed2k = store->FindEd2kHash(kBdhdHash);
  EXPECT_EQ(ed2k.status, LookupStatus::kFound);
  EXPECT_EQ(ed2k.value, kEd2kHash);
  LookupResult link = store->FindBdhdLink(kQvodHash);
  EXPECT_EQ(link.status, LookupStatus::kFound);
  EXPECT_EQ(link.value, kLink);  // GBK bytes unchanged

  EXPECT_EQ(store->FindEd2kHash(std::string(kBdhdHash, 31) + "0").status, LookupStatus::kUnknown);
  // The tables are separate: a bdhd hash is no qvod key and the other way round.
  EXPECT_EQ(store->FindBdhdLink(kBdhdHash).status, LookupStatus::kUnknown);
  EXPECT_EQ(store->FindEd2kHash(kQvodHash).status, LookupStatus::kUnknown);
}

TEST(Store, ImportUpdatesAKnownKeyAndKeepsDataAcrossReopening) {
  TempDir dir;
  std::string error;
  {
    auto store = OpenOrFail(dir.File("m.db"));
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->Import(OneOfEach(), &error)) << error;
    Mappings update;
    update.bdhd.push_back({kBdhdHash, "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"});
    ASSERT_TRUE(store->Import(update, &error)) << error;
  }
  auto reopened = OpenOrFail(dir.File("m.db"));
  ASSERT_TRUE(reopened);
  EXPECT_EQ(reopened->FindEd2kHash(kBdhdHash).value, "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF");
  EXPECT_EQ(reopened->FindBdhdLink(kQvodHash).value, kLink);
  Mappings all;
  ASSERT_TRUE(reopened->Export(&all, &error)) << error;
  EXPECT_EQ(all.bdhd.size(), 1u);
  EXPECT_EQ(all.qvod.size(), 1u);
}

TEST(Store, ExportListsEveryMappingOrderedByKey) {
  TempDir dir;
  auto store = OpenOrFail(dir.File("m.db"));
  ASSERT_TRUE(store);
  Mappings m;
  m.bdhd.push_back({"BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB", kEd2kHash});
  m.bdhd.push_back({"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", kEd2kHash});
  m.qvod.push_back({kQvodHash, kLink});
  std::string error;
  ASSERT_TRUE(store->Import(m, &error)) << error;
  Mappings all;
  ASSERT_TRUE(store->Export(&all, &error)) << error;
  ASSERT_EQ(all.bdhd.size(), 2u);
  EXPECT_EQ(all.bdhd[0].bdhd_hash, "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
  EXPECT_EQ(all.bdhd[1].bdhd_hash, "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB");
  ASSERT_EQ(all.qvod.size(), 1u);
  EXPECT_EQ(all.qvod[0].bdhd_link, kLink);
}

TEST(Store, RefusesAFileThatIsNoStore) {
  TempDir dir;
  testing::WriteFile(dir.File("not.db"), std::string(4096, 'x'));
  std::string error;
  EXPECT_FALSE(Store::Open(dir.File("not.db"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(Store::Open(dir.File("missing-folder/m.db"), &error));
}

// Many threads look up while another imports: every lookup finds its key, and
// none fails for a busy or shared connection.
TEST(Store, AnswersConcurrentLookupsDuringAnImport) {
  TempDir dir;
  auto store = OpenOrFail(dir.File("m.db"));
  ASSERT_TRUE(store);
  std::string error;
  ASSERT_TRUE(store->Import(OneOfEach(), &error)) << error;

  std::atomic<int> wrong{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 8; ++t) {
    readers.emplace_back([&] {
      for (int i = 0; i < 500; ++i) {
        if (store->FindEd2kHash(kBdhdHash).value != kEd2kHash) ++wrong;
        if (store->FindBdhdLink(kQvodHash).value != kLink) ++wrong;
      }
    });
  }
  Mappings more;
  for (int i = 0; i < 1000; ++i) {
    char key[33];
    std::snprintf(key, sizeof key, "%032X", i);
    more.bdhd.push_back({key, kEd2kHash});
  }
  bool imported = store->Import(more, &error);
  for (std::thread& t : readers) t.join();
  EXPECT_TRUE(imported) << error;
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(store->FindEd2kHash("000000000000000000000000000003E7").status, LookupStatus::kFound);
}

}  // namespace
}  // namespace linkmill::services
