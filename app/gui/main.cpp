// Linkmill: pick bdhd and qvod links out of pasted text and turn them into
// ed2k links.
#include <QApplication>
#include <cstdlib>

#include "app/gui/main_window.h"
#include "app/tasks.h"
#include "convert/convert_task.h"
#include "links/filter.h"
#include "web/page_analysis.h"

int main(int argc, char** argv) {
  using namespace linkmill;
  QApplication app(argc, argv);

  const ServiceHosts hosts{LINKMILL_HASH_LOOKUP_HOST, LINKMILL_LINK_QUERY_HOST};
  WindowTasks tasks{
      .filter = [](Controls& controls) { RunFilter(controls); },
      .analyse_page = [](Controls& controls) { RunPageAnalysis(controls, StartTask); },
      .convert = [hosts](Controls& controls) { RunConvert(controls, hosts); },
  };
  MainWindow window(StartTask, std::move(tasks));
  window.show();
  const int status = app.exec();

  // Tasks may still be waiting for the window or the network. End the
  // process with them, before any destructor could run under their feet.
  std::_Exit(status);
}
