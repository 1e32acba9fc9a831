#pragma once
// The environment report: what was gathered about the machine, and the text
// made from it in Japanese or English. Portable; the Win32 layer
// (environment_win.h) gathers the facts.
//
// A value that could not be gathered stays empty and is written as a text
// ("(unknown)") in its line; nothing of the report is ever left out.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "envreport/cpu_tables.h"
#include "base/text.h"

namespace tblf::env {

struct CpuidRegs {
  std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};
// cpuid with a leaf and a sub-leaf.
using CpuidFunction = std::function<CpuidRegs(std::uint32_t leaf, std::uint32_t subleaf)>;

// How the clock frequency was timed, in the order the methods are tried.
enum class TimerMethod { PerformanceCounter, MultimediaTimer, TickCount, Sleep };
struct Frequency {
  std::uint64_t hundredthsMhz = 0;
  TimerMethod method = TimerMethod::PerformanceCounter;
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct Monitor {
  std::wstring device;
  Rect area;
  Rect workArea;
  bool primary = false;
};

struct DotNetVersion {
  std::wstring key;      // "v4\Full", "v3.5", ..., "v1.0"
  std::wstring version;  // the key's "Version" value, may be empty
  std::optional<unsigned> servicePack;
  std::optional<unsigned> release;  // "Release" of v4\Full
};

struct Drive {
  wchar_t letter = L'C';
  unsigned type = 0;          // GetDriveTypeW
  bool substituted = false;   // QueryDosDeviceW names a folder ("\??\C:\...")
  bool noAnswer = false;      // the queries did not come back in time
  bool noMedia = false;
  std::optional<std::uint64_t> freeBytes, totalBytes;
  std::optional<unsigned> busType;  // STORAGE_BUS_TYPE
  std::wstring fileSystem;
  std::optional<std::uint32_t> serial;
  std::wstring label;
};

struct DisplayAdapter {
  std::wstring device;       // "\\.\DISPLAY1"
  std::wstring description;  // "NVIDIA GeForce ..."
  std::uint32_t stateFlags = 0;
};

struct LocalTime {
  int year = 0, month = 0, day = 0, dayOfWeek = 0, hour = 0, minute = 0, second = 0;
};

struct NetworkAdapter {
  std::wstring name, description;
  std::vector<std::uint8_t> address;
  std::uint32_t index = 0;
  std::uint32_t type = 0;
  std::vector<std::wstring> ipAddresses, ipMasks;
  std::wstring gateway;
  bool dhcpEnabled = false;
  std::wstring dhcpServer;
  std::optional<LocalTime> leaseObtained, leaseExpires;
  bool haveWins = false;
  std::wstring winsPrimary, winsSecondary;
};

struct EnvironmentFacts {
  // Processor. `cpuid` is empty where the processor has none; the
  // architecture is named instead.
  CpuidFunction cpuid;
  unsigned architecture = 0;  // wProcessorArchitecture
  std::optional<unsigned> processorCount;
  std::optional<Frequency> frequency;

  // Operating system.
  std::optional<unsigned> osMajor, osMinor, osBuild, platformId;
  std::wstring csdVersion;
  unsigned servicePackMajor = 0, servicePackMinor = 0;
  std::optional<unsigned> productType;  // VER_NT_WORKSTATION ...
  std::optional<unsigned> suiteMask;
  std::optional<std::uint32_t> productInfo;  // GetProductInfo
  std::optional<std::wstring> plusVersion;
  std::optional<unsigned> localeId, ansiCodePage, oemCodePage;
  std::wstring localeName;
  std::optional<std::wstring> ieVersion;
  std::vector<DotNetVersion> dotNet;
  std::optional<unsigned> comctlMajor, comctlMinor;

  // Memory, in bytes; the load in percent.
  bool haveMemory = false;
  unsigned memoryLoad = 0;
  std::uint64_t totalPhys = 0, availPhys = 0, totalPageFile = 0, availPageFile = 0, totalVirtual = 0,
                availVirtual = 0;

  // Screens.
  int screenWidth = 0, screenHeight = 0, bitsPerPixel = 0, dpi = 0, refreshHz = 0;
  std::optional<Rect> workArea;
  Rect virtualScreen;
  int monitorCount = 0;
  std::vector<Monitor> monitors;

  std::optional<int> keyboardType, keyboardSubtype, functionKeys;
  std::optional<std::wstring> machineName, userName, domainName;
  std::uint64_t tickCount = 0;
  bool remoteSession = false, slowMachine = false, network = false;
  int mouseButtons = 0;
  std::optional<std::uint32_t> enableLua;
  std::optional<bool> elevated;

  std::vector<Drive> drives;
  // Some drive detail needs administrator rights that the process lacks.
  bool driveDetailsNeedRights = false;

  std::vector<DisplayAdapter> displayAdapters;
  // Nothing when GetAdaptersInfo failed.
  std::optional<std::vector<NetworkAdapter>> networkAdapters;

  std::wstring client;
  LocalTime now;
  // Local time minus UTC, in minutes (Japan +540).
  int utcOffsetMinutes = 0;
};

// Saving the report failed; %s is the encoded text writer's reason.
extern const BiText kReportWriteFailedText;

// The whole report.
std::wstring BuildEnvironmentReport(const EnvironmentFacts& facts, bool japanese);

// "+09:00" for 540 minutes, "-03:30" for -210.
std::wstring UtcDifferenceText(int minutesAheadOfUtc);

// Two columns: `left` padded to `column` display cells (a wide character
// takes two), then `right`. A left text already that wide is followed by
// one blank.
std::wstring TwoColumns(const std::wstring& left, const std::wstring& right, std::size_t column);
// Display cells of a text in a monospaced font.
std::size_t DisplayWidth(const std::wstring& text);

// The lines of a two-column flag section (each starting with "\r\n"): bit
// number, name and bit value of the left register, and of the right one
// when `right` is given. Reserved bits are left out of a column; the column
// with more named bits sets the number of lines.
std::wstring FlagLines(const FlagTable& left, std::uint32_t leftValue, const FlagTable* right,
                       std::uint32_t rightValue);

// "Windows 10", "Windows Server 2019", ... from the version numbers and the product type.
std::wstring WindowsName(unsigned major, unsigned minor, unsigned build, unsigned productType);
// The edition that GetProductInfo reports ("Professional"); nothing for an unknown code.
std::optional<std::wstring> EditionName(std::uint32_t productInfo);
// The .NET Framework 4.5 and later version of a "Release" value ("4.8").
std::optional<std::wstring> DotNet4Version(unsigned release);
// STORAGE_BUS_TYPE ("SATA", "NVMe", "USB").
std::wstring BusTypeName(unsigned busType);

}  // namespace tblf::env
