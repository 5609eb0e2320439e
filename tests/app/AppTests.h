#pragma once
// The desktop program's test classes share one binary: each file registers its class here and
// main runs them all in turn.

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace brumeleaf::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<TestFactory>& Registry();

template <typename T>
struct Register {
  Register() {
    Registry().push_back([] { return std::make_unique<T>(); });
  }
};

}  // namespace brumeleaf::test

#define BRUMELEAF_APP_TEST(Class) static brumeleaf::test::Register<Class> registerTest##Class;
