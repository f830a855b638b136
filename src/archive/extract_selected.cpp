// ExtractSelected: selection by pattern, the run's totals and events, and
// the entry loop.
#include "archive/extraction_run.h"
#include "archive/lfn_file_stream.h"
#include "archive/match_pattern.h"
#include "archive/path_utils.h"
#include "archive/zip_reader.h"

namespace qr5::archive {

int TZipReader::ExtractSelected() {
  LoadDirectory();
  OpenArchive();
  int extracted = 0;
  try {
    RunExtraction(extracted);
  } catch (...) {
    CloseArchive();
    throw;
  }
  CloseArchive();
  return extracted;
}

void TZipReader::RunExtraction(int& extracted) {
  bool kept_open = KeepZipOpen;
  KeepZipOpen = true;
  struct RunEnd {
    TZipReader& reader;
    int& extracted;
    bool kept_open;
    ~RunEnd() {
      reader.FilesList.clear();
      if (reader.OnUnZipComplete) reader.OnUnZipComplete(extracted);
      reader.KeepZipOpen = kept_open;
    }
  } run_end{*this, extracted, kept_open};

  current_index_ = -1;
  ExtractionRun run(*this, *stream_);
  if (!dest_dir_.empty() && !DirectoryExists(dest_dir_)) ForceDirectories(dest_dir_);

  total_bytes_ = 0;
  bytes_done_ = 0;
  num_files_ = EntryCount();
  for (size_t i = 0; i < view_.size(); ++i) {
    TZipHeaderInfo* entry = view_[i];
    entry->ToProcess = DoAll;
    if (entry->IsFolder() && !RecreateDirs) {
      entry->ToProcess = false;
      --num_files_;
      continue;
    }
    if (!entry->ToProcess) entry->ToProcess = MatchesFilesList(static_cast<int>(i), *entry);
    if (entry->ToProcess && !entry->IsFolder()) {
      total_bytes_ += entry->UncompressedSize;
    } else {
      --num_files_;
    }
  }

  bool stop_now = false;
  if (OnStartUnZipInfo) OnStartUnZipInfo(num_files_, total_bytes_, stop_now);
  if (num_files_ <= 0 || stop_now) return;
  NoteLocalHeaders();
  for (int index = 0; index < EntryCount(); ++index) {
    if (!DoAll && !view_[static_cast<size_t>(index)]->ToProcess) continue;
    current_index_ = index;
    while (!UnZipOne(run, index, extracted)) {
    }
  }
}

bool TZipReader::MatchesFilesList(int /*index*/, const TZipHeaderInfo& entry) const {
  const std::string path = entry.StoredPath();
  for (const std::string& pattern : FilesList) {
    if (MatchPattern(pattern, path)) return true;
  }
  return false;
}

void TZipReader::SkipEntry(int reason, const std::string& name, int index, uint32_t size) {
  if (OnSkippingFile) {
    bool retry = false;  // not acted upon
    OnSkippingFile(reason, name, index, retry);
  }
  total_bytes_ -= size;
}

}  // namespace qr5::archive
