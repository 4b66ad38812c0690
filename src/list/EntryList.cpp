#include "list/EntryList.h"

namespace {

// A positive number with the place of its sign kept: one blank before the digits.
QString signReserved(int n) {
    return QStringLiteral(" ") + QString::number(n);
}

const QString kEmptyCounter = QStringLiteral("0/0");

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
    return parent.isValid() ? 0 : 4;
}

QVariant EntryListModel::data(const QModelIndex &index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_lines)
        return {};
    const RenameEntry &e = m_table.row(index.row() + 1);
    switch (index.column()) {
    case 0:
        return e.originalName;
    case 1:
        return e.newName;
    case 2:
        return e.title;
    case 3:
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

void EntryListModel::rebuild() {
    beginResetModel();
    m_lines = m_table.entryCount();
    endResetModel();
}

void EntryListModel::removeAllLines() {
    beginResetModel();
    m_lines = 0;
    endResetModel();
}

EntryList::EntryList(EntryTable &table, QObject *parent)
    : QObject(parent)
    , m_table(table)
    , m_model(table)
    , m_selection(&m_model)
    , m_counter(kEmptyCounter) {}

int EntryList::currentLine() const {
    const QModelIndex current = m_selection.currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
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

    for (int i = c; i < n; ++i)
        m_table.row(i) = m_table.row(i + 1);
    m_table.clearRows(n, n);

    RefreshEntryList();
    m_table.setNextEntryRow(m_table.NextEntryRow() - 1);
    if (lineCount() > 0)
        ShowCurrentPosition();
    else
        setCounter(kEmptyCounter);
}

void EntryList::ClearEntries() {
    if (lineCount() == 0)
        return;
    m_model.removeAllLines();
    m_table.clearRows(0, m_table.NextEntryRow());
    m_table.setNextEntryRow(1);
    setCounter(kEmptyCounter);
}

void EntryList::ShowCurrentPosition() {
    const int c = currentLine();
    if (c == 0)
        return; // no current line: the counter stays as it is
    setCounter(signReserved(c) + QStringLiteral("/") + signReserved(lineCount()));
}

void EntryList::setCounter(const QString &text) {
    if (text == m_counter)
        return;
    m_counter = text;
    emit counterTextChanged(m_counter);
}
