// Extraction benchmark: a ~100 MB payload (text and binary, fixed seed),
// deflated into one archive, extracted by our reader, by Info-ZIP unzip and
// by a plain zlib loop (raw inflate + CRC-32 + write, the same job), side by
// side. Prints MB/s of uncompressed output and the ratios.
//   extract_bench [work folder] [megabytes]
#include <sys/resource.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "archive/zip_archive.h"
#include "host_machine.h"
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
};

double CpuSeconds() {
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage u{};
    getrusage(who, &u);
    total += u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
  }
  return total;
}

void Measure(const std::function<void()>& job, Timing& best) {
  auto start = std::chrono::steady_clock::now();
  double cpu_start = CpuSeconds();
  job();
  best.cpu = std::min(best.cpu, CpuSeconds() - cpu_start);
  best.wall = std::min(best.wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

uint32_t Get16(const std::string& s, size_t at) {
  return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8;
}
uint32_t Get32(const std::string& s, size_t at) { return Get16(s, at) | Get16(s, at + 2) << 16; }

// zlib doing an extractor's job: for each entry, read its data, inflate (or
// copy) in 32 KiB steps, CRC, write the file.
uint64_t ZlibExtract(const std::string& archive, const fs::path& out) {
  std::ifstream in(archive, std::ios::binary);
  std::string zip((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t end = zip.rfind(std::string("PK\x05\x06", 4));
  size_t at = Get32(zip, end + 16);
  uint64_t total = 0;
  std::vector<unsigned char> window(32768);
  for (uint32_t i = 0; i < Get16(zip, end + 10); ++i) {
    uint32_t method = Get16(zip, at + 10), csize = Get32(zip, at + 20), crc = Get32(zip, at + 16);
    uint32_t name_length = Get16(zip, at + 28);
    std::string name = zip.substr(at + 46, name_length);
    size_t local = Get32(zip, at + 42);
    size_t data = local + 30 + Get16(zip, local + 26) + Get16(zip, local + 28);
    at += 46 + name_length + Get16(zip, at + 30) + Get16(zip, at + 32);
    if (name.back() == '/') {
      fs::create_directories(out / name);
      continue;
    }
    fs::create_directories((out / name).parent_path());
    std::FILE* f = std::fopen((out / name).c_str(), "wb");
    uLong c = crc32(0, nullptr, 0);
    if (method == 0) {
      c = crc32(c, reinterpret_cast<const Bytef*>(zip.data() + data), csize);
      std::fwrite(zip.data() + data, 1, csize, f);
      total += csize;
    } else {
      z_stream z{};
      inflateInit2(&z, -15);
      z.next_in = reinterpret_cast<Bytef*>(zip.data() + data);
      z.avail_in = csize;
      int rc = Z_OK;
      while (rc == Z_OK) {
        z.next_out = window.data();
        z.avail_out = static_cast<uInt>(window.size());
        rc = inflate(&z, Z_NO_FLUSH);
        size_t n = window.size() - z.avail_out;
        c = crc32(c, window.data(), static_cast<uInt>(n));
        std::fwrite(window.data(), 1, n, f);
        total += n;
      }
      inflateEnd(&z);
    }
    std::fclose(f);
    if (c != crc) std::fprintf(stderr, "zlib: bad CRC in %s\n", name.c_str());
  }
  return total;
}

long MaxRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  // Default: in memory (tmpfs) where there is one, so disks do not blur
  // the comparison.
  fs::path scratch = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  fs::path work = argc > 1 && argv[1][0] ? fs::path(argv[1]) : scratch / "qr5_extract_bench";
  size_t megabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100;
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
  long rss_before = MaxRssKb();

  qr5::tools::HostMachine host;
  qr5::platform::Install(&host.machine());
  int extracted = 0;
  uint64_t zlib_bytes = 0;
  auto ours_job = [&] {
    fs::remove_all(work / "ours");
    qr5::archive::TZipArchive zip;
    zip.SetZipName(archive);
    zip.LoadDirectory();
    zip.OverwriteMode = qr5::archive::TOverwriteMode::Always;
    zip.RecreateDirs = true;
    zip.SetDestDir((work / "ours").string());
    zip.FilesList = {"*"};
    extracted = zip.ExtractSelected();
  };
  auto unzip_job = [&] {
    fs::remove_all(work / "unzip");
    std::string command = "unzip -qq -o '" + archive + "' -d '" + (work / "unzip").string() + "' 2>/dev/null";
    if (std::system(command.c_str()) == -1) std::perror("unzip");
  };
  auto zlib_job = [&] {
    fs::remove_all(work / "zlib");
    zlib_bytes = ZlibExtract(archive, work / "zlib");
  };
  // Interleaved rounds, best of each, so that a busy moment hits all three.
  Timing ours, unzip, zlib;
  long rss_ours = 0;
  for (int round = 0; round < 5; ++round) {
    Measure(ours_job, ours);
    if (round == 0) rss_ours = MaxRssKb();
    Measure(unzip_job, unzip);
    Measure(zlib_job, zlib);
  }

  auto rate = [&](double s) { return unpacked / 1e6 / s; };
  std::printf("entries extracted by the reader: %d; zlib bytes: %llu\n", extracted,
              static_cast<unsigned long long>(zlib_bytes));
  std::printf("%-26s %8s %8s   (MB/s of uncompressed output, best of 5)\n", "", "wall", "cpu");
  for (auto [label, t] : {std::pair<const char*, Timing>{"our reader", ours}, {"Info-ZIP unzip", unzip},
                          {"zlib inflate+CRC+write", zlib}}) {
    std::printf("%-26s %8.1f %8.1f\n", label, rate(t.wall), rate(t.cpu));
  }
  std::printf("ratio reader/unzip: wall %.2f cpu %.2f   reader/zlib: wall %.2f cpu %.2f\n",
              unzip.wall / ours.wall, unzip.cpu / ours.cpu, zlib.wall / ours.wall, zlib.cpu / ours.cpu);
  std::printf("peak memory: %ld KB before the reader ran, %ld KB after its first run\n", rss_before, rss_ours);
  fs::remove_all(work);
  return 0;
}
