#include "sim/device_link.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace q51::sim {

DeviceLink::DeviceLink(std::string path, const std::string &target) : path_(std::move(path)), target_(target)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path_, ec);
    if (fs::exists(status)) {
        if (!fs::is_symlink(status))
            throw std::runtime_error(path_ + " exists and is not a symbolic link; not replacing it");
        fs::remove(path_, ec);
    }
    fs::create_symlink(target_, path_, ec);
    if (ec)
        throw std::runtime_error("cannot create the link " + path_ + ": " + ec.message());
}

DeviceLink::~DeviceLink()
{
    // Leave the path alone if another simulator has taken it over meanwhile.
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path_, ec)) && fs::read_symlink(path_, ec) == target_)
        fs::remove(path_, ec);
}

} // namespace q51::sim
