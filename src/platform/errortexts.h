#pragma once

namespace morvane {

// Morvane's own translations of the errors a file operation can meet, for a language the C
// library does not speak: the English text to look up in context "SystemErrors", or null.
const char* errorTextKey(int err);

} // namespace morvane
