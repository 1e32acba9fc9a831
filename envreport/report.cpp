#include "envreport/report.h"

#include <algorithm>
#include <cwchar>

#include "base/wide_format.h"

namespace tblf::env {
namespace {

struct Text {
  const wchar_t* en;
  const wchar_t* ja;
};

// A line label: the English form as it stands, padding and colon included;
// the Japanese form without them, padded to the English width.
struct Label {
  const wchar_t* en;
  const wchar_t* ja;
};

const Text kUnknown{L"(unknown)", L"(不明)"};
const Text kNone{L"(none)", L"(なし)"};
const Text kNotFound{L"(not found)", L"(見つかりません)"};
const Text kYes{L"Yes", L"はい"};
const Text kNo{L"No", L"いいえ"};

class ReportWriter {
 public:
  explicit ReportWriter(bool japanese) : japanese_(japanese) {}
  bool japanese() const { return japanese_; }
  const wchar_t* T(const Text& text) const { return japanese_ ? text.ja : text.en; }
  void Raw(const std::wstring& text) { out_ += text; }
  void Raw(const Text& text) { out_ += T(text); }
  std::wstring LabelText(const Label& label) const {
    if (!japanese_) return label.en;
    std::wstring en = label.en;
    const std::size_t colon = en.rfind(L':');
    std::wstring ja = label.ja;
    const std::size_t width = colon == std::wstring::npos ? 0 : DisplayWidth(en.substr(0, colon));
    while (DisplayWidth(ja) < width) ja += L' ';
    return ja + L":";
  }
  // "\r\n", the label, the value.
  void Line(const Label& label, const std::wstring& value) { out_ += L"\r\n" + LabelText(label) + value; }
  void Line(const Label& label, const Text& value) { Line(label, std::wstring(T(value))); }
  std::wstring Take() { return std::move(out_); }

 private:
  bool japanese_;
  std::wstring out_;
};

std::wstring Or(const std::optional<std::wstring>& value, const ReportWriter& w, const Text& missing = kUnknown) {
  return value && !value->empty() ? *value : std::wstring(w.T(missing));
}

std::wstring Number(const std::optional<unsigned>& value, const ReportWriter& w) {
  return value ? FormatWide(L"%u", *value) : std::wstring(w.T(kUnknown));
}

// --- processor -------------------------------------------------------------

struct Cpu {
  CpuidFunction cpuid;
  std::string vendor;
  std::uint32_t maxStd = 0, maxExt = 0;
  CpuidRegs leaf1;
  std::string brand;

  CpuidRegs Leaf(std::uint32_t leaf, std::uint32_t sub = 0) const {
    const bool ok = leaf < 0x80000000u ? leaf <= maxStd : leaf <= maxExt;
    return ok ? cpuid(leaf, sub) : CpuidRegs{};
  }
};

std::string RegisterChars(std::uint32_t value) {
  std::string text;
  for (int i = 0; i < 4; ++i) text += static_cast<char>((value >> (8 * i)) & 0xFF);
  return text;
}

Cpu ReadCpu(const CpuidFunction& cpuid) {
  Cpu cpu;
  cpu.cpuid = cpuid;
  const CpuidRegs leaf0 = cpuid(0, 0);
  cpu.maxStd = leaf0.eax;
  cpu.vendor = RegisterChars(leaf0.ebx) + RegisterChars(leaf0.edx) + RegisterChars(leaf0.ecx);
  if (cpu.maxStd >= 1) cpu.leaf1 = cpuid(1, 0);
  // Early processors answer an extended leaf with whatever the highest standard leaf holds.
  const std::uint32_t maxExt = cpuid(0x80000000u, 0).eax;
  cpu.maxExt = (maxExt >= 0x80000000u && maxExt <= 0x800000FFu) ? maxExt : 0;
  if (cpu.maxExt >= 0x80000004u) {
    std::string brand;
    for (std::uint32_t leaf = 0x80000002u; leaf <= 0x80000004u; ++leaf) {
      const CpuidRegs r = cpuid(leaf, 0);
      brand += RegisterChars(r.eax) + RegisterChars(r.ebx) + RegisterChars(r.ecx) + RegisterChars(r.edx);
    }
    brand = brand.substr(0, brand.find('\0'));
    const std::size_t first = brand.find_first_not_of(' ');
    cpu.brand = first == std::string::npos ? "" : brand.substr(first, brand.find_last_not_of(' ') - first + 1);
  }
  return cpu;
}

std::wstring Ascii(const std::string& text) {
  std::wstring wide;
  for (unsigned char c : text) wide += (c >= 0x20 && c < 0x7F) ? static_cast<wchar_t>(c) : L'?';
  return wide;
}

bool IsAmdLike(const std::string& vendor) {
  return vendor == "AuthenticAMD" || vendor == "AMDisbetter!" || vendor == "HygonGenuine";
}

struct CacheFacts {
  std::optional<unsigned> sizeKb, linesPerTag, lineSize, ways;
};
struct TlbFacts {
  std::optional<unsigned> ways, entries;
};
struct CpuCaches {
  TlbFacts dataTlb, instructionTlb;
  CacheFacts l1Data, l1Instruction;
  std::optional<unsigned> l2LineSize, l2AssocField, l2Ways, l2SizeKb;
  std::optional<unsigned> physicalBits, linearBits;
};

void ApplyDescriptor(const Descriptor& d, CpuCaches& c, bool& useLeaf4, bool& useLeaf18) {
  auto cache = [&](CacheFacts& cf) {
    if (cf.sizeKb) return;
    cf.sizeKb = d.sizeKbOrEntries;
    cf.ways = d.ways;
    cf.lineSize = d.lineSize;
  };
  auto tlb = [&](TlbFacts& t) {
    if (t.entries) return;
    t.entries = d.sizeKbOrEntries;
    t.ways = d.ways;
  };
  switch (d.kind) {
    case DescriptorKind::L1Data: cache(c.l1Data); break;
    case DescriptorKind::L1Instruction: cache(c.l1Instruction); break;
    case DescriptorKind::DataTlb: tlb(c.dataTlb); break;
    case DescriptorKind::InstructionTlb: tlb(c.instructionTlb); break;
    case DescriptorKind::L2:
      if (!c.l2SizeKb) {
        c.l2SizeKb = d.sizeKbOrEntries;
        c.l2Ways = d.ways;
        c.l2LineSize = d.lineSize;
      }
      break;
    case DescriptorKind::UseLeaf4: useLeaf4 = true; break;
    case DescriptorKind::UseLeaf18: useLeaf18 = true; break;
    default: break;
  }
}

CpuCaches ReadCaches(const Cpu& cpu) {
  CpuCaches c;
  // AMD's (and most others') first-level caches and 4 KB TLBs.
  if (cpu.maxExt >= 0x80000005u) {
    const CpuidRegs r = cpu.Leaf(0x80000005u);
    if (r.ebx != 0) {
      c.dataTlb = {(r.ebx >> 24) & 0xFF, (r.ebx >> 16) & 0xFF};
      c.instructionTlb = {(r.ebx >> 8) & 0xFF, r.ebx & 0xFF};
    }
    if (r.ecx != 0) {
      c.l1Data = {r.ecx >> 24, (r.ecx >> 8) & 0xFF, r.ecx & 0xFF, (r.ecx >> 16) & 0xFF};
    }
    if (r.edx != 0) {
      c.l1Instruction = {r.edx >> 24, (r.edx >> 8) & 0xFF, r.edx & 0xFF, (r.edx >> 16) & 0xFF};
    }
  }
  if (cpu.maxExt >= 0x80000006u) {
    const CpuidRegs r = cpu.Leaf(0x80000006u);
    if (r.ecx != 0) {
      c.l2LineSize = r.ecx & 0xFF;
      c.l2AssocField = (r.ecx >> 12) & 0xF;
      c.l2SizeKb = r.ecx >> 16;
    }
  }
  if (cpu.maxExt >= 0x80000008u) {
    const CpuidRegs r = cpu.Leaf(0x80000008u);
    if (r.eax != 0) {
      c.physicalBits = r.eax & 0xFF;
      c.linearBits = (r.eax >> 8) & 0xFF;
    }
  }
  // Intel: the descriptors of leaf 2, which may send us to leaves 4 and 18h.
  bool useLeaf4 = !IsAmdLike(cpu.vendor) && cpu.maxStd >= 4;
  bool useLeaf18 = false;
  if (!IsAmdLike(cpu.vendor) && cpu.maxStd >= 2) {
    const CpuidRegs r = cpu.Leaf(2);
    const std::uint32_t regs[4] = {r.eax & 0xFFFFFF00u, r.ebx, r.ecx, r.edx};
    for (std::uint32_t reg : regs) {
      if (reg & 0x80000000u) continue;  // bit 31 set: the register holds no descriptors
      for (int b = 0; b < 4; ++b) {
        if (auto d = LookUpDescriptor(static_cast<std::uint8_t>(reg >> (8 * b)))) {
          ApplyDescriptor(*d, c, useLeaf4, useLeaf18);
        }
      }
    }
  }
  if (useLeaf4) {
    for (std::uint32_t sub = 0; sub < 16; ++sub) {
      const CpuidRegs r = cpu.Leaf(4, sub);
      const unsigned type = r.eax & 0x1F;
      if (type == 0) break;
      const unsigned level = (r.eax >> 5) & 0x7;
      const unsigned ways = ((r.ebx >> 22) & 0x3FF) + 1;
      const unsigned partitions = ((r.ebx >> 12) & 0x3FF) + 1;
      const unsigned line = (r.ebx & 0xFFF) + 1;
      const unsigned sets = r.ecx + 1;
      const unsigned sizeKb = static_cast<unsigned>(static_cast<std::uint64_t>(ways) * partitions * line * sets / 1024);
      const unsigned shownWays = (r.eax & 0x200) ? 0xFF : ways;
      CacheFacts facts{sizeKb, partitions, line, shownWays};
      if (level == 1 && type == 1) c.l1Data = facts;
      if (level == 1 && type == 2) c.l1Instruction = facts;
      if (level == 2 && (type == 3 || type == 1) && !c.l2SizeKb) {
        c.l2SizeKb = sizeKb;
        c.l2Ways = shownWays;
        c.l2LineSize = line;
      }
    }
  }
  if (useLeaf18 && cpu.maxStd >= 0x18) {
    const std::uint32_t last = std::min<std::uint32_t>(cpu.Leaf(0x18, 0).eax, 31);
    bool data = false, instruction = false;
    for (std::uint32_t sub = 0; sub <= last; ++sub) {
      const CpuidRegs r = cpu.Leaf(0x18, sub);
      const unsigned type = r.edx & 0x1F;
      const unsigned level = (r.edx >> 5) & 0x7;
      if (type == 0 || level != 1 || !(r.ebx & 1)) continue;  // first-level TLBs of 4 KB pages only
      const unsigned ways = (r.edx & 0x100) ? 0xFF : (r.ebx >> 16);
      const unsigned entries = (r.ebx >> 16) * r.ecx;
      if ((type == 1 || type == 3 || type == 4) && !data) {
        c.dataTlb = {ways, entries};
        data = true;
      }
      if ((type == 2 || type == 3) && !instruction) {
        c.instructionTlb = {ways, entries};
        instruction = true;
      }
    }
  }
  return c;
}

const Text kTimerMethods[] = {
    {L"(with High-resolution performance counter)", L"(高分解能パフォーマンスカウンタで計測)"},
    {L"(with Multi media timer)", L"(マルチメディアタイマで計測)"},
    {L"(with GetTickCount)", L"(GetTickCountで計測)"},
    {L"(with Sleep)", L"(Sleepで計測)"},
};

void ProcessorSection(ReportWriter& w, const EnvironmentFacts& f, const Cpu* cpu) {
  static const Label kProcessor{L"Processor     :", L"プロセッサ"};
  w.Raw(L"\r\n\r\n");
  w.Raw(Text{L"[Processor]", L"[プロセッサ]"});
  if (!cpu) {
    w.Line(kProcessor, ArchitectureName(f.architecture));
  } else {
    w.Line(kProcessor, VendorName(cpu->vendor));
  }
  w.Line({L"Number of CPU:", L"CPU数"}, Number(f.processorCount, w));
  const Label kCpuid{L"CPUID         :", L"CPUID"};
  const Label kExtCpuid{L"Ext.CPUID     :", L"拡張CPUID"};
  const Label kBrand{L"Brand ID      :", L"ブランドID"};
  const Label kSerial{L"Serial No.    :", L"シリアル番号"};
  const Label kVendor{L"Vender ID     :", L"ベンダID"};
  const Label kFrequency{L"Frequency     :", L"動作周波数"};
  const Label kStd{L"Std.Functions :", L"標準機能"};
  const Label kExt{L"Ext.Functions :", L"拡張機能"};
  const Label kLogical{L"Max Logical Processors:", L"最大論理プロセッサ数"};
  const Text kNoCpuid{L"(no cpuid instruction)", L"(cpuid命令なし)"};
  if (!cpu) {
    for (const Label* label : {&kCpuid, &kExtCpuid, &kBrand, &kSerial, &kVendor}) w.Line(*label, kNoCpuid);
  } else {
    const CpuSignature s = SignatureOf(cpu->leaf1.eax);
    w.Line(kCpuid, FormatWide(L"ProcessorType %X Family %X Model %X Stepping %X", s.type, s.family, s.model, s.stepping));
    w.Line(kExtCpuid, FormatWide(L"ExtFamily %X ExtModel %X (Family %Xh Model %Xh: ", s.extFamily, s.extModel,
                        s.DisplayFamily(), s.DisplayModel()) +
                          ProcessorName(cpu->vendor, s) + L")");
    const unsigned brandIndex = cpu->leaf1.ebx & 0xFF;
    std::wstring brand = FormatWide(L"%02Xh", brandIndex);
    if (!cpu->brand.empty()) {
      brand += L" \"" + Ascii(cpu->brand) + L"\"";
    } else if (auto name = IntelBrandIdName(brandIndex, cpu->leaf1.eax); name && cpu->vendor == "GenuineIntel") {
      brand += L" " + *name;
    }
    w.Line(kBrand, brand);
    if ((cpu->leaf1.edx & (1u << 18)) && cpu->maxStd >= 3) {
      const CpuidRegs r = cpu->Leaf(3);
      const std::uint32_t eax = cpu->leaf1.eax;
      w.Line(kSerial, FormatWide(L"%04X-%04X-%04X-%04X-%04X-%04X", eax >> 16, eax & 0xFFFF, r.edx >> 16, r.edx & 0xFFFF,
                        r.ecx >> 16, r.ecx & 0xFFFF));
    } else {
      w.Line(kSerial, Text{L"(not supported)", L"(非対応)"});
    }
    w.Line(kVendor, Ascii(cpu->vendor));
  }
  if (f.frequency) {
    const std::uint64_t h = f.frequency->hundredthsMhz;
    w.Line(kFrequency, FormatWide(L"%5u.%02u MHz ", static_cast<unsigned>(h / 100), static_cast<unsigned>(h % 100)) +
                           w.T(kTimerMethods[static_cast<int>(f.frequency->method)]));
  } else {
    w.Line(kFrequency, kUnknown);
  }
  if (!cpu) {
    for (const Label* label : {&kStd, &kExt, &kLogical}) w.Line(*label, kNoCpuid);
    return;
  }
  w.Line(kStd, FormatWide(L"%08xh - %08xh", 0u, cpu->maxStd));
  w.Line(kExt, cpu->maxExt ? FormatWide(L"%08xh - %08xh", 0x80000000u, cpu->maxExt) : std::wstring(w.T(kNone)));
  const bool htt = (cpu->leaf1.edx >> 28) & 1;
  w.Line(kLogical, FormatWide(L"%u", htt ? (cpu->leaf1.ebx >> 16) & 0xFF : 1u));
}

std::wstring WaysText(unsigned ways, bool japanese) {
  if (ways == 0xFF) return L2AssociativityName(0xF, japanese);
  if (ways == 1) return L2AssociativityName(0x1, japanese);
  return FormatWide(japanese ? L"%uウェイ" : L"%uways", ways);
}

void CacheSections(ReportWriter& w, const Cpu* cpu) {
  const CpuCaches c = cpu ? ReadCaches(*cpu) : CpuCaches{};
  const bool ja = w.japanese();
  w.Raw(L"\r\n\r\n");
  w.Raw(Text{L"[Memory Cache]", L"[メモリキャッシュ]"});
  w.Line({L"L2 Cache Line size      :", L"L2ラインサイズ"},
         c.l2LineSize ? FormatWide(ja ? L"%u バイト" : L"%u bytes", *c.l2LineSize) : std::wstring(w.T(kUnknown)));
  std::wstring assoc = w.T(kUnknown);
  if (c.l2AssocField) assoc = L2AssociativityName(*c.l2AssocField, ja);
  else if (c.l2Ways) assoc = WaysText(*c.l2Ways, ja);
  w.Line({L"L2 Associativity field  :", L"L2アソシアティビティ"}, assoc);
  w.Line({L"L2 Cache size           :", L"L2キャッシュサイズ"},
         c.l2SizeKb ? FormatWide(L"%u KB", *c.l2SizeKb) : std::wstring(w.T(kUnknown)));

  w.Raw(L"\r\n\r\n");
  w.Raw(Text{L"[Linear/Physical Address size]", L"[リニア/物理アドレスサイズ]"});
  w.Line({L"Physical Address Bits   :", L"物理アドレスビット数"}, Number(c.physicalBits, w));
  w.Line({L"Linear Address Bits     :", L"リニアアドレスビット数"}, Number(c.linearBits, w));

  const Label kAssoc{L" Associativity:", L" ウェイ数"};
  const Label kEntries{L" #Entry       :", L" エントリ数"};
  auto hex = [&](const std::optional<unsigned>& v) { return v ? FormatWide(L" %02Xh", *v) : L" " + std::wstring(w.T(kUnknown)); };
  auto dec = [&](const std::optional<unsigned>& v) { return v ? FormatWide(L" %u", *v) : L" " + std::wstring(w.T(kUnknown)); };
  auto row = [&](const Label& label, const std::wstring& left, const std::wstring& right) {
    w.Raw(L"\r\n" + TwoColumns(w.LabelText(label) + left, w.LabelText(label) + right, 40));
  };
  w.Raw(L"\r\n\r\n");
  w.Raw(Text{L"[TLB Information]", L"[TLB情報]"});
  w.Raw(L"\r\n" + TwoColumns(w.T(Text{L" <Data TLB>", L" <データTLB>"}),
                             w.T(Text{L"<Instruction TLB>", L"<命令TLB>"}), 40));
  row(kAssoc, hex(c.dataTlb.ways), hex(c.instructionTlb.ways));
  row(kEntries, dec(c.dataTlb.entries), dec(c.instructionTlb.entries));

  w.Raw(L"\r\n" + TwoColumns(w.T(Text{L"[L1 Data Cache]", L"[L1データキャッシュ]"}),
                             w.T(Text{L"[L1 Instruction Cache]", L"[L1命令キャッシュ]"}), 40));
  auto size = [&](const std::optional<unsigned>& v) { return v ? FormatWide(L" %uKB", *v) : L" " + std::wstring(w.T(kUnknown)); };
  auto bytes = [&](const std::optional<unsigned>& v) {
    return v ? FormatWide(ja ? L" %uバイト" : L" %ubytes", *v) : L" " + std::wstring(w.T(kUnknown));
  };
  row({L" Size         :", L" サイズ"}, size(c.l1Data.sizeKb), size(c.l1Instruction.sizeKb));
  row({L" Lines per Tag:", L" ライン/タグ"}, dec(c.l1Data.linesPerTag), dec(c.l1Instruction.linesPerTag));
  row({L" Line size    :", L" ラインサイズ"}, bytes(c.l1Data.lineSize), bytes(c.l1Instruction.lineSize));
  row(kAssoc, hex(c.l1Data.ways), hex(c.l1Instruction.ways));
}

void FlagSection(ReportWriter& w, const FlagTable& left, std::uint32_t leftValue, const FlagTable* right,
                 std::uint32_t rightValue) {
  const bool ja = w.japanese();
  w.Raw(L"\r\n\r\n");
  w.Raw(TwoColumns(ja ? left.heading_ja : left.heading_en, right ? (ja ? right->heading_ja : right->heading_en) : L"",
                   39));
  w.Raw(FlagLines(left, leftValue, right, rightValue));
}

void FeatureSections(ReportWriter& w, const Cpu& cpu) {
  if (cpu.maxStd >= 1) FlagSection(w, kStandardFlags, cpu.leaf1.edx, &kAdditionalFlags, cpu.leaf1.ecx);
  if (cpu.maxExt >= 0x80000001u) {
    const CpuidRegs e = cpu.Leaf(0x80000001u);
    if (IsAmdLike(cpu.vendor)) {
      FlagSection(w, kAmdExtendedFlags, e.edx, &kAmdExtendedFlags2, e.ecx);
    } else if (cpu.vendor == "CyrixInstead") {
      FlagSection(w, kCyrixExtendedFlags, e.edx, nullptr, 0);
    } else {
      FlagSection(w, kIntelExtendedFlags, e.edx, &kIntelExtendedFlags2, e.ecx);
    }
  }
  if (cpu.vendor == "CentaurHauls" || cpu.vendor == "  Shanghai  ") {
    const std::uint32_t maxCentaur = cpu.cpuid(0xC0000000u, 0).eax;
    if (maxCentaur >= 0xC0000001u && maxCentaur <= 0xC00000FFu) {
      FlagSection(w, kCentaurExtendedFlags, cpu.cpuid(0xC0000001u, 0).edx, nullptr, 0);
    }
  }
  if (cpu.maxStd >= 7) {
    const CpuidRegs s0 = cpu.Leaf(7, 0);
    FlagSection(w, kStructuredFlagsEbx, s0.ebx, &kStructuredFlagsEcx, s0.ecx);
    if (s0.eax >= 1) {
      FlagSection(w, kStructuredFlagsEdx, s0.edx, &kStructuredFlags1Eax, cpu.Leaf(7, 1).eax);
    } else {
      FlagSection(w, kStructuredFlagsEdx, s0.edx, nullptr, 0);
    }
  }
}

// --- operating system ------------------------------------------------------

std::wstring RectText(const Rect& r) { return FormatWide(L"(%d,%d)-(%d,%d)", r.left, r.top, r.right, r.bottom); }

std::wstring Megabytes(std::uint64_t bytes) { return FormatWide(L"%llu MB", static_cast<unsigned long long>(bytes >> 20)); }

std::wstring SuiteNames(unsigned mask) {
  static const wchar_t* const kSuites[] = {
      L"Small Business", L"Enterprise", L"BackOffice", L"Communications", L"Terminal",
      L"Small Business Restricted", L"Embedded NT", L"Datacenter", L"Single User TS", L"Personal", L"Blade",
      L"Embedded Restricted", L"Security Appliance", L"Storage Server", L"Compute Server", L"Home Server",
  };
  std::wstring names;
  for (unsigned bit = 0; bit < 16; ++bit) {
    if (!(mask & (1u << bit))) continue;
    if (!names.empty()) names += L", ";
    names += kSuites[bit];
  }
  return names;
}

std::wstring KeyboardName(int type, bool ja) {
  switch (type) {
    case 1: return L"IBM PC/XT (83-key)";
    case 2: return L"Olivetti M24 (102-key)";
    case 3: return L"IBM PC/AT (84-key)";
    case 4: return ja ? L"IBM 拡張 (101/102キー)" : L"IBM enhanced (101/102-key)";
    case 5: return L"Nokia 1050";
    case 6: return L"Nokia 9140";
    case 7: return ja ? L"日本語キーボード" : L"Japanese keyboard";
    case 81: return L"USB HID";
    default: return ja ? L"不明な種類" : L"unknown type";
  }
}

void OperatingSystemSection(ReportWriter& w, const EnvironmentFacts& f) {
  const bool ja = w.japanese();
  w.Raw(L"\r\n\r\n");
  w.Raw(Text{L"[Operating System]", L"[オペレーティングシステム]"});
  std::wstring version = L"Windows ";
  if (f.osMajor && f.osMinor) {
    const unsigned build = f.osBuild.value_or(0);
    version += WindowsName(*f.osMajor, *f.osMinor, build, f.productType.value_or(1)) +
               FormatWide(L" (%u.%u.%u)", *f.osMajor, *f.osMinor, build);
  } else {
    version += w.T(kUnknown);
  }
  w.Line({L"OS version    :", L"OSバージョン"}, version);
  w.Line({L"Plus!version :", L"Plus!版"}, Or(f.plusVersion, w, kNone));
  static const wchar_t* const kPlatforms[] = {L"Win32s", L"Win32 on Windows", L"Win32 NT"};
  w.Line({L" Platform     :", L" OS種別"},
         f.platformId ? FormatWide(L"%u", *f.platformId) + (*f.platformId < 3 ? std::wstring(L" (") + kPlatforms[*f.platformId] + L")" : L"")
                      : std::wstring(w.T(kUnknown)));
  w.Line({L" Service Pack :", L" SP情報"},
         f.csdVersion.empty() ? std::wstring(w.T(kNone))
                              : f.csdVersion + FormatWide(L" (%u.%u)", f.servicePackMajor, f.servicePackMinor));
  std::wstring product = w.T(kUnknown);
  if (f.productType) {
    static const Text kTypes[] = {{L"Workstation", L"ワークステーション"},
                                  {L"Domain Controller", L"ドメインコントローラ"},
                                  {L"Server", L"サーバ"}};
    product = (*f.productType >= 1 && *f.productType <= 3) ? w.T(kTypes[*f.productType - 1]) : FormatWide(L"%u", *f.productType);
  }
  if (f.productInfo) {
    product += L", " + EditionName(*f.productInfo).value_or(w.T(kUnknown)) + FormatWide(L" (%08Xh)", *f.productInfo);
  }
  w.Line({L" Product Type :", L" 製品タイプ"}, product);
  std::wstring suite = w.T(kUnknown);
  if (f.suiteMask) {
    suite = FormatWide(L"%04Xh", *f.suiteMask);
    const std::wstring names = SuiteNames(*f.suiteMask);
    if (!names.empty()) suite += L" (" + names + L")";
  }
  w.Line({L" SuiteMask    :", L" スイート"}, suite);
  std::wstring locale = w.T(kUnknown);
  if (f.localeId) {
    locale = FormatWide(L"%04X ", *f.localeId) + f.localeName + L", ANSI " + Number(f.ansiCodePage, w) + L", OEM " +
             Number(f.oemCodePage, w);
  }
  w.Line({L" Locale Info. :", L" ロケール情報"}, locale);
  w.Line({L"IE version    :", L"IEバージョン"}, Or(f.ieVersion, w, kNotFound));
  std::wstring dotNet;
  for (const DotNetVersion& v : f.dotNet) {
    std::wstring one = v.version.empty() ? v.key.substr(1) : v.version;
    if (v.release) one = DotNet4Version(*v.release).value_or(one) + FormatWide(L" (Release %u)", *v.release);
    if (v.key.find(L"Full") != std::wstring::npos) one += L" Full";
    if (v.key.find(L"Client") != std::wstring::npos) one += L" Client";
    if (v.servicePack && *v.servicePack > 0) one += FormatWide(L" SP%u", *v.servicePack);
    dotNet += (dotNet.empty() ? L"" : L", ") + one;
  }
  w.Line({L".NET Framework:", L".NET Framework"}, dotNet.empty() ? std::wstring(w.T(kNotFound)) : dotNet);
  w.Line({L"Comctl32.dll  :", L"Comctl32.dll"}, f.comctlMajor && f.comctlMinor
                                                    ? FormatWide(L"ver.%u.%02u", *f.comctlMajor, *f.comctlMinor)
                                                    : std::wstring(w.T(kUnknown)));
  auto memory = [&](std::uint64_t total, std::uint64_t avail) {
    if (!f.haveMemory) return std::wstring(w.T(kUnknown));
    return Megabytes(total) + (ja ? L" (空き " : L" (free ") + Megabytes(avail) + L")";
  };
  w.Line({L"Physical Mem. :", L"物理メモリ"}, memory(f.totalPhys, f.availPhys));
  w.Line({L"Page File     :", L"ページファイル"}, memory(f.totalPageFile, f.availPageFile));
  w.Line({L"Virtual Memory:", L"仮想メモリ"}, memory(f.totalVirtual, f.availVirtual));
  w.Line({L"Memory Used   :", L"メモリ使用率"}, f.haveMemory ? FormatWide(L"%u %%", f.memoryLoad) : std::wstring(w.T(kUnknown)));
  w.Line({L"Screen        :", L"画面"},
         FormatWide(ja ? L"%d x %d, %d ビット, %d dpi, " : L"%d x %d, %d bits, %d dpi, ", f.screenWidth, f.screenHeight,
           f.bitsPerPixel, f.dpi) +
             // 0 and 1 stand for the display's default rate.
             (f.refreshHz > 1 ? FormatWide(L"%d Hz ", f.refreshHz) : std::wstring(ja ? L"既定の周波数 " : L"default rate ")) +
             (f.workArea ? FormatWide(L"[Work Area (%d,%d)-(%d,%d)]", f.workArea->left, f.workArea->top, f.workArea->right,
                             f.workArea->bottom)
                         : std::wstring(L"[Work Area ") + w.T(kUnknown) + L"]"));
  w.Line({L"Virtual Screen:", L"仮想画面"}, RectText(f.virtualScreen) + FormatWide(L" [Monitors:%d]", f.monitorCount));
  for (const Monitor& m : f.monitors) {
    w.Line({L" Monitor Info :", L" モニタ情報"},
           m.device + L" " + RectText(m.area) + L" [Work Area " + RectText(m.workArea) + L"]" +
               (m.primary ? (ja ? L" プライマリ" : L" Primary") : L""));
  }
  if (f.monitors.empty()) w.Line({L" Monitor Info :", L" モニタ情報"}, kUnknown);
  std::wstring keyboard = w.T(kUnknown);
  if (f.keyboardType) {
    keyboard = FormatWide(L"%d (", *f.keyboardType) + KeyboardName(*f.keyboardType, ja) + L")";
    if (f.keyboardSubtype) keyboard += FormatWide(ja ? L", サブタイプ %d" : L", Subtype %d", *f.keyboardSubtype);
    if (f.functionKeys) keyboard += FormatWide(ja ? L", ファンクションキー %d 個" : L", %d function keys", *f.functionKeys);
  }
  w.Line({L"Keyboard Type :", L"キーボード"}, keyboard);
  w.Line({L"Machine Name  :", L"コンピュータ名"}, Or(f.machineName, w));
  w.Line({L"User Name     :", L"ユーザー名"}, Or(f.userName, w));
  w.Line({L"Domain Name   :", L"ドメイン名"}, Or(f.domainName, w));
  const std::uint64_t seconds = f.tickCount / 1000;
  w.Line({L"GetTickCount  :", L"GetTickCount"},
         FormatWide(ja ? L"%llu ms (%llu 日 %02u:%02u:%02u)" : L"%llu ms (%llu days %02u:%02u:%02u)",
           static_cast<unsigned long long>(f.tickCount), static_cast<unsigned long long>(seconds / 86400),
           static_cast<unsigned>(seconds / 3600 % 24), static_cast<unsigned>(seconds / 60 % 60),
           static_cast<unsigned>(seconds % 60)));
  w.Line({L"Remote Session:", L"リモート接続"}, f.remoteSession ? kYes : kNo);
  w.Line({L"Slow Machine  :", L"低速マシン"}, f.slowMachine ? kYes : kNo);
  w.Line({L"Mouse Buttons :", L"マウスボタン数"}, FormatWide(L"%d", f.mouseButtons));
  w.Line({L"Network       :", L"ネットワーク"}, f.network ? Text{L"Present", L"あり"} : Text{L"Not present", L"なし"});
  std::wstring uac = w.T(kNotFound);
  if (f.enableLua) {
    uac = std::wstring(*f.enableLua ? w.T(Text{L"Enabled", L"有効"}) : w.T(Text{L"Disabled", L"無効"})) +
          FormatWide(L" (EnableLUA=%u)", *f.enableLua);
  }
  if (f.elevated && *f.elevated) uac += w.T(Text{L", running as administrator", L", 管理者として実行中"});
  w.Line({L"UAC           :", L"UAC"}, uac);
}

// --- drives, display and network adapters, the rest ------------------------

const Text kDriveTypes[] = {
    {L"Unknown", L"不明"},     {L"No Root", L"ルートなし"}, {L"Removable", L"リムーバブル"},
    {L"Fixed", L"固定"},       {L"Remote", L"ネットワーク"}, {L"CD-ROM", L"CD-ROM"},
    {L"RAM Disk", L"RAMディスク"},
};

std::wstring Pad(std::wstring text, std::size_t width) {
  while (DisplayWidth(text) < width) text += L' ';
  return text;
}

std::wstring SpaceText(std::uint64_t freeBytes, std::uint64_t totalBytes) {
  const double gb = 1024.0 * 1024.0 * 1024.0;
  return FormatWide(L"%6.1f/%6.1fGB", static_cast<double>(freeBytes) / gb, static_cast<double>(totalBytes) / gb);
}

void DriveSection(ReportWriter& w, const EnvironmentFacts& f) {
  w.Raw(L"\r\n\r\n");
  w.Raw(Text{L"[Disk Drives]\r\n   Type      Disk Free Space  Con.I/F  FileSys. Serial    Valume Label\r\n",
             L"[ディスクドライブ]\r\n   種類      空き/全容量      接続I/F  FS       シリアル  ボリュームラベル\r\n"});
  for (const Drive& d : f.drives) {
    std::wstring line(1, d.letter);
    line += L": ";
    std::wstring type = d.substituted ? L"Subst" : (d.type < 7 ? w.T(kDriveTypes[d.type]) : FormatWide(L"%u", d.type));
    line += Pad(type, 10);
    if (d.noAnswer) {
      line += w.T(Text{L"(no answer)", L"(応答なし)"});
    } else if (d.noMedia) {
      line += w.T(Text{L"(no media)", L"(メディアなし)"});
    } else {
      line += Pad(d.freeBytes && d.totalBytes ? SpaceText(*d.freeBytes, *d.totalBytes) : L"?", 17);
      line += Pad(d.busType ? BusTypeName(*d.busType) : L"?", 9);
      line += Pad(d.fileSystem.empty() ? L"?" : d.fileSystem, 9);
      line += Pad(d.serial ? FormatWide(L"%04X-%04X", *d.serial >> 16, *d.serial & 0xFFFF) : L"?", 10);
      line += d.label;
    }
    while (!line.empty() && line.back() == L' ') line.pop_back();
    w.Raw(line + L"\r\n");
  }
  if (f.drives.empty()) w.Raw(std::wstring(w.T(kNone)) + L"\r\n");
  if (f.driveDetailsNeedRights) {
    w.Raw(Text{L"Because the administrator authority is not enough, there is an unknown drive information.\r\n",
               L"管理者権限が不足しているため、不明なドライブ情報があります。\r\n"});
  }
}

void DisplaySection(ReportWriter& w, const EnvironmentFacts& f) {
  w.Raw(L"\r\n");
  w.Raw(Text{L"[Display Adapter]", L"[ディスプレイアダプタ]"});
  w.Raw(L"\r\n");
  for (const DisplayAdapter& a : f.displayAdapters) {
    std::wstring state;
    const Text kStates[] = {{L"attached", L"接続"}, {L"multi-driver", L"マルチドライバ"},
                            {L"primary", L"プライマリ"}, {L"mirroring", L"ミラー"}};
    const std::uint32_t bits[] = {0x1, 0x2, 0x4, 0x8};
    for (int i = 0; i < 4; ++i) {
      if (a.stateFlags & bits[i]) state += (state.empty() ? L"" : L", ") + std::wstring(w.T(kStates[i]));
    }
    w.Raw(Pad(a.device, 14) + L":" + a.description + (state.empty() ? L"" : L" [" + state + L"]") + L"\r\n");
  }
  if (f.displayAdapters.empty()) w.Raw(std::wstring(w.T(kNone)) + L"\r\n");
}

std::wstring TimeText(const LocalTime& t, bool ja) {
  static const wchar_t* const kDaysEn[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
  static const wchar_t* const kDaysJa[] = {L"日", L"月", L"火", L"水", L"木", L"金", L"土"};
  const int day = t.dayOfWeek >= 0 && t.dayOfWeek < 7 ? t.dayOfWeek : 0;
  return FormatWide(L"%04d/%02d/%02d(%ls) %02d:%02d:%02d", t.year, t.month, t.day, ja ? kDaysJa[day] : kDaysEn[day], t.hour,
           t.minute, t.second);
}

std::wstring AdapterTypeName(std::uint32_t type) {
  switch (type) {
    case 1: return L"Other";
    case 6: return L"Ethernet";
    case 9: return L"Token Ring";
    case 15: return L"FDDI";
    case 23: return L"PPP";
    case 24: return L"Lookback";
    case 28: return L"Slip";
    case 71: return L"IEEE 802.11";
    case 131: return L"Tunnel";
    case 144: return L"IEEE 1394";
    default: return FormatWide(L"%u", type);
  }
}

std::wstring Joined(const std::vector<std::wstring>& parts) {
  std::wstring text;
  for (const std::wstring& p : parts) text += (text.empty() ? L"" : L", ") + p;
  return text;
}

void NetworkSection(ReportWriter& w, const EnvironmentFacts& f) {
  const bool ja = w.japanese();
  w.Raw(L"\r\n");
  w.Raw(Text{L"[Network Adapter]", L"[ネットワークアダプタ]"});
  if (!f.networkAdapters) {
    w.Raw(L"\r\n");
    w.Raw(Text{L"Call to GetAdaptersInfo failed.\r\n", L"GetAdaptersInfo の呼び出しに失敗しました。\r\n"});
    return;
  }
  bool first = true;
  for (const NetworkAdapter& a : *f.networkAdapters) {
    if (!first) w.Raw(L"\r\n");
    first = false;
    w.Line({L"Adapter Name  :", L"アダプタ名"}, a.name);
    w.Line({L"Adapter Desc  :", L"アダプタ説明"}, a.description);
    std::wstring address;
    for (std::size_t i = 0; i < a.address.size(); ++i) address += (i ? L"-" : L"") + FormatWide(L"%02x", a.address[i]);
    w.Line({L"Adapter Addr  :", L"物理アドレス"}, address);
    w.Line({L"Index         :", L"インデックス"}, FormatWide(L"%u", a.index));
    w.Line({L"Type          :", L"種類"}, AdapterTypeName(a.type));
    w.Line({L"IPv4 Address  :", L"IPv4アドレス"}, Joined(a.ipAddresses));
    w.Line({L"IP Mask       :", L"IPマスク"}, Joined(a.ipMasks));
    w.Line({L"Gateway       :", L"ゲートウェイ"}, a.gateway);
    const Label kDhcp{L"DHCP Server   :", L"DHCPサーバ"};
    if (a.dhcpEnabled) {
      w.Line(kDhcp, a.dhcpServer.empty() ? std::wstring(w.T(kUnknown)) : a.dhcpServer);
      w.Line({L" Lease Obtained:", L" リース取得"}, a.leaseObtained ? TimeText(*a.leaseObtained, ja) : w.T(kUnknown));
      w.Line({L" Lease Expires :", L" リース期限"}, a.leaseExpires ? TimeText(*a.leaseExpires, ja) : w.T(kUnknown));
    } else {
      w.Line(kDhcp, Text{L"disabled", L"無効"});
    }
    const Label kWins{L"WINS          :", L"WINS"};
    if (a.haveWins) {
      w.Line(kWins, kYes);
      w.Line({L" Primary      :", L" プライマリ"}, a.winsPrimary);
      w.Line({L" Secondary    :", L" セカンダリ"}, a.winsSecondary);
    } else {
      w.Line(kWins, kNo);
    }
  }
  if (f.networkAdapters->empty()) w.Raw(L"\r\n" + std::wstring(w.T(kNone)));
  w.Raw(L"\r\n");
}

void OtherSection(ReportWriter& w, const EnvironmentFacts& f) {
  w.Raw(L"\r\n");
  w.Raw(Text{L"[Other Information]", L"[その他]"});
  w.Line({L"Client        :", L"クライアント"}, f.client.empty() ? std::wstring(w.T(kUnknown)) : f.client);
  w.Line({L"Time/Data     :", L"日付/時刻"}, TimeText(f.now, w.japanese()));
  w.Line({L"Diff from UTC :", L"UTCとの時差"}, UtcDifferenceText(f.utcOffsetMinutes));
  w.Raw(L"\r\n");
}

}  // namespace

const BiText kReportWriteFailedText{L"ファイルへの書き込みに失敗しました。\r\n%s", L"Cannot write to file:\r\n%s"};

std::size_t DisplayWidth(const std::wstring& text) {
  std::size_t width = 0;
  for (wchar_t c : text) {
    const unsigned u = static_cast<unsigned>(c);
    const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3) ||
                      (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                      (u >= 0xFFE0 && u <= 0xFFE6);
    width += wide ? 2 : 1;
  }
  return width;
}

std::wstring TwoColumns(const std::wstring& left, const std::wstring& right, std::size_t column) {
  if (right.empty()) return left;
  std::wstring text = left;
  std::size_t width = DisplayWidth(left);
  if (width >= column) text += L' ';
  for (; width < column; ++width) text += L' ';
  return text + right;
}

std::wstring FlagLines(const FlagTable& left, std::uint32_t leftValue, const FlagTable* right,
                       std::uint32_t rightValue) {
  auto entries = [](const FlagTable& table, std::uint32_t value) {
    std::vector<std::wstring> list;
    for (int bit = 0; bit < 32; ++bit) {
      if (!*table.names[bit]) continue;
      std::wstring name = table.names[bit];
      name.resize(kFlagNameWidth, L' ');
      list.push_back(FormatWide(L"%2d-%ls:%u", bit, name.c_str(), (value >> bit) & 1u));
    }
    return list;
  };
  const std::vector<std::wstring> l = entries(left, leftValue);
  const std::vector<std::wstring> r = right ? entries(*right, rightValue) : std::vector<std::wstring>{};
  std::wstring text;
  for (std::size_t i = 0; i < std::max(l.size(), r.size()); ++i) {
    const std::wstring a = i < l.size() ? l[i] : L"";
    text += L"\r\n" + (i < r.size() ? TwoColumns(a, r[i], 39) : a);
  }
  return text;
}

std::wstring UtcDifferenceText(int minutes) {
  const int magnitude = minutes < 0 ? -minutes : minutes;
  return FormatWide(minutes < 0 ? L"-%02d:%02d" : L"+%02d:%02d", magnitude / 60, magnitude % 60);
}

std::wstring WindowsName(unsigned major, unsigned minor, unsigned build, unsigned productType) {
  const bool server = productType == 2 || productType == 3;
  const unsigned v = major * 100 + minor;
  switch (v) {
    case 400: return L"95 / NT 4.0";
    case 410: return L"98";
    case 490: return L"Me";
    case 500: return server ? L"2000 Server" : L"2000";
    case 501: return L"XP";
    case 502: return server ? L"Server 2003" : L"XP x64";
    case 600: return server ? L"Server 2008" : L"Vista";
    case 601: return server ? L"Server 2008 R2" : L"7";
    case 602: return server ? L"Server 2012" : L"8";
    case 603: return server ? L"Server 2012 R2" : L"8.1";
    case 1000:
      if (!server) return build >= 22000 ? L"11" : L"10";
      if (build >= 26100) return L"Server 2025";
      if (build >= 20348) return L"Server 2022";
      if (build >= 17763) return L"Server 2019";
      return L"Server 2016";
    default: return FormatWide(L"%u.%u", major, minor);
  }
}

std::optional<std::wstring> EditionName(std::uint32_t code) {
  struct Row {
    std::uint32_t code;
    const wchar_t* name;
  };
  static const Row kEditions[] = {
      {0x01, L"Ultimate"}, {0x02, L"Home Basic"}, {0x03, L"Home Premium"}, {0x04, L"Enterprise"},
      {0x05, L"Home Basic N"}, {0x06, L"Business"}, {0x07, L"Server Standard"}, {0x08, L"Server Datacenter"},
      {0x09, L"Small Business Server"}, {0x0A, L"Server Enterprise"}, {0x0B, L"Starter"},
      {0x0C, L"Server Datacenter (core)"}, {0x0D, L"Server Standard (core)"}, {0x0E, L"Server Enterprise (core)"},
      {0x10, L"Business N"}, {0x11, L"Web Server"}, {0x12, L"HPC Edition"}, {0x13, L"Home Server"},
      {0x14, L"Storage Server Express"}, {0x15, L"Storage Server Standard"}, {0x16, L"Storage Server Workgroup"},
      {0x17, L"Storage Server Enterprise"}, {0x19, L"Small Business Server Premium"}, {0x1A, L"Home Premium N"},
      {0x1B, L"Enterprise N"}, {0x1C, L"Ultimate N"}, {0x1D, L"Web Server (core)"}, {0x21, L"Server Foundation"},
      {0x22, L"Home Server 2011"}, {0x24, L"Server Standard without Hyper-V"},
      {0x25, L"Server Datacenter without Hyper-V"}, {0x26, L"Server Enterprise without Hyper-V"},
      {0x2A, L"Hyper-V Server"}, {0x2F, L"Starter N"}, {0x30, L"Professional"}, {0x31, L"Professional N"},
      {0x42, L"Starter E"}, {0x43, L"Home Basic E"}, {0x44, L"Home Premium E"}, {0x45, L"Professional E"},
      {0x46, L"Enterprise E"}, {0x47, L"Ultimate E"}, {0x48, L"Enterprise (evaluation)"},
      {0x4F, L"Server Standard (evaluation)"}, {0x50, L"Server Datacenter (evaluation)"},
      {0x54, L"Enterprise N (evaluation)"}, {0x62, L"Home N"}, {0x63, L"Home China"},
      {0x64, L"Home Single Language"}, {0x65, L"Home"}, {0x67, L"Professional with Media Center"},
      {0x68, L"Mobile"}, {0x79, L"Education"}, {0x7A, L"Education N"}, {0x7D, L"Enterprise LTSC"},
      {0x7E, L"Enterprise LTSC N"}, {0x81, L"Enterprise LTSC (evaluation)"}, {0x85, L"Mobile Enterprise"},
      {0x8A, L"Professional Single Language"}, {0xA1, L"Pro for Workstations"}, {0xA2, L"Pro for Workstations N"},
      {0xA4, L"Pro Education"}, {0xA5, L"Pro Education N"}, {0xAB, L"Enterprise G"}, {0xAC, L"Enterprise G N"},
      {0xAF, L"Enterprise multi-session"}, {0xBC, L"IoT Enterprise"}, {0xBF, L"IoT Enterprise LTSC"},
      {0xABCDABCD, L"Unlicensed"},
  };
  for (const Row& row : kEditions) {
    if (row.code == code) return row.name;
  }
  return std::nullopt;
}

std::optional<std::wstring> DotNet4Version(unsigned release) {
  struct Row {
    unsigned release;
    const wchar_t* version;
  };
  // The lowest "Release" value of each version, newest first.
  static const Row kReleases[] = {
      {533320, L"4.8.1"}, {528040, L"4.8"}, {461808, L"4.7.2"}, {461308, L"4.7.1"}, {460798, L"4.7"},
      {394802, L"4.6.2"}, {394254, L"4.6.1"}, {393295, L"4.6"}, {379893, L"4.5.2"}, {378675, L"4.5.1"},
      {378389, L"4.5"},
  };
  for (const Row& row : kReleases) {
    if (release >= row.release) return row.version;
  }
  return std::nullopt;
}

std::wstring BusTypeName(unsigned busType) {
  static const wchar_t* const kBuses[] = {
      L"Unknown", L"SCSI", L"ATAPI", L"ATA", L"1394", L"SSA", L"Fibre", L"USB", L"RAID", L"iSCSI", L"SAS",
      L"SATA", L"SD", L"MMC", L"Virtual", L"FBVirt", L"Spaces", L"NVMe", L"SCM", L"UFS",
  };
  if (busType < std::size(kBuses)) return kBuses[busType];
  return FormatWide(L"%u", busType);
}

std::wstring BuildEnvironmentReport(const EnvironmentFacts& facts, bool japanese) {
  ReportWriter w(japanese);
  w.Raw(FormatWide(L"PRBX32.LIB ver.%d.%02d.%02d [%ls]", 5, 24, 30, L"May 15 2016"));
  w.Raw(L"(Unicode)");
  std::optional<Cpu> cpu;
  if (facts.cpuid) cpu = ReadCpu(facts.cpuid);
  ProcessorSection(w, facts, cpu ? &*cpu : nullptr);
  CacheSections(w, cpu ? &*cpu : nullptr);
  if (cpu) {
    FeatureSections(w, *cpu);
  } else {
    w.Raw(L"\r\n\r\n");
    w.Raw(TwoColumns(japanese ? kStandardFlags.heading_ja : kStandardFlags.heading_en,
                     japanese ? kAdditionalFlags.heading_ja : kAdditionalFlags.heading_en, 39));
    w.Raw(L"\r\n");
    w.Raw(Text{L"(no cpuid instruction)", L"(cpuid命令なし)"});
  }
  OperatingSystemSection(w, facts);
  DriveSection(w, facts);
  DisplaySection(w, facts);
  NetworkSection(w, facts);
  OtherSection(w, facts);
  return w.Take();
}

}  // namespace tblf::env
