#pragma once
// The verbs of q51ctl. Each returns the process's exit code (exit_codes.h).

#include "cli/command_line.h"
#include "cli/port_runner.h"
#include "model/configuration.h"

namespace q51 {
struct Setting;
struct FirmwareImage;
}

namespace q51::cli {

int RunVerb(const CommandLine &line);

// What a verb's plain arguments are, so a shell can complete them.
enum class ArgumentWords { None, Files, ConfigFile, ConfigThenKeys, ConfigThenAssignments, Keys, Image, MemoryRequest, Port };
struct VerbWords {
    QString verb;
    ArgumentWords arguments;
    QStringList options; // every option the verb takes
};
// Every verb, from the table RunVerb dispatches and checks options by.
std::vector<VerbWords> VerbWordsTable();
// The requests "memory" takes.
QStringList MemoryRequestWords();

// By group: transfers of the configuration and single commands,
int RunDownload(const CommandLine &line);
int RunUpload(const CommandLine &line);
int RunVersion(const CommandLine &line);
int RunStatus(const CommandLine &line);
int RunTrigger(const CommandLine &line);
// configurations by name,
int RunReport(const CommandLine &line);
int RunDiff(const CommandLine &line);
int RunExport(const CommandLine &line);
int RunImport(const CommandLine &line);
int RunGet(const CommandLine &line);
int RunSet(const CommandLine &line);
int RunKeys(const CommandLine &line);
// and the service verbs.
int RunIsp(const CommandLine &line);
int RunMemory(const CommandLine &line);
// The serial ports and the Com n each stands for.
int RunPorts(const CommandLine &line);
// Why a port cannot be used, with the command that fixes it.
int RunDoctor(const CommandLine &line);
// Where on the named ports a decoder answers, whatever its link settings.
int RunDetect(const CommandLine &line);
// A file's settings sent after a backup, read back and verified; the backups.
int RunApply(const CommandLine &line);
int RunBackups(const CommandLine &line);
// The station's records, filtered by time, result and port.
int RunRecords(const CommandLine &line);
// download --backup: the whole block sent the way apply sends settings.
Task<int> DownloadWithBackup(PortJob job, const Configuration &config, const QString &backupFolder);

// The production station: every port's units given the golden block,
// verified and recorded, until Ctrl+C.
int RunStation(const CommandLine &line);
// The image isp and station send, with the window's message when it cannot be used.
int LoadImageArgument(const QString &path, FirmwareImage &image);

// The one setting a typed key names; Usage() (into code) when it names none or many.
const Setting *ResolveKey(const QString &typed, int &code);

// Says what is wrong in one line and points at --help, on stderr; returns UsageError.
int Usage(const QString &problem);
// Usage() unless the verb got between least and most arguments.
std::optional<int> CheckArgumentCount(const CommandLine &line, int least, int most, const char *expected);

// BadFile (told) when the file's stored port is no Com n and no port is named.
int CheckStoredPort(const CommandLine &line, const Configuration &config);
// The configuration a fresh start of the program holds.
Configuration StartUpConfiguration();
// Reads the decoder's block into config as "Upload To PC" does, saying
// nothing when it succeeds.
Task<int> UploadInto(PortJob job, Configuration &config);

} // namespace q51::cli
