#include "rename/BatchRename.h"

#include "rename/RenameExecutor.h"

RenameStep stepOf(const RenameEntry &entry, bool keepName) {
    return {
        entry.directory, entry.originalName, keepName ? entry.originalName.text() : entry.newName,
        entry.identity,  entry.title,        entry.identityIsTarget};
}

namespace {

// A plan of the listed files with its settings and no steps yet.
RenamePlan planWithoutSteps(const QString &outputDirectory, const BatchRenameOptions &options) {
    RenamePlan plan;
    plan.ownFilesFolder = outputDirectory;
    plan.outputDirectory = outputDirectory;
    plan.writeLog = options.writeLog;
    plan.writePlaylist = options.writePlaylist;
    plan.journalPath = options.journalPath;
    return plan;
}

} // namespace

RenamePlan planListedFiles(const EntryTable &entries, const QString &outputDirectory,
                           const BatchRenameOptions &options) {
    RenamePlan plan = planWithoutSteps(outputDirectory, options);
    plan.steps.reserve(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        const RenameEntry &e = entries.at(i);
        plan.steps.append(stepOf(e, options.keepGarbledNames && e.looksGarbled()));
    }
    return plan;
}

std::optional<RenameReport> RenameListedFiles(const EntryTable &entries,
                                              const QString &outputDirectory,
                                              const BatchRenameOptions &options,
                                              const RenameProgress &progress) {
    if (entries.isEmpty())
        return std::nullopt;
    // The steps made from the entries as the run reaches them: a plan of a long list would
    // be as large again as the list, which stays as it is while the run goes on.
    RenamePlan plan = planWithoutSteps(outputDirectory, options);
    plan.stepCount = entries.size();
    plan.stepAt = [&entries, keep = options.keepGarbledNames](int i) {
        const RenameEntry &e = entries.at(i);
        return stepOf(e, keep && e.looksGarbled());
    };
    return executePlan(plan, progress).report;
}
