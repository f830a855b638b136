// DestinationFolder: where an entry is written, from DestDir, RecreateDirs
// and RootDir. The result ends in "\".
#include "archive/path_utils.h"
#include "archive/zip_reader.h"

namespace qr5::archive {

namespace {

// The stored folder with RootDir dropped from its front.
std::string StoredFolderBelowRoot(const std::string& directory, const std::string& root_dir) {
  if (!root_dir.empty() && directory.size() >= root_dir.size() &&
      AnsiSameText(directory.substr(0, root_dir.size()), root_dir)) {
    return directory.substr(root_dir.size());
  }
  return directory;
}

}  // namespace

std::string TZipReader::DestinationFolder(const TZipHeaderInfo& entry) const {
  if (!RecreateDirs || entry.Directory.empty()) return dest_dir_ + "\\";
  std::string rest = StoredFolderBelowRoot(entry.Directory, root_dir_);
  if (!rest.empty() && rest[0] == '\\') return dest_dir_.empty() ? rest : dest_dir_ + rest;
  if (rest.size() >= 2 && rest[1] == ':') {
    return dest_dir_.empty() ? rest : dest_dir_ + rest.substr(2);
  }
  return dest_dir_ + "\\" + rest;
}

}  // namespace qr5::archive
