#pragma once

#include <QLockFile>
#include <QString>

// Keeps one program at a time on a data folder. Two programs on one folder each save what they read at
// their start, so the later save undoes the earlier one's catalogue edits, till matches and table numbers.
// The lock is a file in the folder; one left behind by a program that ended without removing it (a crash, a
// power cut) names a process that no longer runs on this computer and is taken over.
class DataFolderLock
{
public:
    // Name of the lock file in the data folder.
    static constexpr char fileName[] = "quarmel.lock";

    enum class Result { Taken, Busy, Failed };

    explicit DataFolderLock(const QString &folder);

    // Takes the lock without waiting. Busy: another running program holds it (see holder()). Failed: the
    // lock file could not be made (reason()); the folder then takes no saves either.
    Result take();
    bool isTaken() const;

    // Who holds the lock, as the program, its process number and its computer: "quarmel (process 4711) on
    // bar-office". Empty when the lock file cannot be read.
    QString holder() const;
    // Why the lock could not be taken, ready to show.
    QString reason() const;

    QString folder() const { return dataFolder; }

private:
    QString dataFolder;
    QLockFile file;
    Result result = Result::Failed;
};
