// The scripted session: a session script's steps run one after the other,
// printed as a transcript.
#pragma once

#include <vector>

#include "tools/host/session_script.h"

int RunScript(const std::vector<ScriptStep>& steps);
