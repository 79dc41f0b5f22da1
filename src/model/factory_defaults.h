#pragma once
// The factory configuration block, and the header strings a new
// configuration starts with.

#include <string>

#include "model/configuration.h"

namespace q51 {

const Block &FactoryBlock();

// Overwrites every byte of the block; the saved copy, header strings,
// FileName, PortNumber and TransferMode are left alone.
void LoadFactoryDefaults(Configuration &config);

// Header strings differ in one word between a fresh start and File > New.
enum class HeaderPreset { StartUp, NewFile };
inline constexpr const char *DefaultDeviceName = "Device Name";
inline constexpr const char *DefaultUserName = "User's Name";
inline constexpr const char *StartUpDescription = "Your description about this configuration file";
inline constexpr const char *NewFileDescription = "Your Description about this Setup";

// Sets the four header strings (today is the date in the user's short form)
// and FileName "New File".
void ResetHeaderStrings(Configuration &config, HeaderPreset preset, const std::string &today);

} // namespace q51
