// A named pipe in the current folder whose every reader gets the same text: a thread opens it
// for writing whenever someone has it open for reading, writes the text and closes it. A
// program that wrongly reads the pipe therefore reads the text and goes on, instead of waiting
// for a writer that never comes; one that leaves it alone leaves it unread.
#pragma once

#include <atomic>
#include <string>
#include <thread>

class FifoFeeder {
public:
    FifoFeeder(std::string name, std::string text);
    ~FifoFeeder();
    FifoFeeder(const FifoFeeder&) = delete;
    FifoFeeder& operator=(const FifoFeeder&) = delete;

    const std::string& name() const { return m_name; }
    // How many times a reader had the pipe open.
    int readers() const { return m_readers.load(); }

private:
    void feed();

    std::string m_name;
    std::string m_text;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_readers{0};
    std::thread m_thread;
};
