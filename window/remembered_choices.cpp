#include "remembered_choices.h"

#include <QDir>
#include <QFileInfo>

#include "piece_set.h"

namespace zirared {
namespace {

const QString kSizeKey = QStringLiteral("sizeSetting");

QString FolderKey(RememberedChoices::Chooser chooser) {
    return chooser == RememberedChoices::Chooser::Split ? QStringLiteral("splitChooserFolder")
                                                        : QStringLiteral("assembleChooserFolder");
}

}  // namespace

RememberedChoices::RememberedChoices()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("zirared"),
                 QStringLiteral("zirared")) {}

QString RememberedChoices::LastFolder(Chooser chooser) const {
    const QString folder = m_settings.value(FolderKey(chooser)).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void RememberedChoices::RememberChosenFile(Chooser chooser, const QString& path) {
    Store(FolderKey(chooser), QFileInfo(path).absolutePath());
}

int RememberedChoices::SizeSetting() const {
    bool isNumber = false;
    const int value = m_settings.value(kSizeKey).toInt(&isNumber);
    return isNumber && value >= kMinSizeSetting && value <= kMaxSizeSetting ? value
                                                                            : kMinSizeSetting;
}

void RememberedChoices::RememberSizeSetting(int value) {
    Store(kSizeKey, value);
}

void RememberedChoices::ForgetAll() {
    m_settings.clear();
    m_settings.sync();
}

void RememberedChoices::Store(const QString& key, const QVariant& value) {
    if (m_settings.value(key) == value) {
        return;  // every store writes the file again
    }
    // The folders name the user's files: the settings' own folder is the user's alone (Qt would
    // make it with the default mode). One that exists already is left as it is.
    const QString folder = QFileInfo(m_settings.fileName()).absolutePath();
    if (!QFileInfo::exists(folder)) {
        QDir().mkpath(QFileInfo(folder).absolutePath());
        QDir().mkdir(folder,
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    m_settings.setValue(key, value);
}

}  // namespace zirared
