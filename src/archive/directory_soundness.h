// TDirectorySoundness: what the reading of a directory found wrong with it.
// A sound directory lists every entry exactly once: the end record's counts,
// the central records and the local headers agree. A directory that had to be
// rebuilt from the local headers, whose records share a local header, or
// whose counts disagree may have lost entries or name one file's bytes with
// another's name, so a caller that must install every entry can refuse it.
#pragma once

#include <string>

namespace qr5::archive {

struct TDirectorySoundness {
  // The central directory could not be used as it stands: the directory was
  // rebuilt by the recovery scan.
  bool RecoveredByScan = false;
  // Places the scan had to search past because they held no local header.
  int DamagedPlaces = 0;
  // Central records for which the scan found no local header.
  int UnmatchedCentral = 0;
  // Entries whose local header another entry names too (all of them).
  int SharedLocalHeaders = 0;

  bool EndRecordFound = false;
  bool SingleDisk = true;
  int CountedEntries = 0;     // the end record's total entry count
  int CountedOnThisDisk = 0;  // its count of entries on this disk
  int CentralRecords = 0;     // central records read (as far as they could be)

  bool CountsAgree() const {
    return !EndRecordFound ||
           (CentralRecords == CountedEntries && (!SingleDisk || CountedOnThisDisk == CountedEntries));
  }
  bool Sound() const { return !RecoveredByScan && SharedLocalHeaders == 0 && CountsAgree(); }
  // What is wrong, with the counts, in one line; empty when sound.
  std::string Describe() const;
};

}  // namespace qr5::archive
