#include "output/record_formats.h"

namespace tblf {

const RecordFormatInfo kRecordFormatInfo[kRecordFormatCount] = {
    {L"csv", 1, L"csv"},   // CSV and TSV share the CSV filter and extension
    {L"tsv", 1, L"csv"},
    {L"html", 2, L"html"},
    {L"c", 3, L"c"},
    {L"space", 4, L"txt"},
    {L"json", 5, L"json"},
    {L"markdown", 6, L"md"},
};

const SaveFilter kSaveFilters[kSaveFilterCount] = {
    {{L"CSVファイル(*.csv;*.txt)", L"CSV files(*.csv;*.txt)"}, L"*.csv;*.txt"},
    {{L"HTMLファイル(*.html;*.htm)", L"HTML files(*.html;*.htm)"}, L"*.html;*.htm"},
    {{L"Cファイル(*.c;*.cpp;*.cxx;*.h;*.hpp;*.hxx;*.pc)", L"C files(*.c;*.cpp;*.cxx;*.h;*.hpp;*.hxx;*.pc)"},
     L"*.c;*.cpp;*.cxx;*.h;*.hpp;*.hxx;*.pc"},
    {{L"テキストファイル(*.txt)", L"Text files(*.txt)"}, L"*.txt"},
    {{L"JSONファイル(*.json)", L"JSON files(*.json)"}, L"*.json"},
    {{L"Markdownファイル(*.md)", L"Markdown files(*.md)"}, L"*.md"},
    {{L"すべてのファイル(*.*)", L"All files(*.*)"}, L"*.*"},
};

}  // namespace tblf
