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

}  // namespace framestow::test
