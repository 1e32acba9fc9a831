#pragma once
// The encoding list: one row per entry, its index the stored setting
// File/CharCode and the --encoding number. The encoded writer converts by the
// row, the settings dialog lists the rows' names, tblfcli's help names them.

#include <cstddef>
#include <span>
#include <string>

#include "base/text.h"

namespace tblf {

enum class Conversion : unsigned char { Utf16Le, Utf16Be, CodePage };

// Code pages looked up per use: the system's ANSI code page and the one in
// the setting File/OtherCP.
constexpr unsigned kAnsiCodePage = 0xFFFFFFFFu;
constexpr unsigned kOtherCodePage = 0xFFFFFFFEu;

struct EncodingInfo {
  BiText name;            // the settings dialog's entry; %u stands for the ANSI code page
  const wchar_t* cliName; // tblfcli's help
  Conversion conversion;
  unsigned codePage;      // Conversion::CodePage: WideCharToMultiByte's code page
  const char* bom;        // written when the file is created; "" for none
  bool eucJp;             // Shift-JIS bytes turned into EUC-JP
};

std::span<const EncodingInfo> Encodings();
// The row of an index; nullptr outside the list.
const EncodingInfo* FindEncoding(int index);
// The index of the row whose code page the user gives (File/OtherCP).
int OtherCodePageIndex();
// The code page the settings dialog shows for a row (kAnsiCodePage and
// kOtherCodePage as they are); 0 where no single code page applies.
unsigned ShownCodePage(const EncodingInfo& encoding);
// "0 ANSI, 1 Shift-JIS, …", broken into lines of at most `width` characters.
std::wstring EncodingHelp(std::size_t width);

}  // namespace tblf
