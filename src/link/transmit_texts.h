#pragma once
// Every caption, label and message of the transfer window, in one place.

namespace q51::transmit_text {

inline constexpr const char *WindowCaption = "Transmit";
inline constexpr const char *Heading = "Download And Upload Configuration Data";

inline constexpr const char *DownloadButton = "Download to Decoder";
inline constexpr const char *UploadButton = "Upload To PC";
inline constexpr const char *VersionButton = "Get Firmware Version";
inline constexpr const char *CloseButton = "Close";

inline constexpr const char *WarnHeading = "Please beware";
inline constexpr const char *WarnLight = "1. Make sure the light of reader is not on before downloading data.";
inline constexpr const char *WarnButton = "2. Please don't push button of reader while downloading data.";
// One sentence over two labels.
inline constexpr const char *WarnDefaultsFirst = "3. Scan \"Set All Defaults\" before downloading data to ensure the";
inline constexpr const char *WarnDefaultsSecond = "interface parameters are correct for downloading";

// Message captions.
inline constexpr const char *CfgMessage = "CFG Message";
inline constexpr const char *UploadMessage = "Upload Message";
inline constexpr const char *SendCommandMessage = "Send Command Message";

// Message texts.
inline constexpr const char *TimeOutError = "Time Out Error!";
// The keyboard handshake's: the decoder never said it was ready.
inline constexpr const char *TimesOutError = "Times Out Error";
inline constexpr const char *DownloadOk = "Download OK!";
inline constexpr const char *DownloadFailed = "Download Failed!";
inline constexpr const char *UploadOk = "   Upload OK!";
inline constexpr const char *UploadFailed = "Upload Failed!";
inline constexpr const char *SendCommandFailed = "Send Command Failed!";
inline constexpr const char *VersionCommandFailed = "Send Get Firmware Version's Command Failed!";
// Followed by the 30 characters of the version text.
inline constexpr const char *VersionInformation = "Version Information:\r\n\r\n";

// Detail line under the time-out message when the device went away.
inline constexpr const char *PortLostDetail = "The connection to the decoder was lost; the port has been closed.";

} // namespace q51::transmit_text
