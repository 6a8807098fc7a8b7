#pragma once
// One QTest executable per folder: each test class registers itself with TABEL_TEST, and the
// folder's executable runs them all in turn (one QApplication, offscreen).
#include <QObject>
#include <functional>
#include <memory>

namespace tabel::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;
bool registerTest(TestFactory factory);
int runRegisteredTests(int argc, char** argv);

} // namespace tabel::test

#define TABEL_TEST(Class)                                                                                              \
    namespace {                                                                                                        \
    const bool Class##Registered = ::tabel::test::registerTest([] { return std::make_unique<Class>(); });              \
    }
