#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// While it lives, the calling thread minds the modes of files and folders as any user must, even
// when it runs as root: it holds no right to override them or to change what it does not own.
class OwnerRightsOnly final {
public:
    OwnerRightsOnly() {
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &=
            ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH) | (1U << CAP_FOWNER));
        m_reduced = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~OwnerRightsOnly() {
        if (m_reduced)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    OwnerRightsOnly(const OwnerRightsOnly&) = delete;
    OwnerRightsOnly& operator=(const OwnerRightsOnly&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_reduced = false;
};
