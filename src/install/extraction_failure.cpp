#include "install/extraction_failure.h"

#include "forms/application.h"
#include "platform/platform.h"

namespace qr5::install {

void ReportExtractionFailure() {
  forms::App().MessageBox("Impossibile avviare il programma di Stub senza i dati da espandere...",
                        forms::App().title, platform::MB_OK);
  forms::App().Terminate();
}

}  // namespace qr5::install
