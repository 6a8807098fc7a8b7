#include "support/test_registry.h"

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

namespace tabel::test {
namespace {

std::vector<TestFactory>& registry()
{
    static std::vector<TestFactory> factories;
    return factories;
}

} // namespace

bool registerTest(TestFactory factory)
{
    registry().push_back(std::move(factory));
    return true;
}

int runRegisteredTests(int argc, char** argv)
{
    // QtTest rethrows an exception that escaped a test function; its abort handler can then spin
    // for ever. Fail the whole executable at once instead.
    std::set_terminate([] {
        std::fputs("test: ended by an exception that escaped a test function\n", stderr);
        std::_Exit(3);
    });
    QApplication app(argc, argv);
    int failed = 0;
    for (const TestFactory& make : registry()) {
        const std::unique_ptr<QObject> test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed;
}

} // namespace tabel::test

int main(int argc, char** argv)
{
    return tabel::test::runRegisteredTests(argc, argv);
}
