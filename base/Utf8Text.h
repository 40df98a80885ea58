#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ledgerlift {

// The length of the valid UTF-8 character that starts at text[at] (no
// overlong form, no surrogate, nothing beyond U+10FFFF); 0 when none does.
std::size_t Utf8CharacterLength(std::string_view text, std::size_t at);

// Whether every byte of text belongs to a valid UTF-8 character.
bool IsValidUtf8(std::string_view text);

// The longest head of text of at most maxBytes bytes that does not end
// inside a character: a text cut there is still valid UTF-8 when the whole
// was.
std::string_view Utf8Head(std::string_view text, std::size_t maxBytes);

// Text as a message shows it on one line: every control character (C0, DEL,
// C1) and every byte that starts no valid character written as an escape
// ("\x1B", "\u009B", "\x00"), so that a name read from a file can neither
// cut a sentence short nor drive the terminal it is printed on.
std::string ShownText(std::string_view text);

// Every control character of text (C0 with tab and line feed, DEL, C1) made
// a space, byte for byte: a heading written on two lines reads as one, and
// none can drive a terminal.
void ControlsToSpaces(std::string& text);

}  // namespace ledgerlift
