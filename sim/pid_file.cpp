#include "sim/pid_file.h"

#include <cstdio>
#include <unistd.h>

#include "sim/block_file.h"

namespace q51::sim {

PidFile::PidFile(std::string path) : path_(std::move(path))
{
    if (path_.empty())
        return;
    error_ = ReplaceFile(path_, std::to_string(getpid()) + '\n');
    if (!error_.empty())
        path_.clear(); // nothing of ours to remove
}

PidFile::~PidFile()
{
    if (!path_.empty())
        std::remove(path_.c_str());
}

} // namespace q51::sim
