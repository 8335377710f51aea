#include "program_identity.h"

#include "version.h"

namespace zirared {

namespace {

constexpr const char* kContactAddress = "zirared@example.org";

}  // namespace

QString VersionLabelText(int major, int minor, int revision) {
    // The label has always shown the revision before the minor number; the mail subject
    // keeps the usual order.
    return QStringLiteral("Versione %1.%2.%3").arg(major).arg(revision).arg(minor);
}

QString VersionLabelText() {
    return VersionLabelText(kVersionMajor, kVersionMinor, kVersionRevision);
}

QString ContactMailLink(int major, int minor, int revision) {
    return QStringLiteral("mailto:%1?Subject=%2 - Versione %3.%4.%5")
        .arg(QString::fromUtf8(kContactAddress), QString::fromUtf8(kProgramName))
        .arg(major)
        .arg(minor)
        .arg(revision);
}

QString ContactMailLink() {
    return ContactMailLink(kVersionMajor, kVersionMinor, kVersionRevision);
}

}  // namespace zirared
