// The one-line account of a damaged directory, with its counts.
#include "archive/directory_soundness.h"

namespace qr5::archive {

namespace {

std::string Count(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string TDirectorySoundness::Describe() const {
  std::string text;
  const auto add = [&text](const std::string& part) { text += (text.empty() ? "" : "; ") + part; };
  if (RecoveredByScan) {
    std::string part = "rebuilt from the local headers";
    if (DamagedPlaces > 0) part += ", " + Count(DamagedPlaces, "damaged place", "damaged places") + " passed over";
    if (UnmatchedCentral > 0) {
      part += ", " + Count(UnmatchedCentral, "central record", "central records") + " without a local header";
    }
    add(part);
  }
  if (SharedLocalHeaders > 0) add(Count(SharedLocalHeaders, "entry shares", "entries share") + " a local header");
  if (!CountsAgree()) {
    std::string part = "the end record counts " + Count(CountedEntries, "entry", "entries");
    if (SingleDisk && CountedOnThisDisk != CountedEntries) {
      part += " (" + std::to_string(CountedOnThisDisk) + " on this disk)";
    }
    add(part + ", the central directory holds " + Count(CentralRecords, "readable record", "readable records"));
  }
  return text;
}

}  // namespace qr5::archive
