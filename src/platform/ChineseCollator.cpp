#include "platform/ChineseCollator.h"

#include <QString>

#include <algorithm>
#include <array>
#include <numeric>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unicode/ucol.h>
#include <unicode/uscript.h>
#endif

namespace {

// The blank and ASCII's symbols in the order ICU's Chinese collation gives them. Windows'
// string sort orders them otherwise ("a-c" before "a c"); two names that first differ in two of
// them are ordered by this on every system, so that lists agree.
constexpr QStringView kSymbolOrder = u" _-,;:!?.'\"()[]{}@*/\\&#%`^+<=>|~$";

// Decided by the first characters a and b differ in, letter case ignored, when both are among
// kSymbolOrder: less than or greater than 0; otherwise 0.
int symbolOrder(QStringView a, QStringView b) {
    const qsizetype common = qMin(a.size(), b.size());
    qsizetype i = 0;
    while (i < common && a[i].toCaseFolded() == b[i].toCaseFolded())
        ++i;
    if (i == common)
        return 0;
    const qsizetype rankA = kSymbolOrder.indexOf(a[i]);
    const qsizetype rankB = kSymbolOrder.indexOf(b[i]);
    return rankA < 0 || rankB < 0 ? 0 : rankA < rankB ? -1 : 1;
}

} // namespace

#ifdef Q_OS_WIN

struct ChineseCollator::Icu {};

ChineseCollator::ChineseCollator() = default;
ChineseCollator::~ChineseCollator() = default;

int ChineseCollator::compare(QStringView a, QStringView b) const {
    if (const int bySymbols = symbolOrder(a, b))
        return bySymbols;
    // Windows' own Chinese order already puts Latin letters before Chinese characters.
    const int order = CompareStringEx(
        L"zh-CN", NORM_IGNORECASE | SORT_STRINGSORT, reinterpret_cast<LPCWCH>(a.utf16()),
        int(a.size()), reinterpret_cast<LPCWCH>(b.utf16()), int(b.size()), nullptr, nullptr, 0);
    if (order == 0 || order == CSTR_EQUAL)
        return 0;
    return order == CSTR_LESS_THAN ? -1 : 1;
}

bool ChineseCollator::comparesQuickly(QStringView) const {
    return false;
}

void ChineseCollator::appendSortKey(QStringView, std::string &) const {}

void ChineseCollator::appendQuickKey(QStringView, std::string &) const {}

#else

struct ChineseCollator::Icu {
    UCollator *collator = nullptr;
    // Each printable ASCII character's place in the collation, letter case ignored; 0 for the
    // others. Names of these alone are ordered by their characters' places, as ICU orders them,
    // which costs a fraction of asking ICU.
    std::array<quint8, 128> asciiRank{};
    ~Icu() { ucol_close(collator); }

    void rankAscii() {
        std::array<char16_t, 95> printable;
        std::iota(printable.begin(), printable.end(), char16_t(0x20));
        const auto order = [&](char16_t a, char16_t b) {
            return ucol_strcoll(collator, &a, 1, &b, 1);
        };
        std::sort(printable.begin(), printable.end(),
                  [&](char16_t a, char16_t b) { return order(a, b) == UCOL_LESS; });
        quint8 rank = 1;
        for (size_t i = 0; i < printable.size(); ++i) {
            if (i > 0 && order(printable[i - 1], printable[i]) != UCOL_EQUAL)
                ++rank;
            asciiRank[printable[i]] = rank;
        }
    }

    // c's place; 0 for a character that is not printable ASCII.
    quint8 rankOf(QChar c) const { return c.unicode() < 128 ? asciiRank[c.unicode()] : 0; }
    bool isRanked(QStringView name) const {
        return std::all_of(name.begin(), name.end(), [&](QChar c) { return rankOf(c) != 0; });
    }

    // Compares a and b by their places where both are printable ASCII alone; false otherwise.
    bool compareAscii(QStringView a, QStringView b, int *order) const {
        const qsizetype common = qMin(a.size(), b.size());
        int decided = 0;
        for (qsizetype i = 0; i < common; ++i) {
            const quint8 x = rankOf(a[i]);
            const quint8 y = rankOf(b[i]);
            if (!x || !y)
                return false;
            if (!decided && x != y)
                decided = x < y ? -1 : 1;
        }
        if (!isRanked(a.mid(common)) || !isRanked(b.mid(common)))
            return false;
        *order = decided ? decided : a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
        return true;
    }
};

ChineseCollator::ChineseCollator() {
    // ICU's Chinese collation is pinyin order but puts Chinese characters before Latin
    // letters; the scripts are put back in the order a Chinese system lists them.
    UErrorCode status = U_ZERO_ERROR;
    auto icu = std::make_unique<Icu>();
    icu->collator = ucol_open("zh", &status);
    const int32_t scripts[] = {USCRIPT_LATIN, USCRIPT_HAN};
    if (U_SUCCESS(status))
        ucol_setReorderCodes(icu->collator, scripts, 2, &status);
    if (U_SUCCESS(status))
        ucol_setStrength(icu->collator, UCOL_SECONDARY); // letter case ignored
    if (U_SUCCESS(status)) {
        icu->rankAscii();
        m_icu = std::move(icu);
    }
}

ChineseCollator::~ChineseCollator() = default;

int ChineseCollator::compare(QStringView a, QStringView b) const {
    int order = 0;
    if (m_icu && m_icu->compareAscii(a, b, &order))
        return order;
    if (const int bySymbols = symbolOrder(a, b))
        return bySymbols; // as ICU orders them: the same answer, sooner
    if (!m_icu)
        return a.compare(b, Qt::CaseInsensitive);
    const UCollationResult result =
        ucol_strcoll(m_icu->collator, reinterpret_cast<const UChar *>(a.utf16()), int32_t(a.size()),
                     reinterpret_cast<const UChar *>(b.utf16()), int32_t(b.size()));
    return result == UCOL_EQUAL ? 0 : result == UCOL_LESS ? -1 : 1;
}

bool ChineseCollator::comparesQuickly(QStringView name) const {
    return m_icu && m_icu->isRanked(name);
}

// ICU's key orders the symbols as kSymbolOrder does, so no pair needs compare's shortcut.
void ChineseCollator::appendSortKey(QStringView name, std::string &keys) const {
    if (!m_icu)
        return;
    const auto *text = reinterpret_cast<const UChar *>(name.utf16());
    const size_t start = keys.size();
    // Most names' keys fit in a few times their length; a longer one is made again.
    int32_t room = int32_t(qMin<qsizetype>(name.size() * 4 + 16, 1 << 20));
    for (;;) {
        keys.resize(start + size_t(room));
        const int32_t length = ucol_getSortKey(m_icu->collator, text, int32_t(name.size()),
                                               reinterpret_cast<uint8_t *>(&keys[start]), room);
        if (length <= room) {
            keys.resize(start + size_t(qMax(length - 1, 0))); // without the closing 0
            return;
        }
        room = length;
    }
}

// A place per character, the shorter of two names first where one begins the other: the order
// compareAscii gives.
void ChineseCollator::appendQuickKey(QStringView name, std::string &keys) const {
    for (const QChar c : name)
        keys += char(m_icu->rankOf(c));
}

#endif
