#include "cli/file_identity.hpp"

#if defined(_WIN32)
#include <windows.h>

#include <filesystem>
#else
#include <sys/stat.h>
#endif

namespace framestow::cli {

std::optional<FileIdentity> identityOf(const std::string& path) {
#if defined(_WIN32)
  // Opened for no access at all, which needs no rights and never blocks.
  // The path converted as the rest of the program converts it.
  const std::wstring wide = std::filesystem::path(path).wstring();
  HANDLE handle = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  if (!known) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
#else
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
#endif
}

}  // namespace framestow::cli
