// Entry-point tables hold functions of many signatures as one pointer type.
#pragma once

namespace vex::host {

template <typename To, typename From>
To functionCast(From function) {
  // Through the generic function pointer type, which the compiler accepts as a bridge.
  return reinterpret_cast<To>(reinterpret_cast<void (*)()>(function));
}

}  // namespace vex::host
