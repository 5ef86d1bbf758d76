#pragma once
// The FB2 tag commands of the result editor: each puts markup around the selected text (or at the
// caret) as one undo step of the editor.

#include <string>
#include <string_view>

#include "app/TextEditor.h"

namespace editor {

// In toolbar order.
enum class Fb2Tag { P, Epigraph, Cite, Author, Poem, Stanza, V, Strong, Emphasis, EmptyLine };

inline constexpr Fb2Tag kFb2Tags[] = {
    Fb2Tag::P,      Fb2Tag::Epigraph, Fb2Tag::Cite,   Fb2Tag::Author,   Fb2Tag::Poem,
    Fb2Tag::Stanza, Fb2Tag::V,        Fb2Tag::Strong, Fb2Tag::Emphasis, Fb2Tag::EmptyLine};

// The command's caption, which is also its hint ("<epigraph>...</epigraph>").
std::string_view Fb2TagCaption(Fb2Tag tag);
// Whether the command is also in the result editor's pop-up menu (all but "<p>...</p>").
bool Fb2TagInPopupMenu(Fb2Tag tag);

// Every occurrence of `search` replaced, left to right, bytes compared exactly; replaced text is
// not searched again and an empty `search` finds nothing.
std::string ReplaceAllText(std::string_view text, std::string_view search,
                           std::string_view replacement);

// Paragraph tags turned into verse tags: "<p>"/"<P>" become "<v>", "</p>"/"</P>" become "</v>";
// nothing else changes.
std::string VerseText(std::string_view text);

// Replaces the selection S with before + S + after as one undo step.
void WrapSelection(app::TextEditor& editor, std::string_view before, std::string_view after);

// Runs one tag command on the editor.
void InsertFb2Tag(app::TextEditor& editor, Fb2Tag tag);

}  // namespace editor
