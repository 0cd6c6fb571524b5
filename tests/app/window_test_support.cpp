#include "window_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <cstdlib>

#include "app/gui/gbk_codec.h"

namespace linkmill {

namespace {

constexpr int kGuardMilliseconds = 30000;

}  // namespace

void EnsureApplication() {
  if (QApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "app_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives as long as the test program
}

bool RunEventsUntil(const std::function<bool()>& done) {
  QDeadlineTimer guard(kGuardMilliseconds);
  while (!done()) {
    if (guard.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

ShownBox RunWithMessageBox(const std::function<void()>& action,
                           const std::function<bool()>& while_open) {
  ShownBox seen;
  QDeadlineTimer guard(kGuardMilliseconds);
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    if (!seen.shown) {
      seen.shown = true;
      seen.title = box->windowTitle();
      seen.text = box->text();
      seen.has_icon = box->icon() != QMessageBox::NoIcon;
      seen.button_count = static_cast<int>(box->buttons().size());
    }
    if (!while_open() && !guard.hasExpired()) return;
    poll.stop();
    box->button(QMessageBox::Ok)->click();
  });
  poll.start();
  action();
  poll.stop();
  return seen;
}

Text Gbk(const char8_t* utf8) {
  return UnicodeToGbk(QString::fromUtf8(reinterpret_cast<const char*>(utf8)));
}

}  // namespace linkmill

// Under LeakSanitizer: fontconfig keeps the font patterns that Qt looked up
// until the process ends and never frees them; that is no leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
