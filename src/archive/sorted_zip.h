// TSortedZip: the owning directory of an archive, kept in physical order
// (disk number, then local header offset) and refusing duplicates.
#pragma once

#include <memory>
#include <vector>

#include "archive/zip_header_info.h"

namespace qr5::archive {

class TSortedZip {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises EListError "Index %d is out of range" outside 0..Count()-1.
  TZipHeaderInfo& operator[](int index);
  const TZipHeaderInfo& operator[](int index) const;

  // Inserts at its sorted place and returns that index. An entry with the
  // same two keys as one already present raises EListError "Duplicate
  // Object index" (the entry is not taken).
  int Insert(std::unique_ptr<TZipHeaderInfo> entry);
  // Index of the entry with these keys, or -1.
  int Find(uint16_t disk_number_start, uint32_t local_header_offset) const;
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TZipHeaderInfo>> items_;
};

}  // namespace qr5::archive
