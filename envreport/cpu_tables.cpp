#include "envreport/cpu_tables.h"

#include <cwchar>

namespace tblf::env {
namespace {

struct VendorRow {
  const char* id;
  const wchar_t* name;
};

const VendorRow kVendors[] = {
    {"GenuineIntel", L"Intel"},
    {"AuthenticAMD", L"AMD"},
    {"AMDisbetter!", L"AMD"},
    {"CyrixInstead", L"Cyrix"},
    {"CentaurHauls", L"Centaur Technology"},
    {"NexGenDriven", L"NexGen"},
    {"GenuineTMx86", L"Transmeta"},
    {"TransmetaCPU", L"Transmeta"},
    {"Geode by NSC", L"NSC"},
    {"RiseRiseRise", L"Rise"},
    {"UMC UMC UMC ", L"UMC"},
    {"SiS SiS SiS ", L"SiS"},
    {"VIA VIA VIA ", L"VIA"},
    {"         IBM", L"IBM"},
    // Vendors of the last years.
    {"HygonGenuine", L"Hygon"},
    {"  Shanghai  ", L"Zhaoxin"},
    {"Vortex86 SoC", L"DM&P Vortex86"},
    {"Genuine  RDC", L"RDC"},
    {"E2K MACHINE", L"MCST Elbrus"},
};

struct NameRow {
  const char* vendor;
  unsigned family;  // display family
  unsigned modelLow, modelHigh;
  const wchar_t* name;
};

// Display family and model to the processor's name. The first row that fits wins.
const NameRow kNames[] = {
    // Intel
    {"GenuineIntel", 0x0, 0x00, 0xFF, L"8086"},
    {"GenuineIntel", 0x3, 0x00, 0xFF, L"Intel 80386"},
    {"GenuineIntel", 0x4, 0x00, 0x01, L"Intel 486DX"},
    {"GenuineIntel", 0x4, 0x02, 0x02, L"Intel 486SX"},
    {"GenuineIntel", 0x4, 0x03, 0x03, L"Intel 486DX2"},
    {"GenuineIntel", 0x4, 0x04, 0x04, L"Intel 486SL"},
    {"GenuineIntel", 0x4, 0x05, 0x05, L"Intel 486SX2"},
    {"GenuineIntel", 0x4, 0x07, 0x07, L"Intel Write-Back Enhanced 486DX2"},
    {"GenuineIntel", 0x4, 0x08, 0x08, L"Intel 486DX4"},
    {"GenuineIntel", 0x4, 0x09, 0x09, L"Intel Write-Back Enhanced 486DX4"},
    {"GenuineIntel", 0x4, 0x00, 0xFF, L"Intel 486"},
    {"GenuineIntel", 0x5, 0x00, 0x00, L"Intel Pentium (A-step)"},
    {"GenuineIntel", 0x5, 0x01, 0x01, L"Intel Pentium (60/66 MHz)"},
    {"GenuineIntel", 0x5, 0x02, 0x02, L"Intel Pentium (75-200 MHz)"},
    {"GenuineIntel", 0x5, 0x03, 0x03, L"Intel Pentium OverDrive for 486"},
    {"GenuineIntel", 0x5, 0x04, 0x04, L"Intel Pentium MMX"},
    {"GenuineIntel", 0x5, 0x07, 0x07, L"Intel Mobile Pentium (75-200 MHz)"},
    {"GenuineIntel", 0x5, 0x08, 0x08, L"Intel Mobile Pentium MMX"},
    {"GenuineIntel", 0x5, 0x09, 0x0A, L"Intel Quark"},
    {"GenuineIntel", 0x5, 0x00, 0xFF, L"Intel Pentium"},
    {"GenuineIntel", 0x6, 0x00, 0x01, L"Intel Pentium Pro"},
    {"GenuineIntel", 0x6, 0x03, 0x03, L"Intel Pentium II (Klamath)"},
    {"GenuineIntel", 0x6, 0x05, 0x05, L"Intel Pentium II / Pentium II Xeon (Deschutes)"},
    {"GenuineIntel", 0x6, 0x06, 0x06, L"Intel Celeron (Mendocino)"},
    {"GenuineIntel", 0x6, 0x07, 0x07, L"Intel Pentium III (Katmai)"},
    {"GenuineIntel", 0x6, 0x08, 0x08, L"Intel Pentium III (Coppermine)"},
    {"GenuineIntel", 0x6, 0x09, 0x09, L"Intel Pentium M (Banias)"},
    {"GenuineIntel", 0x6, 0x0A, 0x0A, L"Intel Pentium III Xeon (Cascades)"},
    {"GenuineIntel", 0x6, 0x0B, 0x0B, L"Intel Pentium III (Tualatin)"},
    {"GenuineIntel", 0x6, 0x0D, 0x0D, L"Intel Pentium M (Dothan)"},
    {"GenuineIntel", 0x6, 0x0E, 0x0E, L"Intel Core Solo / Core Duo (Yonah)"},
    {"GenuineIntel", 0x6, 0x0F, 0x0F, L"Intel Core 2 (Merom)"},
    {"GenuineIntel", 0x6, 0x15, 0x15, L"Intel EP80579 (Tolapai)"},
    {"GenuineIntel", 0x6, 0x16, 0x16, L"Intel Core 2 / Celeron (Merom-L)"},
    {"GenuineIntel", 0x6, 0x17, 0x17, L"Intel Core 2 (Penryn)"},
    {"GenuineIntel", 0x6, 0x1A, 0x1A, L"Intel Core i7 / Xeon (Nehalem)"},
    {"GenuineIntel", 0x6, 0x1C, 0x1C, L"Intel Atom (Bonnell)"},
    {"GenuineIntel", 0x6, 0x1D, 0x1D, L"Intel Xeon 7400 (Dunnington)"},
    {"GenuineIntel", 0x6, 0x1E, 0x1F, L"Intel Core i5/i7 (Nehalem, Lynnfield)"},
    {"GenuineIntel", 0x6, 0x25, 0x25, L"Intel Core i3/i5/i7 (Westmere, Clarkdale)"},
    {"GenuineIntel", 0x6, 0x26, 0x26, L"Intel Atom (Bonnell, Lincroft)"},
    {"GenuineIntel", 0x6, 0x27, 0x27, L"Intel Atom (Saltwell, Penwell)"},
    {"GenuineIntel", 0x6, 0x2A, 0x2A, L"Intel Core 2nd generation (Sandy Bridge)"},
    {"GenuineIntel", 0x6, 0x2C, 0x2C, L"Intel Core i7 / Xeon (Westmere-EP)"},
    {"GenuineIntel", 0x6, 0x2D, 0x2D, L"Intel Core i7 / Xeon E5 (Sandy Bridge-E)"},
    {"GenuineIntel", 0x6, 0x2E, 0x2E, L"Intel Xeon 7500 (Nehalem-EX)"},
    {"GenuineIntel", 0x6, 0x2F, 0x2F, L"Intel Xeon E7 (Westmere-EX)"},
    {"GenuineIntel", 0x6, 0x35, 0x36, L"Intel Atom (Saltwell)"},
    {"GenuineIntel", 0x6, 0x37, 0x37, L"Intel Atom / Celeron / Pentium (Silvermont, Bay Trail)"},
    {"GenuineIntel", 0x6, 0x3A, 0x3A, L"Intel Core 3rd generation (Ivy Bridge)"},
    {"GenuineIntel", 0x6, 0x3C, 0x3C, L"Intel Core 4th generation (Haswell)"},
    {"GenuineIntel", 0x6, 0x3D, 0x3D, L"Intel Core 5th generation (Broadwell)"},
    {"GenuineIntel", 0x6, 0x3E, 0x3E, L"Intel Core i7 / Xeon v2 (Ivy Bridge-E)"},
    {"GenuineIntel", 0x6, 0x3F, 0x3F, L"Intel Core i7 / Xeon v3 (Haswell-E)"},
    {"GenuineIntel", 0x6, 0x45, 0x46, L"Intel Core 4th generation (Haswell)"},
    {"GenuineIntel", 0x6, 0x47, 0x47, L"Intel Core 5th generation (Broadwell-H)"},
    {"GenuineIntel", 0x6, 0x4A, 0x4A, L"Intel Atom (Silvermont, Merrifield)"},
    {"GenuineIntel", 0x6, 0x4C, 0x4C, L"Intel Atom / Celeron / Pentium (Airmont, Cherry Trail)"},
    {"GenuineIntel", 0x6, 0x4D, 0x4D, L"Intel Atom C2000 (Silvermont, Avoton)"},
    {"GenuineIntel", 0x6, 0x4E, 0x4E, L"Intel Core 6th generation (Skylake-U/Y)"},
    {"GenuineIntel", 0x6, 0x4F, 0x4F, L"Intel Core i7 / Xeon v4 (Broadwell-E)"},
    {"GenuineIntel", 0x6, 0x55, 0x55, L"Intel Xeon Scalable (Skylake-SP / Cascade Lake)"},
    {"GenuineIntel", 0x6, 0x56, 0x56, L"Intel Xeon D (Broadwell-DE)"},
    {"GenuineIntel", 0x6, 0x57, 0x57, L"Intel Xeon Phi (Knights Landing)"},
    {"GenuineIntel", 0x6, 0x5A, 0x5A, L"Intel Atom (Silvermont, Moorefield)"},
    {"GenuineIntel", 0x6, 0x5C, 0x5C, L"Intel Atom / Celeron / Pentium (Goldmont, Apollo Lake)"},
    {"GenuineIntel", 0x6, 0x5D, 0x5D, L"Intel Atom (Silvermont, SoFIA)"},
    {"GenuineIntel", 0x6, 0x5E, 0x5E, L"Intel Core 6th generation (Skylake-H/S)"},
    {"GenuineIntel", 0x6, 0x5F, 0x5F, L"Intel Atom C3000 (Goldmont, Denverton)"},
    {"GenuineIntel", 0x6, 0x66, 0x66, L"Intel Core 8th generation (Cannon Lake)"},
    {"GenuineIntel", 0x6, 0x6A, 0x6A, L"Intel Xeon Scalable 3rd generation (Ice Lake-SP)"},
    {"GenuineIntel", 0x6, 0x6C, 0x6C, L"Intel Xeon D (Ice Lake-D)"},
    {"GenuineIntel", 0x6, 0x7A, 0x7A, L"Intel Celeron / Pentium Silver (Goldmont Plus)"},
    {"GenuineIntel", 0x6, 0x7D, 0x7E, L"Intel Core 10th generation (Ice Lake)"},
    {"GenuineIntel", 0x6, 0x85, 0x85, L"Intel Xeon Phi (Knights Mill)"},
    {"GenuineIntel", 0x6, 0x86, 0x86, L"Intel Atom (Tremont, Snow Ridge)"},
    {"GenuineIntel", 0x6, 0x8A, 0x8A, L"Intel Core (Lakefield)"},
    {"GenuineIntel", 0x6, 0x8C, 0x8D, L"Intel Core 11th generation (Tiger Lake)"},
    {"GenuineIntel", 0x6, 0x8E, 0x8E, L"Intel Core 7th-10th generation (Kaby Lake / Whiskey Lake / Comet Lake)"},
    {"GenuineIntel", 0x6, 0x8F, 0x8F, L"Intel Xeon Scalable 4th generation (Sapphire Rapids)"},
    {"GenuineIntel", 0x6, 0x96, 0x96, L"Intel Celeron / Pentium (Tremont, Elkhart Lake)"},
    {"GenuineIntel", 0x6, 0x97, 0x97, L"Intel Core 12th generation (Alder Lake-S)"},
    {"GenuineIntel", 0x6, 0x9A, 0x9A, L"Intel Core 12th generation (Alder Lake-P)"},
    {"GenuineIntel", 0x6, 0x9C, 0x9C, L"Intel Celeron / Pentium Silver (Tremont, Jasper Lake)"},
    {"GenuineIntel", 0x6, 0x9E, 0x9E, L"Intel Core 7th-9th generation (Kaby Lake / Coffee Lake)"},
    {"GenuineIntel", 0x6, 0xA5, 0xA6, L"Intel Core 10th generation (Comet Lake)"},
    {"GenuineIntel", 0x6, 0xA7, 0xA7, L"Intel Core 11th generation (Rocket Lake)"},
    {"GenuineIntel", 0x6, 0xAA, 0xAC, L"Intel Core Ultra Series 1 (Meteor Lake)"},
    {"GenuineIntel", 0x6, 0xAD, 0xAE, L"Intel Xeon 6 (Granite Rapids)"},
    {"GenuineIntel", 0x6, 0xAF, 0xAF, L"Intel Xeon 6 (Sierra Forest)"},
    {"GenuineIntel", 0x6, 0xB5, 0xB5, L"Intel Core Ultra Series 2 (Arrow Lake-U)"},
    {"GenuineIntel", 0x6, 0xB6, 0xB6, L"Intel Atom (Crestmont, Grand Ridge)"},
    {"GenuineIntel", 0x6, 0xB7, 0xB7, L"Intel Core 13th/14th generation (Raptor Lake-S)"},
    {"GenuineIntel", 0x6, 0xBA, 0xBA, L"Intel Core 13th generation (Raptor Lake-P)"},
    {"GenuineIntel", 0x6, 0xBD, 0xBD, L"Intel Core Ultra Series 2 (Lunar Lake)"},
    {"GenuineIntel", 0x6, 0xBE, 0xBE, L"Intel Core i3 / N-series (Alder Lake-N)"},
    {"GenuineIntel", 0x6, 0xBF, 0xBF, L"Intel Core 13th/14th generation (Raptor Lake-S)"},
    {"GenuineIntel", 0x6, 0xC5, 0xC6, L"Intel Core Ultra Series 2 (Arrow Lake)"},
    {"GenuineIntel", 0x6, 0xCC, 0xCC, L"Intel Core Ultra Series 3 (Panther Lake)"},
    {"GenuineIntel", 0x6, 0xCF, 0xCF, L"Intel Xeon Scalable 5th generation (Emerald Rapids)"},
    {"GenuineIntel", 0x6, 0xDD, 0xDD, L"Intel Xeon 6 (Clearwater Forest)"},
    {"GenuineIntel", 0x6, 0x00, 0xFF, L"Intel P6 family processor"},
    {"GenuineIntel", 0x7, 0x00, 0xFF, L"Intel Itanium"},
    {"GenuineIntel", 0xF, 0x00, 0x01, L"Intel Pentium 4 Processor (Willamette)"},
    {"GenuineIntel", 0xF, 0x02, 0x02, L"Intel Pentium 4 Processor (Northwood)"},
    {"GenuineIntel", 0xF, 0x03, 0x04, L"Intel Pentium 4 Processor (Prescott)"},
    {"GenuineIntel", 0xF, 0x06, 0x06, L"Intel Pentium 4 Processor (Cedar Mill)"},
    {"GenuineIntel", 0xF, 0x00, 0xFF, L"Intel Pentium 4 Processor"},
    {"GenuineIntel", 0x11, 0x00, 0xFF, L"Intel Itanium 2"},
    {"GenuineIntel", 0x12, 0x00, 0xFF, L"Intel Core (family 12h)"},
    {"GenuineIntel", 0x13, 0x00, 0xFF, L"Intel Xeon (family 13h)"},
    // AMD
    {"AuthenticAMD", 0x4, 0x03, 0x03, L"AMD Am486DX2"},
    {"AuthenticAMD", 0x4, 0x07, 0x07, L"AMD Am486DX2 Write-Back"},
    {"AuthenticAMD", 0x4, 0x08, 0x08, L"AMD Am486DX4"},
    {"AuthenticAMD", 0x4, 0x09, 0x09, L"AMD Am486DX4 Write-Back"},
    {"AuthenticAMD", 0x4, 0x0E, 0x0F, L"AMD Am5x86"},
    {"AuthenticAMD", 0x4, 0x00, 0xFF, L"AMD Am486"},
    {"AuthenticAMD", 0x5, 0x00, 0x00, L"AMD-K5 (SSA/5)"},
    {"AuthenticAMD", 0x5, 0x01, 0x03, L"AMD-K5 (5k86)"},
    {"AuthenticAMD", 0x5, 0x06, 0x07, L"AMD-K6"},
    {"AuthenticAMD", 0x5, 0x08, 0x08, L"AMD-K6-2"},
    {"AuthenticAMD", 0x5, 0x09, 0x09, L"AMD-K6-III"},
    {"AuthenticAMD", 0x5, 0x0A, 0x0A, L"AMD Geode LX"},
    {"AuthenticAMD", 0x5, 0x0D, 0x0D, L"AMD-K6-2+ / K6-III+"},
    {"AuthenticAMD", 0x6, 0x01, 0x02, L"AMD Athlon (K7)"},
    {"AuthenticAMD", 0x6, 0x03, 0x03, L"AMD Duron (Spitfire)"},
    {"AuthenticAMD", 0x6, 0x04, 0x04, L"AMD Athlon (Thunderbird)"},
    {"AuthenticAMD", 0x6, 0x06, 0x06, L"AMD Athlon XP / MP (Palomino)"},
    {"AuthenticAMD", 0x6, 0x07, 0x07, L"AMD Duron (Morgan)"},
    {"AuthenticAMD", 0x6, 0x08, 0x08, L"AMD Athlon XP (Thoroughbred)"},
    {"AuthenticAMD", 0x6, 0x0A, 0x0A, L"AMD Athlon XP (Barton)"},
    {"AuthenticAMD", 0x6, 0x00, 0xFF, L"AMD Athlon (K7)"},
    {"AuthenticAMD", 0xF, 0x00, 0x3F, L"AMD Athlon 64 / Opteron (K8)"},
    {"AuthenticAMD", 0xF, 0x40, 0xFF, L"AMD Athlon 64 X2 / Opteron (K8)"},
    {"AuthenticAMD", 0x10, 0x02, 0x02, L"AMD Phenom / Opteron (K10, Barcelona)"},
    {"AuthenticAMD", 0x10, 0x04, 0x04, L"AMD Phenom II / Opteron (K10, Deneb)"},
    {"AuthenticAMD", 0x10, 0x05, 0x06, L"AMD Athlon II / Sempron (K10)"},
    {"AuthenticAMD", 0x10, 0x08, 0x09, L"AMD Opteron (K10, Istanbul / Magny-Cours)"},
    {"AuthenticAMD", 0x10, 0x0A, 0x0A, L"AMD Phenom II X6 (K10, Thuban)"},
    {"AuthenticAMD", 0x10, 0x00, 0xFF, L"AMD K10"},
    {"AuthenticAMD", 0x11, 0x00, 0xFF, L"AMD Turion X2 Ultra (Griffin)"},
    {"AuthenticAMD", 0x12, 0x00, 0xFF, L"AMD A-Series (Llano)"},
    {"AuthenticAMD", 0x14, 0x00, 0xFF, L"AMD E-/C-Series (Bobcat)"},
    {"AuthenticAMD", 0x15, 0x00, 0x01, L"AMD FX / Opteron (Bulldozer)"},
    {"AuthenticAMD", 0x15, 0x02, 0x02, L"AMD FX / Opteron (Piledriver)"},
    {"AuthenticAMD", 0x15, 0x10, 0x1F, L"AMD A-Series (Piledriver, Trinity / Richland)"},
    {"AuthenticAMD", 0x15, 0x30, 0x3F, L"AMD A-Series (Steamroller, Kaveri)"},
    {"AuthenticAMD", 0x15, 0x60, 0x7F, L"AMD A-Series (Excavator, Carrizo / Bristol Ridge)"},
    {"AuthenticAMD", 0x15, 0x00, 0xFF, L"AMD Bulldozer family"},
    {"AuthenticAMD", 0x16, 0x00, 0x0F, L"AMD A-/E-Series (Jaguar, Kabini)"},
    {"AuthenticAMD", 0x16, 0x30, 0x3F, L"AMD A-/E-Series (Puma, Beema / Mullins)"},
    {"AuthenticAMD", 0x16, 0x00, 0xFF, L"AMD Jaguar family"},
    {"AuthenticAMD", 0x17, 0x00, 0x07, L"AMD Ryzen / EPYC (Zen, Summit Ridge / Naples)"},
    {"AuthenticAMD", 0x17, 0x08, 0x0F, L"AMD Ryzen (Zen+, Pinnacle Ridge)"},
    {"AuthenticAMD", 0x17, 0x10, 0x17, L"AMD Ryzen (Zen, Raven Ridge)"},
    {"AuthenticAMD", 0x17, 0x18, 0x1F, L"AMD Ryzen (Zen+, Picasso)"},
    {"AuthenticAMD", 0x17, 0x20, 0x2F, L"AMD Athlon (Zen, Dali)"},
    {"AuthenticAMD", 0x17, 0x30, 0x3F, L"AMD EPYC / Ryzen Threadripper (Zen 2, Rome)"},
    {"AuthenticAMD", 0x17, 0x60, 0x67, L"AMD Ryzen 4000 (Zen 2, Renoir)"},
    {"AuthenticAMD", 0x17, 0x68, 0x6F, L"AMD Ryzen 5000 (Zen 2, Lucienne)"},
    {"AuthenticAMD", 0x17, 0x70, 0x7F, L"AMD Ryzen 3000 (Zen 2, Matisse)"},
    {"AuthenticAMD", 0x17, 0x90, 0x9F, L"AMD Custom APU (Zen 2, Van Gogh)"},
    {"AuthenticAMD", 0x17, 0xA0, 0xAF, L"AMD Ryzen 7020 (Zen 2, Mendocino)"},
    {"AuthenticAMD", 0x17, 0x00, 0xFF, L"AMD Zen / Zen 2"},
    {"AuthenticAMD", 0x19, 0x00, 0x0F, L"AMD EPYC / Ryzen Threadripper (Zen 3, Milan)"},
    {"AuthenticAMD", 0x19, 0x10, 0x1F, L"AMD EPYC (Zen 4, Genoa)"},
    {"AuthenticAMD", 0x19, 0x20, 0x2F, L"AMD Ryzen 5000 (Zen 3, Vermeer)"},
    {"AuthenticAMD", 0x19, 0x40, 0x4F, L"AMD Ryzen 6000 (Zen 3+, Rembrandt)"},
    {"AuthenticAMD", 0x19, 0x50, 0x5F, L"AMD Ryzen 5000 (Zen 3, Cezanne)"},
    {"AuthenticAMD", 0x19, 0x60, 0x6F, L"AMD Ryzen 7000 (Zen 4, Raphael)"},
    {"AuthenticAMD", 0x19, 0x70, 0x7F, L"AMD Ryzen 7040 / 8040 (Zen 4, Phoenix)"},
    {"AuthenticAMD", 0x19, 0xA0, 0xAF, L"AMD EPYC (Zen 4c, Bergamo / Siena)"},
    {"AuthenticAMD", 0x19, 0x00, 0xFF, L"AMD Zen 3 / Zen 4"},
    {"AuthenticAMD", 0x1A, 0x00, 0x1F, L"AMD EPYC 9005 (Zen 5, Turin)"},
    {"AuthenticAMD", 0x1A, 0x20, 0x2F, L"AMD Ryzen AI 300 (Zen 5, Strix Point)"},
    {"AuthenticAMD", 0x1A, 0x40, 0x4F, L"AMD Ryzen 9000 (Zen 5, Granite Ridge)"},
    {"AuthenticAMD", 0x1A, 0x60, 0x7F, L"AMD Ryzen AI (Zen 5, Strix Halo / Krackan Point)"},
    {"AuthenticAMD", 0x1A, 0x00, 0xFF, L"AMD Zen 5"},
    {"HygonGenuine", 0x18, 0x00, 0xFF, L"Hygon Dhyana"},
    // Cyrix, Centaur / VIA / Zhaoxin and the others
    {"CyrixInstead", 0x4, 0x04, 0x04, L"Cyrix MediaGX"},
    {"CyrixInstead", 0x4, 0x09, 0x09, L"Cyrix 5x86"},
    {"CyrixInstead", 0x5, 0x02, 0x02, L"Cyrix 6x86 (M1)"},
    {"CyrixInstead", 0x5, 0x04, 0x04, L"Cyrix MediaGX MMX Enhanced"},
    {"CyrixInstead", 0x6, 0x00, 0x00, L"Cyrix 6x86MX / MII (M2)"},
    {"CyrixInstead", 0x6, 0x05, 0x05, L"VIA Cyrix III (Joshua)"},
    {"CentaurHauls", 0x5, 0x04, 0x04, L"IDT WinChip C6"},
    {"CentaurHauls", 0x5, 0x08, 0x08, L"IDT WinChip 2"},
    {"CentaurHauls", 0x5, 0x09, 0x09, L"IDT WinChip 3"},
    {"CentaurHauls", 0x6, 0x06, 0x06, L"VIA C3 (Samuel)"},
    {"CentaurHauls", 0x6, 0x07, 0x08, L"VIA C3 (Ezra)"},
    {"CentaurHauls", 0x6, 0x09, 0x09, L"VIA C3 (Nehemiah)"},
    {"CentaurHauls", 0x6, 0x0A, 0x0D, L"VIA C7 (Esther)"},
    {"CentaurHauls", 0x6, 0x0F, 0x0F, L"VIA Nano (Isaiah)"},
    {"CentaurHauls", 0x6, 0x19, 0x19, L"Zhaoxin ZX-C"},
    {"CentaurHauls", 0x7, 0x00, 0xFF, L"Zhaoxin KaiXian"},
    {"  Shanghai  ", 0x6, 0x00, 0xFF, L"Zhaoxin ZX-C"},
    {"  Shanghai  ", 0x7, 0x1B, 0x1B, L"Zhaoxin KaiXian KX-5000"},
    {"  Shanghai  ", 0x7, 0x3B, 0x3B, L"Zhaoxin KaiXian KX-6000"},
    {"  Shanghai  ", 0x7, 0x5B, 0x5B, L"Zhaoxin KaiXian KX-7000"},
    {"  Shanghai  ", 0x7, 0x00, 0xFF, L"Zhaoxin KaiXian"},
    {"NexGenDriven", 0x5, 0x00, 0xFF, L"NexGen Nx586"},
    {"RiseRiseRise", 0x5, 0x00, 0x00, L"Rise mP6 (iDragon)"},
    {"RiseRiseRise", 0x5, 0x02, 0x02, L"Rise mP6 (iDragon II)"},
    {"UMC UMC UMC ", 0x4, 0x01, 0x01, L"UMC U5D"},
    {"UMC UMC UMC ", 0x4, 0x02, 0x02, L"UMC U5S"},
    {"GenuineTMx86", 0x5, 0x00, 0xFF, L"Transmeta Crusoe"},
    {"GenuineTMx86", 0xF, 0x00, 0xFF, L"Transmeta Efficeon"},
    {"TransmetaCPU", 0x5, 0x00, 0xFF, L"Transmeta Crusoe"},
    {"Geode by NSC", 0x5, 0x04, 0x04, L"NSC Geode GX1"},
    {"Geode by NSC", 0x5, 0x05, 0x05, L"NSC Geode GX2"},
    {"SiS SiS SiS ", 0x5, 0x00, 0xFF, L"SiS 55x"},
    {"Vortex86 SoC", 0x5, 0x00, 0xFF, L"DM&P Vortex86"},
    {"Vortex86 SoC", 0x6, 0x00, 0xFF, L"DM&P Vortex86"},
};

const wchar_t* Hex(unsigned value, wchar_t (&buffer)[16]) {
  std::swprintf(buffer, 16, L"%X", value);
  return buffer;
}

}  // namespace

const wchar_t* VendorName(const std::string& vendorString) {
  for (const VendorRow& row : kVendors) {
    if (vendorString == row.id) return row.name;
  }
  return L"Unknown";
}

std::wstring ArchitectureName(unsigned architecture) {
  static const wchar_t* const kArchitectures[] = {
      L"Intel x86 Architecture", L"MIPS Architecture",  L"Alpha Architecture",  L"PowerPC Architecture",
      L"SHX Architecture",       L"ARM Architecture",   L"IA64 Architecture",   L"Alpha64 Architecture",
      L"MSIL Architecture",      L"x64 Architecture",   L"IA32 on Win64",       L"Neutral Architecture",
      L"ARM64 Architecture",     L"ARM32 on Win64",     L"IA32 on ARM64",
  };
  if (architecture < std::size(kArchitectures)) return kArchitectures[architecture];
  wchar_t buffer[16];
  return std::wstring(L"Unknown Architecture (") + Hex(architecture, buffer) + L")";
}

CpuSignature SignatureOf(std::uint32_t eax) {
  CpuSignature s;
  s.stepping = eax & 0xF;
  s.model = (eax >> 4) & 0xF;
  s.family = (eax >> 8) & 0xF;
  s.type = (eax >> 12) & 0x3;
  s.extModel = (eax >> 16) & 0xF;
  s.extFamily = (eax >> 20) & 0xFF;
  return s;
}

std::wstring ProcessorName(const std::string& vendorString, const CpuSignature& signature) {
  // AMD's early engineering samples said "AMDisbetter!"; they are named as AMD.
  const std::string vendor = vendorString == "AMDisbetter!" ? "AuthenticAMD" : vendorString;
  const unsigned family = signature.DisplayFamily();
  const unsigned model = signature.DisplayModel();
  for (const NameRow& row : kNames) {
    if (vendor == row.vendor && family == row.family && model >= row.modelLow && model <= row.modelHigh) {
      return row.name;
    }
  }
  wchar_t f[16], m[16];
  return std::wstring(VendorName(vendorString)) + L" processor (Family " + Hex(family, f) + L"h Model " +
         Hex(model, m) + L"h)";
}

std::optional<std::wstring> IntelBrandIdName(unsigned brandIndex, std::uint32_t leaf1Eax) {
  // Two indexes changed meaning with the signature 00000F13h (and 000006B1h).
  const std::uint32_t signature = leaf1Eax & 0x0FFF3FFF;
  switch (brandIndex) {
    case 0x01: return L"Intel Celeron Processor";
    case 0x02: return L"Intel Pentium III Processor";
    case 0x03: return signature == 0x6B1 ? L"Intel Celeron Processor" : L"Intel Pentium III Xeon Processor";
    case 0x04: return L"Intel Pentium III Processor";
    case 0x06: return L"Mobile Intel Pentium III Processor-M";
    case 0x07: return L"Mobile Intel Celeron Processor";
    case 0x08: return L"Intel Pentium 4 Processor";
    case 0x09: return L"Intel Pentium 4 Processor";
    case 0x0A: return L"Intel Celeron Processor";
    case 0x0B: return signature == 0xF13 ? L"Intel Xeon Processor MP" : L"Intel Xeon Processor";
    case 0x0C: return L"Intel Xeon Processor MP";
    case 0x0E: return signature == 0xF13 ? L"Intel Xeon Processor" : L"Mobile Intel Pentium 4 Processor-M";
    case 0x0F: return L"Mobile Intel Celeron Processor";
    case 0x11: return L"Mobile Genuine Intel Processor";
    case 0x12: return L"Intel Celeron M Processor";
    case 0x13: return L"Mobile Intel Celeron Processor";
    case 0x14: return L"Intel Celeron Processor";
    case 0x15: return L"Mobile Genuine Intel Processor";
    case 0x16: return L"Intel Pentium M Processor";
    case 0x17: return L"Mobile Intel Celeron Processor";
    default: return std::nullopt;
  }
}

std::wstring L2AssociativityName(unsigned field, bool japanese) {
  switch (field & 0xF) {
    case 0x0: return japanese ? L"無効" : L"Disabled";
    case 0x1: return japanese ? L"1ウェイ (ダイレクトマップ)" : L"1way (direct mapped)";
    case 0x2: return japanese ? L"2ウェイ" : L"2ways";
    case 0x3: return japanese ? L"3ウェイ" : L"3ways";
    case 0x4: return japanese ? L"4ウェイ" : L"4ways";
    case 0x5: return japanese ? L"6ウェイ" : L"6ways";
    case 0x6: return japanese ? L"8ウェイ" : L"8ways";
    case 0x8: return japanese ? L"16ウェイ" : L"16ways";
    case 0x9: return japanese ? L"cpuid 8000001Dh を参照" : L"see cpuid 8000001Dh";
    case 0xA: return japanese ? L"32ウェイ" : L"32ways";
    case 0xB: return japanese ? L"48ウェイ" : L"48ways";
    case 0xC: return japanese ? L"64ウェイ" : L"64ways";
    case 0xD: return japanese ? L"96ウェイ" : L"96ways";
    case 0xE: return japanese ? L"128ウェイ" : L"128ways";
    case 0xF: return japanese ? L"フルアソシアティブ" : L"Fully associative";
    default: {
      wchar_t buffer[16];
      return std::wstring(japanese ? L"予約値 (" : L"Reserved (") + Hex(field & 0xF, buffer) + L"h)";
    }
  }
}

namespace {

using K = DescriptorKind;
constexpr unsigned kFull = 0xFF;

// The descriptors of cpuid 2 that name a cache, a TLB for 4 KB pages (the
// report shows those; large-page-only TLBs are left out), or where to look instead.
const Descriptor kDescriptors[] = {
    {0x01, K::InstructionTlb, 32, 4, 0},    {0x03, K::DataTlb, 64, 4, 0},
    {0x06, K::L1Instruction, 8, 4, 32},
    {0x08, K::L1Instruction, 16, 4, 32},    {0x09, K::L1Instruction, 32, 4, 64},
    {0x0A, K::L1Data, 8, 2, 32},
    {0x0C, K::L1Data, 16, 4, 32},           {0x0D, K::L1Data, 16, 4, 64},
    {0x0E, K::L1Data, 24, 6, 64},           {0x1D, K::L2, 128, 2, 64},
    {0x21, K::L2, 256, 8, 64},              {0x22, K::L3, 512, 4, 64},
    {0x23, K::L3, 1024, 8, 64},             {0x24, K::L2, 1024, 16, 64},
    {0x25, K::L3, 2048, 8, 64},             {0x29, K::L3, 4096, 8, 64},
    {0x2C, K::L1Data, 32, 8, 64},           {0x30, K::L1Instruction, 32, 8, 64},
    {0x41, K::L2, 128, 4, 32},              {0x42, K::L2, 256, 4, 32},
    {0x43, K::L2, 512, 4, 32},              {0x44, K::L2, 1024, 4, 32},
    {0x45, K::L2, 2048, 4, 32},             {0x46, K::L3, 4096, 4, 64},
    {0x47, K::L3, 8192, 8, 64},             {0x48, K::L2, 3072, 12, 64},
    {0x49, K::L2, 4096, 16, 64},            {0x4A, K::L3, 6144, 12, 64},
    {0x4B, K::L3, 8192, 16, 64},            {0x4C, K::L3, 12288, 12, 64},
    {0x4D, K::L3, 16384, 16, 64},           {0x4E, K::L2, 6144, 24, 64},
    {0x4F, K::InstructionTlb, 32, kFull, 0}, {0x50, K::InstructionTlb, 64, kFull, 0},
    {0x51, K::InstructionTlb, 128, kFull, 0}, {0x52, K::InstructionTlb, 256, kFull, 0},
    {0x57, K::DataTlb, 16, 4, 0},           {0x59, K::DataTlb, 16, kFull, 0},
    {0x5B, K::DataTlb, 64, kFull, 0},       {0x5C, K::DataTlb, 128, kFull, 0},
    {0x5D, K::DataTlb, 256, kFull, 0},      {0x60, K::L1Data, 16, 8, 64},
    {0x61, K::InstructionTlb, 48, kFull, 0}, {0x64, K::DataTlb, 512, 4, 0},
    {0x66, K::L1Data, 8, 4, 64},            {0x67, K::L1Data, 16, 4, 64},
    {0x68, K::L1Data, 32, 4, 64},           {0x6A, K::DataTlb, 64, 8, 0},
    {0x6B, K::DataTlb, 256, 8, 0},          {0x78, K::L2, 1024, 4, 64},
    {0x79, K::L2, 128, 8, 64},              {0x7A, K::L2, 256, 8, 64},
    {0x7B, K::L2, 512, 8, 64},              {0x7C, K::L2, 1024, 8, 64},
    {0x7D, K::L2, 2048, 8, 64},             {0x7F, K::L2, 512, 2, 64},
    {0x80, K::L2, 512, 8, 64},              {0x82, K::L2, 256, 8, 32},
    {0x83, K::L2, 512, 8, 32},              {0x84, K::L2, 1024, 8, 32},
    {0x85, K::L2, 2048, 8, 32},             {0x86, K::L2, 512, 4, 64},
    {0x87, K::L2, 1024, 8, 64},             {0xA0, K::DataTlb, 32, kFull, 0},
    {0xB0, K::InstructionTlb, 128, 4, 0},   {0xB2, K::InstructionTlb, 64, 4, 0},
    {0xB3, K::DataTlb, 128, 4, 0},          {0xB4, K::DataTlb, 256, 4, 0},
    {0xB5, K::InstructionTlb, 64, 8, 0},    {0xB6, K::InstructionTlb, 128, 8, 0},
    {0xBA, K::DataTlb, 64, 4, 0},           {0xC0, K::DataTlb, 8, 4, 0},
    {0xC1, K::SharedTlb, 1024, 8, 0},       {0xC2, K::DataTlb, 16, 4, 0},
    {0xC3, K::SharedTlb, 1536, 6, 0},       {0xCA, K::SharedTlb, 512, 4, 0},
    {0xD0, K::L3, 512, 4, 64},              {0xD1, K::L3, 1024, 4, 64},
    {0xD2, K::L3, 2048, 4, 64},             {0xD6, K::L3, 1024, 8, 64},
    {0xD7, K::L3, 2048, 8, 64},             {0xD8, K::L3, 4096, 8, 64},
    {0xDC, K::L3, 1536, 12, 64},            {0xDD, K::L3, 3072, 12, 64},
    {0xDE, K::L3, 6144, 12, 64},            {0xE2, K::L3, 2048, 16, 64},
    {0xE3, K::L3, 4096, 16, 64},            {0xE4, K::L3, 8192, 16, 64},
    {0xEA, K::L3, 12288, 24, 64},           {0xEB, K::L3, 18432, 24, 64},
    {0xEC, K::L3, 24576, 24, 64},           {0xF0, K::Prefetch, 64, 0, 0},
    {0xF1, K::Prefetch, 128, 0, 0},         {0xFE, K::UseLeaf18, 0, 0, 0},
    {0xFF, K::UseLeaf4, 0, 0, 0},
};

}  // namespace

std::optional<Descriptor> LookUpDescriptor(std::uint8_t code) {
  for (const Descriptor& d : kDescriptors) {
    if (d.code == code) return d;
  }
  return std::nullopt;
}

const FlagTable kStandardFlags{
    L"[CPUID Standard Feature Flag]", L"[CPUID 標準機能フラグ]",
    {L"FPU", L"VME", L"DE", L"PSE", L"TSC", L"MSR", L"PAE", L"MCE", L"CX8", L"APIC", L"", L"SEP", L"MTRR",
     L"PGE", L"MCA", L"CMOV", L"PAT", L"PSE-36", L"PSN", L"CLFSH", L"", L"DS", L"ACPI", L"MMX", L"FXSR", L"SSE",
     L"SSE2", L"SS", L"HTT", L"TM", L"IA64", L"PBE"}};

const FlagTable kAdditionalFlags{
    L"[CPUID Additional Feature Flag]", L"[CPUID 追加機能フラグ]",
    {L"SSE3", L"PCLMULQDQ", L"DTES64", L"MONITOR", L"DS-CPL", L"VMX", L"SMX", L"EST", L"TM2", L"SSSE3",
     L"CNXT-ID", L"SDBG", L"FMA", L"CX16", L"xTPR", L"PDCM", L"", L"PCID", L"DCA", L"SSE4.1", L"SSE4.2",
     L"x2APIC", L"MOVBE", L"POPCNT", L"TSC-DEADLINE", L"AES-NI", L"XSAVE", L"OSXSAVE", L"AVX", L"F16C",
     L"RDRAND", L"HYPERVISOR"}};

const FlagTable kAmdExtendedFlags{
    L"[CPUID Extended Feature Flag (AMD)]", L"[CPUID 拡張機能フラグ (AMD)]",
    {L"FPU", L"VME", L"DE", L"PSE", L"TSC", L"MSR", L"PAE", L"MCE", L"CX8", L"APIC", L"", L"SYSCALL", L"MTRR",
     L"PGE", L"MCA", L"CMOV", L"PAT", L"PSE-36", L"", L"MP", L"NX", L"", L"MMXEXT", L"MMX", L"FXSR", L"FFXSR",
     L"PAGE1GB", L"RDTSCP", L"", L"LM", L"3DNOWEXT", L"3DNOW"}};

const FlagTable kAmdExtendedFlags2{
    L"[CPUID Extended Feature Flag 2 (AMD)]", L"[CPUID 拡張機能フラグ2 (AMD)]",
    {L"LAHF_LM", L"CMP_LEGACY", L"SVM", L"EXTAPIC", L"CR8_LEGACY", L"ABM", L"SSE4A", L"MISALIGNSSE",
     L"3DNOWPREFETCH", L"OSVW", L"IBS", L"XOP", L"SKINIT", L"WDT", L"", L"LWP", L"FMA4", L"TCE", L"",
     L"NODEID_MSR", L"", L"TBM", L"TOPOEXT", L"PERFCTR_CORE", L"PERFCTR_NB", L"", L"DBX", L"PERFTSC",
     L"PCX_L2I", L"MONITORX", L"ADDR_MASK_EXT", L""}};

const FlagTable kIntelExtendedFlags{
    L"[CPUID Extended Feature Flag (Intel)]", L"[CPUID 拡張機能フラグ (Intel)]",
    {L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"SYSCALL", L"", L"", L"", L"", L"", L"", L"", L"",
     L"XD", L"", L"", L"", L"", L"", L"PAGE1GB", L"RDTSCP", L"", L"EM64T", L"", L""}};

const FlagTable kIntelExtendedFlags2{
    L"[CPUID Extended Feature Flag 2 (Intel)]", L"[CPUID 拡張機能フラグ2 (Intel)]",
    {L"LAHF_LM", L"", L"", L"", L"", L"LZCNT", L"", L"", L"PREFETCHW", L"", L"", L"", L"", L"", L"", L"", L"",
     L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L""}};

const FlagTable kCyrixExtendedFlags{
    L"[CPUID Extended Feature Flag (Cyrix)]", L"[CPUID 拡張機能フラグ (Cyrix)]",
    {L"FPU", L"VME", L"DE", L"PSE", L"TSC", L"MSR", L"PAE", L"MCE", L"CX8", L"APIC", L"", L"SYSCALL", L"MTRR",
     L"PGE", L"MCA", L"CMOV", L"PAT", L"", L"", L"", L"", L"", L"", L"MMX", L"EMMX", L"", L"", L"", L"", L"",
     L"3DNOWEXT", L"3DNOW"}};

const FlagTable kCentaurExtendedFlags{
    L"[CPUID Extended Feature Flag (Centaur)]", L"[CPUID 拡張機能フラグ (Centaur)]",
    {L"AIS", L"AIS_EN", L"RNG", L"RNG_EN", L"LH", L"FEMMS", L"ACE", L"ACE_EN", L"ACE2", L"ACE2_EN", L"PHE",
     L"PHE_EN", L"PMM", L"PMM_EN", L"", L"", L"PARALLAX", L"PARALLAX_EN", L"", L"", L"TM3", L"TM3_EN", L"",
     L"", L"", L"PHE2", L"PHE2_EN", L"", L"", L"", L"", L""}};

const FlagTable kStructuredFlagsEbx{
    L"[CPUID Structured Feature Flag]", L"[CPUID 構造化拡張機能フラグ]",
    {L"FSGSBASE", L"TSC_ADJUST", L"SGX", L"BMI1", L"HLE", L"AVX2", L"FDP_EXCPTN_ONLY", L"SMEP", L"BMI2",
     L"ERMS", L"INVPCID", L"RTM", L"RDT-M", L"FPU_CS_DS_DEPR", L"MPX", L"RDT-A", L"AVX512F", L"AVX512DQ",
     L"RDSEED", L"ADX", L"SMAP", L"AVX512_IFMA", L"", L"CLFLUSHOPT", L"CLWB", L"INTEL_PT", L"AVX512PF",
     L"AVX512ER", L"AVX512CD", L"SHA", L"AVX512BW", L"AVX512VL"}};

const FlagTable kStructuredFlagsEcx{
    L"[CPUID Structured Feature Flag 2]", L"[CPUID 構造化拡張機能フラグ2]",
    {L"PREFETCHWT1", L"AVX512_VBMI", L"UMIP", L"PKU", L"OSPKE", L"WAITPKG", L"AVX512_VBMI2", L"CET_SS",
     L"GFNI", L"VAES", L"VPCLMULQDQ", L"AVX512_VNNI", L"AVX512_BITALG", L"TME_EN", L"AVX512_VPOPCNTDQ", L"",
     L"LA57", L"MAWAU", L"", L"", L"", L"", L"RDPID", L"KL", L"BUS_LOCK_DETECT", L"CLDEMOTE", L"", L"MOVDIRI",
     L"MOVDIR64B", L"ENQCMD", L"SGX_LC", L"PKS"}};

const FlagTable kStructuredFlagsEdx{
    L"[CPUID Structured Feature Flag 3]", L"[CPUID 構造化拡張機能フラグ3]",
    {L"", L"SGX_KEYS", L"AVX512_4VNNIW", L"AVX512_4FMAPS", L"FSRM", L"UINTR", L"", L"", L"AVX512_VP2INTERSECT",
     L"SRBDS_CTRL", L"MD_CLEAR", L"RTM_ALWAYS_ABORT", L"", L"RTM_FORCE_ABORT", L"SERIALIZE", L"HYBRID",
     L"TSXLDTRK", L"", L"PCONFIG", L"LBR", L"CET_IBT", L"", L"AMX_BF16", L"AVX512_FP16", L"AMX_TILE",
     L"AMX_INT8", L"IBRS_IBPB", L"STIBP", L"L1D_FLUSH", L"ARCH_CAPABILITIES", L"CORE_CAPABILITIES", L"SSBD"}};

const FlagTable kStructuredFlags1Eax{
    L"[CPUID Structured Feature Flag 4]", L"[CPUID 構造化拡張機能フラグ4]",
    {L"SHA512", L"SM3", L"SM4", L"RAO_INT", L"AVX_VNNI", L"AVX512_BF16", L"LASS", L"CMPCCXADD",
     L"ARCHPERFMONEXT", L"", L"FZLRM", L"FSRS", L"FSRCS", L"", L"", L"", L"", L"FRED", L"LKGS", L"WRMSRNS", L"",
     L"AMX_FP16", L"HRESET", L"AVX_IFMA", L"", L"", L"LAM", L"MSRLIST", L"", L"", L"", L""}};

}  // namespace tblf::env
