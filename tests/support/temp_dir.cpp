#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef FRAMESTOW_TEST_TMP
#define FRAMESTOW_TEST_TMP "framestow-test-tmp"
#endif

namespace framestow::test {

std::string testTempDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "no-test";
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  static std::string prepared;
  const std::filesystem::path dir = std::filesystem::path(FRAMESTOW_TEST_TMP) / name;
  if (prepared != dir.string()) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    prepared = dir.string();
  }
  return dir.string();
}

std::string tempPath(const std::string& name) { return (std::filesystem::path(testTempDir()) / name).string(); }

}  // namespace framestow::test
