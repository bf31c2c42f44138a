// Controls that mirror values, described as rows and served by one load/save pair: load shows
// every row's value in its control; save reads every row into a scratch copy and writes the
// values back only when no row was refused ("a dialog's values change only when accepted").
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace vex {

enum class BindingKind {
  check,           // ticked: 1, unticked: 0
  checkMeansZero,  // ticked: option 0, unticked: option 1
  choice,          // row k of a combo or list box: k (no row chosen keeps the value)
  radio,           // buttons id .. id + maximum: 0 .. maximum
  number,          // an edit field's integer, minimum .. maximum
};

struct Binding {
  int controlId;
  BindingKind kind;
  std::int32_t* value;
  std::int32_t minimum = 0;
  std::int32_t maximum = 0;
  UINT refusedMessage = 0;  // string shown when the row is refused (0: none)
};

// A value kept as an unsigned slot (feature selections are small non-negative numbers).
inline std::int32_t* slotValue(DWORD& slot) { return reinterpret_cast<std::int32_t*>(&slot); }

void loadBindings(HWND dialog, std::span<const Binding> rows);

// True when every row was accepted and written back. Otherwise nothing is written: the first
// refused row's message is shown (stop icon, no caption), the focus goes to its control, and the
// answer is false.
bool saveBindings(HWND dialog, std::span<const Binding> rows);

}  // namespace vex
