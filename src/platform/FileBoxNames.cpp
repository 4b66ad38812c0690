#include "platform/FileBoxNames.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unicode/ucol.h>
#include <unicode/uscript.h>
#endif

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
template <typename T, typename NameOf> void sortByName(QList<T> &items, NameOf nameOf) {
    // Names equal but for letter case keep a fixed order between them.
    const auto byCodePoint = [](const QString &a, const QString &b) { return a < b; };
#ifdef Q_OS_WIN
    // Windows' own Chinese order already puts Latin letters before Chinese characters.
    std::sort(items.begin(), items.end(), [&](const T &x, const T &y) {
        const QString &a = nameOf(x);
        const QString &b = nameOf(y);
        const int order = CompareStringEx(
            L"zh-CN", NORM_IGNORECASE | SORT_STRINGSORT, reinterpret_cast<LPCWCH>(a.utf16()),
            int(a.size()), reinterpret_cast<LPCWCH>(b.utf16()), int(b.size()), nullptr, nullptr, 0);
        if (order == CSTR_EQUAL || order == 0)
            return byCodePoint(a, b);
        return order == CSTR_LESS_THAN;
    });
#else
    // ICU's Chinese collation is pinyin order but puts Chinese characters before Latin
    // letters; the scripts are put back in the order a Chinese system lists them.
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCollator, void (*)(UCollator *)> collator(ucol_open("zh", &status),
                                                                     ucol_close);
    const int32_t scripts[] = {USCRIPT_LATIN, USCRIPT_HAN};
    if (U_SUCCESS(status))
        ucol_setReorderCodes(collator.get(), scripts, 2, &status);
    if (U_SUCCESS(status))
        ucol_setStrength(collator.get(), UCOL_SECONDARY); // letter case ignored
    if (U_FAILURE(status)) {
        std::sort(items.begin(), items.end(), [&](const T &x, const T &y) {
            const QString &a = nameOf(x);
            const QString &b = nameOf(y);
            const int order = QString::compare(a, b, Qt::CaseInsensitive);
            return order != 0 ? order < 0 : byCodePoint(a, b);
        });
        return;
    }
    std::sort(items.begin(), items.end(), [&](const T &x, const T &y) {
        const QString &a = nameOf(x);
        const QString &b = nameOf(y);
        const UCollationResult order = ucol_strcoll(
            collator.get(), reinterpret_cast<const UChar *>(a.utf16()), int32_t(a.size()),
            reinterpret_cast<const UChar *>(b.utf16()), int32_t(b.size()));
        return order != UCOL_EQUAL ? order == UCOL_LESS : byCodePoint(a, b);
    });
#endif
}

} // namespace

void sort(QStringList &names) {
    sortByName(names, [](const QString &name) -> const QString & { return name; });
}

QList<qsizetype> sortedPositions(const QStringList &names) {
    QList<qsizetype> positions(names.size());
    std::iota(positions.begin(), positions.end(), 0);
    sortByName(positions, [&](qsizetype i) -> const QString & { return names.at(i); });
    return positions;
}

} // namespace FileBoxNames
