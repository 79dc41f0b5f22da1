#pragma once
// What a setting is compared with: the factory block, or the copy last
// saved to or read from a file. Changed Settings, the tool tips and "Reset
// to Factory Value" all take the factory value from here.

#include <QList>

#include <string>

#include "model/configuration.h"
#include "schema/setting_catalog.h"

namespace q51 {

enum class Reference { Factory, SavedFile };

// A configuration holding the factory block (header strings empty).
const Configuration &FactoryConfiguration();

// Whether a setting has a factory value: the block's settings a page
// shows or that no page describes; not the file's header, not the checksum.
bool HasFactoryValue(const Setting &setting);

// The configuration as the reference holds it: the factory block, or the
// saved block and header.
Configuration ReferenceOf(const Configuration &now, Reference reference);

// The settings whose value differs from the reference, in catalogue order.
QList<const Setting *> ChangedSettings(const Configuration &now, Reference reference);

class ConfigDocument;

// Puts the factory value back: one step, "Reset Baud Rate to Factory Value".
void ResetToFactoryValue(ConfigDocument &document, const Setting &setting);

} // namespace q51
