// The SQLite file the services answer from. Lookups may come from many threads
// at once: each takes a connection of its own from a small pool, so no SQLite
// connection is ever used by two threads at the same time.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "services/mappings.h"

namespace linkmill::services {

enum class LookupStatus { kFound, kUnknown, kFailed };

struct LookupResult {
  LookupStatus status = LookupStatus::kFailed;
  std::string value;  // set when found
};

class Store {
 public:
  // Opens the store at path, creating the file and its tables when needed;
  // null, with the reason in *error, when it cannot.
  static std::unique_ptr<Store> Open(const std::string& path, std::string* error);
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  // The ed2k hash of an upper-case bdhd hash.
  LookupResult FindEd2kHash(std::string_view bdhd_hash);
  // The bdhd link of an upper-case qvod hash.
  LookupResult FindBdhdLink(std::string_view qvod_hash);

  // Adds every mapping, replacing the answer of a key already known; all or
  // nothing, in one transaction. False, with the reason in *error, on failure.
  bool Import(const Mappings& mappings, std::string* error);
  // Every mapping, ordered by key.
  bool Export(Mappings* mappings, std::string* error);

  struct Connection;

 private:
  explicit Store(std::string path);
  std::unique_ptr<Connection> Acquire(std::string* error);
  void Release(std::unique_ptr<Connection> connection);
  LookupResult Find(int statement, std::string_view key);

  std::string path_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<Connection>> idle_;
};

}  // namespace linkmill::services
