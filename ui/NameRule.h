// The rule for macro names typed into the name dialog (QuestionDialog).
//
// A macro name becomes the 30-byte name field of the device's macro record
// (UTF-8) and the name of the macro's file, so on every edit:
//  1. when the text ends in a space, every space is removed;
//  2. "/", "\", NUL, other control characters and unpaired surrogates are removed;
//  3. the text is cut at a character boundary to at most 30 bytes of UTF-8.
// "." and ".." are refused as a whole name (left in the line while typing,
// never accepted). The dialog's final check also asks IsSafeFileName
// (core/SafeFileName.h), the one rule for names that become file names.
// Pure functions, no widgets.
#pragma once

#include <QString>

constexpr int MacroNameMaxBytes = 30;

struct NameRuleResult {
    QString text;     // the text the line should show
    int cursor = 0;   // where the cursor goes: the same place among the kept characters
    bool changed = false;
};

// Applies steps 1 to 3 to edited, with the cursor at cursor (0..length).
NameRuleResult ApplyMacroNameRule(const QString& edited, int cursor);

// A name that may be used: not empty, not "." or "..", unchanged by the rule.
bool IsAcceptableMacroName(const QString& name);
