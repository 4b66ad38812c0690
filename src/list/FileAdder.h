#pragma once

#include "list/ReadPipeline.h"

#include <QByteArray>
#include <QList>
#include <QString>

class EntryList;
class UserDialogs;

// The ways the user adds files: the menu items "添加文件夹" and "添加文件", and paths dropped
// on the window or given on the command line. Each is one add through a ReadPipeline, with
// the options as they stand when it starts.
class FileAdder {
public:
    // The title, filter list, start folder and options of the open-file dialog.
    static const QString kOpenTitle;
    static const QString kOpenFilter;
    static const QString kOpenDirectory;
    static constexpr quint32 kOpenFlags = 524800; // explorer style, multi-select
    // The filter list of the open-file dialog: the documented three items, and with the
    // option for other formats a fourth for them.
    static QString openFilter(bool allFormats);
    // The first words of the message about dropped or given files of no type the program
    // takes; the names follow, ten at most.
    static const QString kNotAudioMessage;

    FileAdder(EntryList &list, UserDialogs &dialogs);

    void setOptions(const ReadOptions &options) { m_options = options; }
    const ReadOptions &options() const { return m_options; }
    void setProgress(AddProgress progress) { m_progress = std::move(progress); }

    // "添加文件夹": picks a folder, scans it, rebuilds the list.
    void AddDirectory();
    // "添加文件": picks files in the open-file dialog, adds them, rebuilds the list.
    void AddFilesFromDialog();
    // Adds paths in order, as dropped on the window or given on the command line: a folder as
    // "添加文件夹" scans it, a file as the open-file dialog adds it; rebuilds the list once. A
    // file of no type the program takes is passed over and named in one message at the end;
    // the list keeps its lines.
    void addPaths(const QList<FilePath> &paths);
    // Reads the tags of every listed file again with the options as they stand.
    void readTagsAgain();

private:
    static QString notAudioMessage(const QStringList &paths);
    // Adds the file at path; lastFolder is the folder of the file added before, so that each
    // new folder is reported.
    static void addFileAt(ReadPipeline &pipeline, const FilePath &path, FilePath &lastFolder);
    // Scans the folder at path, a root keeping its separator as the folder browser gives it.
    static void scanChosenFolder(ReadPipeline &pipeline, FilePath path);

    EntryList &m_list;
    UserDialogs &m_dialogs;
    ReadOptions m_options;
    AddProgress m_progress;
};
