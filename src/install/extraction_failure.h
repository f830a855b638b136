// What an install action does when its extraction pass fails.
#pragma once

namespace qr5::install {

// The suite and engine passes' message, then the termination request; the
// request takes effect when a message loop next runs, so the caller's
// remaining steps still run.
void ReportExtractionFailure();

}  // namespace qr5::install
