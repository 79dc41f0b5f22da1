#pragma once
// What one undo step keeps: the block and the values a file carries with
// it. Link settings, the file name and the saved copy are not the user's
// edits and stay as they are when a step is undone.

#include "model/configuration.h"

namespace q51 {

struct DocumentState {
    Block block{};
    DocumentHeader header;
    bool operator==(const DocumentState &) const = default;
};

inline DocumentState StateOf(const Configuration &config)
{
    return {config.block, config.Header()};
}

inline void ApplyState(Configuration &config, const DocumentState &state)
{
    config.block = state.block;
    config.DeviceName = state.header.DeviceName;
    config.UserName = state.header.UserName;
    config.BuildingDate = state.header.BuildingDate;
    config.Description = state.header.Description;
    config.PortNumber = state.header.PortNumber;
    config.TransferMode = state.header.TransferMode;
}

} // namespace q51
