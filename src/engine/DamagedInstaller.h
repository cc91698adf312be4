#pragma once

// Telling the user that the installer file is damaged or incomplete: the stop alert in the
// user's language (with the expected and actual sizes when the file was cut short), and
// the technical reason on standard error.

#include <string>

#include "files/InstallerIntegrity.h"

class xLocalize;

// The alert's text for a broken installer file.
std::string DamagedInstallerText(xLocalize& localize, const IntegrityReport& report);

// Shows that text as a stop alert and writes the reason, naming the file, to standard error.
void ReportDamagedInstaller(xLocalize& localize, const std::string& path,
                            const IntegrityReport& report);

// The path of the running program.
std::string RunningProgramPath();
