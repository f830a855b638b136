// ReadDirectory: the end record, the ".zfc" companion, the central walk with
// its fall-back to the recovery scan, and the reading of one central header.
#include <algorithm>
#include <vector>

#include "archive/le_bytes.h"
#include "archive/lfn_file_stream.h"
#include "archive/path_utils.h"
#include "archive/zip_errors.h"
#include "archive/zip_reader.h"

namespace qr5::archive {

namespace {

[[noreturn]] void RaiseBadZip() { throw EBadZipFile("Not a valid zip file!"); }

// The number of entries whose local header offset another entry has too.
// Disk numbers are not looked at: the disks of a spanned archive are never
// fetched, so every entry is read from this one file.
int EntriesSharingALocalHeader(const TSortedZip& directory) {
  std::vector<uint32_t> offsets;
  offsets.reserve(static_cast<size_t>(directory.Count()));
  for (int i = 0; i < directory.Count(); ++i) offsets.push_back(directory[i].LocalHeaderOffset);
  std::sort(offsets.begin(), offsets.end());
  int shared = 0;
  for (size_t i = 0; i < offsets.size(); ++i) {
    const bool before = i > 0 && offsets[i - 1] == offsets[i];
    const bool after = i + 1 < offsets.size() && offsets[i + 1] == offsets[i];
    if (before || after) ++shared;
  }
  return shared;
}

// Whether a central record names the file of a local header: the local
// name is always taken from the OEM code page, the central one only when
// written on MS-DOS.
bool SameName(const TZipHeaderInfo& central, const TZipHeaderInfo& local) {
  const std::string path = central.StoredPath();
  return path == local.StoredPath() || platform::Sys().system->OemToAnsi(path) == local.StoredPath();
}

}  // namespace

bool TZipReader::ReadCentralHeader(TLFNFileStream& stream, TZipHeaderInfo& info) {
  int64_t start = stream.Position();
  uint8_t h[kCentralHeaderSize];
  if (!stream.ReadExact(h, sizeof h) || Get32(h) != kCentralHeaderSignature ||
      start > int64_t{UINT32_MAX}) {
    stream.Seek(start);
    return false;
  }
  uint16_t name_length = Get16(h + 28);
  std::string name(name_length, '\0');
  if (!stream.ReadExact(name.data(), name_length)) {
    stream.Seek(start);
    return false;
  }
  info.VersionMadeBy = Get16(h + 4);
  info.VersionNeeded = Get16(h + 6);
  info.BitFlags = Get16(h + 8);
  info.CompressionMethod = Get16(h + 10);
  info.DosDateTime = NormalizeDosDateTime(Get32(h + 12));
  info.Crc32 = Get32(h + 16);
  info.CompressedSize = Get32(h + 20);
  info.UncompressedSize = Get32(h + 24);
  info.CentralExtraLength = Get16(h + 30);
  info.CommentLength = Get16(h + 32);
  info.DiskNumberStart = Get16(h + 34);
  info.InternalAttributes = Get16(h + 36);
  info.ExternalAttributes = Get32(h + 38);
  info.LocalHeaderOffset = Get32(h + 42);
  info.CentralHeaderOffset = static_cast<uint32_t>(start);
  info.LocalExtraLength = 0;
  info.FileComment.reset();
  info.ToProcess = false;
  // Names written on MS-DOS are in the OEM code page.
  if ((info.VersionMadeBy >> 8) == 0) name = platform::Sys().system->OemToAnsi(name);
  SplitStoredName(name, info.Directory, info.FileName);
  info.FileNameLength = static_cast<uint16_t>(info.Directory.size() + info.FileName.size());
  stream.Seek(stream.Position() + info.CentralExtraLength + info.CommentLength);
  return true;
}

void TZipReader::MergeCentralRecord(const TZipHeaderInfo& info, std::vector<int>& claims,
                                    std::vector<bool>& merged) {
  const int at = directory_->Find(info.DiskNumberStart, info.LocalHeaderOffset);
  if (at < 0) {
    ++soundness_.UnmatchedCentral;
    return;
  }
  const size_t k = static_cast<size_t>(at);
  // A second record naming the same local header makes both shared ones.
  const int claimed = ++claims[k];
  if (claimed > 1) soundness_.SharedLocalHeaders += claimed == 2 ? 2 : 1;
  // Only the record of the file that lies there describes it; another
  // file's record would give it that file's name, sizes and CRC.
  if (!merged[k] && SameName(info, (*directory_)[at])) {
    TZipHeaderInfo& kept = (*directory_)[at];
    const uint32_t offset = kept.LocalHeaderOffset;
    kept = info;
    kept.LocalHeaderOffset = offset;
    merged[k] = true;
  } else if (claimed == 1) {
    ++soundness_.UnmatchedCentral;
  }
}

void TZipReader::ReadDirectory() {
  archive_time_ = 0;
  stream_->GetTime(&archive_time_);
  directory_.reset();
  view_.clear();
  soundness_ = TDirectorySoundness();

  TLFNFileStream* central = stream_.get();
  std::unique_ptr<TLFNFileStream> companion;
  bool found = FindEndRecord(*stream_);
  if (!found) {
    // A saved copy of the central directory beside the archive.
    companion = TLFNFileStream::TryOpen(ChangeFileExt(zip_name_, ".zfc"), platform::OpenMode::kRead);
    if (companion && FindEndRecord(*companion)) {
      found = true;
      central = companion.get();
    } else {
      companion.reset();
    }
  }

  if (found) {
    soundness_.EndRecordFound = true;
    soundness_.SingleDisk = end_central_.ThisDisk == 0;
    soundness_.CountedEntries = end_central_.TotalEntries;
    soundness_.CountedOnThisDisk = end_central_.EntriesThisDisk;
    // Spanned and split archives are not read: their disks are never
    // fetched, so a central directory on another disk fails the walk.
    multi_disk_mode_ =
        end_central_.ThisDisk == 0 ? TMultiDiskMode::mmNone : TMultiDiskMode::mmBlocks;
    if (end_central_.TotalEntries != 0) {
      central->Seek(companion ? 0 : int64_t{end_central_.CentralOffset});
    }
  } else {
    TIncompleteZipMode mode = IncompleteZipMode;
    if (OnInCompleteZip) OnInCompleteZip(mode);
    switch (mode) {
      case TIncompleteZipMode::izAssumeNotAZip:
        throw ENotAZipFile("Not a valid zip file!");
      case TIncompleteZipMode::izAssumeMulti:
        throw EIncompleteZip("Incomplete Zip File");
      case TIncompleteZipMode::izAssumeBad:
        if (!ScanLocalHeaders()) {
          SetCursor(false);
          ClearArchive();
          RaiseBadZip();
        }
        central = stream_.get();
        break;
    }
  }

  if (!directory_) directory_ = std::make_unique<TSortedZip>();

  // The walk reads the counted central records into the directory; after
  // the recovery scan it merges every central record it can read into the
  // entry of its local header instead.
  int read = 0;
  std::vector<int> claims;  // scan mode: central records naming each entry
  std::vector<bool> merged;
  const auto start_scan_walk = [&]() {
    companion.reset();
    central = stream_.get();
    central->Seek(end_central_.CentralOffset);
    read = 0;
    claims.assign(static_cast<size_t>(directory_->Count()), 0);
    merged.assign(claims.size(), false);
  };
  if (scan_mode_) start_scan_walk();
  for (;;) {
    if (!scan_mode_ && read >= end_central_.TotalEntries) break;
    auto info = std::make_unique<TZipHeaderInfo>();
    if (!ReadCentralHeader(*central, *info)) {
      if (scan_mode_) break;  // the directory stands as scanned
      if (multi_disk_mode_ != TMultiDiskMode::mmNone || !ScanLocalHeaders()) {
        ClearArchive();
        RaiseBadZip();
      }
      start_scan_walk();
      continue;
    }
    ++read;
    if (!scan_mode_) {
      try {
        directory_->Insert(std::move(info));
      } catch (const EListError&) {
        if (!ScanLocalHeaders()) {
          ClearArchive();
          RaiseBadZip();
        }
        start_scan_walk();
      }
      continue;
    }
    MergeCentralRecord(*info, claims, merged);
  }

  if (!scan_mode_) {
    // Records beyond the end record's count are not entries of the
    // directory, but they are counted: an archive that hides entries so
    // does not pass as sound.
    if (end_central_.TotalEntries == 0) central->Seek(companion ? 0 : int64_t{end_central_.CentralOffset});
    for (TZipHeaderInfo hidden; ReadCentralHeader(*central, hidden);) ++read;
    soundness_.SharedLocalHeaders = EntriesSharingALocalHeader(*directory_);
  }
  soundness_.CentralRecords = read;

  // Where the directory itself lies, so that no entry's data may claim it:
  // from the central directory to the end record, or, after the recovery
  // scan, everything past the last local entry.
  structure_begin_ = structure_end_ = 0;
  if (!companion) {
    if (scan_mode_) {
      structure_begin_ = end_central_.CentralOffset;
      structure_end_ = std::max(structure_begin_, stream_->Size());
    } else {
      const int64_t record = int64_t{end_central_.ZipCommentPos} - kEndCentralSize;
      structure_begin_ =
          end_central_.TotalEntries != 0 ? std::min<int64_t>(record, end_central_.CentralOffset) : record;
      structure_end_ = std::max(record + kEndCentralSize, central->Position());
    }
  }

  if (RequireSoundDirectory && !soundness_.Sound()) {
    const std::string what = soundness_.Describe();
    ClearArchive();
    throw EDamagedDirectory("Damaged zip directory: " + what);
  }

  if (multi_disk_mode_ != TMultiDiskMode::mmNone && end_central_.CommentLength != 0) ZipComment();
  BuildView();
}

}  // namespace qr5::archive
