// The in-process server's entry points: class factories, unloading and registration.
#include <gtest/gtest.h>

#include "support/expect_error.hpp"
#include "talvane/component/class_registry.hpp"
#include "talvane/component/dispatch_error.hpp"
#include "talvane/component/identities.hpp"
#include "talvane/component/server.hpp"
#include "talvane/component/type_info.hpp"

namespace talvane::component {
namespace {

TEST(ServerClassObject, FactoryCreatesItsClass) {
  for (const ClassInfo& c : ClassRegistry::Classes()) {
    const ClassFactory factory = Server::GetClassObject(c.clsid);
    EXPECT_EQ(&factory.Class(), &c);
    EXPECT_EQ(factory.CreateInstance().ClassName(), c.name);
  }
}

TEST(ServerClassObject, FactoryCreatesThroughAnExposedInterface) {
  const ClassFactory factory = Server::GetClassObject(kClsidSection);
  EXPECT_EQ(factory.CreateInstance(kIidINode).Interface().Name(), "_INode");
  EXPECT_EQ(factory.CreateInstance(kIidSection).Interface().Name(), "_Section");
  EXPECT_TALVANE_ERROR(factory.CreateInstance(kIidField), kErrNoInterface, kDispatchSource,
                       "Class Section does not expose the interface {B070EB86-5660-48BC-8CBF-20E0B0239683}");
}

TEST(ServerClassObject, UnknownIdentifierHasNoFactory) {
  EXPECT_TALVANE_ERROR(Server::GetClassObject(kIidFormula), kErrClassNotAvailable, kServerSource,
                       "No class has the identifier {9BFFD7EB-59C1-4EFC-9E29-9B42F29D9C32}");
}

TEST(ServerUnloading, NotWhileAnObjectIsAlive) {
  ASSERT_TRUE(Server::CanUnloadNow());
  {
    const DispatchObject report = ClassRegistry::Create("Talvane.Exception");
    EXPECT_FALSE(Server::CanUnloadNow());
    {
      const DispatchObject formulae = report.Call("Formulae").ToObject();
      const DispatchObject copy = formulae;
      EXPECT_EQ(Server::LiveObjects(), 2u) << "copies share one handle";
    }
    EXPECT_EQ(Server::LiveObjects(), 1u);
  }
  EXPECT_EQ(Server::LiveObjects(), 0u);
  EXPECT_TRUE(Server::CanUnloadNow());
}

TEST(ServerUnloading, NotWhileAFactoryHoldsALock) {
  const ClassFactory factory = Server::GetClassObject(kClsidField);
  factory.LockServer(true);
  factory.LockServer(true);
  EXPECT_FALSE(Server::CanUnloadNow());
  factory.LockServer(false);
  EXPECT_FALSE(Server::CanUnloadNow());
  factory.LockServer(false);
  EXPECT_TRUE(Server::CanUnloadNow());
  factory.LockServer(false);  // an unlock too many does not wrap around
  EXPECT_EQ(Server::Locks(), 0u);
  EXPECT_TRUE(Server::CanUnloadNow());
}

TEST(ServerRegistration, SucceedsAndChangesNothing) {
  Server::RegisterServer();
  Server::RegisterServer();
  EXPECT_EQ(ClassRegistry::Classes().size(), 8u);
  Server::UnregisterServer();
  EXPECT_NE(ClassRegistry::Find("Talvane.Formula"), nullptr);
  EXPECT_TRUE(Server::CanUnloadNow());
}

}  // namespace
}  // namespace talvane::component
