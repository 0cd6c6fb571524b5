#include "app/gui/qt_controls.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QPushButton>
#include <QTableView>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/gui/main_window.h"
#include "text/text.h"
#include "window_test_support.h"

namespace linkmill {
namespace {

// Tasks on threads of their own, reaching the window only through its controls.
class QtControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    window_ = std::make_unique<MainWindow>([](Task) {}, WindowTasks{});
  }

  void TearDown() override {
    for (std::thread& thread : threads_) thread.join();
  }

  // Runs body on a new thread while the UI thread serves its calls.
  void RunTasks(int count, const std::function<void(int)>& body) {
    std::atomic<int> finished = 0;
    for (int i = 0; i < count; ++i) {
      threads_.emplace_back([&finished, body, i] {
        body(i);
        ++finished;
      });
    }
    ASSERT_TRUE(RunEventsUntil([&] { return finished == count; }));
  }

  QAbstractItemModel* ListModel() {
    return window_->findChild<QTableView*>(QStringLiteral("超级列表框1"))->model();
  }

  Controls& controls() { return window_->controls(); }

  std::unique_ptr<MainWindow> window_;
  std::vector<std::thread> threads_;
};

TEST_F(QtControlsTest, ConcurrentAppendsGetTheirOwnRows) {
  constexpr int kTasks = 4;
  constexpr int kRowsEach = 300;
  RunTasks(kTasks, [this](int task) {
    for (int i = 0; i < kRowsEach; ++i) {
      const int row = controls().AppendRow();
      controls().SetCell(row, 1, IntToText(task));
      controls().SetCell(row, 2, IntToText(row));
    }
  });
  ASSERT_EQ(controls().RowCount(), kTasks * kRowsEach);
  std::vector<int> per_task(kTasks);
  for (int row = 0; row < kTasks * kRowsEach; ++row) {
    EXPECT_EQ(controls().GetCell(row, 2), IntToText(row)) << row;
    ++per_task.at(TextToInt(controls().GetCell(row, 1)));
  }
  for (int count : per_task) EXPECT_EQ(count, kRowsEach);
}

TEST_F(QtControlsTest, NumberedRowsCountFromOne) {
  RunTasks(1, [this](int) {
    for (int i = 0; i < 3; ++i) {
      controls().AppendNumberedRow({"ignored", "BDHD", "n", "rmvb", "1B", "H", "bdhd://x"});
    }
  });
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(controls().GetCell(row, 0), IntToText(row + 1));
    EXPECT_EQ(controls().GetCell(row, 6), "bdhd://x");
  }
}

TEST_F(QtControlsTest, CellsOutsideTheListAreLeftAlone) {
  controls().AppendRow();
  const struct {
    int row;
    int column;
  } outside[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 7}, {1000000, 3}};
  for (const auto& cell : outside) {
    controls().SetCell(cell.row, cell.column, "x");
    EXPECT_EQ(controls().GetCell(cell.row, cell.column), "") << cell.row << "," << cell.column;
  }
  for (int column = 0; column < 7; ++column) EXPECT_EQ(controls().GetCell(0, column), "");
  EXPECT_EQ(controls().RowCount(), 1);
}

TEST_F(QtControlsTest, ViewShowsAppendedRowsAndLaterChanges) {
  RunTasks(1, [this](int) {
    for (int i = 0; i < 50; ++i) controls().AppendNumberedRow({"", "BDHD", "", "", "", "", ""});
  });
  ASSERT_TRUE(RunEventsUntil([&] { return ListModel()->rowCount() == 50; }));
  controls().SetCell(49, 1, "ED2K");
  EXPECT_EQ(ListModel()->index(49, 1).data().toString(), QStringLiteral("ED2K"));
  EXPECT_EQ(ListModel()->index(49, 0).data().toString(), QStringLiteral("50"));
  controls().ClearRows();
  EXPECT_EQ(ListModel()->rowCount(), 0);
  controls().AppendRow();
  ASSERT_TRUE(RunEventsUntil([&] { return ListModel()->rowCount() == 1; }));
}

TEST_F(QtControlsTest, TasksKeepWorkingWhileAMessageBoxIsOpen) {
  std::atomic<bool> done = false;
  const ShownBox box = RunWithMessageBox(
      [this] { window_->findChild<QPushButton*>(QStringLiteral("复制按钮"))->click(); },
      [&] {
        if (threads_.empty()) {
          threads_.emplace_back([this, &done] {
            controls().AppendLog("while the box is open");
            controls().AppendNumberedRow({});
            done = true;
          });
        }
        return done.load();
      });
  EXPECT_TRUE(box.shown);
  EXPECT_TRUE(done);
  EXPECT_EQ(controls().RowCount(), 1);
}

TEST_F(QtControlsTest, InputWrittenByATaskReadsBackUnchanged) {
  const Text text = "bdhd://1|H|\xCE\xB4\xD6\xAA.rmvb\r\n\xFF\n";
  Text read;
  RunTasks(1, [&](int) {
    controls().WriteInput(text);
    read = controls().ReadInput();
  });
  EXPECT_EQ(read, text);
}

}  // namespace
}  // namespace linkmill
