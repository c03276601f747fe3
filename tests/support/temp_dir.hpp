// A fresh folder per test under the build tree, for files the tests write.
#pragma once

#include <string>

namespace framestow::test {

// Folder named after the running test, emptied when first asked for.
std::string testTempDir();
// A path inside testTempDir().
std::string tempPath(const std::string& name);

}  // namespace framestow::test
