#include "cli/options.h"

#include <map>

namespace linkmill {

const char kUsage[] =
    "Usage: linkmill-cli COMMAND [OPTIONS] < INPUT\n"
    "\n"
    "Runs Linkmill's tasks without a window. Standard input is the text of the\n"
    "input box; the result is written to standard output.\n"
    "\n"
    "Commands:\n"
    "  filter     pick every bdhd:// and qvod:// link out of the input and print\n"
    "             the clean links, as the input box holds them afterwards\n"
    "  analyze    the input is a web address: fetch the page (and the scripts it\n"
    "             loads from its host), filter every text that carries links, and\n"
    "             print like filter. The whole input is the address, a final line\n"
    "             break included, as in the window: printf %s URL | linkmill-cli analyze\n"
    "  convert    filter the input, turn every row into an ed2k:// link through\n"
    "             the two lookup services, and print what \"copy\" would copy: every\n"
    "             link of 2 bytes or more, each followed by CR LF\n"
    "  help       show this text\n"
    "\n"
    "Options:\n"
    "  --encoding gbk|utf-8      encoding of input and output (default utf-8)\n"
    "  --rows                    print the list instead: one line per row, the\n"
    "                            seven cells separated by TAB\n"
    "  --state                   print input box, rows and log lines:\n"
    "                              input<TAB>text\n"
    "                              row<TAB>c0<TAB>...<TAB>c6   (one per row)\n"
    "                              log<TAB>message             (one per line)\n"
    "                            fields escape \\ as \\\\, TAB as \\t, CR as \\r, LF as \\n\n"
    "  --hash-lookup-host HOST   host[:port] of the hash-lookup service (convert)\n"
    "  --link-query-host HOST    host[:port] of the link-query service (convert)\n"
    "  -h, --help                show this text\n"
    "\n"
    "Exit status: 0 when the task ran, 2 for a wrong command line.\n";

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  static const std::map<std::string, Command> commands = {{"filter", Command::kFilter},
                                                          {"analyze", Command::kAnalyze},
                                                          {"convert", Command::kConvert},
                                                          {"help", Command::kHelp}};
  Options options;
  options.hosts = {LINKMILL_HASH_LOOKUP_HOST, LINKMILL_LINK_QUERY_HOST};
  if (args.empty()) {
    error = "no command given";
    return std::nullopt;
  }
  if (args[0] == "-h" || args[0] == "--help") return options;
  const auto command = commands.find(args[0]);
  if (command == commands.end()) {
    error = "unknown command '" + args[0] + "'";
    return std::nullopt;
  }
  options.command = command->second;

  bool output_chosen = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string* {
      if (i + 1 >= args.size()) {
        error = "option " + arg + " needs a value";
        return nullptr;
      }
      return &args[++i];
    };
    if (arg == "-h" || arg == "--help") {
      options.command = Command::kHelp;
      return options;
    } else if (arg == "--rows" || arg == "--state") {
      if (output_chosen) {
        error = "--rows and --state exclude each other";
        return std::nullopt;
      }
      output_chosen = true;
      options.output = arg == "--rows" ? OutputForm::kRows : OutputForm::kState;
    } else if (arg == "--encoding") {
      const std::string* v = value();
      if (!v) return std::nullopt;
      if (*v == "gbk") {
        options.encoding = Encoding::kGbk;
      } else if (*v == "utf-8") {
        options.encoding = Encoding::kUtf8;
      } else {
        error = "unknown encoding '" + *v + "' (gbk or utf-8)";
        return std::nullopt;
      }
    } else if (options.command == Command::kConvert &&
               (arg == "--hash-lookup-host" || arg == "--link-query-host")) {
      const std::string* v = value();
      if (!v) return std::nullopt;
      (arg == "--hash-lookup-host" ? options.hosts.hash_lookup : options.hosts.link_query) = *v;
    } else {
      error = "unknown option '" + arg + "' for " + args[0];
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace linkmill
