#include "archive/sorted_zip.h"

#include <algorithm>
#include <string>

#include "archive/zip_errors.h"

namespace qr5::archive {

namespace {

bool KeyLess(uint16_t disk_a, uint32_t offset_a, uint16_t disk_b, uint32_t offset_b) {
  return disk_a != disk_b ? disk_a < disk_b : offset_a < offset_b;
}

[[noreturn]] void OutOfRange(int index) {
  throw EListError("Index " + std::to_string(index) + " is out of range");
}

}  // namespace

TZipHeaderInfo& TSortedZip::operator[](int index) {
  if (index < 0 || index >= Count()) OutOfRange(index);
  return *items_[static_cast<size_t>(index)];
}

const TZipHeaderInfo& TSortedZip::operator[](int index) const {
  if (index < 0 || index >= Count()) OutOfRange(index);
  return *items_[static_cast<size_t>(index)];
}

int TSortedZip::Insert(std::unique_ptr<TZipHeaderInfo> entry) {
  auto at = std::lower_bound(items_.begin(), items_.end(), entry.get(),
                             [](const std::unique_ptr<TZipHeaderInfo>& a, const TZipHeaderInfo* b) {
                               return KeyLess(a->DiskNumberStart, a->LocalHeaderOffset,
                                              b->DiskNumberStart, b->LocalHeaderOffset);
                             });
  if (at != items_.end() && (*at)->DiskNumberStart == entry->DiskNumberStart &&
      (*at)->LocalHeaderOffset == entry->LocalHeaderOffset) {
    throw EListError("Duplicate Object index");
  }
  size_t index = static_cast<size_t>(at - items_.begin());
  // The list grows by 4 entries while it holds at most 4, by 8 up to 8,
  // then by 16; beyond 64 by a quarter, so that large directories do not
  // cost quadratic copying.
  if (items_.size() == items_.capacity()) {
    size_t n = items_.size();
    items_.reserve(n + (n < 4 ? 4 : n < 8 ? 8 : n < 64 ? 16 : n / 4));
  }
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(entry));
  return static_cast<int>(index);
}

int TSortedZip::Find(uint16_t disk_number_start, uint32_t local_header_offset) const {
  auto at = std::lower_bound(items_.begin(), items_.end(), 0,
                             [&](const std::unique_ptr<TZipHeaderInfo>& a, int) {
                               return KeyLess(a->DiskNumberStart, a->LocalHeaderOffset,
                                              disk_number_start, local_header_offset);
                             });
  if (at == items_.end() || (*at)->DiskNumberStart != disk_number_start ||
      (*at)->LocalHeaderOffset != local_header_offset) {
    return -1;
  }
  return static_cast<int>(at - items_.begin());
}

}  // namespace qr5::archive
