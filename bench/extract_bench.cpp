// Extraction benchmark: a ~100 MB payload (text and binary, fixed seed),
// deflated into one archive, extracted by our reader, by Info-ZIP unzip, by a
// plain zlib loop (raw inflate + CRC-32 + write, the same job) and by a
// whole-buffer libdeflate extraction, side by side in one run. Given the
// folder of a Windows build (with bin/win_reader_bench.exe), it also runs the
// Windows build's reader under Wine on the same payload. Prints MB/s of
// uncompressed output (best of 5) and each as a ratio to our reader, and the
// peak memory of a process that does nothing but our extraction.
//   extract_bench [work folder] [megabytes] [windows build folder]
//   extract_bench --reader ARCHIVE DEST    one extraction by our reader (for
//                                          the memory figure and profilers)
//   extract_bench --libdeflate ARCHIVE DEST  the same by libdeflate (profilers)
// Targets: reader >= 0.9 x libdeflate whole-buffer, Windows build under Wine
// >= 0.8 x the host reader, the extraction's peak memory below 16 MB.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "archive/zip_archive.h"
#include "decode_only.h"
#include "host_machine.h"
#include "peer_extract.h"
#include "zip_writer.h"

namespace fs = std::filesystem;

namespace {

// Text from a word list, structured binary records and random bytes.
void MakePayload(const fs::path& folder, size_t megabytes) {
  std::mt19937 rng(19800101);
  static const char* const kWords[] = {"the", "station", "logbook", "contact", "band", "mode", "report",
                                       "signal", "award", "county", "grid", "square", "frequency", "power",
                                       "antenna", "propagation", "and", "of", "with", "from"};
  size_t total = 0, index = 0;
  while (total < megabytes * 1000000) {
    std::string bytes;
    size_t size = 100000 + rng() % 1900000;
    std::string name;
    switch (index % 5) {
      case 0: case 1: case 2:  // text
        name = "text" + std::to_string(index) + ".txt";
        while (bytes.size() < size) {
          bytes += kWords[rng() % 20];
          bytes += (rng() % 14 == 0) ? "\r\n" : " ";
        }
        break;
      case 3:  // records: counters, small numbers, padding
        name = "table" + std::to_string(index) + ".dbf";
        for (uint32_t r = 0; bytes.size() < size; ++r) {
          char record[32] = {};
          std::snprintf(record, sizeof record, "%08u%06u", r, static_cast<unsigned>(rng() % 500));
          bytes.append(record, sizeof record);
        }
        break;
      default:  // incompressible
        name = "random" + std::to_string(index) + ".bin";
        bytes.resize(size / 4);
        for (char& c : bytes) c = static_cast<char>(rng());
        break;
    }
    fs::path path = folder / ("dir" + std::to_string(index % 7)) / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    total += bytes.size();
    ++index;
  }
}

// Wall and CPU time (user + system, this process and its children) of one
// run of a job; a shared machine makes CPU time the steadier measure.
struct Timing {
  double wall = 1e9;
  double cpu = 1e9;
  double sys = -1;  // the system's share of the best cpu time, -1 when not known
};

// CPU seconds so far, user + system, and the system's part of them.
double CpuSeconds(double* sys = nullptr) {
  double total = 0, system = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage u{};
    getrusage(who, &u);
    total += u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
    system += u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
  }
  if (sys) *sys = system;
  return total;
}

void Measure(const std::function<void()>& job, Timing& best) {
  auto start = std::chrono::steady_clock::now();
  double sys_start = 0, sys_end = 0;
  double cpu_start = CpuSeconds(&sys_start);
  job();
  const double cpu = CpuSeconds(&sys_end) - cpu_start;
  if (cpu < best.cpu) {
    best.cpu = cpu;
    best.sys = sys_end - sys_start;
  }
  best.wall = std::min(best.wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// The host path as Wine's drive Z: shows it.
std::string WinePath(const fs::path& path) {
  std::string text = "Z:" + fs::absolute(path).string();
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  return text;
}

// Runs the Windows build's reader under Wine; false when it did not report.
bool RunWineReader(const fs::path& windows_build, const std::string& archive, const fs::path& dest,
                   double& wall, double& cpu, double& decode_seconds) {
  std::string command = "'" QR5_SOURCE_DIR "/cmake/wine-run.sh' '" + (windows_build / "wine").string() + "' '" +
                        (windows_build / "bin" / "win_reader_bench.exe").string() + "' '" + WinePath(archive) +
                        "' '" + WinePath(dest) + "' 5 2>&1";
  std::fflush(stdout);
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return false;
  char line[512];
  bool found = false;
  long long bytes = 0;
  int entries = 0;
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    unsigned long long decoded = 0;
    int crc_ok = 0;
    if (std::sscanf(line, "entries=%d bytes=%lld wall=%lf cpu=%lf", &entries, &bytes, &wall, &cpu) == 4) {
      found = true;
    } else if (std::sscanf(line, "decoded bytes=%llu seconds=%lf crc=%d", &decoded, &decode_seconds, &crc_ok) == 3) {
      if (!crc_ok) std::fputs("Windows build: decoding from memory gave a wrong CRC-32\n", stderr);
    } else {
      std::fputs(line, stderr);
    }
  }
  pclose(pipe);
  return found;
}

// Our reader's whole job: every entry of the archive below dest.
int ReaderExtract(const std::string& archive, const fs::path& dest) {
  qr5::archive::TZipArchive zip;
  zip.SetZipName(archive);
  zip.LoadDirectory();
  zip.OverwriteMode = qr5::archive::TOverwriteMode::Always;
  zip.RecreateDirs = true;
  zip.SetDestDir(dest.string());
  zip.FilesList = {"*"};
  return zip.ExtractSelected();
}

// The peak resident memory (KB) of this process as /proc tells it (VmHWM),
// -1 where there is none. Unlike getrusage's maximum, which Linux carries
// over an exec from the process replaced (here a copy of the whole bench),
// it counts only what the program run has touched.
long OwnPeakKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// Peak resident memory (KB) of a fresh process of this program that runs one
// extraction by our reader and nothing else; -1 when it failed.
long ReaderPeakKb(const char* self, const std::string& archive, const fs::path& dest) {
  fs::remove_all(dest);
  std::fflush(stdout);
  const std::string command = "'" + std::string(self) + "' --reader '" + archive + "' '" + dest.string() + "'";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  long peak = -1;
  char line[256];
  while (std::fgets(line, sizeof line, pipe) != nullptr) std::sscanf(line, "peak_kb=%ld", &peak);
  return pclose(pipe) == 0 ? peak : -1;
}

}  // namespace

int main(int argc, char** argv) {
  qr5::tools::HostMachine host;
  qr5::platform::Install(&host.machine());
  if (argc == 4 && std::strcmp(argv[1], "--reader") == 0) {
    const bool ok = ReaderExtract(argv[2], argv[3]) > 0;
    std::printf("peak_kb=%ld\n", OwnPeakKb());
    return ok ? 0 : 1;
  }
  if (argc == 4 && std::strcmp(argv[1], "--libdeflate") == 0) {
    return qr5::bench::LibdeflateExtract(argv[2], argv[3]) > 0 ? 0 : 1;
  }
  // Default: in memory (tmpfs) where there is one, so disks do not blur
  // the comparison.
  fs::path scratch = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  fs::path work = argc > 1 && argv[1][0] ? fs::path(argv[1]) : scratch / "qr5_extract_bench";
  size_t megabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100;
  fs::path windows_build = argc > 3 ? fs::absolute(argv[3]) : fs::path();
  fs::remove_all(work);
  fs::create_directories(work);
  std::printf("making a %zu MB payload in %s ...\n", megabytes, work.c_str());
  MakePayload(work / "tree", megabytes);
  std::ofstream(work / "stub") << "MZ";
  std::string archive = (work / "payload.exe").string();
  std::string error = qr5::tools::PackFolder((work / "stub").string(), (work / "tree").string(), archive);
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  uint64_t unpacked = 0;
  for (const auto& item : fs::recursive_directory_iterator(work / "tree")) {
    if (item.is_regular_file()) unpacked += item.file_size();
  }
  std::printf("payload: %.1f MB unpacked, %.1f MB packed\n", unpacked / 1e6, fs::file_size(archive) / 1e6);

  int extracted = 0;
  uint64_t zlib_bytes = 0, libdeflate_bytes = 0;
  auto ours_job = [&] {
    fs::remove_all(work / "ours");
    extracted = ReaderExtract(archive, work / "ours");
  };
  auto unzip_job = [&] {
    fs::remove_all(work / "unzip");
    std::string command = "unzip -qq -o '" + archive + "' -d '" + (work / "unzip").string() + "' 2>/dev/null";
    if (std::system(command.c_str()) == -1) std::perror("unzip");
  };
  auto zlib_job = [&] {
    fs::remove_all(work / "zlib");
    zlib_bytes = qr5::bench::ZlibExtract(archive, work / "zlib");
  };
  auto libdeflate_job = [&] {
    fs::remove_all(work / "libdeflate");
    libdeflate_bytes = qr5::bench::LibdeflateExtract(archive, work / "libdeflate");
  };
  // Interleaved rounds, best of each, so that a busy moment hits them all.
  const bool with_libdeflate = qr5::bench::HaveLibdeflate();
  Timing ours, unzip, zlib, libdeflate;
  for (int round = 0; round < 5; ++round) {
    Measure(ours_job, ours);
    Measure(unzip_job, unzip);
    Measure(zlib_job, zlib);
    if (with_libdeflate) Measure(libdeflate_job, libdeflate);
  }
  // Our reader's output must be the same bytes as unzip's.
  std::string compare = "diff -r -q '" + (work / "ours").string() + "' '" + (work / "unzip").string() + "'";
  const bool same = std::system(compare.c_str()) == 0;
  const long peak_kb = ReaderPeakKb(argv[0], archive, work / "peak");

  const qr5::bench::DecodeOnly decoded = qr5::bench::DecodeArchiveInMemory(archive, 5);
  Timing wine;
  double wine_decode = -1;
  bool with_wine = false;
  if (!windows_build.empty()) {
    with_wine = RunWineReader(windows_build, archive, work / "wine", wine.wall, wine.cpu, wine_decode);
    if (!with_wine) {
      std::printf("Windows build's reader under Wine: did not run (is %s built?)\n",
                  (windows_build / "bin" / "win_reader_bench.exe").c_str());
    }
  }

  auto rate = [&](double s) { return unpacked / 1e6 / s; };
  std::printf("entries extracted by the reader: %d (output %s unzip's); zlib bytes: %llu; libdeflate bytes: %llu\n",
              extracted, same ? "equal to" : "DIFFERENT from", static_cast<unsigned long long>(zlib_bytes),
              static_cast<unsigned long long>(libdeflate_bytes));
  std::printf("MB/s of uncompressed output, best of 5 (Wine counts CPU time in 10 ms ticks);\n"
              "ratio = that row's speed / our reader's;\n"
              "sys ms = the system's part of the best run's CPU time (writing and removing the files)\n");
  std::printf("%-30s %8s %8s %8s %8s %8s\n", "", "cpu", "wall", "ratio", "(wall)", "sys ms");
  struct Row {
    const char* label;
    Timing t;
  };
  std::vector<Row> rows = {{"our reader", ours}, {"Info-ZIP unzip", unzip}, {"zlib inflate+CRC+write", zlib}};
  if (with_libdeflate) rows.push_back({"libdeflate whole-buffer", libdeflate});
  if (with_wine) rows.push_back({"our Windows build under Wine", wine});
  for (const Row& r : rows) {
    const std::string sys = r.t.sys < 0 ? "-" : std::to_string(static_cast<int>(r.t.sys * 1000 + 0.5));
    std::printf("%-30s %8.1f %8.1f %8.2f %8.2f %8s\n", r.label, rate(r.t.cpu), rate(r.t.wall), ours.cpu / r.t.cpu,
                ours.wall / r.t.wall, sys.c_str());
  }
  if (with_libdeflate) {
    std::printf("target reader >= 0.9 x libdeflate: %.2f (cpu)\n", libdeflate.cpu / ours.cpu);
  }
  if (with_wine) std::printf("target Wine >= 0.8 x host reader: %.2f (cpu)\n", ours.cpu / wine.cpu);
  // The decoders' part alone: what the processor does, without the files.
  std::printf("decoding alone, from memory (best of 5): host %.1f MB/s%s", decoded.bytes / 1e6 / decoded.seconds,
              decoded.crc_ok ? "" : " (WRONG CRC-32)");
  if (wine_decode > 0) {
    std::printf(", Windows build under Wine %.1f MB/s (%.2f of the host)", decoded.bytes / 1e6 / wine_decode,
                decoded.seconds / wine_decode);
  }
  std::printf("\n");
  std::printf("peak memory of an extraction by our reader (a process of its own): %ld KB (target < 16384)\n",
              peak_kb);
  fs::remove_all(work);
  return 0;
}
