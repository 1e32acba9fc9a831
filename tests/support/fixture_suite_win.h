#pragma once
// A GoogleTest suite whose tests share one fixture program (starting one
// costs a few hundred ms). A suite derives from FixtureSuite<itself>, so that
// every suite has a fixture of its own; a fixture that did not start fails
// each test with the reason.

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fixture_win.h"

namespace tblf::test {

template <typename Suite>
class FixtureSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fixture_ = new FixtureProcess;
    if (!fixture_->Start()) {
      error_.clear();
      for (wchar_t c : fixture_->Error()) error_ += c < 128 ? static_cast<char>(c) : '?';
      delete fixture_;
      fixture_ = nullptr;
    }
  }
  static void TearDownTestSuite() {
    delete fixture_;
    fixture_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(fixture_, nullptr) << "the fixture did not start: " << error_; }

  inline static FixtureProcess* fixture_ = nullptr;
  inline static std::string error_;
};

}  // namespace tblf::test
