#include "platform/sim/sim_shell_link.h"

#include <sys/stat.h>

#include "platform/sim/sim_codepage.h"
#include "platform/sim/sim_host_io.h"
#include "platform/sim/sim_link_target.h"

namespace qr5::platform::sim {

namespace {

constexpr uint32_t kHasLinkInfo = 0x02;
constexpr uint32_t kHasWorkingDir = 0x10;
constexpr uint32_t kIsUnicode = 0x80;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kShowNormal = 1;

void Put16(std::string* out, uint16_t v) {
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>(v >> 8));
}

void Put32(std::string* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void Put64(std::string* out, uint64_t v) {
  Put32(out, static_cast<uint32_t>(v));
  Put32(out, static_cast<uint32_t>(v >> 32));
}

void PutUtf16(std::string* out, const std::u16string& text) {
  for (char16_t c : text) Put16(out, c);
}

std::string LinkInfo(const std::string& target) {
  constexpr uint32_t kHeaderSize = 0x24;  // with the Unicode path offsets
  std::string volume;
  Put32(&volume, 0x11);        // VolumeIDSize
  Put32(&volume, kDriveFixed);
  Put32(&volume, 0x51523521);  // DriveSerialNumber
  Put32(&volume, 0x10);        // VolumeLabelOffset: an empty label
  volume.push_back('\0');

  const uint32_t volume_offset = kHeaderSize;
  const uint32_t base_offset = volume_offset + static_cast<uint32_t>(volume.size());
  const uint32_t suffix_offset = base_offset + static_cast<uint32_t>(target.size()) + 1;
  uint32_t base_unicode_offset = suffix_offset + 1;
  const uint32_t padding = base_unicode_offset % 2;
  base_unicode_offset += padding;
  const std::u16string wide = AnsiToUtf16(target);
  const uint32_t suffix_unicode_offset =
      base_unicode_offset + static_cast<uint32_t>(wide.size() + 1) * 2;
  const uint32_t total = suffix_unicode_offset + 2;

  std::string info;
  Put32(&info, total);
  Put32(&info, kHeaderSize);
  Put32(&info, 1);  // VolumeIDAndLocalBasePath
  Put32(&info, volume_offset);
  Put32(&info, base_offset);
  Put32(&info, 0);  // no network location
  Put32(&info, suffix_offset);
  Put32(&info, base_unicode_offset);
  Put32(&info, suffix_unicode_offset);
  info += volume;
  info += target;
  info.push_back('\0');
  info.push_back('\0');  // empty common path suffix
  if (padding) info.push_back('\0');
  PutUtf16(&info, wide);
  Put16(&info, 0);
  Put16(&info, 0);
  return info;
}

class SimShellLink : public ShellLink {
 public:
  explicit SimShellLink(SimFileSystem& files) : files_(files) {}

  bool SetPath(const std::string& target) override {
    target_ = target;
    return true;
  }
  bool SetWorkingDirectory(const std::string& folder) override {
    working_dir_ = folder;
    return true;
  }
  bool Save(const std::string& link_path) override {
    LinkTargetFacts facts;
    WindowsPath wp;
    HostLocation loc;
    if (!target_.empty() && files_.Locate(target_, &wp, &loc) && loc.exists) {
      facts.attributes = files_.GetFileAttributes(target_);
      struct stat st;
      if (::stat(loc.host.c_str(), &st) == 0) {
        facts.write = HostTimeToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
        facts.access = HostTimeToFileTime(st.st_atim.tv_sec, st.st_atim.tv_nsec);
        facts.creation = HostTimeToFileTime(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
        facts.size = loc.is_dir ? 0 : static_cast<uint32_t>(st.st_size);
      }
    }
    return files_.WriteWholeFile(link_path, BuildShellLink(target_, working_dir_, facts));
  }
  bool Load(const std::string& link_path) override {
    WindowsPath wp;
    HostLocation loc;
    std::string bytes;
    if (!files_.Locate(link_path, &wp, &loc) || !loc.exists || loc.is_dir ||
        !ReadHostFile(loc.host, &bytes)) {
      return false;
    }
    const std::optional<std::string> target = LinkTargetOf(bytes);
    if (!target) return false;
    target_ = *target;
    return true;
  }
  std::string GetPath() override { return target_; }

 private:
  SimFileSystem& files_;
  std::string target_;
  std::string working_dir_;
};

}  // namespace

std::string BuildShellLink(const std::string& target, const std::string& working_dir,
                           const LinkTargetFacts& facts) {
  uint32_t flags = kIsUnicode;
  if (!target.empty()) flags |= kHasLinkInfo;
  if (!working_dir.empty()) flags |= kHasWorkingDir;

  std::string link;
  Put32(&link, 0x4C);
  // CLSID_ShellLink {00021401-0000-0000-C000-000000000046}
  static const unsigned char kClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                           0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
  link.append(reinterpret_cast<const char*>(kClsid), sizeof kClsid);
  Put32(&link, flags);
  Put32(&link, facts.attributes);
  Put64(&link, facts.creation);
  Put64(&link, facts.access);
  Put64(&link, facts.write);
  Put32(&link, facts.size);
  Put32(&link, 0);  // icon index
  Put32(&link, kShowNormal);
  Put16(&link, 0);  // hot key
  Put16(&link, 0);
  Put32(&link, 0);
  Put32(&link, 0);

  if (flags & kHasLinkInfo) link += LinkInfo(target);
  if (flags & kHasWorkingDir) {
    const std::u16string wide = AnsiToUtf16(working_dir);
    Put16(&link, static_cast<uint16_t>(wide.size()));
    PutUtf16(&link, wide);
  }
  Put32(&link, 0);  // terminal block of the extra data
  return link;
}

bool SimCom::Initialize() {
  ++initialized_;
  return true;
}

void SimCom::Uninitialize() {
  if (initialized_ > 0) --initialized_;
}

std::unique_ptr<ShellLink> SimCom::CreateShellLink() {
  if (initialized_ == 0) return nullptr;
  return std::make_unique<SimShellLink>(files_);
}

}  // namespace qr5::platform::sim
