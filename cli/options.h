// The command line of linkmill-cli.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/encoding.h"
#include "convert/convert_task.h"

namespace linkmill {

enum class Command { kFilter, kAnalyze, kConvert, kHelp };
enum class OutputForm { kControlText, kRows, kState };

struct Options {
  Command command = Command::kHelp;
  Encoding encoding = Encoding::kUtf8;
  OutputForm output = OutputForm::kControlText;
  ServiceHosts hosts;
};

// The options, or the reason they are wrong in error.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

extern const char kUsage[];

}  // namespace linkmill
