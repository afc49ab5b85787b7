#pragma once

#include <csignal>
#include <sys/resource.h>

// Lowers this process's file size limit (RLIMIT_FSIZE) while it lives: a write past the
// limit then fails (EFBIG) on any file system, as on a full disk, without root. SIGXFSZ,
// which the kernel sends along, is ignored meanwhile.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        m_isSet = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isSet() const { return m_isSet; }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
    bool m_isSet = false;
};
