#include "keyboard_helper/start_log.h"

#include <string>
#include <vector>

#include <pwd.h>
#include <syslog.h>
#include <unistd.h>

namespace q51::keyboard_helper {

namespace {

void Log(int priority, const std::string &text)
{
    static const bool opened = [] {
        // No LOG_CONS: with no daemon the line is dropped, not sent to the console.
        ::openlog("q51-keyboard-helper", LOG_PID, LOG_AUTHPRIV);
        return true;
    }();
    (void)opened;
    ::syslog(priority, "%s", text.c_str());
}

std::string UserName(uid_t uid)
{
    std::vector<char> buffer(4096);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    return "unknown user";
}

} // namespace

void LogStart()
{
    const uid_t uid = ::getuid();
    Log(LOG_NOTICE, "started by " + UserName(uid) + " (uid " + std::to_string(uid) + ")");
}

void LogDeclined(std::string_view why)
{
    // The uid alone: this may come before the capability is dropped.
    Log(LOG_WARNING, "declined for uid " + std::to_string(::getuid()) + ": " + std::string(why));
}

} // namespace q51::keyboard_helper
