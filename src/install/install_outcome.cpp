#include "install/install_outcome.h"

#include <algorithm>
#include <exception>

#include "archive/zip_errors.h"
#include "archive/zip_reader.h"
#include "forms/application.h"
#include "lang/failure_reason.h"
#include "lang/ini_file.h"
#include "lang/installer_keys.h"
#include "platform/platform.h"
#include "session/session_state.h"

namespace qr5::install {

namespace {

using platform::Sys;

// The built-in texts, used where the language file lacks a key: the setup's
// own language from before the texts were translated.
constexpr char kHeadlineDefault[] = "Impossibile avviare il programma di Stub senza i dati da espandere...";
constexpr char kFilesDefault[] = "%d file non sono stati installati, il primo: %s";
constexpr char kOneFileDefault[] = "Un file non \xE8 stato installato: %s";
constexpr char kFailureDefault[] = "Impossibile scrivere %s";
constexpr char kDamagedDefault[] = "Il file di installazione \xE8 danneggiato o incompleto.";

session::InstallShortfall& Shortfall() { return session::Session().Shortfall; }

// Replaces the first "%d" and the first "%s" of a translated text; nothing
// else in it is a format.
std::string Fill(std::string text, const std::string& number, const std::string& subject) {
  if (const size_t d = text.find("%d"); d != std::string::npos) text.replace(d, 2, number);
  if (const size_t s = text.find("%s"); s != std::string::npos) text.replace(s, 2, subject);
  return text;
}

bool KeptReadOnly(const std::string& path, bool replace_read_only) {
  const uint32_t attributes = Sys().files->GetFileAttributes(path);
  return !replace_read_only && attributes != platform::INVALID_FILE_ATTRIBUTES &&
         (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         (attributes & platform::FILE_ATTRIBUTE_READONLY) != 0;
}

// Where the entry at index goes.
std::string EntryPath(archive::TZipReader& zip, int index) {
  const archive::TZipHeaderInfo& entry = zip.Entry(index);
  return zip.DestDir() + "\\" + (zip.RecreateDirs ? entry.StoredPath() : entry.FileName);
}

}  // namespace

PassWatch::PassWatch(archive::TZipReader& zip) : zip_(zip) {
  zip_.OnSkippingFile = [this](int reason, const std::string& name, int index, bool&) {
    if (reason == archive::srNoOverwrite) return;
    if (reason == archive::srCreateError && KeptReadOnly(name, zip_.ReplaceReadOnly)) return;
    // A failed password names the stored path: say where it would have gone.
    if (reason == archive::srBadPassword) {
      NoteFileNotInstalled(EntryPath(zip_, index), kErrorSetupDamaged);
      return;
    }
    NoteFileNotInstalled(name, reason == archive::srCreateError ? zip_.LastSystemError() : 0);
  };
  zip_.OnBadCRC = [this](uint32_t, uint32_t, int index) {
    NoteFileNotInstalled(EntryPath(zip_, index), kErrorSetupDamaged);
  };
}

PassWatch::~PassWatch() {
  zip_.OnSkippingFile = nullptr;
  zip_.OnBadCRC = nullptr;
}

void NoteFileNotInstalled(const std::string& path, uint32_t error) {
  session::InstallShortfall& shortfall = Shortfall();
  if (shortfall.files_not_installed++ == 0) {
    shortfall.first_file = path;
    shortfall.first_file_error = error;
  }
}

void NoteFailure(const std::string& what, uint32_t error) {
  auto& failures = Shortfall().failures;
  const auto same = [&what](const session::InstallShortfall::Failure& f) { return f.what == what; };
  if (std::find_if(failures.begin(), failures.end(), same) == failures.end()) failures.push_back({what, error});
}

void NoteExtractionFailure(archive::TZipReader& zip) {
  try {
    throw;
  } catch (const archive::ECantWriteUCF& e) {
    // The file the run stopped in; the ones after it were not reached.
    const int index = zip.CurrentIndex();
    const std::string path = index >= 0 ? EntryPath(zip, index) : zip.DestDir();
    NoteFailure(path, e.system_error != 0 ? e.system_error : platform::ERROR_ACCESS_DENIED);
  } catch (...) {
    Shortfall().setup_damaged = true;
  }
}

std::string ShortfallMessage() {
  const session::InstallShortfall& shortfall = Shortfall();
  if (!shortfall.Any()) return "";
  const lang::TIniFile file(session::Session().LanguageFilePath);
  const auto text = [&file](lang::InstallerKey key, const char* default_text) {
    return file.ReadString(lang::kInstallerSection, key.Name(), default_text);
  };
  namespace key = lang::installer_key;
  std::string message = text(key::kShortfallHeadline, kHeadlineDefault);
  // Each thing that failed, then on its own line why and what to do.
  const auto add = [&](const std::string& line, uint32_t error, const std::string& path) {
    message += "\n\n" + line;
    if (error == kErrorSetupDamaged) {
      message += "\n" + text(key::kShortfallDamaged, kDamagedDefault);
    } else if (error != 0) {
      message += "\n" + lang::FailureReason(file, error, path);
    }
  };
  if (shortfall.setup_damaged) add(text(key::kShortfallDamaged, kDamagedDefault), 0, "");
  if (shortfall.files_not_installed == 1) {
    add(Fill(text(key::kShortfallOneFile, kOneFileDefault), "", shortfall.first_file), shortfall.first_file_error,
        shortfall.first_file);
  } else if (shortfall.files_not_installed > 1) {
    add(Fill(text(key::kShortfallFiles, kFilesDefault), std::to_string(shortfall.files_not_installed),
             shortfall.first_file),
        shortfall.first_file_error, shortfall.first_file);
  }
  for (const auto& failure : shortfall.failures) {
    add(Fill(text(key::kShortfallFailure, kFailureDefault), "", failure.what), failure.error, failure.what);
  }
  return message;
}

bool ReportShortfall() {
  const std::string message = ShortfallMessage();
  if (message.empty()) return false;
  forms::App().MessageBox(message, forms::App().title, platform::MB_OK);
  forms::App().Terminate();
  return true;
}

}  // namespace qr5::install
