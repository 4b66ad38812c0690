#include "cli/CommandLine.h"

#include "platform/LegacyText.h"
#include "platform/Paths.h"

#include <algorithm>

namespace {

using Action = CommandLine::Action;

// The window system's options, which QApplication takes out of the arguments itself.
constexpr QStringView kGuiOptionsWithValue[] = {u"platform",        u"platformpluginpath",
                                                u"platformtheme",   u"plugin",
                                                u"qwindowgeometry", u"qwindowicon",
                                                u"qwindowtitle",    u"geometry",
                                                u"style",           u"stylesheet",
                                                u"session",         u"display",
                                                u"title",           u"name"};
constexpr QStringView kGuiOptions[] = {u"reverse", u"widgetcount", u"nograb",
                                       u"dograb",  u"sync",        u"qmljsdebugger"};

// Which command an option belongs to: Any for the ones every command takes.
enum class For { Rename, Number, Undo, Any };

struct Option {
    QStringView name;
    For command;
    bool takesValue;
};

constexpr Option kOptions[] = {
    {u"template", For::Rename, true},
    {u"encoding", For::Rename, true},
    {u"id3v2", For::Rename, false},
    {u"no-id3v2", For::Rename, false},
    {u"all-formats", For::Rename, false},
    {u"no-all-formats", For::Rename, false},
    {u"safe-names", For::Rename, false},
    {u"no-safe-names", For::Rename, false},
    {u"log", For::Rename, false},
    {u"no-log", For::Rename, false},
    {u"playlist", For::Rename, false},
    {u"no-playlist", For::Rename, false},
    {u"skip-doubtful", For::Rename, false},
    {u"settings", For::Rename, true},
    {u"prefix", For::Number, true},
    {u"start", For::Number, true},
    {u"ext", For::Number, true},
    {u"filter", For::Number, true},
    {u"dry-run", For::Any, false},
    {u"tsv", For::Any, false},
};

QString commandName(For command) {
    switch (command) {
    case For::Rename:
        return QStringLiteral("--rename");
    case For::Number:
        return QStringLiteral("--number");
    case For::Undo:
        return QStringLiteral("--undo");
    case For::Any:
        break;
    }
    return {};
}

std::optional<For> commandOf(const QString &argument) {
    for (const For command : {For::Rename, For::Number, For::Undo}) {
        if (argument == commandName(command))
            return command;
    }
    return std::nullopt;
}

bool isGuiOption(QStringView name, bool *takesValue) {
    for (QStringView option : kGuiOptionsWithValue) {
        if (name == option)
            return *takesValue = true;
    }
    for (QStringView option : kGuiOptions) {
        if (name == option) {
            *takesValue = false;
            return true;
        }
    }
    return false;
}

CommandLine usage(const QString &error) {
    CommandLine line;
    line.action = Action::Usage;
    line.error = error;
    return line;
}

// Takes one option of a command into line.
void take(CommandLine &line, QStringView name, const QString &value) {
    if (name == u"template")
        line.nameTemplate = value;
    else if (name == u"id3v2" || name == u"no-id3v2")
        line.readId3v2 = !name.startsWith(u"no-");
    else if (name == u"all-formats" || name == u"no-all-formats")
        line.allFormats = !name.startsWith(u"no-");
    else if (name == u"safe-names" || name == u"no-safe-names")
        line.safeNames = !name.startsWith(u"no-");
    else if (name == u"log" || name == u"no-log")
        line.writeLog = !name.startsWith(u"no-");
    else if (name == u"playlist" || name == u"no-playlist")
        line.writePlaylist = !name.startsWith(u"no-");
    else if (name == u"skip-doubtful")
        line.skipDoubtful = true;
    else if (name == u"settings")
        line.settingsFile = value;
    else if (name == u"prefix")
        line.prefix = value;
    else if (name == u"start")
        line.startNumber = value;
    else if (name == u"ext")
        line.extension = value;
    else if (name == u"filter")
        line.filter = value;
    else if (name == u"dry-run")
        line.dryRun = true;
    else if (name == u"tsv")
        line.tsv = true;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments, const QList<QByteArray> &bytes,
                             bool guiOptions) {
    CommandLine line;
    std::optional<For> command;
    QList<std::pair<const Option *, QString>> given;
    bool options = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!options || !argument.startsWith(u'-') || argument.size() == 1) {
            const QByteArray exact = bytes.value(i);
            line.paths << (exact.isEmpty() || Paths::isUtf8(exact)
                               ? FilePath(argument)
                               : FilePath::fromExactBytes(exact));
            continue;
        }
        if (argument == u"--") {
            options = false;
            continue;
        }
        if (argument == u"--help" || argument == u"-h") {
            CommandLine help;
            help.action = Action::Help;
            return help;
        }
        if (argument == u"--version") {
            CommandLine version;
            version.action = Action::Version;
            return version;
        }
        const QStringView body = QStringView(argument).mid(argument.startsWith(u"--") ? 2 : 1);
        const qsizetype equals = body.indexOf(u'=');
        const QStringView name = equals < 0 ? body : body.left(equals);
        if (const std::optional<For> named = commandOf(argument)) {
            if (command && *command != *named)
                return usage(QStringLiteral("只能给出一个命令"));
            command = named;
            continue;
        }
        const Option *option = nullptr;
        for (const Option &o : kOptions) {
            if (o.name == name && argument.startsWith(u"--"))
                option = &o;
        }
        bool guiTakesValue = false;
        if (!option) {
            if (guiOptions && isGuiOption(name, &guiTakesValue)) {
                if (guiTakesValue && equals < 0)
                    ++i; // its value
                continue;
            }
            return usage(QStringLiteral("不认识的选项：%1").arg(argument));
        }
        QString value;
        if (option->takesValue) {
            if (equals >= 0)
                value = body.mid(equals + 1).toString();
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
                return usage(QStringLiteral("选项 %1 缺少值").arg(argument));
        } else if (equals >= 0) {
            return usage(QStringLiteral("选项 --%1 不带值").arg(name));
        }
        given.append({option, value});
    }

    if (!command) {
        if (!given.isEmpty())
            return usage(QStringLiteral("选项 --%1 要和 --rename、--number 或 --undo 一起用")
                             .arg(given.front().first->name));
        return line;
    }
    for (const auto &[option, value] : std::as_const(given)) {
        if (option->command != For::Any && option->command != *command)
            return usage(QStringLiteral("选项 --%1 只用于 %2")
                             .arg(option->name, commandName(option->command)));
        take(line, option->name, value);
        if (option->name == u"encoding") {
            if (value == u"system") {
                line.tagCodePage = LegacyText::kSystemCodePage;
            } else if (const auto *encoding = LegacyText::tagEncodingNamed(value.toUtf8())) {
                line.tagCodePage = encoding->codePage;
            } else {
                return usage(QStringLiteral("不认识的编码：%1").arg(value));
            }
        }
    }
    const auto gave = [&given](QStringView name) {
        return std::any_of(given.cbegin(), given.cend(),
                           [name](const auto &g) { return g.first->name == name; });
    };
    switch (*command) {
    case For::Rename:
        line.action = Action::Rename;
        if (line.paths.isEmpty())
            return usage(QStringLiteral("--rename 要给出文件或文件夹"));
        break;
    case For::Number:
        line.action = Action::Number;
        if (line.paths.size() != 1)
            return usage(QStringLiteral("--number 要给出一个文件夹"));
        if (!gave(u"prefix") || !gave(u"start"))
            return usage(QStringLiteral("--number 要给出 --prefix 和 --start"));
        break;
    case For::Undo:
        line.action = Action::Undo;
        if (!line.paths.isEmpty())
            return usage(QStringLiteral("--undo 不带文件或文件夹"));
        break;
    case For::Any:
        break;
    }
    return line;
}

QString usageText() {
    return QStringLiteral(
        "用法：tunemark [文件或文件夹…]\n"
        "      tunemark --rename [选项] 文件或文件夹…\n"
        "      tunemark --number --prefix 前缀 --start 编号 [--ext 扩展名] [--filter 扩展名]\n"
        "               [--dry-run] [--tsv] 文件夹\n"
        "      tunemark --undo [--dry-run] [--tsv]\n"
        "\n"
        "不带命令时启动 Tunemark 窗口，并把给出的音乐文件和文件夹加入音频文件列表。\n"
        "\n"
        "命令（不打开窗口，不需要图形界面）：\n"
        "  --rename   按命名格式给文件和文件夹（含子文件夹）中的音乐文件改名\n"
        "  --number   把文件夹中的文件改名为 前缀 + 补零的编号 + 扩展名（隐藏文件不改）\n"
        "  --undo     撤销上一次改名（窗口和命令行共用一份撤销记录）\n"
        "\n"
        "--rename 的选项（不给时用窗口所用的设置 rename.ini）：\n"
        "  --template 格式        命名格式，如 \"%1-%2\"（%1 标题，%2 歌手）\n"
        "  --encoding 编码        标签文字的编码：system、GBK、GB18030、Big5、Shift_JIS、\n"
        "                         EUC-KR、windows-1251、windows-1252、UTF-8、auto\n"
        "  --id3v2, --no-id3v2    读或不读 ID3v2 标签\n"
        "  --all-formats, --no-all-formats\n"
        "                         也改或不改其他音乐格式（FLAC、Ogg、MP4 等）\n"
        "  --safe-names, --no-safe-names\n"
        "                         把 Windows 文件名不能用的字符换成全角字符\n"
        "  --log, --no-log        写或不写 rename.log\n"
        "  --playlist, --no-playlist\n"
        "                         写或不写播放列表 rename.m3u\n"
        "  --skip-doubtful        标签编码可能不对的文件保留原名\n"
        "  --settings 文件        用另一个 rename.ini（命令行从不写入设置）\n"
        "\n"
        "--number 的选项：\n"
        "  --prefix 前缀          新文件名的前缀\n"
        "  --start 编号           起始编号（-32768 到 32767）\n"
        "  --ext 扩展名           新的扩展名；不给时每个文件保留自己的扩展名\n"
        "  --filter 扩展名        只改这种扩展名的文件，如 mp3；不给时改所有文件\n"
        "\n"
        "共用的选项：\n"
        "  --dry-run  只列出将要做的改名，不改动任何文件\n"
        "  --tsv      每个文件一行，四列用制表符分隔：状态（renamed、unchanged、refused、\n"
        "             failed）、原路径、新名字、原因；名字中的制表符、换行和反斜杠写成\n"
        "             \\t、\\n、\\\\；汇总行写到标准错误\n"
        "  --help     显示本说明\n"
        "  --version  显示版本\n"
        "\n"
        "每个文件输出一行：\"旧名 → 新名\"、\"旧名：原因\" 或 \"旧名（不变）\"，最后一行是汇总。\n"
        "\n"
        "退出状态（试运行与它所列的改名相同）：\n"
        "  0  所有文件都已改名或名字不变（没有标签文字的文件名字不变）\n"
        "  1  有文件被拒绝或未能改名（其他文件照常改名），或改名记录、播放列表、\n"
        "     撤销记录未能写入；另一个 Tunemark 正在改名\n"
        "  2  命令行用法错误\n"
        "  3  没有找到音乐文件，或一个也读不了；没有可撤销的改名\n");
}

QString versionText() {
    return QStringLiteral("Tunemark " TUNEMARK_VERSION "\n");
}
