#pragma once

#include "list/EntryTable.h"
#include "tags/TagText.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QItemSelectionModel>
#include <QObject>
#include <QStringList>

// The model behind the view ListView1. It shows the lines the table had at the last rebuild
// and is never edited line by line.
class EntryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { OriginalName, NewName, Title, Singer, ColumnCount };
    // Why the line's rename would be refused for its new name, as text; empty when nothing
    // stands in its way (or nothing has said so yet). The tooltip of the line says the same.
    static constexpr int ConflictRole = Qt::UserRole + 1;
    // Whether the line's title or singer holds a byte the tag encoding could not decode; the
    // tooltip then says the encoding may be wrong.
    static constexpr int UndecodedRole = Qt::UserRole + 2;

    explicit EntryListModel(const EntryTable &table, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;

    // Shows the table's entries as they are now: one model reset, whatever their number. The
    // lines start without marks.
    void rebuild();
    void removeAllLines();
    // Marks line with why its rename would be refused, until the next rebuild; the view is told.
    // Computed elsewhere (the rename preview), never while the view paints.
    void setMark(int line, const QString &text);
    // Whether ID3v2 tags are read: a line that keeps its name because its tag brought no text
    // then points, in its tooltip, to an ID3v2 tag the file has.
    void setReadsId3v2(bool reads) { m_readsId3v2 = reads; }

private:
    bool startsWithId3v2(int line) const;

    const EntryTable &m_table;
    int m_lines = 0;
    QStringList m_headers;
    // Per line, once one line has a mark; empty while none has: a list of a million lines
    // without marks keeps no million empty strings.
    QVector<QString> m_marks;
    bool m_readsId3v2 = false;
    // Per line whose tooltip was asked for: whether its file begins with an ID3v2 header.
    mutable QHash<int, bool> m_hasId3v2;
};

// The audio-file list: the table of entries, the model of the view ListView1 with its current
// line, and the position counter Coun. The table is the truth; the view follows it at each
// rebuild.
class EntryList : public QObject {
    Q_OBJECT
public:
    explicit EntryList(QObject *parent = nullptr);

    EntryTable &table() { return m_table; }
    const EntryTable &table() const { return m_table; }
    EntryListModel *model() { return &m_model; }
    QItemSelectionModel *selectionModel() { return &m_selection; }

    // The lines the view shows.
    int lineCount() const { return m_model.rowCount(); }
    // The current line, the selected one, counted from 1; 0 when no line is selected.
    int currentLine() const;
    void setCurrentLine(int line);
    QString counterText() const { return m_counter; }

    // Rebuilds the view from the table, makes the first line current, sets the counter to
    // its rebuild form and asks for the keyboard focus.
    void RefreshEntryList();
    // Removes the current entry; the entries after it move up by one.
    void DeleteCurrentEntry();
    // Empties the view, the table and the counter; an empty view changes nothing.
    void ClearEntries();
    // Sets the counter to the position form: current line / line count.
    void ShowCurrentPosition();
    // Forms the new name of every entry again from nameTemplate (see ExpandNameTemplate for
    // safeNames), then rebuilds the list.
    void ReformatNewNames(const QString &nameTemplate, bool safeNames = false);
    // Sets the tags of entry i and forms its new name from nameTemplate; the view follows at
    // the next rebuild.
    void setTags(int i, const TagText &tags, const QString &nameTemplate, bool safeNames = false);

signals:
    void counterTextChanged(const QString &text);
    // The list wants the keyboard focus; a hidden view simply cannot take it.
    void focusRequested();
    // The view shows the table anew: its marks are to be made again.
    void rebuilt();

private:
    void setCounter(const QString &text);

    EntryTable m_table;
    EntryListModel m_model;
    QItemSelectionModel m_selection;
    QString m_counter;
};
