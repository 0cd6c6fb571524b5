// linkmill-services: the hash-lookup and link-query services of Linkmill.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "services/commands.h"
#include "services/options.h"

int main(int argc, char** argv) {
  using namespace linkmill::services;
  constexpr int kBadUsage = 2;
  std::vector<std::string_view> args(argv + 1, argv + argc);
  Options options;
  std::string error;
  if (!ParseOptions(args, &options, &error)) {
    std::cerr << "linkmill-services: " << error << "\n"
              << "Try 'linkmill-services --help'.\n";
    return kBadUsage;
  }
  switch (options.command) {
    case Command::kHelp:
      std::cout << kUsage;
      return 0;
    case Command::kImport:
      return RunImport(options);
    case Command::kExport:
      return RunExport(options);
    case Command::kServe:
      break;
  }
  return RunServe(options);
}
