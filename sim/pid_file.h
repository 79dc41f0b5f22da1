#pragma once
// --pid-file: the decoder's process id in a file for as long as it runs, so
// a test can signal one decoder of --count.

#include <string>

namespace q51::sim {

class PidFile {
public:
    // Writes this process's id to path (nothing for an empty path); error()
    // says why it could not.
    explicit PidFile(std::string path);
    ~PidFile();
    PidFile(const PidFile &) = delete;
    PidFile &operator=(const PidFile &) = delete;

    [[nodiscard]] const std::string &error() const { return error_; }

private:
    std::string path_;
    std::string error_;
};

} // namespace q51::sim
