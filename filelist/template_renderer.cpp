#include "filelist/template_renderer.h"

#include <array>
#include <string_view>

namespace tblf {

const wchar_t* const kDefaultFileListTemplate = L"{%cf},{%s},{%t4y}/{%tmm}/{%tdd} {%thh}:{%t0n}:{%t0s},{%a}";

const BiText kFileTreeContinuation{L"\u2502", L"| "};
const BiText kFileTreeBlank{L"\u3000", L"  "};
const BiText kFileTreeBranch{L"\u251C", L"|-"};
const BiText kFileTreeLastBranch{L"\u2514", L"+-"};

enum class TemplateRenderer::Op : std::uint8_t {
  Literal,
  FieldEnd,
  Name,
  ShortName,
  PathName,
  ShortPathName,
  RelativeName,
  ShortRelativeName,
  Path,
  ShortPath,
  RelativePath,
  ShortRelativePath,
  Size,
  KiloSize,
  MegaSize,
  Extension,
  BaseName,
  Attributes,
  Time,
  Graph,
  CommaGraph,
  Comma,
};

namespace {

using Op = TemplateRenderer::Op;

struct NamedOp {
  std::wstring_view name;  // between "{%" and "}"
  Op op;
};

constexpr NamedOp kTokens[] = {
    {L"f", Op::Name},          {L"sf", Op::ShortName},
    {L"pf", Op::PathName},     {L"spf", Op::ShortPathName},
    {L"cf", Op::RelativeName}, {L"scf", Op::ShortRelativeName},
    {L"p", Op::Path},          {L"sp", Op::ShortPath},
    {L"cp", Op::RelativePath}, {L"scp", Op::ShortRelativePath},
    {L"s", Op::Size},          {L"ks", Op::KiloSize},
    {L"ms", Op::MegaSize},     {L"e", Op::Extension},
    {L"bf", Op::BaseName},     {L"a", Op::Attributes},
    {L"g", Op::Graph},         {L"cg", Op::CommaGraph},
    {L"c", Op::Comma},
};

// The eighteen time suffixes, in the order of the token reference.
enum TimeField : std::uint8_t {
  kYear4, kYear2, kMonth0, kMonthSpace, kMonth, kMonthName, kMonthShortName,
  kDay0, kDaySpace, kDay, kHour0, kHourSpace, kHour, kMinute0, kMinute, kSecond0, kSecond, kMillis,
};
constexpr std::wstring_view kTimeSuffixes[] = {L"4y", L"2y", L"0m", L"mm", L"m",  L"em", L"sem", L"0d", L"dd",
                                               L"d",  L"0h", L"hh", L"h",  L"0n", L"n",  L"0s",  L"s",  L"ms"};
// The longest name between "{%" and "}" ("tcsem").
constexpr std::size_t kLongestName = 5;

// English whatever the UI language, "Febrary" as the program has always written it.
constexpr const wchar_t* kMonthNames[12] = {L"January", L"Febrary", L"March",     L"April",   L"May",      L"June",
                                            L"July",    L"August",  L"September", L"October", L"November", L"December"};
constexpr const wchar_t* kMonthShortNames[12] = {L"Jan.", L"Feb.", L"Mar.", L"Apr.", L"May",  L"Jun.",
                                                 L"Jul.", L"Aug.", L"Sep.", L"Oct.", L"Nov.", L"Dec."};

struct AttributeLetter {
  std::uint32_t bit;
  wchar_t letter;
};
constexpr AttributeLetter kAttributeLetters[] = {
    {kAttrArchive, L'A'}, {kAttrCompressed, L'C'}, {kAttrDirectory, L'D'},
    {kAttrEncrypted, L'E'}, {kAttrHidden, L'H'},   {kAttrOffline, L'O'},
    {kAttrReadOnly, L'R'}, {kAttrSystem, L'S'},    {kAttrTemporary, L'T'},
};

// Finds the element for the name between "{%" and "}"; false for none.
bool Lookup(std::wstring_view name, TemplateRenderer::Element& element) {
  for (const NamedOp& t : kTokens) {
    if (name == t.name) {
      element.op = t.op;
      return true;
    }
  }
  if (name.size() < 2 || name[0] != L't') return false;
  std::uint8_t which = 0;
  std::wstring_view suffix = name.substr(1);
  // No suffix starts with "c" or "a", so these always name the time.
  if (suffix[0] == L'c') {
    which = 1;
    suffix.remove_prefix(1);
  } else if (suffix[0] == L'a') {
    which = 2;
    suffix.remove_prefix(1);
  }
  for (std::size_t f = 0; f < std::size(kTimeSuffixes); ++f) {
    if (suffix == kTimeSuffixes[f]) {
      element.op = Op::Time;
      element.time = which;
      element.field = static_cast<std::uint8_t>(f);
      return true;
    }
  }
  return false;
}

// wsprintfW's "%d", "%02d", "%2d", "%04d", "%03d" for the values a time holds.
void AppendNumber(std::wstring& out, long long value, std::size_t width, wchar_t fill) {
  wchar_t digits[24];
  std::size_t n = 0;
  const bool negative = value < 0;
  unsigned long long v = negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  do {
    digits[n++] = static_cast<wchar_t>(L'0' + v % 10);
    v /= 10;
  } while (v != 0);
  if (negative) digits[n++] = L'-';
  if (n < width) out.append(width - n, fill);
  while (n > 0) out.push_back(digits[--n]);
}

void AppendUnsigned(std::wstring& out, std::uint64_t value) {
  wchar_t digits[24];
  std::size_t n = 0;
  do {
    digits[n++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) out.push_back(digits[--n]);
}

// "\" between a folder and a name unless the folder already ends in one.
void AppendJoined(std::wstring& out, const std::wstring& folder, const std::wstring& name) {
  out += folder;
  if (folder.empty() || folder.back() != L'\\') out.push_back(L'\\');
  out += name;
}

// The relative forms join only below the root: an empty relative path gives the bare name.
void AppendRelativeJoined(std::wstring& out, const std::wstring& relative, const std::wstring& name) {
  out += relative;
  if (!relative.empty() && relative.back() != L'\\') out.push_back(L'\\');
  out += name;
}

std::size_t ExtensionStart(const std::wstring& name) {
  const std::size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos ? name.size() : dot;
}

std::wstring Quoted(const wchar_t* symbol) { return std::wstring(L"\"") + symbol + L"\""; }

}  // namespace

std::wstring ExtensionOf(const std::wstring& name) { return name.substr(ExtensionStart(name)); }

LevelPrefixes ChildPrefixes(const LevelPrefixes& parent, bool folderNotLast, const std::wstring& separator,
                            bool alwaysQuoted, bool japanese) {
  LevelPrefixes child;
  child.comma = parent.comma + separator;
  const wchar_t* continuation = folderNotLast ? kFileTreeContinuation.get(japanese) : kFileTreeBlank.get(japanese);
  child.graph = parent.graph ? *parent.graph + continuation : std::wstring();
  if (!parent.commaGraph) {
    child.commaGraph = std::wstring();
  } else {
    const std::wstring symbol = alwaysQuoted ? Quoted(continuation) : std::wstring(continuation);
    child.commaGraph = parent.commaGraph->empty() ? symbol : *parent.commaGraph + separator + symbol;
  }
  return child;
}

TemplateRenderer::TemplateRenderer(const std::wstring& templateText, bool japanese) : japanese_(japanese) {
  // The field buffer keeps its room from row to row.
  field_.reserve(1024);
  auto literal = [&](std::wstring_view text) {
    if (elements_.empty() || elements_.back().op != Op::Literal) elements_.push_back({Op::Literal, 0, 0, {}});
    elements_.back().text.append(text);
  };
  const std::size_t size = templateText.size();
  for (std::size_t i = 0; i < size;) {
    const wchar_t c = templateText[i];
    if (c == L',') {
      elements_.push_back({Op::FieldEnd, 0, 0, {}});
      ++i;
      continue;
    }
    if (c == L'{' && i + 2 < size && templateText[i + 1] == L'%') {
      const std::size_t close = templateText.find(L'}', i + 2);
      if (close != std::wstring::npos && close - (i + 2) <= kLongestName) {
        const std::wstring_view name(templateText.data() + i + 2, close - (i + 2));
        Element element{Op::Literal, 0, 0, {}};
        if (name == L"{" || name == L",") {
          literal(name);
          i = close + 1;
          continue;
        }
        if (Lookup(name, element)) {
          if (element.op == Op::ShortPath || element.op == Op::ShortPathName) usesShortFolderPath_ = true;
          if (element.op == Op::Time) usedTimes_ |= 1u << element.time;
          elements_.push_back(std::move(element));
          i = close + 1;
          continue;
        }
      }
    }
    // Anything else, an unknown "{%" included, is copied one character at a time.
    literal(std::wstring_view(&templateText[i], 1));
    ++i;
  }
}

void TemplateRenderer::Flush(RecordWriter& writer) {
  if (field_.empty()) return;
  writer.WriteEscaped(field_);
  field_.clear();
}

void TemplateRenderer::AppendValue(const Element& element, const FileRow& row) {
  const FileEntry& entry = row.entry;
  const FolderLevel& level = row.level;
  const std::wstring& shortName = entry.shortName.empty() ? entry.name : entry.shortName;
  switch (element.op) {
    case Op::Name: field_ += entry.name; break;
    case Op::ShortName: field_ += shortName; break;
    case Op::PathName: AppendJoined(field_, level.folderPath, entry.name); break;
    case Op::ShortPathName:
      if (level.shortFolderPath) {
        AppendJoined(field_, *level.shortFolderPath, shortName);
      } else {
        AppendJoined(field_, level.folderPath, entry.name);
      }
      break;
    case Op::RelativeName: AppendRelativeJoined(field_, level.relativePath, entry.name); break;
    case Op::ShortRelativeName: AppendRelativeJoined(field_, level.shortRelativePath, shortName); break;
    case Op::Path: field_ += level.folderPath; break;
    case Op::ShortPath: field_ += level.shortFolderPath ? *level.shortFolderPath : level.folderPath; break;
    case Op::RelativePath: field_ += level.relativePath; break;
    case Op::ShortRelativePath:
      field_ += level.shortRelativePath.empty() ? level.relativePath : level.shortRelativePath;
      break;
    case Op::Size: AppendUnsigned(field_, entry.size); break;
    case Op::KiloSize: AppendUnsigned(field_, entry.size / 1024); break;
    case Op::MegaSize: AppendUnsigned(field_, entry.size / 1048576); break;
    case Op::Extension: field_.append(entry.name, ExtensionStart(entry.name)); break;
    case Op::BaseName: field_.append(entry.name, 0, ExtensionStart(entry.name)); break;
    case Op::Attributes:
      for (const AttributeLetter& a : kAttributeLetters) {
        if (entry.attributes & a.bit) field_.push_back(a.letter);
      }
      break;
    case Op::Time: {
      const BrokenDownTime& t = row.times[element.time];
      switch (element.field) {
        case kYear4: AppendNumber(field_, t.year, 4, L'0'); break;
        case kYear2: AppendNumber(field_, t.year % 100, 2, L'0'); break;
        case kMonth0: AppendNumber(field_, t.month, 2, L'0'); break;
        case kMonthSpace: AppendNumber(field_, t.month, 2, L' '); break;
        case kMonth: AppendNumber(field_, t.month, 0, L' '); break;
        case kMonthName:
          if (t.month >= 1 && t.month <= 12) field_ += kMonthNames[t.month - 1];
          break;
        case kMonthShortName:
          if (t.month >= 1 && t.month <= 12) field_ += kMonthShortNames[t.month - 1];
          break;
        case kDay0: AppendNumber(field_, t.day, 2, L'0'); break;
        case kDaySpace: AppendNumber(field_, t.day, 2, L' '); break;
        case kDay: AppendNumber(field_, t.day, 0, L' '); break;
        case kHour0: AppendNumber(field_, t.hour, 2, L'0'); break;
        case kHourSpace: AppendNumber(field_, t.hour, 2, L' '); break;
        case kHour: AppendNumber(field_, t.hour, 0, L' '); break;
        case kMinute0: AppendNumber(field_, t.minute, 2, L'0'); break;
        case kMinute: AppendNumber(field_, t.minute, 0, L' '); break;
        case kSecond0: AppendNumber(field_, t.second, 2, L'0'); break;
        case kSecond: AppendNumber(field_, t.second, 0, L' '); break;
        case kMillis: AppendNumber(field_, t.milliseconds, 3, L'0'); break;
      }
      break;
    }
    default: break;
  }
}

bool TemplateRenderer::RenderRow(const FileRow& row, RecordWriter& writer,
                                 const std::function<bool()>& abortRequested) {
  field_.clear();
  writer.StartRow();
  const LevelPrefixes& prefixes = row.level.prefixes;
  const wchar_t* branch = row.notLast ? kFileTreeBranch.get(japanese_) : kFileTreeLastBranch.get(japanese_);
  for (const Element& element : elements_) {
    switch (element.op) {
      case Op::Literal: field_ += element.text; break;
      case Op::FieldEnd:
        Flush(writer);
        writer.AppendSeparator();
        break;
      case Op::Graph:
        if (prefixes.graph) {
          field_ += *prefixes.graph;
          field_ += branch;
        }
        break;
      case Op::CommaGraph:
        if (prefixes.commaGraph) {
          if (!prefixes.commaGraph->empty()) {
            Flush(writer);
            writer.AppendRaw(*prefixes.commaGraph);
            writer.AppendSeparator();
          }
          field_ += branch;
        }
        break;
      case Op::Comma:
        Flush(writer);
        writer.AppendRaw(prefixes.comma);
        break;
      default: AppendValue(element, row); break;
    }
    if (abortRequested && abortRequested()) return false;
  }
  Flush(writer);
  // Every row is followed by another as far as the format can tell (C array: "},").
  writer.EndRow(false);
  return true;
}

BrokenDownTime BreakDownFileTime(std::uint64_t fileTime) {
  constexpr std::uint64_t kTicksPerMs = 10000;
  constexpr std::uint64_t kMsPerDay = 86400000;
  const std::uint64_t ms = fileTime / kTicksPerMs;
  const std::uint64_t dayMs = ms % kMsPerDay;
  BrokenDownTime t;
  t.milliseconds = static_cast<int>(dayMs % 1000);
  t.second = static_cast<int>(dayMs / 1000 % 60);
  t.minute = static_cast<int>(dayMs / 60000 % 60);
  t.hour = static_cast<int>(dayMs / 3600000);
  // Days since 1 March 1600, so that leap days end a year (400-year eras).
  const std::int64_t days = static_cast<std::int64_t>(ms / kMsPerDay) + 306;
  const std::int64_t era = days / 146097;
  const std::int64_t dayOfEra = days % 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t mp = (5 * dayOfYear + 2) / 153;
  t.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(1600 + era * 400 + yearOfEra + (t.month <= 2 ? 1 : 0));
  return t;
}

}  // namespace tblf
