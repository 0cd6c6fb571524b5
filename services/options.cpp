#include "services/options.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace linkmill::services {

const char* const kUsage =
    "Usage: linkmill-services [--listen HOST:PORT] [--db FILE]\n"
    "       linkmill-services import [--db FILE] FILE\n"
    "       linkmill-services export [--db FILE]\n"
    "\n"
    "Answers the hash lookup (GET /f2e?ID=<bdhd hash>) and the link query\n"
    "(GET /queryfid?type=str&url=<qvod link>) from a store of mappings.\n"
    "\n"
    "  --listen HOST:PORT  address to answer on (default 127.0.0.1:8920); port 0\n"
    "                      picks a free port. The bound address is printed.\n"
    "  --db FILE           the store (default $XDG_DATA_HOME/linkmill/mappings.db,\n"
    "                      else ~/.local/share/linkmill/mappings.db)\n"
    "  import FILE         adds the mappings of FILE, tab-separated lines\n"
    "                        bdhd<TAB><bdhd hash><TAB><ed2k hash>\n"
    "                        qvod<TAB><qvod hash><TAB><bdhd link>\n"
    "                      in UTF-8 (or GBK); nothing is imported when a line is bad\n"
    "  export              writes every mapping to standard output in that form\n"
    "  --help              shows this text\n";

namespace {

bool ParseListen(std::string_view value, Options* options, std::string* error) {
  std::size_t colon = value.rfind(':');
  std::string_view host = value.substr(0, colon);
  std::string_view port = colon == std::string_view::npos ? "" : value.substr(colon + 1);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  int number = -1;
  auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), number);
  if (host.empty() || port.empty() || ec != std::errc() || end != port.data() + port.size() ||
      number < 0 || number > 65535) {
    *error =
        "--listen wants HOST:PORT with a port from 0 to 65535, not \"" + std::string(value) + "\"";
    return false;
  }
  options->host = host;
  options->port = number;
  return true;
}

}  // namespace

bool ParseOptions(const std::vector<std::string_view>& args, Options* options, std::string* error) {
  bool command_seen = false;
  bool listen_seen = false;
  std::vector<std::string_view> operands;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    std::string_view name = arg.substr(0, arg.find('='));
    bool inline_value = name.size() < arg.size();
    if (arg == "--help" || arg == "-h") {
      options->command = Command::kHelp;
      return true;
    }
    if (name == "--listen" || name == "--db") {
      std::string_view value;
      if (inline_value) {
        value = arg.substr(name.size() + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        *error = std::string(name) + " wants a value";
        return false;
      }
      if (name == "--db") {
        if (value.empty()) {
          *error = "--db wants a file name";
          return false;
        }
        options->db = value;
      } else {
        if (!ParseListen(value, options, error)) return false;
        listen_seen = true;
      }
    } else if (arg.starts_with("-") && arg != "-") {
      *error = "unknown option " + std::string(arg);
      return false;
    } else if (!command_seen && operands.empty() && (arg == "import" || arg == "export")) {
      options->command = arg == "import" ? Command::kImport : Command::kExport;
      command_seen = true;
    } else {
      operands.push_back(arg);
    }
  }
  if (listen_seen && options->command != Command::kServe) {
    *error = "--listen is an option of the server, not of import or export";
    return false;
  }
  std::size_t wanted = options->command == Command::kImport ? 1 : 0;
  if (operands.size() != wanted) {
    *error = wanted == 1 ? "import wants exactly one FILE"
                         : "unexpected argument " + std::string(operands.front());
    return false;
  }
  if (wanted == 1) options->file = operands.front();
  return true;
}

std::string DefaultDatabasePath(std::string* error) {
  namespace fs = std::filesystem;
  fs::path base;
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  // A relative XDG_DATA_HOME is invalid and is ignored.
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else if (home && home[0] != '\0') {
    base = fs::path(home) / ".local" / "share";
  } else {
    *error = "neither XDG_DATA_HOME nor HOME is set; name the store with --db";
    return {};
  }
  fs::path folder = base / "linkmill";
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    *error = "cannot create " + folder.string() + ": " + ec.message();
    return {};
  }
  return (folder / "mappings.db").string();
}

}  // namespace linkmill::services
