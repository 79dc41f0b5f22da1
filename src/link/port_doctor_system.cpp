#include "link/port_doctor_system.h"

#include <chrono>
#include <climits>
#include <cstdlib>

#if defined(__unix__)
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace q51 {

#if defined(__unix__)

std::optional<NodeFacts> LivePortDoctorSystem::node(const std::string &path) const
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return NodeFacts{S_ISCHR(info.st_mode), unsigned(info.st_uid), unsigned(info.st_gid),
                     unsigned(info.st_mode & 07777)};
}

bool LivePortDoctorSystem::mayReadWrite(const std::string &path) const
{
    return ::access(path.c_str(), R_OK | W_OK) == 0;
}

std::string LivePortDoctorSystem::resolve(const std::string &path) const
{
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

std::string LivePortDoctorSystem::linkTarget(const std::string &path) const
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (length <= 0 || std::size_t(length) >= sizeof buffer)
        return {};
    return std::string(buffer, std::size_t(length));
}

std::vector<std::string> LivePortDoctorSystem::list(const std::string &directory, std::size_t limit) const
{
    std::vector<std::string> names;
    DIR *dir = ::opendir(directory.c_str());
    if (!dir)
        return names;
    while (names.size() < limit) {
        const dirent *entry = ::readdir(dir);
        if (!entry)
            break;
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

std::optional<std::string> LivePortDoctorSystem::read(const std::string &path, std::size_t limit) const
{
    // sysfs and /proc files report no size: read what comes, up to the limit.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::string text(limit, '\0');
    std::size_t filled = 0;
    bool failed = false;
    while (filled < limit) {
        const ssize_t got = ::read(fd, text.data() + filled, limit - filled);
        if (got < 0) {
            failed = true;
            break;
        }
        if (got == 0)
            break;
        filled += std::size_t(got);
    }
    ::close(fd);
    if (failed)
        return std::nullopt;
    text.resize(filled);
    return text;
}

ProcessIdentity LivePortDoctorSystem::identity() const
{
    ProcessIdentity who;
    who.pid = unsigned(::getpid());
    who.uid = unsigned(::geteuid());
    who.userName = userName(who.uid);
    who.groups.push_back(unsigned(::getegid()));
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> groups(std::size_t(count), 0);
        const int got = ::getgroups(count, groups.data());
        for (int i = 0; i < got; ++i)
            who.groups.push_back(unsigned(groups[std::size_t(i)]));
    }
    return who;
}

std::string LivePortDoctorSystem::userName(unsigned uid) const
{
    passwd entry {};
    passwd *found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid_t(uid), &entry, buffer, sizeof buffer, &found) != 0 || !found || !found->pw_name)
        return {};
    return found->pw_name;
}

#else

// Elsewhere ports are no files: the doctor finds nothing to read.
std::optional<NodeFacts> LivePortDoctorSystem::node(const std::string &) const { return std::nullopt; }
bool LivePortDoctorSystem::mayReadWrite(const std::string &) const { return false; }
std::string LivePortDoctorSystem::resolve(const std::string &) const { return {}; }
std::string LivePortDoctorSystem::linkTarget(const std::string &) const { return {}; }
std::vector<std::string> LivePortDoctorSystem::list(const std::string &, std::size_t) const { return {}; }
std::optional<std::string> LivePortDoctorSystem::read(const std::string &, std::size_t) const { return std::nullopt; }
ProcessIdentity LivePortDoctorSystem::identity() const { return {}; }
std::string LivePortDoctorSystem::userName(unsigned) const { return {}; }

#endif

long long LivePortDoctorSystem::milliseconds() const
{
    using namespace std::chrono;
    return duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace q51
