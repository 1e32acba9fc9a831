#include "base/process_basics.h"

#include <cwctype>

namespace tblf {

bool g_japaneseUi = true;
bool g_regwJapaneseUi = true;
unsigned short g_windowsVersion = 0;
std::uintptr_t g_frameWindow = 0;

const BiText kReadErrorText{
    L"アプリケーションからの応答がありません。\r\n\r\n"
    L"すでに終了しているか、ハングアップしている可能性があります。\r\n"
    L"[最新の情報に更新]ボタンを押し、リストの内容を最新にしてください。",
    L"Read error. Please push [Refresh] button."};

namespace {
constexpr unsigned short kLangJapanese = 0x11;

bool EqualsIgnoringCase(const wchar_t* a, const wchar_t* b) {
  for (; *a && *b; ++a, ++b) {
    if (std::towupper(*a) != std::towupper(*b)) return false;
  }
  return *a == *b;
}
}  // namespace

bool JapaneseFromLanguage(const wchar_t* envValue, unsigned short systemLangId) {
  if (envValue != nullptr && envValue[0] != L'\0') return EqualsIgnoringCase(envValue, L"JA");
  return (systemLangId & 0x3FF) == kLangJapanese;
}

void SetUiLanguage(bool japanese) {
  g_japaneseUi = japanese;
  g_regwJapaneseUi = japanese;
}

unsigned short WindowsVersionNumber(unsigned long platformId, unsigned long major,
                                    unsigned long minor, unsigned long build) {
  constexpr unsigned long kPlatformNt = 2;
  if (platformId == kPlatformNt) return static_cast<unsigned short>(major * 100 + minor);
  // Windows 9x kept the version in the high bytes of the build number.
  if (build > 0xFFFF) return static_cast<unsigned short>((build >> 24) * 100 + ((build >> 16) & 0xFF));
  return 400;
}

std::optional<std::wstring> ExeFolderFromPath(const std::wstring& exePath) {
  const auto slash = exePath.rfind(L'\\');
  if (slash == std::wstring::npos) return std::nullopt;
  return exePath.substr(0, slash <= 4 ? slash + 1 : slash);
}

namespace {
struct ShellErrorRow {
  unsigned code;
  BiText text;
};

constexpr BiText kOutOfMemory{L"メモリが不足しています。",
                              L"There was not enough memory to complete the operation."};
constexpr BiText kDdeError{L"DDEエラー。", L"DDE error."};

// The English texts for 5 and 32 really end in a blank.
const ShellErrorRow kShellErrors[] = {
    {0, kOutOfMemory},
    {8, kOutOfMemory},
    {2, {L"指定されたファイルが見つかりませんでした。", L"The specified file was not found."}},
    {3, {L"指定されたパスが見つかりませんでした。", L"The specified path was not found."}},
    {5, {L"アクセスを拒否されました。", L"The operating system denied access to the specified file. "}},
    {11, {L"実行ファイルが無効です。", L"The .exe file is invalid"}},
    {26, {L"共有違反が発生しました。", L"A sharing violation occurred."}},
    {27, {L"ファイル名の関連付けが不完全または無効です。",
          L"The file name association is incomplete or invalid."}},
    {28, kDdeError},
    {29, kDdeError},
    {30, kDdeError},
    {31, {L"指定された拡張子に関連付けられたプログラムがありません。",
          L"There is no application associated with the given file name extension."}},
    {32, {L"指定されたDLLが見つかりませんでした。", L"The specified dynamic-link library was not found. "}},
};
}  // namespace

std::wstring ShellExecuteErrorText(unsigned code) {
  if (code >= 33) return BiText{L"エラーは発生していません。", L"No error."}.get();
  for (const auto& row : kShellErrors) {
    if (row.code == code) return row.text.get();
  }
  return L"RC=" + std::to_wstring(code);
}

}  // namespace tblf
