#pragma once
// The helper uses a privilege, so each start is put on record in the system
// log's authorisation facility with the user who asked. Without a log
// daemon the lines are dropped; logging never stops the helper.

#include <string_view>

namespace q51::keyboard_helper {

// "started by NAME (uid N)". Call it without the capability: naming the
// user may load name-service modules.
void LogStart();
// Why this start went no further, with the uid.
void LogDeclined(std::string_view why);

} // namespace q51::keyboard_helper
