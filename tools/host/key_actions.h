// What the file manager does with the keys the plug-in sends: Enter opens a
// folder, goes up one, or would run a file; F3 shows a file in its viewer;
// any other key is one of its own and opens nothing.
#pragma once

#include <vector>

#include "tools/hostkit/key_hook.h"

// Acts on the first key pressed among those sent, with Ctrl as it is then.
void ActOn(const std::vector<SentKey>& keys);
