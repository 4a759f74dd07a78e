#pragma once
// Widgets live on the thread that runs the application's event loop. Work threads reach them
// through this call, which waits until the function has run there, as a sent window message
// waits for its window procedure.

#include <functional>

namespace tessary::gui {

// Runs fn on the user-interface thread and returns when it has run; on that thread itself it
// runs at once. Without an application object fn runs on the calling thread.
void RunOnGuiThread(const std::function<void()>& fn);

// True on the thread that owns the widgets (or when there is no application object).
bool OnGuiThread();

}  // namespace tessary::gui
