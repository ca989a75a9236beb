// The file manager's reading of the console, as a session script types into
// it: one queue in arrival order, the keys the plug-in sends joining its end,
// each key named as the file manager names it; a bound key invokes the
// plug-in, which reads the next event itself, and any other key gets the
// host's own action.
#pragma once

#include <string>
#include <vector>

#include "tools/host/session_script.h"

// The most invocations in a row without a key the user typed being read, by
// the host or the plug-in: more means the bindings feed themselves. A walk
// needs one or two; each key the user types resets the count.
constexpr int MostInvocationsWithoutTypedKey = 20;

// Binds the keys, as ChordName names them, to invoking the plug-in.
void Bind(const std::vector<std::string>& chords);
bool IsBound(const std::string& chord);
// The keys bound, blank-separated, as a binding writes them ("CtrlDown CtrlUp").
std::string BoundKeys();

// Types the events. One at a time, each arrives once everything queued before
// it has been read; ahead, all arrive at once, before the host reads any (a
// plug-in that waits for a key still takes the first as it arrives). The host
// then reads the queue until it is empty and no event is left to type. False
// when the runaway guard stopped the session.
bool TypeKeys(const std::vector<TypedKey>& typed, bool ahead);
// A press or release line invokes the plug-in itself: one still waiting for
// a typed key no longer does.
void ForgetWaitingInvocation();
// At the session's end: a problem when the plug-in still waits for a key.
void EndTyping();
