#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace TestUtils {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

// Adds a test class to the program; main() runs every added class in turn, inside the editor's core.
bool RegisterTest(TestFactory factory);

} // namespace TestUtils

#define TESSARA_TEST(TestClass)                                                                                        \
    static const bool s_bRegistered##TestClass =                                                                       \
        TestUtils::RegisterTest([] { return std::unique_ptr<QObject>(new TestClass); });
