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

// Loads `path`: "" or why it could not be loaded.
std::string load(Document& doc, const std::string& path);
// Analyses the loaded movie: "" or why it could not be analysed.
std::string analyse(Document& doc);
// Writes `file` to `path`, loads and analyses it; "" or the first message.
std::string loadAndAnalyse(Document& doc, const ByteVector& file, const std::string& path);

struct SaveChoice {
  bool removal = false;    // remove redundant export entries
  bool backup = false;     // keep the file as loaded under its backup name first
  std::string outputPath;  // empty: replace the loaded file
};
// Saves for target frame n: the result text the front ends show.
std::string save(Document& doc, std::int32_t n, const SaveChoice& choice, FileSystem& fs = realFileSystem());

// Saves for target frame n into a file system in memory; the result and the saved bytes.
struct SavedCopy {
  std::string result;
  ByteVector bytes;
};
SavedCopy saveInMemory(Document& doc, std::int32_t n, bool removal);

}  // namespace framestow::test
