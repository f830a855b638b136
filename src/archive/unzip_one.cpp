// UnZipOne: one entry of a run, from its local header to the CRC check. The
// file is written under a temporary name and moved over its destination
// only once it is complete and its CRC-32 matches (replace_destination.h).
#include "archive/extraction_run.h"
#include "archive/le_bytes.h"
#include "archive/lfn_file_stream.h"
#include "archive/path_utils.h"
#include "archive/replace_destination.h"
#include "archive/zip_crypto.h"
#include "archive/zip_errors.h"
#include "archive/zip_reader.h"

namespace qr5::archive {

namespace {

// ERROR_FILENAME_EXCED_RANGE: what Windows says of a path longer than it takes.
constexpr uint32_t kErrorPathTooLong = 206;

using platform::Sys;

// Decrypts the 12-byte header at the stream's position with password; the
// keys are left running for the data when the check byte matches.
bool CheckPassword(TLFNFileStream& archive, int64_t header_at, const TZipHeaderInfo& entry,
                   const std::string& password, ZipKeys& keys) {
  uint8_t header[kEncryptionHeaderSize];
  if (!archive.Seek(header_at) || !archive.ReadExact(header, sizeof header)) {
    throw EFatalUnzipError("Premature end of file reached");
  }
  keys.Init(password);
  keys.Decrypt(header, sizeof header);
  return header[kEncryptionHeaderSize - 1] ==
         PasswordCheckByte(entry.BitFlags, entry.DosDateTime, entry.Crc32);
}

// The longest path the system's ANSI file functions take (MAX_PATH less the
// terminating NUL); a longer one, or a deeper folder chain, is refused before
// any folder is made for it.
constexpr size_t kMaxPathLength = 259;

}  // namespace

bool TZipReader::UnZipOne(ExtractionRun& run, int index, int& extracted) {
  const TZipHeaderInfo entry = *view_[static_cast<size_t>(index)];
  TLFNFileStream& archive = run.Archive();

  int64_t data_at = 0;
  if (!entry.IsFolder()) {
    uint8_t local[kLocalHeaderSize];
    if (!archive.Seek(entry.LocalHeaderOffset) || !archive.ReadExact(local, sizeof local)) {
      throw EFatalUnzipError("Premature end of file reached");
    }
    data_at = int64_t{entry.LocalHeaderOffset} + kLocalHeaderSize + Get16(local + 26) +
              Get16(local + 28);
  }
  const std::string folder = DestinationFolder(entry);

  const auto refuse = [&](const char* why, const std::string& name, uint32_t size, uint32_t error = 0) {
    last_refusal_ = why;
    last_system_error_ = error;
    SkipEntry(srCreateError, name, index, size);
    return true;
  };
  if (entry.IsFolder()) {
    if (!DestinationIsSafe(entry)) return refuse("name refused", folder, 0);
    if (folder.size() > kMaxPathLength) return refuse("path too long", folder, 0, kErrorPathTooLong);
    // A folder that cannot be made (its path runs through a file, say) is
    // not installed, whatever the caller counts.
    if (RecreateDirs && !DirectoryExists(folder)) {
      uint32_t error = 0;
      if (!ForceDirectories(folder, &error)) return refuse("folder cannot be created", folder, 0, error);
    }
    ++extracted;
    return true;
  }

  std::string path = folder + entry.FileName;
  if (!DestinationIsSafe(entry)) return refuse("name refused", path, entry.UncompressedSize);
  if (!EntryDataIsSound(entry, data_at)) {
    return refuse("overlapping or impossible size", path, entry.UncompressedSize);
  }
  bool skip = false;
  if (OnStartUnZip) OnStartUnZip(index, path, skip);
  if (skip) return true;
  if (path.size() > kMaxPathLength) {
    return refuse("path too long", path, entry.UncompressedSize, kErrorPathTooLong);
  }

  std::string parent = ExtractFilePath(path);
  uint32_t folder_error = 0;
  if (!parent.empty() && !DirectoryExists(parent) && !ForceDirectories(parent, &folder_error)) {
    return refuse("folder cannot be created", path, entry.UncompressedSize, folder_error);
  }

  ZipKeys keys;
  if (entry.Encrypted()) {
    while (!CheckPassword(archive, data_at, entry, Password, keys)) {
      std::string new_password = Password;
      if (OnBadPassword) OnBadPassword(index, new_password);
      if (!OnBadPassword || new_password == Password) {
        SkipEntry(srBadPassword, entry.StoredPath(), index, entry.UncompressedSize);
        return true;
      }
      Password = new_password;
    }
    data_at += kEncryptionHeaderSize;
  }

  if (OverwriteMode != TOverwriteMode::Always && FileExists(path)) {
    bool overwrite = false;
    switch (OverwriteMode) {
      case TOverwriteMode::Prompt:
        if (OnPromptForOverwrite) {
          OnPromptForOverwrite(overwrite, index, path);
        } else {
          overwrite = ShowMessage("Replace existing file " + entry.FileName + "?", "File Exists Alert",
                                  platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES;
        }
        break;
      case TOverwriteMode::ifNewer:
      case TOverwriteMode::ifOlder: {
        platform::FileTime existing_time = 0;
        auto existing = Sys().files->OpenFile(path, platform::OpenMode::kRead);
        if (existing && existing->GetTime(&existing_time)) {
          uint32_t existing_dos = FileTimeToDosDateTime(existing_time);
          uint32_t entry_dos = NormalizeDosDateTime(entry.DosDateTime);
          overwrite = OverwriteMode == TOverwriteMode::ifNewer ? entry_dos > existing_dos
                                                               : entry_dos < existing_dos;
        }
        break;
      }
      case TOverwriteMode::Never:
      case TOverwriteMode::Always:
        break;
    }
    if (!overwrite) {
      SkipEntry(srNoOverwrite, path, index, entry.UncompressedSize);
      return true;
    }
  }

  // What would keep the file from being created is known before anything
  // is written; the existing file is only ever replaced by a finished one.
  std::string temp_path;
  std::unique_ptr<TLFNFileStream> output;
  uint32_t create_error = 0;
  if (DestinationReplaceable(path, ReplaceReadOnly, &create_error)) {
    output = CreateTemporaryBeside(path, temp_path, &create_error);
  }
  if (!output) return refuse("file cannot be created", path, entry.UncompressedSize, create_error);

  bool completed = true;
  run.BeginEntry(entry, output.get(), entry.Encrypted() ? &keys : nullptr);
  try {
    if (!archive.Seek(data_at)) throw EFatalUnzipError("Premature end of file reached");
    try {
      run.Decode(entry.CompressionMethod);
    } catch (const EBiggerThanUncompressed&) {
      completed = false;
    }
    if (!output->Flush(FlushFilesOnClose)) completed = false;
  } catch (...) {
    // The run ends; the destination keeps what it had.
    output.reset();
    DiscardTemporary(temp_path);
    throw;
  }
  output.reset();

  uint32_t crc = run.FinalCrc();
  if (completed && crc == entry.Crc32) {
    if (auto file = Sys().files->OpenFile(temp_path, platform::OpenMode::kReadWrite)) {
      file->SetTime(DosDateTimeToFileTime(NormalizeDosDateTime(entry.DosDateTime)));
    }
    uint32_t move_error = 0;
    if (!MoveOverDestination(temp_path, path, ReplaceReadOnly, &move_error)) {
      // Taken in use or made read-only meanwhile: as if it could not be
      // created, and its bytes leave the totals again. (A temporary file
      // that cannot be deleted either is the next run's to remove.)
      DiscardTemporary(temp_path);
      bytes_done_ -= static_cast<int64_t>(run.FileBytesDone());
      return refuse("file cannot be created", path, entry.UncompressedSize, move_error);
    }
    // The time went with the file; the attributes follow, read-only last.
    if (RetainAttributes) Sys().files->SetFileAttributes(path, entry.ExternalAttributes);
    if (OnEndUnZip) OnEndUnZip(index, path);
    ++extracted;
    return true;
  }
  DiscardTemporary(temp_path);
  if (entry.Encrypted()) {
    std::string new_password = Password;
    if (OnBadPassword) OnBadPassword(index, new_password);
    if (OnBadPassword && new_password != Password) {
      Password = new_password;
      return false;  // run the entry again with the new password
    }
    if (OnSkippingFile) {
      bool retry = false;
      OnSkippingFile(srBadPassword, entry.StoredPath(), index, retry);
    }
  } else if (OnBadCRC) {
    OnBadCRC(crc, entry.Crc32, index);
  }
  return true;
}

}  // namespace qr5::archive
