// The rendering plug-in's COM surface as the driver meets it.
#include <gtest/gtest.h>

#include "plugin_support.h"

namespace {

using vex::test::RenderModule;

TEST(RenderComSurface, OnlyTheRenderingClassIsServed) {
  RenderModule module;
  const CLSID others[] = {CLSID_OEMUI, IID_IPrintOemPS2, CLSID_NULL};
  for (const CLSID& clsid : others) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(module.getClassObject(clsid, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
  }
  EXPECT_EQ(module.canUnloadNow(), S_OK);
}

TEST(RenderComSurface, FactoryAnswersItsInterfacesOnly) {
  RenderModule module;
  IUnknown* unknown = nullptr;
  ASSERT_EQ(module.getClassObject(CLSID_OEMRENDER, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
            S_OK);
  IClassFactory* factory = nullptr;
  EXPECT_EQ(unknown->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(unknown->QueryInterface(IID_IPrintOemPS, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  // A failed query of the exported function destroys the factory and returns its error.
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(module.getClassObject(CLSID_OEMRENDER, IID_IPrintOemPS, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(factory->Release(), 1u);
  EXPECT_EQ(unknown->Release(), 0u);
}

TEST(RenderComSurface, CreateInstanceRefusesAggregationAndUnknownInterfaces) {
  RenderModule module;
  IClassFactory* factory = nullptr;
  ASSERT_EQ(module.getClassObject(CLSID_OEMRENDER, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory)),
            S_OK);
  IUnknown* outer = factory;  // any non-null outer object
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(outer, IID_IPrintOemPS2, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(module.canUnloadNow(), S_OK) << "a refused object must not stay counted";
  factory->Release();
}

TEST(RenderComSurface, PluginAnswersBothInterfaceVersions) {
  RenderModule module;
  IPrintOemPS2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  const IID answered[] = {IID_IUnknown, IID_IPrintOemPS, IID_IPrintOemPS2};
  for (const IID& iid : answered) {
    void* same = nullptr;
    EXPECT_EQ(plugin->QueryInterface(iid, &same), S_OK);
    EXPECT_EQ(same, static_cast<void*>(plugin));
    static_cast<IUnknown*>(same)->Release();
  }
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(plugin->QueryInterface(IID_IPrintOemUI2, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(plugin->AddRef(), 2u);
  EXPECT_EQ(plugin->Release(), 1u);
  EXPECT_EQ(plugin->Release(), 0u);
}

TEST(RenderComSurface, UnloadWaitsForObjectsAndLocks) {
  RenderModule module;
  IPrintOemPS2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(module.canUnloadNow(), S_FALSE);
  plugin->Release();
  EXPECT_EQ(module.canUnloadNow(), S_OK);

  IClassFactory* factory = nullptr;
  ASSERT_EQ(module.getClassObject(CLSID_OEMRENDER, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory)),
            S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  EXPECT_EQ(module.canUnloadNow(), S_FALSE);
  ASSERT_EQ(module.getClassObject(CLSID_OEMRENDER, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory)),
            S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory->Release();
  EXPECT_EQ(module.canUnloadNow(), S_OK);
}

}  // namespace
