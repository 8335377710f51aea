#include "display_check.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "shown_name.h"

namespace zirared {

namespace {

// A name the shell takes as it stands, or quoted; never taken for an option.
QString ShellWord(const QByteArray& name) {
    QString shown = QString::fromStdString(ShownName(name.toStdString()));
    if (shown.startsWith(u'-')) {
        shown.prepend(QStringLiteral("./"));
    }
    const bool plain = std::all_of(shown.begin(), shown.end(), [](QChar c) {
        return c.isLetterOrNumber() || QStringLiteral("_./+-,:@%").contains(c);
    });
    if (plain) {
        return shown;
    }
    return u'\'' + shown.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

struct HeldMessage {
    QtMsgType type;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
    QString text;
};

QByteArray g_failureLine;
std::vector<HeldMessage> g_held;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fputs(g_failureLine.constData(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    g_held.push_back({type, context.file, context.line, context.function, context.category, text});
}

}  // namespace

DisplayEnvironment ProcessDisplayEnvironment() {
    return {qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
}

bool DisplayMissing(const QByteArrayList& arguments, const DisplayEnvironment& environment) {
    bool platformChosen = !environment.qpaPlatform.isEmpty();
    bool displayNamed = !environment.display.isEmpty() || !environment.waylandDisplay.isEmpty();
    // Qt reads its options anywhere on the line, with one dash or two.
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        const QByteArray& argument = arguments[i];
        const QByteArray option = argument.startsWith("--") ? argument.mid(1) : argument;
        platformChosen = platformChosen || option == "-platform";
        displayNamed = displayNamed || option == "-display";
    }
    return !platformChosen && !displayNamed;
}

QString NoDisplayText(const QByteArray& file, bool isPiece) {
    const QString command = file.isEmpty() ? QStringLiteral("--help")
                            : isPiece      ? QStringLiteral("join ") + ShellWord(file)
                                           : QStringLiteral("split ") + ShellWord(file);
    return QStringLiteral(
               "zirared: la finestra richiede una sessione grafica (X11 o Wayland); "
               "dal terminale: zirared-cli ") +
           command + u'\n';
}

DisplayFailureGuard::DisplayFailureGuard(const QString& line) {
    g_failureLine = line.toUtf8();
    qInstallMessageHandler(HoldMessage);
}

DisplayFailureGuard::~DisplayFailureGuard() {
    qInstallMessageHandler(nullptr);
    for (const HeldMessage& held : g_held) {
        auto orNull = [](const QByteArray& text) {
            return text.isNull() ? nullptr : text.constData();
        };
        const QMessageLogContext context(orNull(held.file), held.line, orNull(held.function),
                                         orNull(held.category));
        qt_message_output(held.type, context, held.text);
    }
    g_held.clear();
}

}  // namespace zirared
