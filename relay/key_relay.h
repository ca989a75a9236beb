// The key relay: each OpenPlugin call takes one console key event and answers
// it with synthetic keys. A Ctrl release over a panel item becomes Enter (for a
// directory or a file matching StartPatternList) or F3; any other key is handed
// back, after moving the panel cursor and pressing Ctrl again when needed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "support/owned_buffers.h"

// Comma-separated wildcard patterns. No quoting; blanks belong to the patterns;
// one trailing comma means nothing; two commas in a row hold an empty pattern.
extern ModuleText StartPatternList;

// Zero while StartPatternList is the list in use. Otherwise the stored list
// could not be read, for this reason (a system error code): the default list
// is in use instead, and a value the registry may hold stays as it is.
extern uint32_t StoredListUnread;
// Puts the default list in use for the reason given (not zero); it needs no
// memory.
void UseDefaultListInstead(uint32_t reason);

// True at load and right after an invocation that sent Enter or F3. A seam for
// tests: only the relay itself sets it.
extern bool StartSent;

// A pattern longer than this never matches: it does not fit the host's buffer,
// and cutting it would change its meaning.
constexpr size_t MaxPatternLength = 259;

// True when the name matches a pattern of the list in use, asking the host's
// NameMatchService pattern by pattern in list order until one matches. An
// empty list holds no pattern. The match runs over a copy of the list made
// when it begins: a service that calls back into the plug-in and replaces the
// list changes the next match, not this one. Without memory for the copy no
// pattern is asked and the name matches nothing.
bool MatchesStartPattern(const char* fileName);

// Release of StartPatternList at unload.
void ReleaseStartPatternList();

// Returns -1, pointer-sized: a 64-bit host reads all of it as "no panel".
extern "C" intptr_t __stdcall OpenPlugin(int32_t openFrom, intptr_t item);
