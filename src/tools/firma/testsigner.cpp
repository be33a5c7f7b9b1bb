#include "firma/testsigner.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/files/folders.h"
#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/tables/company.h"

namespace accise::firma {
namespace {

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw IoError(file, "il file non esiste o non è leggibile");
    return {std::istreambuf_iterator<char>(in), {}};
}

// The private key is readable by its owner only from its first byte on: the file is
// made empty, closed to others, and only then filled; it takes its name when whole.
void writePrivateFile(const fs::path& file, const std::string& content) {
    fs::path beside = file;
    beside += ".~nuovo";
    std::error_code error;
    fs::remove(beside, error);
    { std::ofstream create(beside, std::ios::binary); if (!create) throw IoError(beside, "creazione non riuscita"); }
    fs::permissions(beside, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace, error);
    if (error) {
        fs::remove(beside, error);
        throw IoError(beside, "impossibile renderlo privato: " + error.message());
    }
    {
        std::ofstream out(beside, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) throw IoError(beside, "scrittura non riuscita");
    }
    fs::rename(beside, file, error);
    if (error) throw IoError(file, "sostituzione: " + error.message());
}

} // namespace

SigningFolders signingFolders(const fs::path& working) {
    SigningFolders f;
    const Folders folders = Folders::of(working, working);
    if (!fileExists(folders.applConfig())) {
        f.problem = "Nella cartella di lavoro " + working.string() +
                    " manca la configurazione dei percorsi (APPL.CFG).";
        return f;
    }
    const ApplPaths paths = resolvedApplPaths(folders);
    if (paths[1].empty() || paths[2].empty()) {
        f.problem = "Nella configurazione dei percorsi mancano la cartella dei file da firmare "
                    "o quella dei file firmati.";
        return f;
    }
    f.toSign = paths[1];
    f.signedFiles = paths[2];
    if (!fs::is_directory(f.toSign)) f.problem = "La cartella dei file da firmare non esiste: " + f.toSign.string();
    else if (!fs::is_directory(f.signedFiles)) f.problem = "La cartella dei file firmati non esiste: " + f.signedFiles.string();
    return f;
}

cms::Identity testIdentity(const fs::path& settingsFolder) {
    const fs::path certFile = settingsFolder / "certificato-prova.pem";
    const fs::path keyFile = settingsFolder / "chiave-prova.pem";
    if (fs::exists(certFile) && fs::exists(keyFile)) return {readAll(certFile), readAll(keyFile)};

    fs::create_directories(settingsFolder);
    cms::CertificateRequest request;
    request.commonName = kTestSignerName;
    request.organization = "Accise Birra - certificato di prova";
    const cms::Identity identity = cms::makeCertificate(request);
    // The key first: a certificate without its key would be useless.
    writePrivateFile(keyFile, identity.privateKeyPem);
    replaceFileContent(certFile, identity.certificatePem);
    return identity;
}

std::vector<fs::path> filesToSign(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (!entry.is_regular_file()) continue;
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (ext != ".p7m") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

fs::path signedCopyOf(const fs::path& file, const fs::path& signedFolder) {
    return signedFolder / (file.filename().string() + ".p7m");
}

void signFile(const fs::path& file, const fs::path& out, const cms::Identity& signer) {
    const std::string content = readAll(file);
    replaceFileContent(out, cms::signAttached(content, signer));
}

} // namespace accise::firma
