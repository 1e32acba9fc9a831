#include "filelist/token_reference.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace tblf {
namespace {

struct TokenLine {
  std::wstring_view token;
  BiText description;
};

constexpr TokenLine kNameTokens[] = {
    {L"{%f}", {L"ファイル名", L"Filename"}},
    {L"{%sf}", {L"短いファイル名(8.3形式。ないときはファイル名)", L"Short Filename(8.3. Filename when none)"}},
    {L"{%pf}", {L"フルパス(フォルダのパス＋ファイル名)", L"Full Path(Folder Path + Filename)"}},
    {L"{%spf}", {L"短い形式のフルパス", L"Short Full Path"}},
    {L"{%cf}", {L"相対パス＋ファイル名", L"Relative Path + Filename"}},
    {L"{%scf}", {L"短い形式の相対パス＋短いファイル名", L"Short Relative Path + Short Filename"}},
    {L"{%p}", {L"フォルダのパス", L"Folder Path"}},
    {L"{%sp}", {L"短い形式のフォルダのパス", L"Short Folder Path"}},
    {L"{%cp}", {L"相対パス", L"Relative Path"}},
    {L"{%scp}", {L"短い形式の相対パス", L"Short Relative Path"}},
};

constexpr TokenLine kTreeTokens[] = {
    {L"{%g}", {L"フォルダの階層を「│」「├」「└」の記号で描く", L"Tree of folders drawn with \"| \", \"|-\", \"+-\""}},
    {L"{%cg}", {L"{%g}の記号を、階層ごとに列を分けて出力", L"Symbols of {%g}, one column per level"}},
    {L"{%c}", {L"階層ごとに区切り文字を1つ出力(1列ずつ右へずらす)", L"One separator per level(shifts each level right)"}},
};

constexpr TokenLine kSizeTokens[] = {
    {L"{%s}", {L"サイズ(バイト)", L"Size(Bytes)"}},
    {L"{%ks}", {L"サイズ(KB。1024で割って切り捨て)", L"Size(KB. Bytes / 1024, rounded down)"}},
    {L"{%ms}", {L"サイズ(MB。1048576で割って切り捨て)", L"Size(MB. Bytes / 1048576, rounded down)"}},
    {L"{%e}", {L"拡張子(ピリオドを含む)", L"Extension(with the period)"}},
    {L"{%bf}", {L"拡張子を除いたファイル名", L"Filename without Extension"}},
    {L"{%a}", {L"属性(文字は下の※を参照)", L"Attributes(letters: see * below)"}},
};

// The eighteen time suffixes, each in its three times.
struct TimeField {
  std::wstring_view suffix;
  BiText what;  // the field of the time
  BiText how;   // its form, in brackets
};
constexpr TimeField kTimeFields[] = {
    {L"4y", {L"年", L"Year"}, {L"4桁の数字", L"4 digit number"}},
    {L"2y", {L"年", L"Year"}, {L"下2桁の数字", L"last 2 digits"}},
    {L"0m", {L"月", L"Month"}, {L"2桁の数字。ゼロ埋め", L"2 digit number. Zero padding"}},
    {L"mm", {L"月", L"Month"}, {L"2桁の数字。スペース埋め", L"2 digit number. Space padding"}},
    {L"m", {L"月", L"Month"}, {L"数字", L"number"}},
    {L"em", {L"月", L"Month"}, {L"英語名。January", L"English name. January"}},
    {L"sem", {L"月", L"Month"}, {L"英語の略称。Jan.", L"short English name. Jan."}},
    {L"0d", {L"日", L"Day"}, {L"2桁の数字。ゼロ埋め", L"2 digit number. Zero padding"}},
    {L"dd", {L"日", L"Day"}, {L"2桁の数字。スペース埋め", L"2 digit number. Space padding"}},
    {L"d", {L"日", L"Day"}, {L"数字", L"number"}},
    {L"0h", {L"時", L"Hour"}, {L"0～23。2桁の数字。ゼロ埋め", L"0-23. 2 digit number. Zero padding"}},
    {L"hh", {L"時", L"Hour"}, {L"0～23。2桁の数字。スペース埋め", L"0-23. 2 digit number. Space padding"}},
    {L"h", {L"時", L"Hour"}, {L"0～23。数字", L"0-23. number"}},
    {L"0n", {L"分", L"Minute"}, {L"2桁の数字。ゼロ埋め", L"2 digit number. Zero padding"}},
    {L"n", {L"分", L"Minute"}, {L"数字", L"number"}},
    {L"0s", {L"秒", L"Second"}, {L"2桁の数字。ゼロ埋め", L"2 digit number. Zero padding"}},
    {L"s", {L"秒", L"Second"}, {L"数字", L"number"}},
    {L"ms", {L"ミリ秒", L"Milliseconds"}, {L"3桁の数字", L"3 digit number"}},
};
constexpr struct {
  std::wstring_view prefix;  // between "{%" and the suffix
  BiText name;
} kTimes[] = {
    {L"t", {L"最終更新日時", L"Last Write Time"}},
    {L"tc", {L"作成日時", L"Creation Time"}},
    {L"ta", {L"最終アクセス日時", L"Last Access Time"}},
};

constexpr TokenLine kOtherTokens[] = {
    {L"{%,}", {L"区切りにならないカンマ(データとしてのカンマ)", L"Comma as data(not a separator)"}},
    {L"{%{}", {L"「{」の文字", L"The character \"{\""}},
};

constexpr const wchar_t* kNotes[][2] = {
    {L"※「相対パス」は、上で指定したフォルダからの相対パスを表します。",
     L"* \"Relative Path\" is the path relative to the folder given above."},
    {L"※通常のカンマ区切り出力の場合、各項目はダブルコーテーションで囲まれます。",
     L"* In comma-separated output, every field is enclosed in double quotes."},
    {L"※タブ区切りの出力の場合は、カンマを置いたところがタブに置き換わります。",
     L"* In TAB-separated output, a TAB stands where a comma is put."},
    {L"※属性の文字：A アーカイブ、C 圧縮、D フォルダ、E 暗号化、H 隠しファイル、O オフライン、R 読み取り専用、"
     L"S システム、T 一時ファイル",
     L"* Attribute letters: A Archive, C Compressed, D Directory, E Encrypted, H Hidden, O Offline, R Read-only, "
     L"S System, T Temporary"},
};

// The colons of a group line up after its longest token, and never before
// column 7 (so "{%f}   : " and "{%t0m} : ").
constexpr std::size_t kTokenColumn = 7;

struct Line {
  std::wstring token;
  std::wstring description;
};

void AppendGroup(std::wstring& out, const std::vector<Line>& group) {
  std::size_t column = kTokenColumn;
  for (const Line& line : group) column = std::max(column, line.token.size());
  for (const Line& line : group) {
    out += line.token;
    out.append(column - line.token.size(), L' ');
    out += L": ";
    out += line.description;
    out += L"\r\n";
  }
  out += L"------\r\n";
}

std::vector<Line> Lines(std::span<const TokenLine> table, bool japanese) {
  std::vector<Line> lines;
  for (const TokenLine& t : table) lines.push_back({std::wstring(t.token), t.description.get(japanese)});
  return lines;
}

}  // namespace

std::wstring FileListTokenReference(bool japanese) {
  std::wstring out;
  AppendGroup(out, Lines(kNameTokens, japanese));
  AppendGroup(out, Lines(kTreeTokens, japanese));
  AppendGroup(out, Lines(kSizeTokens, japanese));
  for (const auto& time : kTimes) {
    std::vector<Line> lines;
    for (const TimeField& field : kTimeFields) {
      std::wstring token = L"{%";
      token += time.prefix;
      token += field.suffix;
      token += L'}';
      std::wstring description = japanese ? std::wstring(time.name.ja) + L"の" + field.what.ja
                                          : std::wstring(field.what.en) + L" of " + time.name.en;
      description += L'(';
      description += field.how.get(japanese);
      description += L')';
      lines.push_back({std::move(token), std::move(description)});
    }
    AppendGroup(out, lines);
  }
  AppendGroup(out, Lines(kOtherTokens, japanese));
  out += L"\r\n";
  for (const auto& note : kNotes) {
    out += note[japanese ? 0 : 1];
    out += L"\r\n";
  }
  return out;
}

}  // namespace tblf
