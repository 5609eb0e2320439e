#include <QApplication>
#include <QTest>

#include "AppTests.h"

namespace brumeleaf::test {

std::vector<TestFactory>& Registry() {
  static std::vector<TestFactory> registry;
  return registry;
}

}  // namespace brumeleaf::test

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  int failures = 0;
  for (const auto& make : brumeleaf::test::Registry()) {
    std::unique_ptr<QObject> test = make();
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
