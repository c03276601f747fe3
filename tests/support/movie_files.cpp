#include "support/movie_files.hpp"

#include "support/temp_dir.hpp"

namespace framestow::test {

std::string loadMovie(Document& doc, const ByteVector& bytes, const std::string& name) {
  const std::string path = writeFile(tempPath(name), bytes);
  if (doc.load(path).empty()) doc.analyze();
  return path;
}

Document analysedMovie(const ByteVector& bytes, const std::string& name) {
  Document doc;
  loadMovie(doc, bytes, name);
  return doc;
}

ByteVector savedMovie(const ByteVector& bytes, std::int32_t n, bool optimise) {
  Document doc;
  loadMovie(doc, bytes, "expected/movie.swf");
  ByteVector out;
  const auto sink = [&](const std::uint8_t* data, std::size_t size) {
    out.insert(out.end(), data, data + size);
    return std::error_code();
  };
  if (doc.writeTo(n, optimise, sink, "memory") != kFileModified) out.clear();
  return out;
}

}  // namespace framestow::test
