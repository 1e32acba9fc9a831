#pragma once
// What the processor's cpuid leaves mean: vendor names, processor names by
// family and model, cache and TLB descriptors, and the names of the feature
// flag bits. Portable: the values come in as plain numbers.

#include <cstdint>
#include <optional>
#include <string>

namespace tblf::env {

// "GenuineIntel" -> "Intel"; an unknown vendor string gives "Unknown".
const wchar_t* VendorName(const std::string& vendorString);

// The architecture of a non-x86 system from GetSystemInfo's
// wProcessorArchitecture ("MIPS Architecture", "IA32 on Win64", ...).
std::wstring ArchitectureName(unsigned architecture);

// Family and model as software sees them: the extended family is added when
// the base family is 0Fh, the extended model is put in front when the base
// family is 06h or 0Fh.
struct CpuSignature {
  unsigned type = 0;      // processor type, bits 13:12
  unsigned family = 0;    // bits 11:8
  unsigned model = 0;     // bits 7:4
  unsigned stepping = 0;  // bits 3:0
  unsigned extFamily = 0; // bits 27:20
  unsigned extModel = 0;  // bits 19:16
  unsigned DisplayFamily() const { return family == 0xF ? family + extFamily : family; }
  unsigned DisplayModel() const { return (family == 0x6 || family == 0xF) ? (extModel << 4) + model : model; }
};
CpuSignature SignatureOf(std::uint32_t leaf1Eax);

// The processor's name from the vendor, family and model (the family/model
// table); an unknown combination gives a generic name with the numbers.
std::wstring ProcessorName(const std::string& vendorString, const CpuSignature& signature);

// The name that Intel's brand index (cpuid 1, EBX bits 7:0) stands for;
// nothing for 0 (use the brand string) or an unassigned index.
std::optional<std::wstring> IntelBrandIdName(unsigned brandIndex, std::uint32_t leaf1Eax);

// The L2 associativity field of cpuid 80000006h ECX bits 15:12.
std::wstring L2AssociativityName(unsigned field, bool japanese);

// One cache or TLB of a cpuid 2 descriptor byte.
enum class DescriptorKind { None, DataTlb, InstructionTlb, SharedTlb, L1Data, L1Instruction, L2, L3, Prefetch,
                            UseLeaf4, UseLeaf18 };
struct Descriptor {
  std::uint8_t code;
  DescriptorKind kind;
  unsigned sizeKbOrEntries;  // KB for caches, entries for TLBs
  unsigned ways;             // 0xFF fully associative
  unsigned lineSize;         // bytes; 0 for TLBs
};
// The descriptor of a code; nothing for an unknown code or 00h.
std::optional<Descriptor> LookUpDescriptor(std::uint8_t code);

// Names of the 32 bits of one feature register; "" marks a reserved bit.
struct FlagTable {
  const wchar_t* heading_en;
  const wchar_t* heading_ja;
  const wchar_t* names[32];
};

// cpuid 1 EDX and ECX.
extern const FlagTable kStandardFlags;
extern const FlagTable kAdditionalFlags;
// cpuid 80000001h EDX and ECX as AMD (and Hygon) define them.
extern const FlagTable kAmdExtendedFlags;
extern const FlagTable kAmdExtendedFlags2;
// cpuid 80000001h EDX and ECX as Intel defines them (VIA and Zhaoxin follow Intel).
extern const FlagTable kIntelExtendedFlags;
extern const FlagTable kIntelExtendedFlags2;
// cpuid 80000001h EDX of Cyrix, and of Centaur (IDT WinChip).
extern const FlagTable kCyrixExtendedFlags;
extern const FlagTable kCentaurExtendedFlags;
// cpuid 7 sub-leaf 0 EBX, ECX, EDX and sub-leaf 1 EAX.
extern const FlagTable kStructuredFlagsEbx;
extern const FlagTable kStructuredFlagsEcx;
extern const FlagTable kStructuredFlagsEdx;
extern const FlagTable kStructuredFlags1Eax;

// The longest flag name; the two-column layout reserves this width.
constexpr std::size_t kFlagNameWidth = 20;

}  // namespace tblf::env
