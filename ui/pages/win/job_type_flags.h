// The job-type state every job options page of the process shares: a second sheet opened in
// the same process sees what the first left (the copies warning is shown once until the user
// chooses normal print again). Only the sheet's thread touches it.
#pragma once

namespace vex {

struct JobTypeFlags {
  bool idle = true;           // false while a password dialog opened from a job type is up
  bool confirmed = true;      // false after the user declined to give a password
  bool copiesWarning = true;  // the single-copy warning is still to be shown
};

inline JobTypeFlags& jobTypeFlags() {
  static JobTypeFlags flags;
  return flags;
}

}  // namespace vex
