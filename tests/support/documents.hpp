// The steps of the Document the tests take, each in one place and in the
// words a user sees: load and analysis messages without their line ends,
// save results as the texts the front ends show.
#pragma once

#include <cstdint>
#include <string>

#include "document/document.hpp"
#include "support/swf_builder.hpp"

namespace framestow::test {

inline const std::string kSaved = "FILE MODIFIED";
inline const std::string kErrorWriting = "ERROR WRITING FILE";
inline const std::string kErrorBackup = "ERROR CREATING BACKUP";
inline const std::string kLaidOut = "FILE ALREADY HAS THIS LAYOUT";

// Loads `path`: "" or why it could not be loaded.
std::string load(Document& doc, const std::string& path);
// Analyses the loaded movie: "" or why it could not be analysed.
std::string analyse(Document& doc);
// Writes `file` to `path`, loads and analyses it; "" or the first message.
std::string loadAndAnalyse(Document& doc, const ByteVector& file, const std::string& path);

// Saves for target frame n into memory (no file is touched); the result and the saved bytes.
struct SavedCopy {
  std::string result;
  ByteVector bytes;
};
SavedCopy saveInMemory(Document& doc, std::int32_t n, bool removal);

}  // namespace framestow::test
