// Root passes every permission check on files, so a read-only folder or an
// unreadable file is neither for a test run as root. A test of such a case
// takes that power (CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH) out of the
// calling thread's effective set, and so sees what a user sees; threads and
// processes started later inherit the change. For a user without the power
// nothing changes. Header only.
//
//     QVERIFY(testsupport::SetFileOverride(false));
//     const auto restore = qScopeGuard([] { testsupport::SetFileOverride(true); });
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testsupport {

// Gives the power back (on) or takes it away; false when the set could not
// be changed.
inline bool SetFileOverride(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    const __u32 bits = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    if (on)
        data[0].effective |= data[0].permitted & bits;
    else
        data[0].effective &= ~bits;
    return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace testsupport
