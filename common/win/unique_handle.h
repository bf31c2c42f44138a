// One owner for every kind of platform handle: move-only, closed when its owner goes, with
// reset and release. A kind is a small traits struct that says what "no handle" is, which
// values count as none (some creators answer INVALID_HANDLE_VALUE on failure) and how to close.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <utility>

namespace vex {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle)
      : handle_(Traits::isNone(handle) ? Traits::none() : handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return !Traits::isNone(handle_); }

  // Closes what is held and takes `handle` instead.
  void reset(Handle handle = Traits::none()) {
    const Handle old = std::exchange(handle_, Traits::isNone(handle) ? Traits::none() : handle);
    if (!Traits::isNone(old)) Traits::close(old);
  }
  // Gives the handle up without closing it.
  Handle release() { return std::exchange(handle_, Traits::none()); }
  // For creators that answer through an out parameter; closes what was held first.
  Handle* out() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::none();
};

template <typename H>
struct NullIsNone {
  using Handle = H;
  static constexpr Handle none() { return nullptr; }
  static bool isNone(Handle handle) { return handle == nullptr; }
};

// Events, mutexes, sections, pipes, tokens, processes and files.
struct KernelHandleTraits : NullIsNone<HANDLE> {
  static bool isNone(HANDLE handle) { return handle == nullptr || handle == INVALID_HANDLE_VALUE; }
  static void close(HANDLE handle) { CloseHandle(handle); }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

struct PrinterHandleTraits : NullIsNone<HANDLE> {
  static void close(HANDLE handle) { ClosePrinter(handle); }
};
using PrinterHandle = UniqueHandle<PrinterHandleTraits>;

struct RegistryKeyTraits : NullIsNone<HKEY> {
  static void close(HKEY key) { RegCloseKey(key); }
};
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

struct ModuleHandleTraits : NullIsNone<HMODULE> {
  static void close(HMODULE module) { FreeLibrary(module); }
};
using ModuleHandle = UniqueHandle<ModuleHandleTraits>;

// Pens, brushes, fonts, bitmaps, palettes, regions; not selected into a DC when they go.
template <typename H>
struct GdiObjectTraits : NullIsNone<H> {
  static void close(H object) { DeleteObject(object); }
};
template <typename H>
using GdiObject = UniqueHandle<GdiObjectTraits<H>>;

// A memory DC (CreateCompatibleDC).
struct MemoryDcTraits : NullIsNone<HDC> {
  static void close(HDC dc) { DeleteDC(dc); }
};
using OwnedDc = UniqueHandle<MemoryDcTraits>;

}  // namespace vex
