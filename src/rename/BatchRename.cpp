#include "rename/BatchRename.h"

#include "rename/RenameExecutor.h"

RenamePlan planListedFiles(const EntryTable &entries, const QString &outputDirectory,
                           const BatchRenameOptions &options) {
    RenamePlan plan;
    plan.steps.reserve(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        const RenameEntry &e = entries.at(i);
        const bool keep = options.keepGarbledNames && e.looksGarbled();
        plan.steps.append({e.directory, e.originalName, keep ? e.originalName.text() : e.newName,
                           e.identity, e.title});
    }
    plan.ownFilesFolder = outputDirectory;
    plan.outputDirectory = outputDirectory;
    plan.writeLog = options.writeLog;
    plan.writePlaylist = options.writePlaylist;
    plan.journalPath = options.journalPath;
    return plan;
}

std::optional<RenameReport> RenameListedFiles(const EntryTable &entries,
                                              const QString &outputDirectory,
                                              const BatchRenameOptions &options,
                                              const RenameProgress &progress) {
    if (entries.isEmpty())
        return std::nullopt;
    return executePlan(planListedFiles(entries, outputDirectory, options), progress).report;
}
