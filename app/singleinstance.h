// Keeps one copy of the program per user and program file: a second copy
// started from the same folder sees the first and leaves. Copies of the
// program in different folders do not see each other.
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

class SingleInstanceGuard
{
public:
    // Takes the lock for `programPath` (made absolute) at once, without
    // waiting. A lock left by a copy that died is taken over.
    explicit SingleInstanceGuard(const QString &programPath);
    ~SingleInstanceGuard();

    // True when another live copy holds the lock.
    bool isRunning() const { return !owned; }

    // Where the lock for `programPath` lives: the user's runtime folder,
    // named after a hash of the absolute program path.
    static QString lockPathFor(const QString &programPath);

private:
    std::unique_ptr<QLockFile> lock;
    bool owned = false;
};
