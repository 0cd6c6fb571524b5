// linkmill-cli: Linkmill's tasks on in-memory controls, for scripts.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "app/memory_controls.h"
#include "cli/encoding.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/task_group.h"
#include "convert/convert_task.h"
#include "links/filter.h"
#include "web/page_analysis.h"

namespace linkmill {
namespace {

void RunCommand(const Options& options, MemoryControls& controls) {
  switch (options.command) {
    case Command::kFilter:
      RunFilter(controls);
      break;
    case Command::kAnalyze: {
      TaskGroup tasks;
      tasks.Start([&] { RunPageAnalysis(controls, tasks.Starter()); });
      tasks.Wait();
      break;
    }
    case Command::kConvert:
      RunFilter(controls);
      RunConvert(controls, options.hosts);
      break;
    case Command::kHelp:
      break;
  }
}

int Main(const std::vector<std::string>& args) {
  std::string error;
  const std::optional<Options> options = ParseOptions(args, error);
  if (!options) {
    std::cerr << "linkmill-cli: " << error << "\nTry 'linkmill-cli --help'.\n";
    return 2;
  }
  if (options->command == Command::kHelp) {
    std::cout << kUsage;
    return 0;
  }
  std::ios::sync_with_stdio(false);
  const std::string input(std::istreambuf_iterator<char>(std::cin), {});
  MemoryControls controls(InputToGbk(input, options->encoding));
  RunCommand(*options, controls);
  std::cout << GbkToOutput(RenderOutput(controls, options->command, options->output),
                           options->encoding);
  std::cout.flush();
  return std::cout ? 0 : 1;
}

}  // namespace
}  // namespace linkmill

int main(int argc, char** argv) {
  return linkmill::Main(std::vector<std::string>(argv + 1, argv + argc));
}
