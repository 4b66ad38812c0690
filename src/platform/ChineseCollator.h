#pragma once

#include <QStringView>

#include <memory>
#include <string>

// The order of a Chinese system's lists, from the system itself: on Windows its zh-CN order;
// elsewhere ICU's Chinese collation with Latin letters put before Chinese characters; the blank
// and ASCII's symbols in ICU's order on both. Letter case is ignored. One collator serves one
// thread.
class ChineseCollator {
public:
    ChineseCollator();
    ~ChineseCollator();
    ChineseCollator(const ChineseCollator &) = delete;
    ChineseCollator &operator=(const ChineseCollator &) = delete;

    // Less than, equal to or greater than 0 as a comes before, with or after b.
    int compare(QStringView a, QStringView b) const;

    // Whether compare orders name against another such name by a table of its own, which
    // costs a fraction of asking ICU: names of printable ASCII characters alone, off Windows.
    bool comparesQuickly(QStringView name) const;

    // Whether sortKey gives keys: not on Windows, whose symbols compare reorders, nor where
    // ICU could not be set up.
    bool hasSortKeys() const { return m_icu != nullptr; }
    // Appends to keys bytes whose order, compared as unsigned bytes, is compare's order of the
    // names: sorting by keys made once costs a fraction of comparing names again and again.
    void appendSortKey(QStringView name, std::string &keys) const;
    // The same for a name comparesQuickly takes, from its table: its keys order such names
    // alone, and cost a fraction of ICU's.
    void appendQuickKey(QStringView name, std::string &keys) const;

private:
    struct Icu;
    std::unique_ptr<Icu> m_icu; // off Windows; null where ICU could not be set up
};
