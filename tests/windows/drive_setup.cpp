// Drives the real setup program as a person would: starts it, waits for its
// windows by caption and by the texts of their controls, presses buttons and
// fills edits through window messages. Runs under Wine (or Windows).
//
//   drive_setup install <setup.exe>   complete English installation into the
//                                      default folder; a second copy started
//                                      meanwhile must end at once
//   drive_setup cancel <setup.exe>    leave at the welcome page; the temporary
//                                      folder keeps no language or license file
//   drive_setup uninstall             start the "UninstallString" of the
//                                      uninstall entry as Add/Remove Programs
//                                      does and go through the uninstaller's
//                                      pages (it carries on in a copy of
//                                      itself in the temporary folder)
//   drive_setup quiet-uninstall       run the entry's "QuietUninstallString",
//                                      wait for it and return its exit code
//   drive_setup italian <setup.exe>   install again, choosing Italian on the
//                                      language page, into the folder offered
//   drive_setup open <file> <title>   open a file (a shortcut) as Explorer
//                                      does; a window of that title must
//                                      appear and close when asked
//   drive_setup see <caption> <text>  wait until a window of that caption
//                                      shows a control with that text; only
//                                      reads (for the keyboard-only test)
//   drive_setup hold <folder>         hold the progress page round by round
//                                      while the script types keys at it
//
// With QR5_SHOT_DIR set, each page is announced for a screenshot: the name is
// written to <dir>\request and the run waits until the file is gone.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

DWORD g_timeout_ms = 600000;  // Wine under an emulator is slow
HANDLE g_setup = nullptr;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "drive_setup: FAIL: %s\n", what.c_str());
  if (g_setup != nullptr) ::TerminateProcess(g_setup, 99);
  std::exit(1);
}

void Say(const std::string& what) {
  std::printf("drive_setup: %s\n", what.c_str());
  std::fflush(stdout);
}

// A caption as shown: a single "&" only marks the accelerator.
std::string Shown(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

std::string TextOf(HWND window) {
  char buffer[1024] = {};
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, 5000, &length))
    return {};
  return buffer;
}

struct Search {
  std::string caption, child_text;
  DWORD process = 0;
  HWND found = nullptr, child = nullptr;
};

BOOL CALLBACK ChildProc(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  if (::IsWindowVisible(window) && Shown(TextOf(window)) == s->child_text) {
    s->child = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK TopProc(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  // Process 0: a window of any process.
  if ((s->process != 0 && process != s->process) || !::IsWindowVisible(window)) return TRUE;
  char caption[256] = {};
  ::GetWindowTextA(window, caption, sizeof caption);
  if (s->caption != caption) return TRUE;
  if (!s->child_text.empty()) {
    s->child = nullptr;
    ::EnumChildWindows(window, ChildProc, param);
    if (s->child == nullptr) return TRUE;
  }
  s->found = window;
  return FALSE;
}

// The setup's visible window of that caption that shows a control with that
// text (any control when child_text is empty).
HWND WaitFor(DWORD process, const std::string& caption, const std::string& child_text) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    Search s{caption, child_text, process};
    ::EnumWindows(TopProc, reinterpret_cast<LPARAM>(&s));
    if (s.found != nullptr) {
      ::Sleep(300);  // let it finish showing
      return s.found;
    }
    if (g_setup != nullptr && ::WaitForSingleObject(g_setup, 0) == WAIT_OBJECT_0)
      Fail("the setup ended while waiting for \"" + caption + "\" with \"" + child_text + "\"");
    if (::GetTickCount() - start > g_timeout_ms)
      Fail("no window \"" + caption + "\" with \"" + child_text + "\"");
    ::Sleep(200);
  }
}

HWND Child(HWND top, const std::string& text) {
  Search s;
  s.child_text = text;
  ::EnumChildWindows(top, ChildProc, reinterpret_cast<LPARAM>(&s));
  if (s.child == nullptr) Fail("no control \"" + text + "\"");
  return s.child;
}

// Posted, so that a dialog that the click opens does not hold up the driver.
void Press(HWND top, const std::string& text) {
  Say("press \"" + text + "\"");
  ::PostMessageA(Child(top, text), BM_CLICK, 0, 0);
}

void Shot(const std::string& name) {
  const char* dir = std::getenv("QR5_SHOT_DIR");
  if (dir == nullptr || *dir == '\0') return;
  const std::string request = std::string(dir) + "\\request";
  FILE* f = std::fopen(request.c_str(), "w");
  if (f == nullptr) Fail("cannot write " + request);
  std::fputs(name.c_str(), f);
  std::fclose(f);
  const DWORD start = ::GetTickCount();
  while (::GetFileAttributesA(request.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (::GetTickCount() - start > 120000) Fail("no screenshot taken of " + name);
    ::Sleep(100);
  }
}

const char kPage[] = "Setup - Quorlin 5";

// A progress page held for its picture (mid-extraction, mid-removal): its
// thread is suspended as soon as the page shows. A page gone before it was seen only
// costs the picture.
void ShotHeld(const std::string& caption, const std::string& text, const std::string& name) {
  if (std::getenv("QR5_SHOT_DIR") == nullptr) return;
  for (int tries = 0; tries < 3000; ++tries) {
    Search s{caption, text, 0};
    ::EnumWindows(TopProc, reinterpret_cast<LPARAM>(&s));
    if (s.found != nullptr) {
      HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, ::GetWindowThreadProcessId(s.found, nullptr));
      if (thread == nullptr || ::SuspendThread(thread) == static_cast<DWORD>(-1)) break;
      Shot(name);
      ::ResumeThread(thread);
      ::CloseHandle(thread);
      return;
    }
    ::Sleep(5);
  }
  Say("the page " + name + " went by before it could be taken");
}

// The progress page held for keys as long as it shows: each round the
// setup's thread is suspended while the page is visible, <dir>\held is
// written, and the thread goes on once the script that types X key events
// has removed it; <dir>\done ends the rounds. Keys typed while it is held
// are the page's, whenever the setup reads them: while extracting, or
// unread until the page goes (as during the shortcuts).
bool ProgressShown(HWND* page) {
  Search s{kPage, "Extracting files...", 0};
  ::EnumWindows(TopProc, reinterpret_cast<LPARAM>(&s));
  *page = s.found;
  return s.found != nullptr;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Touch(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr || std::fclose(f) != 0) Fail("cannot write " + path);
}

int HoldForKeys(const std::string& dir) {
  HWND page = nullptr;
  for (DWORD start = ::GetTickCount(); !ProgressShown(&page); ::Sleep(5))
    if (::GetTickCount() - start > g_timeout_ms) Fail("no progress page");
  HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, ::GetWindowThreadProcessId(page, nullptr));
  if (thread == nullptr) Fail("cannot hold the setup");
  int rounds = 0;
  for (;;) {
    if (::SuspendThread(thread) == static_cast<DWORD>(-1)) Fail("cannot hold the setup");
    if (!::IsWindow(page) || !::IsWindowVisible(page)) break;  // asks nothing of the held thread
    Touch(dir + "\\held");
    for (DWORD start = ::GetTickCount(); Exists(dir + "\\held"); ::Sleep(10))
      if (::GetTickCount() - start > 60000) Fail("no keys typed");
    ::ResumeThread(thread);
    ++rounds;
    ::Sleep(30);
  }
  ::ResumeThread(thread);
  ::CloseHandle(thread);
  Touch(dir + "\\done");
  if (rounds == 0) Fail("the progress page went by before it could be held");
  Say("keys typed at the held progress page in " + std::to_string(rounds) + " rounds");
  return 0;
}

PROCESS_INFORMATION Start(const std::string& exe) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string command = "\"" + exe + "\"";
  if (!::CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
    Fail("cannot start " + exe + " (error " + std::to_string(::GetLastError()) + ")");
  return pi;
}

void WaitForEnd(HANDLE process, const std::string& what) {
  if (::WaitForSingleObject(process, g_timeout_ms) != WAIT_OBJECT_0) Fail(what + " did not end");
}

// The language page, then the welcome page, shown in English.
HWND ToWelcome(DWORD pid) {
  HWND language = WaitFor(pid, "Language selection", "Ok");
  Shot("language");
  Press(language, "Ok");
  return WaitFor(pid, kPage, "Welcome to the Quorlin 5 Setup Wizard");
}

int Install(const std::string& exe) {
  PROCESS_INFORMATION pi = Start(exe);
  g_setup = pi.hProcess;
  HWND welcome = ToWelcome(pi.dwProcessId);
  Shot("welcome");

  // A second copy while the first runs ends at once, showing nothing.
  Say("second copy");
  PROCESS_INFORMATION second = Start(exe);
  WaitForEnd(second.hProcess, "the second copy");
  ::CloseHandle(second.hProcess);
  ::CloseHandle(second.hThread);

  // The frame's close box asks; the exit dialog's No keeps the page.
  ::PostMessageA(welcome, WM_CLOSE, 0, 0);
  HWND exit_dialog = WaitFor(pi.dwProcessId, "Exit Setup", "No");
  Shot("exit");
  Press(exit_dialog, "No");
  welcome = WaitFor(pi.dwProcessId, kPage, "Welcome to the Quorlin 5 Setup Wizard");
  Press(welcome, "Next >");

  HWND license = WaitFor(pi.dwProcessId, kPage, "I accept the agreement");
  Shot("license");
  Press(license, "I accept the agreement");
  ::Sleep(300);
  Press(license, "Next >");

  HWND destination = WaitFor(pi.dwProcessId, kPage, "Browse...");
  Shot("destination");
  Press(destination, "Browse...");
  HWND browse = WaitFor(pi.dwProcessId, "Browse For Folder", "Ok");
  Shot("browse");
  // A path that is not valid: the error dialog, then the default again.
  HWND edit = ::FindWindowExA(browse, nullptr, "Edit", nullptr);
  if (edit == nullptr) Fail("no path field in the browse dialog");
  ::SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("C:/QR5"), SMTO_ABORTIFHUNG,
                        10000, nullptr);
  Press(browse, "Ok");
  HWND error = WaitFor(pi.dwProcessId, "Error", "Ok");
  Shot("error");
  Press(error, "Ok");
  browse = WaitFor(pi.dwProcessId, "Browse For Folder", "Ok");
  ::SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("C:\\"), SMTO_ABORTIFHUNG,
                        10000, nullptr);
  Press(browse, "Ok");
  destination = WaitFor(pi.dwProcessId, kPage, "Browse...");
  if (!::IsWindowVisible(destination)) Fail("destination page gone");
  const HWND folder = Child(destination, "C:\\QR5");
  (void)folder;
  Press(destination, "Next >");
  ShotHeld(kPage, "Extracting files...", "progress");  // mid-extraction

  HWND finish = WaitFor(pi.dwProcessId, kPage, "Finish");
  Shot("finish");
  Press(finish, "Finish");
  WaitForEnd(pi.hProcess, "the setup");
  DWORD code = 0;
  ::GetExitCodeProcess(pi.hProcess, &code);
  Say("setup ended with code " + std::to_string(code));
  return 0;
}

int CancelRun(const std::string& exe) {
  PROCESS_INFORMATION pi = Start(exe);
  g_setup = pi.hProcess;
  HWND welcome = ToWelcome(pi.dwProcessId);
  Press(welcome, "Cancel");
  HWND exit_dialog = WaitFor(pi.dwProcessId, "Exit Setup", "Yes");
  Press(exit_dialog, "Yes");
  WaitForEnd(pi.hProcess, "the cancelled setup");
  char temp[MAX_PATH] = {};
  ::GetTempPathA(sizeof temp, temp);
  for (const char* pattern : {"LANGUAGE.*", "LICENSE.*"}) {
    WIN32_FIND_DATAA found;
    HANDLE h = ::FindFirstFileA((std::string(temp) + pattern).c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      ::FindClose(h);
      Fail(std::string("left in the temporary folder: ") + found.cFileName);
    }
  }
  Say("cancelled; the temporary folder " + std::string(temp) + " is clean");
  return 0;
}

// The uninstaller as the control panel starts it: the recorded command
// line, quoted or not, through CreateProcessA without an application name.
std::string UninstallEntryValue(const char* name) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlin 5", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
    Fail("no uninstall entry");
  char command[MAX_PATH * 2] = {};
  DWORD size = sizeof command - 1, type = 0;
  const LONG read = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(command), &size);
  ::RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ) Fail(std::string("no ") + name);
  return command;
}

// The exit code of a finished process.
DWORD ExitCodeOf(HANDLE process) {
  DWORD code = 0;
  if (!::GetExitCodeProcess(process, &code)) Fail("no exit code");
  return code;
}

int Uninstall() {
  std::string command = UninstallEntryValue("UninstallString");
  HKEY key = nullptr;
  char recorded[64] = {};
  DWORD recorded_size = sizeof recorded - 1;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Quorlin5", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    ::RegQueryValueExA(key, "Language", nullptr, nullptr, reinterpret_cast<BYTE*>(recorded),
                       &recorded_size);
    ::RegCloseKey(key);
  }
  const std::string language = recorded;
  Say("starting " + command);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    Fail("cannot start the uninstaller (error " + std::to_string(::GetLastError()) + ")");
  // The installed program hands over to its copy and waits for it; it ends
  // with the copy's exit code once the removal is done.

  // The pages speak the language of the last installation.
  struct Texts {
    const char *caption, *welcome, *next, *yes, *removing, *removed, *finish;
  };
  const Texts english{"Uninstall - Quorlin 5", "Welcome to the Quorlin 5 Uninstall Wizard", "Next >",
                      "Yes", "Uninstalling", "Quorlin 5 has been removed from your computer.", "Finish"};
  const Texts italian{"Disinstallazione - Quorlin 5",
                      "Benvenuto nella disinstallazione guidata di Quorlin 5", "Avanti >", "S\xEC",
                      "Disinstallazione in corso", "Quorlin 5 \xE8 stato rimosso dal computer.", "Fine"};
  const Texts& t = language == "Italiano" ? italian : english;
  HWND welcome = WaitFor(0, t.caption, t.welcome);
  Shot("uninstall-welcome");
  Press(welcome, t.next);
  HWND confirm = WaitFor(0, t.caption, t.yes);
  Shot("uninstall-confirm");
  Press(confirm, t.yes);
  ShotHeld(t.caption, t.removing, "uninstall-progress");
  HWND finish = WaitFor(0, t.caption, t.removed);
  Shot("uninstall-finish");
  Press(finish, t.finish);
  const DWORD start = ::GetTickCount();
  while (::IsWindow(finish) && ::IsWindowVisible(finish)) {
    if (::GetTickCount() - start > g_timeout_ms) Fail("the uninstaller did not end");
    ::Sleep(200);
  }
  WaitForEnd(pi.hProcess, "the installed uninstaller");
  if (ExitCodeOf(pi.hProcess) != 0) Fail("the installed uninstaller ended with " + std::to_string(ExitCodeOf(pi.hProcess)));
  ::CloseHandle(pi.hProcess);
  ::CloseHandle(pi.hThread);
  ::Sleep(2000);  // let the copy end
  Say("uninstalled");
  return 0;
}

// The entry's "QuietUninstallString" as a deployment script runs it: no
// page to drive, the exit code waited for and printed.
int QuietUninstall() {
  std::string command = UninstallEntryValue("QuietUninstallString");
  Say("starting " + command);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    Fail("cannot start the quiet uninstall (error " + std::to_string(::GetLastError()) + ")");
  WaitForEnd(pi.hProcess, "the quiet uninstall");
  const DWORD code = ExitCodeOf(pi.hProcess);
  ::CloseHandle(pi.hProcess);
  ::CloseHandle(pi.hThread);
  std::printf("exit code %lu\n", static_cast<unsigned long>(code));
  return static_cast<int>(code);
}

// The same run in Italian, the language picked on the language page (which
// offers the recorded English first), without detours.
int InstallItalian(const std::string& exe) {
  PROCESS_INFORMATION pi = Start(exe);
  g_setup = pi.hProcess;
  HWND language = WaitFor(pi.dwProcessId, "Language selection", "Ok");
  HWND combo = ::FindWindowExA(language, nullptr, "ComboBox", nullptr);
  if (combo == nullptr) Fail("no language list");
  DWORD_PTR index = 0;
  ::SendMessageTimeoutA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>("Italiano"), SMTO_ABORTIFHUNG, 10000, &index);
  if (static_cast<LRESULT>(index) == CB_ERR) Fail("no Italiano in the language list");
  // Selecting by message sends no notification: tell the page as a click would.
  ::SendMessageTimeoutA(language, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(combo), SMTO_ABORTIFHUNG, 10000, nullptr);
  Press(language, "Ok");
  const char page[] = "Installazione - Quorlin 5";
  HWND welcome = WaitFor(pi.dwProcessId, page, "Benvenuto nell'installazione guidata di Quorlin 5");
  Press(welcome, "Avanti >");
  HWND license = WaitFor(pi.dwProcessId, page, "Accetto i termini del contratto");
  Press(license, "Accetto i termini del contratto");
  ::Sleep(300);
  Press(license, "Avanti >");
  HWND destination = WaitFor(pi.dwProcessId, page, "Sfoglia...");
  Press(destination, "Avanti >");
  HWND finish = WaitFor(pi.dwProcessId, page, "Fine");
  Press(finish, "Fine");
  WaitForEnd(pi.hProcess, "the Italian setup");
  Say("Italian installation done");
  return 0;
}

// The suite program's windows have a class of their own; the shell does not
// always tell which process it started (Wine does not for a shortcut).
constexpr char kSuiteProgramClass[] = "QR5SuiteProgram";

struct TitleSearch {
  std::string title;
  HWND found = nullptr;  // visible, titled title
  std::string other;     // the title of another visible suite program window
};

BOOL CALLBACK TitleProc(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<TitleSearch*>(param);
  if (!::IsWindowVisible(window)) return TRUE;
  char caption[256] = {}, window_class[64] = {};
  ::GetWindowTextA(window, caption, sizeof caption);
  if (s->title == caption) {
    s->found = window;
    return FALSE;
  }
  ::GetClassNameA(window, window_class, sizeof window_class);
  if (std::string(window_class) == kSuiteProgramClass) s->other = caption;
  return TRUE;
}

// Opens the file through the shell, as a double click in Explorer does, and
// waits for a window titled title; then closes it and waits for its end.
int OpenAndSee(const std::string& file, const std::string& title) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = "open";
  info.lpFile = file.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!::ShellExecuteExA(&info)) Fail("cannot open " + file + " (error " + std::to_string(::GetLastError()) + ")");
  TitleSearch s;
  s.title = title;
  const DWORD start = ::GetTickCount();
  int other_seen = 0;
  while (s.found == nullptr) {
    ::EnumWindows(TitleProc, reinterpret_cast<LPARAM>(&s));
    if (s.found != nullptr) break;
    // A suite program under another title: give it a moment to retitle.
    if (!s.other.empty() && ++other_seen > 10)
      Fail("the program of " + file + " shows \"" + s.other + "\", not \"" + title + "\"");
    if (info.hProcess != nullptr && ::WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0)
      Fail("the program of " + file + " ended without a window \"" + title + "\"");
    if (::GetTickCount() - start > g_timeout_ms) Fail("no window \"" + title + "\" after opening " + file);
    ::Sleep(200);
  }
  DWORD pid = 0;
  ::GetWindowThreadProcessId(s.found, &pid);
  Say("window \"" + title + "\" shown by process " + std::to_string(pid));
  HANDLE program = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (program == nullptr) Fail("cannot follow process " + std::to_string(pid));
  ::PostMessageA(s.found, WM_CLOSE, 0, 0);
  WaitForEnd(program, "the program of \"" + title + "\"");
  ::CloseHandle(program);
  if (info.hProcess != nullptr) ::CloseHandle(info.hProcess);
  Say("closed");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "uninstall") return Uninstall();
  if (argc == 2 && std::string(argv[1]) == "quiet-uninstall") return QuietUninstall();
  if (argc == 4 && std::string(argv[1]) == "open") return OpenAndSee(argv[2], argv[3]);
  if (argc == 4 && std::string(argv[1]) == "see") return WaitFor(0, argv[2], argv[3]) != nullptr ? 0 : 1;
  if (argc == 3 && std::string(argv[1]) == "hold") return HoldForKeys(argv[2]);
  if (argc != 3) {
    std::fprintf(stderr, "usage: drive_setup install|cancel|italian <setup.exe>\n"
                         "       drive_setup open <file> <window title>\n"
                         "       drive_setup see <caption> <control text>\n"
                         "       drive_setup hold <folder>\n"
                         "       drive_setup uninstall|quiet-uninstall\n");
    return 2;
  }
  const std::string mode = argv[1], exe = argv[2];
  if (mode == "install") return Install(exe);
  if (mode == "cancel") return CancelRun(exe);
  if (mode == "italian") return InstallItalian(exe);
  std::fprintf(stderr, "drive_setup: unknown mode %s\n", mode.c_str());
  return 2;
}
