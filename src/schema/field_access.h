#pragma once
// Reading and writing a described field in the block.

#include <optional>
#include <vector>

#include "schema/field_types.h"

namespace q51 {

// The value of the choice the stored bits stand for (aliases applied), or
// nothing when no choice stands for them.
std::optional<int> ReadField(const FieldSpec &field, const Configuration &config);
// The raw stored bits under the mask, shifted down: what "Other (0x05)" shows.
int StoredCode(const FieldSpec &field, const Configuration &config);
// Writes a choice's value exactly as a click on it does.
void WriteField(const FieldSpec &field, Configuration &config, int value);
// Every (byte, mask) the field may change.
std::vector<TouchedBits> FieldTouches(const FieldSpec &field);
// The choice with that value, or nullptr.
const Choice *FindChoice(const FieldSpec &field, int value);

} // namespace q51
