// Nothing lost when an entry fails: each file is decoded into a temporary
// file beside its destination and moved over the destination only when it
// is complete and proved by its CRC-32. A failed or cut-short entry leaves
// an existing file as it was, and its temporary file is deleted.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qr5::archive {

class TLFNFileStream;

// Whether an existing file at path may be replaced, judged before anything
// is written, as CREATE_ALWAYS would judge it: not a folder, not hidden or
// system, not read-only (unless replace_read_only), not in use. True when
// nothing is there. *error receives why not (a Windows error).
bool DestinationReplaceable(const std::string& path, bool replace_read_only, uint32_t* error);

// Creates a new file "~QR<n>.TMP", a name not in use, in the folder of
// path; null when none can be created (*error says why). Each name is
// created exclusively, so a name that another program takes between the
// look-up and the creation moves on to the next. temp_path receives its
// path. Where
// that name would take the path past the system's limit, a shorter name no
// longer than the file's own is taken instead.
std::unique_ptr<TLFNFileStream> CreateTemporaryBeside(const std::string& path, std::string& temp_path,
                                                      uint32_t* error);

// The n-th temporary name of at most room characters; "" when there is no
// n-th name that short.
std::string TemporaryName(int n, size_t room);

// Moves the finished temporary file over path. A read-only destination is
// replaced only with replace_read_only: its attribute is cleared for the
// move and put back when the move fails. False when the move failed; the
// destination is then as it was, and *error says why.
bool MoveOverDestination(const std::string& temp_path, const std::string& path, bool replace_read_only,
                         uint32_t* error);

// Deletes a temporary file that will not be used, a second time when the
// first fails (a virus scanner may hold a new file for a moment); false
// when it is left.
bool DiscardTemporary(const std::string& temp_path);

// Deletes what killed runs left in folder (not below it): files named as
// TemporaryName names them when there is room ("~QR<n>.TMP"). Only while no
// other run may be writing them. Returns how many stay.
int RemoveStaleTemporaries(const std::string& folder);

}  // namespace qr5::archive
