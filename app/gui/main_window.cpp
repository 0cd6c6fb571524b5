#include "app/gui/main_window.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <array>
#include <string_view>

#include "app/gui/gbk_codec.h"
#include "app/gui/hidden_selection.h"
#include "app/gui/link_table_model.h"
#include "app/gui/text_box.h"
#include "app/sample_input.h"
#include "text/text.h"

namespace linkmill {

namespace {

constexpr std::string_view kAnalysingAddress =
    "\xB7\xD6\xCE\xF6\xB5\xD8\xD6\xB7\xD6\xD0......";  // 分析地址中......
constexpr std::string_view kConvertStarted =
    "\xBF\xAA\xCA\xBC\xD7\xAA\xBB\xBB!!......";  // 开始转换!!......

// The outer size the window is centred by, frame and title bar included.
constexpr int kOuterWidth = 475;
constexpr int kOuterHeight = 391;

constexpr std::array<int, kColumnCount> kColumnWidths = {25, 50, 200, 70, 70, 0, 0};

TextBox* MakeBox(QWidget* parent, const QString& name, const QRect& place) {
  auto* box = new TextBox(parent);
  box->setObjectName(name);
  box->setGeometry(place);
  return box;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QRect& place) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(place);
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

QTableView* MakeList(QWidget* parent, LinkTableModel* rows) {
  auto* list = new QTableView(parent);
  list->setObjectName(QStringLiteral("超级列表框1"));
  list->setGeometry(16, 136, 440, 136);
  list->setModel(rows);
  list->setShowGrid(true);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSortingEnabled(false);
  list->setWordWrap(false);
  list->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  HideSelectionWithoutFocus(list);

  QHeaderView* rows_header = list->verticalHeader();
  rows_header->hide();
  rows_header->setSectionResizeMode(QHeaderView::Fixed);
  rows_header->setDefaultSectionSize(list->fontMetrics().height() + 4);

  QHeaderView* header = list->horizontalHeader();
  header->setSectionsClickable(true);  // clickable, but a click sorts nothing
  header->setSortIndicatorShown(false);
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setMinimumSectionSize(0);
  for (int column = 0; column < kColumnCount; ++column) {
    header->resizeSection(column, kColumnWidths[column]);
  }
  return list;
}

}  // namespace

MainWindow::MainWindow(TaskStarter start, WindowTasks tasks)
    : start_(std::move(start)),
      tasks_(std::move(tasks)),
      input_(MakeBox(this, QStringLiteral("编辑框1"), QRect(15, 16, 441, 80))),
      log_(MakeBox(this, QStringLiteral("编辑框3"), QRect(14, 280, 440, 63))),
      rows_(new LinkTableModel(this)),
      list_(MakeList(this, rows_)),
      controls_(this, *input_, *log_, *rows_) {
  setWindowTitle(QStringLiteral("Linkmill"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);

  const struct {
    const char16_t* name;
    const char16_t* caption;
    int left;
    void (MainWindow::*handler)();
  } buttons[] = {
      {u"筛选按钮", u"筛选", 15, &MainWindow::OnFilter},
      {u"转换按钮", u"转换", 104, &MainWindow::OnConvert},
      {u"复制按钮", u"复制", 193, &MainWindow::OnCopy},
      {u"清空按钮", u"清空", 282, &MainWindow::OnClear},
      {u"按钮5", u"意见反馈", 373, &MainWindow::OnAbout},
  };
  // Tab walks the controls from the top left.
  QWidget* previous = input_;
  for (const auto& button : buttons) {
    QPushButton* widget =
        MakeButton(this, QString::fromUtf16(button.name), QString::fromUtf16(button.caption),
                   QRect(button.left, 102, 80, 32));
    connect(widget, &QPushButton::clicked, this, button.handler);
    setTabOrder(previous, widget);
    previous = widget;
  }
  setTabOrder(previous, list_);
  setTabOrder(list_, log_);
  // Lies right of the client area: never seen, never read or written.
  MakeBox(this, QStringLiteral("编辑框2"), QRect(476, 17, 440, 103));

  input_->SetText(SampleInput());

  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  move(screen.x() + (screen.width() - kOuterWidth) / 2,
       screen.y() + (screen.height() - kOuterHeight) / 2);

  // The created event: the window and all its controls exist.
  controls_.ResetLog();
}

void MainWindow::StartOnControls(const std::function<void(Controls&)>& task) {
  start_([task, &controls = controls_] { task(controls); });
}

void MainWindow::OnFilter() {
  const Text input = controls_.ReadInput();
  if (CompareText(TextLeft(input, 7), "http://") == 0) {
    controls_.AppendLog(Text(kAnalysingAddress));
    StartOnControls(tasks_.analyse_page);
  } else {
    StartOnControls(tasks_.filter);
  }
}

void MainWindow::OnConvert() {
  controls_.AppendLog(Text(kConvertStarted));
  StartOnControls(tasks_.convert);
}

void MainWindow::OnCopy() {
  Text links;
  const int count = controls_.RowCount();
  for (int row = 0; row < count; ++row) {
    const Text link = controls_.GetCell(row, 6);
    if (TextLength(link) >= 2) links += link + "\r\n";
  }
  QGuiApplication::clipboard()->setText(GbkToUnicode(links));
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("复制成功！"), QStringLiteral("已复制"),
                  QMessageBox::Ok, this);
  box.exec();
}

void MainWindow::OnClear() {
  controls_.WriteInput(Text());
  controls_.ClearRows();
  controls_.ResetLog();
}

void MainWindow::OnAbout() {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("关于作者"),
                  QStringLiteral("即时通讯：20131220\n电子邮件：author@example.org\n网名：磨链匠"),
                  QMessageBox::Ok, this);
  box.exec();
}

}  // namespace linkmill
