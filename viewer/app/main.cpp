// Harnview's entry point: the command line first (some of it needs no display), then the
// application and its main window.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "AddUserCommand.h"
#include "HarnviewCommandLine.h"
#include "Nelvora.h"
#include "SingleInstances.h"

namespace {

int runViewer(int argc, char** argv, const hv::HarnviewOptions& options) {
    if (options.simulate) {
        setenv("KXCX_BACKEND", "sim", 1);
    }
    QApplication application(argc, argv);
    int result = 0;
    {
        auto window = std::make_unique<hv::Nelvora>();
        window->show();
        result = application.exec();
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
            return hv::AddUserCommand(options.userName, options.userType, options.folder)
                .run(stdin, stdout, stderr);
        case hv::HarnviewOptions::Run:
            break;
    }
    return runViewer(argc, argv, options);
}
