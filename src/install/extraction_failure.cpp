#include "install/extraction_failure.h"

#include "app/application.h"
#include "platform/platform.h"

namespace qr5::install {

void ReportExtractionFailure() {
  app::App().MessageBox("Impossibile avviare il programma di Stub senza i dati da espandere...",
                        app::App().title, platform::MB_OK);
  app::App().Terminate();
}

}  // namespace qr5::install
