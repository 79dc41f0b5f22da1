#include "app/system_info.h"

#include <QFileInfo>

#include "ui/user_dialogs.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace q51 {

namespace {

const QString MsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString SharedToolsKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

} // namespace

std::string TrimRegistryString(const char *buffer, unsigned long length)
{
    if (!buffer || length == 0)
        return {};
    if (buffer[length - 1] == '\0')
        --length;
    return std::string(buffer, length);
}

#ifdef _WIN32
bool GetKeyValue(void *KeyRoot, const std::string &KeyName, const std::string &SubKeyRef, std::string &KeyVal)
{
    KeyVal.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExA(static_cast<HKEY>(KeyRoot), KeyName.c_str(), 0, 0x2003F, &key) != ERROR_SUCCESS)
        return false;
    char buffer[1024];
    DWORD type = 0;
    DWORD size = sizeof buffer;
    const LONG rc = RegQueryValueExA(key, SubKeyRef.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ)
        return false;
    KeyVal = TrimRegistryString(buffer, size);
    return true;
}
#endif

SystemInfoPlatform NativeSystemInfoPlatform(
    std::function<bool(const QString &program, const QStringList &arguments)> startDetached)
{
    SystemInfoPlatform platform;
    platform.readLocalMachineString = [](const QString &keyName, const QString &valueName) -> std::optional<QString> {
#ifdef _WIN32
        std::string value;
        if (GetKeyValue(HKEY_LOCAL_MACHINE, keyName.toStdString(), valueName.toStdString(), value))
            return QString::fromLocal8Bit(value);
#else
        Q_UNUSED(keyName);
        Q_UNUSED(valueName);
#endif
        return std::nullopt;
    };
    platform.fileExists = [](const QString &path) { return QFileInfo(path).isFile(); };
    platform.startDetached = std::move(startDetached);
    return platform;
}

void StartSysInfo(const SystemInfoPlatform &platform, UserDialogs &dialogs)
{
    auto start = [&](const QString &program) {
        return platform.startDetached && platform.startDetached(program, {});
    };
    if (platform.readLocalMachineString) {
        if (auto path = platform.readLocalMachineString(MsInfoKey, QStringLiteral("PATH")); path && !path->isEmpty()) {
            if (start(*path))
                return;
        } else if (auto folder = platform.readLocalMachineString(SharedToolsKey, QStringLiteral("MSINFO"))) {
            const QString program = *folder + QStringLiteral("\\MSINFO32.EXE");
            if (platform.fileExists && platform.fileExists(program) && start(program))
                return;
        }
    }
    dialogs.tell(QString::fromUtf8(DefaultCaption), QString::fromUtf8(SystemInfoUnavailable));
}

} // namespace q51
