#pragma once
// Message boxes of the Windows type codes on Qt: the buttons of the type in their order, the
// icon, the default button (kMbDefButton2) and the answer numbers of the buttons pressed.

#include <QMessageBox>
#include <memory>
#include <string>
#include <vector>

namespace tessary::gui {

// The box for a type; each button's objectName is its answer number ("1" for OK, ...).
std::unique_ptr<QMessageBox> BuildMessageBox(QWidget* parent, const std::string& caption,
                                             const std::string& text, unsigned type);

// The answer of the button that closed the box; a box closed without a button (its title
// bar's close box) answers Cancel where it has one, else No, else OK, as Escape would.
int AnswerOf(const QMessageBox& box, unsigned type);

// The answers of the type's buttons, in their order.
std::vector<int> AnswersOfType(unsigned type);

}  // namespace tessary::gui
