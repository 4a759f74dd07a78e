#include "platform/ui/ui_host.h"

#include <atomic>
#include <cstdio>

#include "platform/ui/scripted_ui_host.h"

namespace tessary::platform {
namespace {

// Writes every message to standard error and takes the first button, as a person pressing
// Enter would; pickers cancel because there is nobody to choose.
class StderrUiHost : public UiHost {
 public:
  int ShowMessageBox(const Window* owner, const std::string& caption, const std::string& text,
                     unsigned type) override {
    std::string title = caption;
    if (title.empty() && owner) title = owner->title;
    if (title.empty()) title = ApplicationTitle();
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return FirstButton(type);
  }
  std::optional<std::string> ChooseOpenFile(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> ChooseSaveFile(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override {
    return {};
  }
  std::string ApplicationTitle() const override { return "Tessary"; }
};

std::atomic<UiHost*> installed_host{nullptr};

}  // namespace

int FirstButton(unsigned type) {
  switch (type & 0xF) {
    case kMbAbortRetryIgnore:
      return kIdAbort;
    case kMbYesNoCancel:
    case kMbYesNo:
      return kIdYes;
    case kMbRetryCancel:
      return kIdRetry;
    default:
      return kIdOk;
  }
}

int UiHost::RunModalDialog(DialogModel&, const Window*) { return -1; }

UiHost& CurrentUiHost() {
  static StderrUiHost default_host;
  UiHost* host = installed_host.load();
  return host ? *host : default_host;
}

void SetUiHost(UiHost* host) { installed_host.store(host); }

}  // namespace tessary::platform
