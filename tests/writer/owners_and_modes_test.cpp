// The saved movie and its backup keep the original's owner, group and mode;
// where the owner cannot be kept, setuid and setgid go.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "support/faulty_file_system.hpp"
#include "support/movie_files.hpp"
#include "support/temp_dir.hpp"

namespace framestow {
namespace {

struct Ownership {
  unsigned mode;
  std::uint32_t owner;
  std::uint32_t group;
  bool operator==(const Ownership&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Ownership& o) {
  return out << std::oct << o.mode << std::dec << " " << o.owner << ":" << o.group;
}

Ownership ownershipOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return {static_cast<unsigned>(st.st_mode & 07777), st.st_uid, st.st_gid};
}

struct OwnerCase {
  std::string name;
  unsigned mode;
  bool otherOwner;        // the movie belongs to user 1234, group 5678 (needs root)
  bool linksFail;         // the backup is a copy, not a second name
  bool ownerChangesFail;  // as for a user who may not give files away
  unsigned savedMode;
  bool ownerKept;
};

const OwnerCase kCases[] = {
    {"GroupReadable", 0640, false, false, false, 0640, true},
    {"PrivateMovieWithACopiedBackup", 0600, false, true, false, 0600, true},
    {"SetuidKeptWithItsOwner", 06755, false, true, false, 06755, true},
    {"SetuidDroppedWhenTheOwnerCannotBeKept", 06755, false, false, true, 0755, false},
    {"AnotherUsersMovieSavedByRoot", 0604, true, false, false, 0604, true},
    {"AnotherUsersMovieWithACopiedBackup", 06750, true, true, false, 06750, true},
};

TEST(OwnersAndModes, SavedMovieAndBackupKeepTheOriginalsOwnerAndMode) {
  test::Timeline t;
  t.setBackgroundColor().defineBitsLossless(1, 200).exportAssets({{1, "art"}}).showFrame().showFrame().end();
  const test::ByteVector original = test::buildMovie(t);
  for (const OwnerCase& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.otherOwner && geteuid() != 0) {
      std::cout << "[ SKIPPED  ] " << c.name << ": giving a file to another user needs root\n";
      continue;
    }
    Document doc;
    const std::string path = test::loadMovie(doc, original, c.name + ".swf");
    if (c.otherOwner) {
      ASSERT_EQ(::chown(path.c_str(), 1234, 5678), 0);
    }
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    const Ownership before = ownershipOf(path);

    test::FaultyFileSystem fs;
    fs.linksFail = c.linksFail;
    fs.ownerChangesFail = c.ownerChangesFail;
    const SaveOutcome outcome = doc.save(2, false, true, {}, fs);
    ASSERT_EQ(outcome.result, kFileModified) << outcome.reason;
    const Ownership saved = ownershipOf(path);
    EXPECT_EQ(saved.mode, c.savedMode);
    if (c.ownerKept) {
      EXPECT_EQ(saved, before);
    }
    EXPECT_EQ(ownershipOf(outcome.backupPath), before) << "the backup is the original, owner and mode included";
    EXPECT_EQ(test::readFile(outcome.backupPath), original);
  }
}

}  // namespace
}  // namespace framestow
