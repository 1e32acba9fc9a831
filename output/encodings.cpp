#include "output/encodings.h"

namespace tblf {
namespace {

constexpr unsigned kShiftJis = 932;
constexpr unsigned kUtf8 = 65001;

constexpr EncodingInfo kEncodingList[] = {
    {{L"ANSI(システム既定 CP:%u)", L"ANSI(System Default CP:%u)"}, L"ANSI", Conversion::CodePage, kAnsiCodePage, "",
     false},
    {{L"Shift-JIS", L"Shift-JIS"}, L"Shift-JIS", Conversion::CodePage, kShiftJis, "", false},
    {{L"JIS(iso-2022-jp)", L"JIS(iso-2022-jp)"}, L"JIS", Conversion::CodePage, 50222, "", false},
    {{L"Unicode (BOMあり)", L"Unicode (with BOM)"}, L"UTF-16 with BOM", Conversion::Utf16Le, 0, "\xFF\xFE", false},
    {{L"Unicode (BOMなし)", L"Unicode (without BOM)"}, L"UTF-16", Conversion::Utf16Le, 0, "", false},
    {{L"Unicode big endian (BOMあり)", L"Unicode big endian (with BOM)"}, L"UTF-16BE with BOM", Conversion::Utf16Be,
     0, "\xFE\xFF", false},
    {{L"Unicode big endian (BOMなし)", L"Unicode big endian (without BOM)"}, L"UTF-16BE", Conversion::Utf16Be, 0, "",
     false},
    {{L"UTF-8 (BOMあり)", L"UTF-8 (with BOM)"}, L"UTF-8 with BOM", Conversion::CodePage, kUtf8, "\xEF\xBB\xBF", false},
    {{L"UTF-8N (BOMなし)", L"UTF-8N (without BOM)"}, L"UTF-8", Conversion::CodePage, kUtf8, "", false},
    {{L"UTF-7 (BOMなし)", L"UTF-7 (without BOM)"}, L"UTF-7", Conversion::CodePage, 65000, "", false},
    {{L"EUC-JP", L"EUC-JP"}, L"EUC-JP", Conversion::CodePage, kShiftJis, "", true},
    {{L"その他 (右にコードページを指定)", L"Other(Please specify a codepage)"},
     L"the code page of setting File/OtherCP", Conversion::CodePage, kOtherCodePage, "", false},
};

}  // namespace

std::span<const EncodingInfo> Encodings() { return kEncodingList; }

const EncodingInfo* FindEncoding(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= std::size(kEncodingList)) return nullptr;
  return &kEncodingList[index];
}

int OtherCodePageIndex() {
  for (std::size_t i = 0; i < std::size(kEncodingList); ++i) {
    if (kEncodingList[i].codePage == kOtherCodePage) return static_cast<int>(i);
  }
  return -1;
}

unsigned ShownCodePage(const EncodingInfo& encoding) {
  return encoding.conversion == Conversion::CodePage && !encoding.eucJp ? encoding.codePage : 0;
}

std::wstring EncodingHelp(std::size_t width) {
  std::wstring text;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < std::size(kEncodingList); ++i) {
    std::wstring entry = std::to_wstring(i) + L" " + kEncodingList[i].cliName;
    if (i + 1 < std::size(kEncodingList)) entry += L",";
    if (text.size() > lineStart && text.size() - lineStart + 1 + entry.size() > width) {
      text += L"\n";
      lineStart = text.size();
    } else if (text.size() > lineStart) {
      text += L" ";
    }
    text += entry;
  }
  return text;
}

}  // namespace tblf
