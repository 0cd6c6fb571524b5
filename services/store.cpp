#include "services/store.h"

#include <sqlite3.h>

#include <array>

namespace linkmill::services {
namespace {

constexpr int kFindEd2k = 0;
constexpr int kFindLink = 1;

// Written into the file's user_version so that a later layout can tell it apart.
constexpr int kSchemaVersion = 1;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS bdhd (hash TEXT PRIMARY KEY, ed2k TEXT NOT NULL) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS qvod (hash TEXT PRIMARY KEY, link BLOB NOT NULL) WITHOUT ROWID;";

// A statement that is finalized with its owner.
struct Statement {
  sqlite3_stmt* stmt = nullptr;
  Statement() = default;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement() { sqlite3_finalize(stmt); }
};

std::string Describe(sqlite3* db, const std::string& what) {
  return what + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
}

bool Prepare(sqlite3* db, const char* sql, Statement* statement, std::string* error) {
  if (sqlite3_prepare_v2(db, sql, -1, &statement->stmt, nullptr) == SQLITE_OK) return true;
  *error = Describe(db, "cannot prepare a statement");
  return false;
}

bool Execute(sqlite3* db, const char* sql, std::string* error) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  *error = Describe(db, "cannot update the store");
  return false;
}

void Bind(sqlite3_stmt* stmt, int index, std::string_view value) {
  sqlite3_bind_text(stmt, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

void BindBlob(sqlite3_stmt* stmt, int index, std::string_view value) {
  sqlite3_bind_blob(stmt, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

std::string Column(sqlite3_stmt* stmt, int column) {
  const void* data = sqlite3_column_blob(stmt, column);
  int size = sqlite3_column_bytes(stmt, column);
  return data ? std::string(static_cast<const char*>(data), size) : std::string();
}

}  // namespace

struct Store::Connection {
  sqlite3* db = nullptr;
  std::array<Statement, 2> find;

  Connection() = default;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  // The statements are finalized after this body; close_v2 waits for them.
  ~Connection() { sqlite3_close_v2(db); }
};

namespace {

// Write-ahead logging lets lookups go on while an import writes, and a commit
// survives the process being killed.
bool CreateSchema(sqlite3* db, std::string* error) {
  Statement mode;
  if (!Prepare(db, "PRAGMA journal_mode=WAL", &mode, error)) return false;
  if (sqlite3_step(mode.stmt) != SQLITE_ROW || Column(mode.stmt, 0) != "wal") {
    *error = Describe(db, "cannot switch the store to write-ahead logging");
    return false;
  }
  Statement version;
  if (!Prepare(db, "PRAGMA user_version", &version, error)) return false;
  if (sqlite3_step(version.stmt) != SQLITE_ROW) {
    *error = Describe(db, "cannot read the store's version");
    return false;
  }
  int found = sqlite3_column_int(version.stmt, 0);
  if (found != 0 && found != kSchemaVersion) {
    *error = "the store has layout version " + std::to_string(found) + ", this program knows " +
             std::to_string(kSchemaVersion);
    return false;
  }
  return Execute(db, kSchema, error) &&
         Execute(db, ("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str(), error);
}

// A connection used by one thread at a time (the pool sees to that), so SQLite's
// own per-connection mutex is not needed.
std::unique_ptr<Store::Connection> Connect(const std::string& path, bool create,
                                           std::string* error) {
  auto c = std::make_unique<Store::Connection>();
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  if (sqlite3_open_v2(path.c_str(), &c->db, flags, nullptr) != SQLITE_OK) {
    *error = Describe(c->db, "cannot open " + path);
    return nullptr;
  }
  // Lookups wait for a running import rather than fail.
  sqlite3_busy_timeout(c->db, 5000);
  if (create && !CreateSchema(c->db, error)) return nullptr;
  if (!Prepare(c->db, "SELECT ed2k FROM bdhd WHERE hash = ?1", &c->find[kFindEd2k], error) ||
      !Prepare(c->db, "SELECT link FROM qvod WHERE hash = ?1", &c->find[kFindLink], error)) {
    return nullptr;
  }
  return c;
}

// The statements of an import or export are finalized before the connection
// goes back to the pool, where another thread may take it.
bool ImportInto(sqlite3* db, const Mappings& mappings, std::string* error) {
  Statement put_bdhd;
  Statement put_qvod;
  if (!Prepare(db,
               "INSERT INTO bdhd (hash, ed2k) VALUES (?1, ?2) "
               "ON CONFLICT (hash) DO UPDATE SET ed2k = excluded.ed2k",
               &put_bdhd, error) ||
      !Prepare(db,
               "INSERT INTO qvod (hash, link) VALUES (?1, ?2) "
               "ON CONFLICT (hash) DO UPDATE SET link = excluded.link",
               &put_qvod, error) ||
      !Execute(db, "BEGIN IMMEDIATE", error)) {
    return false;
  }
  auto put = [&](sqlite3_stmt* stmt) {
    bool done = sqlite3_step(stmt) == SQLITE_DONE;
    sqlite3_reset(stmt);
    if (!done) *error = Describe(db, "cannot store a mapping");
    return done;
  };
  bool ok = true;
  for (std::size_t i = 0; ok && i < mappings.bdhd.size(); ++i) {
    Bind(put_bdhd.stmt, 1, mappings.bdhd[i].bdhd_hash);
    Bind(put_bdhd.stmt, 2, mappings.bdhd[i].ed2k_hash);
    ok = put(put_bdhd.stmt);
  }
  for (std::size_t i = 0; ok && i < mappings.qvod.size(); ++i) {
    Bind(put_qvod.stmt, 1, mappings.qvod[i].qvod_hash);
    BindBlob(put_qvod.stmt, 2, mappings.qvod[i].bdhd_link);
    ok = put(put_qvod.stmt);
  }
  ok = ok && Execute(db, "COMMIT", error);
  if (!ok) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  return ok;
}

bool ExportFrom(sqlite3* db, Mappings* mappings, std::string* error) {
  Statement all_bdhd;
  Statement all_qvod;
  // One read transaction, so both tables come from the same moment.
  if (!Prepare(db, "SELECT hash, ed2k FROM bdhd ORDER BY hash", &all_bdhd, error) ||
      !Prepare(db, "SELECT hash, link FROM qvod ORDER BY hash", &all_qvod, error) ||
      !Execute(db, "BEGIN", error)) {
    return false;
  }
  int step;
  while ((step = sqlite3_step(all_bdhd.stmt)) == SQLITE_ROW) {
    mappings->bdhd.push_back({Column(all_bdhd.stmt, 0), Column(all_bdhd.stmt, 1)});
  }
  bool ok = step == SQLITE_DONE;
  while (ok && (step = sqlite3_step(all_qvod.stmt)) == SQLITE_ROW) {
    mappings->qvod.push_back({Column(all_qvod.stmt, 0), Column(all_qvod.stmt, 1)});
  }
  ok = ok && step == SQLITE_DONE;
  if (!ok) *error = Describe(db, "cannot read the store");
  sqlite3_reset(all_bdhd.stmt);
  sqlite3_reset(all_qvod.stmt);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  return ok;
}

}  // namespace

Store::Store(std::string path) : path_(std::move(path)) {}

Store::~Store() = default;

std::unique_ptr<Store> Store::Open(const std::string& path, std::string* error) {
  std::unique_ptr<Connection> first = Connect(path, true, error);
  if (!first) return nullptr;
  std::unique_ptr<Store> store(new Store(path));
  store->Release(std::move(first));
  return store;
}

std::unique_ptr<Store::Connection> Store::Acquire(std::string* error) {
  {
    std::lock_guard lock(mutex_);
    if (!idle_.empty()) {
      std::unique_ptr<Connection> c = std::move(idle_.back());
      idle_.pop_back();
      return c;
    }
  }
  return Connect(path_, false, error);
}

void Store::Release(std::unique_ptr<Connection> connection) {
  std::lock_guard lock(mutex_);
  idle_.push_back(std::move(connection));
}

LookupResult Store::Find(int statement, std::string_view key) {
  std::string error;
  std::unique_ptr<Connection> c = Acquire(&error);
  if (!c) return {LookupStatus::kFailed, {}};
  sqlite3_stmt* stmt = c->find[statement].stmt;
  Bind(stmt, 1, key);
  LookupResult result;
  switch (sqlite3_step(stmt)) {
    case SQLITE_ROW:
      result = {LookupStatus::kFound, Column(stmt, 0)};
      break;
    case SQLITE_DONE:
      result = {LookupStatus::kUnknown, {}};
      break;
    default:
      result = {LookupStatus::kFailed, {}};
  }
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  Release(std::move(c));
  return result;
}

LookupResult Store::FindEd2kHash(std::string_view bdhd_hash) { return Find(kFindEd2k, bdhd_hash); }

LookupResult Store::FindBdhdLink(std::string_view qvod_hash) { return Find(kFindLink, qvod_hash); }

bool Store::Import(const Mappings& mappings, std::string* error) {
  std::unique_ptr<Connection> c = Acquire(error);
  if (!c) return false;
  bool ok = ImportInto(c->db, mappings, error);
  Release(std::move(c));
  return ok;
}

bool Store::Export(Mappings* mappings, std::string* error) {
  std::unique_ptr<Connection> c = Acquire(error);
  if (!c) return false;
  bool ok = ExportFrom(c->db, mappings, error);
  Release(std::move(c));
  return ok;
}

}  // namespace linkmill::services
