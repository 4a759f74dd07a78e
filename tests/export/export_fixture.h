#pragma once
// A connected domain for each export test (a fresh embedded directory, or the directory named
// by TESSARY_TEST_DIRECTORY), an organisational unit of the test's own to fill with users, and
// a progress host that records the dialog and can press Cancel once the total reaches a count.

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "directory/ex_domain.h"
#include "platform/ui/progress_host.h"
#include "platform/ui/scripted_ui_host.h"
#include "test_support.h"

namespace tessary::testing {

class CountingProgressHost : public platform::ProgressHost {
 public:
  // Presses the Cancel button (control cancel_id) as soon as the total counter shows count.
  void CancelAtTotal(int count) { cancel_at_ = count; }
  // The texts set on each control, in order.
  std::vector<std::string> Texts(int control_id);

  int RunModal(const platform::ProgressDialogLayout& definition, platform::ProgressEvents& events) override;
  void EndModal(int result) override;
  void SetControlText(int control_id, const std::string& text) override;
  void ShowControl(int, bool) override {}
  void EnableControl(int, bool) override {}
  void PlayAnimation(int, int) override {}
  void SetBarRange(int, int, int) override {}
  void StepBar(int) override {}
  void SetBarPosition(int, int) override {}
  int BarUpper(int) override { return 0; }

 private:
  int cancel_at_ = -1;
  platform::ProgressEvents* events_ = nullptr;
  int cancel_id_ = 0;
  std::mutex mutex_;
  std::condition_variable ended_changed_;
  bool ended_ = false;
  int result_ = 0;
  std::map<int, std::vector<std::string>> texts_;
};

using AttributeValues = std::vector<std::pair<std::string, std::vector<std::string>>>;

class ExportTest : public MachineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates and commits an object below parent_dn (default: the test's unit); returns its DN.
  std::string Add(const std::string& class_name, const std::string& rdn,
                  const AttributeValues& values = {}, const std::string& parent_dn = {});
  // A user named cn in the parent with a unique sAMAccountName and the values.
  std::string AddUser(const std::string& cn, const AttributeValues& values = {},
                      const std::string& parent_dn = {});
  // The file's whole text.
  std::string FileText(const std::string& name) const;
  std::string Path(const std::string& name) const { return (machine_.Root() / name).string(); }

  std::unique_ptr<ds::Directory> directory_;
  std::unique_ptr<CExDomain> domain_;
  std::string unit_;       // the test's organisational unit
  std::string unit_name_;  // its name
  platform::ScriptedUiHost ui_;
};

}  // namespace tessary::testing
