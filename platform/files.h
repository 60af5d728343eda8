#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace brenmoor {

// Everything Brenmoor asks of the file system goes through here. File names
// are UTF-8 strings everywhere else in the program; only the operating
// system's side of this layer turns them into what its calls take (UTF-16 on
// Windows). Failures are thrown as Error with the text the engineer sees, the
// reason in the operating system's own words (and language):
//   Cannot open file "<full path>". <reason>
//   Cannot create file "<full path>". <reason>
//   Cannot write file "<full path>". <reason>

// A path from UTF-8 text, and back. Never through the system's 8-bit code
// page, which cannot hold a Chinese folder name on a Western Windows.
// Example: PathToUtf8(PathFromUtf8("D:\\项目\\柱截面 表.csv")) is the same text.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// path made absolute from the current folder and tidied ("a/./b" -> "a/b"),
// as messages show it; path itself when that fails.
std::filesystem::path FullPath(const std::filesystem::path& path);

// "<what> file \"<full path>\". <reason>", the form of every file error.
std::string FileErrorMessage(std::string_view what, const std::filesystem::path& path,
                             std::string_view reason);

// Where reading a file may stop early, so that an endless or huge input
// (/dev/zero, a disk image given by mistake) cannot exhaust the memory.
struct ReadLimits {
  // Stop after the first zero byte, which is kept: no table holds one.
  bool stop_at_zero = false;
  // Read at most this many bytes.
  std::size_t most = static_cast<std::size_t>(-1);
};

// The whole content of the file at path, read as bytes, or as much of it as
// limits allow. Others may go on reading it meanwhile. Throws "Cannot open
// file ..." when it cannot be read (missing, a folder, no permission, held
// open for writing).
std::string ReadWholeFile(const std::filesystem::path& path, ReadLimits limits = {});

// Everything on the program's standard input, as bytes, or as much of it as
// limits allow: a table given as "-". Throws "Cannot open file "-". <reason>"
// when it cannot be read.
std::string ReadStandardInput(ReadLimits limits = {});

// Whether a and b name the same file: the same file on the disk however it
// is reached (another spelling, "./", a symbolic link, a hard link, another
// case on Windows). False when either does not exist.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Refuses to write output when it is the input the command reads (the
// engineer's section table), before anything is read or written:
//   Cannot create file "<output>". It is the section table itself
void RefuseOutputOverInput(const std::filesystem::path& output, const std::filesystem::path& input);

// A file that replaces target in one step, so that target is always either
// the complete old file or the complete new one, whatever happens meanwhile
// (a full disk, a crash, the power going off).
// The bytes go to a temporary file beside target (ReplacingFileTemporaryName);
// Commit() makes them durable, closes the file and moves it over target.
// The temporary file has a name nobody can guess and is readable by its
// owner only until it is complete; it gets its final permissions (and owner)
// just before the rename.
// Without a Commit() (an exception, say) the destructor closes and removes
// the temporary file; so does Ctrl-C (platform/interrupt.h). Creating one
// first removes the temporary files that earlier runs killed midway left in
// target's folder, whatever file they were writing, and only those: files of
// such a name whose process is gone (and, on POSIX systems, that belong to
// the running user, are no link and no process holds locked). On Windows the system removes a
// temporary file that was never committed when its program ends, however it ends, so only a power
// cut (or a kill in the instant between closing the file and renaming it) leaves one. What the
// engineer set up is kept: a symbolic link to a file is followed and the file it leads to is
// replaced in its own folder (a link to nothing is refused); the new file gets the old one's
// permissions (and, where allowed, its owner and group). In a folder where anyone may create files
// (sticky, such as /tmp), a link or file at target that belongs to another user (and not to the
// folder's owner) is refused, since they may have put it there:
//   Cannot create file "<target>". It is a symbolic link of another user
//   (<name>) in a folder where anyone may create files A target the engineer made read-only is
//   refused, not
// replaced, whoever runs the program. A target that is not a file (a device
// such as /dev/null, a named pipe), or a link to one, is written in place, as
// cp does; a folder, a socket and a block device are refused. On POSIX
// systems /dev/stdout, /dev/stderr, /dev/fd/N and /proc/self/fd/N are written
// through the descriptor they name, in place, whatever it leads to (a pipe, a
// terminal, or a file the shell opened), never replaced.
//
// The new file is written either in order (Write) or, where it is a file of
// its own (positional()), in parts at their offsets from several threads at
// once (Reserve, then WriteAt), never both.
//
// Test hook: BRENMOOR_CRASH_AT=<moment> in the environment makes the program
// kill itself (SIGKILL; on Windows TerminateProcess, status 137) when a
// ReplacingFile reaches that moment, so that a test sees what a crash there
// leaves; BRENMOOR_STOP_AT=<moment> stops it there (SIGSTOP; POSIX only), so
// that a test can send it a signal at a known point. The moments:
//   before-first-write  the temporary file exists (its space perhaps
//                       reserved, all zeros), no byte is written yet
//   mid-write           some bytes are written, more are coming: the second
//                       Write, or the first WriteAt to begin after another
//                       has finished (no other WriteAt begins meanwhile)
//   after-sync          every byte is durable, the file still open
//   before-rename       the file is closed, not yet moved over target
//   after-rename        target is the new file
// Both are read once, when a ReplacingFile is made; other values do nothing.
class ReplacingFile {
 public:
  // Throws "Cannot create file \"<target>\". <reason>".
  explicit ReplacingFile(const std::filesystem::path& target);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Appends bytes; throws "Cannot write file \"<target>\". <reason>".
  void Write(const char* data, std::size_t size);

  // Whether the file takes Reserve and WriteAt: a new file of its own, not
  // a device, a pipe or standard output written in place, which take bytes
  // only in order.
  bool positional() const { return !in_place_; }

  // Reserves size bytes on the disk for the new file (its length may be
  // set to size already, the bytes reading as zeros), so that a disk
  // without room for it is found before anything is made, and the file
  // lies in few pieces. Where the file system cannot reserve space, the
  // writes take it as they come. Only where positional(). Throws "Cannot
  // write file ..." (no space left, a file size limit).
  void Reserve(std::uint64_t size);

  // Writes size bytes at offset and has the system start putting them on
  // the disk (durable only once Commit has flushed). Called from any number
  // of threads at once, each on bytes of its own. Only where positional().
  // Throws "Cannot write file \"<target>\". <reason>".
  void WriteAt(const char* data, std::size_t size, std::uint64_t offset);

  // Flushes to the disk, closes and moves the file over target. Throws
  // "Cannot write file ..." when the bytes cannot be made durable and
  // "Cannot create file ..." when target cannot be replaced (on Windows:
  // another program holds it open); the temporary file is removed then.
  void Commit();

  // The full path of the file being replaced, and of the temporary file.
  const std::filesystem::path& target() const { return target_; }
  const std::filesystem::path& temporary() const { return temporary_; }

 private:
  // The moments of the test hook above.
  enum class Moment : unsigned char {
    kNone,
    kBeforeFirstWrite,
    kMidWrite,
    kAfterSync,
    kBeforeRename,
    kAfterRename
  };
  // Reads BRENMOOR_CRASH_AT and BRENMOOR_STOP_AT.
  void ReadTestHook();
  // Kills or stops the program if the test hook names moment.
  void Reached(Moment moment) const;
  // Counts a write, reaching the moments before the first and the second.
  void CountWrite() {
    if (writes_ < 2) Reached(writes_ == 0 ? Moment::kBeforeFirstWrite : Moment::kMidWrite);
    ++writes_;
  }
  // The same for a WriteAt about to begin, on any thread: the moment before
  // the first, then before the first to begin after another has finished.
  // While a moment may still come, each waits for the one before it, so
  // that no other write slips in while the program is killed or stopped.
  void CountWriteAt();

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::intptr_t handle_ = -1;  // the system's handle of the open temporary file
  bool committed_ = false;
  bool in_place_ = false;                  // target is a device or a pipe, written directly
  std::atomic<std::uint64_t> written_{0};  // bytes written so far
  std::uint64_t sent_to_disk_ = 0;         // bytes the system was asked to start writing out
  std::uint64_t writes_ = 0;               // calls of Write, or of WriteAt, so far
  std::atomic<std::uint64_t> finished_writes_{0};  // calls of WriteAt that have returned
  std::atomic<bool> moments_passed_{false};        // no moment of WriteAt is left to reach
  std::mutex writing_;  // what the calls of WriteAt share: the moments, the flushes
  Moment crash_at_ = Moment::kNone;
  Moment stop_at_ = Moment::kNone;
  int interrupt_place_ = -1;          // where Ctrl-C finds the temporary file's name (POSIX)
  bool marked_for_deletion_ = false;  // the system deletes it if the program ends (Windows)
  // What the complete file gets before it is renamed (POSIX): until then it
  // is readable by its owner only. An owner of -1 is the running user.
  std::uint32_t final_mode_ = 0600;
  std::int64_t final_owner_ = -1;
  std::int64_t final_group_ = -1;
  // What the system's side keeps while the disk writes in the background.
  std::shared_ptr<void> writeback_;
};

// Whether path names the program's own standard output (/dev/stdout,
// /dev/fd/1, /proc/self/fd/1), which a ReplacingFile then writes in place: a
// command writing its file there has to keep everything else it would print
// on standard output out of it. Always false on Windows.
bool NamesStandardOutput(const std::filesystem::path& path);

// Whether path names one of the program's open descriptors rather than a
// file in a folder (/dev/stdin, /dev/fd/N, /proc/self/fd/N): nothing may be
// written beside it. Always false on Windows.
bool NamesOpenDescriptor(const std::filesystem::path& path);

// The whole of bytes as the new content of target, through a ReplacingFile.
void WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes);

// The name of the temporary file ReplacingFile writes for a target named
// target_name (UTF-8), by process process_id, told apart from the names of
// other tries by unique (random, so that nobody can take the name first):
// ".<target name>.<process id>.<unique>.tmp", with a long target name cut
// and a hash of the whole name put in its place, so that the name always
// fits where the target's name does (255 bytes, 255 UTF-16 units).
// Example: ReplacingFileTemporaryName("KAVOSEC.PF3CMP", 4711, 93) is
// ".KAVOSEC.PF3CMP.4711.93.tmp".
std::string ReplacingFileTemporaryName(std::string_view target_name, std::int64_t process_id,
                                       std::uint64_t unique);

// Whether name is a temporary file name that ReplacingFile gives for a target
// named target_name, and the process id in it.
// Example: IsReplacingFileTemporary(".KAVOSEC.PF3CMP.4711.0.tmp",
// "KAVOSEC.PF3CMP", pid) is true with pid 4711.
bool IsReplacingFileTemporary(std::string_view name, std::string_view target_name,
                              std::int64_t& process_id);

// Whether name is a temporary file name that ReplacingFile gives for any
// target, and the process id in it: ".<target name>.<digits>.<digits>.tmp"
// with a target name that is not empty.
// Example: IsReplacingFileTemporary(".report.pdf.4711.0.tmp", pid) is true
// with pid 4711.
bool IsReplacingFileTemporary(std::string_view name, std::int64_t& process_id);

}  // namespace brenmoor
