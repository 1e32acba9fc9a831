// tabulift.exe: start-up and the message loop of the Tabulift window.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "base/help_win.h"
#include "help/version.h"
#include "help/version_win.h"
#include "resources/resource.h"
#include "settings/regw_win.h"
#include "settings/settings_store_win.h"
#include "settings/settings_table.h"
#include "settings/storage_mode.h"
#include "shell/frame_win.h"
#include "shell/main_dialog_win.h"
#include "base/message_box_win.h"
#include "base/process_basics.h"
#include "base/process_basics_win.h"
#include "shell/startup.h"
#include "update/update_check_win.h"

namespace tblf {
namespace {

const BiText kElevationFailedText{L"自プログラムを起動できないため、権限昇格ができませんでした。\r\n原因：%s",
                                  L"Cannot elevate.\r\nReason:%s"};
const BiText kUnknownOptionCaption{L"不明なオプション", L"Unkown Option"};
const BiText kWow64Text{L"このアプリケーションは32ビットOS用です。64ビットOSでは、x64版をご使用ください。",
                        L"You must use x64 edition."};
const BiText kRegisterFailedText{L"ウィンドウクラスの登録に失敗しました。", L"RegisterClassEx was failed."};
const BiText kCreateWindowFailedText{L"メインウィンドウの生成に失敗しました。", L"CreateWindow was failed."};
const BiText kCreateDialogFailedText{L"メインダイアログの生成に失敗しました。", L"CreateDialog was failed."};

void Fail(const BiText& text) { ShowMessageBox(nullptr, text.get(), L"Tabulift", MB_ICONERROR); }

// Restarts the program with administrator rights when the setting asks for
// it and the process has none. True when the elevated copy carries on.
bool RestartElevated(const wchar_t* commandLine) {
  if (g_windowsVersion < kWindowsVista || GetEnvironmentVariableW(L"TblfRunAsAdmin", nullptr, 0) != 0) return false;
  // Read before the storage mode is decided: registry, then INI file, then 0.
  if (Read(settings::kRunAsAdmin) == 0) return false;
  REGW probe;
  if (probe.OpenKey(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0)) {
    probe.CloseKey();
    return false;
  }
  wchar_t path[MAX_PATH] = L"";
  if (!GetModuleFileNameW(nullptr, path, MAX_PATH)) wcscpy(path, L"TBLIFT.EXE");
  SetEnvironmentVariableW(L"TblfRunAsAdmin", L"1");
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"runas", path, commandLine, L".", SW_SHOWNORMAL));
  if (result > 32) return true;
  std::wstring text = kElevationFailedText.get();
  text.replace(text.find(L"%s"), 2, ShellExecuteErrorText(static_cast<unsigned>(result)));
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  ShowMessageBox(nullptr, text.c_str(), argv && argc > 0 ? argv[0] : L"Tabulift", MB_ICONERROR);
  if (argv) LocalFree(argv);
  return false;
}

// Lets drops and copied data in from less privileged processes.
void AllowMessagesFromLowerIntegrity() {
  if (g_windowsVersion < kWindowsVista) return;
  HMODULE user32 = LoadSystemLibrary("user32.dll");
  if (!user32) return;
  using Filter = BOOL(WINAPI*)(UINT, DWORD);
  if (auto filter = reinterpret_cast<Filter>(reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter")))) {
    for (UINT message : {0x233u, 0x4Au, 0x49u}) filter(message, 1 /* MSGFLT_ADD */);
  }
  FreeLibrary(user32);
}

bool RunningUnderWow64() {
  using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto isWow64 = reinterpret_cast<IsWow64>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

int Run(const wchar_t* commandLine) {
  DetermineWindowsVersion();
  SelectUiLanguage();
  SetCurrentDirectoryToExeFolder();
  InitCommonControls();
  CoInitialize(nullptr);
  if (RestartElevated(commandLine)) {
    CoUninitialize();
    return 0;
  }
  AllowMessagesFromLowerIntegrity();

  SelectStorageMode(commandLine);
  switch (ClassifyStartOption(commandLine)) {
    case StartOption::Help:
      OpenCommandLineHelp();
      CoUninitialize();
      return 0;
    case StartOption::Unknown:
      ShowMessageBox(nullptr, commandLine, kUnknownOptionCaption.get(), MB_ICONERROR);
      CoUninitialize();
      return 0;
    default:
      break;
  }
  if (RunningUnderWow64()) {
    Fail(kWow64Text);
    CoUninitialize();
    return 1;
  }

  ReadVersionInfo();
  const int build = static_cast<int>(g_versionValues.buildNumber);
  StartAutomaticUpdateCheck(build);
  RegisterWithUpdateAgent(build);

  HACCEL accelerators = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCELERATORS));
  if (!RegisterFrameClass()) {
    Fail(kRegisterFailedText);
    CoUninitialize();
    return 0;
  }
  int showCommand = SW_SHOWNORMAL;
  HWND frame = CreateFrameWindow(showCommand);
  if (!frame) {
    Fail(kCreateWindowFailedText);
    CoUninitialize();
    return 0;
  }
  if (!CreateMainDialog(frame)) {
    Fail(kCreateDialogFailedText);
    CoUninitialize();
    return 0;
  }
  ShowWindow(frame, showCommand);
  UpdateWindow(frame);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorW(frame, accelerators, &msg)) continue;
    if (IsDialogMessageW(g_mainDialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  CoUninitialize();
  return 0;
}

}  // namespace
}  // namespace tblf

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) { return tblf::Run(commandLine ? commandLine : L""); }
