// TZipReader: properties, the directory's life cycle and access to entries.
#include "archive/zip_reader.h"

#include <algorithm>
#include <cstdio>

#include "archive/lfn_file_stream.h"
#include "archive/path_utils.h"
#include "archive/zip_errors.h"

namespace qr5::archive {

TZipReader::TZipReader() = default;
TZipReader::~TZipReader() = default;

void TZipReader::SetZipName(const std::string& name) {
  std::string chosen = name;
  if (!name.empty() && name.back() == '?') {
    std::string folder = ExtractFilePath(name.substr(0, name.size() - 1));
    if (folder.empty() || !DirectoryExists(folder)) folder = "C:\\";
    if (!SelectZipFileHook ||
        !SelectZipFileHook("Open a Zip File",
                           "Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|Jar Files (*.JAR)|*.jar|"
                           "All Files (*.*)|*.*",
                           folder, chosen)) {
      throw EUserCanceled("User canceled setting zip file name.");
    }
  }
  if (AnsiSameText(chosen, zip_name_)) return;
  ClearArchive();
  soundness_ = TDirectorySoundness();
  zip_name_ = chosen;
}

void TZipReader::SetDestDir(const std::string& dir) {
  std::string chosen = dir;
  if (dir == "?") {
    std::string start = DirectoryExists(dest_dir_) ? dest_dir_
                                                   : platform::Sys().files->GetCurrentDirectory();
    if (!SelectFolderHook || !SelectFolderHook(start, chosen)) {
      throw EUserCanceled("User canceled Set Desination Directory");
    }
  }
  if (!chosen.empty() && chosen.back() == '\\') chosen.pop_back();
  dest_dir_ = chosen;
}

void TZipReader::SetRootDir(const std::string& dir) {
  root_dir_ = dir;
  if (!root_dir_.empty() && root_dir_.back() != '\\') root_dir_ += '\\';
}

void TZipReader::SetSortMode(TZipSortMode mode) {
  sort_mode_ = mode;
  BuildView();
}

namespace {

// Size and time of a file, to tell whether it changed between two attempts.
std::pair<int64_t, platform::FileTime> FileState(const std::string& path) {
  auto file = platform::Sys().files->OpenFile(path, platform::OpenMode::kRead);
  platform::FileTime time = 0;
  if (!file || !file->GetTime(&time)) return {-1, 0};
  return {file->Size(), time};
}

}  // namespace

void TZipReader::LoadDirectory() {
  std::pair<int64_t, platform::FileTime> last_state{-2, 0};
  for (;;) {
    SetCursor(true);
    try {
      OpenArchive();
    } catch (const EIncompleteZip&) {
      SetCursor(false);
      stream_.reset();
      // OnInCompleteZip may bring the missing part (another disk, a
      // completed download); trying again is useful only when the file
      // changed, and never loops forever otherwise.
      if (OnInCompleteZip) {
        auto state = FileState(zip_name_);
        if (state != last_state) {
          last_state = state;
          continue;
        }
      }
      break;
    } catch (...) {
      ClearArchive();
      SetCursor(false);
      throw;
    }
    break;
  }
  CloseArchive();
  SetCursor(false);
}

void TZipReader::OpenArchive() {
  if (!stream_) stream_ = TLFNFileStream::Open(zip_name_, platform::OpenMode::kReadDenyWrite);
  if (directory_) {
    platform::FileTime time = 0;
    if (stream_->GetTime(&time) && time == archive_time_) return;
  }
  ReadDirectory();
}

void TZipReader::CloseArchive() {
  if (!KeepZipOpen) stream_.reset();
}

void TZipReader::ClearArchive() {
  stream_.reset();
  directory_.reset();
  view_.clear();
  end_central_.Clear();
  scan_mode_ = false;
  archive_time_ = 0;
  multi_disk_mode_ = TMultiDiskMode::mmNone;
  zip_name_.clear();
}

int TZipReader::EntryCount() const { return static_cast<int>(view_.size()); }

const TZipHeaderInfo& TZipReader::Entry(int index) const {
  return const_cast<TZipReader*>(this)->ViewEntry(index);
}

TZipHeaderInfo& TZipReader::ViewEntry(int index) {
  if (index < 0 || index >= EntryCount()) {
    throw EListError("Index " + std::to_string(index) + " is out of range");
  }
  return *view_[static_cast<size_t>(index)];
}

void TZipReader::BuildView() {
  view_.clear();
  if (!directory_) return;
  for (int i = 0; i < directory_->Count(); ++i) view_.push_back(&(*directory_)[i]);
  if (sort_mode_ == TZipSortMode::ByNone) return;
  auto by_name = [](const TZipHeaderInfo* a, const TZipHeaderInfo* b) {
    return LowerAscii(a->StoredPath()) < LowerAscii(b->StoredPath());
  };
  auto rate = [](const TZipHeaderInfo* e) {
    return e->UncompressedSize == 0 ? 0.0 : 1.0 - double(e->CompressedSize) / e->UncompressedSize;
  };
  std::function<bool(const TZipHeaderInfo*, const TZipHeaderInfo*)> less;
  switch (sort_mode_) {
    case TZipSortMode::ByName: less = by_name; break;
    case TZipSortMode::ByFileName:
      less = [&](const TZipHeaderInfo* a, const TZipHeaderInfo* b) {
        std::string x = LowerAscii(a->FileName), y = LowerAscii(b->FileName);
        return x != y ? x < y : by_name(a, b);
      };
      break;
    case TZipSortMode::ByDirectoryName: less = by_name; break;
    case TZipSortMode::ByDate:
      less = [](const TZipHeaderInfo* a, const TZipHeaderInfo* b) { return a->DosDateTime < b->DosDateTime; };
      break;
    case TZipSortMode::ByCompressedSize:
      less = [](const TZipHeaderInfo* a, const TZipHeaderInfo* b) { return a->CompressedSize < b->CompressedSize; };
      break;
    case TZipSortMode::ByUnCompressedSize:
      less = [](const TZipHeaderInfo* a, const TZipHeaderInfo* b) { return a->UncompressedSize < b->UncompressedSize; };
      break;
    case TZipSortMode::ByRate:
      less = [&](const TZipHeaderInfo* a, const TZipHeaderInfo* b) { return rate(a) < rate(b); };
      break;
    case TZipSortMode::ByNone: break;
  }
  std::stable_sort(view_.begin(), view_.end(), less);
}

std::string TZipReader::FileComment(int index) {
  TZipHeaderInfo& entry = ViewEntry(index);
  if (entry.FileComment) return *entry.FileComment;
  std::string text;
  if (entry.CommentLength != 0 && entry.CentralHeaderOffset != 0) {
    bool opened_here = !stream_;
    if (opened_here) stream_ = TLFNFileStream::Open(zip_name_, platform::OpenMode::kReadDenyWrite);
    text.resize(entry.CommentLength);
    int64_t at = int64_t{entry.CentralHeaderOffset} + kCentralHeaderSize + entry.FileNameLength +
                 entry.CentralExtraLength;
    uint32_t got = stream_->Seek(at) ? stream_->Read(text.data(), entry.CommentLength) : 0;
    text.resize(got);
    if (opened_here) CloseArchive();
  }
  entry.FileComment = text;
  return text;
}

std::string TZipReader::ZipComment() {
  if (end_central_.ZipComment) return *end_central_.ZipComment;
  std::string text;
  if (end_central_.CommentLength != 0 && !zip_name_.empty()) {
    bool opened_here = !stream_;
    if (opened_here) stream_ = TLFNFileStream::Open(zip_name_, platform::OpenMode::kReadDenyWrite);
    text.resize(end_central_.CommentLength);
    uint32_t got = stream_->Seek(end_central_.ZipCommentPos)
                       ? stream_->Read(text.data(), end_central_.CommentLength)
                       : 0;
    text.resize(got);
    if (opened_here) CloseArchive();
  }
  end_central_.ZipComment = text;
  return text;
}

int TZipReader::ShowMessage(const std::string& text, const std::string& caption, unsigned flags) {
  if (MessageBoxHook) return MessageBoxHook(text, caption, flags);
  const std::string line = caption + ": " + text + "\n";
  std::fputs(line.c_str(), stderr);
  return (flags & 0x0F) == platform::MB_YESNO ? platform::IDNO : platform::IDOK;
}

void TZipReader::ProcessMessages() {
  if (DoProcessMessages && ProcessMessagesHook) ProcessMessagesHook();
}

void TZipReader::SetCursor(bool busy) {
  if (CursorHook) CursorHook(busy);
}

}  // namespace qr5::archive
