#pragma once

#include "base/Options.h"

#include <functional>
#include <string>
#include <string_view>

namespace vocalix::tools {

// The text being typed into, seen around the caret. Offsets are 0-based and count a line
// break as CR LF.
class TypingText {
public:
    virtual ~TypingText() = default;
    virtual int Caret() const = 0;
    // The character at an offset in [0, length); CR and LF for the two halves of a break.
    virtual char CharAt(int offset) const = 0;
    // Replaces `length` characters at `start`; the caret is set afterwards with SetCaret.
    virtual void Replace(int start, int length, std::string_view cp1251) = 0;
    virtual void SetCaret(int offset) = 0;
};

// The typing options read at every key press: AutoCap, AutoRepl, AutoParag, AutoAloud,
// AutoAloudP, AutoAloudA, AutoRepeat and Parag.
using TypingSettings = base::Options;

// Everything a key press does before the typed character `c` is inserted: capitals, book
// typography, the paragraph indent and reading the finished piece aloud (through `speak`).
// `lastKey` is the previous character typed (0 = none) and becomes `c`.
void TypingKeyPress(TypingText& text, char c, char& lastKey, const TypingSettings& settings,
                    const std::function<void(const std::string&)>& speak);

// One of the five replacements: 1 dash, 2 opening and 3 closing angle quote, 4 ellipsis,
// 5 paragraph indent after Enter.
void AutoReplaceChar(TypingText& text, int kind, int parag);
// Capitalises the word just finished when it starts a sentence or the text.
void AutoCapitalize(TypingText& text);
// The sentence or paragraph just finished, repeated as the settings ask; empty when nothing.
std::string TypedPieceToSpeak(const TypingText& text, const TypingSettings& settings);

} // namespace vocalix::tools
