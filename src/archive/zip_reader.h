// TZipReader: the archive component. It reads the directory of a ZIP archive
// (also one appended to an executable, with offsets counted from the first
// byte of the file) and extracts the entries selected by name patterns below
// a destination folder, reporting progress through events.
//
// All file access goes through qr5::platform::Sys().files; paths are Windows
// paths. Everything runs on the caller's thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/directory_soundness.h"
#include "archive/sorted_zip.h"
#include "archive/zip_header_info.h"
#include "platform/platform.h"

namespace qr5::archive {

class TLFNFileStream;
class ExtractionRun;

enum class TOverwriteMode { Prompt, Always, Never, ifNewer, ifOlder };
enum class TIncompleteZipMode { izAssumeMulti, izAssumeBad, izAssumeNotAZip };
enum class TZipSortMode {
  ByName, ByFileName, ByDirectoryName, ByDate, ByCompressedSize, ByUnCompressedSize, ByRate, ByNone
};
enum class TMultiDiskMode { mmNone, mmSpan, mmBlocks };

// Reasons passed to OnSkippingFile.
enum TSkipReason : int {
  srBadPassword = 0,    // the password check failed
  srNoOverwrite = 1,    // overwriting was refused
  srCreateError = 3,    // the destination could not be created (or lies
                        // outside the destination folder)
};

class TZipReader {
 public:
  TZipReader();
  virtual ~TZipReader();
  TZipReader(const TZipReader&) = delete;
  TZipReader& operator=(const TZipReader&) = delete;

  // ---- Properties ----------------------------------------------------------

  // The archive's path. The same name in other letter case keeps the
  // directory; another name forgets it (nothing is read yet). A name ending
  // in "?" asks SelectZipFileHook for the file instead.
  void SetZipName(const std::string& name);
  const std::string& ZipName() const { return zip_name_; }

  // Name patterns ("*", "?", "<...>" sets) selecting entries by stored path;
  // emptied at the end of every extraction run.
  std::vector<std::string> FilesList;

  // Destination folder, kept without a trailing "\". "?" asks
  // SelectFolderHook for the folder.
  void SetDestDir(const std::string& dir);
  const std::string& DestDir() const { return dest_dir_; }
  // Leading part of stored folders dropped with RecreateDirs; kept with a
  // trailing "\" when not empty.
  void SetRootDir(const std::string& dir);
  const std::string& RootDir() const { return root_dir_; }

  bool RecreateDirs = false;
  bool RetainAttributes = true;
  bool DoAll = false;
  bool ReplaceReadOnly = false;
  bool FlushFilesOnClose = false;
  bool DoProcessMessages = true;
  bool KeepZipOpen = false;
  TOverwriteMode OverwriteMode = TOverwriteMode::Prompt;
  TIncompleteZipMode IncompleteZipMode = TIncompleteZipMode::izAssumeMulti;
  // A directory that is not sound (rebuilt by the recovery scan, records
  // sharing a local header, counts that disagree) raises EDamagedDirectory,
  // with what is wrong, instead of being used for what it still lists.
  bool RequireSoundDirectory = false;
  std::string Password;  // the archive password for encrypted entries

  void SetSortMode(TZipSortMode mode);
  TZipSortMode SortMode() const { return sort_mode_; }

  // ---- Events (all optional) -----------------------------------------------

  std::function<void(int NumFiles, int64_t TotalBytes, bool& StopNow)> OnStartUnZipInfo;
  std::function<void(int FileIndex, std::string& FName, bool& Skip)> OnStartUnZip;
  std::function<void(bool& OverWriteIt, int FileIndex, std::string& FName)> OnPromptForOverwrite;
  std::function<void(int Reason, const std::string& FName, int FileIndex, bool& Retry)> OnSkippingFile;
  std::function<void(int Percent)> OnFilePercentDone;
  std::function<void(int Percent)> OnTotalPercentDone;
  std::function<void(int FileIndex, const std::string& FName)> OnEndUnZip;
  std::function<void(uint32_t CalcCRC, uint32_t StoredCRC, int FileIndex)> OnBadCRC;
  std::function<void(int FileIndex, std::string& NewPassword)> OnBadPassword;
  std::function<void(int FileCount)> OnUnZipComplete;
  std::function<void(TIncompleteZipMode& IncompleteMode)> OnInCompleteZip;

  // ---- Hooks into the application ------------------------------------------

  // Processes pending window messages (called while DoProcessMessages).
  std::function<void()> ProcessMessagesHook;
  // A message box; returns IDOK, IDYES, ... of platform.h. Unset: the text
  // goes to stderr and the answer is IDOK (IDNO for a Yes/No question).
  std::function<int(const std::string& text, const std::string& caption, unsigned flags)>
      MessageBoxHook;
  // Hourglass on (true) and back to the default cursor (false).
  std::function<void(bool busy)> CursorHook;
  // The file-open dialog of ZipName "...?": title, filter, initial folder;
  // returns false when cancelled.
  std::function<bool(const std::string& title, const std::string& filter,
                     const std::string& initial_dir, std::string& chosen)>
      SelectZipFileHook;
  // The folder dialog of DestDir "?": initial folder; false when cancelled.
  std::function<bool(const std::string& initial_dir, std::string& chosen)> SelectFolderHook;

  // ---- Operations ----------------------------------------------------------

  // Opens the archive, reads its directory unless it is current, closes it
  // again unless KeepZipOpen. An archive without end record returns quietly
  // (unless OnInCompleteZip asks to retry).
  void LoadDirectory();
  // Extracts the selected entries; returns how many were completed.
  int ExtractSelected();

  int EntryCount() const;
  int Count() const { return EntryCount(); }
  // The entry at a view index; EListError "Index %d is out of range".
  const TZipHeaderInfo& Entry(int index) const;
  // The entry's comment, read from the archive on first use.
  std::string FileComment(int index);
  // The archive comment, read from the archive on first use.
  std::string ZipComment();

  const TEndCentral& EndCentral() const { return end_central_; }
  bool ScanMode() const { return scan_mode_; }
  // The verdict on the directory last read (kept when reading it failed).
  const TDirectorySoundness& DirectorySoundness() const { return soundness_; }
  TMultiDiskMode MultiDiskMode() const { return multi_disk_mode_; }
  platform::FileTime ArchiveTime() const { return archive_time_; }
  bool ArchiveOpen() const { return stream_ != nullptr; }

  // Totals of the last (or current) extraction run.
  int NumFiles() const { return num_files_; }
  int64_t TotalBytes() const { return total_bytes_; }
  int64_t BytesDone() const { return bytes_done_; }
  // View index of the entry being extracted, or of the last one after a run
  // (so a caller can tell which entry an exception ended the run in); -1
  // when no entry was reached.
  int CurrentIndex() const { return current_index_; }
  // Why the reader itself refused the entry it last skipped with reason 3
  // (valid inside OnSkippingFile): "name refused", "path too long",
  // "overlapping or impossible size", "folder cannot be created" or
  // "file cannot be created".
  const std::string& LastRefusal() const { return last_refusal_; }
  // The Windows error behind that refusal (ERROR_FILENAME_EXCED_RANGE for a
  // path too long); 0 when the name itself was refused.
  uint32_t LastSystemError() const { return last_system_error_; }

  // Internal steps, also used by extraction.
  void OpenArchive();
  void CloseArchive();
  void ClearArchive();

 protected:
  void ReadDirectory();
  // Locates the end record in the stream and fills end_central_.
  bool FindEndRecord(TLFNFileStream& stream);
  // Recovery: rebuilds the directory from the local headers.
  bool ScanLocalHeaders();
  // Reads one central header at the stream's position; on failure the
  // stream is back where it was.
  bool ReadCentralHeader(TLFNFileStream& stream, TZipHeaderInfo& info);
  // After the recovery scan: takes a central record's values into the entry
  // of its local header when it names that file; claims and merged are per
  // directory entry, and what does not fit is counted in soundness_.
  void MergeCentralRecord(const TZipHeaderInfo& info, std::vector<int>& claims, std::vector<bool>& merged);
  void BuildView();
  TZipHeaderInfo& ViewEntry(int index);

  // Extraction steps.
  // Whether the entry at a view index is selected by FilesList (the
  // selection step of a run; DoAll aside).
  virtual bool MatchesFilesList(int index, const TZipHeaderInfo& entry) const;
  void RunExtraction(int& extracted);
  // false: run the entry again (a new password was given).
  bool UnZipOne(ExtractionRun& run, int index, int& extracted);
  void SkipEntry(int reason, const std::string& name, int index, uint32_t size);
  std::string DestinationFolder(const TZipHeaderInfo& entry) const;
  // True when the entry's destination stays inside DestDir.
  bool DestinationIsSafe(const TZipHeaderInfo& entry) const;
  // True when the entry's data (from data_at, its compressed size long)
  // overlaps no other entry's local header, nor the central directory or
  // end record, and its declared size is one the data can reach.
  bool EntryDataIsSound(const TZipHeaderInfo& entry, int64_t data_at) const;
  // Takes note of the local header offsets of the directory for
  // EntryDataIsSound (once per run).
  void NoteLocalHeaders();
  int ShowMessage(const std::string& text, const std::string& caption, unsigned flags);
  void ProcessMessages();
  void SetCursor(bool busy);

 private:
  friend class ExtractionRun;

  std::string zip_name_;
  std::string dest_dir_;
  std::string root_dir_;
  TZipSortMode sort_mode_ = TZipSortMode::ByNone;

  std::unique_ptr<TLFNFileStream> stream_;
  std::unique_ptr<TSortedZip> directory_;
  std::vector<TZipHeaderInfo*> view_;  // non-owning; the directory's order with ByNone
  TEndCentral end_central_;
  platform::FileTime archive_time_ = 0;
  bool scan_mode_ = false;
  TDirectorySoundness soundness_;
  TMultiDiskMode multi_disk_mode_ = TMultiDiskMode::mmNone;

  // The bytes of the archive file that hold the central directory and the
  // end record (empty when they came from a ".zfc" companion), and the
  // directory's local header offsets in ascending order.
  int64_t structure_begin_ = 0;
  int64_t structure_end_ = 0;
  std::vector<uint32_t> local_offsets_;
  int64_t archive_size_ = 0;
  std::string last_refusal_;
  uint32_t last_system_error_ = 0;

  int num_files_ = 0;
  int64_t total_bytes_ = 0;
  int64_t bytes_done_ = 0;
  int current_index_ = -1;
};

}  // namespace qr5::archive
