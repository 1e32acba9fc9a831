#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "envreport/cpu_tables.h"
#include "envreport/report.h"

namespace tblf::env {
namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The tables are data; the cases are the lookups' rules: a second string of
// one vendor, exact twelve characters, the unknown ones, and the extended
// model that counts only for families 6 and 0Fh.
TEST(VendorName, ExactTwelveCharactersOrUnknown) {
  const std::pair<const char*, const wchar_t*> cases[] = {
      {"GenuineIntel", L"Intel"},   {"AMDisbetter!", L"AMD"}, {"         IBM", L"IBM"},
      {"GenuineIntel ", L"Unknown"}, {"", L"Unknown"},         {"KVMKVMKVM", L"Unknown"},
  };
  for (const auto& [id, name] : cases) EXPECT_EQ(VendorName(id), std::wstring(name)) << "\"" << id << "\"";
}

TEST(ProcessorName, KnownSignaturesByVendorFamilyAndModel) {
  struct Case {
    const char* vendor;
    std::uint32_t eax;
    const wchar_t* name;
  };
  const Case cases[] = {
      {"GenuineIntel", 0x00000433, L"Intel 486DX2"},
      {"GenuineIntel", 0x000206A7, L"Intel Core 2nd generation (Sandy Bridge)"},
      {"AMDisbetter!", 0x00000511, L"AMD-K5 (5k86)"},
      {"AuthenticAMD", 0x00A60F12, L"AMD Ryzen 7000 (Zen 4, Raphael)"},
      {"CentaurHauls", 0x00000678, L"VIA C3 (Ezra)"},
      {"AuthenticAMD", 0x00010580, L"AMD-K6-2"},
      {"GenuineIntel", 0x00200F00, L"Intel Itanium 2"},
      {"KVMKVMKVM\0\0\0", 0x00000663, L"Unknown processor (Family 6h Model 6h)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProcessorName(c.vendor, SignatureOf(c.eax)), c.name) << c.vendor << " " << std::hex << c.eax;
  }
}

TEST(UtcDifferenceText, SignHoursAndMinutes) {
  const std::pair<int, const wchar_t*> cases[] = {
      {540, L"+09:00"}, {-210, L"-03:30"}, {0, L"+00:00"}, {345, L"+05:45"}, {-600, L"-10:00"}, {-30, L"-00:30"},
  };
  for (const auto& [minutes, text] : cases) EXPECT_EQ(UtcDifferenceText(minutes), text) << minutes;
}

TEST(FlagLines, BitNameAndValueInTwoColumnsTheRightOneAtColumn39) {
  const std::wstring lines = FlagLines(kStandardFlags, 0x00000011, &kAdditionalFlags, 0x80000000);
  std::wstring first = L" 0-FPU                 :1";
  first.resize(39, L' ');
  first = L"\r\n" + first + L" 0-SSE3                :0\r\n";
  ASSERT_EQ(lines.substr(0, first.size()), first);
  // Reserved bits (10 and 20 of EDX, 16 of ECX) are left out: 30 and 31 lines.
  EXPECT_NE(lines.find(L"\r\n 4-TSC                 :1"), std::wstring::npos);
  EXPECT_EQ(lines.find(L"\r\n10-"), std::wstring::npos);
  EXPECT_EQ(lines.find(L"\r\n20-"), std::wstring::npos);
  EXPECT_NE(lines.find(L"31-HYPERVISOR          :1"), std::wstring::npos);
  // The right column is longer by one line: the last line has only a right half.
  EXPECT_EQ(lines.substr(lines.rfind(L"\r\n")), L"\r\n" + std::wstring(39, L' ') + L"31-HYPERVISOR          :1");
}

TEST(FlagLines, OneColumnWhenTheVendorHasOneRegister) {
  const std::wstring lines = FlagLines(kCyrixExtendedFlags, 0x00800000, nullptr, 0);
  EXPECT_NE(lines.find(L"\r\n23-MMX                 :1\r\n"), std::wstring::npos);
  // Every line is one entry: bit, name padded to its width, value.
  for (std::size_t at = 0; at < lines.size(); at += 27) EXPECT_EQ(lines.substr(at, 2), L"\r\n") << at;
  EXPECT_EQ(lines.size() % 27, 0u);
}

TEST(FlagTables, EveryNameFitsTheReservedWidth) {
  const FlagTable* tables[] = {&kStandardFlags,       &kAdditionalFlags,     &kAmdExtendedFlags,
                               &kAmdExtendedFlags2,   &kIntelExtendedFlags,  &kIntelExtendedFlags2,
                               &kCyrixExtendedFlags,  &kCentaurExtendedFlags, &kStructuredFlagsEbx,
                               &kStructuredFlagsEcx,  &kStructuredFlagsEdx,  &kStructuredFlags1Eax};
  for (const FlagTable* table : tables) {
    for (const wchar_t* name : table->names) EXPECT_LE(std::wstring(name).size(), kFlagNameWidth) << Narrow(name);
  }
}

TEST(TwoColumns, WideCharactersTakeTwoCells) {
  EXPECT_EQ(TwoColumns(L"[L1データキャッシュ]", L"[L1命令キャッシュ]", 40),
            L"[L1データキャッシュ]" + std::wstring(20, L' ') + L"[L1命令キャッシュ]");
  EXPECT_EQ(TwoColumns(std::wstring(45, L'x'), L"y", 40), std::wstring(45, L'x') + L" y");
}

// A processor made of a table of cpuid answers; leaves not in it answer zeros.
class FakeCpu {
 public:
  FakeCpu(const char* vendor, std::uint32_t maxStd, std::uint32_t maxExt) {
    auto reg = [&](int at) {
      std::uint32_t v = 0;
      for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(vendor[at + i]);
      return v;
    };
    Set(0, 0, {maxStd, reg(0), reg(8), reg(4)});
    Set(0x80000000u, 0, {maxExt, 0, 0, 0});
  }
  FakeCpu& Set(std::uint32_t leaf, std::uint32_t sub, CpuidRegs regs) {
    leaves_[{leaf, sub}] = regs;
    return *this;
  }
  CpuidFunction Function() const {
    return [leaves = leaves_](std::uint32_t leaf, std::uint32_t sub) {
      auto it = leaves.find({leaf, sub});
      return it == leaves.end() ? CpuidRegs{} : it->second;
    };
  }

 private:
  std::map<std::pair<std::uint32_t, std::uint32_t>, CpuidRegs> leaves_;
};

bool HasLine(const std::wstring& report, const std::wstring& line) {
  return report.find(L"\r\n" + line + L"\r\n") != std::wstring::npos;
}

// Each of `lines` is a whole line of the report.
void ExpectLines(const std::wstring& report, std::initializer_list<std::wstring> lines) {
  for (const std::wstring& line : lines) EXPECT_TRUE(HasLine(report, line)) << Narrow(line) << "\n" << Narrow(report);
}

TEST(EnvironmentReport, AmdCachesAndTlbsFromTheExtendedLeaves) {
  EnvironmentFacts facts;
  facts.cpuid = FakeCpu("AuthenticAMD", 0x10, 0x80000008u)
                    .Set(1, 0, {0x00A20F10, 0x00100800, 0, 0x178BFBFF})
                    .Set(0x80000005u, 0, {0xFF40FF40, 0xFF40FF40, 0x20080140, 0x20080140})
                    .Set(0x80000006u, 0, {0, 0, 0x02006140, 0})
                    .Set(0x80000008u, 0, {0x00003030, 0, 0, 0})
                    .Function();
  const std::wstring r = BuildEnvironmentReport(facts, false);
  const std::wstring assoc = L" Associativity: FFh" + std::wstring(21, L' ') + L" Associativity: FFh";
  ExpectLines(r, {L"Processor     :AMD", L"Max Logical Processors:16", L"L2 Cache Line size      :64 bytes",
                 L"L2 Associativity field  :8ways", L"L2 Cache size           :512 KB",
                 L"Physical Address Bits   :48", assoc,
                 L" Size         : 32KB" + std::wstring(20, L' ') + L" Size         : 32KB"});
  EXPECT_NE(r.find(L"[CPUID Extended Feature Flag (AMD)]"), std::wstring::npos);
  EXPECT_EQ(r.find(L"(Intel)]"), std::wstring::npos);
}

TEST(EnvironmentReport, IntelCachesFromLeaf4AndTlbsFromLeaf18) {
  EnvironmentFacts facts;
  facts.cpuid = FakeCpu("GenuineIntel", 0x18, 0x80000008u)
                    .Set(1, 0, {0x000906EA, 0, 0, 0})
                    .Set(2, 0, {0x00FEFF01, 0, 0, 0})
                    .Set(4, 0, {0x121, 0x01C0003F, 63, 0})
                    .Set(4, 1, {0x122, 0x01C0003F, 63, 0})
                    .Set(4, 2, {0x143, 0x00C0003F, 1023, 0})
                    .Set(0x18, 0, {1, (8u << 16) | 1, 8, 0x21})
                    .Set(0x18, 1, {0, (8u << 16) | 1, 16, 0x22})
                    .Function();
  const std::wstring r = BuildEnvironmentReport(facts, false);
  ExpectLines(r, {L"L2 Cache Line size      :64 bytes", L"L2 Associativity field  :4ways",
                 L"L2 Cache size           :256 KB", L"Physical Address Bits   :(unknown)",
                 L" #Entry       : 64" + std::wstring(22, L' ') + L" #Entry       : 128",
                 L" Associativity: 08h" + std::wstring(21, L' ') + L" Associativity: 08h",
                 L" Line size    : 64bytes" + std::wstring(17, L' ') + L" Line size    : 64bytes"});
  EXPECT_NE(r.find(L"[CPUID Extended Feature Flag (Intel)]"), std::wstring::npos);
}

// The headings of the report in order, English and Japanese.
const std::pair<const wchar_t*, const wchar_t*> kHeadings[] = {
    {L"PRBX32.LIB ver.5.24.30 [May 15 2016](Unicode)", L"PRBX32.LIB ver.5.24.30 [May 15 2016](Unicode)"},
    {L"\r\n\r\n[Processor]\r\nProcessor     :", L"\r\n\r\n[プロセッサ]\r\nプロセッサ    :"},
    {L"\r\n\r\n[Memory Cache]\r\n", L"\r\n\r\n[メモリキャッシュ]\r\n"},
    {L"\r\n\r\n[Linear/Physical Address size]\r\n", L"\r\n\r\n[リニア/物理アドレスサイズ]\r\n"},
    {L"\r\n\r\n[TLB Information]\r\n <Data TLB>                             <Instruction TLB>\r\n",
     L"\r\n\r\n[TLB情報]\r\n <データTLB>                            <命令TLB>\r\n"},
    {L"\r\n[L1 Data Cache]                         [L1 Instruction Cache]\r\n",
     L"\r\n[L1データキャッシュ]                    [L1命令キャッシュ]\r\n"},
    {L"\r\n\r\n[CPUID Standard Feature Flag]          [CPUID Additional Feature Flag]\r\n",
     L"\r\n\r\n[CPUID 標準機能フラグ]                 [CPUID 追加機能フラグ]\r\n"},
    {L"\r\n\r\n[Operating System]\r\nOS version    :Windows ", L"\r\n\r\n[オペレーティングシステム]\r\nOSバージョン  :Windows "},
    {L"\r\n\r\n[Disk Drives]\r\n   Type      Disk Free Space  Con.I/F  FileSys. Serial    Valume Label\r\n",
     L"\r\n\r\n[ディスクドライブ]\r\n"},
    {L"\r\n[Display Adapter]\r\n", L"\r\n[ディスプレイアダプタ]\r\n"},
    {L"\r\n[Network Adapter]", L"\r\n[ネットワークアダプタ]"},
    {L"\r\n[Other Information]\r\n", L"\r\n[その他]\r\n"},
};

TEST(EnvironmentReport, EveryHeadingInOrderInBothLanguages) {
  EnvironmentFacts facts;
  facts.cpuid = FakeCpu("GenuineIntel", 1, 0).Set(1, 0, {0x00000F29, 0, 0, 0}).Function();
  for (bool japanese : {false, true}) {
    const std::wstring r = BuildEnvironmentReport(facts, japanese);
    std::size_t at = 0;
    for (const auto& [en, ja] : kHeadings) {
      const std::size_t found = r.find(japanese ? ja : en, at);
      ASSERT_NE(found, std::wstring::npos) << (japanese ? "ja " : "en ") << Narrow(en) << "\n" << Narrow(r);
      at = found + 1;
    }
    EXPECT_EQ(r.substr(r.size() - 2), L"\r\n");
  }
}

TEST(EnvironmentReport, WhatCannotBeGatheredIsWrittenAsText) {
  EnvironmentFacts facts;  // nothing gathered, no cpuid, no adapter list
  facts.architecture = 12;
  facts.drives.push_back({});
  facts.drives[0].letter = L'E';
  facts.drives[0].type = 5;
  facts.drives[0].noMedia = true;
  facts.driveDetailsNeedRights = true;
  const std::wstring r = BuildEnvironmentReport(facts, false);
  ExpectLines(r, {L"Processor     :ARM64 Architecture", L"CPUID         :(no cpuid instruction)",
                 L"Frequency     :(unknown)", L"Machine Name  :(unknown)", L"E: CD-ROM    (no media)"});
  EXPECT_NE(r.find(L"\r\nBecause the administrator authority is not enough, there is an unknown drive "
                   L"information.\r\n"),
            std::wstring::npos);
  EXPECT_NE(r.find(L"\r\n[Network Adapter]\r\nCall to GetAdaptersInfo failed.\r\n"), std::wstring::npos);
  const std::wstring ja = BuildEnvironmentReport(facts, true);
  ExpectLines(ja, {L"コンピュータ名:(不明)", L"プロセッサ    :ARM64 Architecture"});
}

TEST(EnvironmentReport, FrequencyAndDriveLinesKeepTheirColumns) {
  EnvironmentFacts facts;
  facts.frequency = Frequency{319205, TimerMethod::PerformanceCounter};
  Drive c;
  c.letter = L'C';
  c.type = 3;
  c.freeBytes = 45ull << 30;
  c.totalBytes = 237ull << 30;
  c.busType = 0x11;
  c.fileSystem = L"NTFS";
  c.serial = 0x1234ABCD;
  c.label = L"System";
  facts.drives = {c};
  facts.networkAdapters.emplace();
  const std::wstring r = BuildEnvironmentReport(facts, false);
  ExpectLines(r, {L"Frequency     : 3192.05 MHz (with High-resolution performance counter)",
                 L"C: Fixed       45.0/ 237.0GB  NVMe     NTFS     1234-ABCD System"});
  EXPECT_EQ(r.find(L"Because the administrator"), std::wstring::npos);
  EXPECT_EQ(r.find(L"GetAdaptersInfo"), std::wstring::npos);
}

}  // namespace
}  // namespace tblf::env
