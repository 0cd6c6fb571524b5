#include "app/gui/main_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/gui/gbk_codec.h"
#include "app/sample_input.h"
#include "window_test_support.h"

namespace linkmill {
namespace {

// A window whose buttons start recorded tasks instead of the real ones; the
// test runs them when it wants, on its own thread.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    auto record = [this](const char* name) {
      return [this, name](Controls&) { ran_.push_back(name); };
    };
    window_ = std::make_unique<MainWindow>(
        [this](Task task) { started_.push_back(std::move(task)); },
        WindowTasks{record("filter"), record("analyse_page"), record("convert")});
  }

  std::vector<std::string> RunStartedTasks() {
    for (Task& task : started_) task();
    started_.clear();
    return std::exchange(ran_, {});
  }

  template <typename T>
  T* Child(const char16_t* name) {
    T* child = window_->findChild<T*>(QString::fromUtf16(name));
    EXPECT_NE(child, nullptr) << QString::fromUtf16(name).toStdString();
    return child;
  }

  QPushButton* Button(const char16_t* name) { return Child<QPushButton>(name); }
  QPlainTextEdit* LogBox() { return Child<QPlainTextEdit>(u"编辑框3"); }
  QString LogShown() { return LogBox()->toPlainText(); }
  Controls& controls() { return window_->controls(); }

  std::unique_ptr<MainWindow> window_;
  std::vector<Task> started_;
  std::vector<std::string> ran_;
};

const QRegularExpression kFirstLine(
    QStringLiteral("^\\[\\d{4}年\\d{1,2}月\\d{1,2}日(\\d{1,2}时(\\d{1,2}分(\\d{1,2}秒)?)?)?\\]==>"
                   "初始化完毕\\.{6}$"));

TEST_F(MainWindowTest, ControlsSitWhereTheLayoutPutsThem) {
  const struct {
    const char16_t* name;
    QRect place;
  } controls[] = {
      {u"编辑框1", {15, 16, 441, 80}},       {u"筛选按钮", {15, 102, 80, 32}},
      {u"转换按钮", {104, 102, 80, 32}},     {u"复制按钮", {193, 102, 80, 32}},
      {u"清空按钮", {282, 102, 80, 32}},     {u"按钮5", {373, 102, 80, 32}},
      {u"超级列表框1", {16, 136, 440, 136}}, {u"编辑框3", {14, 280, 440, 63}},
      {u"编辑框2", {476, 17, 440, 103}},
  };
  for (const auto& control : controls) {
    QWidget* widget = Child<QWidget>(control.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), window_.get())
        << QString::fromUtf16(control.name).toStdString();
    EXPECT_EQ(widget->geometry(), control.place) << QString::fromUtf16(control.name).toStdString();
  }
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("Linkmill"));
  EXPECT_EQ(window_->minimumSize(), QSize(459, 353));
  EXPECT_EQ(window_->maximumSize(), QSize(459, 353));
  // Centred on the primary screen by its outer size of 475 x 391.
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(window_->pos(), QPoint(screen.x() + (screen.width() - 475) / 2,
                                   screen.y() + (screen.height() - 391) / 2));
  EXPECT_TRUE(window_->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(window_->windowFlags() & Qt::WindowMaximizeButtonHint);
  // The spare box starts right of the client area, so it is never seen.
  EXPECT_GE(Child<QWidget>(u"编辑框2")->x(), window_->width());

  const struct {
    const char16_t* name;
    const char16_t* caption;
  } buttons[] = {{u"筛选按钮", u"筛选"},
                 {u"转换按钮", u"转换"},
                 {u"复制按钮", u"复制"},
                 {u"清空按钮", u"清空"},
                 {u"按钮5", u"意见反馈"}};
  for (const auto& button : buttons) {
    EXPECT_EQ(Button(button.name)->text(), QString::fromUtf16(button.caption));
    EXPECT_FALSE(Button(button.name)->isDefault());
  }
}

TEST_F(MainWindowTest, ListHasSevenFixedColumnsAndNoSorting) {
  auto* list = Child<QTableView>(u"超级列表框1");
  const struct {
    const char16_t* title;
    int width;
  } columns[] = {{u"序", 25},   {u"类型", 50},  {u"文件名", 200}, {u"后缀", 70},
                 {u"大小", 70}, {u"哈希值", 0}, {u"地址", 0}};
  ASSERT_EQ(list->model()->columnCount(), 7);
  for (int column = 0; column < 7; ++column) {
    EXPECT_EQ(list->model()->headerData(column, Qt::Horizontal).toString(),
              QString::fromUtf16(columns[column].title))
        << column;
    EXPECT_EQ(list->horizontalHeader()->sectionSize(column), columns[column].width) << column;
  }
  EXPECT_FALSE(list->verticalHeader()->isVisible());
  EXPECT_TRUE(list->showGrid());
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);

  // The zero-wide columns hold their text, and a click on a header sorts nothing.
  controls().AppendNumberedRow({"", "QVOD", "b", "", "", "H2", "qvod://b"});
  controls().AppendNumberedRow({"", "BDHD", "a", "", "", "H1", "bdhd://a"});
  ASSERT_TRUE(RunEventsUntil([&] { return list->model()->rowCount() == 2; }));
  window_->show();
  for (int column : {1, 2}) {
    const QHeaderView* header = list->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
  }
  EXPECT_EQ(list->model()->index(0, 2).data().toString(), QStringLiteral("b"));
  EXPECT_EQ(list->model()->index(0, 6).data().toString(), QStringLiteral("qvod://b"));
  EXPECT_EQ(list->model()->index(1, 5).data().toString(), QStringLiteral("H1"));
}

TEST_F(MainWindowTest, StartsWithTheSampleAndOneLogLine) {
  EXPECT_EQ(controls().ReadInput(), SampleInput());
  EXPECT_EQ(Child<QPlainTextEdit>(u"编辑框1")->textCursor().position(), 0);
  EXPECT_EQ(controls().RowCount(), 0);
  EXPECT_TRUE(kFirstLine.match(LogShown()).hasMatch()) << LogShown().toStdString();
}

TEST_F(MainWindowTest, ClearEmptiesInputListAndLog) {
  controls().AppendNumberedRow({"", "BDHD", "a", "", "", "", "bdhd://a"});
  controls().AppendLog("one");
  Button(u"清空按钮")->click();
  EXPECT_EQ(controls().ReadInput(), "");
  EXPECT_EQ(controls().RowCount(), 0);
  EXPECT_TRUE(kFirstLine.match(LogShown()).hasMatch()) << LogShown().toStdString();
  EXPECT_TRUE(RunStartedTasks().empty());
}

TEST_F(MainWindowTest, CopyPutsLinksOfTwoBytesOrMoreOnTheClipboard) {
  const struct {
    const char* name;
    std::vector<Text> links;
    QString want;
  } cases[] = {
      {"no rows", {}, ""},
      {"found links",
       {"bdhd://1|A|a.rmvb", "qvod://2|B|b.rmvb"},
       "bdhd://1|A|a.rmvb\r\nqvod://2|B|b.rmvb\r\n"},
      {"failed and short conversions left out",
       {"ed2k://|file|a|1|H|/", "", "x", "ab"},
       "ed2k://|file|a|1|H|/\r\nab\r\n"},
      {"gbk file name",
       {Gbk(u8"ed2k://|file|未知.rmvb|1|H|/")},
       QStringLiteral("ed2k://|file|未知.rmvb|1|H|/\r\n")},
  };
  for (const auto& c : cases) {
    controls().ClearRows();
    for (const Text& link : c.links)
      controls().AppendNumberedRow({"", "ED2K", "", "", "", "", link});
    QGuiApplication::clipboard()->setText(QStringLiteral("old content"));
    const ShownBox box = RunWithMessageBox([&] { Button(u"复制按钮")->click(); });
    EXPECT_EQ(QGuiApplication::clipboard()->text(), c.want) << c.name;
    EXPECT_TRUE(box.shown) << c.name;
    EXPECT_EQ(box.title, QStringLiteral("复制成功！")) << c.name;
    EXPECT_EQ(box.text, QStringLiteral("已复制")) << c.name;
    EXPECT_FALSE(box.has_icon) << c.name;
    EXPECT_EQ(box.button_count, 1) << c.name;
  }
}

TEST_F(MainWindowTest, AboutBoxShowsThreeContactLines) {
  const ShownBox box = RunWithMessageBox([&] { Button(u"按钮5")->click(); });
  EXPECT_TRUE(box.shown);
  EXPECT_EQ(box.title, QStringLiteral("关于作者"));
  EXPECT_EQ(box.text.split(u'\n').size(), 3) << box.text.toStdString();
  EXPECT_FALSE(box.has_icon);
  EXPECT_EQ(box.button_count, 1);
}

TEST_F(MainWindowTest, FilterAnalysesOnlyInputStartingExactlyWithHttp) {
  const struct {
    const char* input;
    const char* task;
  } cases[] = {
      {"http://example.org/page.html", "analyse_page"},
      {"http://", "analyse_page"},
      {"HTTP://example.org/", "filter"},
      {"https://example.org/", "filter"},
      {" http://example.org/", "filter"},
      {"http:/", "filter"},
      {"", "filter"},
      {"bdhd://1|016E2D91F30162F17D6AE5B19F19F09C|a.rmvb", "filter"},
  };
  const Text analysing = Gbk(u8"分析地址中......");
  for (const auto& c : cases) {
    controls().WriteInput(c.input);
    controls().ResetLog();
    Button(u"筛选按钮")->click();
    EXPECT_THAT(RunStartedTasks(), ::testing::ElementsAre(c.task)) << c.input;
    const bool logged = LogShown().endsWith(GbkToUnicode(analysing));
    EXPECT_EQ(logged, std::string(c.task) == "analyse_page") << c.input;
  }
}

TEST_F(MainWindowTest, EveryConvertPressLogsAndStartsATask) {
  Button(u"转换按钮")->click();
  Button(u"转换按钮")->click();
  EXPECT_THAT(RunStartedTasks(), ::testing::ElementsAre("convert", "convert"));
  const QStringList lines = LogShown().split(u'\n');
  ASSERT_EQ(lines.size(), 3);
  for (int i : {1, 2}) EXPECT_TRUE(lines[i].endsWith(u"]==>开始转换!!......")) << i;
}

TEST_F(MainWindowTest, LogLinesGoAfterUserTextAndCannotBeUndone) {
  auto* log = LogBox();
  window_->show();
  log->setFocus();
  const QString first = LogShown();
  log->moveCursor(QTextCursor::End);
  QTest::keyClicks(log, QStringLiteral("note"));
  log->moveCursor(QTextCursor::Start);  // the caret may be anywhere
  QTest::keyClicks(log, QStringLiteral(">"));
  controls().AppendLog(Gbk(u8"转换完毕!!......"));
  controls().AppendLog("two");

  const QStringList lines = LogShown().split(u'\n');
  ASSERT_EQ(lines.size(), 3) << LogShown().toStdString();
  EXPECT_EQ(lines[0], QStringLiteral(">") + first + QStringLiteral("note"));
  EXPECT_TRUE(lines[1].startsWith(u"[") && lines[1].endsWith(u"]==>转换完毕!!......"));
  EXPECT_TRUE(lines[2].endsWith(u"]==>two"));
  EXPECT_EQ(log->textCursor().position(), log->document()->characterCount() - 1);

  const QString before_undo = LogShown();
  QTest::keyClick(log, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(LogShown(), before_undo);

  // A long log stays scrolled to its newest line, where the caret is.
  for (int i = 0; i < 30; ++i) controls().AppendLog("more");
  QCoreApplication::processEvents();
  EXPECT_GT(log->verticalScrollBar()->value(), 0);
  EXPECT_TRUE(log->viewport()->rect().contains(log->cursorRect()));

  // Read back as the tasks' text: lines joined by "\r\n".
  const Text log_text = UnicodeToGbk(LogShown());
  EXPECT_EQ(std::count(log_text.begin(), log_text.end(), '\n'), 32);
}

// What is written into the input box reads back byte for byte.
TEST_F(MainWindowTest, InputReadsBackExactlyWhatWasWritten) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"sample", SampleInput()},
      {"crlf", "a\r\nb\r\n"},
      {"lf", "a\nb\n"},
      {"cr", "a\rb\r"},
      {"mixed", "\r\n\n\r\r\n x \n"},
      {"invalid gbk", "\x80\xFF\x81\x20\xA1"},
      {"lone lead byte at end", "\xCE\xB4\xD6"},
      {"gbk", "\xCE\xB4\xD6\xAA\r\n"},
  };
  for (const auto& c : cases) {
    controls().WriteInput(c.bytes);
    EXPECT_EQ(controls().ReadInput(), c.bytes) << c.name;
  }
}

TEST_F(MainWindowTest, EditedInputReadsWithCrLfAndKeepsOddBytes) {
  auto* input = Child<QPlainTextEdit>(u"编辑框1");
  window_->show();
  input->setFocus();
  controls().WriteInput("a\nb\rc\r\n\xFF\xCE\xB4\xD6");
  input->moveCursor(QTextCursor::End);
  QTest::keyClicks(input, QStringLiteral("z"));
  QTest::keyClick(input, Qt::Key_Return);
  input->insertPlainText(QStringLiteral("未"));  // as a paste does
  EXPECT_EQ(controls().ReadInput(), "a\r\nb\r\nc\r\n\xFF\xCE\xB4\xD6z\r\n\xCE\xB4");
  // A no-break space pasted from a web page reads as a space.
  input->insertPlainText(QString(QChar::Nbsp));
  EXPECT_EQ(controls().ReadInput(), "a\r\nb\r\nc\r\n\xFF\xCE\xB4\xD6z\r\n\xCE\xB4 ");
  // Undone back to the written text, it reads as the box now shows it.
  while (input->document()->isUndoAvailable()) input->undo();
  EXPECT_EQ(controls().ReadInput(), "a\r\nb\r\nc\r\n\xFF\xCE\xB4\xD6");
}

}  // namespace
}  // namespace linkmill
