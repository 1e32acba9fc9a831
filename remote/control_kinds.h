#pragma once
// One constant row per control kind: its window classes, its name in both
// languages, its main list icon, how its rows are read, which options the
// main dialog shows for it, its property report data and its --kind word.
// Discovery, the selector, the engine, the property report and the main
// dialog read the row; nothing else decides by the kind. A new kind is a row
// here, the reader functions it names and an icon.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/text.h"
#include "remote/control_reader.h"

namespace tblf {

struct StyleName {
  const wchar_t* name;
  std::uint32_t value;
};
using StyleTable = std::span<const StyleName>;

// How the engine turns a control of the kind into rows.
enum class RowShape : unsigned char {
  Table,  // a header row, then rows of cells (list view)
  Tree,   // one row per item in pre-order, after the tree prefix
  Items,  // one row of one cell per item, read by `itemText`
  Files,  // the output host's file list run
  Lines,  // one row of one cell per text, all read at once by `textRows`
};

// The group of options the main dialog shows while a row of the kind is selected.
enum class KindOptions : unsigned char { RowColumn, Tree, FileList, None };

using ItemTextReader = std::optional<std::wstring> (ControlReader::*)(WindowId control, int index);
using TextRowsReader = std::optional<std::vector<std::wstring>> (ControlReader::*)(WindowId control);

struct KindDescriptor {
  ControlKind kind;
  // Window classes of the kind; the first is the one the property report
  // names. Empty for a row that is no control of another program (the file
  // list): it has no handle, no property report and no preview.
  std::span<const wchar_t* const> classNames;
  BiText label;                // the property report's kind line; the file list row's text
  const wchar_t* listSuffix;   // after the handle in the main list: "(ListView)"
  const wchar_t* cliWord;      // the --kind word; nullptr: none
  int icon;                    // resource id of the main list icon
  std::uint32_t drawnColour;   // 0x00BBGGRR of the square drawn when the icon is missing
  KindOptions options;
  RowShape shape;
  ItemTextReader itemText;     // RowShape::Items: the text of one item
  unsigned countMessage;       // the message that answers the item count; 0: none
  bool listedAlways;           // listed while the other-controls option is off
  bool multiSelect;            // the multi-selection helper works on it
  StyleTable styleNames;       // the kind's own style names, in decoding order
  // Style bits with which the texts may not be read right, unless
  // `hasStringsBit` is set too (0: nothing redeems them).
  std::uint32_t ownerDrawBits;
  std::uint32_t hasStringsBit;
  const BiText* ownerDrawNote;     // the main list's note column
  const BiText* ownerDrawWarning;  // the property report's line
  TextRowsReader textRows;     // RowShape::Lines: every row of the control
  bool textControl;            // listed only while the text-controls option is on

  bool IsControl() const { return !classNames.empty(); }
};

// Every kind, in the order of the --kind words and of the main list's icons.
std::span<const KindDescriptor> ControlKinds();
// The row of a kind; nullptr for a value no row has.
const KindDescriptor* FindKind(ControlKind kind);
// The row whose classes hold the class name (a versioned name
// "6.0.2600.2982!SysListView32" counts as its last part); nullptr for others.
const KindDescriptor* FindKindOfClass(const std::wstring& className);
// The row of a --kind word; nullptr for other words.
const KindDescriptor* FindKindOfWord(const std::wstring& word);
// The --kind words in table order: separated by `separator`, the last two by `last`.
std::wstring KindWords(const wchar_t* separator, const wchar_t* last);
// The style has owner-draw bits that make the texts unreliable.
bool OwnerDrawn(const KindDescriptor& kind, std::uint32_t style);

extern const BiText kListViewOwnerDrawNote;
extern const BiText kListBoxOwnerDrawNote;
extern const BiText kComboBoxOwnerDrawNote;

}  // namespace tblf
