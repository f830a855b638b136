// The reader of the Windows build on its own, for the extraction benchmark to
// run under Wine: extracts every entry of an archive into a folder over the
// real Win32 platform layer, several times, and prints the best wall and CPU
// times of a run; then decodes the archive from memory alone (decode_only.h).
//   win_reader_bench ARCHIVE DEST [runs]
// Prints: entries=N bytes=B wall=SECONDS cpu=SECONDS
//         decoded bytes=B seconds=SECONDS crc=1
#include "archive/zip_archive.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "decode_only.h"
#include "platform/win32/win32_machine.h"

namespace {

double Seconds(const FILETIME& t) {
  return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  return Seconds(kernel) + Seconds(user);
}

double WallSeconds() {
  LARGE_INTEGER now, frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: win_reader_bench ARCHIVE DEST [runs]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
  qr5::platform::win32::Win32Machine machine;
  qr5::platform::Install(&machine.machine());
  double best_wall = 1e9, best_cpu = 1e9;
  int extracted = 0;
  long long bytes = 0;
  try {
    for (int run = 0; run < runs; ++run) {
      qr5::archive::TZipArchive zip;
      zip.DoProcessMessages = false;
      zip.SetZipName(argv[1]);
      zip.LoadDirectory();
      zip.OverwriteMode = qr5::archive::TOverwriteMode::Always;
      zip.RecreateDirs = true;
      zip.SetDestDir(argv[2]);
      zip.FilesList = {"*"};
      const double wall = WallSeconds(), cpu = CpuSeconds();
      extracted = zip.ExtractSelected();
      best_wall = std::min(best_wall, WallSeconds() - wall);
      best_cpu = std::min(best_cpu, CpuSeconds() - cpu);
      bytes = zip.TotalBytes();
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "win_reader_bench: %s\n", e.what());
    return 1;
  }
  std::printf("entries=%d bytes=%lld wall=%.3f cpu=%.3f\n", extracted, bytes, best_wall, best_cpu);
  try {
    const qr5::bench::DecodeOnly decoded = qr5::bench::DecodeArchiveInMemory(argv[1], runs);
    std::printf("decoded bytes=%llu seconds=%.4f crc=%d\n", static_cast<unsigned long long>(decoded.bytes),
                decoded.seconds, decoded.crc_ok ? 1 : 0);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "win_reader_bench: %s\n", e.what());
    return 1;
  }
  qr5::platform::Install(nullptr);
  return 0;
}
