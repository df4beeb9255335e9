#include "FifoFeeder.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

FifoFeeder::FifoFeeder(std::string name, std::string text)
    : m_name(std::move(name)), m_text(std::move(text)) {
    ::mkfifo(m_name.c_str(), 0600);
    m_thread = std::thread([this] { feed(); });
}

FifoFeeder::~FifoFeeder() {
    m_stop = true;
    m_thread.join();
    std::remove(m_name.c_str());
}

void FifoFeeder::feed() {
    // A reader that closes before the text is written makes the write fail, not end the test.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    while (!m_stop) {
        // Opening for writing without blocking fails until a reader has the pipe open.
        const int fd = ::open(m_name.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        ++m_readers;
        const int flags = ::fcntl(fd, F_GETFL);
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        const ssize_t written = ::write(fd, m_text.data(), m_text.size());
        static_cast<void>(written);
        ::close(fd);
        // The reader sees the end of the text before it can open the pipe again.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
