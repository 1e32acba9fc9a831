#pragma once
// The portable half of the open-with-application destination: the command
// line with the file's path put in, the history update of the choice dialog
// and the temporary file's name.

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tblf {

// The ways of opening that the choice dialog gives back (0: nothing to do).
enum class OpenWay { None = 0, Csv = 1, Txt = 2, CommandLine = 3, Html = 4 };

// The extension of the temporary file: ".csv" for CSV and the command line,
// ".txt", ".html"; empty for None.
const wchar_t* TemporaryExtension(OpenWay way);

// Every "%s" of `command` replaced by `path`; the scan goes on after each
// inserted path, so a "%s" inside the path stays as it is.
std::wstring PutPathIntoCommand(const std::wstring& command, const std::wstring& path);

// The history writes after OK with `text`: (digit, value) pairs for the keys
// "cmdline0" ... "cmdline9", in writing order. `entries` are the history's
// list entries as shown (most recent first). The text goes to the front; the
// entries before its old place move down by one; those after keep their key.
std::vector<std::pair<int, std::wstring>> HistoryWrites(const std::vector<std::wstring>& entries,
                                                        const std::wstring& text);

// "<folder>\tblftmp<n><extension>" with the smallest n from 1 on for which
// neither "<folder>\tblftmp<n>" nor the name with the extension exists (so a
// second output never lands on the first one's file). `folder` may end with a
// backslash.
std::wstring TemporaryFileName(const std::wstring& folder, const std::wstring& extension,
                               const std::function<bool(const std::wstring&)>& exists);

}  // namespace tblf
