// Taking away the setup's earlier program group before it makes a new one.
#pragma once

#include <string>

namespace qr5::install {

// Deletes <Programs folder> + sub_path with everything in it, if it exists.
void RemoveShellSubFolder(const std::string& sub_path);

}  // namespace qr5::install
