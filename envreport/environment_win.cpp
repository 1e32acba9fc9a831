#include "envreport/environment_win.h"

#include <windows.h>
#include <iphlpapi.h>
#include <shlwapi.h>
#include <winioctl.h>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <x86intrin.h>
#define TBLF_HAVE_CPUID 1
#endif

#include <memory>
#include <vector>

#include "base/process_basics_win.h"

namespace tblf {
namespace {

using env::EnvironmentFacts;

template <typename Fn>
Fn Proc(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

std::wstring FromAnsi(const char* text, size_t maxBytes) {
  size_t length = 0;
  while (length < maxBytes && text[length]) ++length;
  if (length == 0) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
  std::wstring wide(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), wide.data(), n);
  return wide;
}

std::optional<std::wstring> RegString(HKEY root, const wchar_t* path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  wchar_t buffer[512] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = 0;
  const LONG rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
  return std::wstring(buffer);  // the buffer was zeroed and one character is kept for the terminator
}

std::optional<DWORD> RegDword(HKEY root, const wchar_t* path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  DWORD value = 0, size = sizeof value, type = 0;
  const LONG rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
  return value;
}

bool RegKeyExists(HKEY root, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// --- processor -------------------------------------------------------------

#ifdef TBLF_HAVE_CPUID
env::CpuidRegs Cpuid(std::uint32_t leaf, std::uint32_t subleaf) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid_count(leaf, subleaf, a, b, c, d);
  return {a, b, c, d};
}
#endif

// Runs the measurement at time-critical priority on the first processor and
// puts both back however it ends.
class PinnedThread {
 public:
  PinnedThread() : thread_(GetCurrentThread()), priority_(GetThreadPriority(thread_)) {
    mask_ = SetThreadAffinityMask(thread_, 1);
    SetThreadPriority(thread_, THREAD_PRIORITY_TIME_CRITICAL);
  }
  ~PinnedThread() {
    if (priority_ != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(thread_, priority_);
    if (mask_ != 0) SetThreadAffinityMask(thread_, mask_);
  }
  PinnedThread(const PinnedThread&) = delete;
  PinnedThread& operator=(const PinnedThread&) = delete;

 private:
  HANDLE thread_;
  int priority_;
  DWORD_PTR mask_ = 0;
};

std::optional<env::Frequency> MeasureFrequency() {
#ifdef TBLF_HAVE_CPUID
  if (Cpuid(0, 0).eax < 1 || !(Cpuid(1, 0).edx & (1u << 4))) return std::nullopt;  // no time-stamp counter
  PinnedThread pinned;
  constexpr unsigned kSpanMs = 100;
  auto result = [](unsigned long long cycles, long double seconds, env::TimerMethod method) -> std::optional<env::Frequency> {
    if (seconds <= 0) return std::nullopt;
    const long double hundredths = static_cast<long double>(cycles) / seconds / 10000.0L;
    return env::Frequency{static_cast<std::uint64_t>(hundredths + 0.5L), method};
  };
  // A timer that stops advancing must not hold the report: every wait also
  // ends after a second by GetTickCount64 (checked now and then, as it is
  // coarse), or after a count of turns should that one stand still too.
  const ULONGLONG giveUp = GetTickCount64() + 1000;
  unsigned spins = 0;
  auto tooLong = [&] {
    ++spins;
    return spins > (1u << 28) || ((spins & 0x3FF) == 0 && GetTickCount64() > giveUp);
  };
  LARGE_INTEGER frequency{}, start{}, now{};
  if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0 && QueryPerformanceCounter(&start)) {
    const unsigned long long c0 = __rdtsc();
    do {
      QueryPerformanceCounter(&now);
    } while (now.QuadPart - start.QuadPart < frequency.QuadPart * kSpanMs / 1000 && now.QuadPart >= start.QuadPart &&
             !tooLong());
    const unsigned long long c1 = __rdtsc();
    return result(c1 - c0, static_cast<long double>(now.QuadPart - start.QuadPart) / frequency.QuadPart,
                  env::TimerMethod::PerformanceCounter);
  }
  using TimeGetTimeFn = DWORD(WINAPI*)();
  if (auto timeGetTime = Proc<TimeGetTimeFn>(LoadSystemLibrary("winmm.dll"), "timeGetTime")) {
    const DWORD t0 = timeGetTime();
    const unsigned long long c0 = __rdtsc();
    DWORD t1;
    while ((t1 = timeGetTime()) - t0 < kSpanMs && !tooLong()) {}
    return result(__rdtsc() - c0, (t1 - t0) / 1000.0L, env::TimerMethod::MultimediaTimer);
  }
  const DWORD t0 = GetTickCount();
  DWORD t1;
  while ((t1 = GetTickCount()) == t0 && !tooLong()) {}  // start on a tick edge
  const unsigned long long c0 = __rdtsc();
  DWORD t2;
  while ((t2 = GetTickCount()) - t1 < kSpanMs && !tooLong()) {}
  if (t2 != t1) return result(__rdtsc() - c0, (t2 - t1) / 1000.0L, env::TimerMethod::TickCount);
  const unsigned long long s0 = __rdtsc();
  Sleep(kSpanMs);
  return result(__rdtsc() - s0, kSpanMs / 1000.0L, env::TimerMethod::Sleep);
#else
  return std::nullopt;
#endif
}

void GatherProcessor(EnvironmentFacts& f) {
#ifdef TBLF_HAVE_CPUID
  f.cpuid = Cpuid;
#endif
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  f.architecture = info.wProcessorArchitecture;
  const DWORD all = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  f.processorCount = all ? all : info.dwNumberOfProcessors;
  f.frequency = MeasureFrequency();
}

// --- operating system ------------------------------------------------------

// RTL_OSVERSIONINFOEXW, declared here so that no DDK header is needed.
struct RtlOsVersionInfoEx {
  ULONG size;
  ULONG major, minor, build, platformId;
  WCHAR csdVersion[128];
  USHORT servicePackMajor, servicePackMinor, suiteMask;
  UCHAR productType, reserved;
};

void GatherSystem(EnvironmentFacts& f) {
  RtlOsVersionInfoEx v{};
  v.size = sizeof v;
  using RtlGetVersionFn = LONG(WINAPI*)(RtlOsVersionInfoEx*);
  bool have = false;
  if (auto rtlGetVersion = Proc<RtlGetVersionFn>(LoadSystemLibrary("ntdll.dll"), "RtlGetVersion")) {
    have = rtlGetVersion(&v) == 0;
  }
  if (!have) {
    OSVERSIONINFOEXW e{};
    e.dwOSVersionInfoSize = sizeof e;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    have = GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&e));
#pragma GCC diagnostic pop
    if (have) {
      v = {sizeof v, e.dwMajorVersion, e.dwMinorVersion, e.dwBuildNumber, e.dwPlatformId, {},
           e.wServicePackMajor, e.wServicePackMinor, e.wSuiteMask, e.wProductType, 0};
      std::copy(std::begin(e.szCSDVersion), std::end(e.szCSDVersion), v.csdVersion);
    }
  }
  if (have) {
    f.osMajor = v.major;
    f.osMinor = v.minor;
    f.osBuild = v.build;
    f.platformId = v.platformId;
    v.csdVersion[127] = L'\0';
    f.csdVersion = v.csdVersion;
    f.servicePackMajor = v.servicePackMajor;
    f.servicePackMinor = v.servicePackMinor;
    f.productType = v.productType;
    f.suiteMask = v.suiteMask;
    using GetProductInfoFn = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, DWORD*);
    if (v.major >= 6) {
      if (auto getProductInfo = Proc<GetProductInfoFn>(GetModuleHandleW(L"kernel32.dll"), "GetProductInfo")) {
        DWORD product = 0;
        if (getProductInfo(v.major, v.minor, v.servicePackMajor, v.servicePackMinor, &product)) {
          f.productInfo = product;
        }
      }
    }
  }
  f.plusVersion = RegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"Plus! VersionNumber");
  const LCID lcid = GetUserDefaultLCID();
  f.localeId = lcid;
  wchar_t name[128] = L"";
  if (GetLocaleInfoW(lcid, LOCALE_SLANGUAGE, name, 128) > 0) f.localeName = name;
  f.ansiCodePage = GetACP();
  f.oemCodePage = GetOEMCP();

  const wchar_t* const ie = L"Software\\Microsoft\\Internet Explorer";
  f.ieVersion = RegString(HKEY_LOCAL_MACHINE, ie, L"svcVersion");
  if (!f.ieVersion) f.ieVersion = RegString(HKEY_LOCAL_MACHINE, ie, L"Version");

  static const wchar_t* const kDotNetKeys[] = {
      L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full",
      L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Client",
      L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v3.5",
      L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v3.0",
      L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727",
      L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v1.1.4322",
      L"SOFTWARE\\Microsoft\\.NETFramework\\Policy\\v1.0",
  };
  for (const wchar_t* path : kDotNetKeys) {
    const std::wstring full = path;
    const std::size_t cut = full.find(L"\\v");
    env::DotNetVersion entry;
    entry.key = full.substr(cut + 1);
    if (entry.key == L"v1.0") {
      if (!RegKeyExists(HKEY_LOCAL_MACHINE, path)) continue;
      entry.version = L"1.0";
    } else {
      if (RegDword(HKEY_LOCAL_MACHINE, path, L"Install").value_or(0) != 1) continue;
      entry.version = RegString(HKEY_LOCAL_MACHINE, path, L"Version").value_or(L"");
      if (auto sp = RegDword(HKEY_LOCAL_MACHINE, path, L"SP")) entry.servicePack = *sp;
      if (auto release = RegDword(HKEY_LOCAL_MACHINE, path, L"Release")) entry.release = *release;
    }
    f.dotNet.push_back(entry);
  }

  if (HMODULE comctl = LoadSystemLibrary("comctl32.dll")) {
    if (auto getVersion = Proc<DLLGETVERSIONPROC>(comctl, "DllGetVersion")) {
      DLLVERSIONINFO info{};
      info.cbSize = sizeof info;
      if (SUCCEEDED(getVersion(&info))) {
        f.comctlMajor = info.dwMajorVersion;
        f.comctlMinor = info.dwMinorVersion;
      }
    }
    FreeLibrary(comctl);
  }

  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  if (GlobalMemoryStatusEx(&memory)) {
    f.haveMemory = true;
    f.memoryLoad = memory.dwMemoryLoad;
    f.totalPhys = memory.ullTotalPhys;
    f.availPhys = memory.ullAvailPhys;
    f.totalPageFile = memory.ullTotalPageFile;
    f.availPageFile = memory.ullAvailPageFile;
    f.totalVirtual = memory.ullTotalVirtual;
    f.availVirtual = memory.ullAvailVirtual;
  }
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto& monitors = *reinterpret_cast<std::vector<env::Monitor>*>(data);
  MONITORINFOEXW info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    info.szDevice[CCHDEVICENAME - 1] = L'\0';
    monitors.push_back({info.szDevice,
                        {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom},
                        {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom},
                        (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return monitors.size() < 64;
}

void GatherDesktop(EnvironmentFacts& f) {
  f.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  f.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (HDC dc = GetDC(nullptr)) {
    f.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    f.dpi = GetDeviceCaps(dc, LOGPIXELSX);
    f.refreshHz = GetDeviceCaps(dc, VREFRESH);
    ReleaseDC(nullptr, dc);
  }
  RECT work{};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) f.workArea = env::Rect{work.left, work.top, work.right, work.bottom};
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  f.virtualScreen = {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  f.monitorCount = GetSystemMetrics(SM_CMONITORS);
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&f.monitors));

  const int type = GetKeyboardType(0);
  if (type != 0) {
    f.keyboardType = type;
    f.keyboardSubtype = GetKeyboardType(1);
    f.functionKeys = GetKeyboardType(2);
  }
  wchar_t machine[MAX_COMPUTERNAME_LENGTH + 1] = L"";
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (GetComputerNameW(machine, &size)) f.machineName = machine;
  wchar_t user[257] = L"";
  size = 257;
  if (GetUserNameW(user, &size)) {
    f.userName = user;
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    wchar_t domain[256] = L"";
    DWORD domainSize = 256;
    SID_NAME_USE use;
    if (LookupAccountNameW(nullptr, user, sid, &sidSize, domain, &domainSize, &use)) f.domainName = domain;
  }
  f.tickCount = GetTickCount64();
  f.remoteSession = GetSystemMetrics(SM_REMOTESESSION) != 0;
  f.slowMachine = GetSystemMetrics(SM_SLOWMACHINE) != 0;
  f.network = (GetSystemMetrics(SM_NETWORK) & 1) != 0;
  f.mouseButtons = GetSystemMetrics(SM_CMOUSEBUTTONS);
  if (auto lua = RegDword(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", L"EnableLUA")) {
    f.enableLua = *lua;
  }
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    TOKEN_ELEVATION elevation{};
    DWORD got = 0;
    if (GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &got)) {
      f.elevated = elevation.TokenIsElevated != 0;
    }
    CloseHandle(token);
  }
}

// --- drives ----------------------------------------------------------------

std::optional<unsigned> BusTypeOf(HANDLE device) {
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  alignas(8) BYTE buffer[1024] = {};
  DWORD got = 0;
  if (!DeviceIoControl(device, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, buffer, sizeof buffer, &got,
                       nullptr) ||
      got < offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof(STORAGE_BUS_TYPE)) {
    return std::nullopt;
  }
  return static_cast<unsigned>(reinterpret_cast<STORAGE_DEVICE_DESCRIPTOR*>(buffer)->BusType);
}

// The connection interface: asked of the volume, then of its physical drive.
std::optional<unsigned> DriveBusType(wchar_t letter) {
  wchar_t path[] = L"\\\\.\\C:";
  path[4] = letter;
  HANDLE volume = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (volume == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<unsigned> bus = BusTypeOf(volume);
  STORAGE_DEVICE_NUMBER number{};
  DWORD got = 0;
  const bool haveNumber = !bus && DeviceIoControl(volume, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                                                  sizeof number, &got, nullptr);
  CloseHandle(volume);
  if (haveNumber) {
    const std::wstring drive = L"\\\\.\\PhysicalDrive" + std::to_wstring(number.DeviceNumber);
    HANDLE physical = CreateFileW(drive.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    if (physical != INVALID_HANDLE_VALUE) {
      bus = BusTypeOf(physical);
      CloseHandle(physical);
    }
  }
  return bus;
}

struct DriveJob {
  env::Drive drive;
  HANDLE done = nullptr;
};

DWORD WINAPI QueryDrive(void* parameter) {
  // The job stays alive while this thread runs, even if the report gave up on it.
  std::unique_ptr<std::shared_ptr<DriveJob>> holder(static_cast<std::shared_ptr<DriveJob>*>(parameter));
  DriveJob& job = **holder;
  env::Drive& d = job.drive;
  const wchar_t root[] = {d.letter, L':', L'\\', L'\0'};
  const wchar_t device[] = {d.letter, L':', L'\0'};
  d.type = GetDriveTypeW(root);
  wchar_t target[512] = L"";
  if (QueryDosDeviceW(device, target, 512) > 0 && wcsncmp(target, L"\\??\\", 4) == 0) d.substituted = true;
  wchar_t label[MAX_PATH + 1] = L"", fileSystem[MAX_PATH + 1] = L"";
  DWORD serial = 0, maxName = 0, flags = 0;
  if (GetVolumeInformationW(root, label, MAX_PATH + 1, &serial, &maxName, &flags, fileSystem, MAX_PATH + 1)) {
    d.label = label;
    d.fileSystem = fileSystem;
    d.serial = serial;
  } else if (GetLastError() == ERROR_NOT_READY) {
    d.noMedia = true;
  }
  ULARGE_INTEGER freeToCaller{}, total{}, totalFree{};
  if (!d.noMedia && GetDiskFreeSpaceExW(root, &freeToCaller, &total, &totalFree)) {
    d.freeBytes = freeToCaller.QuadPart;
    d.totalBytes = total.QuadPart;
  }
  if (!d.noMedia && !d.substituted && d.type != DRIVE_REMOTE && d.type != DRIVE_NO_ROOT_DIR) {
    d.busType = DriveBusType(d.letter);
  }
  SetEvent(job.done);
  return 0;
}

// Every drive is asked on a thread of its own, all at once; a drive that has
// not answered when the time is up (a lost network share) is written as such.
void GatherDrives(EnvironmentFacts& f) {
  constexpr DWORD kDriveWaitMs = 5000;
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  std::vector<std::shared_ptr<DriveJob>> jobs;
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(mask & (1u << i))) continue;
    auto job = std::make_shared<DriveJob>();
    job->drive.letter = static_cast<wchar_t>(L'A' + i);
    job->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto* holder = new std::shared_ptr<DriveJob>(job);
    HANDLE thread = job->done ? CreateThread(nullptr, 0, QueryDrive, holder, 0, nullptr) : nullptr;
    if (thread) {
      CloseHandle(thread);
    } else {
      delete holder;
      if (job->done) CloseHandle(job->done);
      job->done = nullptr;
      job->drive.noAnswer = true;
    }
    jobs.push_back(job);
  }
  const ULONGLONG deadline = GetTickCount64() + kDriveWaitMs;
  for (auto& job : jobs) {
    if (!job->done) {
      f.drives.push_back(job->drive);
      continue;
    }
    const ULONGLONG now = GetTickCount64();
    const DWORD wait = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    if (WaitForSingleObject(job->done, wait) == WAIT_OBJECT_0) {
      f.drives.push_back(job->drive);
    } else {
      env::Drive lost;
      lost.letter = job->drive.letter;
      lost.noAnswer = true;
      f.drives.push_back(lost);
    }
  }
  SetErrorMode(previousMode);
  // The events of drives still running are closed by nobody; they are few and
  // the thread may still signal them.
  for (auto& job : jobs) {
    if (job->done && WaitForSingleObject(job->done, 0) == WAIT_OBJECT_0) CloseHandle(job->done);
  }
  bool unknownInterface = false;
  for (const env::Drive& d : f.drives) {
    if (!d.noAnswer && !d.noMedia && !d.substituted && (d.type == DRIVE_FIXED || d.type == DRIVE_REMOVABLE) &&
        !d.busType) {
      unknownInterface = true;
    }
  }
  f.driveDetailsNeedRights = unknownInterface && !f.elevated.value_or(false);
}

// --- adapters, client, clock -----------------------------------------------

void GatherDisplayAdapters(EnvironmentFacts& f) {
  for (DWORD i = 0; i < 64; ++i) {
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    if (!EnumDisplayDevicesW(nullptr, i, &device, 0)) break;
    device.DeviceName[31] = L'\0';
    device.DeviceString[127] = L'\0';
    f.displayAdapters.push_back({device.DeviceName, device.DeviceString, device.StateFlags});
  }
}

std::optional<env::LocalTime> LocalTimeOf(long long seconds) {
  if (seconds <= 0) return std::nullopt;
  const ULONGLONG ticks = static_cast<ULONGLONG>(seconds) * 10000000ULL + 116444736000000000ULL;
  FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME u{}, local{};
  if (!FileTimeToSystemTime(&utc, &u) || !SystemTimeToTzSpecificLocalTime(nullptr, &u, &local)) return std::nullopt;
  return env::LocalTime{local.wYear, local.wMonth, local.wDay, local.wDayOfWeek, local.wHour, local.wMinute,
                        local.wSecond};
}

std::vector<std::wstring> AddressList(const IP_ADDR_STRING* first, bool masks) {
  std::vector<std::wstring> list;
  for (const IP_ADDR_STRING* a = first; a && list.size() < 64; a = a->Next) {
    list.push_back(FromAnsi(masks ? a->IpMask.String : a->IpAddress.String, 16));
  }
  return list;
}

void GatherNetworkAdapters(EnvironmentFacts& f) {
  using GetAdaptersInfoFn = DWORD(WINAPI*)(IP_ADAPTER_INFO*, ULONG*);
  auto getAdaptersInfo = Proc<GetAdaptersInfoFn>(LoadSystemLibrary("iphlpapi.dll"), "GetAdaptersInfo");
  if (!getAdaptersInfo) return;
  ULONG size = 16 * sizeof(IP_ADAPTER_INFO);
  std::vector<IP_ADAPTER_INFO> buffer;
  DWORD rc = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 4 && rc == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.assign(size / sizeof(IP_ADAPTER_INFO) + 1, IP_ADAPTER_INFO{});
    size = static_cast<ULONG>(buffer.size() * sizeof(IP_ADAPTER_INFO));
    rc = getAdaptersInfo(buffer.data(), &size);
  }
  if (rc == ERROR_NO_DATA) {
    f.networkAdapters.emplace();
    return;
  }
  if (rc != ERROR_SUCCESS) return;
  std::vector<env::NetworkAdapter> adapters;
  for (const IP_ADAPTER_INFO* a = buffer.data(); a && adapters.size() < 64; a = a->Next) {
    env::NetworkAdapter n;
    n.name = FromAnsi(a->AdapterName, sizeof a->AdapterName);
    n.description = FromAnsi(a->Description, sizeof a->Description);
    n.address.assign(a->Address, a->Address + std::min<UINT>(a->AddressLength, MAX_ADAPTER_ADDRESS_LENGTH));
    n.index = a->Index;
    n.type = a->Type;
    n.ipAddresses = AddressList(&a->IpAddressList, false);
    n.ipMasks = AddressList(&a->IpAddressList, true);
    n.gateway = FromAnsi(a->GatewayList.IpAddress.String, 16);
    n.dhcpEnabled = a->DhcpEnabled != 0;
    n.dhcpServer = FromAnsi(a->DhcpServer.IpAddress.String, 16);
    n.leaseObtained = LocalTimeOf(static_cast<long long>(a->LeaseObtained));
    n.leaseExpires = LocalTimeOf(static_cast<long long>(a->LeaseExpires));
    n.haveWins = a->HaveWins != 0;
    n.winsPrimary = FromAnsi(a->PrimaryWinsServer.IpAddress.String, 16);
    n.winsSecondary = FromAnsi(a->SecondaryWinsServer.IpAddress.String, 16);
    adapters.push_back(std::move(n));
  }
  f.networkAdapters = std::move(adapters);
}

std::wstring ClientText() {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  path.resize(n);
  std::wstring text = path.substr(path.find_last_of(L'\\') + 1);
  // version.dll is loaded here only, so that no program linking the report
  // loads it at start.
  HMODULE version = LoadSystemLibrary("version.dll");
  using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
  using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
  auto getSize = Proc<SizeFn>(version, "GetFileVersionInfoSizeW");
  auto getInfo = Proc<InfoFn>(version, "GetFileVersionInfoW");
  auto query = Proc<QueryFn>(version, "VerQueryValueW");
  DWORD ignored = 0;
  const DWORD size = getSize && getInfo && query ? getSize(path.c_str(), &ignored) : 0;
  if (size == 0) return text;
  std::vector<BYTE> data(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (getInfo(path.c_str(), 0, size, data.data()) &&
      query(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) && info && length >= sizeof *info) {
    text += L" ver." + std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." +
            std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(HIWORD(info->dwFileVersionLS)) +
            L"." + std::to_wstring(LOWORD(info->dwFileVersionLS));
  }
  return text;
}

void GatherClock(EnvironmentFacts& f) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  f.now = {now.wYear, now.wMonth, now.wDay, now.wDayOfWeek, now.wHour, now.wMinute, now.wSecond};
  TIME_ZONE_INFORMATION zone{};
  const DWORD which = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias;  // UTC = local time + bias
  if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  f.utcOffsetMinutes = which == TIME_ZONE_ID_INVALID ? 0 : -bias;
}

}  // namespace

env::EnvironmentFacts GatherEnvironmentFacts() {
  EnvironmentFacts f;
  GatherProcessor(f);
  GatherSystem(f);
  GatherDesktop(f);
  GatherDrives(f);
  GatherDisplayAdapters(f);
  GatherNetworkAdapters(f);
  f.client = ClientText();
  GatherClock(f);
  return f;
}

std::wstring EnvironmentReportText(bool japanese) {
  return env::BuildEnvironmentReport(GatherEnvironmentFacts(), japanese);
}

}  // namespace tblf
