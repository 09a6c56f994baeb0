// The main of every test binary: GoogleTest's, with the by-name registry put back as it was after
// each test. Tests and fixtures register stand-ins whose closures capture their locals or the
// fixture itself; run as one process, a later test would otherwise call into a test that ended.
#include <gtest/gtest.h>

#include <optional>

#include "runtime/core/functions.h"

namespace {

class RegistryPerTest : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { before_ = rt::functions(); }
  void OnTestEnd(const testing::TestInfo&) override {
    if (before_) rt::functions().restore(*before_);
    before_.reset();
  }

  std::optional<rt::Functions> before_;
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new RegistryPerTest);
  return RUN_ALL_TESTS();
}
