#include "filebox/FileBoxNames.h"

#include "platform/ChineseCollator.h"
#include "platform/Folders.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Whether name matches pattern, where "*" stands for any text and "?" for one character, as
// on Windows, letter case ignored. Going back only to the last "*" keeps the time bounded by
// the product of the lengths, whatever the user types.
bool wildcardMatch(QStringView pattern, QStringView name) {
    const auto same = [](QChar a, QChar b) { return a.toCaseFolded() == b.toCaseFolded(); };
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype star = -1;
    qsizetype resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

struct Pattern {
    QStringView text;
    bool withoutExtension = false;

    bool matches(const QString &name) const {
        return (!withoutExtension || !name.contains(u'.')) && wildcardMatch(text, name);
    }
};

} // namespace

namespace FileBoxNames {

QList<qsizetype> matchingPositions(const QStringList &names, const QString &pattern) {
    QList<qsizetype> matched;
    std::vector<Pattern> patterns;
    bool everything = false;
    for (QStringView p : QStringView(pattern).split(u';')) {
        p = p.trimmed();
        if (p.isEmpty())
            continue;
        if (p == u"*.*" || p == u"*") {
            everything = true;
            break;
        }
        const bool withoutExtension = p.endsWith(u'.') && p.size() > 1;
        patterns.push_back({withoutExtension ? p.chopped(1) : p, withoutExtension});
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (everything || std::any_of(patterns.cbegin(), patterns.cend(),
                                      [&](const Pattern &p) { return p.matches(names.at(i)); }))
            matched << i;
    }
    return matched;
}

QStringList matching(const QStringList &names, const QString &pattern) {
    QStringList matched;
    for (const qsizetype i : matchingPositions(names, pattern))
        matched << names.at(i);
    return matched;
}

namespace {

// Sorts items by the name nameOf gives each.
template <typename T, typename NameOf>
void sortByName(QList<T> &items, NameOf nameOf, const ChineseCollator &collator = {}) {
    const auto byName = [&](const QString &a, const QString &b, int order) {
        // Names equal but for letter case keep a fixed order between them.
        return order != 0 ? order < 0 : a < b;
    };
    const bool quickly = std::all_of(items.cbegin(), items.cend(), [&](const T &item) {
        return collator.comparesQuickly(nameOf(item));
    });
    if (items.size() < 3 || (!quickly && !collator.hasSortKeys())) {
        std::sort(items.begin(), items.end(), [&](const T &x, const T &y) {
            const QString &a = nameOf(x);
            const QString &b = nameOf(y);
            return byName(a, b, collator.compare(a, b));
        });
        return;
    }
    // Each name's key made once, all in one buffer.
    std::string keys;
    std::vector<size_t> ends;
    ends.reserve(size_t(items.size()));
    for (const T &item : std::as_const(items)) {
        if (quickly)
            collator.appendQuickKey(nameOf(item), keys);
        else
            collator.appendSortKey(nameOf(item), keys);
        ends.push_back(keys.size());
    }
    const auto keyOf = [&](size_t i) {
        const size_t start = i == 0 ? 0 : ends[i - 1];
        return std::string_view(keys).substr(start, ends[i] - start);
    };
    std::vector<size_t> order(size_t(items.size()));
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        return byName(nameOf(items.at(qsizetype(x))), nameOf(items.at(qsizetype(y))),
                      keyOf(x).compare(keyOf(y)));
    });
    QList<T> sorted;
    sorted.reserve(items.size());
    for (const size_t i : order)
        sorted.append(std::move(items[qsizetype(i)]));
    items = std::move(sorted);
}

} // namespace

void sort(QStringList &names) {
    sortByName(names, [](const QString &name) -> const QString & { return name; });
}

QList<qsizetype> sortedPositions(const QStringList &names) {
    return sortedPositions(names, ChineseCollator());
}

QList<qsizetype> sortedPositions(const QStringList &names, const ChineseCollator &collator) {
    QList<qsizetype> positions(names.size());
    std::iota(positions.begin(), positions.end(), 0);
    if (names.size() > 1)
        sortByName(
            positions, [&](qsizetype i) -> const QString & { return names.at(i); }, collator);
    return positions;
}

QList<FilePath> filesOf(const FilePath &folder, const QString &pattern) {
    const QList<FilePath> all = Folders::listNames(folder, false);
    QStringList texts;
    texts.reserve(all.size());
    for (const FilePath &name : all)
        texts << name.text();
    const QList<qsizetype> matching = matchingPositions(texts, pattern);
    QStringList matched;
    for (const qsizetype i : matching)
        matched << texts.at(i);
    QList<FilePath> files;
    for (const qsizetype i : sortedPositions(matched))
        files.append(all.at(matching.at(i)));
    return files;
}

} // namespace FileBoxNames
