#pragma once

#include <QSettings>
#include <QString>

namespace zirared {

// What the window keeps between runs, in the user's configuration folder
// ($XDG_CONFIG_HOME/zirared/zirared.conf, else ~/.config/zirared/zirared.conf): the folder each
// file chooser last gave a file from, one per chooser, and the size setting. A value that is
// missing or makes no sense (a folder that is gone, a size out of range) reads as a first run.
class RememberedChoices {
public:
    RememberedChoices();

    enum class Chooser { Split, Assemble };

    // The folder of the last file `chooser` gave, or empty: the chooser then picks its own.
    QString LastFolder(Chooser chooser) const;
    void RememberChosenFile(Chooser chooser, const QString& path);

    // kMinSizeSetting .. kMaxSizeSetting; the start value 1 when none was kept.
    int SizeSetting() const;
    void RememberSizeSetting(int value);

    // Back to a first run.
    void ForgetAll();

private:
    void Store(const QString& key, const QVariant& value);

    QSettings m_settings;
};

}  // namespace zirared
