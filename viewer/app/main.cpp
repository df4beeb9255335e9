// Harnview's entry point: the command line first (some of it needs no display), then the root
// (VelquinRoot) with the shipped files it lacks, then the application and its main window.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "AddUserCommand.h"
#include "HarnviewCommandLine.h"
#include "Nelvora.h"
#include "ShippedFiles.h"
#include "SingleInstances.h"
#include "TerminationSignals.h"
#include "VelquinRoot.h"

namespace {

// Makes the root of the command line (or the default one) the working folder; an empty path
// when it cannot be, after saying why on standard error.
std::filesystem::path enterRoot(const hv::HarnviewOptions& options) {
    const std::filesystem::path root = hv::VelquinRoot::choose(options.folder);
    std::string why;
    if (!hv::VelquinRoot::enter(root, why)) {
        std::fprintf(stderr, "Harnview: %s\n", why.c_str());
        return {};
    }
    return root;
}

int runViewer(int argc, char** argv, const hv::HarnviewOptions& options) {
    if (options.simulate) {
        setenv("KXCX_BACKEND", "sim", 1);
    }
    QApplication application(argc, argv);
    hv::TerminationSignals termination;
    int result = 0;
    {
        // Bring-up runs in the constructor. A window it left disabled is never shown, and one
        // that asked to end (new controller firmware) ends with its status.
        auto window = std::make_unique<hv::Nelvora>();
        // A termination signal during the bring-up ends the program without showing it.
        if (!window->exitStatus() && window->isEnabled() && termination.received() == 0) {
            window->show();
            result = application.exec();
        }
        result = window->exitStatus().value_or(result);
    }
    // The single-instance dialogs go before the application object.
    hv::SingleInstances::destroyAll();
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const hv::HarnviewOptions options =
        hv::HarnviewCommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
        case hv::HarnviewOptions::PrintVersion:
            std::fputs(hv::HarnviewCommandLine::versionText().c_str(), stdout);
            return 0;
        case hv::HarnviewOptions::PrintHelp:
            std::fputs(hv::HarnviewCommandLine::helpText().c_str(), stdout);
            return 0;
        case hv::HarnviewOptions::Refuse:
            std::fprintf(stderr, "Harnview: %s\nTry 'Harnview --help'.\n", options.problem.c_str());
            return 2;
        case hv::HarnviewOptions::AddUser:
        case hv::HarnviewOptions::Run:
            break;
    }
    const std::filesystem::path root = enterRoot(options);
    if (root.empty()) {
        return 1;
    }
    if (options.action == hv::HarnviewOptions::AddUser) {
        return hv::AddUserCommand(options.userName, options.userType, root.string())
            .run(stdin, stdout, stderr);
    }
    hv::ShippedFiles::forThisProgram().addMissing(root, stderr);
    return runViewer(argc, argv, options);
}
