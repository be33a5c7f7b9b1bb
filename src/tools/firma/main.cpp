// accise-firma: the signing program of a test or demonstration installation. It
// signs flow files with a TEST certificate of its own, so that flows can be created,
// signed and sent to the agency simulator on one machine. Started by the desktop
// program without parameters, in the working folder; --data names another one.
//   accise-firma [--data DIR]
//   accise-firma --batch FILE [--out FILE.p7m] [--data DIR]
#include <QApplication>
#include <QCoreApplication>
#include <QStandardPaths>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "firma/firmawindow.h"
#include "firma/testsigner.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage = "uso: accise-firma [--data CARTELLA]\n"
                               "     accise-firma --batch FILE [--out FILE.p7m] [--data CARTELLA]";

fs::path settingsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();
}

int batch(const fs::path& file, std::optional<fs::path> out, const fs::path& working) {
    try {
        if (!out) {
            // The configuration's folder of signed files, or beside the file without one.
            const accise::firma::SigningFolders folders = accise::firma::signingFolders(working);
            out = accise::firma::signedCopyOf(file, folders.problem.empty() ? folders.signedFiles : file.parent_path());
        }
        accise::firma::signFile(file, *out, accise::firma::testIdentity(settingsFolder()));
        std::cout << "FIRMA DI PROVA: " << out->string() << "\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "accise-firma: " << e.what() << "\n";
        return 2;
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("accise-firma"));
    std::optional<fs::path> batchFile, out, data;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto next = [&]() -> std::optional<fs::path> {
            if (i + 1 >= argc) return std::nullopt;
            return fs::path(argv[++i]);
        };
        std::optional<fs::path>* target = a == "--batch" ? &batchFile : a == "--out" ? &out : a == "--data" ? &data : nullptr;
        if (!target || !(*target = next())) {
            std::cerr << "accise-firma: argomento non valido: " << a << "\n" << kUsage << "\n";
            return 2;
        }
    }
    if (out && !batchFile) {
        std::cerr << "accise-firma: --out vale solo con --batch\n" << kUsage << "\n";
        return 2;
    }
    const fs::path working = data ? fs::absolute(*data) : fs::current_path();

    if (batchFile) {
        QCoreApplication app(argc, argv);
        return batch(*batchFile, out, working);
    }
    QApplication app(argc, argv);
    accise::firma::FirmaWindow window(working, settingsFolder());
    window.show();
    return app.exec();
}
