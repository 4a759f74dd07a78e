// Templates on screen: every control kind at its place in dialog units, with its id as its
// name; what a person does with each reaches the model, and what the model changes is shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <map>

#include "gui/qt_ui_host.h"
#include "gui/template_window.h"
#include "gui/wrapping_button.h"
#include "modal_driver.h"

namespace tessary::gui {
namespace {

using namespace platform;

ControlTemplate C(int id, ControlKind kind, std::string text, int x, int y, int w, int h,
                  std::uint32_t style = kStyleNone) {
  return {id, kind, std::move(text), x, y, w, h, style, std::nullopt};
}

// A model that records every event and answers as a simple dialog would.
class RecordingModel : public DialogModel {
 public:
  RecordingModel() {
    dialog_ = {500, "Sample", 300, 200, {}};
    auto& c = dialog_.controls;
    c.push_back(C(-1, ControlKind::kStatic, "&Name:", 7, 7, 40, 8));
    c.push_back(C(10, ControlKind::kEdit, "", 50, 5, 100, 12));
    c.push_back(C(11, ControlKind::kCheckBox, "&Subcontainers", 7, 22, 80, 10));
    c.push_back(C(12, ControlKind::kRadioButton, "&Append", 7, 35, 60, 10));
    c.push_back(C(13, ControlKind::kRadioButton, "&Overwrite", 70, 35, 60, 10));
    c.push_back(C(14, ControlKind::kStatic, "between", 140, 35, 40, 10));
    c.push_back(C(15, ControlKind::kRadioButton, "&Yes", 7, 48, 60, 10));
    c.push_back(C(16, ControlKind::kRadioButton, "N&o", 70, 48, 60, 10));
    c.push_back(C(20, ControlKind::kListView, "", 7, 60, 140, 60, kStyleCheckBoxes));
    c.push_back(C(21, ControlKind::kTreeView, "", 150, 60, 140, 60));
    c.push_back(C(22, ControlKind::kListBox, "", 7, 125, 80, 40));
    c.push_back(C(23, ControlKind::kDropDownList, "", 90, 125, 80, 40));
    ControlTemplate band = C(24, ControlKind::kStatic, "Title", 0, 170, 300, 10, kStyleBold);
    band.background = Colour{80, 0, 80};
    c.push_back(band);
    c.push_back(C(1, ControlKind::kPushButton, "OK", 190, 180, 50, 14, kStyleDefault));
    c.push_back(C(2, ControlKind::kPushButton, "Cancel", 245, 180, 50, 14));
    for (const ControlTemplate& control : c) {
      if (control.id == -1) continue;
      states_[control.id].text = control.text;
      states_[control.id].style = control.style;
    }
    states_[20].columns = {{"Name", 80}, {"Type", 60}};
    states_[20].rows = {{{"mail", "String"}, false}, {{"cn", "String"}, true}};
    states_[21].items = {{1, 0, "example.com", 163, false, true, nullptr}};
    states_[22].rows = {{{"user"}}, {{"group"}}};
    states_[23].rows = {{{"Create"}}, {{"Modify"}}};
  }

  const DialogTemplate& Template() const override { return dialog_; }
  std::string Title() const override { return "Sample"; }
  const ControlState* State(int id) const override {
    auto found = states_.find(id);
    return found == states_.end() ? nullptr : &found->second;
  }
  void OnInitDialog(DialogWindow& window) override { window_ = &window; }
  void OnDestroyWindow() override { window_ = nullptr; }
  void OnButton(int id) override {
    events_.push_back("button " + std::to_string(id));
    cursor_in_handler_ = QApplication::activeModalWidget()
                             ? QApplication::activeModalWidget()->cursor().shape()
                             : Qt::ArrowCursor;
    if (id == 1 || id == 2) window_->EndModal(id);
  }
  void OnCheck(int id, bool checked) override {
    events_.push_back("check " + std::to_string(id) + (checked ? " on" : " off"));
  }
  void OnEditChanged(int id, const std::string& text) override {
    states_[id].text = text;
    events_.push_back("edit " + std::to_string(id) + " " + text);
  }
  void OnSelect(int id, const std::vector<int>& selection) override {
    events_.push_back("select " + std::to_string(id) + " " +
                      (selection.empty() ? "-" : std::to_string(selection.front())));
  }
  void OnRowCheck(int id, int row, bool checked) override {
    events_.push_back("row " + std::to_string(id) + " " + std::to_string(row) +
                      (checked ? " on" : " off"));
  }
  void OnColumnClick(int id, int column) override {
    events_.push_back("column " + std::to_string(id) + " " + std::to_string(column));
    std::swap(states_[20].rows[0], states_[20].rows[1]);
    window_->ControlChanged(20);
  }
  void OnTreeExpanding(int id, int item) override {
    events_.push_back("expand " + std::to_string(id) + " " + std::to_string(item));
    states_[21].items.push_back({2, 1, "Users", 150, false, false, nullptr});
    states_[21].items.push_back({3, 1, "Sales", 150, false, true, nullptr});
    window_->ControlChanged(21);
  }

  DialogTemplate dialog_;
  std::map<int, ControlState> states_;
  DialogWindow* window_ = nullptr;
  std::vector<std::string> events_;
  Qt::CursorShape cursor_in_handler_ = Qt::ArrowCursor;
};

template <class T>
T& Child(QWidget& window, int id) {
  T* child = window.findChild<T*>(QString::number(id));
  EXPECT_NE(child, nullptr) << id;
  return *child;
}

TEST(TemplateWindow, ControlsStandAtTheirPlacesInDialogUnits) {
  RecordingModel model;
  TemplateWindow window(model, nullptr, TemplateWindow::Kind::kTopLevel);
  const DialogUnits& units = window.Units();
  EXPECT_EQ(window.size(), units.Size(300, 200));
  EXPECT_EQ(window.windowTitle(), "Sample");
  EXPECT_EQ(Child<QLineEdit>(window, 10).geometry(), units.Rect(50, 5, 100, 12));
  EXPECT_EQ(Child<QPushButton>(window, 2).geometry(), units.Rect(245, 180, 50, 14));
  // A drop-down list's height in the template is that of its open list: closed, one line.
  auto& drop_down = Child<QComboBox>(window, 23);
  EXPECT_EQ(drop_down.pos(), units.Rect(90, 125, 80, 40).topLeft());
  EXPECT_EQ(drop_down.width(), units.X(80));
  EXPECT_EQ(drop_down.height(), drop_down.sizeHint().height());
  EXPECT_LT(drop_down.height(), units.Y(40) / 2);
  // A bigger font makes a bigger dialog.
  QFont big = window.font();
  big.setPointSizeF(big.pointSizeF() * 2);
  EXPECT_GT(DialogUnits(big).X(100), units.X(100));
  EXPECT_TRUE(Child<QPushButton>(window, 1).isDefault());
  EXPECT_FALSE(Child<QPushButton>(window, 2).isDefault());
}

TEST(WrappedText, BreaksAtSpacesBeforeTheWidthAndKeepsItsOwnBreaks) {
  const QFontMetrics metrics(QApplication::font());
  const int width = metrics.horizontalAdvance("one two");
  EXPECT_EQ(WrappedText("one two three", metrics, width), "one two\nthree");
  // The mnemonic's mark takes no room.
  EXPECT_EQ(WrappedText("&one two three", metrics, width), "&one two\nthree");
  EXPECT_EQ(WrappedText("one\ntwo", metrics, 10 * width), "one\ntwo");
  EXPECT_EQ(WrappedText("unbreakable one", metrics, width / 3), "unbreakable\none");
}

// The rows of a picture that hold anything darker than the background, to the right of x.
std::pair<int, int> InkRows(const QImage& image, int x) {
  int first = -1, last = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int column = x; column < image.width(); ++column) {
      if (qGray(image.pixel(column, y)) < 100) {
        if (first < 0) first = y;
        last = y;
        break;
      }
    }
  }
  return {first, last};
}

TEST(TemplateWindow, AMultilineOptionWrapsItsTextAndAnIconStaticShowsTheProgramsIcon) {
  RecordingModel model;
  const std::string text = "&Overwrite the values that are there already";
  model.dialog_.controls.push_back(
      C(30, ControlKind::kRadioButton, text, 7, 150, 60, 24, kStyleMultiline));
  model.dialog_.controls.push_back(C(31, ControlKind::kRadioButton, text, 70, 150, 60, 24));
  model.dialog_.controls.push_back(C(32, ControlKind::kStatic, "", 140, 150, 24, 24, kStyleIcon));
  TemplateWindow window(model, nullptr, TemplateWindow::Kind::kTopLevel);
  window.show();
  ASSERT_TRUE(testing::WaitUntil([&] { return window.isVisible(); }));

  auto& wrapping = Child<QRadioButton>(window, 30);
  auto& plain = Child<QRadioButton>(window, 31);
  EXPECT_NE(dynamic_cast<WrappingRadioButton*>(&wrapping), nullptr);
  EXPECT_EQ(dynamic_cast<WrappingRadioButton*>(&plain), nullptr);
  // The text stays the template's; only the drawing breaks it.
  EXPECT_EQ(wrapping.text().toStdString(), text);
  const int line = wrapping.fontMetrics().height();
  const auto [top, bottom] = InkRows(wrapping.grab().toImage(), wrapping.height() / 3);
  EXPECT_GT(bottom - top, line * 3 / 2) << top << ".." << bottom;
  const auto [plain_top, plain_bottom] = InkRows(plain.grab().toImage(), plain.height() / 3);
  EXPECT_LT(plain_bottom - plain_top, line) << plain_top << ".." << plain_bottom;

  auto& icon = Child<QLabel>(window, 32);
  EXPECT_TRUE(icon.text().isEmpty());
  ASSERT_FALSE(icon.pixmap().isNull());
  EXPECT_EQ(icon.pixmap().deviceIndependentSize().toSize(),
            QSize(1, 1) * std::min(icon.width(), icon.height()));
}

TEST(TemplateWindow, MnemonicsTabOrderAndRadioGroups) {
  RecordingModel model;
  TemplateWindow window(model, nullptr, TemplateWindow::Kind::kTopLevel);
  auto* name = window.findChild<QLabel*>("-1");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->buddy(), &Child<QLineEdit>(window, 10));
  EXPECT_EQ(Child<QLineEdit>(window, 10).nextInFocusChain(), &Child<QCheckBox>(window, 11));
  // Two runs of option buttons, split by a static: two groups.
  QButtonGroup* first = Child<QRadioButton>(window, 12).group();
  QButtonGroup* second = Child<QRadioButton>(window, 15).group();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, Child<QRadioButton>(window, 13).group());
  EXPECT_NE(first, second);
  // The coloured band: white bold text on the brand colour.
  auto& band = Child<QLabel>(window, 24);
  EXPECT_EQ(band.palette().color(QPalette::Window), QColor(80, 0, 80));
  EXPECT_EQ(band.palette().color(QPalette::WindowText), QColor(Qt::white));
  EXPECT_TRUE(band.font().bold());
}

TEST(TemplateWindow, WhatAPersonDoesReachesTheModel) {
  RecordingModel model;
  WindowRegistry windows;
  QtUiHost host("Tessary", windows);
  testing::ModalDriver driver;
  driver.Then("500", [&](QWidget& window) {
    QTest::keyClicks(&Child<QLineEdit>(window, 10), "ab");
    testing::ClickOption(Child<QCheckBox>(window, 11));
    testing::ClickOption(Child<QRadioButton>(window, 13));
    auto& list = Child<QTreeWidget>(window, 20);
    list.topLevelItem(0)->setCheckState(0, Qt::Checked);
    QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, {},
                      QPoint(list.header()->sectionPosition(1) + 5, 5));
    EXPECT_EQ(list.topLevelItem(0)->text(0), "cn");  // the model sorted, the view shows it
    auto& tree = Child<QTreeWidget>(window, 21);
    tree.topLevelItem(0)->setExpanded(true);
    ASSERT_EQ(tree.topLevelItem(0)->childCount(), 2);
    EXPECT_TRUE(tree.topLevelItem(0)->isExpanded());
    EXPECT_EQ(tree.topLevelItem(0)->child(1)->text(0), "Sales");
    tree.setCurrentItem(tree.topLevelItem(0)->child(1));
    Child<QListWidget>(window, 22).setCurrentRow(1);
    testing::ClickButton(window, "1");
  });
  EXPECT_EQ(host.RunModalDialog(model, nullptr), 1);
  EXPECT_TRUE(driver.Done());
  const std::vector<std::string> expected = {
      "edit 10 a", "edit 10 ab", "check 11 on", "check 13 on", "row 20 0 on", "column 20 1",
      "expand 21 1", "select 21 3", "select 22 1", "button 1"};
  EXPECT_EQ(model.events_, expected);
  EXPECT_EQ(model.cursor_in_handler_, Qt::WaitCursor);
}

TEST(TemplateWindow, TheCloseBoxIsCancelAndTheModelDecides) {
  RecordingModel model;
  WindowRegistry windows;
  QtUiHost host("Tessary", windows);
  testing::ModalDriver driver;
  driver.Then("500", [](QWidget& window) { window.close(); });
  EXPECT_EQ(host.RunModalDialog(model, nullptr), 2);
  EXPECT_EQ(model.events_.back(), "button 2");
  EXPECT_EQ(model.window_, nullptr);  // told the window went
}

}  // namespace
}  // namespace tessary::gui
