// One small Windows program stands in for each of the nine programs of the
// suite: it tells which one it is from its own file name, follows that
// program's INI to the language file the setup chose, and opens a window
// titled with the caption found there, so that starting it from the program
// group or the desktop shows the language the setup wired.
#include <windows.h>

#include "install/suite_program_table.h"

namespace {

constexpr char kWindowClass[] = "QR5SuiteProgram";
constexpr UINT kExitCommand = 1;
constexpr UINT kAboutCommand = 2;

char g_caption[256];

bool SameName(const char* a, const char* b) {
  auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (fold(*a) != fold(*b)) return false;
  return *a == *b;
}

// Appends text to a zero-terminated buffer of size bytes, cutting it short.
void Append(char* buffer, size_t size, const char* text) {
  size_t used = 0;
  while (used + 1 < size && buffer[used] != '\0') ++used;
  while (used + 1 < size && *text != '\0') buffer[used++] = *text++;
  buffer[used] = '\0';
}

struct Settings {
  char language_file[MAX_PATH] = "";  // empty: built-in texts only
  char ini[MAX_PATH] = "";            // empty: the program is not one of the nine
};

// The program's own INI and the language file its [Setup] LanguageFile
// names; both lie below the folder the program was started from.
Settings FindSettings(char* caption_default, size_t default_size) {
  Settings s;
  char self[MAX_PATH] = "";
  const DWORD length = ::GetModuleFileNameA(nullptr, self, sizeof self);
  if (length == 0 || length >= sizeof self) return s;
  char* name = self;
  for (char* p = self; *p != '\0'; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  caption_default[0] = '\0';
  Append(caption_default, default_size, name);
  for (const auto& program : qr5::install::SuiteProgramTable) {
    if (!SameName(name, program.executable)) continue;
    *name = '\0';  // self is now the folder, with its backslash
    Append(s.ini, sizeof s.ini, self);
    Append(s.ini, sizeof s.ini, program.language_ini);
    char file[MAX_PATH] = "";
    ::GetPrivateProfileStringA("Setup", "LanguageFile", "", file, sizeof file, s.ini);
    if (file[0] != '\0') {
      Append(s.language_file, sizeof s.language_file, self);
      Append(s.language_file, sizeof s.language_file, file);
    }
    break;
  }
  return s;
}

// A text of the language file, or its default when the file or key is missing.
void Text(const Settings& s, const char* section, const char* key, const char* fallback, char* out,
          DWORD size) {
  if (s.language_file[0] == '\0') {
    out[0] = '\0';
    Append(out, size, fallback);
    return;
  }
  ::GetPrivateProfileStringA(section, key, fallback, out, size, s.language_file);
}

int Setting(const Settings& s, const char* key, int fallback) {
  return s.ini[0] == '\0' ? fallback : static_cast<int>(::GetPrivateProfileIntA("Window", key, fallback, s.ini));
}

HMENU MakeMenu(const Settings& s) {
  char file[64], exit[64], help[64], about[128];
  Text(s, "Menu", "File", "&File", file, sizeof file);
  Text(s, "Menu", "Exit", "E&xit", exit, sizeof exit);
  Text(s, "Menu", "Help", "&Help", help, sizeof help);
  Text(s, "Menu", "About", "&About", about, sizeof about);
  HMENU bar = ::CreateMenu();
  HMENU file_menu = ::CreatePopupMenu();
  HMENU help_menu = ::CreatePopupMenu();
  ::AppendMenuA(file_menu, MF_STRING, kExitCommand, exit);
  ::AppendMenuA(help_menu, MF_STRING, kAboutCommand, about);
  ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file_menu), file);
  ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help_menu), help);
  return bar;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == kExitCommand) ::DestroyWindow(window);
      if (LOWORD(wparam) == kAboutCommand)
        ::MessageBoxA(window, g_caption, g_caption, MB_OK | MB_ICONINFORMATION);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  char caption_default[MAX_PATH];
  const Settings s = FindSettings(caption_default, sizeof caption_default);
  Text(s, "Main", "Caption", caption_default, g_caption, sizeof g_caption);

  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(1));  // the suite's icon, from the build
  if (wc.hIcon == nullptr) wc.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  wc.lpszClassName = kWindowClass;
  if (::RegisterClassA(&wc) == 0) return 1;
  HWND window = ::CreateWindowExA(0, kWindowClass, g_caption, WS_OVERLAPPEDWINDOW, Setting(s, "Left", 60),
                                  Setting(s, "Top", 40), Setting(s, "Width", 640), Setting(s, "Height", 480),
                                  nullptr, MakeMenu(s), instance, nullptr);
  if (window == nullptr) return 1;
  ::ShowWindow(window, show);
  ::UpdateWindow(window);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
