#pragma once
// The open and save dialogs of a FileDialogRequest: its filters ("label|pattern|...||" pairs),
// its default extension, its start folder or file and its title.

#include <QFileDialog>
#include <memory>

#include "platform/ui/ui_host.h"

namespace tessary::gui {

enum class FileDialogKind { kOpen, kSave };

// The filters of a request as Qt name filters ("(*.csv)", "Text (*.txt *.csv)").
QStringList NameFilters(const platform::FileDialogRequest& request);

std::unique_ptr<QFileDialog> BuildFileDialog(QWidget* parent,
                                             const platform::FileDialogRequest& request,
                                             FileDialogKind kind);

}  // namespace tessary::gui
