#include "support/documents.hpp"

#include "support/fault_injecting_file_system.hpp"

namespace framestow::test {
namespace {

std::string withoutLineEnds(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

std::string load(Document& doc, const std::string& path) { return withoutLineEnds(doc.load(path)); }

std::string analyse(Document& doc) {
  if (doc.analyze()) return "";
  return doc.analysisError().empty() ? "not analysed" : withoutLineEnds(doc.analysisError());
}

std::string loadAndAnalyse(Document& doc, const ByteVector& file, const std::string& path) {
  const std::string message = load(doc, writeFile(path, file));
  return message.empty() ? analyse(doc) : message;
}

std::string save(Document& doc, std::int32_t n, const SaveChoice& choice, FileSystem& fs) {
  return saveResultText(doc.save(n, choice.removal, choice.backup, choice.outputPath, fs));
}

SavedCopy saveInMemory(Document& doc, std::int32_t n, bool removal) {
  FaultInjectingFileSystem memory;
  SavedCopy copy{save(doc, n, {removal, false, "saved.swf"}, memory), {}};
  if (memory.files.count("saved.swf") != 0) copy.bytes = memory.files["saved.swf"].bytes;
  return copy;
}

}  // namespace framestow::test
