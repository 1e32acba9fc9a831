#include "output/encoded_writer_win.h"

#include <cstdlib>
#include <string>

#include "output/encodings.h"
#include "output/eucjp.h"
#include "settings/settings_table.h"
#include "base/text.h"

namespace tblf {

namespace {

constexpr BiText kNoText{L"内部エラー(パラメタ不正) str == NULL", L"Internal error (illegal parameters) str == NULL"};
constexpr BiText kNoFileName{L"内部エラー(パラメタ不正) fname == NULL",
                             L"Internal error (illegal parameters) fname == NULL"};
constexpr BiText kOutOfMemory{L"メモリが足りません。", L"Out of memory."};

// Any index outside the list converts with code page 0 (CP_ACP), without a
// byte order mark.
constexpr EncodingInfo kOutOfRange{{L"", L""}, L"", Conversion::CodePage, CP_ACP, "", false};

const EncodingInfo& EncodingFor(int index) {
  const EncodingInfo* encoding = FindEncoding(index);
  return encoding ? *encoding : kOutOfRange;
}

UINT CodePageOf(const EncodingInfo& encoding) {
  if (encoding.codePage == kAnsiCodePage) return GetACP();
  if (encoding.codePage == kOtherCodePage) return static_cast<UINT>(Read(settings::kOtherCodePage));
  return encoding.codePage;
}

const wchar_t* LastErrorText() { return SystemErrorText(GetLastError(), g_japaneseUi); }

// Writes all of `size` bytes; on failure *reason is the system's text.
bool WriteAll(HANDLE file, const void* data, DWORD size, const wchar_t** reason) {
  DWORD written = 0;
  if (!WriteFile(file, data, size, &written, nullptr)) {
    *reason = LastErrorText();
    return false;
  }
  if (written != size) {
    // A short write without an error code (a full disk reports one normally).
    *reason = SystemErrorText(ERROR_WRITE_FAULT, g_japaneseUi);
    return false;
  }
  return true;
}

bool WriteConverted(HANDLE file, const EncodingInfo& encoding, const wchar_t* text, const wchar_t** reason) {
  switch (encoding.conversion) {
    case Conversion::Utf16Le: {
      const DWORD bytes = static_cast<DWORD>(lstrlenW(text)) * 2;
      return WriteAll(file, text, bytes, reason);
    }
    case Conversion::Utf16Be: {
      const std::size_t length = static_cast<std::size_t>(lstrlenW(text));
      auto* swapped = static_cast<unsigned char*>(std::malloc(length * 2 + 1));
      if (swapped == nullptr) {
        *reason = kOutOfMemory.get();
        return false;
      }
      for (std::size_t i = 0; i < length; ++i) {
        const auto unit = static_cast<unsigned>(text[i]);
        swapped[2 * i] = static_cast<unsigned char>(unit >> 8);
        swapped[2 * i + 1] = static_cast<unsigned char>(unit & 0xFF);
      }
      const bool ok = WriteAll(file, swapped, static_cast<DWORD>(length * 2), reason);
      std::free(swapped);
      return ok;
    }
    case Conversion::CodePage:
      break;
  }
  const UINT codePage = CodePageOf(encoding);
  // The size counts the terminating zero.
  const int size = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size == 0) {
    *reason = LastErrorText();
    return false;
  }
  auto* bytes = static_cast<char*>(std::calloc(static_cast<std::size_t>(size) + 1, 1));
  if (bytes == nullptr) {
    *reason = kOutOfMemory.get();
    return false;
  }
  if (WideCharToMultiByte(codePage, 0, text, -1, bytes, size, nullptr, nullptr) == 0) {
    *reason = LastErrorText();
    std::free(bytes);
    return false;
  }
  bool ok;
  if (encoding.eucJp) {
    const std::string euc = ShiftJisToEucJp(std::string_view(bytes, static_cast<std::size_t>(lstrlenA(bytes))));
    ok = WriteAll(file, euc.data(), static_cast<DWORD>(euc.size()), reason);
  } else {
    ok = WriteAll(file, bytes, static_cast<DWORD>(lstrlenA(bytes)), reason);
  }
  std::free(bytes);
  return ok;
}

// The process-wide system error text, replaced by every lookup.
wchar_t* g_systemErrorText = nullptr;

}  // namespace

const wchar_t* SystemErrorText(DWORD errorCode, bool japanese) {
  constexpr DWORD kFlags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;  // 0x1300
  const DWORD language = japanese ? 0x0400 : 1033;
  wchar_t* message = nullptr;
  const DWORD length =
      FormatMessageW(kFlags, nullptr, errorCode, language, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  std::free(g_systemErrorText);
  g_systemErrorText = nullptr;
  if (length == 0 || message == nullptr) {
    if (message != nullptr) LocalFree(message);
    return L"FormatMessage() error";
  }
  g_systemErrorText = static_cast<wchar_t*>(std::calloc(static_cast<std::size_t>(length) + 1, sizeof(wchar_t)));
  if (g_systemErrorText == nullptr) {
    LocalFree(message);
    return L"calloc() error";
  }
  for (DWORD i = 0; i < length; ++i) {
    const wchar_t c = message[i];
    g_systemErrorText[i] = (c >= 0x0001 && c <= 0x001F) ? L' ' : c;
  }
  LocalFree(message);
  return g_systemErrorText;
}

bool IsUsableCodePage(UINT codePage) {
  char buffer[32] = {};
  return WideCharToMultiByte(codePage, 0, L"TEST", 4, buffer, sizeof(buffer), nullptr, nullptr) != 0;
}

namespace {
// The command line's --encoding: applied for one run, never stored.
int g_encodingOverride = -1;
}  // namespace

void SetEncodingOverride(int index) { g_encodingOverride = index; }

namespace {

// The writer with the encoding index `chosen` (-1: the override or the setting).
bool WriteEncodedTextAs(int chosen, const wchar_t* fileName, HANDLE* handleSlot, const wchar_t* text,
                        const wchar_t** reason) {
  const wchar_t* ignored = nullptr;
  if (reason == nullptr) reason = &ignored;
  if (text == nullptr) {
    *reason = kNoText.get();
    return false;
  }
  const int index = chosen >= 0 ? chosen : g_encodingOverride >= 0 ? g_encodingOverride : Read(settings::kCharCode);
  const EncodingInfo& encoding = EncodingFor(index);

  HANDLE file = INVALID_HANDLE_VALUE;
  bool created = false;
  if (handleSlot != nullptr && *handleSlot != INVALID_HANDLE_VALUE && *handleSlot != nullptr) {
    file = *handleSlot;
  } else {
    if (fileName == nullptr) {
      *reason = kNoFileName.get();
      return false;
    }
    file = CreateFileW(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      *reason = LastErrorText();
      return false;
    }
    created = true;
    if (handleSlot != nullptr) *handleSlot = file;
  }

  bool ok = true;
  // The byte order mark belongs to the start of the file only.
  if (created && encoding.bom[0] != '\0') {
    ok = WriteAll(file, encoding.bom, static_cast<DWORD>(lstrlenA(encoding.bom)), reason);
  }
  if (ok) ok = WriteConverted(file, encoding, text, reason);

  if (handleSlot == nullptr) {
    CloseHandle(file);
    if (!ok) DeleteFileW(fileName);
  }
  return ok;
}

}  // namespace

bool WriteEncodedText(const wchar_t* fileName, HANDLE* handleSlot, const wchar_t* text, const wchar_t** reason) {
  return WriteEncodedTextAs(-1, fileName, handleSlot, text, reason);
}

std::unique_ptr<EncodedFileSink> EncodedFileSink::Create(const std::wstring& fileName, std::wstring& reason,
                                                         int encoding) {
  std::unique_ptr<EncodedFileSink> sink(new EncodedFileSink(fileName, encoding));
  const wchar_t* why = nullptr;
  // An empty first piece creates (or truncates) the file and writes the byte
  // order mark.
  if (!WriteEncodedTextAs(sink->encoding_, sink->fileName_.c_str(), &sink->handle_, L"", &why)) {
    reason = why != nullptr ? why : L"";
    return nullptr;  // the destructor closes a file that was created
  }
  return sink;
}

EncodedFileSink::~EncodedFileSink() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

bool EncodedFileSink::Write(const std::wstring& text, std::wstring& reason) {
  const wchar_t* why = nullptr;
  if (WriteEncodedTextAs(encoding_, fileName_.c_str(), &handle_, text.c_str(), &why)) return true;
  reason = why != nullptr ? why : L"";
  return false;
}

}  // namespace tblf
