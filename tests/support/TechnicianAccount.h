#pragma once

// Root passes every folder's permissions and sticky bit; a technician's
// account does not. As root, this process takes "nobody" as its effective user
// and group, without root's other groups, until the end of the scope (the real
// user stays root, so that it can come back); as anyone else, nothing changes.
// Linux only.

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace torsa::testing {

class TechnicianAccount {
public:
    TechnicianAccount()
    {
        const passwd *nobody = ::getpwnam("nobody");
        if (::geteuid() != 0 || !nobody)
            return;
        const int total = ::getgroups(0, nullptr);
        groups_.resize(total > 0 ? static_cast<std::size_t>(total) : 0);
        const int count = ::getgroups(static_cast<int>(groups_.size()), groups_.data());
        groups_.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        gid_ = ::getegid();
        dropped_ = true; // from here on, whatever fails, all is put back
        if (::setgroups(0, nullptr) == 0 && ::setegid(nobody->pw_gid) == 0)
            (void)::seteuid(nobody->pw_uid);
    }
    ~TechnicianAccount()
    {
        if (!dropped_)
            return;
        // Anything else and the rest of the suite would run as nobody.
        if (::seteuid(0) != 0 || ::setegid(gid_) != 0 || ::setgroups(groups_.size(), groups_.data()) != 0)
            ::_exit(1);
    }
    TechnicianAccount(const TechnicianAccount &) = delete;
    TechnicianAccount &operator=(const TechnicianAccount &) = delete;

    static bool canBeOtherThanOwner() { return ::geteuid() == 0 && ::getpwnam("nobody"); }

private:
    std::vector<gid_t> groups_;
    gid_t gid_ = 0;
    bool dropped_ = false;
};

} // namespace torsa::testing
