#include "rename/BatchRename.h"

#include "rename/RenameExecutor.h"

RenameStep stepOf(const RenameEntry &entry, bool keepName) {
    return {entry.directory, entry.originalName,
            keepName ? entry.originalName.text() : entry.newName, entry.identity, entry.title};
}

RenamePlan planListedFiles(const EntryTable &entries, const QString &outputDirectory,
                           const BatchRenameOptions &options) {
    RenamePlan plan;
    plan.steps.reserve(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        const RenameEntry &e = entries.at(i);
        plan.steps.append(stepOf(e, options.keepGarbledNames && e.looksGarbled()));
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
