#include "settings/storage_mode.h"

namespace tblf {

namespace {
bool g_iniMode = false;

bool SameLetter(wchar_t c, wchar_t lower) { return c == lower || c == lower - (L'a' - L'A'); }
}  // namespace

bool IniModeFromExePath(std::wstring_view exePath) {
  if (exePath.size() < 8) return false;
  const std::wstring_view tail = exePath.substr(exePath.size() - 6);
  return tail[0] == L'_' && SameLetter(tail[1], L'o') && tail[2] == L'.' && SameLetter(tail[3], L'e') &&
         SameLetter(tail[4], L'x') && SameLetter(tail[5], L'e');
}

bool IniModeFromCommandLine(std::wstring_view arguments) {
  return arguments == L"/o" || arguments == L"/O";
}

void SetIniMode(bool iniMode) { g_iniMode = iniMode; }
bool IsIniMode() { return g_iniMode; }

}  // namespace tblf
