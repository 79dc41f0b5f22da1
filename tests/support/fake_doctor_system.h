#pragma once
// The system as the port doctor sees it, from tables: device nodes, links,
// directories and files, this process's identity and a clock that moves a
// set step on every reading.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "link/port_doctor_system.h"

namespace q51::test {

class FakeDoctorSystem final : public PortDoctorSystem {
public:
    std::map<std::string, NodeFacts> nodes;
    std::set<std::string> usable;                  // paths this process may read and write
    std::map<std::string, std::string> resolved;   // resolve(); a node not listed resolves to itself
    std::map<std::string, std::string> links;      // linkTarget()
    std::map<std::string, std::vector<std::string>> directories;
    std::map<std::string, std::string> files;
    std::map<unsigned, std::string> users;
    ProcessIdentity who;
    long long clockStep = 0;
    mutable std::map<std::string, int> listings; // how often each directory was listed

    // A process with its name; each descriptor points at a target. Without
    // readable descriptors its fd directory cannot be listed.
    void addProcess(unsigned pid, const std::string &name, const std::vector<std::string> &targets,
                    bool readable = true)
    {
        const std::string base = "/proc/" + std::to_string(pid);
        directories["/proc"].push_back(std::to_string(pid));
        files[base + "/comm"] = name + "\n";
        if (!readable)
            return;
        auto &fds = directories[base + "/fd"];
        for (std::size_t i = 0; i < targets.size(); ++i) {
            fds.push_back(std::to_string(i));
            links[base + "/fd/" + std::to_string(i)] = targets[i];
        }
    }

    std::optional<NodeFacts> node(const std::string &path) const override
    {
        const auto found = nodes.find(resolve(path));
        return found == nodes.end() ? std::nullopt : std::optional(found->second);
    }
    bool mayReadWrite(const std::string &path) const override { return usable.count(path) > 0; }
    std::string resolve(const std::string &path) const override
    {
        const auto found = resolved.find(path);
        if (found != resolved.end())
            return found->second;
        return nodes.count(path) ? path : std::string();
    }
    std::string linkTarget(const std::string &path) const override { return lookup(links, path); }
    std::vector<std::string> list(const std::string &directory, std::size_t limit) const override
    {
        std::string key = directory;
        if (key.size() > 1 && key.back() == '/')
            key.pop_back();
        ++listings[key];
        const auto found = directories.find(key);
        if (found == directories.end())
            return {};
        std::vector<std::string> names = found->second;
        if (names.size() > limit)
            names.resize(limit);
        return names;
    }
    std::optional<std::string> read(const std::string &path, std::size_t limit) const override
    {
        const auto found = files.find(path);
        if (found == files.end())
            return std::nullopt;
        return found->second.substr(0, limit);
    }
    ProcessIdentity identity() const override { return who; }
    std::string userName(unsigned uid) const override { return lookup(users, uid); }
    long long milliseconds() const override { return now_ += clockStep; }

private:
    template <typename Map, typename Key>
    static std::string lookup(const Map &map, const Key &key)
    {
        const auto found = map.find(key);
        return found == map.end() ? std::string() : found->second;
    }

    mutable long long now_ = 0;
};

} // namespace q51::test
