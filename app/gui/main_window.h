// The program's only window: the input box, five buttons, the link list and
// the log, and the handlers of the buttons.
#pragma once

#include <QWidget>
#include <functional>

#include "app/controls.h"
#include "app/gui/qt_controls.h"
#include "app/tasks.h"

class QTableView;

namespace linkmill {

class LinkTableModel;
class TextBox;

// The background tasks the buttons start, each run on the window's controls.
struct WindowTasks {
  std::function<void(Controls&)> filter;
  std::function<void(Controls&)> analyse_page;
  std::function<void(Controls&)> convert;
};

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // The client area's size; with a usual frame the window is 475 x 391.
  static constexpr int kClientWidth = 459;
  static constexpr int kClientHeight = 353;

  // start runs the tasks (StartTask in the program). The window must outlive
  // every task it has started.
  MainWindow(TaskStarter start, WindowTasks tasks);

  // What the tasks reach the controls through.
  Controls& controls() { return controls_; }

 private:
  void OnFilter();
  void OnConvert();
  void OnCopy();
  void OnClear();
  void OnAbout();
  void StartOnControls(const std::function<void(Controls&)>& task);

  TaskStarter start_;
  WindowTasks tasks_;
  TextBox* input_;
  TextBox* log_;
  LinkTableModel* rows_;
  QTableView* list_;
  QtControls controls_;
};

}  // namespace linkmill
