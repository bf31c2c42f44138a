// Whether a user can answer a window that the rendering process shows.
#pragma once

namespace vex {

// True when the process's window station is the interactive one (a user sees its desktop). A
// spooler or service session has none: a dialog shown there waits for an answer forever.
bool userCanAnswerDialogs();

}  // namespace vex
