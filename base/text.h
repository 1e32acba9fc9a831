#pragma once
// Bilingual texts. Every user-visible text of the program is a Japanese and
// an English pair; the pair is chosen by the process-wide UI flag at the
// moment the text is shown, never earlier.

namespace tblf {

// True for the Japanese UI. Fixed at start (SelectUiLanguage) before any
// window or worker thread exists; only read afterwards.
extern bool g_japaneseUi;

struct BiText {
  const wchar_t* ja;
  const wchar_t* en;
  // The form for the current UI language.
  const wchar_t* get() const { return g_japaneseUi ? ja : en; }
  const wchar_t* get(bool japanese) const { return japanese ? ja : en; }
};

// Shorthand for call sites that read better as a function.
inline const wchar_t* Pick(const BiText& text) { return text.get(); }

}  // namespace tblf
