// Whole-file reading and writing that report failure as a value and never
// throw. On failure the optional `reason` receives the system's reason
// ("Is a directory"); callers put it into their own message.
//
// Thread safety: every function may be called from any thread; two threads
// replacing the same file at once each leave a whole file behind.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vossik {

/// Reads the regular file `file` whole into `bytes`. False when it is
/// missing, is not a regular file (a folder, say) or cannot be read; then
/// `bytes` is left as it was and `reason`, when given, says why.
[[nodiscard]] bool ReadWholeFile(const std::filesystem::path& file, std::string* bytes,
                                 std::string* reason = nullptr);

/// Creates or truncates `file` and writes `bytes` to it. False, with
/// `reason` set, when any step fails; the file may then hold part of the
/// bytes. Nothing is synced: callers that publish by rename sync first.
[[nodiscard]] bool WriteWholeFile(const std::filesystem::path& file, std::string_view bytes,
                                  std::string* reason = nullptr);

/// Writes everything cached for the file system that holds `folder` to the
/// disk: one call for many files written before, where syncing each would
/// cost a disk commit per file. False, with `reason` set, when it fails.
[[nodiscard]] bool SyncFileSystem(const std::filesystem::path& folder,
                                  std::string* reason = nullptr);

/// Replaces `file` with `bytes` so that a crash or a full disk leaves either
/// the old file or the new one, never a mix: the bytes go to a synced
/// temporary file beside it ("NAME.PID.N.tmp"), which takes the old file's
/// permissions and is renamed over it; the folder is synced last. A symbolic
/// link is written through. An existing file that this process may not
/// write is left alone and the call fails, as an in-place write would.
[[nodiscard]] bool ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                                         std::string* reason = nullptr);

/// Removes the temporary files that ReplaceFileAtomically left beside
/// `file` in runs that were killed ("NAME.PID.N.tmp" whose process PID no
/// longer runs); those of running processes stay. Returns how many went.
int RemoveStaleTemporaries(const std::filesystem::path& file);

/// Syncs the folder `folder` so that renames into it survive a crash.
/// False when the folder cannot be opened or synced.
[[nodiscard]] bool SyncFolder(const std::filesystem::path& folder);

/// "cannot ACTION 'FILE': REASON", the usual way to report a failed file operation.
std::string FileErrorText(std::string_view action, const std::filesystem::path& file,
                          std::string_view reason);

}  // namespace vossik
