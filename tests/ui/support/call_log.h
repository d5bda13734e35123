// One list of everything the tests' fakes saw, in the order it happened, so
// a test can check the order across the window and the voice.
#pragma once

#include <string>
#include <vector>

using CallLog = std::vector<std::string>;
