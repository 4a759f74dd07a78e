#pragma once
// A dialog as data: the template every host renders and every dialog model binds to. Positions
// and sizes are in dialog units (a quarter of the font's average character width across, an
// eighth of its height down), so a host scales the whole layout with its font.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessary::platform {

// The numbers of the kinds a dialog binds variables to are those the pages' binding tables use;
// the kinds that are only shown (frames, bars, pictures) follow at 100.
enum class ControlKind : int {
  kPushButton = 0,
  kCheckBox = 1,
  kRadioButton = 2,
  kEdit = 3,
  kStatic = 8,
  kListView = 9,
  kTreeView = 11,
  kListBox = 14,
  kDropDownList = 18,
  kGroupBox = 100,
  kProgressBar = 101,
  kAnimation = 102,
  kEtchedLine = 103,
};

// Style bits of a control; each applies to the kinds named.
enum ControlStyle : std::uint32_t {
  kStyleNone = 0,
  kStyleReadOnly = 1u << 0,      // edit: the user cannot type in it
  kStyleSorted = 1u << 1,        // list box, drop-down list: lines kept in text order
  kStyleDefault = 1u << 2,       // push button: pressed by Enter
  kStyleBold = 1u << 3,          // static: the title of a page
  kStyleCheckBoxes = 1u << 4,    // list view: a check box per row
  kStyleSingleSelect = 1u << 5,  // list view: at most one selected row
  kStyleNoHeader = 1u << 6,      // list view: no column header
  kStyleFullRow = 1u << 7,       // list view: a click selects the whole row
  kStyleMultiline = 1u << 8,     // static, check box, option button: text wraps at the width
  kStyleIcon = 1u << 9,          // static: shows the program's icon instead of a text
};

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Colour&) const = default;
};

struct ControlTemplate {
  int id = -1;  // -1: a static the program never addresses (or the progress dialog's status text)
  ControlKind kind = ControlKind::kStatic;
  std::string text;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::uint32_t style = kStyleNone;
  std::optional<Colour> background;  // statics painted in a colour of their own
};

struct DialogTemplate {
  int id = 0;
  std::string caption;
  int width = 0;
  int height = 0;
  std::vector<ControlTemplate> controls;

  // The first control with that id, or nullptr.
  const ControlTemplate* Find(int control_id) const;
};

}  // namespace tessary::platform
