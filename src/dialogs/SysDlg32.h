#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QWidget;

// The folder browser and the open-file dialog on Qt's file dialogs, modal over owner.

// The folder browser. Returns the chosen folder's full path with native separators; a root
// keeps its trailing separator ("C:\", "/"), any other folder has none. Empty text when the
// user cancels.
QString GetDlgSelectFolder(QWidget *owner, const QString &title);

// The open-file dialog. filter packs display text and pattern list pairs ("*.mp3;*.rm"), every
// item separated by NUL; the first pair is selected. flags are the open-file options of the
// caller; SysDlg32::kAllowMultiSelect lets the user pick several files of one folder. The
// dialog opens in initialDirectory (the current directory when it is empty, the dialog's own
// default when it does not exist). Result: the packed selections of SysDlg32::packSelections,
// one for a usual pick of files in one folder; none on cancel.
QStringList GetDlgSelectFileInfo(QWidget *owner, const QString &title, const QString &filter,
                                 const QString &initialName, const QString &initialDirectory,
                                 quint32 flags);

// The translations between the packed texts and Qt, apart from any dialog.
namespace SysDlg32 {

constexpr quint32 kAllowMultiSelect = 0x200;
constexpr quint32 kFileMustExist = 0x1000;

// Qt name filters ("ALL(*.mp3;*.rm) (*.mp3 *.rm)") from a NUL-packed filter list, in order.
// A display text without a pattern list after it is dropped; an empty pattern list means all
// files.
QStringList nameFilters(const QString &packedFilter);

// The packed selection: empty for none; one file: its full path + two NULs; several: the
// directory, NUL, each name followed by NUL, one more NUL. Native separators throughout. The
// packed form holds one directory only, so of several files those outside the first one's
// directory are left out.
QString packSelection(const QStringList &paths);

// Files typed from several folders: one packed selection for each run of files in one folder,
// in the order given, so that none is left out.
QStringList packSelections(const QStringList &paths);

// The full path of each file in a packed selection. A bare name without a folder, an empty
// name and a malformed selection give nothing.
QStringList unpackSelection(const QString &packed);

// The folder browser's result for a chosen path: native separators, a trailing separator
// for a root only; empty stays empty.
QString folderResult(const QString &path);

} // namespace SysDlg32
