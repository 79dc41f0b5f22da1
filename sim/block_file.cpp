#include "sim/block_file.h"

#include <cstdio>
#include <fstream>
#include <cerrno>
#include <system_error>

namespace q51::sim {

std::string ReadBlockFile(const std::string &path, Block &block)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "cannot open " + path;
    Block read{};
    in.read(reinterpret_cast<char *>(read.data()), read.size());
    if (in.gcount() != static_cast<std::streamsize>(read.size()) || in.peek() != std::ifstream::traits_type::eof())
        return path + " is not a block file of exactly 256 bytes";
    block = read;
    return {};
}

std::string WriteBlockFile(const std::string &path, const Block &block)
{
    return ReplaceFile(path, std::string_view(reinterpret_cast<const char *>(block.data()), block.size()));
}

std::string ReplaceFile(const std::string &path, std::string_view contents)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return "cannot write " + temporary;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = std::generic_category().message(errno);
        std::remove(temporary.c_str());
        return "cannot replace " + path + ": " + reason;
    }
    return {};
}

} // namespace q51::sim
