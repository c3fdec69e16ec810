#pragma once

namespace kovet::cli {

// Before the tool's Qt application starts: no window is ever shown, so the off-screen
// platform serves (unless the caller chose one), and the platform's chatter (warnings about
// runtime folders and the like) is kept out of the tool's output; errors still show.
void PrepareOffscreenQt();

} // namespace kovet::cli
