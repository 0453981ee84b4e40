#pragma once
// Keeps Korvel to one process per user. The first process holds a lock file and, once its main window
// exists, a local server, both in the user's runtime folder; a later start asks that server to bring the window to the front and
// ends. A lock left by a crashed process is stale (its process is gone) and is taken over.
#include <QLockFile>
#include <QObject>

#include <functional>
#include <memory>

class QLocalServer;

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    enum Claim {
        CLAIM_FIRST,        // this process is the one
        CLAIM_ACTIVATED,    // another one runs and was brought to the front
        CLAIM_UNREACHABLE,  // another one runs but its window could not be reached
        CLAIM_FAILED,       // the lock could not be made at all
    };
    static constexpr const char* kName = "copy_right_tarvelin_20100331";
    // The local server's full name: kName in the user's runtime folder.
    static QString ServerName();

    CSingleInstance();
    ~CSingleInstance() override;

    Claim ClaimInstance();
    // Only the lock, without asking a running instance for anything: false when another one holds it
    // or it cannot be made.
    bool ClaimLock() { return lock_.tryLock(0); }
    // Starts answering later starts with `bringToFront`; only the process that holds the lock listens.
    bool Listen(std::function<void()> bringToFront);

    // The instance of this process, while it exists.
    static CSingleInstance* Current();

private:
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> bringToFront_;
};
