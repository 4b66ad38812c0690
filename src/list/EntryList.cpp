#include "list/EntryList.h"

#include "platform/FreedMemory.h"
#include "platform/ReadOnlyFile.h"

namespace {

// A positive number with the place of its sign kept: one blank before the digits.
QString signReserved(int n) {
    return QStringLiteral(" ") + QString::number(n);
}

const QString kEmptyCounter = QStringLiteral("0/0");
// A list this long, once emptied, leaves enough freed memory to give back to the system.
constexpr int kLargeList = 10000;

} // namespace

EntryListModel::EntryListModel(const EntryTable &table, QObject *parent)
    : QAbstractTableModel(parent)
    , m_table(table)
    , m_headers{QStringLiteral("原文件名"), QStringLiteral("新文件名"), QStringLiteral("标题"),
                QStringLiteral("歌手")} {}

int EntryListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_lines;
}

int EntryListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EntryListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_lines || index.row() >= m_table.size())
        return {};
    if (role == UndecodedRole)
        return m_table.at(index.row()).looksGarbled();
    if (role == ConflictRole)
        return m_marks.value(index.row());
    if (role == Qt::ToolTipRole) {
        QStringList tips;
        if (const QString text = m_marks.value(index.row()); !text.isEmpty())
            tips.append(text);
        const RenameEntry &entry = m_table.at(index.row());
        if (entry.looksGarbled())
            tips.append(QStringLiteral("标签中有无法识别的字节，标签编码可能不对"));
        if (entry.untagged) {
            tips.append(QStringLiteral("标签中没有可用的文字"));
            if (!m_readsId3v2 && startsWithId3v2(index.row()))
                tips.append(
                    QStringLiteral("这个文件有 ID3v2 标签：在“设置”页勾选“读取 ID3v2 标签”"));
        }
        return tips.isEmpty() ? QVariant() : QVariant(tips.join(u'\n'));
    }
    if (role != Qt::DisplayRole)
        return {};
    const RenameEntry &e = m_table.at(index.row());
    switch (index.column()) {
    case OriginalName:
        return e.originalName.text();
    case NewName:
        return e.newName;
    case Title:
        return e.title;
    case Singer:
        return e.singer;
    }
    return {};
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_headers.size())
        return m_headers.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool EntryListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                                   int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headers.size() ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    m_headers[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

bool EntryListModel::startsWithId3v2(int line) const {
    // Looked at only when a tooltip asks, once per line and rebuild: three bytes of one file.
    const auto known = m_hasId3v2.constFind(line);
    if (known != m_hasId3v2.cend())
        return known.value();
    ReadOnlyFile file(m_table.at(line).path());
    const bool has = file.read(0, 3).value_or(QByteArray()) == "ID3";
    m_hasId3v2.insert(line, has);
    return has;
}

void EntryListModel::rebuild() {
    beginResetModel();
    m_lines = m_table.size();
    m_marks = {};
    m_hasId3v2.clear();
    endResetModel();
}

void EntryListModel::setMark(int line, const QString &text) {
    if (line < 0 || line >= m_lines || m_marks.value(line) == text)
        return;
    if (m_marks.isEmpty())
        m_marks.resize(m_lines);
    m_marks[line] = text;
    emit dataChanged(index(line, 0), index(line, ColumnCount - 1));
}

void EntryListModel::removeAllLines() {
    beginResetModel();
    m_lines = 0;
    m_marks.clear();
    endResetModel();
}

EntryList::EntryList(QObject *parent)
    : QObject(parent)
    , m_model(m_table)
    , m_selection(&m_model)
    , m_counter(kEmptyCounter) {}

int EntryList::currentLine() const {
    // The selected line: a Ctrl+click can leave the view's current row unselected.
    const QModelIndexList selected = m_selection.selectedRows();
    return selected.isEmpty() ? 0 : selected.first().row() + 1;
}

void EntryList::setCurrentLine(int line) {
    if (line < 1 || line > lineCount()) {
        m_selection.clear();
        return;
    }
    m_selection.setCurrentIndex(m_model.index(line - 1, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void EntryList::RefreshEntryList() {
    m_model.rebuild();
    emit rebuilt();
    const int n = lineCount();
    if (n >= 1) {
        setCurrentLine(1);
        setCounter(QStringLiteral("1/") + signReserved(n));
    } else {
        setCounter(kEmptyCounter);
    }
    emit focusRequested();
}

void EntryList::DeleteCurrentEntry() {
    const int n = lineCount();
    const int c = currentLine();
    if (n == 0 || c == 0)
        return; // nothing to delete, or no line chosen: the counter keeps its text

    m_table.removeAt(c - 1);
    RefreshEntryList();
    if (lineCount() > 0)
        ShowCurrentPosition();
    else
        setCounter(kEmptyCounter);
}

void EntryList::ClearEntries() {
    if (lineCount() == 0)
        return;
    const bool large = m_table.size() >= kLargeList;
    m_model.removeAllLines();
    m_table.clear();
    if (large)
        FreedMemory::giveBack();
    setCounter(kEmptyCounter);
}

void EntryList::ShowCurrentPosition() {
    const int c = currentLine();
    if (c == 0)
        return; // no current line: the counter stays as it is
    setCounter(signReserved(c) + QStringLiteral("/") + signReserved(lineCount()));
}

void EntryList::ReformatNewNames(const QString &nameTemplate, bool safeNames) {
    for (int i = 0; i < m_table.size(); ++i) {
        RenameEntry &e = m_table[i];
        e.name(e.tags(), nameTemplate, safeNames);
    }
    RefreshEntryList();
}

void EntryList::setTags(int i, const TagText &tags, const QString &nameTemplate, bool safeNames) {
    m_table[i].name(tags, nameTemplate, safeNames);
}

void EntryList::setCounter(const QString &text) {
    if (text == m_counter)
        return;
    m_counter = text;
    emit counterTextChanged(m_counter);
}
