#include "app/CommandLine.h"

#include "platform/Paths.h"

CommandLine parseCommandLine(const QStringList &arguments, const QList<QByteArray> &bytes) {
    CommandLine line;
    bool options = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (options && argument == u"--") {
            options = false;
        } else if (options && (argument == u"--help" || argument == u"-h")) {
            return {CommandLine::Action::Help, {}};
        } else if (options && argument == u"--version") {
            return {CommandLine::Action::Version, {}};
        } else if (options && argument.startsWith(u'-') && argument.size() > 1) {
            return {CommandLine::Action::Unknown, {}};
        } else {
            const QByteArray exact = bytes.value(i);
            line.paths << (exact.isEmpty() || Paths::isUtf8(exact)
                               ? FilePath(argument)
                               : FilePath::fromExactBytes(exact));
        }
    }
    return line;
}

QString usageText() {
    return QStringLiteral("用法：tunemark [选项] [文件或文件夹…]\n"
                          "启动 Tunemark，并把给出的音乐文件和文件夹加入音频文件列表。\n"
                          "\n"
                          "  --help     显示本说明\n"
                          "  --version  显示版本\n");
}

QString versionText() {
    return QStringLiteral("Tunemark " TUNEMARK_VERSION "\n");
}
