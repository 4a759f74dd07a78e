#pragma once
// Short constructors for the template tables, and the layout every task page shares.

#include <string>
#include <vector>

#include "platform/ui/dialog_template.h"

namespace tessary::app::layout {

using platform::ControlKind;
using platform::ControlTemplate;

// Size of a page inside the frame; task pages are taller in their templates, the frame cuts
// them to this height.
inline constexpr int kPageWidth = 317;
inline constexpr int kPageHeight = 162;
inline constexpr int kTaskPageTemplateHeight = kPageHeight + 50;

inline ControlTemplate Control(int id, ControlKind kind, std::string text, int x, int y, int w,
                               int h, std::uint32_t style = platform::kStyleNone) {
  return ControlTemplate{id, kind, std::move(text), x, y, w, h, style, std::nullopt};
}
inline ControlTemplate Button(int id, std::string text, int x, int y, int w = 50, int h = 14,
                              std::uint32_t style = platform::kStyleNone) {
  return Control(id, ControlKind::kPushButton, std::move(text), x, y, w, h, style);
}
inline ControlTemplate Text(int id, std::string text, int x, int y, int w, int h,
                            std::uint32_t style = platform::kStyleMultiline) {
  return Control(id, ControlKind::kStatic, std::move(text), x, y, w, h, style);
}
inline ControlTemplate Painted(int id, std::string text, int x, int y, int w, int h,
                               platform::Colour colour) {
  ControlTemplate control = Text(id, std::move(text), x, y, w, h);
  control.background = colour;
  return control;
}

// The program's icon, size dialog units square, on a ground of that colour.
inline ControlTemplate ProgramIcon(int x, int y, int size, platform::Colour ground) {
  ControlTemplate control = Painted(-1, "", x, y, size, size, ground);
  control.style |= platform::kStyleIcon;
  return control;
}

inline constexpr platform::Colour kWhite{255, 255, 255};
inline constexpr platform::Colour kBrand{80, 0, 80};

// The white band with title and question, the instruction (of so many lines) below it and the
// band at the bottom.
std::vector<ControlTemplate> TaskPageFrame(const std::string& title, const std::string& question,
                                           const std::string& instruction,
                                           int instruction_lines = 2);
// A task page: the shared layout followed by the page's own controls.
platform::DialogTemplate TaskPage(int id, const std::string& title, const std::string& question,
                                  const std::string& instruction,
                                  std::vector<ControlTemplate> controls,
                                  int instruction_lines = 2);

}  // namespace tessary::app::layout
