#pragma once

// A disk that fills up at a chosen byte: a file-size limit (RLIMIT_FSIZE) with
// SIGXFSZ ignored, so that write() fails with EFBIG there as on a full disk.
// Linux only.

#include <QProcess>

#include <csignal>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace torsa::testing {

// The child may write no more than limit bytes into any file. Root is also
// made to obey the folders' permissions, as any technician's account does.
inline void limitChild(QProcess &process, qint64 limit)
{
    process.setChildProcessModifier([limit] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit bytes{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
        ::setrlimit(RLIMIT_FSIZE, &bytes);
        ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
        ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
    });
}

// This process's own limit, for the window, until the end of the scope.
class OwnFileSizeLimit {
public:
    explicit OwnFileSizeLimit(qint64 limit)
    {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &before_);
        const rlimit bytes{static_cast<rlim_t>(limit), before_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &bytes);
    }
    ~OwnFileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &before_); }
    OwnFileSizeLimit(const OwnFileSizeLimit &) = delete;
    OwnFileSizeLimit &operator=(const OwnFileSizeLimit &) = delete;

private:
    rlimit before_{};
};

} // namespace torsa::testing
