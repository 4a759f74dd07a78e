// The dialog model: bindings by kind, what the person may do through the scripted host, and
// the list and tree wrappers.
#include "support/bvk_dialog.h"

#include <gtest/gtest.h>

#include "platform/ui/scripted_ui_host.h"
#include "support/bvk_list_ctrl.h"
#include "support/bvk_tree_ctrl.h"

namespace tessary {
namespace {

using platform::ControlKind;
using platform::DialogDriver;

constexpr int kCheck = 10, kRadioA = 11, kRadioB = 12, kEdit = 13, kList = 14, kButton = 15,
              kView = 16, kTree = 17, kReadOnly = 18;

platform::ControlTemplate Control(int id, ControlKind kind, std::uint32_t style = 0) {
  platform::ControlTemplate control;
  control.id = id;
  control.kind = kind;
  control.style = style;
  return control;
}

const platform::DialogTemplate& TestTemplate() {
  static const platform::DialogTemplate dialog{
      900,
      "Test",
      200,
      100,
      {
          Control(kCheck, ControlKind::kCheckBox),
          Control(kRadioA, ControlKind::kRadioButton),
          Control(kRadioB, ControlKind::kRadioButton),
          Control(kEdit, ControlKind::kEdit),
          Control(kReadOnly, ControlKind::kEdit, platform::kStyleReadOnly),
          Control(kList, ControlKind::kListBox, platform::kStyleSorted),
          Control(kButton, ControlKind::kPushButton),
          Control(kView, ControlKind::kListView, platform::kStyleCheckBoxes),
          Control(kTree, ControlKind::kTreeView),
          Control(1, ControlKind::kPushButton),
          Control(2, ControlKind::kPushButton),
      }};
  return dialog;
}

// A dialog that binds one variable of each kind and records its handlers' calls.
class TestDialog : public CBVKDialog {
 public:
  TestDialog() : CBVKDialog(TestTemplate()) {
    AddControl(Kind::kCheckBox, kCheck, flag);
    AddRadio(kRadioA, choice, 1);
    AddRadio(kRadioB, choice, 2);
    AddControl(Kind::kEdit, kEdit, text);
    AddControl(Kind::kListBox, kList, line);
    AddControl(Kind::kPushButton, kButton);
    AddControl(Kind::kListView, kView);
    AddControl(Kind::kTreeView, kTree);
    SetLines(kList, {"group", "User", "contact", "Computer"});
  }

  bool flag = false;
  int choice = 2;
  std::string text = "before";
  std::string line = "co";
  std::vector<std::string> calls;
  CBVKListCtrl view;
  CBVKTreeCtrl tree;

 protected:
  void OnButtonPressed(CBVKDialog& source, int id) override {
    calls.push_back("button " + std::to_string(id));
    CBVKDialog::OnButtonPressed(source, id);
  }
  void OnFillList(CBVKDialog& source, int id) override {
    view.Attach(source, id);
    view.InsertColumn("Name", 100);
    view.InsertColumn("Kind", 100);
    view.AddRow({"beta", "b"}, 2);
    view.AddRow({"Alpha", "c"}, 1);
    view.AddRow({"gamma", "a"}, 3);
  }
  void OnFillTree(CBVKDialog& source, int id) override {
    tree.Attach(source, id);
    const int top = tree.InsertItem(0, "top", 163, nullptr);
    tree.InsertItem(top, "one", 150, nullptr);
    tree.InsertItem(0, "second top", 163, nullptr);
    tree.InsertItem(top, "two", 150, nullptr);
  }
  void OnTreeItemExpanding(CBVKDialog&, int, int item) override {
    calls.push_back("expand " + tree.ItemText(item));
  }
  void OnListColumnClick(CBVKDialog&, int, int column) override { view.OnColumnClick(column); }
};

TEST(DialogModelTest, ValuesReachTheControlsAndComeBackOnlyWithOk) {
  platform::ScriptedUiHost host;
  TestDialog dialog;
  host.QueueDialog([](DialogDriver& d) {
    EXPECT_FALSE(d.Checked(kCheck));
    EXPECT_FALSE(d.Checked(kRadioA));
    EXPECT_TRUE(d.Checked(kRadioB));
    EXPECT_EQ(d.Text(kEdit), "before");
    // Sorted without regard to case; the first line beginning with "co" is selected.
    EXPECT_EQ(d.Lines(kList), (std::vector<std::string>{"Computer", "contact", "group", "User"}));
    EXPECT_EQ(d.State(kList)->selection, 0);
    d.Click(kCheck);
    d.Click(kRadioA);
    EXPECT_FALSE(d.Checked(kRadioB));
    d.Type(kEdit, "after");
    d.SelectText(kList, "User");
    d.Press(2);
  });
  EXPECT_EQ(dialog.DoModal(host), platform::kIdCancel);
  EXPECT_EQ(dialog.flag, false);
  EXPECT_EQ(dialog.choice, 2);
  EXPECT_EQ(dialog.text, "before");

  host.QueueDialog([](DialogDriver& d) {
    d.Click(kCheck);
    d.Click(kRadioA);
    d.Type(kEdit, "after");
    d.SelectText(kList, "User");
    d.Press(1);
  });
  EXPECT_EQ(dialog.DoModal(host), platform::kIdOk);
  EXPECT_EQ(dialog.flag, true);
  EXPECT_EQ(dialog.choice, 1);
  EXPECT_EQ(dialog.text, "after");
  EXPECT_EQ(dialog.line, "User");
  EXPECT_TRUE(host.Problems().empty());
}

TEST(DialogModelTest, AListWithoutAMatchingLineSelectsItsFirstLine) {
  platform::ScriptedUiHost host;
  TestDialog dialog;
  dialog.line = "Printer";
  host.QueueDialog([](DialogDriver& d) { EXPECT_EQ(d.State(kList)->selection, 0); d.Press(1); });
  dialog.DoModal(host);
  EXPECT_EQ(dialog.line, "Computer");
}

TEST(DialogModelTest, TheDriverRefusesWhatAPersonCouldNotDo) {
  platform::ScriptedUiHost host;
  TestDialog dialog;
  host.QueueDialog([&](DialogDriver& d) {
    dialog.EnableControl(kButton, false);
    EXPECT_FALSE(d.Press(kButton));
    EXPECT_FALSE(d.Type(kReadOnly, "x"));
    EXPECT_FALSE(d.Press(kEdit));
    EXPECT_FALSE(d.Select(kList, 9));
    EXPECT_FALSE(d.Press(4711));
    dialog.EnableControl(kButton, true);
    EXPECT_TRUE(d.Press(kButton));
  });
  EXPECT_EQ(dialog.DoModal(host), platform::kIdCancel);
  EXPECT_EQ(host.Problems().size(), 5u);
  // The refused presses never reached the dialog; the script's end cancelled it.
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"button 15", "button 2"}));
}

TEST(DialogModelTest, ColumnClicksSortAndReverseWithoutRegardToCase) {
  platform::ScriptedUiHost host;
  TestDialog dialog;
  std::vector<std::vector<std::string>> orders;
  host.QueueDialog([&](DialogDriver& d) {
    orders.push_back(d.Lines(kView));
    d.ClickColumn(kView, 0);
    orders.push_back(d.Lines(kView));
    d.ClickColumn(kView, 0);
    orders.push_back(d.Lines(kView));
    d.ClickColumn(kView, 1);
    orders.push_back(d.Lines(kView));
    d.CheckRow(kView, 0, true);
  });
  dialog.DoModal(host);
  using Lines = std::vector<std::string>;
  EXPECT_EQ(orders[0], (Lines{"beta", "Alpha", "gamma"}));
  EXPECT_EQ(orders[1], (Lines{"Alpha", "beta", "gamma"}));
  EXPECT_EQ(orders[2], (Lines{"gamma", "beta", "Alpha"}));
  EXPECT_EQ(orders[3], (Lines{"gamma", "beta", "Alpha"}));
  // Rows keep their data and checks through the sorting.
  EXPECT_EQ(dialog.view.RowData(0), 3);
  EXPECT_TRUE(dialog.view.IsChecked(0));
  EXPECT_EQ(dialog.view.FindRow(0, "ALPHA"), 2);
}

TEST(DialogModelTest, TreeItemsKeepTheirParentsOrderAndExpandingReachesTheHandler) {
  platform::ScriptedUiHost host;
  TestDialog dialog;
  host.QueueDialog([&](DialogDriver& d) {
    std::vector<std::string> texts;
    for (const platform::TreeItem& item : d.State(kTree)->items) texts.push_back(item.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"top", "one", "two", "second top"}));
    const int two = d.FindItem(kTree, {"top", "two"});
    ASSERT_NE(two, 0);
    d.Expand(kTree, d.FindItem(kTree, {"top"}));
    d.SelectItem(kTree, two);
    EXPECT_EQ(dialog.tree.Selected(), two);
    EXPECT_FALSE(d.Expand(kTree, 99));
  });
  dialog.DoModal(host);
  EXPECT_EQ(dialog.calls.front(), "expand top");
}

}  // namespace
}  // namespace tessary
