// The C library's words for a failed read; they follow LC_MESSAGES, which
// the tools set to the user's language.
#include "system_words.h"

#include "i18n.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace authoring {

std::string whyUnreadable(const std::filesystem::path &file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        char byte = 0;
        if (::read(fd, &byte, 1) < 0)
            error = errno;
        ::close(fd);
    }
    return error != 0 ? std::strerror(error) : i18n::tr("the system gives no reason");
}

} // namespace authoring
