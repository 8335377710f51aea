#include "piece_probe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <array>
#include <string_view>

#include "piece_set.h"

namespace zirared {

bool StartsLikeAPiece(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    // Opening a device can have effects of its own, so the kind is checked before the open
    // as well as after it (the path may change in between).
    struct stat status {};
    if (stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    const int fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    std::array<char, kMagic.size()> bytes{};
    ssize_t got = -1;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        got = read(fd, bytes.data(), bytes.size());
    }
    close(fd);
    return got == static_cast<ssize_t>(bytes.size()) &&
           StartsWithMagic(std::string_view(bytes.data(), bytes.size()));
}

}  // namespace zirared
