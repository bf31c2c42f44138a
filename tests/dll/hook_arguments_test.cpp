// Every hook that only forwards passes each of its arguments, in its place, to the driver's own
// function of the same row and gives back that function's result: each row is called with
// arguments that all differ, against a driver table whose functions record what they got.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "fake_driver_support.h"
#include "plugin_support.h"

namespace {

using vex::test::FakeDriver;

struct Received {
  ULONG index = 0;
  std::vector<std::uint64_t> arguments;
};
Received g_received;

template <typename T>
std::uint64_t valueOf(T v) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<std::uintptr_t>(v);
  } else {
    return static_cast<std::uint64_t>(v);
  }
}

template <typename R>
R resultFor(ULONG index) {
  if constexpr (std::is_pointer_v<R>) {
    return reinterpret_cast<R>(static_cast<std::uintptr_t>(0x50000 + index));
  } else {
    return static_cast<R>(0x40 + index);
  }
}

// The driver's function of row `Index`: records its arguments, answers a result of its own.
template <ULONG Index, typename F>
struct Recorder;
template <ULONG Index, typename R, typename... A>
struct Recorder<Index, R(APIENTRY*)(A...)> {
  static R APIENTRY call(A... arguments) {
    g_received.index = Index;
    g_received.arguments = {valueOf(arguments)...};
    return resultFor<R>(Index);
  }
};

// A value for argument `k` that no other argument has; the first is the surface or PDEV the
// hook finds its driver through.
template <typename T>
T distinct(std::size_t k) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<T>(static_cast<std::uintptr_t>(0x10000 + 0x100 * k));
  } else {
    return static_cast<T>(1000 + k);
  }
}

template <typename R, typename First, typename... Rest, std::size_t... K>
std::vector<std::uint64_t> callWith(R(APIENTRY* hook)(First, Rest...), First first, R* result,
                                    std::index_sequence<K...>) {
  const std::tuple<First, Rest...> arguments{first, distinct<Rest>(K + 1)...};
  *result = std::apply(hook, arguments);
  return std::apply([](auto... a) { return std::vector<std::uint64_t>{valueOf(a)...}; }, arguments);
}

template <typename F>
PFN asPfn(F f) {
  return reinterpret_cast<PFN>(reinterpret_cast<void*>(f));
}

#define VEX_ROW(name) \
  { INDEX_Drv##name, asPfn(&Recorder<INDEX_Drv##name, PFN_Drv##name>::call) }

class HookArguments : public testing::Test {
 protected:
  void SetUp() override {
    plugin = module.createPlugin();
    ASSERT_NE(plugin, nullptr);
    ASSERT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
    ASSERT_EQ(plugin->EnableDriver(DDI_DRIVER_VERSION_NT5, sizeof hooks, &hooks), S_OK);
    table.iDriverVersion = DDI_DRIVER_VERSION_NT5;
    table.c = static_cast<ULONG>(rows.size());
    table.pdrvfn = rows.data();
    PDEVOEM pdev = nullptr;
    ASSERT_EQ(plugin->EnablePDEV(driver.devobj(), const_cast<PWSTR>(L"VEX Demo Color"), 0, nullptr,
                                 0, nullptr, 0, nullptr, &table, &pdev),
              S_OK);
    driver.devobj()->pdevOEM = pdev;
    surface.dhpdev = reinterpret_cast<DHPDEV>(driver.devobj());
  }
  void TearDown() override {
    if (plugin == nullptr) return;
    plugin->DisablePDEV(driver.devobj());
    plugin->DisableDriver();
    plugin->Release();
  }
  template <typename F>
  F hook(ULONG index) {
    for (ULONG i = 0; i < hooks.c; ++i) {
      if (hooks.pdrvfn[i].iFunc == index) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(hooks.pdrvfn[i].pfn));
      }
    }
    return nullptr;
  }
  // Calls the hook of row `index` with distinct arguments and checks what the driver got.
  template <typename R, typename First, typename... Rest>
  void check(ULONG index, R(APIENTRY* entry)(First, Rest...), First first) {
    SCOPED_TRACE("row with function index " + std::to_string(index));
    ASSERT_NE(entry, nullptr);
    g_received = {};
    R result{};
    const std::vector<std::uint64_t> sent =
        callWith(entry, first, &result, std::index_sequence_for<Rest...>{});
    EXPECT_EQ(g_received.index, index);
    EXPECT_EQ(g_received.arguments, sent);
    EXPECT_EQ(valueOf(result), valueOf(resultFor<R>(index)));
  }

  vex::test::RenderModule module;
  IPrintOemPS2* plugin = nullptr;
  FakeDriver driver;
  DRVENABLEDATA hooks{};
  DRVENABLEDATA table{};
  SURFOBJ surface{};
  std::vector<DRVFN> rows = {
      VEX_ROW(CopyBits),
      VEX_ROW(BitBlt),
      VEX_ROW(StretchBlt),
      VEX_ROW(StretchBltROP),
      VEX_ROW(PlgBlt),
      VEX_ROW(TransparentBlt),
      VEX_ROW(AlphaBlend),
      VEX_ROW(GradientFill),
      VEX_ROW(TextOut),
      VEX_ROW(StrokePath),
      VEX_ROW(FillPath),
      VEX_ROW(StrokeAndFillPath),
      VEX_ROW(StartPage),
      VEX_ROW(SendPage),
      VEX_ROW(Escape),
      VEX_ROW(QueryFont),
      VEX_ROW(QueryFontTree),
      VEX_ROW(QueryFontData),
      VEX_ROW(QueryAdvanceWidths),
      VEX_ROW(FontManagement),
      VEX_ROW(GetGlyphMode),
      VEX_ROW(IcmCreateColorTransform),
      VEX_ROW(IcmDeleteColorTransform),
      VEX_ROW(QueryDeviceSupport),
  };
};

#define VEX_CHECK(name, first) check(INDEX_Drv##name, hook<PFN_Drv##name>(INDEX_Drv##name), first)

TEST_F(HookArguments, EveryForwardingRowPassesItsArgumentsAndResult) {
  SURFOBJ* s = &surface;
  const DHPDEV d = surface.dhpdev;
  VEX_CHECK(CopyBits, s);
  VEX_CHECK(BitBlt, s);
  VEX_CHECK(StretchBlt, s);
  VEX_CHECK(StretchBltROP, s);
  VEX_CHECK(PlgBlt, s);
  VEX_CHECK(TransparentBlt, s);
  VEX_CHECK(AlphaBlend, s);
  VEX_CHECK(GradientFill, s);
  VEX_CHECK(TextOut, s);
  VEX_CHECK(StrokePath, s);
  VEX_CHECK(FillPath, s);
  VEX_CHECK(StrokeAndFillPath, s);
  VEX_CHECK(StartPage, s);
  VEX_CHECK(SendPage, s);
  VEX_CHECK(Escape, s);
  VEX_CHECK(QueryFont, d);
  VEX_CHECK(QueryFontTree, d);
  VEX_CHECK(QueryFontData, d);
  VEX_CHECK(QueryAdvanceWidths, d);
  VEX_CHECK(FontManagement, s);
  VEX_CHECK(GetGlyphMode, d);
  VEX_CHECK(IcmCreateColorTransform, d);
  VEX_CHECK(IcmDeleteColorTransform, d);
  VEX_CHECK(QueryDeviceSupport, s);
  EXPECT_EQ(driver.injected, "") << "forwarding adds nothing to the job";
}

#undef VEX_CHECK
#undef VEX_ROW

}  // namespace
