#include "platform/PollThread.h"

#include <fcntl.h>
#include <unistd.h>

bool PollThread::Start(std::function<void(int stopFd)> body) {
    if (m_thread.joinable() || pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    m_thread = std::thread([body = std::move(body), fd = m_pipe[0]] { body(fd); });
    return true;
}

void PollThread::Stop() {
    if (!m_thread.joinable()) return;
    const char byte = 1;
    (void)!write(m_pipe[1], &byte, 1);
    m_thread.join();
    close(m_pipe[0]);
    close(m_pipe[1]);
    m_pipe[0] = m_pipe[1] = -1;
}
