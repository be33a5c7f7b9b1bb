#pragma once
// What the test signing program does, without its window: where the files to sign
// and the signed copies live (the configuration of the working folder), the test
// certificate kept in the program's settings folder, and the signature itself.
#include <filesystem>
#include <string>
#include <vector>

#include "cms/cmssignature.h"

namespace accise::firma {

namespace fs = std::filesystem;

// The folders of files to sign and of signed files of a working folder (its
// configuration's entries 2 and 3; relative paths count from the working folder).
// `problem` says in Italian what is missing when they cannot be used.
struct SigningFolders {
    fs::path toSign;
    fs::path signedFiles;
    std::string problem;
};
SigningFolders signingFolders(const fs::path& working);

// The test certificate and key of `settingsFolder`, created there on first use.
cms::Identity testIdentity(const fs::path& settingsFolder);

// The files of the folder that can be signed (not signed copies, not folders),
// by name.
std::vector<fs::path> filesToSign(const fs::path& folder);

// The signed copy's path: `signedFolder` / the file's name + ".p7m".
fs::path signedCopyOf(const fs::path& file, const fs::path& signedFolder);

// Signs `file` into `out` (CMS, DER, content attached). The copy is written beside
// and renamed, so a program waiting for it never reads half a file.
void signFile(const fs::path& file, const fs::path& out, const cms::Identity& signer);

// The certificate's subject, for the window and for messages.
inline constexpr const char* kTestSignerName = "FIRMA DI PROVA accise-firma";

} // namespace accise::firma
