#pragma once
// Starting the operating system's system-information program from the
// About box. Its location is looked up in the Windows registry; elsewhere
// there is none, and the user is told so.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

namespace q51 {

class UserDialogs;

inline constexpr const char *SystemInfoUnavailable = "System Information Is Unavailable At This Time";

struct SystemInfoPlatform {
    // A string value under the local-machine root, or nothing.
    std::function<std::optional<QString>(const QString &keyName, const QString &valueName)> readLocalMachineString;
    std::function<bool(const QString &path)> fileExists;
    std::function<bool(const QString &program, const QStringList &arguments)> startDetached;
};

// The registry on Windows; on other systems a lookup that always fails.
SystemInfoPlatform NativeSystemInfoPlatform(
    std::function<bool(const QString &program, const QStringList &arguments)> startDetached);

// Tries the program's own path, then the shared-tools folder, then says
// it is unavailable.
void StartSysInfo(const SystemInfoPlatform &platform, UserDialogs &dialogs);

// A registry string of n bytes loses its terminating zero, if it has one.
std::string TrimRegistryString(const char *buffer, unsigned long length);

#ifdef _WIN32
// Reads one string value; KeyVal is emptied and false returned on failure.
bool GetKeyValue(void *KeyRoot, const std::string &KeyName, const std::string &SubKeyRef, std::string &KeyVal);
#endif

} // namespace q51
