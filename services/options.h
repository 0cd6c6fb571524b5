// The command line of linkmill-services.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace linkmill::services {

enum class Command { kServe, kImport, kExport, kHelp };

struct Options {
  Command command = Command::kServe;
  std::string host = "127.0.0.1";
  int port = 8920;
  std::string db;    // empty: the default store
  std::string file;  // the file to import
};

// Reads the arguments after the program name; false, with the reason in
// *error, on bad usage.
bool ParseOptions(const std::vector<std::string_view>& args, Options* options, std::string* error);

extern const char* const kUsage;

// $XDG_DATA_HOME/linkmill/mappings.db, else ~/.local/share/linkmill/mappings.db,
// creating the folder; empty, with the reason in *error, when there is no home.
std::string DefaultDatabasePath(std::string* error);

}  // namespace linkmill::services
