#include "support/documents.hpp"

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

SavedCopy saveInMemory(Document& doc, std::int32_t n, bool removal) {
  SavedCopy copy;
  const auto sink = [&](const std::uint8_t* data, std::size_t size) {
    copy.bytes.insert(copy.bytes.end(), data, data + size);
    return std::error_code();
  };
  copy.result = saveResultText(doc.writeTo(n, removal, sink, "memory").result);
  return copy;
}

}  // namespace framestow::test
