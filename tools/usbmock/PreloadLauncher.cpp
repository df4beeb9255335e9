#include "PreloadLauncher.h"

#include <link.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace usbmock {

namespace {

volatile sig_atomic_t g_child = 0;

void forward(int signal) {
    if (g_child > 0) {
        kill(g_child, signal);
    }
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

std::string PreloadLauncher::sanitizerRuntime() {
    std::string found;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            const char* name = info->dlpi_name != nullptr ? info->dlpi_name : "";
            const char* base = std::strrchr(name, '/');
            base = base != nullptr ? base + 1 : name;
            if (std::strncmp(base, "libasan.so", 10) == 0) {
                *static_cast<std::string*>(data) = name;
                return 1;
            }
            return 0;
        },
        &found);
    return found;
}

std::vector<std::string> PreloadLauncher::childEnvironment(
    const std::vector<std::string>& environment, const std::string& sanitizerRuntime) {
    std::string preload = sanitizerRuntime.empty() ? kPreload : sanitizerRuntime + ":" + kPreload;
    std::vector<std::string> result;
    for (const std::string& entry : environment) {
        if (startsWith(entry, "LD_PRELOAD=")) {
            const std::string old = entry.substr(11);
            if (!old.empty()) {
                preload += ":" + old;
            }
        } else if (!startsWith(entry, "KXCX_BACKEND=")) {
            result.push_back(entry);
        }
    }
    result.push_back("LD_PRELOAD=" + preload);
    result.push_back("KXCX_BACKEND=libusb");
    return result;
}

int PreloadLauncher::run(const std::vector<std::string>& command) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        environment.emplace_back(*entry);
    }
    const auto childEnv = childEnvironment(environment, sanitizerRuntime());
    std::vector<char*> argv;
    for (const auto& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& entry : childEnv) {
        envp.push_back(const_cast<char*>(entry.c_str()));
    }
    envp.push_back(nullptr);

    struct sigaction action {};
    action.sa_handler = forward;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
    pid_t child = 0;
    const int error = posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), envp.data());
    if (error != 0) {
        std::fprintf(stderr, "kxcx-usbmock: cannot start %s: %s\n", argv[0], std::strerror(error));
        return 127;
    }
    g_child = child;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    g_child = 0;
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace usbmock
