#pragma once
// Which device stands behind "Com n" in this run: the mapping rules of
// com_port_mapping.h applied to the user's picks, Q51_COM<n> and the ports
// the catalogue detects now. One state for the whole process, so every
// window and the transports agree.

#include <memory>

#include <QString>

#include "link/com_port_mapping.h"
#include "link/port_catalogue.h"

namespace q51 {

// The catalogue everything reads: the system's, unless a test set another.
[[nodiscard]] const PortCatalogue &CurrentPortCatalogue();
// nullptr puts the system's back.
void SetPortCatalogue(std::shared_ptr<const PortCatalogue> catalogue);

// Points Com n at a device for the rest of the run; an empty device puts
// the usual mapping back. Numbers outside 1..4 are ignored.
void PickDeviceForPort(int portNumber, const QString &device);
[[nodiscard]] QString PickedDeviceForPort(int portNumber);
void ForgetPickedDevices();

// Com n under the current picks, Q51_COM<n> and the given ports.
[[nodiscard]] ComDevice ComDeviceFor(int portNumber, const QList<DetectedPort> &detected);
// The same without the pick: what taking a pick back returns to.
[[nodiscard]] ComDevice UsualComDeviceFor(int portNumber, const QList<DetectedPort> &detected);

// The device to open for Com n, detecting the ports now. Empty for a port
// number below 1, which names no device.
[[nodiscard]] QString deviceNameForPort(int portNumber);

} // namespace q51
